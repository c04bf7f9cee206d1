// The design viewer's globals. The mesh store and the call of the build's
// InitDesign live in this one translation unit, so that the streams, the store
// and the design come into being in that order whatever the link order.
#include <iostream>

#include "crimpa/core/Design.h"
#include "crimpa/core/DesignMesh.h"
#include "crimpa/core/ViewerState.h"
#include "mesh/MeshTables.h"

CMesh theMesh;

int designMode = 0;
bool builtInDesignShown = false;

int windowWidth = 900, windowHeight = 700, windowId = 0;
float zoom = kStartZoom, rotX = -70.0f, rotZ = -160.0f;
int lastMouseX = 0, lastMouseY = 0;
int zoomSteps = 0;
CDragButton dragButton;
bool showSpecialEdges = false, showFaces = true, showFacesByEdges = true, showNormals = false,
     showCoordinateSystem = true, showVertices = true;
bool autoSpin = false, animate = false;
int frameCounter = 0;

void PrintAngle(const char* label, double radians, std::ostream& os)
{
    os << label << radians * 180 / kPi << std::endl;
}

void RebuildDesignView()
{
    PlaceDesignVertices();
    theMesh.ComputeFaceCentres();
    theMesh.ComputeFaceNormals();
    theMesh.BuildDisplayLists();
}

void BuildMeshFromTables(const int counts[3], const double vertexRows[][4], const int faceList[], double scale,
                         std::ostream& os)
{
    if (!TablesFitStore(theMesh, counts, faceList, os)) return;
    FillMeshFromTables(theMesh, counts, vertexRows, faceList, scale, os);
    builtInDesignShown = true;
}

namespace {
// Runs after theMesh above has been constructed (same translation unit).
struct DesignInitialiser {
    DesignInitialiser() { InitDesign(); }
};
DesignInitialiser designInitialiser;
} // namespace
