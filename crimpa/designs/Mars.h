#pragma once
// MARS design: a flat 4 x 4 grid of 16 vertices and 9 quadrilaterals. Face 0
// (vertices 0, 1, 4, 5) stays fixed; `rho` turns vertices 8 and 9 about the
// line through 4 and 5 and three sphere intersections carry the rest along.
#include <ostream>

#include "geometry/CVector3d.h"

namespace mars {

constexpr int kPoints = 16;

extern double a;    // base length
extern double b;    // half the base length
extern double rho;  // fold angle, radians; no bounds
// The crease lengths that the three solves keep, from the flat layout.
extern double creaseLength0, creaseLength1, creaseLength2, creaseLength3, creaseLength4, creaseLength5,
    creaseLength6, creaseLength7, creaseLength8;
// Point of column i, row j is vertex 4 j + i.
extern CVector3d designPoints[kPoints];

// Mesh from the tables, the flat layout, rho = -30 degrees; no fold, no placement.
void MakeDesign(std::ostream& os);
// Refolds every moving point for the current rho. When a solve finds no
// intersection it prints one line, puts every point back as it was and
// returns false.
bool FoldStep(std::ostream& os);

}  // namespace mars
