#pragma once
// View arithmetic that both viewers share, free of OpenGL and GLUT.
#include <cmath>

#include "geometry/CVector3d.h"

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
// depth range follows the scene (ComputeViewBox), so the keys need no bound
// but these: `+` goes kMaxZoomInSteps in, `-` kMaxZoomOutSteps out, where the
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

// How far beyond the mesh's own points a viewer draws: the largest sphere,
// tube or arrow head about a vertex (or the centroid), the normal marks beyond
// a face centre, and the coordinate axes from the origin.
struct CSceneReach {
    double aroundVertex;
    double beyondCentre;
    double axes;
};

// Room left between the scene and the depth planes, for the rounding of the
// view rotation and of the projection in single precision.
constexpr double kDepthMargin = 0.05;

// Radius about the origin, about which the view turns, that holds everything
// the viewer draws of this mesh in any view. Points that are not finite
// numbers are not drawn and do not count.
template <class Mesh>
double SceneRadius(const Mesh& mesh, const CSceneReach& reach)
{
    double r = reach.axes;
    auto hold = [&r](const CVector3d& p, double beyond) {
        const double d = length(p) + beyond;
        if (std::isfinite(d) && d > r) r = d;
    };
    hold(mesh.Centroid(), reach.aroundVertex);
    const int nVertices = mesh.nVertices < mesh.vertexCapacity ? mesh.nVertices : mesh.vertexCapacity;
    for (int i = 0; i < nVertices; ++i) hold(mesh.vertices[i].Position(), reach.aroundVertex);
    const int nFaces = mesh.nFaces < mesh.faceCapacity ? mesh.nFaces : mesh.faceCapacity;
    for (int i = 0; i < nFaces; ++i) hold(mesh.faces[i].Centre(), reach.beyondCentre);
    return r * (1 + 1e-6) + kDepthMargin;
}

// The orthographic view box of a window. The x/y half-sizes are k = zoom *
// 0.70710677 across the shorter side and k times the window ratio across the
// longer one; the depth planes lie at 5 k, or farther where the scene reaches
// farther, so that nothing drawn is ever cut. Sizes below 1 count as 1, so a
// minimised window never yields infinite or NaN bounds.
struct CViewBox {
    int width, height;
    double left, right, bottom, top, nearPlane, farPlane;
};

// How a viewer scales k by the window ratio in single precision: the two
// orders round apart at some zoom steps, and each viewer keeps its pictures.
enum class ERatioOrder {
    kQuotientFirst,  // k * (long / short): the polyhedron viewer
    kProductFirst    // k * long / short: the design viewer
};

inline CViewBox ComputeViewBox(int width, int height, float zoom, double sceneRadius, ERatioOrder order)
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
    const float depth = 5 * k;
    const double reach = std::isfinite(sceneRadius) && sceneRadius > depth ? sceneRadius : depth;
    b.nearPlane = -reach;
    b.farPlane = reach;
    return b;
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
