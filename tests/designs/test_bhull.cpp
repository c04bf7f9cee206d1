// Belcastro-Hull illustration: phases, frames, rigidity and the animation keys.
#include <gtest/gtest.h>

#include "crimpa/core/Keys.h"
#include "crimpa/designs/BelcastroHull.h"
#include "tests/designs/DesignTestSupport.h"
#include "tests/support/DepthSweep.h"

using namespace designtest;

namespace {

class BelcastroHullTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        animate = false;
        autoSpin = false;
        frameCounter = 0;
        Quietly([] { bhull::MakeDesign(std::cout); });
    }
};

const CVector3d& P(int k) { return bhull::designPoints[k]; }

// Runs one animation started by r, as the viewer's idle callback does: while
// the scene moves (200 frames); returns the console.
std::string RunOnePhase()
{
    std::string out = Press('r');
    testing::internal::CaptureStdout();
    for (int i = 0; i < 1000 && SceneMoves(); ++i) AdvanceAnimation(std::cout);
    return out + testing::internal::GetCapturedStdout();
}

const double s = std::sqrt(0.5);

}  // namespace

TEST_F(BelcastroHullTest, StartsFlatWithTheCutClosed)
{
    EXPECT_EQ(designMode, 1);
    EXPECT_EQ(bhull::phase, 0);
    EXPECT_EQ(bhull::phaseFrame, 0);
    ExpectPointNear(theMesh.VertexPosition(0), 0, 0, 0, 0, "apex");
    for (int k = 1; k < 6; ++k) {
        EXPECT_DOUBLE_EQ(length(theMesh.VertexPosition(k)), 1.0) << k;
        EXPECT_EQ(theMesh.VertexPosition(k).z(), 0.0);
    }
    ExpectSamePoint(theMesh.VertexPosition(1), theMesh.VertexPosition(5), 0, "the two sides of the cut");
}

TEST_F(BelcastroHullTest, OnePhaseIs200FramesAndTurnsP4OntoTheXAxis)
{
    const std::string out = RunOnePhase();
    std::string expected;
    for (int frame = 1; frame <= 200; ++frame) expected += "0\n" + std::to_string(frame) + "\n";
    EXPECT_EQ(out, expected);
    EXPECT_FALSE(animate);
    EXPECT_EQ(frameCounter, 0);
    EXPECT_EQ(bhull::phase, 1);
    EXPECT_EQ(bhull::phaseFrame, 0);
    ExpectPointNear(theMesh.VertexPosition(4), 1, 0, 0, 1e-12, "P4");
    ExpectPointNear(theMesh.VertexPosition(1), -s, s, 0, 1e-12, "P1");
    ExpectPointNear(theMesh.VertexPosition(5), -s, s, 0, 1e-12, "P5");
}

TEST_F(BelcastroHullTest, EveryPhaseTurnsItsCreaseOntoTheXAxisAndKeepsTheFacesRigid)
{
    Press('M');
    const std::vector<CFacePair> first = FacePairs();
    // Which point lies on +x after each even phase, and which points an odd phase lifts.
    const struct {
        int onAxis;
        int firstFolded;
        double zSign;
    } phases[4] = {{4, 5, 1}, {3, 4, -1}, {2, 3, 1}, {1, 2, 1}};
    for (const auto& ph : phases) {
        RunOnePhase();
        ExpectPointNear(P(ph.onAxis), 1, 0, P(ph.onAxis).z(), 1e-9, "crease on the x axis");
        const CVector3d before[6] = {P(0), P(1), P(2), P(3), P(4), P(5)};
        RunOnePhase();
        for (int k = 0; k < 6; ++k) {
            if (k >= ph.firstFolded)
                EXPECT_NEAR(P(k).x(), before[k].x(), 1e-12) << "a fold about x keeps x";
            else
                ExpectSamePoint(P(k), before[k], 0, "unfolded side stays");
        }
        EXPECT_GT(ph.zSign * P(ph.firstFolded).z(), 1e-3) << "phase " << bhull::phase;
        ASSERT_LT(LargestLengthChange(first), 1e-9) << "after phase " << bhull::phase - 1;
        for (int k = 1; k < 6; ++k) EXPECT_NEAR(length(P(k)), 1.0, 1e-9);
    }
    EXPECT_EQ(bhull::phase, 8);
}

TEST_F(BelcastroHullTest, AfterTheFirstFoldOnlyP5HasLeftThePlane)
{
    RunOnePhase();
    RunOnePhase();
    EXPECT_GT(P(5).z(), 0);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(P(k).z(), 0.0) << k;
}

TEST_F(BelcastroHullTest, FramesAfterTheLastPhaseMoveNothing)
{
    bhull::phase = 8;
    const CVector3d before[6] = {P(0), P(1), P(2), P(3), P(4), P(5)};
    const std::string out = Quietly([] { bhull::FoldStep(std::cout); });
    EXPECT_EQ(out, "8\n");
    for (int k = 0; k < 6; ++k) ExpectSamePoint(P(k), before[k], 0, "point");
}

TEST_F(BelcastroHullTest, KeyRTogglesTheAnimationAndAStopResumesInsideThePhase)
{
    EXPECT_EQ(Press('R'), "");
    EXPECT_TRUE(animate);
    EXPECT_TRUE(SceneMoves());
    Quietly([] {
        for (int i = 0; i < 50; ++i) AdvanceAnimation(std::cout);
    });
    EXPECT_EQ(Press('r'), "");
    EXPECT_FALSE(animate);
    EXPECT_FALSE(SceneMoves());
    EXPECT_EQ(frameCounter, 0);
    EXPECT_EQ(bhull::phaseFrame, 50);
    RunOnePhase();
    EXPECT_EQ(bhull::phase, 1);
    EXPECT_EQ(bhull::phaseFrame, 50);
}

TEST_F(BelcastroHullTest, KeyIRestartsTheFigureAndLeavesTheAnimationRunning)
{
    Press('r');
    Quietly([] {
        for (int i = 0; i < 30; ++i) AdvanceAnimation(std::cout);
    });
    theMesh.nSpecialEdges = 3;  // as left behind by a design file
    const std::string out = Press('I');
    EXPECT_EQ(out.substr(out.size() - 8), "rho = 0\n");
    EXPECT_TRUE(animate);
    EXPECT_EQ(bhull::phase, 0);
    EXPECT_EQ(bhull::phaseFrame, 0);
    EXPECT_EQ(theMesh.nSpecialEdges, 0);
    ExpectPointNear(theMesh.VertexPosition(4), -s, -s, 0, 1e-15, "P4 back at the start");
}

TEST_F(BelcastroHullTest, AngleKeysPrintZero)
{
    EXPECT_EQ(Press('d'), "delta = 0\n");
    EXPECT_EQ(Press('O'), "omega = 0\n");
    for (unsigned char key : {'9', 'P', 'p'}) EXPECT_FALSE(DesignKey(key, 0, std::cout)) << key;
}

TEST_F(BelcastroHullTest, AnimationLeavesALoadedMeshAlone)
{
    builtInDesignShown = false;
    const std::vector<CVector3d> before = MeshPositions();
    RunOnePhase();
    for (int v = 0; v < theMesh.nVertices; ++v) ExpectSamePoint(theMesh.VertexPosition(v), before[v], 0, "vertex");
}

// The design as built, moved anywhere, keeps its whole depth at every zoom step.
TEST_F(BelcastroHullTest, KeepsItsWholeDepthAtEveryZoomStepWhereverItLies)
{
    depthsweep::ExpectWholeDepthWhereverItLies(theMesh, ERatioOrder::kProductFirst);
}
