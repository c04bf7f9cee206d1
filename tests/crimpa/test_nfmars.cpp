// The non flat MARS design: layout, fold values, symmetry, rigidity, keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "crimpa/core/Design.h"
#include "crimpa/core/DesignFiles.h"
#include "crimpa/core/DesignMesh.h"
#include "crimpa/core/ViewerState.h"
#include "crimpa/designs/NfMars.h"
#include "tests/support/TestDirectory.h"
#include "tests/support/DepthSweep.h"

using namespace nfmars;

namespace {

class NfMars : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::internal::CaptureStdout();
        MakeDesign(5.4, 0.5, 1.0, 0.5 * std::sqrt(2.0), std::cout);
        testing::internal::GetCapturedStdout();
    }
    static void FoldAt(double degrees)
    {
        rho = degrees / 180 * kPi;
        testing::internal::CaptureStdout();
        EXPECT_TRUE(FoldStep(std::cout));
        testing::internal::GetCapturedStdout();
    }
    // Steps rho by whole degrees, so that every solve follows its branch.
    static void FoldTo(int degrees)
    {
        const int start = static_cast<int>(std::lround(rho * 180 / kPi));
        const int step = degrees < start ? -1 : 1;
        for (int d = start; d != degrees; d += step) FoldAt(d + step);
        if (degrees == start) FoldAt(degrees);
    }
    static std::string Key(unsigned char key, int modifiers = 0)
    {
        testing::internal::CaptureStdout();
        DesignKey(key, modifiers, std::cout);
        return testing::internal::GetCapturedStdout();
    }
};

// The last two lines of a refused key: the refusal and the key's angle line.
::testing::AssertionResult EndsWithRefusalAndAngle(const std::string& out, const char* label, double angle)
{
    std::ostringstream line;
    PrintAngle(label, angle, line);
    const std::string tail =
        "no fold for this change: a crease would change its length; the design stays as it was\n" + line.str();
    if (out.size() >= tail.size() && out.compare(out.size() - tail.size(), tail.size(), tail) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "does not end with\n" << tail;
}

void ExpectPoint(const CVector3d& p, double x, double y, double z, const char* what)
{
    EXPECT_NEAR(p.x(), x, 5e-8) << what;
    EXPECT_NEAR(p.y(), y, 5e-8) << what;
    EXPECT_NEAR(p.z(), z, 5e-8) << what;
}

TEST_F(NfMars, StartStateAndLayout)
{
    EXPECT_EQ(designMode, 6);
    EXPECT_EQ(theMesh.nVertices, 36);
    EXPECT_EQ(theMesh.nFaces, 25);
    EXPECT_DOUBLE_EQ(h, 0.4507268256422834);
    EXPECT_DOUBLE_EQ(w, 0.5448351389607968);
    EXPECT_DOUBLE_EQ(rho, -0.4537856055185252);
    // The mesh shows the table until the first placement; the design points are the exact layout.
    EXPECT_EQ(theMesh.vertices[0].X(), -2);
    EXPECT_EQ(theMesh.vertices[0].Y(), -1.90145);
    EXPECT_DOUBLE_EQ(designPoints[0].y(), -1.9014536512845668);
    for (int v : {14, 15, 20, 21}) {
        EXPECT_DOUBLE_EQ(std::fabs(designPoints[v].x()), 1.0);
        EXPECT_DOUBLE_EQ(std::fabs(designPoints[v].y()), 0.5);
        EXPECT_DOUBLE_EQ(designPoints[v].z(), 0.4329);
    }
    // Every table row is the layout to the table's five or six decimals.
    for (int v = 0; v < kPoints; ++v) EXPECT_NEAR(length(theMesh.vertices[v].Position() - designPoints[v]), 0, 1e-5);
}

TEST_F(NfMars, FoldAtMinus26)
{
    FoldAt(-26);
    ExpectPoint(designPoints[8], -0.5, -0.9493970, 0.2137144, "p8");
    ExpectPoint(designPoints[13], -1.4999954, -0.9507268, 0.2164515, "p13");
}

TEST_F(NfMars, FoldAtMinus36)
{
    FoldAt(-36);
    ExpectPoint(designPoints[8], -0.5, -0.9045085, 0.1390074, "p8");
    ExpectPoint(designPoints[9] - CVector3d(1, 0, 0), -0.5, -0.9045085, 0.1390074, "p9");
    ExpectPoint(designPoints[13], -1.4965067, -0.9507268, 0.2085645, "p13");
    ExpectPoint(designPoints[12], -1.9965067, -0.9507268, 0.2085645, "p12");
    ExpectPoint(designPoints[7], -0.9965067, -1.3552353, -0.0853281, "p7");
    ExpectPoint(designPoints[1], -0.9965067, -1.8552353, -0.0853281, "p1");
    ExpectPoint(designPoints[0], -1.9965067, -1.8552353, -0.0853281, "p0");
    ExpectPoint(designPoints[2], -0.5, -1.8552353, 0.1390074, "p2");
}

class NfMarsFold : public NfMars, public ::testing::WithParamInterface<int> {};

TEST_P(NfMarsFold, IsMirrorSymmetricInXAndY)
{
    FoldTo(GetParam());
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 6; ++i) {
            const CVector3d p = designPoints[6 * j + i];
            const CVector3d mx = designPoints[6 * j + 5 - i], my = designPoints[6 * (5 - j) + i];
            EXPECT_NEAR(length(mx - CVector3d(-p.x(), p.y(), p.z())), 0, 1e-9) << "x mirror of " << 6 * j + i;
            EXPECT_NEAR(length(my - CVector3d(p.x(), -p.y(), p.z())), 0, 1e-9) << "y mirror of " << 6 * j + i;
        }
}

TEST_P(NfMarsFold, KeepsEverySideAndDiagonal)
{
    FoldAt(-26);
    double before[25][6];
    auto measure = [](int f, double out[6]) {
        const int* v = theMesh.faces[f].verts;
        for (int k = 0; k < 4; ++k) out[k] = length(designPoints[v[k]] - designPoints[v[(k + 1) % 4]]);
        out[4] = length(designPoints[v[0]] - designPoints[v[2]]);
        out[5] = length(designPoints[v[1]] - designPoints[v[3]]);
    };
    for (int f = 0; f < 25; ++f) measure(f, before[f]);
    FoldTo(GetParam());
    for (int f = 0; f < 25; ++f) {
        double after[6];
        measure(f, after);
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(after[k], before[f][k], 1e-9) << "face " << f << " length " << k;
    }
    // The four raised corners of the central face never move.
    EXPECT_EQ(designPoints[14], CVector3d(-1, -0.5, 0.4329));
    EXPECT_EQ(designPoints[21], CVector3d(1, 0.5, 0.4329));
}

INSTANTIATE_TEST_SUITE_P(Angles, NfMarsFold, ::testing::Values(-36, -45, -10, -1, 0, 5));

TEST_F(NfMars, KeyRFoldsOneDegreeAndPlaces)
{
    const std::string out = Key('R');
    EXPECT_NE(out.find("rho = -25\n"), std::string::npos) << out;
    // The solver's step norms come before the angle line.
    EXPECT_LT(out.find('\n'), out.find("rho = "));
    EXPECT_NEAR(rho * 180 / kPi, -25, 1e-12);
    for (int v = 0; v < kPoints; ++v) EXPECT_EQ(theMesh.vertices[v].Position(), designPoints[v]);
    const CVector3d p13 = designPoints[13];
    FoldAt(-25);
    EXPECT_NEAR(length(designPoints[13] - p13), 0, 1e-12);
}

struct FoldKey {
    unsigned char key;
    int modifiers;
    const char* line;
    bool foldsBeforePrint;
};

// Keys that change an angle fold before their print; every print is followed
// by one more fold, whose three placements start at their solutions.
TEST_F(NfMars, FoldSequenceAroundThePrint)
{
    const FoldKey keys[] = {{'R', 0, "rho = -25\n", true},      {'r', 0, "rho = -26\n", true},
                            {'r', kAltModifier, "rho = -26\n", false}, {'D', 0, "delta = 5.6\n", true},
                            {'d', 0, "delta = 5.4\n", true},    {'O', 0, "omega = 0\n", false},
                            {'I', 0, "rho = -26\n", false}};
    for (const FoldKey& k : keys) {
        const std::string out = Key(k.key, k.modifiers);
        const std::size_t at = out.find(k.line);
        ASSERT_NE(at, std::string::npos) << k.key << ": " << out;
        const std::string before = out.substr(0, at), after = out.substr(at + std::strlen(k.line));
        EXPECT_EQ(std::count(before.begin(), before.end(), '\n') >= 3, k.foldsBeforePrint) << k.key << ": " << out;
        if (k.key == 'I') continue;  // its refold starts from the layout, not from solutions
        EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 3) << k.key << ": " << out;
    }
}

TEST_F(NfMars, AltRKeepsRhoLowerRSubtracts)
{
    EXPECT_NE(Key('r', kAltModifier).find("rho = -26\n"), std::string::npos);
    EXPECT_NE(Key('r').find("rho = -27\n"), std::string::npos);
    EXPECT_NE(Key('r', kAltModifier | 1).find("rho = -27\n"), std::string::npos);
}

TEST_F(NfMars, DeltaKeysChangeCreasesAndTheNextLayoutUsesThem)
{
    const double x0 = designPoints[0].x(), yOld = designPoints[30].y();
    EXPECT_NE(Key('D').find("delta = 5.6\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(h, c * std::cos(delta + kQuarterPi));
    EXPECT_DOUBLE_EQ(w, c * std::sin(delta + kQuarterPi));
    ComputeDesignGeometry();
    EXPECT_DOUBLE_EQ(designPoints[30].y(), 2 * a + 2 * h);
    EXPECT_DOUBLE_EQ(designPoints[24].y(), a + 2 * h);
    EXPECT_DOUBLE_EQ(designPoints[19].y(), a + h);
    EXPECT_NE(designPoints[30].y(), yOld);
    EXPECT_EQ(designPoints[0].x(), x0);
    EXPECT_NE(Key('I').find("rho = -26\n"), std::string::npos);
    Key('d');
    EXPECT_NE(Key('d').find("delta = 5.2\n"), std::string::npos);
}

TEST_F(NfMars, OmegaPrintsZeroAndKeysOfOtherDesignsDoNothing)
{
    EXPECT_NE(Key('O').find("omega = 0\n"), std::string::npos);
    const double r = rho;
    for (unsigned char k : {'1', '2', '3', '4', '9', 'P', 'p', 'x', 'Z'}) {
        EXPECT_FALSE(DesignKey(k, 0, std::cout));
        EXPECT_EQ(rho, r);
    }
}

TEST_F(NfMars, FarDeltaSequenceIsRefusedAndNothingMoves)
{
    std::string refused;
    int presses = 0;
    for (; presses < 400 && refused.empty(); ++presses) {
        const double rhoBefore = rho, deltaBefore = delta, hBefore = h, wBefore = w;
        CVector3d before[kPoints], mesh[kPoints];
        for (int v = 0; v < kPoints; ++v) {
            before[v] = designPoints[v];
            mesh[v] = theMesh.vertices[v].Position();
        }
        const std::string out = Key('d');
        if (out.find("no fold") == std::string::npos) continue;
        refused = out;
        // No new value: the refusal, then the angle line with the delta that holds, as the last lines.
        EXPECT_TRUE(EndsWithRefusalAndAngle(out, "delta = ", deltaBefore)) << out;
        EXPECT_EQ(out.find("delta = "), out.rfind("delta = ")) << out;
        EXPECT_EQ(rho, rhoBefore);
        EXPECT_EQ(delta, deltaBefore);
        EXPECT_EQ(h, hBefore);
        EXPECT_EQ(w, wBefore);
        for (int v = 0; v < kPoints; ++v) {
            EXPECT_EQ(designPoints[v], before[v]) << v;
            EXPECT_EQ(theMesh.vertices[v].Position(), mesh[v]) << v;
        }
    }
    ASSERT_FALSE(refused.empty()) << "no refusal within 400 presses";
    // Going back is still possible.
    EXPECT_NE(Key('D').find("delta = "), std::string::npos);
}

// Ten degrees down and delta to its lowest there, the layout at -26 degrees
// folds no more: I prints -26 and is refused, and its last line gives the rho
// that holds.
TEST_F(NfMars, RefusedLayoutKeyEndsWithTheRhoThatHolds)
{
    for (int k = 0; k < 10; ++k) Key('r');
    int presses = 0;
    while (presses < 400 && Key('d').find("no fold") == std::string::npos) ++presses;
    ASSERT_LT(presses, 400) << "no refusal within 400 presses";
    const double rhoBefore = rho, deltaBefore = delta;
    const std::string out = Key('I');
    ASSERT_NE(out.find("no fold"), std::string::npos) << "the layout at -26 degrees folds at this delta";
    EXPECT_EQ(out.find("rho = -26\n"), 0u) << out;
    EXPECT_TRUE(EndsWithRefusalAndAngle(out, "rho = ", rhoBefore)) << out;
    EXPECT_NEAR(rho * 180 / kPi, -36, 1e-9);
    EXPECT_EQ(delta, deltaBefore);
}

TEST_F(NfMars, LoadedFileIsLeftAloneUntilI)
{
    const std::string file = TestPath("tri.cqv");
    std::ofstream(file) << "3 1 0\n1 0 0 0 0\n2 1 0 0 0\n3 0 1 0 0\n1 3 1 2 3 5\n";
    testing::internal::CaptureStdout();
    const bool loaded = LoadDesignFile(file, std::cout);
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(loaded);
    ASSERT_FALSE(builtInDesignShown);
    // Records past the loaded count are not the design's either.
    const CVector3d spare = theMesh.vertices[5].Position();
    for (unsigned char k : {'R', 'M', 'O', 'D'}) {
        Key(k);
        EXPECT_EQ(theMesh.nVertices, 3);
        EXPECT_EQ(theMesh.vertices[1].Position(), CVector3d(1, 0, 0)) << k;
        EXPECT_EQ(theMesh.vertices[5].Position(), spare) << k;
    }
    const std::string out = Key('I');
    EXPECT_NE(out.find("rho = -26\n"), std::string::npos);
    EXPECT_TRUE(builtInDesignShown);
    EXPECT_EQ(theMesh.nVertices, 36);
    EXPECT_EQ(theMesh.nFaces, 25);
    for (int v = 0; v < kPoints; ++v) EXPECT_EQ(theMesh.vertices[v].Position(), designPoints[v]);
}

TEST_F(NfMars, IdleStepFoldsAndPlaces)
{
    rho = -30.0 / 180 * kPi;
    testing::internal::CaptureStdout();
    DesignIdleStep(std::cout);
    testing::internal::GetCapturedStdout();
    for (int v = 0; v < kPoints; ++v) EXPECT_EQ(theMesh.vertices[v].Position(), designPoints[v]);
    EXPECT_NEAR(designPoints[8].z(), 0.4329 + 0.5 * std::sin(rho), 1e-15);
}

} // namespace

// The design as built, moved anywhere, keeps its whole depth at every zoom step.
TEST_F(NfMars, KeepsItsWholeDepthAtEveryZoomStepWhereverItLies)
{
    depthsweep::ExpectWholeDepthWhereverItLies(theMesh, ERatioOrder::kProductFirst);
}
