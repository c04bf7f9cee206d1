#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/FrameMatrix.h"

namespace {

CVector3d Column(const CFrameMatrix& f, int c)
{
    return CVector3d(f.myMat[4 * c], f.myMat[4 * c + 1], f.myMat[4 * c + 2]);
}

void ExpectNear(const CVector3d& a, const CVector3d& b, double tol)
{
    EXPECT_NEAR(a.x(), b.x(), tol);
    EXPECT_NEAR(a.y(), b.y(), tol);
    EXPECT_NEAR(a.z(), b.z(), tol);
}

// A rotation: orthonormal, right-handed, affine row and translation zero.
void ExpectRotation(const CFrameMatrix& f)
{
    const CVector3d c0 = Column(f, 0), c1 = Column(f, 1), c2 = Column(f, 2);
    EXPECT_NEAR(dot(c0, c0), 1.0, 1e-12);
    EXPECT_NEAR(dot(c1, c1), 1.0, 1e-12);
    EXPECT_NEAR(dot(c2, c2), 1.0, 1e-12);
    EXPECT_NEAR(dot(c0, c1), 0.0, 1e-12);
    EXPECT_NEAR(dot(c0, c2), 0.0, 1e-12);
    EXPECT_NEAR(dot(c1, c2), 0.0, 1e-12);
    ExpectNear(cross(c0, c1), c2, 1e-12);
    for (int i : {3, 7, 11, 12, 13, 14}) EXPECT_EQ(f.myMat[i], 0.0);
    EXPECT_EQ(f.myMat[15], 1.0);
}

TEST(FrameMatrix, LocalZGoesOntoTheDirection)
{
    const CVector3d dirs[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 2}, {-3, 4, 0}, {1, -2, 3}, {-0.5, -0.5, -7}, {1e-5, 0, -1}};
    for (const CVector3d& d : dirs) {
        SCOPED_TRACE(testing::Message() << d.x() << " " << d.y() << " " << d.z());
        const CFrameMatrix f = MakeFrameMatrix(d);
        ASSERT_TRUE(f.valid);
        EXPECT_NEAR(f.length, length(d), 1e-12);
        ExpectRotation(f);
        ExpectNear(Column(f, 2) * f.length, d, 1e-12);
    }
}

TEST(FrameMatrix, PlusZIsTheIdentity)
{
    const CFrameMatrix f = MakeFrameMatrix(CVector3d(0, 0, 0.7));
    ASSERT_TRUE(f.valid);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(f.myMat[i], i % 5 == 0 ? 1.0 : 0.0) << i;
}

TEST(FrameMatrix, MinusZIsAHalfTurnAboutY)
{
    const CFrameMatrix f = MakeFrameMatrix(CVector3d(0, 0, -2));
    ASSERT_TRUE(f.valid);
    EXPECT_EQ(f.length, 2.0);
    ExpectNear(Column(f, 0), CVector3d(-1, 0, 0), 0);
    ExpectNear(Column(f, 1), CVector3d(0, 1, 0), 0);
    ExpectNear(Column(f, 2), CVector3d(0, 0, -1), 0);
}

TEST(FrameMatrix, TinyHorizontalPartCountsAsVerticalButKeepsTheFullLength)
{
    const double h = std::sqrt(1e-13);
    const CFrameMatrix f = MakeFrameMatrix(CVector3d(h, 0, 1));
    ASSERT_TRUE(f.valid);
    EXPECT_DOUBLE_EQ(f.length, std::sqrt(1.0 + 1e-13));
    // No turn about z and none toward x: the tube stands straight up.
    ExpectNear(Column(f, 1), CVector3d(0, 1, 0), 0);
    EXPECT_EQ(Column(f, 2).x(), 0.0);
    ExpectRotation(f);

    // Just above the threshold the direction is followed.
    const CFrameMatrix g = MakeFrameMatrix(CVector3d(std::sqrt(1e-11), 0, 1));
    EXPECT_GT(Column(g, 2).x(), 0.0);
}

TEST(FrameMatrix, DegenerateDirectionsAreRefused)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CVector3d dirs[] = {{0, 0, 0}, {nan, 0, 1}, {0, 0, inf}, {1e200, 1e200, 0}, {1e-200, 0, 0}};
    for (const CVector3d& d : dirs) {
        const CFrameMatrix f = MakeFrameMatrix(d);
        EXPECT_FALSE(f.valid) << d.x() << " " << d.y() << " " << d.z();
        for (double m : f.myMat) EXPECT_TRUE(std::isfinite(m));
    }
}

}  // namespace
