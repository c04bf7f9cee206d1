#pragma once
// Selfintersections design: a box-like fold with a low left wall (height
// W/2) and a tall right wall, both turned inwards by `rho`; every moving
// point follows in closed form. Points are kept centred on the box.
#include <ostream>

#include "geometry/CVector3d.h"

namespace selfx {

constexpr int kPoints = 12;
constexpr double kMaxRho = 1.570786326794895;  // PI/2 - 1e-5
constexpr double kMinRho = 1e-5;

extern double boxWidth, boxLength, rightWallHeight, flapWidth;  // W, L, H, t
extern double leftWallHeight;                                    // W/2
extern CVector3d boxCentre;
extern double rho;
// Only the eight moving points 2, 3, 4, 5, 8, 9, 10, 11 are used; the bottom
// corners keep the table's coordinates.
extern CVector3d designPoints[kPoints];
constexpr int kMovingPoints[8] = {2, 3, 4, 5, 8, 9, 10, 11};

// Mesh from the tables and the design at rho = PI/2; nothing is placed.
void MakeDesign(std::ostream& os);
// rho := newRho and the eight moving points from it.
void FoldStep(double newRho);

}  // namespace selfx
