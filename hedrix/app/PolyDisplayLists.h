#pragma once
// The polyhedron viewer's eight display lists, compiled from a mesh.
#include "mesh/MeshConfigs.h"
#include "view/VisibleDepth.h"

enum EPolyDisplayList {
    kPolyListSpecialEdges = 100,
    kPolyListFaces = 110,
    kPolyListEdges = 120,
    kPolyListNormals = 130,
    kPolyListVertices = 140,
    kPolyListAxes = 10,
    kPolyListSplitFaces = 190,
    kPolyListMarker = 195
};

// How far these lists draw beyond the mesh's vertices, centroid and face
// centres, and how far the axes reach.
extern const CSceneReach kPolySceneReach;

// Compiles (GL_COMPILE, replacing earlier ones) lists 110, 120, 100, 130,
// 140, 10, 190 and 195 from mesh; the four marker indices choose the twist
// construction of list 195, which stays empty when any of them lies outside
// the mesh's counts. Reads the mesh only; needs a current GL context.
void BuildPolyDisplayLists(const CPolyMeshStore& mesh, int markFaceA, int markFaceB, int markVertexA,
                           int markVertexB);
