#pragma once
// The edge under a window pixel, free of the windowing library.
#include "hedrix/HedrixMesh.h"
#include "hedrix/ViewState.h"

// The line through window pixel (px, py) along the viewing axis, both in
// model coordinates. The display turns the model by rotX about x and then by
// rotZ about z (degrees), so the eye-space point of the view plane is turned
// back by the inverse rotation; direction is the eye z axis in the model,
// (sin rotX sin rotZ, sin rotX cos rotZ, cos rotX).
void PickRayAtPixel(const CViewState& view, float rotX, float rotZ, int px, int py, CVector3d& origin,
                    CVector3d& direction);

// Index of the generated edge under the pixel, or -1 (also before the
// window has a size).
int PickEdgeAtPixel(const CMesh& mesh, const CViewState& view, float rotX, float rotZ, int px, int py);
