// Extended paper bag design: rigid folds, the straight band, counts, keys.
#include <gtest/gtest.h>

#include "crimpa/designs/DesignSupport.h"
#include "crimpa/designs/PaperBag.h"
#include "tests/designs/DesignTestSupport.h"
#include "tests/support/DepthSweep.h"

using namespace designtest;

namespace {

class PaperBagTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paperbag::boxWidth = 1.0;
        paperbag::boxLength = 2.0;
        paperbag::flapInset = 0.5;
        Quietly([] { InitDesign(); });
    }
};

const CVector3d& V(int k) { return paperbag::designPoints[k]; }

// Box-corner coordinates of a design point.
CVector3d Corner(int k) { return V(k) + paperbag::boxCentre; }

double ApexGap() { return length(V(14) - V(5)); }

void ExpectMirrored()
{
    ExpectSamePoint(V(13), MirrorX(V(12)), 1e-12, "V13");
    ExpectSamePoint(V(16), MirrorY(V(12)), 1e-12, "V16");
    ExpectSamePoint(V(17), MirrorXY(V(12)), 1e-12, "V17");
    ExpectSamePoint(V(15), MirrorX(V(14)), 1e-9, "V15");
    ExpectSamePoint(V(18), MirrorY(V(14)), 1e-12, "V18");
    ExpectSamePoint(V(11), MirrorY(V(5)), 1e-12, "V11");
    ExpectSamePoint(V(9), MirrorY(V(3)), 1e-12, "V9");
    ExpectSamePoint(V(4), MirrorX(V(2)), 1e-12, "V4");
}

}  // namespace

TEST_F(PaperBagTest, StartsUprightWithTheBandCornerAboveTheWall)
{
    EXPECT_EQ(designMode, 3);
    EXPECT_EQ(theMesh.nVertices, 20);
    EXPECT_EQ(theMesh.nFaces, 23);
    EXPECT_EQ(theMesh.nEdges, 42);
    EXPECT_EQ(theMesh.vertices[0].type, 1);
    const double a = 0.5, t = std::sqrt(3.0);
    ExpectPointNear(Corner(12), 0, 0, a + t, 1e-9, "V12");
    ExpectPointNear(Corner(2), 0, 0, a, 1e-12, "V2");
    ExpectPointNear(Corner(5), a, 0, a + t, 1e-7, "V5");
    ExpectPointNear(Corner(19), 1, 2 - 0.5, a + t, 1e-12, "V19");
    for (int v = 0; v < 20; ++v) ExpectSamePoint(theMesh.VertexPosition(v), V(v), 0, "placed");
    ExpectMirrored();
}

TEST_F(PaperBagTest, SideWallKeysFoldRigidlyForEveryParameterSet)
{
    for (unsigned char set : {'0', '1', '2', '3'}) {
        if (set != '0') Press(set);
        const std::vector<CFacePair> first = FacePairs();
        const struct {
            unsigned char key;
            int times;
        } runs[] = {{'r', 60}, {'R', 25}, {'r', 40}};
        for (const auto& run : runs)
            for (int i = 0; i < run.times; ++i) {
                const std::string out = Press(run.key);
                ASSERT_EQ(out.find("no intersection"), std::string::npos) << set;
                ASSERT_LT(LargestLengthChange(first), 1e-9) << "set " << set << " rho " << Degrees(paperbag::rho);
                ASSERT_NEAR(ApexGap(), paperbag::a + paperbag::flapInset, 1e-9);
                ExpectMirrored();
            }
        EXPECT_GE(paperbag::rho, paperbag::kMinRho);
    }
}

TEST_F(PaperBagTest, RhoStaysWithinItsClamp)
{
    PressTimes('R', 3);
    EXPECT_EQ(paperbag::rho, kRightAngle);
    PressTimes('r', 100);
    EXPECT_EQ(paperbag::rho, paperbag::kMinRho);
}

TEST_F(PaperBagTest, FlapsFoldRigidlyWhileTheBandReaches)
{
    const std::vector<CFacePair> first = FacePairs();
    // From 90 degrees down to 46 and up to 102 the flap corner stays within reach of the band.
    for (int i = 0; i < 44; ++i) Press('o');
    EXPECT_NEAR(Degrees(paperbag::omega), 46, 1e-9);
    EXPECT_LT(LargestLengthChange(first), 1e-9);
    PressTimes('O', 56);
    EXPECT_NEAR(Degrees(paperbag::omega), 102, 1e-9);
    EXPECT_LT(LargestLengthChange(first), 1e-9);
    EXPECT_LT(ApexGap(), paperbag::a + paperbag::flapInset);
}

TEST_F(PaperBagTest, BandCornerStandsStraightOnceTheFlapIsOutOfReach)
{
    // The straight corner stands at the bag height, which only the start-up shares with the flaps.
    for (unsigned char set : {'2', '0'}) {
        if (set == '0')
            Quietly([] { InitDesign(); });
        else
            Press(set);
        PressTimes('O', 20);
        EXPECT_GT(ApexGap(), paperbag::a + paperbag::flapInset);
        const double a = 0.5, H = set == '0' ? std::sqrt(3.0) : 1.5;
        ExpectPointNear(Corner(12), 0, 0, a + H, 1e-12, "V12 straight");
        ExpectMirrored();
    }
    const double a = 0.5;
    // Keys r, R, M and Alt+r bring the flaps back to the straight band.
    Press('r', kAltModifier);
    EXPECT_NEAR(ApexGap(), a + paperbag::flapInset, 1e-9);
}

TEST_F(PaperBagTest, OmegaKeysPrintTwoLines)
{
    EXPECT_EQ(Press('o'), "1.55334\nomega = 89\n");
    EXPECT_EQ(Press('O'), "1.5708\nomega = 90\n");
}

TEST_F(PaperBagTest, KeyNineShowsTheInnerPartOrTheWholeDesign)
{
    Press('9', kAltModifier);
    EXPECT_EQ(theMesh.nVertices, 12);
    EXPECT_EQ(theMesh.nFaces, 13);
    EXPECT_EQ(theMesh.nEdges, 24);
    // The inner part is closed: its faces and edges name only its own vertices and edges.
    for (int f = 0; f < 13; ++f)
        for (int k = 0; k < theMesh.faces[f].nVerts; ++k) {
            EXPECT_LT(theMesh.faces[f].verts[k], 12);
            EXPECT_LT(theMesh.faces[f].edges[k], 24);
        }
    for (int e = 0; e < 24; ++e) EXPECT_LT(theMesh.edges[e].v2, 12);
    Press('9');
    EXPECT_EQ(theMesh.nVertices, 20);
    EXPECT_EQ(theMesh.nFaces, 23);
    EXPECT_EQ(theMesh.nEdges, 42);
}

TEST_F(PaperBagTest, KeyNineLeavesALoadedMeshAlone)
{
    builtInDesignShown = false;
    theMesh.nVertices = 7;
    theMesh.nFaces = 3;
    theMesh.nEdges = 9;
    Press('9');
    Press('9', kAltModifier);
    EXPECT_EQ(theMesh.nVertices, 7);
    EXPECT_EQ(theMesh.nFaces, 3);
    EXPECT_EQ(theMesh.nEdges, 9);
}

TEST_F(PaperBagTest, KeysLeaveALoadedMeshAlone)
{
    builtInDesignShown = false;
    const std::vector<CVector3d> before = MeshPositions();
    for (unsigned char key : {'r', 'R', 'o', 'O', 'M', 'D'}) Press(key);
    for (int v = 0; v < theMesh.nVertices; ++v) ExpectSamePoint(theMesh.VertexPosition(v), before[v], 0, "vertex");
    Press('I');
    EXPECT_TRUE(builtInDesignShown);
}

TEST_F(PaperBagTest, PlacementWithoutIntersectionIsRefused)
{
    PressTimes('r', 10);
    CVector3d points[paperbag::kPoints];
    for (int v = 0; v < paperbag::kPoints; ++v) points[v] = V(v);
    // A tenth of the distance to the back corner leaves the three spheres apart.
    const std::string out = Quietly([] { EXPECT_FALSE(paperbag::FoldStepPercent(10, std::cout)); });
    EXPECT_EQ(out, "no intersection in ThreeSpheresIS\n");
    for (int v = 0; v < paperbag::kPoints; ++v) ExpectSamePoint(V(v), points[v], 0, "design point");
}

TEST_F(PaperBagTest, FoldWithoutIntersectionKeepsAngleAndPoints)
{
    // Long flaps far inset: once the walls lean, the band corner cannot meet all three spheres.
    paperbag::flapHeight = 5;
    paperbag::flapInset = 3;
    Quietly([] { paperbag::MakeDesign(std::cout); });
    CVector3d points[paperbag::kPoints];
    for (int v = 0; v < paperbag::kPoints; ++v) points[v] = V(v);
    paperbag::rho = 89 * kDegree;
    const std::string out = Quietly([] { EXPECT_FALSE(paperbag::FoldStep(std::cout)); });
    EXPECT_EQ(out, "no intersection in ThreeSpheresIS\n");
    for (int v = 0; v < paperbag::kPoints; ++v) ExpectSamePoint(V(v), points[v], 0, "design point");

    paperbag::rho = kRightAngle;
    const std::string keyOut = Press('r');
    EXPECT_EQ(keyOut.substr(0, 34), "no intersection in ThreeSpheresIS\n");
    EXPECT_EQ(paperbag::rho, kRightAngle);
}

TEST_F(PaperBagTest, OtherBuildsKeysChangeNothing)
{
    Press('r');
    const double rho = paperbag::rho, omega = paperbag::omega;
    const std::vector<CVector3d> points(paperbag::designPoints, paperbag::designPoints + paperbag::kPoints);
    ExpectOtherBuildsKeysIgnored({'4', 'P', 'p'});
    EXPECT_EQ(paperbag::rho, rho);
    EXPECT_EQ(paperbag::omega, omega);
    for (int k = 0; k < paperbag::kPoints; ++k) ExpectSamePoint(V(k), points[k], 0, "design point");
}

TEST_F(PaperBagTest, KeyIStandsTheBagUpAgain)
{
    PressTimes('r', 20);
    PressTimes('O', 5);
    const std::string out = Press('I');
    EXPECT_NE(out.find(" generated 42 edges\n"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 10), "\nrho = 90\n");
    EXPECT_EQ(paperbag::rho, kRightAngle);
    EXPECT_EQ(paperbag::omega, kRightAngle);
    const double a = 0.5, t = std::sqrt(3.0);
    ExpectPointNear(Corner(12), 0, 0, a + t, 1e-9, "V12");
    ExpectPointNear(Corner(14), 0, 0.5, a + t, 1e-9, "V14");
    for (int v = 0; v < 20; ++v) ExpectSamePoint(theMesh.VertexPosition(v), V(v), 0, "placed");
}

TEST_F(PaperBagTest, ParameterKeysLeaveTheNormalsAtThePlacedFaces)
{
    for (unsigned char key : {'1', '2', '3'}) {
        // One compile as the tables are filled, one once the points are placed.
        EXPECT_EQ(ListCompiles([&] { Press(key); }), 2) << key;
        EXPECT_LT(StaleFaceGeometry(), 1e-12) << key;
    }
}

// The design as built, moved anywhere, keeps its whole depth at every zoom step.
TEST_F(PaperBagTest, KeepsItsWholeDepthAtEveryZoomStepWhereverItLies)
{
    depthsweep::ExpectWholeDepthWhereverItLies(theMesh, ERatioOrder::kProductFirst);
}
