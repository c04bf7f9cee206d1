#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "solvers/DesignSolvers.h"
#include "solvers/LibrarySolvers.h"

namespace {

using IntersectFn = bool (*)(CVector3d, double, CVector3d, double, CVector3d, double, CVector3d&, CVector3d&);

struct Form {
    const char* name;
    IntersectFn intersect;
    bool touchingSucceeds;
};

const Form kForms[] = {{"design", design::ThreeSpheresIS, true}, {"library", library::ThreeSpheresIS, false}};

// Three spheres and the points they share, all built by hand.
struct Spheres {
    CVector3d p1, p2, p3;
    double r1, r2, r3;
};

Spheres Around(const CVector3d& x, const CVector3d& p1, const CVector3d& p2, const CVector3d& p3)
{
    return {p1, p2, p3, (x - p1).length(), (x - p2).length(), (x - p3).length()};
}

// Mirror image of x in the plane of the three centres: the second common point.
CVector3d Mirror(const Spheres& s, const CVector3d& x)
{
    CVector3d n = cross(s.p2 - s.p1, s.p3 - s.p1);
    n.normalize();
    return x - 2 * dot(x - s.p1, n) * n;
}

// Exact in binary: centres (-3,0,0), (0,-3,0), origin, common points (0,0,+-4).
const Spheres kExact = {CVector3d(-3, 0, 0), CVector3d(0, -3, 0), CVector3d(0, 0, 0), 5, 5, 4};

void ExpectPoint(const CVector3d& got, const CVector3d& want, double tol)
{
    EXPECT_NEAR(got.x(), want.x(), tol);
    EXPECT_NEAR(got.y(), want.y(), tol);
    EXPECT_NEAR(got.z(), want.z(), tol);
}

class BothForms : public testing::TestWithParam<Form> {};

TEST_P(BothForms, FindsBothPointsNearerFirst)
{
    const Form f = GetParam();
    const CVector3d x(1.0, 2.0, 3.0);
    const Spheres s = Around(x, CVector3d(0, 0, 0), CVector3d(4, 0, 0.5), CVector3d(0.5, 5, 1));
    const CVector3d other = Mirror(s, x);
    ASSERT_GT((other - x).length(), 1.0);

    CVector3d x1 = x + CVector3d(0.1, -0.1, 0.05), x2;
    ASSERT_TRUE(f.intersect(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, x1, x2));
    ExpectPoint(x1, x, 1e-10);
    ExpectPoint(x2, other, 1e-10);

    x1 = other + CVector3d(0.1, 0.1, 0.1);
    ASSERT_TRUE(f.intersect(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, x1, x2));
    ExpectPoint(x1, other, 1e-10);
    ExpectPoint(x2, x, 1e-10);
}

TEST_P(BothForms, MidwayPreviousPointKeepsThePlusRoot)
{
    // The line runs along n1 x n2 = +z here, so the +sqrt(D) root is the upper point.
    const Form f = GetParam();
    const Spheres& s = kExact;
    CVector3d x1(0, 0, 0), x2;
    ASSERT_TRUE(f.intersect(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, x1, x2));
    EXPECT_EQ(x1.z(), 4.0);
    EXPECT_EQ(x2.z(), -4.0);

    x1 = CVector3d(0, 0, -3.9);
    ASSERT_TRUE(f.intersect(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, x1, x2));
    EXPECT_EQ(x1.z(), -4.0);
    EXPECT_EQ(x2.z(), 4.0);
}

TEST_P(BothForms, TieOfLargestLineComponents)
{
    // n1 = +z and n2 along (1, -1, 0) make n1 x n2 have equal x and y components.
    const Form f = GetParam();
    const CVector3d x(1.0, 2.0, 0.5);
    const Spheres s = Around(x, CVector3d(0, 0, -1), CVector3d(-1, 1, 0), CVector3d(0, 0, 0));
    const CVector3d other(-2.0, -1.0, 0.5);  // mirror in the plane x + y = 0
    CVector3d x1 = x, x2;
    ASSERT_TRUE(f.intersect(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, x1, x2));
    ExpectPoint(x1, x, 1e-10);
    ExpectPoint(x2, other, 1e-10);
}

struct TouchCase {
    const char* name;
    double r1;  // against r2 = 3, r3 = 4 about the centres below
};

TEST_P(BothForms, TouchingSpheres)
{
    // Centres (-3,0,0), (0,-3,0), (0,4,0) and the origin in their plane: one common point.
    const Form f = GetParam();
    const TouchCase cases[] = {{"exact", 3.0}, {"slightlyApart", 3.0 - 1e-13}, {"slightlyOver", 3.0 + 1e-13}};
    for (const TouchCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CVector3d sentinel1(7, 7, 7), sentinel2(8, 8, 8);
        CVector3d x1 = sentinel1, x2 = sentinel2;
        const bool ok = f.intersect(CVector3d(-3, 0, 0), c.r1, CVector3d(0, -3, 0), 3.0, CVector3d(0, 4, 0), 4.0, x1,
                                    x2);
        EXPECT_EQ(ok, f.touchingSucceeds);
        if (f.touchingSucceeds) {
            EXPECT_EQ(x1.x(), x2.x());
            EXPECT_EQ(x1.y(), x2.y());
            EXPECT_EQ(x1.z(), x2.z());
            ExpectPoint(x1, CVector3d(0, 0, 0), 1e-6);
        } else {
            EXPECT_EQ(x1.x(), 7.0);
            EXPECT_EQ(x2.x(), 8.0);
        }
    }
}

struct FailureCase {
    const char* name;
    Spheres s;
};

TEST_P(BothForms, FailuresWriteNothing)
{
    const Form f = GetParam();
    const FailureCase cases[] = {
        {"centre1AtCentre3", {CVector3d(1, 1, 1), CVector3d(0, 3, 0), CVector3d(1, 1, 1), 2, 2, 2}},
        {"centre2AtCentre3", {CVector3d(3, 0, 0), CVector3d(1, 1, 1), CVector3d(1, 1, 1), 2, 2, 2}},
        {"collinearCentres", {CVector3d(0, 0, 0), CVector3d(1, 1, 1), CVector3d(2, 2, 2), 3, 3, 3}},
        {"sphere1TooFar", {CVector3d(-10, 0, 0), CVector3d(0, -1, 0), CVector3d(0, 0, 0), 1, 1, 1}},
        {"sphere2TooFar", {CVector3d(-1, 0, 0), CVector3d(0, -10, 0), CVector3d(0, 0, 0), 1, 1, 1}},
        // Each pair meets, but the circumradius 2 / sqrt(3) exceeds every radius.
        {"lineMissesSphere1",
         {CVector3d(0, 0, 0), CVector3d(2, 0, 0), CVector3d(1, std::sqrt(3.0), 0), 1.05, 1.05, 1.05}},
        {"nestedSphere", {CVector3d(0, 0, 0), CVector3d(0.1, 0, 0), CVector3d(0, 0.1, 0), 5, 1, 4.95}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Spheres& s = c.s;
        CVector3d x1(7, 7, 7), x2(8, 8, 8);
        EXPECT_FALSE(f.intersect(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, x1, x2));
        EXPECT_EQ(x1.x(), 7.0);
        EXPECT_EQ(x1.y(), 7.0);
        EXPECT_EQ(x1.z(), 7.0);
        EXPECT_EQ(x2.x(), 8.0);
        EXPECT_EQ(x2.y(), 8.0);
        EXPECT_EQ(x2.z(), 8.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, BothForms, testing::ValuesIn(kForms),
                         [](const testing::TestParamInfo<Form>& info) { return std::string(info.param.name); });

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(DesignNewton, StartAtTheSolutionPrintsOneZero)
{
    const Spheres& s = kExact;
    testing::internal::CaptureStdout();
    const CVector3d x = design::ThreeSpheresNewton(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, CVector3d(0, 0, 4), std::cout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "0\n");
    EXPECT_EQ(x.x(), 0.0);
    EXPECT_EQ(x.y(), 0.0);
    EXPECT_EQ(x.z(), 4.0);
}

TEST(DesignNewton, ConvergesToTheNearbyBranch)
{
    const CVector3d want(1.0, 2.0, 3.0);
    const Spheres s = Around(want, CVector3d(0, 0, 0), CVector3d(4, 0, 0.5), CVector3d(0.5, 5, 1));
    testing::internal::CaptureStdout();
    const CVector3d x = design::ThreeSpheresNewton(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, want + CVector3d(0.2, -0.1, 0.3), std::cout);
    const std::vector<std::string> lines = Lines(testing::internal::GetCapturedStdout());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_LT(lines.size(), 20u);
    EXPECT_LE(std::stod(lines.back()), 1e-9);
    for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_GT(std::stod(lines[i]), 1e-9) << i;
    ExpectPoint(x, want, 1e-12);
    EXPECT_TRUE(IsFinite(x));
    EXPECT_LT(LargestCreaseMiss(x, s.p1, s.r1, s.p2, s.r2, s.p3, s.r3), 1e-12);
}

TEST(DesignNewton, NoCommonPointStopsAfterTwentySteps)
{
    // Radius 1.05 about an equilateral triangle of circumradius 1.1547: Newton on z^2 + c never settles.
    const CVector3d p1(0, 0, 0), p2(2, 0, 0), p3(1, std::sqrt(3.0), 0);
    testing::internal::CaptureStdout();
    const CVector3d x = design::ThreeSpheresNewton(p1, 1.05, p2, 1.05, p3, 1.05, CVector3d(1.0, 0.6, 0.3), std::cout);
    const std::vector<std::string> lines = Lines(testing::internal::GetCapturedStdout());
    EXPECT_EQ(lines.size(), 20u);
    for (const std::string& line : lines) EXPECT_GT(std::stod(line), 1e-9) << line;
    EXPECT_GT(LargestCreaseMiss(x, p1, 1.05, p2, 1.05, p3, 1.05), 1e-3);
}

TEST(DesignNewton, SingularStartIsReportedAsNonFinite)
{
    // Start in the plane of the centres: the Jacobian has a zero z column.
    const Spheres& s = kExact;
    testing::internal::CaptureStdout();
    const CVector3d x = design::ThreeSpheresNewton(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, CVector3d(0.5, 0.25, 0), std::cout);
    const std::vector<std::string> lines = Lines(testing::internal::GetCapturedStdout());
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_FALSE(IsFinite(x));
    EXPECT_TRUE(std::isinf(LargestCreaseMiss(x, s.p1, s.r1, s.p2, s.r2, s.p3, s.r3)));
}

TEST(LibraryNewton, FourStepsReportedOnlyBySolveLeastSquares)
{
    const CVector3d want(1.0, 2.0, 3.0);
    const Spheres s = Around(want, CVector3d(0, 0, 0), CVector3d(4, 0, 0.5), CVector3d(0.5, 5, 1));
    testing::internal::CaptureStdout();
    const CVector3d x = library::ThreeSpheresNewton(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, want + CVector3d(0.01, 0, 0.01), std::cout);
    const std::vector<std::string> lines = Lines(testing::internal::GetCapturedStdout());
    ASSERT_EQ(lines.size(), 4u);
    for (const std::string& line : lines) EXPECT_EQ(line.rfind("min alpha: ", 0), 0u) << line;
    ExpectPoint(x, want, 1e-12);
}

TEST(LibraryNewton, KeepsGoingFromTheSolution)
{
    const Spheres& s = kExact;
    testing::internal::CaptureStdout();
    const CVector3d x = library::ThreeSpheresNewton(s.p1, s.r1, s.p2, s.r2, s.p3, s.r3, CVector3d(0, 0, 4), std::cout);
    EXPECT_EQ(Lines(testing::internal::GetCapturedStdout()).size(), 4u);
    ExpectPoint(x, CVector3d(0, 0, 4), 0.0);
}

TEST(CreaseMiss, MeasuresTheWorstSphere)
{
    const Spheres& s = kExact;
    EXPECT_EQ(LargestCreaseMiss(CVector3d(0, 0, 4), s.p1, s.r1, s.p2, s.r2, s.p3, s.r3), 0.0);
    // Origin: 3 from the first two centres (radius 5), 0 from the third (radius 4).
    EXPECT_DOUBLE_EQ(LargestCreaseMiss(CVector3d(0, 0, 0), s.p1, s.r1, s.p2, s.r2, s.p3, s.r3), 4.0);
    EXPECT_FALSE(IsFinite(CVector3d(0, std::nan(""), 0)));
    EXPECT_FALSE(IsFinite(CVector3d(0, 0, HUGE_VAL)));
    EXPECT_TRUE(IsFinite(CVector3d(-1e300, 0, 1e300)));
}

}  // namespace
