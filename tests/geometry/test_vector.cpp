#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "geometry/CVector3d.h"

TEST(Vector, ArithmeticAndProducts)
{
    const CVector3d a(1, 2, 3), b(4, -5, 6);
    EXPECT_EQ(CVector3d(5, -3, 9), a + b);
    EXPECT_EQ(CVector3d(-3, 7, -3), a - b);
    EXPECT_EQ(CVector3d(-1, -2, -3), -a);
    EXPECT_EQ(CVector3d(2, 4, 6), 2.0 * a);
    EXPECT_EQ(CVector3d(2, 4, 6), a * 2.0);
    EXPECT_EQ(CVector3d(0.5, 1, 1.5), a / 2.0);
    EXPECT_DOUBLE_EQ(12.0, dot(a, b));
    EXPECT_EQ(CVector3d(27, 6, -13), cross(a, b));
    EXPECT_DOUBLE_EQ(std::sqrt(14.0), a.length());
    EXPECT_DOUBLE_EQ(std::sqrt(14.0), length(a));
    EXPECT_DOUBLE_EQ(14.0, SqrNorm(a));
    EXPECT_DOUBLE_EQ(3.0, CVector3d(-3, 2, 1).maxNorm());
}

TEST(Vector, NormalizeKeepsZeroVector)
{
    CVector3d z(0, 0, 0);
    z.normalize();
    EXPECT_EQ(0.0, z.length());
    CVector3d v(3, 0, 4);
    v.normalize();
    EXPECT_DOUBLE_EQ(0.6, v.x());
    EXPECT_DOUBLE_EQ(0.8, v.z());

    CVector3d n(9, 9, 9);
    n.unitNormal(CVector3d(0, 0, 0), CVector3d(1, 0, 0), CVector3d(0, 1, 0));
    EXPECT_EQ(CVector3d(0, 0, 1), n);
    n.unitNormal(CVector3d(0, 0, 0), CVector3d(1, 1, 1), CVector3d(2, 2, 2));
    EXPECT_EQ(0.0, n.length());
}

TEST(Vector, RelativeEquality)
{
    EXPECT_TRUE(CVector3d(0, 0, 0) == CVector3d(0, 0, 0));
    EXPECT_TRUE(CVector3d(1, 0, 0) == CVector3d(1 + 1e-9, 0, 0));
    EXPECT_FALSE(CVector3d(1, 0, 0) == CVector3d(1.001, 0, 0));
    EXPECT_TRUE(CVector3d(1, 0, 0) != CVector3d(1.001, 0, 0));
    EXPECT_FALSE(CVector3d(NAN, 0, 0) == CVector3d(NAN, 0, 0));
}

TEST(Vector, QuadraticRoots)
{
    struct Case {
        double a, b, c;
        bool ok;
        double r1, r2;
    } cases[] = {{1, -3, 2, true, 1, 2}, {1, 3, 2, true, -2, -1}, {1, 2, 1, true, -1, -1}, {1, 0, 1, false, 7, 8}};
    for (const Case& k : cases) {
        double r1 = 7, r2 = 8;
        EXPECT_EQ(k.ok, solveQuadratic(k.a, k.b, k.c, r1, r2));
        EXPECT_DOUBLE_EQ(k.r1, r1);
        EXPECT_DOUBLE_EQ(k.r2, r2);
    }
    double r1 = 0, r2 = 0;
    EXPECT_TRUE(solveQuadratic(1, 0, 0, r1, r2));
    EXPECT_EQ(0.0, r2);
    EXPECT_TRUE(std::isnan(r1));
}

TEST(Vector, RotationsFramesAndDegrees)
{
    const CVector3d r = CVector3d(1, 0, 0).rotateAboutZ(kPi / 2);
    EXPECT_NEAR(0.0, r.x(), 1e-12);
    EXPECT_NEAR(-1.0, r.y(), 1e-12);
    const CVector3d q = CVector3d(0, 1, 0).rotateAboutX(kPi / 2);
    EXPECT_NEAR(0.0, q.y(), 1e-12);
    EXPECT_NEAR(-1.0, q.z(), 1e-12);
    double s, t;
    CVector3d(1, 0, 5).frameCoords(CVector3d(2, 3, 9), s, t);
    EXPECT_DOUBLE_EQ(2.0, s);
    EXPECT_DOUBLE_EQ(-3.0, t);
    EXPECT_EQ(3.14159265358979, degToRad(180));
    EXPECT_NE(M_PI, degToRad(180));
    EXPECT_DOUBLE_EQ(0.017453292519943278, degToRad(1));
}

TEST(Vector, IndexAndStreams)
{
    CVector3d v(1, 2, 3);
    v[1] = 5;
    EXPECT_EQ(5.0, v.y());
    EXPECT_EQ(3.0, static_cast<const CVector3d&>(v)[2]);
    std::ostringstream os;
    os << CVector3d(1, -0.5, 1.0 / 3);
    EXPECT_EQ("\n(1, -0.5, 0.333333)\n", os.str());
    std::istringstream is("4 5 6");
    CVector3d w;
    is >> w;
    EXPECT_EQ(CVector3d(4, 5, 6), w);
}

TEST(VectorDeathTest, BadIndexEndsWithCodeOne)
{
    CVector3d v(1, 2, 3);
    EXPECT_EXIT(v[3], ::testing::ExitedWithCode(1), "CVector3d-error: bad Index!");
    EXPECT_EXIT(v[-1], ::testing::ExitedWithCode(1), "bad Index!");
}
