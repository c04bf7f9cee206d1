#pragma once
// The edge under a window pixel, free of the windowing library.
#include "hedrix/core/HedrixMesh.h"
#include "hedrix/core/ViewState.h"

// The line through window pixel (px, py) along the viewing axis, both in
// model coordinates. The display turns the model by rotX about x and then by
// rotZ about z (degrees), so the eye-space point of the view plane is turned
// back by the inverse rotation; direction is the eye z axis in the model,
// (sin rotX sin rotZ, sin rotX cos rotZ, cos rotX).
void PickRayAtPixel(const CViewState& view, float rotX, float rotZ, int px, int py, CVector3d& origin,
                    CVector3d& direction);

// Distance between the line xv + t view and the closest point of edge i, or
// -1 when the edge does not count for a pick: no edge i, a closest point not
// strictly between the end points, or an edge along the line.
double EdgeLineDistance(const CMesh& mesh, int i, CVector3d xv, CVector3d view);

// A click names an edge only if its closest point is this near the pointer.
constexpr double kPickRadiusPixels = 5;

// Index of the generated edge nearest to the line through the pixel if that
// edge is within kPickRadiusPixels of the pointer on screen, or -1 (also
// before the window has a size).
int PickEdgeAtPixel(const CMesh& mesh, const CViewState& view, float rotX, float rotZ, int px, int py);
