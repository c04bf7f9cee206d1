// Input, idle and projection logic of the polyhedron viewer, driven through
// the same entry points as the GLUT callbacks but without a display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "hedrix/core/HedrixGlobals.h"
#include "hedrix/core/Input.h"
#include "mesh/TypeCodes.h"
#include "tests/support/TestDirectory.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rotX = -70.0f;
        rotZ = -160.0f;
        zoom = 2.5f;
        zoomSteps = 0;
        dragButton = CDragButton();
        targetRotX = rotXStep = targetRotZ = rotZStep = 0;
        turnCallsLeft = 0;
        lastMouseX = lastMouseY = 0;
        windowWidth = 900;
        windowHeight = 700;
        theViewState = CViewState();
        theViewState.ResetToggles();
    }

    // Runs idle calls until the mode leaves `mode`; returns the number of calls.
    int IdleWhile(int mode, int limit)
    {
        int n = 0;
        while (theViewState.GetMode() == mode && n < limit) {
            IdleStep(console);
            ++n;
        }
        return n;
    }

    // Runs idle calls while the scene moves; returns the number of calls.
    int IdleWhileMoving(int limit)
    {
        int n = 0;
        while (SceneMoves() && n < limit) {
            IdleStep(console);
            ++n;
        }
        return n;
    }

    // What the keys, menu values and idle calls print.
    std::ostringstream console;
};

struct TurnCase {
    unsigned char key;
    int modifiers;
    float targetX, targetZ;
};

TEST_F(InputTest, ViewKeysTurnToTheirDirections)
{
    // From rotX = -70, rotZ = -160; Ctrl+A without Shift keeps the z angle.
    const TurnCase cases[] = {
        {1, kModifierShift, -90, -180},
        {1, 0, -90, -160},
        {7, kModifierShift | kModifierAlt, 180, 180},
        {7, kModifierShift, 180, 0},
        {7, kModifierAlt, 180, 90},
        {7, 0, 180, -90},
        {'a', 0, -90, -90},
        {'a', kModifierAlt, -90, 90},
        {'A', kModifierShift, -90, 0},
        {'A', kModifierShift | kModifierAlt, -90, 180},
        {'g', 0, 0, -90},
        {'g', kModifierAlt, 0, 90},
        {'G', kModifierShift, 0, 0},
        {'G', kModifierShift | kModifierAlt, 0, 180},
        {'j', kModifierAlt, -54.7356f, -135},
        {'J', kModifierShift, -45, -135},
    };
    for (const TurnCase& c : cases) {
        SetUp();
        HedrixHandleKey(c.key, c.modifiers, console);
        SCOPED_TRACE(::testing::Message() << "key " << int(c.key) << " modifiers " << c.modifiers);
        EXPECT_EQ(CViewState::kTurn, theViewState.GetMode());
        EXPECT_FLOAT_EQ(c.targetX, targetRotX);
        EXPECT_FLOAT_EQ(c.targetZ, targetRotZ);
        // The turn ends exactly on the target.
        const int calls = IdleWhile(CViewState::kTurn, 2000);
        EXPECT_LE(calls, 601);
        EXPECT_FLOAT_EQ(c.targetX, rotX);
        EXPECT_FLOAT_EQ(c.targetZ, rotZ);
    }
}

struct TurnStepCase {
    float fromX, fromZ;
    double toX, toZ;
    float startX, startZ; // after unwrapping
    float stepX, stepZ;
};

TEST_F(InputTest, TurnTakesTheShortWay)
{
    const TurnStepCase cases[] = {
        {-70, -160, 0, 0, -70, -160, 70.0f / 600, 160.0f / 600},
        {0, 170, 0, -170, 0, -190, 0, 20.0f / 600},
        {0, -170, 0, 170, 0, 190, 0, -20.0f / 600},
        {-150, 0, 150, 0, 210, 0, -60.0f / 600, 0},
        {10, 20, 10, 20, 10, 20, 0, 0},
    };
    for (const TurnStepCase& c : cases) {
        rotX = c.fromX;
        rotZ = c.fromZ;
        TurnViewTo(c.toX, c.toZ);
        EXPECT_FLOAT_EQ(c.startX, rotX);
        EXPECT_FLOAT_EQ(c.startZ, rotZ);
        EXPECT_NEAR(c.stepX, rotXStep, 1e-6);
        EXPECT_NEAR(c.stepZ, rotZStep, 1e-6);
    }
}

// The plain rule of a turn: add the step, snap once the rest is below 1.2 steps.
void PlainTurnStep(float& angle, float target, float& step)
{
    angle += step;
    if (std::fabs(static_cast<double>(angle - target)) < std::fabs(1.2 * step)) {
        angle = target;
        step = 0;
    }
}

std::uint32_t Bits(float f)
{
    std::uint32_t b = 0;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// A turn left alone keeps every angle of the plain rule and its 599 idle calls
// (600 frames with the key's own).
TEST_F(InputTest, TurnsLeftAloneKeepTheirAnglesAndLength)
{
    const TurnCase cases[] = {
        {1, kModifierShift, -90, -180}, {1, 0, -90, -160},     {7, kModifierShift | kModifierAlt, 180, 180},
        {7, kModifierShift, 180, 0},    {7, kModifierAlt, 180, 90}, {7, 0, 180, -90},
        {'a', 0, -90, -90},             {'A', kModifierAlt, -90, 180}, {'g', 0, 0, -90},
        {'G', 0, 0, 0},                 {'j', 0, -54.7356f, -135},  {'J', 0, -45, -135},
    };
    for (const TurnCase& c : cases) {
        SetUp();
        HedrixHandleKey(c.key, c.modifiers, console);
        float x = rotX, z = rotZ, sx = rotXStep, sz = rotZStep;
        int calls = 0;
        while (theViewState.GetMode() == CViewState::kTurn && calls < 2000) {
            IdleStep(console);
            PlainTurnStep(z, targetRotZ, sz);
            PlainTurnStep(x, targetRotX, sx);
            ++calls;
            ASSERT_EQ(Bits(x), Bits(rotX)) << int(c.key) << " call " << calls;
            ASSERT_EQ(Bits(z), Bits(rotZ)) << int(c.key) << " call " << calls;
        }
        EXPECT_EQ(599, calls) << int(c.key);
        EXPECT_EQ(0, sx);
        EXPECT_EQ(0, sz);
        EXPECT_EQ(c.targetX, rotX);
        EXPECT_EQ(c.targetZ, rotZ);
    }
}

// A drag during a turn, on either axis, toward or past the target: the turn
// still ends on its target and the viewer rests. An axis without a turn of its
// own (Ctrl+A's z axis) keeps what the drag does to it.
TEST_F(InputTest, TurnsEndOnTheirTargetWhateverADragDoes)
{
    struct {
        const char* name;
        unsigned char key;
        int callsBefore, dx, dy;  // the drag, in pixels, after that many idle calls
        float targetX, targetZ;
    } const cases[] = {
        {"60 px up, past the target", 1, 100, 0, -60, -90, -160},
        {"60 px up at once", 1, 0, 0, -60, -90, -160},
        {"60 px down, away from it", 1, 100, 0, 60, -90, -160},
        {"along z, past the target", 'a', 300, 200, 0, -90, -90},
        {"along z, away from it", 'a', 300, -200, 0, -90, -90},
        {"past the upper wrap", 7, 100, 0, 60, 180, -90},
        {"along z during Ctrl+A, which turns x alone", 1, 100, 200, 0, -90, -60},
    };
    for (const auto& c : cases) {
        SetUp();
        HedrixHandleKey(c.key, 0, console);
        for (int i = 0; i < c.callsBefore; ++i) IdleStep(console);
        lastMouseX = 400;
        lastMouseY = 300;
        HedrixDragView(400 + c.dx, 300 + c.dy);
        EXPECT_LT(IdleWhileMoving(2000), 2000) << c.name;
        EXPECT_EQ(CViewState::kIdle, theViewState.GetMode()) << c.name;
        EXPECT_FLOAT_EQ(c.targetX, rotX) << c.name;
        EXPECT_FLOAT_EQ(c.targetZ, rotZ) << c.name;
    }
}

// What comes during a turn: after `calls` idle calls, the key (if any), else a
// left-button drag of (dx, dy) pixels in ten motion events, with `between` idle
// calls after each event.
struct TurnEvent {
    int calls;
    unsigned char key;
    int dx, dy, between;
};

// A drag during a turn moves the view as at rest. From where it leaves an axis
// the turn goes on the short way round and ends no later than it would have
// (the step that cannot make it becomes the rest over the calls left); a drag
// onto or past the target ends that axis's turn on the next call. Angles stay
// within half a turn of their target (an axis without a turn of its own within
// [-180, 180], as at rest), so drags never pile up, and the auto-spin runs
// again once the turn has ended.
TEST_F(InputTest, ADragDuringATurnEndsItNoLaterThanItWouldHaveEnded)
{
    struct {
        const char* name;
        int width, height;
        std::vector<TurnEvent> events;
        int calls;       // idle calls from the last event to rest
        float endX, endZ;
        float maxPerCall;  // degrees an axis may turn in one call after the last event
    } const cases[] = {
        {"j, then six drags of 110 px up at call 100", 160, 120,
         {{0, 'j', 0, 0, 0}, {100, 0, 0, -110, 0}, {0, 0, 0, -110, 0}, {0, 0, 0, -110, 0}, {0, 0, 0, -110, 0},
          {0, 0, 0, -110, 0}, {0, 0, 0, -110, 0}},
         499, -54.7356f, -135, 1},
        {"j, then six drags of 110 px up at call 100, a call after each motion", 160, 120,
         {{0, 'j', 0, 0, 0}, {100, 0, 0, -110, 1}, {0, 0, 0, -110, 1}, {0, 0, 0, -110, 1}, {0, 0, 0, -110, 1},
          {0, 0, 0, -110, 1}, {0, 0, 0, -110, 1}},
         439, -54.7356f, -135, 1},
        {"Ctrl+A, pressed again four times 500 calls apart, then 100 px down", 160, 120,
         {{0, 1, 0, 0, 0}, {500, 1, 0, 0, 0}, {500, 1, 0, 0, 0}, {500, 1, 0, 0, 0}, {500, 1, 0, 0, 0},
          {0, 0, 0, 100, 0}},
         599, -90, -160, 1},
        {"Ctrl+A, 100 px down at call 100: ends when it would have", 900, 700,
         {{0, 1, 0, 0, 0}, {100, 0, 0, 100, 0}}, 499, -90, -160, 1},
        {"Ctrl+A, 10 px up at call 100: toward the target, at its own step", 900, 700,
         {{0, 1, 0, 0, 0}, {100, 0, 0, -10, 0}}, 349, -90, -160, 1},
        {"Ctrl+A, 60 px up at call 100: past the target, ended there", 900, 700,
         {{0, 1, 0, 0, 0}, {100, 0, 0, -60, 0}}, 1, -90, -160, 14},
        {"Ctrl+A, past the target and back away before the next call", 900, 700,
         {{0, 1, 0, 0, 0}, {100, 0, 0, -60, 0}, {0, 0, 0, 100, 0}}, 1, -90, -160, 37},
        {"Ctrl+A, 100 px left: z has no turn and stays", 900, 700,
         {{0, 1, 0, 0, 0}, {100, 0, -100, 0, 1}}, 489, -90, 150, 1},
        {"Ctrl+G from above 180, a drag along z: x turns on", 900, 700,
         {{0, 7, 0, 0, 0}, {100, 0, 20, 0, 0}}, 499, 180, -90, 1},
        {"Ctrl+G, 60 px down across +180", 900, 700,
         {{0, 7, 0, 0, 0}, {100, 0, 0, 60, 0}}, 499, 180, -90, 1},
        {"j, x past its target, then dragged on: it keeps the drag", 900, 700,
         {{0, 'j', 0, 0, 0}, {100, 0, 0, 40, 0}, {1, 0, 0, 20, 0}}, 498, -44.7356f, -135, 1},
    };
    for (const auto& c : cases) {
        SetUp();
        windowWidth = c.width;
        windowHeight = c.height;
        StorePickBounds();
        SCOPED_TRACE(c.name);
        // Where each axis may stand: within half a turn of its target while it
        // turns, as at rest when it does not. The first angle elsewhere is kept.
        std::string unwrapped;
        auto wrapped = [](float angle, float target, float step) {
            return step != 0 ? std::fabs(angle - target) <= 180 : std::fabs(angle) <= 180;
        };
        auto expectWrapped = [&](const char* when) {
            if (!unwrapped.empty() || theViewState.GetMode() != CViewState::kTurn) return;
            if (!wrapped(rotX, targetRotX, rotXStep) || !wrapped(rotZ, targetRotZ, rotZStep))
                unwrapped = std::string(when) + ": x " + std::to_string(rotX) + ", z " + std::to_string(rotZ);
        };
        for (const TurnEvent& e : c.events) {
            for (int i = 0; i < e.calls; ++i) IdleStep(console);
            if (e.key != 0) {
                HedrixHandleKey(e.key, 0, console);
                continue;
            }
            const int x0 = c.width / 2 - e.dx / 2, y0 = c.height / 2 - e.dy / 2;
            HedrixMouseButton(CDragButton::kLeft, CDragButton::kDown, x0, y0, console);
            for (int m = 1; m <= 10; ++m) {
                HedrixPointerMotion(x0 + e.dx * m / 10, y0 + e.dy * m / 10);
                expectWrapped("after a motion");
                for (int i = 0; i < e.between; ++i) IdleStep(console);
            }
            HedrixMouseButton(CDragButton::kLeft, 1, x0 + e.dx, y0 + e.dy, console);
        }
        int calls = 0;
        float maxTurn = 0;
        while (SceneMoves() && calls < 3000) {
            expectWrapped("during the turn");
            const float x = rotX, z = rotZ;
            IdleStep(console);
            maxTurn = std::max({maxTurn, std::fabs(std::remainder(rotX - x, 360.0f)),
                                std::fabs(std::remainder(rotZ - z, 360.0f))});
            ++calls;
        }
        EXPECT_EQ("", unwrapped);
        EXPECT_EQ(c.calls, calls);
        EXPECT_LE(calls, 600);
        EXPECT_LE(maxTurn, c.maxPerCall);
        EXPECT_EQ(CViewState::kIdle, theViewState.GetMode());
        EXPECT_FLOAT_EQ(c.endX, rotX);
        EXPECT_FLOAT_EQ(c.endZ, rotZ);
        HedrixHandleKey('m', 0, console);
        EXPECT_TRUE(SceneMoves());
        IdleStep(console);
        EXPECT_FLOAT_EQ(c.endZ + 0.15f, rotZ);
    }
}

// A turn key pressed again and again while its turn runs, or held: each press
// restarts with a 600th of the rest, until the step no longer moves the angle.
// The last turn still ends on its target within 600 calls, steps that whole
// float steps round short included, and the auto-spin runs again.
TEST_F(InputTest, TurnsEndOnTheirTargetWhateverKeysComeBetween)
{
    struct {
        const char* name;
        float fromX;
        std::vector<unsigned char> keys;  // pressed in turn
        int rounds, callsBetween;  // idle calls after each round of keys
        float targetX, targetZ;
    } const cases[] = {
        {"Ctrl+A twelve times at half the turn", -89.5f, {1}, 12, 300, -90, -160},
        {"Ctrl+A held", -70, {1}, 10000, 1, -90, -160},
        {"j held", -70, {'j'}, 10000, 1, -54.7356f, -135},
        {"a and A by turns, held", -70, {'a', 'A'}, 10000, 1, -90, 0},
        {"Ctrl+G twice at each frame", -70, {7, 7}, 10000, 1, 180, -90},
        // A 600th of the rest is 1.4 float steps at 90 degrees: each call moves one.
        {"a, 0.0064 from its x target", -89.9936f, {'a'}, 1, 0, -90, -90},
    };
    for (const auto& c : cases) {
        SetUp();
        rotX = c.fromX;
        for (int n = 0; n < c.rounds; ++n) {
            for (unsigned char key : c.keys) HedrixHandleKey(key, 0, console);
            for (int i = 0; i < c.callsBetween; ++i) IdleStep(console);
        }
        EXPECT_LE(IdleWhileMoving(2000), 600) << c.name;
        EXPECT_EQ(CViewState::kIdle, theViewState.GetMode()) << c.name;
        EXPECT_FLOAT_EQ(c.targetX, rotX) << c.name;
        EXPECT_FLOAT_EQ(c.targetZ, rotZ) << c.name;
        HedrixHandleKey('m', 0, console);
        EXPECT_TRUE(SceneMoves()) << c.name;
        IdleStep(console);
        EXPECT_FLOAT_EQ(c.targetZ + 0.15f, rotZ) << c.name;
    }
}

TEST_F(InputTest, TurnWithoutStepsEndsOnFirstIdleCall)
{
    rotX = 10;
    rotZ = 20;
    TurnViewTo(10, 20);
    EXPECT_EQ(1, IdleWhile(CViewState::kTurn, 10));
    EXPECT_EQ(CViewState::kIdle, theViewState.GetMode());
}

TEST_F(InputTest, TurnSwitchesAutoSpinOffAndStopsAFold)
{
    theViewState.SetMode(CViewState::kFold);
    theViewState.ToggleAutoSpin();
    HedrixHandleKey('G', 0, console);
    EXPECT_EQ(CViewState::kTurn, theViewState.GetMode());
    IdleStep(console);
    EXPECT_FALSE(theViewState.toggles[CViewState::kAutoSpin]);
}

TEST_F(InputTest, IdleWrapsAnglesOnceInModeZero)
{
    const float cases[][2] = {{190, -170}, {-200, 160}, {180, 180}, {-180, -180}, {0, 0}};
    for (const auto& c : cases) {
        rotX = c[0];
        rotZ = c[0];
        IdleStep(console);
        EXPECT_FLOAT_EQ(c[1], rotX);
        EXPECT_FLOAT_EQ(c[1], rotZ);
    }
}

TEST_F(InputTest, AutoSpinTurnsByFifteenHundredths)
{
    rotZ = 10;
    HedrixHandleKey('m', 0, console);
    for (int i = 0; i < 100; ++i) IdleStep(console);
    EXPECT_NEAR(25.0, rotZ, 1e-3);
    HedrixHandleKey('m', 0, console);
    IdleStep(console);
    EXPECT_NEAR(25.0, rotZ, 1e-3);
}

TEST_F(InputTest, ToggleKeysAndMenuValuesFlipOneToggleEach)
{
    struct {
        unsigned char key;
        int menuValue; // 0: no menu entry
        int toggle;
    } const cases[] = {
        {'s', kMenuSpecialEdges, CViewState::kSpecialEdges},
        {'f', kMenuFaces, CViewState::kFaces},
        {'F', 0, CViewState::kSplitFaces},
        {'e', kMenuFacesByEdges, CViewState::kFacesByEdges},
        {'n', kMenuNormals, CViewState::kNormals},
        {'c', kMenuCoordinateSystem, CViewState::kCoordinateSystem},
        {'v', kMenuVertices, CViewState::kVertices},
        {'m', 0, CViewState::kAutoSpin},
    };
    for (const auto& c : cases) {
        const CViewState before = theViewState;
        HedrixHandleKey(c.key, kModifierAlt, console);
        for (int t = 0; t < 9; ++t)
            EXPECT_EQ(t == c.toggle ? !before.toggles[t] : before.toggles[t], theViewState.toggles[t])
                << "key " << c.key << " toggle " << t;
        if (c.menuValue == 0) continue;
        MenuAction(c.menuValue, console);
        for (int t = 0; t < 9; ++t) EXPECT_EQ(before.toggles[t], theViewState.toggles[t]) << "menu " << c.menuValue;
    }
}

TEST_F(InputTest, UnknownKeysAndMenuValuesChangeNothing)
{
    const CViewState before = theViewState;
    const float x = rotX, z = rotZ, k = zoom;
    const unsigned char keys[] = {'x', 'Q', '0', '9', ' ', 200, kKeyEscape};
    for (unsigned char key : keys) HedrixHandleKey(key, 0, console);
    const int values[] = {0, 7, 98, kMenuQuit, 900, 906, -1};
    for (int value : values) MenuAction(value, console);
    EXPECT_EQ(before.mode, theViewState.mode);
    for (int t = 0; t < 9; ++t) EXPECT_EQ(before.toggles[t], theViewState.toggles[t]);
    EXPECT_EQ(x, rotX);
    EXPECT_EQ(z, rotZ);
    EXPECT_EQ(k, zoom);
}

TEST_F(InputTest, MarkerOnlyKey)
{
    HedrixHandleKey('1', 0, console);
    const bool expected[9] = {false, false, false, true, false, false, true, false, false};
    for (int t = 0; t < 9; ++t) EXPECT_EQ(expected[t], theViewState.toggles[t]) << t;
}

TEST_F(InputTest, ModeKeys)
{
    theMesh.SelectVornObject(4, true, console);
    theMesh.twistStep = 0.002;
    HedrixHandleKey('7', 0, console);
    EXPECT_EQ(CViewState::kTwist, theViewState.GetMode());
    HedrixHandleKey('7', 0, console);
    EXPECT_EQ(CViewState::kIdle, theViewState.GetMode());
    HedrixHandleKey('7', 0, console);
    HedrixHandleKey('4', 0, console);
    EXPECT_EQ(CViewState::kFold, theViewState.GetMode());
}

TEST_F(InputTest, ZoomKeysScaleAndShrinkTheBounds)
{
    const double before = ComputeViewBox(900, 700, zoom, ERatioOrder::kQuotientFirst).top;
    HedrixHandleKey('+', 0, console);
    EXPECT_FLOAT_EQ(static_cast<float>(2.5 / 1.1), zoom);
    const CViewBox zoomed = ComputeViewBox(900, 700, zoom, ERatioOrder::kQuotientFirst);
    EXPECT_LT(zoomed.top, before);
    // A pick handled before the next frame already uses the zoomed bounds.
    EXPECT_EQ(zoomed.left, theViewState.left);
    EXPECT_EQ(zoomed.right, theViewState.right);
    EXPECT_EQ(zoomed.bottom, theViewState.bottom);
    EXPECT_EQ(zoomed.top, theViewState.top);
    EXPECT_EQ(900, theViewState.width);
    EXPECT_EQ(700, theViewState.height);
    HedrixHandleKey('-', 0, console);
    HedrixHandleKey('-', 0, console);
    EXPECT_FLOAT_EQ(static_cast<float>(static_cast<float>(2.5 / 1.1) * 1.1 * 1.1), zoom);
}

TEST_F(InputTest, DragTurnsHalfADegreePerPixel)
{
    struct {
        int x0, y0, x1, y1;
        float fromX, fromZ, toX, toZ;
    } const cases[] = {
        {100, 100, 110, 100, 0, 0, 0, 5},
        {100, 100, 100, 110, 0, 0, 5, 0},
        {100, 100, 90, 80, 0, 0, -10, -5},
        {0, 0, 20, 20, 175, 178, -175, -172},   // above 180 wraps
        {20, 20, 0, 0, -175, -178, -185, -188}, // below -180 does not
    };
    for (const auto& c : cases) {
        rotX = c.fromX;
        rotZ = c.fromZ;
        lastMouseX = c.x0;
        lastMouseY = c.y0;
        HedrixDragView(c.x1, c.y1);
        EXPECT_FLOAT_EQ(c.toX, rotX);
        EXPECT_FLOAT_EQ(c.toZ, rotZ);
        EXPECT_EQ(c.x1, lastMouseX);
        EXPECT_EQ(c.y1, lastMouseY);
    }
}

// Button codes as the windowing library sends them.
constexpr int kLeft = 0, kMiddle = 1, kRight = 2, kDown = 0, kUp = 1;

struct CButtonEvent {
    int button, state;
};

// Only a drag with the left button held turns the view; the drag starts where
// that button went down, whatever other buttons did before.
TEST_F(InputTest, OnlyTheLeftButtonDragsTheView)
{
    struct {
        const char* name;
        std::vector<CButtonEvent> events;
        bool turns;
    } const cases[] = {
        {"left held", {{kLeft, kDown}}, true},
        {"middle after a left drag", {{kLeft, kDown}, {kLeft, kUp}, {kMiddle, kDown}}, false},
        {"middle alone", {{kMiddle, kDown}}, false},
        {"right alone", {{kRight, kDown}}, false},
        {"left released", {{kLeft, kDown}, {kLeft, kUp}}, false},
        {"left held, middle released", {{kMiddle, kDown}, {kLeft, kDown}, {kMiddle, kUp}}, true},
        {"wheel while left held", {{kLeft, kDown}, {3, kDown}, {3, kUp}}, true},
    };
    for (const auto& c : cases) {
        SetUp();
        std::ostringstream out;
        for (const CButtonEvent& e : c.events) HedrixMouseButton(e.button, e.state, 300, 200, out);
        HedrixPointerMotion(340, 220);
        EXPECT_FLOAT_EQ(c.turns ? -60.0f : -70.0f, rotX) << c.name;
        EXPECT_FLOAT_EQ(c.turns ? -140.0f : -160.0f, rotZ) << c.name;
    }
}

// The pick prints only on a left press, which also starts the drag there.
TEST_F(InputTest, LeftPressStartsTheDragAndPicks)
{
    std::ostringstream out;
    HedrixMouseButton(kMiddle, kDown, 10, 10, out);
    HedrixMouseButton(kLeft, kUp, 10, 10, out);
    EXPECT_EQ("", out.str());
    HedrixMouseButton(kLeft, kDown, 123, 45, out);
    EXPECT_NE("", out.str());
    EXPECT_EQ(123, lastMouseX);
    EXPECT_EQ(45, lastMouseY);
}

// Presses of + (or -) inside the range give the very values that stepping
// the float gives, and + then - (or - then +) restores the zoom exactly.
TEST_F(InputTest, ZoomStepsAreTodaysValuesAndExactInverses)
{
    theMesh.SelectVornObject(4, false, console);
    for (unsigned char key : {'+', '-'}) {
        SetUp();
        float expected = 2.5f;
        for (int n = 1; n <= 15; ++n) {
            expected = static_cast<float>(key == '+' ? expected / 1.1 : expected * 1.1);
            HedrixHandleKey(key, 0, console);
            ASSERT_EQ(expected, zoom) << key << n;
            const float here = zoom;
            HedrixHandleKey(key == '+' ? '-' : '+', 0, console);
            HedrixHandleKey(key, 0, console);
            ASSERT_EQ(here, zoom) << key << n;
        }
    }
}

// Held far past either end, the zoom stops at its step bounds whatever the
// object, and coming back the same number of steps restores it.
TEST_F(InputTest, ZoomHeldPastTheRangeStopsAndComesBack)
{
    for (int type = 1; type <= 5; ++type) {
        SetUp();
        theMesh.SelectVornObject(type, true, console);
        for (int i = 0; i < 2000; ++i) HedrixHandleKey('-', 0, console);
        EXPECT_EQ(kMaxZoomOutSteps, zoomSteps);
        EXPECT_TRUE(std::isfinite(zoom));
        EXPECT_LT(zoom, 200.0f);
        for (int i = 0; i < 2000; ++i) HedrixHandleKey('+', 0, console);
        EXPECT_EQ(-kMaxZoomInSteps, zoomSteps) << type;
        EXPECT_EQ(ZoomAtStep(2.5f, -kMaxZoomInSteps), zoom) << type;
        for (int i = 0; i < kMaxZoomInSteps; ++i) HedrixHandleKey('-', 0, console);
        EXPECT_EQ(2.5f, zoom) << type;
    }
}

struct ObjectKeyCase {
    unsigned char key;
    int solid, nVertices, stage;
};

TEST_F(InputTest, ObjectKeysBuildTheirObjects)
{
    const ObjectKeyCase cases[] = {
        {'T', 901, 12, 20}, {'H', 902, 24, 20}, {'O', 903, 24, 20}, {'D', 904, 60, 20}, {'I', 905, 60, 20},
        {'t', 901, 12, 50}, {'h', 902, 24, 50}, {'o', 903, 24, 50}, {'d', 904, 60, 50}, {'i', 905, 60, 50},
    };
    for (const ObjectKeyCase& c : cases) {
        theViewState.SetMode(CViewState::kFold);
        HedrixHandleKey(c.key, 0, console);
        EXPECT_EQ(c.solid, currentSolid) << c.key;
        EXPECT_EQ(c.nVertices, theMesh.nVertices) << c.key;
        EXPECT_EQ(2 * c.nVertices, theMesh.nEdges) << c.key;
        EXPECT_EQ(c.stage, theMesh.stage) << c.key;
        EXPECT_EQ(CViewState::kIdle, theViewState.GetMode()) << c.key;
    }
}

TEST_F(InputTest, ArrowStepsWrapAroundTheFiveObjects)
{
    const int counts[] = {12, 24, 24, 60, 60};
    HedrixHandleKey('I', 0, console);
    for (int i = 0; i < 6; ++i) {
        NextSolid(console);
        const int expected = 901 + i % 5;
        EXPECT_EQ(expected, currentSolid);
        EXPECT_EQ(counts[expected - 901], theMesh.nVertices);
        EXPECT_EQ(20, theMesh.stage);
    }
    HedrixHandleKey('T', 0, console);
    for (int i = 0; i < 6; ++i) {
        PrevSolid(console);
        const int expected = 905 - i % 5;
        EXPECT_EQ(expected, currentSolid);
        EXPECT_EQ(counts[expected - 901], theMesh.nVertices);
    }
}

TEST_F(InputTest, HideAndShowSquaresKeys)
{
    auto count = [](int type) {
        int n = 0;
        for (int i = 0; i < theMesh.nFaces; ++i) n += theMesh.faces[i].type == type;
        return n;
    };
    HedrixHandleKey('t', 0, console);
    EXPECT_EQ(6, count(1));
    HedrixHandleKey('5', 0, console);
    EXPECT_EQ(0, count(1));
    EXPECT_EQ(6, count(99));
    HedrixHandleKey('5', kModifierAlt, console);
    EXPECT_EQ(6, count(1));
    EXPECT_EQ(0, count(99));
}

TEST_F(InputTest, FoldModeRunsDownToTheLowerBound)
{
    HedrixHandleKey('T', 0, console);
    HedrixHandleKey('4', 0, console);
    const int calls = IdleWhile(CViewState::kFold, 1000);
    EXPECT_EQ(375, calls);
    EXPECT_EQ(theMesh.lowerBound, theMesh.foldParameter);
}

TEST_F(InputTest, TwistModeStepsTheAngleEachIdleCall)
{
    HedrixHandleKey('t', 0, console);
    HedrixHandleKey('6', 0, console);
    theMesh.twistAngle = 0;
    theMesh.twistStep = 0.002;
    HedrixHandleKey('7', 0, console);
    IdleStep(console);
    IdleStep(console);
    EXPECT_NEAR(0.004, theMesh.twistAngle, 1e-12);
    EXPECT_EQ(CViewState::kTwist, theViewState.GetMode());
}

// Key 7 before the sequence has given the twist a step: the loop cannot move.
// It places the faces once, as each of its passes would (with the marks of
// key 6 that a pass clears), prints nothing, and the viewer rests; 7 then stops
// it and the auto-spin runs.
TEST_F(InputTest, TwistKeyWithoutAStepPlacesOnceAndRests)
{
    for (bool marked : {false, true}) {
        SetUp();
        theMesh.SelectVornObject(4, true, console);
        theMesh.ReplaceFaceType(kSquareFaceType, kHiddenType);
        theMesh.twistAngle = 0;
        theMesh.twistStep = 0;
        theMesh.twistPrepared = false;
        if (marked) HedrixHandleKey('6', 0, console);
        std::ostringstream out;
        HedrixHandleKey('7', 0, out);
        SCOPED_TRACE(marked ? "after key 6" : "fresh");
        EXPECT_EQ(CViewState::kTwist, theViewState.GetMode());
        EXPECT_FALSE(SceneMoves());
        std::vector<CVector3d> placed;
        int marks = 0;
        for (int i = 0; i < theMesh.nVertices; ++i) {
            placed.push_back(theMesh.VertexPosition(i));
            marks += theMesh.vertices[i].type == kTwistMarkType;
        }
        EXPECT_EQ(0, marks);
        IdleStep(out);
        for (int i = 0; i < theMesh.nVertices; ++i)
            for (int k = 0; k < 3; ++k) ASSERT_EQ(placed[i][k], theMesh.VertexPosition(i)[k]) << i;
        EXPECT_EQ(0.0, theMesh.twistAngle);
        EXPECT_EQ(CViewState::kTwist, theViewState.GetMode());
        EXPECT_EQ("", out.str());
        HedrixHandleKey('7', 0, out);
        EXPECT_EQ(CViewState::kIdle, theViewState.GetMode());
        HedrixHandleKey('m', 0, out);
        EXPECT_TRUE(SceneMoves());
    }
}

// Everything one idle call can change.
struct IdleSnapshot {
    float rotX, rotZ;
    int mode;
    bool autoSpin;
    double foldParameter, twistAngle;
    std::string console;

    static IdleSnapshot Take(const std::ostringstream& console)
    {
        return {::rotX,
                ::rotZ,
                theViewState.GetMode(),
                theViewState.toggles[CViewState::kAutoSpin],
                theMesh.foldParameter,
                theMesh.twistAngle,
                console.str()};
    }
    bool operator==(const IdleSnapshot& o) const
    {
        return rotX == o.rotX && rotZ == o.rotZ && mode == o.mode && autoSpin == o.autoSpin &&
               foldParameter == o.foldParameter && twistAngle == o.twistAngle && console == o.console;
    }
};

struct MovesCase {
    const char* name;
    const char* keys;
    float rotX, rotZ;
    int mode;  // -1: as the keys leave it
    bool moves;
    double twistStep = 0.002;  // 0: before the sequence first starts the twist
};

TEST_F(InputTest, SceneMovesExactlyWhenAnIdleCallChangesSomething)
{
    const MovesCase cases[] = {
        {"start", "", -70, -160, -1, false},
        {"half turns", "", 180, -180, -1, false},
        {"x dragged below", "", -180.5f, 0, -1, true},
        {"z dragged below", "", 0, -200, -1, true},
        {"x above", "", 190, 0, -1, true},
        {"auto-spin", "m", -70, -160, -1, true},
        {"auto-spin off again", "mm", -70, -160, -1, false},
        {"turn", "j", -70, -160, -1, true},
        {"fold", "T4", -70, -160, -1, true},
        {"twist loop", "t67", -70, -160, -1, true},
        {"twist loop stopped", "t677", -70, -160, -1, false},
        {"twist loop without a step", "t7", -70, -160, -1, false, 0},
        {"twist loop without a step, auto-spin", "t7m", -70, -160, -1, true, 0},
        {"unknown mode", "", -200, 200, 42, false},
        {"unknown mode, auto-spin", "m", -70, -160, 42, true},
    };
    for (const MovesCase& c : cases) {
        SetUp();
        theMesh.SelectVornObject(4, true, console);
        theMesh.twistAngle = 0;
        theMesh.twistStep = c.twistStep;
        for (const char* k = c.keys; *k; ++k) HedrixHandleKey(static_cast<unsigned char>(*k), 0, console);
        rotX = c.rotX;
        rotZ = c.rotZ;
        if (c.mode >= 0) theViewState.mode = c.mode;
        EXPECT_EQ(c.moves, SceneMoves()) << c.name;
        const IdleSnapshot before = IdleSnapshot::Take(console);
        IdleStep(console);
        EXPECT_EQ(c.moves, !(before == IdleSnapshot::Take(console))) << c.name;
    }
}

TEST_F(InputTest, EveryMotionComesToRest)
{
    // A turn ends on its target (599 calls from the start view), a fold at its bound.
    HedrixHandleKey('j', 0, console);
    EXPECT_EQ(599, IdleWhileMoving(10000));
    EXPECT_FLOAT_EQ(-54.7356f, rotX);
    EXPECT_FLOAT_EQ(-135.0f, rotZ);
    HedrixHandleKey('T', 0, console);
    HedrixHandleKey('4', 0, console);
    EXPECT_EQ(375, IdleWhileMoving(10000));
    EXPECT_EQ(theMesh.lowerBound, theMesh.foldParameter);
    // The twist loop stops itself at the mark.
    HedrixHandleKey('t', 0, console);
    HedrixHandleKey('6', 0, console);
    theMesh.twistAngle = 0;
    theMesh.twistStep = 0.002;
    HedrixHandleKey('7', 0, console);
    const int twistCalls = IdleWhileMoving(100000);
    EXPECT_GT(twistCalls, 100);
    EXPECT_LT(twistCalls, 100000);
    EXPECT_EQ(CViewState::kIdle, theViewState.GetMode());
    // A drag below -180 is wrapped by one call.
    rotX = -200;
    rotZ = -181;
    EXPECT_EQ(1, IdleWhileMoving(10));
    EXPECT_FLOAT_EQ(160.0f, rotX);
    EXPECT_FLOAT_EQ(179.0f, rotZ);
    // Auto-spin runs until switched off; a turn switches it off too.
    HedrixHandleKey('m', 0, console);
    EXPECT_EQ(1000, IdleWhileMoving(1000));
    HedrixHandleKey('G', 0, console);
    IdleWhileMoving(10000);
    EXPECT_FALSE(theViewState.toggles[CViewState::kAutoSpin]);
    EXPECT_FALSE(SceneMoves());
}

// Key w writes three files in the working directory.
class WriteKeyTest : public InputTest {
protected:
    static std::string FirstLine(const char* name)
    {
        std::ifstream in(name);
        std::string line;
        std::getline(in, line);
        return line;
    }
    const CWorkInTestDirectory inDir;
};

TEST_F(WriteKeyTest, WritesAllThreeFiles)
{
    HedrixHandleKey('o', 0, console);
    HedrixHandleKey('w', 0, console);
    std::istringstream header(FirstLine("wemo.txt"));
    int nV = 0, nF = 0, nS = -1;
    header >> nV >> nF >> nS;
    EXPECT_EQ(24, nV);
    EXPECT_EQ(26, nF);
    EXPECT_EQ(0, nS);
    EXPECT_TRUE(std::filesystem::is_regular_file("crInc.txt"));
    std::istringstream full(FirstLine("wp.txt"));
    int fV = 0, fF = 0, fE = 0;
    full >> fV >> fF >> fE;
    EXPECT_EQ(24, fV);
    EXPECT_EQ(48, fE);
}

TEST_F(WriteKeyTest, AnUnwritableFileLeavesTheOthersAndTheMesh)
{
    HedrixHandleKey('T', 0, console);
    std::filesystem::create_directory("wemo.txt");
    std::ostringstream written;
    HedrixHandleKey('w', 0, written);
    const std::string out = written.str();
    EXPECT_NE(std::string::npos, out.find("Datei kann nicht geoeffnet werden!"));
    EXPECT_TRUE(std::filesystem::is_directory("wemo.txt"));
    EXPECT_TRUE(std::filesystem::is_regular_file("crInc.txt"));
    EXPECT_TRUE(std::filesystem::is_regular_file("wp.txt"));
    EXPECT_EQ(12, theMesh.nVertices);
}

// Two parallel edges, seen with the model turned by 90 degrees about z: the
// pick must follow the turn, not take the view-plane point as a model point.
class PickTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        theMesh.ResetTopology();
        theMesh.nFaces = 0;
        theMesh.nEdges = 0;
        theMesh.nSpecialEdges = 0;
        theMesh.nVertices = 4;
        theMesh.vertices[0].Set(-1, -0.5, 0, 0);
        theMesh.vertices[1].Set(1, -0.5, 0, 0);
        theMesh.vertices[2].Set(-1, 0.5, 0, 0);
        theMesh.vertices[3].Set(1, 0.5, 0, 0);
        theMesh.AddEdge(0, 1, 2);
        theMesh.AddEdge(2, 3, 3);
        const CViewBox b = ComputeViewBox(900, 700, zoom, ERatioOrder::kQuotientFirst);
        theViewState.SetProjection(b.width, b.height, b.left, b.right, b.bottom, b.top);
        bounds = b;
        rotX = 0;
        rotZ = 90;
    }
    std::string PressAt(double eyeX, double eyeY)
    {
        const int px = static_cast<int>(std::lround((eyeX - bounds.left) / (bounds.right - bounds.left) * 900));
        const int py = static_cast<int>(std::lround(700 - (eyeY - bounds.bottom) / (bounds.top - bounds.bottom) * 700));
        std::ostringstream out;
        PressLeftButton(px, py, out);
        EXPECT_EQ(px, lastMouseX);
        EXPECT_EQ(py, lastMouseY);
        return out.str();
    }
    CViewBox bounds{};
};

TEST_F(PickTest, PrintsThePickedEdgeOneBased)
{
    struct {
        double eyeX, eyeY;
        const char* line;
    } const cases[] = {
        {0.5, 0.2, "picked edge 1: vertices 1 - 2\n"},
        {-0.5, -0.3, "picked edge 2: vertices 3 - 4\n"},
        {0.0, 1.5, "no edge picked\n"}, // beyond the ends of both edges
    };
    for (const auto& c : cases) EXPECT_EQ(c.line, PressAt(c.eyeX, c.eyeY)) << c.eyeX << " " << c.eyeY;
}

TEST_F(PickTest, NoEdgesNoPick)
{
    theMesh.nEdges = 0;
    EXPECT_EQ("no edge picked\n", PressAt(0.5, 0.2));
}

} // namespace
