#pragma once
// One implementation of the Householder solve and the three-sphere
// placements; DesignSolvers.h and LibrarySolvers.h give the two programs
// their forms of it.
#include <ostream>

#include "geometry/CVector3d.h"

// What differs between the design viewers' and the library's solvers.
struct CSolverForm {
    int newtonIterations;       // iteration limit of ThreeSpheresNewton
    double stepTolerance;       // stop once a step norm is not above it; negative: never stop early
    bool printStepNorms;        // one line per Newton step
    bool touchingIsSolution;    // |D| < 1e-10 counts as spheres that touch instead of a miss
    // The 3 x 3 linear solve of a Newton step: jac * step = res; it may report on os.
    void (*solveJacobian)(const double (*jac)[3], const double* res, double* step, std::ostream& os);
};

// Householder QR without pivoting of the m x n system a x = b, least squares
// when m > n. Width is the row length of a and of the working matrix r, which
// takes the matrix in columns 0..n-1 and b in column n; the caller keeps
// 1 <= n <= m, m <= Width and n < Width. With a report stream it prints
// "column j with alpha" there for every pivot below 1e-15 and "min alpha: " once.
// Returns the norm of the least-squares residual (0 when m == n).
template <int Width>
double HouseholderSolve(const double (*a)[Width], const double* b, int m, int n, double* x, double (*r)[Width],
                        std::ostream* report);

// Newton iteration towards the point at distances r1, r2, r3 from p1, p2, p3,
// from the start point x0; returns the point after the last step, which may
// be non-finite when the Jacobian was singular. Step norms and the linear
// solve's report go to os.
CVector3d NewtonPlacement(const CSolverForm& form, const CVector3d& p1, double r1, const CVector3d& p2, double r2,
                          const CVector3d& p3, double r3, CVector3d x0, std::ostream& os);

// Closed-form intersection of three spheres. On success x1 (the previous
// point on entry) receives the solution nearer to it and x2 the other one; on
// failure neither is written.
bool SphereIntersection(const CSolverForm& form, const CVector3d& p1, double r1, const CVector3d& p2, double r2,
                        const CVector3d& p3, double r3, CVector3d& x1, CVector3d& x2);


// Largest miss max_i | |x - P_i| - r_i | of x against the three spheres;
// infinity for a non-finite x, so that "miss < tolerance" judges it unusable.
double LargestCreaseMiss(const CVector3d& x, const CVector3d& p1, double r1, const CVector3d& p2, double r2,
                         const CVector3d& p3, double r3);
