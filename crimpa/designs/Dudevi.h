#pragma once
// Dudevi design: an open box whose side walls fold inwards about their bottom
// edges (`rho`) while the end walls' middle trapezoids turn about theirs
// (`phi`); the rigid front-left triangle ties the two angles together:
// T cos(rho) + H sin(phi) sin(rho) = H. Points are kept centred on the box.
#include <ostream>

#include "geometry/CVector3d.h"

namespace dudevi {

constexpr int kPoints = 12;
// Key limits: 3 PI/2 - 1e-5, PI/2 - 1e-5 and the common lower bound.
constexpr double kMaxPhi = 4.712378980384686;
constexpr double kMaxRho = 1.570786326794895;
constexpr double kMinAngle = 1e-5;

extern double boxWidth, boxLength, wallHeight, creaseOffset;  // W, L, H, T
extern CVector3d boxCentre;
extern double creaseLength0, creaseLength1, creaseLength2;  // |P0 P4|, |P1 P4|, |P2 P4|
extern double rho, phi;
extern CVector3d designPoints[kPoints];

// Mesh and special edges from the tables, the box upright (rho = phi = PI/2).
void MakeDesign(std::ostream& os);
// Side walls to newRho, phi from the angle relation, P4 by three spheres.
// Refuses the step (both angles and every point as before) with "hit the
// bottom" when phi would be negative, and with "no intersection in
// ThreeSpheresIS" when the walls cannot close (phi undefined or no solve).
void FoldStep(double newRho, std::ostream& os);
// End-wall trapezoids to newPhi, rho from the angle relation. An angle the
// walls cannot reach is pulled back to the boundary, and the walls are placed
// for that boundary angle. A NaN angle changes nothing.
void FoldStepPhi(double newPhi);

}  // namespace dudevi
