#pragma once
// View arithmetic that both viewers share, free of OpenGL and GLUT.
#include <cmath>

// A left-button drag from (lastX, lastY) to (x, y): half a degree per pixel,
// the vertical move about x, the horizontal one about z. Only the upper end
// wraps; an angle below -180 stays until the viewer brings it back itself.
// The steps go to stepX and stepZ, and (x, y) becomes the new drag start.
inline void DragTurn(int x, int y, int& lastX, int& lastY, float& rotX, float& rotZ, float& stepX, float& stepZ)
{
    stepX = static_cast<float>(y - lastY) * 0.5f;
    stepZ = static_cast<float>(x - lastX) * 0.5f;
    lastX = x;
    lastY = y;
    rotX += stepX;
    rotZ += stepZ;
    if (rotX > 180) rotX -= 360;
    if (rotZ > 180) rotZ -= 360;
}

// The windowing library calls the motion callback while any button is held,
// but only the left button turns the view (the right one opens the menu). Fed
// with every button event, this says whether the left one is down.
class CDragButton {
public:
    // The library's codes for the left button and for a press.
    static constexpr int kLeft = 0;
    static constexpr int kDown = 0;
    // True when the event is a left press, the start of a drag.
    bool Event(int button, int state)
    {
        if (button != kLeft) return false;
        leftHeld = state == kDown;
        return leftHeld;
    }
    bool LeftHeld() const { return leftHeld; }

private:
    bool leftHeld = false;
};

// Zoom keys. `+` divides the view half-size by 1.1 and `-` multiplies it, in
// double and stored as float. The viewers count the steps and recompute the
// zoom from its start value, so that `+` and `-` undo each other exactly and a
// run of presses gives the same value as stepping the float each time. The
// depth range follows the scene (view/VisibleDepth.h), so the keys need no
// bound but these: `+` goes kMaxZoomInSteps in, `-` kMaxZoomOutSteps out, where the
// objects are still several pixels across.
constexpr float kStartZoom = 2.5f;
constexpr int kMaxZoomInSteps = 60;
constexpr int kMaxZoomOutSteps = 40;

// Zoom after `steps` presses of `-` (negative: of `+`) from `start`.
inline float ZoomAtStep(float start, int steps)
{
    float z = start;
    for (int i = 0; i < steps; ++i) z = static_cast<float>(static_cast<double>(z) * 1.1);
    for (int i = 0; i > steps; --i) z = static_cast<float>(static_cast<double>(z) / 1.1);
    return z;
}

// One zoom key on the step count; returns the zoom for the count, which is
// left alone at either end of the range. Other keys return the zoom unchanged.
inline float ZoomKey(unsigned char key, int& steps, float start)
{
    if (key == '+' && steps > -kMaxZoomInSteps) --steps;
    if (key == '-' && steps < kMaxZoomOutSteps) ++steps;
    return ZoomAtStep(start, steps);
}

// The orthographic view box of a window. The x/y half-sizes are k = zoom *
// 0.70710677 across the shorter side and k times the window ratio across the
// longer one; the depth planes lie at 5 k (each viewer rounding it its own
// way), and WidenDepth moves them out to where the scene reaches farther
// (view/VisibleDepth.h). Sizes below 1 count
// as 1, so a minimised window never yields infinite or NaN bounds.
struct CViewBox {
    int width, height;
    double left, right, bottom, top, nearPlane, farPlane;
    // An element that the planes do not follow shows beyond the far plane,
    // where the GL clamps its depth to the far end (view/VisibleDepth.h).
    bool uncountedBeyondFar = false;
};

// How a viewer rounds its box in single precision: the two orders round
// apart at some zoom steps, and each viewer keeps its pictures.
enum class ERatioOrder {
    kQuotientFirst,  // k * (long / short), planes at 5 * k: the polyhedron viewer
    kProductFirst    // k * long / short, planes at (zoom * 5) * 0.70710677: the design viewer
};

inline CViewBox ComputeViewBox(int width, int height, float zoom, ERatioOrder order)
{
    CViewBox b{};
    b.width = width < 1 ? 1 : width;
    b.height = height < 1 ? 1 : height;
    const float k = zoom * 0.70710677f;
    const float shorter = static_cast<float>(b.width <= b.height ? b.width : b.height);
    const float longer = static_cast<float>(b.width <= b.height ? b.height : b.width);
    const float a = order == ERatioOrder::kQuotientFirst ? k * (longer / shorter) : k * longer / shorter;
    if (b.width <= b.height) {
        b.left = -k;
        b.right = k;
        b.bottom = -a;
        b.top = a;
    } else {
        b.left = -a;
        b.right = a;
        b.bottom = -k;
        b.top = k;
    }
    const float depth = order == ERatioOrder::kQuotientFirst ? 5 * k : (zoom * 5.0f) * 0.70710677f;
    b.nearPlane = -depth;
    b.farPlane = depth;
    return b;
}

// Near and far at -depth and depth where that is farther than they lie; a
// depth that is not a finite number leaves them.
inline void WidenDepth(CViewBox& box, double depth)
{
    if (std::isfinite(depth) && depth > box.farPlane) {
        box.nearPlane = -depth;
        box.farPlane = depth;
    }
}

struct CMenuEntry {
    const char* label;
    int value;
};

// The display toggles of both viewers' main menu, in menu order; the values
// do not follow that order, and both programs' menu callbacks rely on them.
constexpr CMenuEntry kToggleMenu[] = {
    {"Toggle show special edges", 1}, {"Toggle show faces", 2},  {"Toggle show faces by edges", 3},
    {"Toggle show vertices", 6},      {"Toggle show normals", 4}, {"Toggle show coordinatesystem", 5}};
