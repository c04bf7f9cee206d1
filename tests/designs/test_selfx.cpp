// Selfintersections design: closed-form fold, fixed corners, clamps, keys.
#include <gtest/gtest.h>

#include "crimpa/designs/SelfIntersections.h"
#include "tests/designs/DesignTestSupport.h"
#include "tests/support/DepthSweep.h"

using namespace designtest;

namespace {

class SelfxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Quietly([] { selfx::MakeDesign(std::cout); });
    }
};

const double kTable[12][3] = {{-0.5, -1.0, -0.75}, {0.5, -1.0, -0.75}, {-0.5, -1.0, -0.25}, {0.0, -1.0, -0.25},
                              {0.5, -1.0, 0.75},   {0.25, -1.0, 0.75}, {-0.5, 1.0, -0.75},  {0.5, 1.0, -0.75},
                              {-0.5, 1.0, -0.25},  {0.0, 1.0, -0.25},  {0.5, 1.0, 0.75},    {0.25, 1.0, 0.75}};

bool IsBottomCorner(int v) { return v == 0 || v == 1 || v == 6 || v == 7; }

}  // namespace

TEST_F(SelfxTest, BuildKeepsTheTableUntilTheFirstPlacement)
{
    EXPECT_EQ(designMode, 4);
    EXPECT_EQ(theMesh.nSpecialEdges, 0);
    EXPECT_DOUBLE_EQ(selfx::rho, 1.570796326794895);
    for (int v = 0; v < 12; ++v)
        ExpectPointNear(theMesh.VertexPosition(v), kTable[v][0], kTable[v][1], kTable[v][2], 0, "table vertex");
    // The computed upright design differs from the table in vertices 5 and 11 and by 5e-6 in z.
    Press('M');
    ExpectPointNear(theMesh.VertexPosition(5), 0.475, -1, 0.75, 1e-5, "vertex 5");
    ExpectPointNear(theMesh.VertexPosition(11), 0.475, 1, 0.75, 1e-5, "vertex 11");
    for (int v = 0; v < 12; ++v)
        if (v != 5 && v != 11)
            ExpectPointNear(theMesh.VertexPosition(v), kTable[v][0], kTable[v][1], kTable[v][2], 1e-5, "upright");
}

TEST_F(SelfxTest, CreasePointsKeepTheirDistancesForEveryAngle)
{
    const CVector3d* p = selfx::designPoints;
    const CVector3d corner(kTable[0][0], kTable[0][1], kTable[0][2]);
    for (double deg = 90; deg >= 1; deg -= 7) {
        selfx::FoldStep(deg / 180 * kPi);
        EXPECT_NEAR(length(p[2] - p[3]), 0.5, 1e-12) << deg;
        EXPECT_NEAR(length(p[4] - p[5]), 0.025, 1e-12) << deg;
        EXPECT_NEAR(length(p[3] - corner), 0.5 * std::sqrt(2.0), 5e-6) << deg;
        // The back wall is the front wall mirrored in y.
        for (int k : {2, 3, 4, 5}) ExpectSamePoint(p[k + 6], CVector3d(p[k].x(), -p[k].y(), p[k].z()), 1e-12, "mirror");
    }
}

TEST_F(SelfxTest, FoldIsRigidAndMovesOnlyEightVertices)
{
    Press('M');
    const std::vector<CFacePair> first = FacePairs();
    const std::vector<CVector3d> start = MeshPositions();
    double worstMoving = 0, worstCorner = 0;
    for (int i = 0; i < 95; ++i) {
        Press('r');
        for (const CFacePair& pair : first) {
            const double change = std::fabs(
                length(theMesh.VertexPosition(pair.v1) - theMesh.VertexPosition(pair.v2)) - pair.length);
            double& worst = (IsBottomCorner(pair.v1) || IsBottomCorner(pair.v2)) ? worstCorner : worstMoving;
            worst = std::fmax(worst, change);
        }
    }
    EXPECT_DOUBLE_EQ(selfx::rho, selfx::kMinRho);
    EXPECT_LT(worstMoving, 1e-9);
    EXPECT_LT(worstCorner, 1e-5);  // the corners keep the table's slightly lower height
    for (int v : {0, 1, 6, 7}) ExpectSamePoint(theMesh.VertexPosition(v), start[v], 0, "bottom corner");
}

TEST_F(SelfxTest, KeysClampRhoAndPrintIt)
{
    EXPECT_EQ(Press('R'), "rho = 89.9994\n");
    EXPECT_DOUBLE_EQ(selfx::rho, selfx::kMaxRho);
    EXPECT_EQ(Press('r'), "rho = 88.9994\n");
    EXPECT_EQ(Press('r', kAltModifier), "rho = 88.9994\n");
    PressTimes('r', 100);
    EXPECT_DOUBLE_EQ(selfx::rho, selfx::kMinRho);
    const std::string rebuilt = Press('I');
    EXPECT_EQ(rebuilt.substr(rebuilt.size() - 10), "\nrho = 90\n");
    EXPECT_EQ(Press('D'), "delta = 0\n");
    EXPECT_EQ(Press('o'), "omega = 0\n");
}

TEST_F(SelfxTest, OtherBuildsKeysChangeNothing)
{
    Press('r');
    const double rho = selfx::rho;
    ExpectOtherBuildsKeysIgnored({'1', '2', '3', '4', '9', 'P', 'p'});
    EXPECT_EQ(selfx::rho, rho);
}

TEST_F(SelfxTest, KeysLeaveALoadedMeshAlone)
{
    builtInDesignShown = false;
    const std::vector<CVector3d> before = MeshPositions();
    for (unsigned char key : {'r', 'R', 'M', 'D'}) Press(key);
    for (int v = 0; v < theMesh.nVertices; ++v) ExpectSamePoint(theMesh.VertexPosition(v), before[v], 0, "vertex");
    Press('I');
    EXPECT_TRUE(builtInDesignShown);
}

// The design as built, moved anywhere, keeps its whole depth at every zoom step.
TEST_F(SelfxTest, KeepsItsWholeDepthAtEveryZoomStepWhereverItLies)
{
    depthsweep::ExpectWholeDepthWhereverItLies(theMesh, ERatioOrder::kProductFirst);
}
