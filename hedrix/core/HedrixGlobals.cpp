#include "hedrix/core/HedrixGlobals.h"

// Same translation unit, so the mesh is constructed before the view state.
CMesh theMesh;
CViewState theViewState;

int currentSolid = 904;
int windowWidth = 900, windowHeight = 700;
float rotX = -70.0f, rotZ = -160.0f, zoom = kStartZoom;
float targetRotX = 0, rotXStep = 0, targetRotZ = 0, rotZStep = 0;
int turnCallsLeft = 0;
int lastMouseX = 0, lastMouseY = 0;
float dRotX = 0, dRotZ = 0;
int zoomSteps = 0;
CDragButton dragButton;
int windowId = 0;
