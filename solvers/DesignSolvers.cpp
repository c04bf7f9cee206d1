#include "solvers/DesignSolvers.h"

namespace design {

namespace {

void SolveJacobian(const double (*jac)[3], const double* res, double* step, std::ostream&)
{
    double a[5][5] = {};
    double b[5] = {};
    double x[5] = {};
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 3; ++k) a[i][k] = jac[i][k];
        b[i] = res[i];
    }
    SolveLinear3(a, b, x);
    for (int i = 0; i < 3; ++i) step[i] = x[i];
}

const CSolverForm kDesignForm = {20, 1e-9, true, true, SolveJacobian};

}  // namespace

double SolveLinear3(const double (*a)[5], const double* b, double* x)
{
    double r[5][5];
    return HouseholderSolve<5>(a, b, 3, 3, x, r, nullptr);
}

CVector3d ThreeSpheresNewton(CVector3d P1, double r1, CVector3d P2, double r2, CVector3d P3, double r3, CVector3d X0,
                             std::ostream& os)
{
    return NewtonPlacement(kDesignForm, P1, r1, P2, r2, P3, r3, X0, os);
}

bool ThreeSpheresIS(CVector3d P1, double r1, CVector3d P2, double r2, CVector3d P3, double r3, CVector3d& x1,
                    CVector3d& x2)
{
    return SphereIntersection(kDesignForm, P1, r1, P2, r2, P3, r3, x1, x2);
}

}  // namespace design
