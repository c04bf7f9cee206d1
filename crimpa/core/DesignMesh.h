#pragma once
// The design viewer's mesh store, of DesignMeshConfig's capacities and slots.
#include <ostream>

#include "mesh/MeshConfigs.h"

// A class over the store, as in the polyhedron viewer; the design state lives
// in the globals below and in ViewerState.h, so it adds nothing.
class CMesh : public CDesignMeshStore {
public:
    using CDesignMeshStore::CDesignMeshStore;
};

// Built before main, ahead of the build's design (see CrimpaGlobals.cpp).
extern CMesh theMesh;

// Design number of the build: 1 Belcastro-Hull, 2 Dudevi, 3 extended paper
// bag, 4 selfintersections, 5 MARS, 6 non flat MARS.
extern int designMode;

// True while theMesh holds the built-in design; false after a design file was
// loaded, so that the design keys and the idle step leave that mesh alone.
extern bool builtInDesignShown;

// The built-in design's tables into theMesh (scale 1.0 in every design):
// vertices, faces, centres, normals, edges, display lists; a refusal and the
// edge progress are printed on os. Marks the mesh as the built-in design.
void BuildMeshFromTables(const int counts[3], const double vertexRows[][4], const int faceList[], double scale,
                         std::ostream& os);
