#pragma once
// Index checks for the display lists: every index taken from a mesh record
// is tested against the counts (and capacities) before it is read. No GL.
#include "mesh/MeshRecords.h"
#include "render/FrameMatrix.h"

namespace meshdrawing {

template <class Store>
int VertexCount(const Store& mesh)
{
    return mesh.nVertices < mesh.vertexCapacity ? mesh.nVertices : mesh.vertexCapacity;
}
template <class Store>
int FaceCount(const Store& mesh)
{
    return mesh.nFaces < mesh.faceCapacity ? mesh.nFaces : mesh.faceCapacity;
}
template <class Store>
int EdgeCount(const Store& mesh, int n)
{
    return n < mesh.edgeCapacity ? n : mesh.edgeCapacity;
}

template <class Store>
bool ValidVertex(const Store& mesh, int v)
{
    return v >= 0 && v < VertexCount(mesh);
}
template <class Store>
bool ValidFace(const Store& mesh, int f)
{
    return f >= 0 && f < FaceCount(mesh);
}

// The corner positions of face f, at most the record's slots. False when the
// face has fewer than minCorners corners, names a missing vertex or has a
// position that is not finite.
template <class Store>
bool FaceCorners(const Store& mesh, int f, int minCorners, CVector3d* corners, int& n)
{
    using Face = typename Store::Face;
    const Face& face = mesh.faces[f];
    n = face.nVerts < Face::kVertSlots ? face.nVerts : Face::kVertSlots;
    if (n < minCorners) return false;
    for (int k = 0; k < n; ++k) {
        const int v = face.verts[k];
        if (!ValidVertex(mesh, v)) return false;
        corners[k] = mesh.vertices[v].Position();
        if (!IsFinite(corners[k])) return false;
    }
    return true;
}

}  // namespace meshdrawing
