#pragma once
// Extended paper bag design: a bag with a rectangular bottom, low side walls
// folded inwards by `rho`, gusseted front and back walls, a top band and two
// side flaps turned by `omega`. Points are kept centred on the bag.
#include <ostream>

#include "geometry/CVector3d.h"

namespace paperbag {

constexpr int kPoints = 20;
constexpr double kMinRho = 1e-5;

extern double boxWidth, boxLength, bagHeight, flapHeight, flapInset;  // W, L, H, t, f
extern double a;                                                      // W/2, the side walls' height
extern CVector3d boxCentre;
extern double rho, omega;
extern CVector3d designPoints[kPoints];

// Mesh from the tables, both angles PI/2, points folded and placed.
void MakeDesign(std::ostream& os);
// Every moving point from rho and omega. The top band corner is solved by
// three spheres when the flap corner is near enough to the gusset apex and
// set straight up otherwise. A solve without an intersection prints one line,
// puts every point back and returns false.
bool FoldStep(std::ostream& os);
// Flap corners moved until the top band's upper edge runs straight from the
// gusset apex through the band corner to the flap corner; the distance to the
// wall's back top corner is scaled by percent / 100. Refuses like FoldStep.
bool FoldStepPercent(double percent, std::ostream& os);

}  // namespace paperbag
