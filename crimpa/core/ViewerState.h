#pragma once
// View and display state of the design viewer, shared by the callbacks, the
// keys and the design units. Plain globals of the one GLUT thread.
#include <ostream>

#include "view/ViewRules.h"

extern int windowWidth, windowHeight, windowId;
extern float zoom, rotX, rotZ;
extern int lastMouseX, lastMouseY;
// Zoom key presses from the start zoom (negative: in) and the left-button
// state of a drag (view/ViewRules.h).
extern int zoomSteps;
extern CDragButton dragButton;
extern bool showSpecialEdges, showFaces, showFacesByEdges, showNormals, showCoordinateSystem, showVertices;
extern bool autoSpin, animate;
extern int frameCounter;

// Modifier bit that the design keys consult (GLUT_ACTIVE_ALT).
constexpr int kAltModifier = 4;

// Angle print of the design keys: label, value in degrees (pi literal), end of line.
void PrintAngle(const char* label, double radians, std::ostream& os);
// PlaceDesignVertices, centres, normals, display lists.
void RebuildDesignView();
