#pragma once
// The non flat MARS design: a 6 x 6 grid of 36 vertices and 25 quads on three
// heights; the fold angle rho turns vertex 8 about the hinge point and the
// other moving vertices follow by three Newton placements.
#include <ostream>

#include "geometry/CVector3d.h"

namespace nfmars {

constexpr int kPoints = 36;
constexpr double kDeltaStep = 0.2 / 180 * kPi;
constexpr double kQuarterPi = 0.7853981633974475;
// Largest miss of a crease length that a Newton placement may leave.
constexpr double kCreaseTolerance = 1e-6;

// Design state; angles in radians. Constant-initialised, set by MakeDesign.
extern double a, b, c;
extern double topHeight, midHeight;
extern double delta, h, w, rho;
// Point of column i, row j is vertex 6 j + i.
extern CVector3d designPoints[kPoints];
extern CVector3d hingePoint;

// Builds the mesh from the built-in tables and lays the pattern out for the
// design angle (degrees) and the three lengths; neither folds nor places.
void MakeDesign(double deltaDegrees, double a, double b, double c, std::ostream& os);
// rho back to -26 degrees, the layout from a, b, h and the heights, the hinge point.
void ComputeDesignGeometry();
// Moves every point for the current rho, a, c, h and w. When a placement is
// non-finite or misses one of its crease lengths the points stay as they were
// and the result is false.
bool FoldStep(std::ostream& os);

}  // namespace nfmars
