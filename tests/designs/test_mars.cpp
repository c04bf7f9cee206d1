// MARS design: layout, fold values, rigidity, refusal and keys.
#include <gtest/gtest.h>

#include <sstream>

#include "crimpa/designs/Mars.h"
#include "tests/designs/DesignTestSupport.h"
#include "tests/support/DepthSweep.h"

using namespace designtest;

namespace {

class MarsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Quietly([] { mars::MakeDesign(std::cout); });
    }
};

struct PointCase {
    int vertex;
    double x, y, z;
};

void ExpectFold(double rhoDegrees, const std::vector<PointCase>& cases)
{
    mars::rho = rhoDegrees / 180 * kPi;
    ASSERT_TRUE(mars::FoldStep(std::cout));
    for (const PointCase& c : cases)
        ExpectPointNear(mars::designPoints[c.vertex], c.x, c.y, c.z, 5e-7, "vertex " + std::to_string(c.vertex));
}

}  // namespace

TEST_F(MarsTest, BuildShowsTheTableAndLaysThePatternOutFlat)
{
    EXPECT_EQ(designMode, 5);
    EXPECT_EQ(theMesh.nVertices, 16);
    EXPECT_EQ(theMesh.nFaces, 9);
    EXPECT_EQ(theMesh.nEdges, 24);
    EXPECT_EQ(theMesh.nSpecialEdges, 0);
    ExpectPointNear(theMesh.VertexPosition(8), 0, 1.9, 0.4, 0, "table vertex 8");
    EXPECT_DOUBLE_EQ(mars::rho, -0.5235987755982983);
    for (int v = 0; v < mars::kPoints; ++v) EXPECT_EQ(mars::designPoints[v].z(), (v == 2 || v == 3) ? 0.4 : 0.0);
    EXPECT_DOUBLE_EQ(mars::creaseLength0, std::sqrt(5.0));
    EXPECT_DOUBLE_EQ(mars::creaseLength1, std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(mars::creaseLength8, std::sqrt(2.0));
}

TEST_F(MarsTest, FoldAtMinus30Degrees)
{
    ExpectFold(-30, {{8, 0, 1.8660254, 0.5},
                     {9, 1, 1.8660254, 0.5},
                     {6, 2.9756630, 2, 0.2192753},
                     {2, 2.9756630, 0, 0.2192753},
                     {10, 1.9756630, 2.8660254, 0.7192753},
                     {13, 1, 3.8660254, 0.5},
                     {12, 0, 3.8660254, 0.5},
                     {11, 3.9756630, 2.8660254, 0.7192753},
                     {7, 3.9756630, 2, 0.2192753},
                     {3, 3.9756630, 0, 0.2192753},
                     {15, 3.9756630, 3.8660254, 0.7192753}});
}

TEST_F(MarsTest, FoldAtMinus50Degrees)
{
    ExpectFold(-50, {{8, 0, 1.6427876, 0.7660444}, {6, 2.9280690, 2, 0.3724084}, {11, 3.9280690, 2.6427876, 1.1384528}});
}

TEST_F(MarsTest, FoldKeepsEveryEdgeAndDiagonalAndTheFixedFace)
{
    Press('R');
    const std::vector<CFacePair> first = FacePairs();
    const std::vector<CVector3d> start = MeshPositions();
    const struct {
        unsigned char key;
        int times;
    } runs[] = {{'R', 40}, {'r', 120}, {'R', 30}};
    for (const auto& run : runs)
        for (int i = 0; i < run.times; ++i) {
            Press(run.key);
            ASSERT_LT(LargestLengthChange(first), 1e-9) << "after " << run.key << " at rho " << Degrees(mars::rho);
        }
    for (int v : {0, 1, 4, 5}) ExpectSamePoint(theMesh.VertexPosition(v), start[v], 0, "fixed vertex");
}

TEST_F(MarsTest, FoldKeepsTheGridParallelograms)
{
    const CVector3d* p = mars::designPoints;
    for (double deg : {-80.0, -30.0, 10.0, 60.0}) {
        mars::rho = deg / 180 * kPi;
        ASSERT_TRUE(mars::FoldStep(std::cout));
        ExpectSamePoint(p[12] - p[8], p[13] - p[9], 1e-12, "column 0 follows column 1");
        ExpectSamePoint(p[3] - p[2], p[7] - p[6], 1e-12, "column 3 follows column 2");
        ExpectSamePoint(p[15] - p[14], p[11] - p[10], 1e-12, "top row follows");
    }
}

TEST_F(MarsTest, KeysRTurnByOneDegreeAndAltRKeepsRho)
{
    EXPECT_EQ(Press('R'), "rho = -29\n");
    EXPECT_EQ(Press('r'), "rho = -30\n");
    EXPECT_EQ(Press('r'), "rho = -31\n");
    EXPECT_EQ(Press('r', kAltModifier), "rho = -31\n");
    EXPECT_EQ(Press('D'), "delta = 0\n");
    EXPECT_EQ(Press('o'), "omega = 0\n");
    EXPECT_EQ(Press('M'), "");
    for (unsigned char key : {'9', 'P', 'p', '1'}) EXPECT_FALSE(DesignKey(key, 0, std::cout)) << key;
}

TEST_F(MarsTest, KeyIBuildsAgainAtMinus30)
{
    PressTimes('R', 5);
    const std::string out = Press('I');
    EXPECT_NE(out.find(" generated 24 edges"), std::string::npos);
    EXPECT_NE(out.find("rho = -30\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(mars::rho, -0.5235987755982983);
    ExpectPointNear(theMesh.VertexPosition(8), 0, 1.8660254, 0.5, 5e-7, "placed vertex 8");
}

TEST_F(MarsTest, StepWithoutIntersectionIsRefused)
{
    Press('R');
    const double rho = mars::rho;
    const std::vector<CVector3d> before = MeshPositions();
    CVector3d points[mars::kPoints];
    for (int v = 0; v < mars::kPoints; ++v) points[v] = mars::designPoints[v];
    mars::creaseLength0 = 0.1;  // no point can be that near to vertex 1 and still meet the others

    const std::string out = Press('R');
    EXPECT_NE(out.find("no intersection in ThreeSpheresIS\n"), std::string::npos);
    EXPECT_NE(out.find("rho = -29\n"), std::string::npos);
    EXPECT_EQ(mars::rho, rho);
    for (int v = 0; v < mars::kPoints; ++v) ExpectSamePoint(mars::designPoints[v], points[v], 0, "design point");
    for (int v = 0; v < theMesh.nVertices; ++v) ExpectSamePoint(theMesh.VertexPosition(v), before[v], 0, "vertex");
}

TEST_F(MarsTest, KeysLeaveALoadedMeshAlone)
{
    builtInDesignShown = false;  // as after a design file
    const std::vector<CVector3d> before = MeshPositions();
    for (unsigned char key : {'R', 'r', 'M', 'D', 'O'}) Press(key);
    for (int v = 0; v < theMesh.nVertices; ++v) ExpectSamePoint(theMesh.VertexPosition(v), before[v], 0, "vertex");
    Press('I');
    EXPECT_TRUE(builtInDesignShown);
    ExpectPointNear(theMesh.VertexPosition(8), 0, 1.8660254, 0.5, 5e-7, "placed vertex 8");
}

// A design key prints on the stream it is given and nothing on the console.
TEST_F(MarsTest, KeysPrintOnTheStreamTheyAreGiven)
{
    std::ostringstream os;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(DesignKey('d', 0, os));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(os.str(), "delta = 0\n");
}

// The design as built, moved anywhere, keeps its whole depth at every zoom step.
TEST_F(MarsTest, KeepsItsWholeDepthAtEveryZoomStepWhereverItLies)
{
    depthsweep::ExpectWholeDepthWhereverItLies(theMesh, ERatioOrder::kProductFirst);
}
