#pragma once
// The design viewer's six display lists, compiled from a mesh.
#include "mesh/MeshConfigs.h"
#include "view/VisibleDepth.h"

enum EDesignDisplayList {
    kDesignListSpecialEdges = 100,
    kDesignListFaces = 110,
    kDesignListEdges = 120,
    kDesignListNormals = 130,
    kDesignListVertices = 140,
    kDesignListAxes = 10
};

// How far these lists draw beyond the mesh's vertices and face centres, and
// how far the axes reach.
extern const CSceneReach kDesignSceneReach;

// Compiles (GL_COMPILE, replacing earlier ones) lists 110, 120, 100, 130, 140
// and 10 from mesh. Tubes between coincident points are left out. Reads the
// mesh only; needs a current GL context.
void BuildDesignDisplayLists(const CDesignMeshStore& mesh);
