#pragma once
// The fixed-function state that both viewers set once their window exists:
// one white directional light, full ambient light model, depth test, polygon
// offset for the faces under the edge tubes, smooth shading, and depth
// clamping where the GL offers it.
void SetViewerGLState();
// Whether SetViewerGLState turned depth clamping on: the depth planes then
// need not reach every far element (view/VisibleDepth.h).
bool ViewerClampsDepth();
