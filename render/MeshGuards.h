#pragma once
// Index checks for the display lists: every index taken from a mesh record
// is tested against the counts (and capacities) before it is read. No GL.
#include <set>

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

// Distinct lengths of the tubes along count edges, as the drawing measures
// them: the tube lists that one build would compile for that radius.
template <class Store>
int DistinctTubeLengths(const Store& mesh, const CEdge* edges, int count)
{
    std::set<double> lengths;
    for (int k = 0; k < EdgeCount(mesh, count); ++k) {
        const CEdge& e = edges[k];
        if (!ValidVertex(mesh, e.v1) || !ValidVertex(mesh, e.v2)) continue;
        const CFrameMatrix frame = MakeFrameMatrix(mesh.vertices[e.v2].Position() - mesh.vertices[e.v1].Position());
        if (frame.valid) lengths.insert(frame.length);
    }
    return static_cast<int>(lengths.size());
}

}  // namespace meshdrawing
