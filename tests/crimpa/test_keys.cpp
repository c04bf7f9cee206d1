// Common keys, menus, drag, projection box and animation frames of the design viewer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "crimpa/core/Design.h"
#include "crimpa/core/DesignMesh.h"
#include "crimpa/core/Keys.h"
#include "crimpa/core/ViewerState.h"
#include "tests/support/TestDirectory.h"

namespace {

std::string Quiet(void (*f)(unsigned char, int, std::ostream&), unsigned char key, int modifiers = 0)
{
    std::ostringstream console;
    f(key, modifiers, console);
    return console.str();
}

struct Toggle {
    unsigned char key;
    int menuValue;
    bool* flag;
};

const Toggle kToggles[] = {
    {'s', 1, &showSpecialEdges}, {'f', 2, &showFaces},  {'e', 3, &showFacesByEdges},
    {'n', 4, &showNormals},      {'c', 5, &showCoordinateSystem}, {'v', 6, &showVertices},
    {'a', 0, &autoSpin},
};

TEST(CommonKeys, EachToggleFlipsItsFlagOnly)
{
    for (const Toggle& t : kToggles) {
        bool before[7];
        for (int i = 0; i < 7; ++i) before[i] = *kToggles[i].flag;
        CrimpaHandleKey(t.key, 0, std::cout);
        for (int i = 0; i < 7; ++i) EXPECT_EQ(*kToggles[i].flag, kToggles[i].flag == t.flag ? !before[i] : before[i]) << t.key;
        CrimpaHandleKey(t.key, 0, std::cout);
        EXPECT_EQ(*t.flag, before[&t - kToggles]);
        if (t.menuValue == 0) continue;
        HandleMenu(t.menuValue, std::cout);
        EXPECT_EQ(*t.flag, !before[&t - kToggles]) << "menu " << t.menuValue;
        HandleMenu(t.menuValue, std::cout);
    }
}

TEST(CommonKeys, KeysAreCaseSensitive)
{
    const bool s = showSpecialEdges, f = showFaces, v = showVertices;
    for (unsigned char k : {'S', 'F', 'V', 'x', 'W'}) Quiet(CrimpaHandleKey, k);
    EXPECT_EQ(showSpecialEdges, s);
    EXPECT_EQ(showFaces, f);
    EXPECT_EQ(showVertices, v);
}

// The zoom keys count steps and give the zoom of the count, whatever zoom
// they replace: inside the range each press gives the value that stepping the
// float from the start gives; held far past either end, the zoom stops at its
// step bounds and comes back exactly.
TEST(CommonKeys, ZoomHeldPastTheRangeStopsAndComesBack)
{
    zoom = kStartZoom;
    zoomSteps = 0;
    float expected = kStartZoom;
    for (int n = 1; n <= 10; ++n) {
        expected = static_cast<float>(expected / 1.1);
        CrimpaHandleKey('+', 0, std::cout);
        ASSERT_EQ(expected, zoom) << n;
    }
    zoom = 123.0f; // not the zoom of its count: the next press does not read it
    CrimpaHandleKey('-', 0, std::cout);
    EXPECT_EQ(-9, zoomSteps);
    EXPECT_EQ(ZoomAtStep(kStartZoom, -9), zoom);
    for (int i = 0; i < 2000; ++i) CrimpaHandleKey('-', 0, std::cout);
    EXPECT_EQ(kMaxZoomOutSteps, zoomSteps);
    EXPECT_TRUE(std::isfinite(zoom));
    for (int i = 0; i < 2000; ++i) CrimpaHandleKey('+', 0, std::cout);
    EXPECT_EQ(-kMaxZoomInSteps, zoomSteps);
    EXPECT_GT(zoom, 0.0f);
    for (int i = 0; i < kMaxZoomInSteps; ++i) CrimpaHandleKey('-', 0, std::cout);
    EXPECT_EQ(kStartZoom, zoom);
    zoomSteps = 0;
}

class InTempDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Every test here starts from the built-in design, whatever ran before it.
        testing::internal::CaptureStdout();
        InitDesign();
        testing::internal::GetCapturedStdout();
    }
    static std::string Slurp(const char* name)
    {
        std::ifstream in(name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    const CWorkInTestDirectory inDir;
};

TEST_F(InTempDir, WWritesBothFiles)
{
    const std::string out = Quiet(CrimpaHandleKey, 'w');
    EXPECT_NE(out.find("write 36 vertices ... write 36 vertices ... "), std::string::npos) << out;
    EXPECT_EQ(Slurp("wemo.txt").substr(0, 15), "   36   25    0");
    EXPECT_EQ(Slurp("crInc.txt").rfind("   static const int _n[3] = { 36, 25, 0 };\n", 0), 0u);
}

TEST_F(InTempDir, WWithWemoADirectoryReportsAndStillWritesTheTables)
{
    ASSERT_EQ(mkdir("wemo.txt", 0755), 0);
    const std::string out = Quiet(CrimpaHandleKey, 'w');
    EXPECT_NE(out.find("Datei kann nicht geoeffnet werden!"), std::string::npos) << out;
    EXPECT_FALSE(Slurp("crInc.txt").empty());
}

TEST_F(InTempDir, MissingOrMalformedDesignFileLeavesTheMesh)
{
    const int nV = theMesh.nVertices, nF = theMesh.nFaces, nE = theMesh.nEdges;
    const CVector3d p = theMesh.vertices[7].Position();
    std::ofstream(designFileNames[1]) << "3 1 0\n1 0 0 0 0\n2 1 zero 0 0\n";
    for (int value : {kFirstDesignMenuValue, kFirstDesignMenuValue + 1}) {
        testing::internal::CaptureStdout();
        HandleMenu(value, std::cout);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_FALSE(out.empty()) << "no message for menu value " << value;
        if (value == kFirstDesignMenuValue) {
            EXPECT_EQ(out, "Datei kann nicht geoeffnet werden!\n");
        }
        EXPECT_EQ(theMesh.nVertices, nV);
        EXPECT_EQ(theMesh.nFaces, nF);
        EXPECT_EQ(theMesh.nEdges, nE);
        EXPECT_EQ(theMesh.vertices[7].Position(), p);
        EXPECT_TRUE(builtInDesignShown);
    }
}

TEST_F(InTempDir, LastDesignMenuEntryLoadsItsFile)
{
    ASSERT_STREQ(designFileNames[kDesignMenuEntries - 1], "simpv01.cqv");
    std::ofstream("simpv01.cqv") << "4 1 0\n1 0 0 0 0\n2 1 0 0 0\n3 1 1 0 0\n4 0 1 0 0\n1 4 1 2 3 4 2\n";
    testing::internal::CaptureStdout();
    HandleMenu(kFirstDesignMenuValue + kDesignMenuEntries - 1, std::cout);
    HandleMenu(kFirstDesignMenuValue + kDesignMenuEntries, std::cout);  // past the table: nothing
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(theMesh.nVertices, 4);
    EXPECT_EQ(theMesh.nEdges, 4);
    EXPECT_FALSE(builtInDesignShown);
}

TEST(DesignMenu, LabelsAndFilesPairUp)
{
    EXPECT_STREQ(designMenuLabels[0], "foldTovin10");
    EXPECT_STREQ(designFileNames[0], "tovin10.cqv");
    EXPECT_STREQ(designMenuLabels[4], "crimpa1a");
    EXPECT_STREQ(designFileNames[4], "fold1a.cqv");
    for (int k = 10; k < kDesignMenuEntries; ++k)
        EXPECT_EQ(std::string(designMenuLabels[k]) + ".cqv", designFileNames[k]);
}

struct Drag {
    float rotX, rotZ;
    int dx, dy;
    float wantX, wantZ;
};

TEST(ViewInput, DragTurnsHalfADegreePerPixelAndWrapsOnlyAbove180)
{
    const Drag cases[] = {
        {-70, -160, 0, -10, -75, -160}, {-70, -160, 10, 0, -70, -155},
        {0, 179, 8, 0, 0, -177},        {0, -179, -8, 0, 0, -183},
        {178, 0, 0, 6, -179, 0},
    };
    for (const Drag& d : cases) {
        rotX = d.rotX;
        rotZ = d.rotZ;
        lastMouseX = 100;
        lastMouseY = 100;
        CrimpaDragView(100 + d.dx, 100 + d.dy);
        EXPECT_FLOAT_EQ(rotX, d.wantX);
        EXPECT_FLOAT_EQ(rotZ, d.wantZ);
        EXPECT_EQ(lastMouseX, 100 + d.dx);
    }
    rotX = -70;
    rotZ = -160;
}

// Only a drag with the left button held turns the view (button codes: left 0,
// middle 1, right 2; press 0, release 1).
TEST(ViewInput, OnlyTheLeftButtonDragsTheView)
{
    struct Event {
        int button, state;
    };
    struct {
        std::vector<Event> events;
        bool turns;
    } const cases[] = {
        {{{0, 0}}, true},
        {{{0, 0}, {0, 1}, {1, 0}}, false},
        {{{1, 0}}, false},
        {{{0, 0}, {0, 1}}, false},
        {{{1, 0}, {0, 0}, {1, 1}}, true},
    };
    for (const auto& c : cases) {
        dragButton = CDragButton();
        rotX = -70;
        rotZ = -160;
        lastMouseX = lastMouseY = 0;
        for (const Event& e : c.events) CrimpaMouseButton(e.button, e.state, 100, 100);
        CrimpaPointerMotion(120, 110);
        EXPECT_FLOAT_EQ(rotX, c.turns ? -65.0f : -70.0f);
        EXPECT_FLOAT_EQ(rotZ, c.turns ? -150.0f : -160.0f);
    }
    dragButton = CDragButton();
    rotX = -70;
    rotZ = -160;
}

TEST(Animation, SceneMovesWhileSpinningOrAnimating)
{
    const struct {
        bool autoSpin, animate, moves;
    } cases[] = {{false, false, false}, {true, false, true}, {false, true, true}, {true, true, true}};
    for (const auto& c : cases) {
        autoSpin = c.autoSpin;
        animate = c.animate;
        EXPECT_EQ(SceneMoves(), c.moves) << c.autoSpin << c.animate;
    }
    // Key a starts and stops the spin.
    autoSpin = animate = false;
    CrimpaHandleKey('a', 0, std::cout);
    EXPECT_TRUE(SceneMoves());
    CrimpaHandleKey('a', 0, std::cout);
    EXPECT_FALSE(SceneMoves());
}

TEST(Animation, RunsTwoHundredFramesThenStops)
{
    animate = true;
    frameCounter = 0;
    testing::internal::CaptureStdout();
    int calls = 0;
    while (SceneMoves() && calls < 1000) {
        AdvanceAnimation(std::cout);
        ++calls;
    }
    AdvanceAnimation(std::cout);  // at rest: nothing
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(calls, 200);
    EXPECT_EQ(frameCounter, 0);
    EXPECT_NE(out.find("\n1\n"), std::string::npos);
    EXPECT_NE(out.find("\n200\n"), std::string::npos);
    EXPECT_EQ(out.find("\n201\n"), std::string::npos);
}

} // namespace
