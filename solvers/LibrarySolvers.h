#pragma once
// The mesh library's form of the solvers: general least squares on rows of
// 250 doubles with its report, Newton with exactly 4 silent steps,
// touching spheres count as no intersection.
#include "geometry/CVector3d.h"
#include "solvers/SolverCore.h"

namespace library {

constexpr int kSystemCapacity = 250;

// Least-squares solution of the m x n system a x = b (rows 0..m-1, columns
// 0..n-1) into x[0..n-1]; returns the residual norm (0.0 when m == n) and
// prints "min alpha: " on os on every call. A system outside 1 <= n <= m,
// m <= 250, n <= 249 is refused with one line on os: x is left untouched
// and the result is NaN.
double SolveLeastSquares(const double (*a)[kSystemCapacity], const double* b, int m, int n, double* x,
                         std::ostream& os);

// Point at distances r1, r2, r3 from P1, P2, P3 after exactly 4 Newton steps
// from X0; only SolveLeastSquares prints, on os. The point may be non-finite.
CVector3d ThreeSpheresNewton(CVector3d P1, double r1, CVector3d P2, double r2, CVector3d P3, double r3, CVector3d X0,
                             std::ostream& os);

// As design::ThreeSpheresIS, but spheres that only touch give false.
bool ThreeSpheresIS(CVector3d P1, double r1, CVector3d P2, double r2, CVector3d P3, double r3, CVector3d& x1,
                    CVector3d& x2);

}  // namespace library
