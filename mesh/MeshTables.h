#pragma once
// Building a mesh from constant tables in the source-table layout:
// counts {nV, nF, 0}, vertex rows {x, y, z, w} with w the vertex type, and a
// flat face list of n, n vertex numbers (1-based) and the type per face.
#include <ostream>

#include "mesh/MeshStore.h"

// Checks that the tables fit the store and reference only their own vertices;
// writes one line naming the problem to `os` when they do not.
template <class Store>
bool TablesFitStore(const Store& mesh, const int counts[3], const int* faceList, long faceListLength, std::ostream& os)
{
    using Face = typename Store::Face;
    const int nV = counts[0], nF = counts[1];
    if (nV < 0 || nV > mesh.vertexCapacity || nF < 0 || nF > mesh.faceCapacity) {
        os << "table counts " << nV << ", " << nF << " exceed the mesh capacity" << std::endl;
        return false;
    }
    long cursor = 0;
    for (int j = 0; j < nF; ++j) {
        if (cursor >= faceListLength) {
            os << "face list ends before face " << j + 1 << std::endl;
            return false;
        }
        const int n = faceList[cursor];
        if (n < 3 || n > Face::kVertSlots || cursor + n + 2 > faceListLength) {
            os << "bad face " << j + 1 << " in table" << std::endl;
            return false;
        }
        for (int k = 1; k <= n; ++k) {
            const int v = faceList[cursor + k];
            if (v < 1 || v > nV) {
                os << "face " << j + 1 << " names vertex " << v << " outside the table" << std::endl;
                return false;
            }
        }
        cursor += n + 2;
    }
    return true;
}

// For built-in tables, which carry no length of their own: no face can take
// more ints than the record's vertex slots plus its count and type.
template <class Store>
bool TablesFitStore(const Store& mesh, const int counts[3], const int* faceList, std::ostream& os)
{
    const long longestList = static_cast<long>(counts[1] > 0 ? counts[1] : 0) * (Store::Face::kVertSlots + 2);
    return TablesFitStore(mesh, counts, faceList, longestList, os);
}

// Replaces vertices and faces from the tables (positions times scale, type w
// truncated toward zero), then centres, normals, edges and display lists.
// The tables must have passed TablesFitStore.
template <class Store>
void FillMeshFromTables(Store& mesh, const int counts[3], const double vertexRows[][4], const int* faceList,
                        double scale, std::ostream& os)
{
    using Face = typename Store::Face;
    mesh.nVertices = counts[0];
    mesh.nFaces = counts[1];
    for (int i = 0; i < mesh.nVertices; ++i)
        mesh.vertices[i].Set(scale * vertexRows[i][0], scale * vertexRows[i][1], scale * vertexRows[i][2],
                             static_cast<int>(vertexRows[i][3]));
    int buffer[Face::kVertSlots];
    long cursor = 0;
    for (int j = 0; j < mesh.nFaces; ++j) {
        const int n = faceList[cursor++];
        for (int k = 0; k < n; ++k) buffer[k] = faceList[cursor++] - 1;
        const int type = faceList[cursor++];
        mesh.faces[j].Set(n, buffer, type);
    }
    mesh.ComputeFaceCentres();
    mesh.ComputeFaceNormals();
    mesh.GenerateEdges(os);
    mesh.BuildDisplayLists();
}
