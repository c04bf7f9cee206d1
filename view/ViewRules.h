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
// run of presses gives the same value as stepping the float each time.
// Near and far lie at 5 k (k = zoom * 0.70710677), so zooming in shrinks the
// depth range with the window: `+` stops at the step where the object's
// farthest point (plus room for the vertex spheres) would leave it, and never
// goes more than kMaxZoomInSteps in; `-` stops kMaxZoomOutSteps out, where the
// objects are still several pixels across.
constexpr float kStartZoom = 2.5f;
constexpr int kMaxZoomInSteps = 60;
constexpr int kMaxZoomOutSteps = 40;
constexpr double kZoomDepthMargin = 0.05;

// Zoom after `steps` presses of `-` (negative: of `+`) from `start`.
inline float ZoomAtStep(float start, int steps)
{
    float z = start;
    for (int i = 0; i < steps; ++i) z = static_cast<float>(static_cast<double>(z) * 1.1);
    for (int i = 0; i > steps; --i) z = static_cast<float>(static_cast<double>(z) / 1.1);
    return z;
}

// Whether the depth range at this zoom holds every point within `radius` of
// the origin, about which the view turns.
inline bool ZoomHoldsDepth(float zoom, double radius)
{
    const float k = zoom * 0.70710677f;
    return 5.0 * k >= radius + kZoomDepthMargin;
}

// One zoom key on the step count; returns the zoom for the count, which is
// left alone at either end of the range. Other keys return the zoom unchanged.
inline float ZoomKey(unsigned char key, int& steps, float start, double radius)
{
    if (key == '+' && steps > -kMaxZoomInSteps && ZoomHoldsDepth(ZoomAtStep(start, steps - 1), radius)) --steps;
    if (key == '-' && steps < kMaxZoomOutSteps) ++steps;
    return ZoomAtStep(start, steps);
}

// Distance of the farthest vertex from the origin; points that are not
// finite numbers are not drawn and do not count.
template <class Mesh>
double FarthestVertex(const Mesh& mesh)
{
    double r = 0;
    for (int i = 0; i < mesh.nVertices; ++i) {
        const double d = length(mesh.vertices[i].Position());
        if (std::isfinite(d) && d > r) r = d;
    }
    return r;
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
