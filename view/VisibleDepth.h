#pragma once
// How deep the visible part of a scene reaches in the current view, for the
// depth planes of the view box. Only what can fall inside the box's x/y
// extents counts: a vertex far outside the window widens nothing. Where the
// GL draws what lies beyond the planes at the plane (depth clamping), only
// what lies within reach of the design itself counts either, so one stray
// point of a design file cannot stretch the depth range until its precision
// (24 bits, the projection in single precision) is lost, while the design
// keeps its whole depth wherever it lies and everything on screen is still
// drawn. Free of OpenGL.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "geometry/CVector3d.h"
#include "mesh/MeshRecords.h"
#include "view/ViewRules.h"

// How far beyond the mesh's own points a viewer draws: the largest sphere,
// tube or arrow head about a vertex (or the centroid), the normal marks beyond
// a face centre, and the coordinate axes from the origin.
struct CSceneReach {
    double aroundVertex;
    double beyondCentre;
    double axes;
};

// Room left between the scene and the depth planes, for the rounding of the
// view turn and of the projection in single precision.
constexpr double kDepthMargin = 0.05;

// How deep, in view half-sizes k, an element may reach beyond the design
// itself and still move the depth planes where the GL clamps depth; a deeper
// one is drawn at the plane. At 1000 k a step of the 24-bit depth buffer is
// still a 24th of a pixel of a 700-pixel window, so the rest of the scene keeps
// its depth order whatever one far element does.
constexpr double kClampedDepthInK = 1000;
// Without clamping the planes must reach every visible element, but no farther
// than the projection in single precision can take (1 / far a normal float).
constexpr double kUnclampedDepth = 1e30;
// A vertex farther from the origin than this many times the median vertex is
// a stray: it is not part of where the design lies.
constexpr double kStrayFactor = 1000;

// How deep an element may reach and still count: `beyondDesign` beyond the
// deepest vertex of the design under the turn (strays aside), never beyond `cap`.
struct CCountedDepth {
    double beyondDesign;
    double cap;
};

// kClampedDepthInK half-sizes (k across the shorter side of `box`) beyond the
// design where the GL clamps depth; kUnclampedDepth from the origin where it
// does not.
inline CCountedDepth CountedDepth(const CViewBox& box, bool depthClamped)
{
    return {depthClamped ? kClampedDepthInK * std::min(box.right, box.top) : kUnclampedDepth, kUnclampedDepth};
}

// A point the GL can draw: no farther from the origin than the largest single
// precision number, as any of its coordinates may be under some turn. NaN and
// infinity are not.
inline bool Drawable(const CVector3d& p)
{
    return dot(p, p) <= static_cast<double>(FLT_MAX) * FLT_MAX;
}

// The turn the display applies to the model: about x by rotX after about z by
// rotZ (degrees), as glRotatef composes them.
class CViewTurn {
public:
    CViewTurn(float rotX, float rotZ)
    {
        cx = std::cos(degToRad(rotX));
        sx = std::sin(degToRad(rotX));
        cz = std::cos(degToRad(rotZ));
        sz = std::sin(degToRad(rotZ));
    }
    CVector3d Eye(const CVector3d& p) const
    {
        const double x = cz * p.x() - sz * p.y();
        const double y = sz * p.x() + cz * p.y();
        return CVector3d(x, cx * y - sx * p.z(), sx * y + cx * p.z());
    }

private:
    double cx, sx, cz, sz;
};

// Lowest and highest z of the part of a point, segment or triangle (n = 1, 2,
// 3 eye points) whose x/y lies in the box grown by `grow` on every side; false
// when no part does. The polygon is clipped side by side, z carried along.
inline bool DepthsInside(const CVector3d* points, int n, const CViewBox& box, double grow, double& lowest,
                         double& highest)
{
    const double bounds[4] = {box.left - grow, box.right + grow, box.bottom - grow, box.top + grow};
    // Wholly beyond one side, or wholly inside: no clipping needed.
    int beyondAll = 15, beyondAny = 0;
    lowest = HUGE_VAL;
    highest = -HUGE_VAL;
    for (int i = 0; i < n; ++i) {
        const CVector3d& p = points[i];
        const int beyond = (p.x() < bounds[0]) | (p.x() > bounds[1]) << 1 | (p.y() < bounds[2]) << 2 |
                           (p.y() > bounds[3]) << 3;
        beyondAll &= beyond;
        beyondAny |= beyond;
        lowest = std::min(lowest, p.z());
        highest = std::max(highest, p.z());
    }
    if (beyondAll != 0) return false;
    if (beyondAny == 0) return n > 0;
    CVector3d a[8], b[8];
    std::copy(points, points + n, a);
    for (int side = 0; side < 4 && n > 0; ++side) {
        const int axis = side / 2;
        const double sign = side % 2 == 0 ? 1.0 : -1.0;  // inside: sign * (coordinate - bound) >= 0
        const auto inside = [&](const CVector3d& p) { return sign * (p[axis] - bounds[side]) >= 0; };
        int m = 0;
        for (int i = 0; i < n; ++i) {
            const CVector3d& p = a[i];
            const CVector3d& q = a[(i + 1) % n];
            if (inside(p)) b[m++] = p;
            if (n > 1 && inside(p) != inside(q)) {
                const double t = (bounds[side] - p[axis]) / (q[axis] - p[axis]);
                b[m++] = p + t * (q - p);
            }
        }
        std::copy(b, b + m, a);
        n = m;
    }
    lowest = HUGE_VAL;
    highest = -HUGE_VAL;
    for (int i = 0; i < n; ++i) {
        lowest = std::min(lowest, a[i].z());
        highest = std::max(highest, a[i].z());
    }
    return n > 0;
}

// Where the design itself lies in depth under the turn: the deepest |z| of its
// drawable vertices (`eye`, turned), strays (kStrayFactor) aside; 0 without any.
// Distances are compared squared: the turn keeps them.
inline double DesignDepth(const std::vector<CVector3d>& eye)
{
    std::vector<double> squared;
    squared.reserve(eye.size());
    for (const CVector3d& e : eye)
        if (Drawable(e)) squared.push_back(dot(e, e));
    if (squared.empty()) return 0;
    const auto middle = squared.begin() + static_cast<std::ptrdiff_t>(squared.size() / 2);
    std::nth_element(squared.begin(), middle, squared.end());
    const double strayBeyond = kStrayFactor * kStrayFactor * *middle;
    double deepest = 0;
    for (const CVector3d& e : eye)
        if (Drawable(e) && dot(e, e) <= strayBeyond) deepest = std::max(deepest, std::fabs(e.z()));
    return deepest;
}

// How deep the visible scene reaches: `depth`, the deepest |z| of what counts,
// and `lowestUncounted`, the lowest z of the visible part of an element that
// reaches deeper than may count (+infinity when none does): where that lies
// beyond the far plane, the GL draws it at the plane only if the depth test
// lets it.
struct CVisibleDepth {
    double depth;
    double lowestUncounted;
};

// Deepest |z| that anything the viewer draws of this mesh reaches inside the
// box's x/y extents under the turn: vertices (spheres) and the centroid (the
// hub of the twist markers) as points, edges, special edges and the links from
// the centroid to the face centres as segments, each face as the triangles its
// corners span, and the normal marks from the face centres, every one grown by
// its reach; the axes about the origin, which always lies in the box.
// An element counts for nothing where it reaches deeper than `counted` allows
// or has a point the GL cannot draw; counts beyond the capacities read nothing
// outside the records.
template <class Mesh>
CVisibleDepth VisibleDepth(const Mesh& mesh, const CSceneReach& reach, const CViewTurn& turn, const CViewBox& box,
                           const CCountedDepth& counted)
{
    const int nVertices = std::max(0, std::min(mesh.nVertices, mesh.vertexCapacity));
    std::vector<CVector3d> eye(static_cast<std::size_t>(nVertices));
    for (int i = 0; i < nVertices; ++i) eye[i] = turn.Eye(mesh.vertices[i].Position());
    const double bound = std::min(DesignDepth(eye) + counted.beyondDesign, counted.cap);

    CVisibleDepth found{reach.axes, HUGE_VAL};
    double& deepest = found.depth;
    // One element by its eye points; only one that could reach deeper than
    // what was found so far is clipped. The twist marker's parts about the
    // centroid are drawn with the polyhedra alone, whose vertices never stray:
    // where a stray drags the centroid away, nothing is drawn there.
    const auto hold = [&](std::initializer_list<CVector3d> eyePoints, double grow, bool marker = false) {
        double farthest = 0;
        for (const CVector3d& e : eyePoints) {
            if (!Drawable(e)) return;
            farthest = std::max(farthest, std::fabs(e.z()));
        }
        if (farthest + grow <= deepest) return;
        double lowest, highest;
        if (!DepthsInside(eyePoints.begin(), static_cast<int>(eyePoints.size()), box, grow, lowest, highest)) return;
        const double d = std::max(std::fabs(lowest), std::fabs(highest)) + grow;
        if (d <= bound)
            deepest = std::max(deepest, d);
        else if (!marker)
            found.lowestUncounted = std::min(found.lowestUncounted, lowest - grow);
    };
    const auto valid = [nVertices](int v) { return v >= 0 && v < nVertices; };
    const double around = reach.aroundVertex;

    const CVector3d hub = turn.Eye(mesh.Centroid());
    hold({hub}, around, true);
    for (int i = 0; i < nVertices; ++i) hold({eye[i]}, around);
    const auto holdEdges = [&](const CEdge* edges, int count) {
        for (int k = 0; k < std::min(count, mesh.edgeCapacity); ++k)
            if (valid(edges[k].v1) && valid(edges[k].v2)) hold({eye[edges[k].v1], eye[edges[k].v2]}, around);
    };
    holdEdges(mesh.edges.get(), mesh.nEdges);
    holdEdges(mesh.specialEdges.get(), mesh.nSpecialEdges);
    const int nFaces = std::min(mesh.nFaces, mesh.faceCapacity);
    for (int f = 0; f < nFaces; ++f) {
        const auto& face = mesh.faces[f];
        const CVector3d centre = turn.Eye(face.Centre());
        hold({centre, turn.Eye(face.Centre() + reach.beyondCentre * face.Normal())}, around);
        hold({hub, centre}, around, true);
        const int n = std::min(face.nVerts, static_cast<int>(Mesh::Face::kVertSlots));
        bool corners = n >= 3;
        for (int k = 0; k < n; ++k) corners = corners && valid(face.verts[k]);
        if (!corners) continue;
        const auto corner = [&](int k) { return eye[face.verts[k]]; };
        // Triangles from the first corner, as a polygon is filled; a quadrilateral
        // that is not flat also by its other diagonal.
        for (int k = 1; k + 1 < n; ++k) hold({corner(0), corner(k), corner(k + 1)}, around);
        if (n == 4) {
            hold({corner(0), corner(1), corner(3)}, around);
            hold({corner(1), corner(2), corner(3)}, around);
        }
    }
    return found;
}

// The view box of a window with its depth planes holding what the scene shows
// under the turn: at 5 k, or farther where the visible scene reaches farther
// (only as far as kClampedDepthInK k beyond the design where the GL clamps
// depth), with room for the rounding of the turn and the projection in single
// precision. Where the GL clamps depth and an element that does not count
// shows beyond the far plane, `uncountedBeyondFar` asks for a depth test that
// lets it be drawn there.
template <class Mesh>
CViewBox SceneViewBox(const Mesh& mesh, const CSceneReach& reach, float rotX, float rotZ, int width, int height,
                      float zoom, ERatioOrder order, bool depthClamped)
{
    CViewBox box = ComputeViewBox(width, height, zoom, order);
    const CVisibleDepth visible =
        VisibleDepth(mesh, reach, CViewTurn(rotX, rotZ), box, CountedDepth(box, depthClamped));
    WidenDepth(box, visible.depth * (1 + 1e-5) + kDepthMargin);
    box.uncountedBeyondFar = depthClamped && visible.lowestUncounted < -box.farPlane;
    return box;
}
