// Dudevi design: coupled angles, limits, refusals, rigidity and keys.
#include <gtest/gtest.h>

#include "crimpa/designs/DesignSupport.h"
#include "crimpa/designs/Dudevi.h"
#include "tests/designs/DesignTestSupport.h"
#include "tests/support/DepthSweep.h"

using namespace designtest;

namespace {

struct CParameters {
    unsigned char key;
    double W, L, H, T;
};
const CParameters kParameterKeys[] = {
    {'1', 2.0, 4.0, 1.0, 0.9999999}, {'2', 2.0, 4.0, 1.5, 0.9999999}, {'3', 2.0, 4.0, 0.6, 0.9999999}, {'4', 2.0, 4.0, 0.6, 0.6}};

class DudeviTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dudevi::boxWidth = 2.0;
        dudevi::boxLength = 4.0;
        dudevi::wallHeight = 1.0;
        dudevi::creaseOffset = 0.999999;
        Quietly([] { dudevi::MakeDesign(std::cout); });
    }
};

// The special edges are the three creases that pin P4 and a wall diagonal.
void ExpectCreasesKept()
{
    const CVector3d* p = dudevi::designPoints;
    EXPECT_NEAR(length(p[4] - p[0]), dudevi::creaseLength0, 1e-9);
    EXPECT_NEAR(length(p[4] - p[1]), dudevi::creaseLength1, 1e-9);
    EXPECT_NEAR(length(p[4] - p[2]), dudevi::creaseLength2, 1e-9);
}

void ExpectMirrored()
{
    const CVector3d* p = dudevi::designPoints;
    ExpectSamePoint(p[5], MirrorX(p[4]), 1e-12, "P5");
    ExpectSamePoint(p[10], MirrorY(p[4]), 1e-12, "P10");
    ExpectSamePoint(p[11], MirrorXY(p[4]), 1e-12, "P11");
    ExpectSamePoint(p[3], MirrorX(p[2]), 1e-12, "P3");
    ExpectSamePoint(p[8], MirrorY(p[2]), 1e-12, "P8");
    ExpectSamePoint(p[9], MirrorXY(p[2]), 1e-12, "P9");
}

}  // namespace

TEST_F(DudeviTest, StartsUprightWithHiddenSpecialEdges)
{
    EXPECT_EQ(designMode, 2);
    EXPECT_DOUBLE_EQ(dudevi::rho, 1.570796326794895);
    EXPECT_NEAR(Degrees(dudevi::phi), 89.9999967, 1e-7);
    EXPECT_FALSE(showSpecialEdges);
    ASSERT_EQ(theMesh.nSpecialEdges, 4);
    const int ends[4][3] = {{3, 7, 2}, {0, 4, 1}, {1, 4, 1}, {2, 4, 1}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(theMesh.specialEdges[k].v1, ends[k][0]);
        EXPECT_EQ(theMesh.specialEdges[k].v2, ends[k][1]);
        EXPECT_EQ(theMesh.specialEdges[k].type, ends[k][2]);
        EXPECT_EQ(theMesh.specialEdges[k].leftFace, -1);
    }
    // MakeDesign places the points: P4 on the front wall, every wall upright.
    for (int v = 0; v < dudevi::kPoints; ++v)
        ExpectSamePoint(theMesh.VertexPosition(v), dudevi::designPoints[v], 0, "placed");
    ExpectPointNear(theMesh.VertexPosition(4), 0.999999 - 1, -2, 0.5, 1e-7, "P4");
    ExpectPointNear(theMesh.VertexPosition(2), -1, -2, 0.5, 1e-12, "P2");
    ExpectCreasesKept();
    ExpectMirrored();
}

TEST_F(DudeviTest, KeyRIsClampedAndKeyrFallsToTheLowerBoundRigidly)
{
    EXPECT_EQ(Press('R'), "rho = 89.9994\n");
    EXPECT_DOUBLE_EQ(dudevi::rho, dudevi::kMaxRho);
    const std::vector<CFacePair> first = FacePairs();
    const std::string out = PressTimes('r', 95);
    EXPECT_EQ(out.find("hit the bottom"), std::string::npos);
    EXPECT_EQ(out.find("no intersection"), std::string::npos);
    EXPECT_DOUBLE_EQ(dudevi::rho, dudevi::kMinAngle);
    EXPECT_LT(LargestLengthChange(first), 1e-9);
    ExpectCreasesKept();
    ExpectMirrored();
}

TEST_F(DudeviTest, EveryParameterSetFoldsRigidlyThroughBothAngles)
{
    for (const CParameters& set : kParameterKeys) {
        // The upright build must place every point: a refused first step would keep the old walls.
        const std::string out = Press(set.key);
        EXPECT_EQ(out.find("no intersection"), std::string::npos) << set.key;
        EXPECT_EQ(dudevi::wallHeight, set.H);
        EXPECT_EQ(dudevi::creaseOffset, set.T);
        ExpectPointNear(dudevi::designPoints[2], -set.W / 2, -set.L / 2, set.H / 2, 1e-12, "P2 upright");
        ExpectPointNear(dudevi::designPoints[4], set.T - set.W / 2, -set.L / 2, set.H / 2, 1e-6, "P4 upright");
        Press('M');
        const std::vector<CFacePair> first = FacePairs();
        const unsigned char keys[] = {'r', 'r', 'r', 'r', 'r', 'p', 'p', 'p', 'P', 'P', 'R', 'p', 'r', 'r', 'P', 'P', 'P'};
        for (unsigned char key : keys) {
            for (int i = 0; i < 4; ++i) Press(key);
            ASSERT_LT(LargestLengthChange(first), 1e-9) << "set " << set.key << " key " << key;
            ExpectCreasesKept();
            ExpectMirrored();
        }
    }
}

TEST_F(DudeviTest, AnglesStayTiedByTheFrontLeftTriangle)
{
    const double H = dudevi::wallHeight, T = dudevi::creaseOffset;
    for (int i = 0; i < 30; ++i) {
        Press(i % 3 == 0 ? 'p' : 'r');
        EXPECT_NEAR(T * std::cos(dudevi::rho) + H * std::sin(dudevi::phi) * std::sin(dudevi::rho), H, 1e-9);
    }
}

TEST_F(DudeviTest, TallWallsStopAt23DegreesWithoutLosingPhi)
{
    Press('2');
    std::string out;
    for (int i = 0; i < 80; ++i) out += Press('r');
    EXPECT_NEAR(Degrees(dudevi::rho), 23, 1e-6);
    EXPECT_NE(out.find("no intersection in ThreeSpheresIS\nrho = 23\n"), std::string::npos);
    ASSERT_FALSE(std::isnan(dudevi::phi));
    const double H = 1.5, T = 0.9999999;
    EXPECT_NEAR(dudevi::phi, std::asin((H - T * std::cos(dudevi::rho)) / (H * std::sin(dudevi::rho))), 1e-12);
    // phi still answers its keys.
    const double phi = dudevi::phi;
    Press('P');
    EXPECT_NE(dudevi::phi, phi);
}

TEST_F(DudeviTest, LowWallsHitTheBottomAt54DegreesAndKeepPhi)
{
    Press('3');
    PressTimes('r', 36);
    EXPECT_NEAR(Degrees(dudevi::rho), 54, 1e-6);
    const double phi = dudevi::phi;
    const std::vector<CVector3d> before = MeshPositions();
    EXPECT_EQ(Press('r'), "hit the bottom\nrho = 54\n");
    EXPECT_EQ(dudevi::phi, phi);
    EXPECT_GT(phi, 0);
    for (int v = 0; v < dudevi::kPoints; ++v) ExpectSamePoint(theMesh.VertexPosition(v), before[v], 0, "vertex");
}

TEST_F(DudeviTest, EndWallsStopAtTheReachableBoundaryWithRigidWalls)
{
    Press('2');
    Press('M');
    const std::vector<CFacePair> first = FacePairs();
    PressTimes('p', 60);
    // Boundary of H sin(phi) sin(rho) + T cos(rho) = H: sin(phi) = sqrt(1 - (T/H)^2).
    const double k = 1.5 / 0.9999999;
    const double boundary = std::asin(std::sqrt(k * k - 1) / k);
    EXPECT_NEAR(Degrees(dudevi::phi), 48.2, 0.05);
    EXPECT_NEAR(dudevi::phi, boundary, 1e-6);
    EXPECT_LT(LargestLengthChange(first), 1e-7);
    ExpectCreasesKept();
}

TEST_F(DudeviTest, EndWallKeysClampToTheirBounds)
{
    Press('4');  // H = T: every end-wall angle is reachable
    PressTimes('P', 200);
    EXPECT_DOUBLE_EQ(dudevi::phi, dudevi::kMaxPhi);
    PressTimes('p', 280);
    EXPECT_DOUBLE_EQ(dudevi::phi, dudevi::kMinAngle);
}

TEST_F(DudeviTest, NanAnglesChangeNothing)
{
    EXPECT_TRUE(std::isnan(ClampAngle(std::nan(""), dudevi::kMinAngle, dudevi::kMaxPhi)));
    const double rho = dudevi::rho, phi = dudevi::phi;
    dudevi::FoldStepPhi(std::nan(""));
    EXPECT_EQ(dudevi::rho, rho);
    EXPECT_EQ(dudevi::phi, phi);
}

TEST_F(DudeviTest, KeysPrintTheirAngles)
{
    Press('r');
    EXPECT_EQ(Press('r', kAltModifier), "rho = 89\n");
    const std::string rebuilt = Press('I');
    EXPECT_EQ(rebuilt.substr(rebuilt.size() - 10), "\nrho = 90\n");
    EXPECT_NE(rebuilt.find(" generated 20 edges\n"), std::string::npos);
    EXPECT_EQ(Press('d'), "delta = 0\n");
    EXPECT_EQ(Press('O'), "omega = 0\n");
    EXPECT_FALSE(DesignKey('9', 0, std::cout));
}

TEST_F(DudeviTest, KeysLeaveALoadedMeshAlone)
{
    builtInDesignShown = false;
    const std::vector<CVector3d> before = MeshPositions();
    for (unsigned char key : {'r', 'R', 'p', 'P', 'M'}) Press(key);
    for (int v = 0; v < theMesh.nVertices; ++v) ExpectSamePoint(theMesh.VertexPosition(v), before[v], 0, "vertex");
    Press('1');
    EXPECT_TRUE(builtInDesignShown);
}

TEST_F(DudeviTest, ParameterKeysLeaveTheNormalsAtThePlacedFaces)
{
    for (const CParameters& set : kParameterKeys) {
        // One compile as the tables are filled, one once the points are placed.
        EXPECT_EQ(ListCompiles([&] { Press(set.key); }), 2) << set.key;
        EXPECT_LT(StaleFaceGeometry(), 1e-12) << set.key;
    }
}

// End walls leaning outwards, then side-wall steps: every end-wall key moves
// the wall by one degree from the angle the placed points show.
TEST_F(DudeviTest, EndWallKeysStepOneDegreeFromTheShapeOnScreen)
{
    const std::vector<CFacePair> first = FacePairs();
    // Angle of the front trapezoid about its bottom edge, from the mesh.
    auto wallAngle = [] {
        const CVector3d d = theMesh.VertexPosition(4) - theMesh.VertexPosition(0);
        return Degrees(std::atan2(d.z(), d.y()));
    };
    const std::string out = PressTimes('P', 30);
    EXPECT_EQ(out.substr(out.size() - 10), "phi = 120\n");
    PressTimes('r', 3);
    EXPECT_GT(wallAngle(), 120);
    EXPECT_NEAR(Degrees(dudevi::phi), wallAngle(), 1e-9);
    for (unsigned char key : {'p', 'p', 'p', 'P', 'P', 'P', 'P', 'P', 'p', 'r', 'p', 'R', 'P', 'R', 'p'}) {
        const double before = wallAngle();
        Press(key);
        if (key == 'p' || key == 'P') {
            EXPECT_NEAR(wallAngle() - before, key == 'P' ? 1 : -1, 1e-9) << key;
        }
        EXPECT_NEAR(Degrees(dudevi::phi), wallAngle(), 1e-9) << key;
        ASSERT_LT(LargestLengthChange(first), 1e-9) << key;
        ExpectCreasesKept();
    }
}

// The design as built, moved anywhere, keeps its whole depth at every zoom step.
TEST_F(DudeviTest, KeepsItsWholeDepthAtEveryZoomStepWhereverItLies)
{
    depthsweep::ExpectWholeDepthWhereverItLies(theMesh, ERatioOrder::kProductFirst);
}
