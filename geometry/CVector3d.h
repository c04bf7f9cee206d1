#pragma once
// The one geometric value type of both programs: three contiguous doubles.
#include <iosfwd>

class CVector3d {
public:
    // Zero vector; arrays of points (design points, scratch meshes) need it.
    // constexpr, so that namespace-scope points are constant-initialised and a
    // static initialiser elsewhere may fill them before this unit's own run.
    constexpr CVector3d() : c{0.0, 0.0, 0.0} {}
    constexpr CVector3d(double x, double y, double z) : c{x, y, z} {}

    void set(double x, double y, double z) { c[0] = x; c[1] = y; c[2] = z; }
    double x() const { return c[0]; }
    double y() const { return c[1]; }
    double z() const { return c[2]; }

    // Index 0..2; anything else ends the process through vectorError.
    double& operator[](int i);
    double operator[](int i) const;

    CVector3d& operator+=(const CVector3d& v) { c[0] += v.c[0]; c[1] += v.c[1]; c[2] += v.c[2]; return *this; }
    CVector3d& operator-=(const CVector3d& v) { c[0] -= v.c[0]; c[1] -= v.c[1]; c[2] -= v.c[2]; return *this; }
    CVector3d& operator*=(double s) { c[0] *= s; c[1] *= s; c[2] *= s; return *this; }
    CVector3d& operator/=(double s) { c[0] /= s; c[1] /= s; c[2] /= s; return *this; }

    double length() const;
    // Divides by the length when it is positive; a zero (or NaN-length) vector stays as it is.
    void normalize();
    // Unit normal of triangle a, b, c (zero for degenerate points); also stored in *this.
    CVector3d unitNormal(const CVector3d& a, const CVector3d& b, const CVector3d& c);
    double maxNorm() const;
    // Planar coordinates of v (x and y only) along this axis and along the axis turned by -90 degrees.
    void frameCoords(CVector3d v, double& s, double& t) const;
    CVector3d rotateAboutZ(double angle) const;
    CVector3d rotateAboutX(double angle) const;

    // Read-only view for glVertex3dv / glNormal3dv.
    const double* Data() const { return c; }

private:
    double c[3];
};

inline CVector3d operator+(const CVector3d& a, const CVector3d& b) { CVector3d r(a); r += b; return r; }
inline CVector3d operator-(const CVector3d& a, const CVector3d& b) { CVector3d r(a); r -= b; return r; }
inline CVector3d operator-(const CVector3d& a) { return CVector3d(-a.x(), -a.y(), -a.z()); }
inline CVector3d operator*(double s, const CVector3d& a) { CVector3d r(a); r *= s; return r; }
inline CVector3d operator*(const CVector3d& a, double s) { CVector3d r(a); r *= s; return r; }
inline CVector3d operator/(const CVector3d& a, double s) { CVector3d r(a); r /= s; return r; }

inline double dot(const CVector3d& a, const CVector3d& b) { return a.x() * b.x() + a.y() * b.y() + a.z() * b.z(); }
inline CVector3d cross(const CVector3d& a, const CVector3d& b)
{
    return CVector3d(a.y() * b.z() - a.z() * b.y(), a.z() * b.x() - a.x() * b.z(), a.x() * b.y() - a.y() * b.x());
}

// Relative equality: equal when both are tiny or |a - b| / (|a| + |b|) < 1e-8.
bool operator==(const CVector3d& a, const CVector3d& b);
bool operator!=(const CVector3d& a, const CVector3d& b);

std::istream& operator>>(std::istream& is, CVector3d& v);
std::ostream& operator<<(std::ostream& os, const CVector3d& v);

// Real roots of a t^2 + b t + c = 0, cancellation-free; r1 takes the -sqrt root, r2 the +sqrt root.
// Returns false (r1, r2 untouched) for a negative discriminant.
bool solveQuadratic(double a, double b, double c, double& r1, double& r2);

[[noreturn]] void vectorError(const char* message);

double length(CVector3d v);
double SqrNorm(CVector3d v);
// All three coordinates are finite numbers: only such a point is drawn or used.
bool IsFinite(const CVector3d& v);
// The programs' own pi literal, not M_PI: stored angles and printed degrees depend on it.
constexpr double kPi = 3.14159265358979;
inline double degToRad(double d) { return d / 180 * kPi; }
inline double sqr(double x) { return x * x; }
