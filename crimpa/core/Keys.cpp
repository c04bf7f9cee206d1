#include "crimpa/core/Keys.h"

#include <ostream>

#include "crimpa/core/Design.h"
#include "crimpa/core/DesignFiles.h"
#include "crimpa/core/DesignMesh.h"
#include "crimpa/core/ViewerState.h"
#include "view/ViewRules.h"

const char* const designMenuLabels[kDesignMenuEntries] = {
    "foldTovin10", "foldTovin00", "foldTovin01", "foldTovin02", "crimpa1a", "crimpa1b", "crimpa1c",
    "crimpa1d",    "crimpa2a",    "crimpa2b",    "qv1a",        "qv1b",     "qv2_1a",   "qv2_1b",
    "qv2_2a",      "qv2_2b",      "qv2_3a",      "qv2_3b",      "qv3a",     "qv3b",     "qv4_1a",
    "qv4_1b",      "qv4_2a",      "qv4_2b",      "qv4_3a",      "qv4_3b",   "simpv01"};

const char* const designFileNames[kDesignMenuEntries] = {
    "tovin10.cqv", "tovin00.cqv", "tovin01.cqv", "tovin02.cqv", "fold1a.cqv", "fold1b.cqv", "fold1c.cqv",
    "fold1d.cqv",  "fold2a.cqv",  "fold2b.cqv",  "qv1a.cqv",    "qv1b.cqv",   "qv2_1a.cqv", "qv2_1b.cqv",
    "qv2_2a.cqv",  "qv2_2b.cqv",  "qv2_3a.cqv",  "qv2_3b.cqv",  "qv3a.cqv",   "qv3b.cqv",   "qv4_1a.cqv",
    "qv4_1b.cqv",  "qv4_2a.cqv",  "qv4_2b.cqv",  "qv4_3a.cqv",  "qv4_3b.cqv", "simpv01.cqv"};

void CrimpaHandleKey(unsigned char key, int modifiers, std::ostream& os)
{
    switch (key) {
    case 's': showSpecialEdges = !showSpecialEdges; return;
    case 'f': showFaces = !showFaces; return;
    case 'v': showVertices = !showVertices; return;
    case 'e': showFacesByEdges = !showFacesByEdges; return;
    case 'n': showNormals = !showNormals; return;
    case 'c': showCoordinateSystem = !showCoordinateSystem; return;
    case 'a': autoSpin = !autoSpin; return;
    case '+':
    case '-': zoom = ZoomKey(key, zoomSteps, kStartZoom); return;
    case 'w':
        // Each writer reports its own failure; one file failing does not keep the other from being written.
        WriteMeshText("wemo.txt", os);
        WriteMeshCSource("crInc.txt", os);
        return;
    default: DesignKey(key, modifiers, os); return;
    }
}

void HandleMenu(int value, std::ostream& os)
{
    switch (value) {
    case 1: showSpecialEdges = !showSpecialEdges; return;
    case 2: showFaces = !showFaces; return;
    case 3: showFacesByEdges = !showFacesByEdges; return;
    case 4: showNormals = !showNormals; return;
    case 5: showCoordinateSystem = !showCoordinateSystem; return;
    case 6: showVertices = !showVertices; return;
    default: break;
    }
    const int entry = value - kFirstDesignMenuValue;
    if (entry >= 0 && entry < kDesignMenuEntries) LoadDesignFile(designFileNames[entry], os);
}

void CrimpaDragView(int x, int y)
{
    float stepX, stepZ;
    DragTurn(x, y, lastMouseX, lastMouseY, rotX, rotZ, stepX, stepZ);
}

void CrimpaMouseButton(int button, int state, int x, int y)
{
    if (dragButton.Event(button, state)) {
        lastMouseX = x;
        lastMouseY = y;
    }
}

void CrimpaPointerMotion(int x, int y)
{
    if (dragButton.LeftHeld()) CrimpaDragView(x, y);
}

void AdvanceAnimation(std::ostream& os)
{
    if (!animate) return;
    DesignIdleStep(os);
    theMesh.ComputeFaceCentres();
    theMesh.ComputeFaceNormals();
    theMesh.BuildDisplayLists();
    frameCounter += 1;
    os << frameCounter << std::endl;
    if (frameCounter >= 200) {
        frameCounter = 0;
        animate = false;
    }
}

bool SceneMoves()
{
    return autoSpin || animate;
}
