#pragma once
// The polyhedron viewer's globals. theMesh is built before theViewState.
#include "hedrix/core/HedrixMesh.h"
#include "hedrix/core/ViewState.h"
#include "view/ViewRules.h"

extern CMesh theMesh;
extern CViewState theViewState;
extern int currentSolid;
extern int windowWidth, windowHeight;
extern float rotX, rotZ, zoom;
extern float targetRotX, rotXStep, targetRotZ, rotZStep;
// Idle calls an animated turn has left before it ends on its target.
extern int turnCallsLeft;
extern int lastMouseX, lastMouseY;
extern float dRotX, dRotZ;
// Zoom key presses from the start zoom (negative: in) and the left-button
// state of a drag (view/ViewRules.h).
extern int zoomSteps;
extern CDragButton dragButton;
extern int windowId;
