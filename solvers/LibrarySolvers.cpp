#include "solvers/LibrarySolvers.h"

#include <ostream>
#include <limits>

namespace library {

namespace {

// Half a megabyte each: kept off the stack, used by one call at a time.
double workMatrix[kSystemCapacity][kSystemCapacity];
double jacobian[kSystemCapacity][kSystemCapacity];

void SolveJacobian(const double (*jac)[3], const double* res, double* step, std::ostream& os)
{
    double b[kSystemCapacity];
    double dxH[kSystemCapacity];
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 3; ++k) jacobian[i][k] = jac[i][k];
        b[i] = res[i];
    }
    SolveLeastSquares(jacobian, b, 3, 3, dxH, os);
    for (int i = 0; i < 3; ++i) step[i] = dxH[i];
}

const CSolverForm kLibraryForm = {4, -1.0, false, false, SolveJacobian};

}  // namespace

double SolveLeastSquares(const double (*a)[kSystemCapacity], const double* b, int m, int n, double* x, std::ostream& os)
{
    // Column n of the working matrix holds the right-hand side.
    if (n < 1 || n > m || m > kSystemCapacity || n > kSystemCapacity - 1) {
        os << "SolveLeastSquares: refused a system of " << m << " equations in " << n
                  << " variables (need 1 <= n <= m, m <= 250, n <= 249)" << std::endl;
        return std::numeric_limits<double>::quiet_NaN();
    }
    return HouseholderSolve<kSystemCapacity>(a, b, m, n, x, workMatrix, &os);
}

CVector3d ThreeSpheresNewton(CVector3d P1, double r1, CVector3d P2, double r2, CVector3d P3, double r3, CVector3d X0,
                             std::ostream& os)
{
    return NewtonPlacement(kLibraryForm, P1, r1, P2, r2, P3, r3, X0, os);
}

bool ThreeSpheresIS(CVector3d P1, double r1, CVector3d P2, double r2, CVector3d P3, double r3, CVector3d& x1,
                    CVector3d& x2)
{
    return SphereIntersection(kLibraryForm, P1, r1, P2, r2, P3, r3, x1, x2);
}

}  // namespace library
