#include "solvers/SolverCore.h"

#include <cmath>
#include <ostream>
#include <limits>

template <int Width>
double HouseholderSolve(const double (*a)[Width], const double* b, int m, int n, double* x, double (*r)[Width],
                        std::ostream* report)
{
    for (int i = 0; i < m; ++i) {
        for (int k = 0; k < n; ++k) r[i][k] = a[i][k];
        r[i][n] = b[i];
    }

    double minAlpha = 100000.0;
    // A square system leaves its last column unreflected.
    const int reflections = (m == n) ? n - 1 : n;
    for (int j = 0; j < reflections; ++j) {
        double s = 0.0;
        for (int i = j; i < m; ++i) s += r[i][j] * r[i][j];
        double alpha = std::sqrt(s);
        if (r[j][j] < 0) alpha = -alpha;
        if (std::fabs(alpha) < minAlpha) minAlpha = std::fabs(alpha);
        if (report && std::fabs(alpha) < 1e-15) *report << "column " << j + 1 << " with " << alpha << std::endl;

        const double d = r[j][j];
        r[j][j] = d + alpha;
        const double beta = 2.0 / (r[j][j] * r[j][j] + (s - d * d));
        for (int k = j + 1; k <= n; ++k) {
            double t = 0.0;
            for (int i = j; i < m; ++i) t += r[i][j] * r[i][k];
            t *= beta;
            for (int i = j; i < m; ++i) r[i][k] -= t * r[i][j];
        }
        r[j][j] = -alpha;
    }
    if (report) *report << "min alpha: " << minAlpha << std::endl;

    for (int i = n - 1; i >= 0; --i) {
        double sum = r[i][n];
        for (int k = i + 1; k < n; ++k) sum -= r[i][k] * x[k];
        x[i] = sum / r[i][i];
    }

    double residual = 0.0;
    for (int i = n; i < m; ++i) residual += r[i][n] * r[i][n];
    return std::sqrt(residual);
}

template double HouseholderSolve<5>(const double (*)[5], const double*, int, int, double*, double (*)[5], std::ostream*);
template double HouseholderSolve<250>(const double (*)[250], const double*, int, int, double*, double (*)[250],
                                          std::ostream*);

CVector3d NewtonPlacement(const CSolverForm& form, const CVector3d& p1, double r1, const CVector3d& p2, double r2,
                          const CVector3d& p3, double r3, CVector3d x0, std::ostream& os)
{
    const CVector3d centre[3] = {p1, p2, p3};
    const double radius[3] = {r1, r2, r3};
    CVector3d x = x0;
    for (int count = 0; count < form.newtonIterations;) {
        double jac[3][3];
        double res[3];
        for (int i = 0; i < 3; ++i) {
            const CVector3d xh = x - centre[i];
            res[i] = 0.5 * (dot(xh, xh) - radius[i] * radius[i]);
            jac[i][0] = xh.x();
            jac[i][1] = xh.y();
            jac[i][2] = xh.z();
        }
        double dxH[3];
        form.solveJacobian(jac, res, dxH, os);
        ++count;
        const double n = std::sqrt(dxH[0] * dxH[0] + dxH[1] * dxH[1] + dxH[2] * dxH[2]);
        if (form.printStepNorms) os << n << std::endl;
        x -= CVector3d(dxH[0], dxH[1], dxH[2]);
        // Written so that a NaN step norm stops as well.
        if (form.stepTolerance >= 0 && !(n > form.stepTolerance)) break;
    }
    return x;
}

bool SphereIntersection(const CSolverForm& form, const CVector3d& p1, double r1, const CVector3d& p2, double r2,
                        const CVector3d& p3, double r3, CVector3d& x1, CVector3d& x2)
{
    // Plane of the circle where spheres 1 and 3 meet: n1 . X = e.
    CVector3d n1 = p3 - p1;
    const double d1 = n1.length();
    if (d1 > r1 + r3 || d1 < 1e-10) return false;
    n1 = n1 / d1;
    const double e = ((r1 - r3) * (r1 + r3) + dot(p3, p3) - dot(p1, p1)) / (2 * d1);

    // Plane of spheres 2 and 3: n2 . X = m.
    CVector3d n2 = p3 - p2;
    const double d2 = n2.length();
    if (d2 > r2 + r3 || d2 < 1e-10) return false;
    n2 = n2 / d2;
    const double m = ((r2 - r3) * (r2 + r3) + dot(p3, p3) - dot(p2, p2)) / (2 * d2);

    const CVector3d n3 = cross(n1, n2);
    // Collinear centres: parallel planes, no line; refused before Cramer's rule divides by zero.
    const double A = dot(n3, n3);
    if (std::fabs(A) < 1e-10) return false;

    // The line's base point has a zero on the axis where n3 is largest (ties keep the earlier axis).
    int k = 0;
    double largest = std::fabs(n3.x());
    if (std::fabs(n3.y()) > largest) {
        k = 1;
        largest = std::fabs(n3.y());
    }
    if (std::fabs(n3.z()) > largest) k = 2;
    const int i = (k == 0) ? 1 : 0;
    const int j = (k == 2) ? 1 : 2;
    const double det = n1[j] * n2[i] - n1[i] * n2[j];
    CVector3d xIS0;
    xIS0[i] = (n1[j] * m - n2[j] * e) / det;
    xIS0[j] = (n2[i] * e - n1[i] * m) / det;
    xIS0[k] = 0.0;

    const CVector3d xh = xIS0 - p1;
    const double p = dot(n3, xh) / A;
    const double q = (dot(xh, xh) - r1 * r1) / A;
    double D = p * p - q;
    if (form.touchingIsSolution && std::fabs(D) < 1e-10) D = 0.0;
    else if (!form.touchingIsSolution && D < 1e-10) return false;
    if (D < 0) return false;

    const double root = std::sqrt(D);
    const CVector3d prev = x1;
    const CVector3d s1 = xIS0 + (-p + root) * n3;
    const CVector3d s2 = xIS0 + (-p - root) * n3;
    if ((s1 - prev).length() > (s2 - prev).length()) {
        x1 = s2;
        x2 = s1;
    } else {
        x1 = s1;
        x2 = s2;
    }
    return true;
}

double LargestCreaseMiss(const CVector3d& x, const CVector3d& p1, double r1, const CVector3d& p2, double r2,
                         const CVector3d& p3, double r3)
{
    if (!IsFinite(x)) return std::numeric_limits<double>::infinity();
    const CVector3d centre[3] = {p1, p2, p3};
    const double radius[3] = {r1, r2, r3};
    double worst = 0.0;
    for (int i = 0; i < 3; ++i) {
        const double miss = std::fabs((x - centre[i]).length() - radius[i]);
        if (miss > worst) worst = miss;
    }
    return worst;
}
