#pragma once
// The fixed-function state that both viewers set once their window exists:
// one white directional light, full ambient light model, depth test, polygon
// offset for the faces under the edge tubes, smooth shading.
void SetViewerGLState();
