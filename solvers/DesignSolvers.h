#pragma once
// The design viewers' form of the solvers: 3 x 3 solve on 5 x 5 arrays,
// Newton with up to 20 printed steps, touching spheres count as one point.
#include "geometry/CVector3d.h"
#include "solvers/SolverCore.h"

namespace design {

// Solves a x = b for the leading 3 x 3 block of the 5 x 5 arrays; x gets 3
// values. Returns the residual norm, always 0.0 for this square system.
double SolveLinear3(const double (*a)[5], const double* b, double* x);

// Point at distances r1, r2, r3 from P1, P2, P3 by Newton from X0; prints the
// step norm of every iteration on os, stops once it is not above 1e-9 or after 20.
// A singular Jacobian returns a non-finite point: check it with
// IsFinite or LargestCreaseMiss.
CVector3d ThreeSpheresNewton(CVector3d P1, double r1, CVector3d P2, double r2, CVector3d P3, double r3, CVector3d X0,
                             std::ostream& os);

// Both common points of three spheres: x1 (the previous point on entry) gets
// the nearer one, x2 the other; false, with both untouched, when there is none.
bool ThreeSpheresIS(CVector3d P1, double r1, CVector3d P2, double r2, CVector3d P3, double r3, CVector3d& x1,
                    CVector3d& x2);

}  // namespace design
