#include "geometry/CVector3d.h"

#include <cmath>
#include <cstdlib>
#include <iostream>

double& CVector3d::operator[](int i)
{
    if (i < 0 || i > 2) vectorError("bad Index!");
    return c[i];
}

double CVector3d::operator[](int i) const
{
    if (i < 0 || i > 2) vectorError("bad Index!");
    return c[i];
}

double CVector3d::length() const { return std::sqrt(dot(*this, *this)); }

void CVector3d::normalize()
{
    const double len = length();
    if (len > 0) {
        c[0] /= len;
        c[1] /= len;
        c[2] /= len;
    }
}

CVector3d CVector3d::unitNormal(const CVector3d& a, const CVector3d& b, const CVector3d& cc)
{
    CVector3d n = cross(b - a, cc - a);
    n.normalize();
    *this = n;
    return n;
}

double CVector3d::maxNorm() const
{
    const double ax = std::fabs(c[0]), ay = std::fabs(c[1]), az = std::fabs(c[2]);
    const double m = ax > ay ? ax : ay;
    return m > az ? m : az;
}

void CVector3d::frameCoords(CVector3d v, double& s, double& t) const
{
    s = v.x() * c[0] + v.y() * c[1];
    t = v.x() * c[1] - c[0] * v.y();
}

CVector3d CVector3d::rotateAboutZ(double angle) const
{
    const double co = std::cos(angle), si = std::sin(angle);
    return CVector3d(co * c[0] + si * c[1], co * c[1] - si * c[0], c[2]);
}

CVector3d CVector3d::rotateAboutX(double angle) const
{
    const double co = std::cos(angle), si = std::sin(angle);
    return CVector3d(c[0], co * c[1] + si * c[2], co * c[2] - si * c[1]);
}

bool operator==(const CVector3d& a, const CVector3d& b)
{
    const double s = a.length() + b.length();
    if (s < 1e-12) return true;
    return (a - b).length() / s < 1e-8;
}

bool operator!=(const CVector3d& a, const CVector3d& b) { return !(a == b); }

std::istream& operator>>(std::istream& is, CVector3d& v)
{
    std::cout << std::right;
    const char* prompts[3] = {"\nx= ", "\ny= ", "\nz= "};
    for (int i = 0; i < 3; ++i) {
        std::cout << prompts[i];
        is >> v[i];
    }
    return is;
}

std::ostream& operator<<(std::ostream& os, const CVector3d& v)
{
    os.setf(std::ios::right);
    os << "\n(" << v.x() << ", " << v.y() << ", " << v.z() << ")\n";
    return os;
}

bool solveQuadratic(double a, double b, double c, double& r1, double& r2)
{
    const double d = b * b - (4 * c) * a;
    if (d < 0) return false;
    const double q = std::sqrt(d);
    if (b > 0) {
        r1 = (-b - q) / 2 / a;
        r2 = c / a / r1;
    } else {
        r2 = (-b + q) / 2 / a;
        r1 = c / a / r2;
    }
    return true;
}

void vectorError(const char* message)
{
    std::cerr << "\nCVector3d-error: " << message << '\n' << std::endl;
    std::exit(1);
}

double length(CVector3d v) { return std::sqrt(v.x() * v.x() + v.y() * v.y() + v.z() * v.z()); }

double SqrNorm(CVector3d v) { return v.x() * v.x() + v.y() * v.y() + v.z() * v.z(); }

bool IsFinite(const CVector3d& v) { return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z()); }
