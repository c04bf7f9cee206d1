// The depth planes hold what the view shows, and only that.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <random>

#include "mesh/MeshConfigs.h"
#include "view/VisibleDepth.h"

namespace {

constexpr CSceneReach kReach{0.1, 1.0, 1.5};

// A small store: points, then edges and triangles between them (0-based).
struct CScene : CPolyMeshStore {
    CScene() : CPolyMeshStore(64, 64, 64) {}
    int Point(double x, double y, double z)
    {
        vertices[nVertices].Set(x, y, z, 1);
        return nVertices++;
    }
    void Edge(int a, int b) { edges[nEdges++].Set(a, b, 1, -1, -1); }
    void Triangle(int a, int b, int c)
    {
        const int v[3] = {a, b, c};
        faces[nFaces++].Set(3, v, 1);
    }
    void Quad(int a, int b, int c, int d)
    {
        const int v[4] = {a, b, c, d};
        faces[nFaces++].Set(4, v, 1);
    }
    // The centroid, face centres and normals, as a load computes them.
    void Derive()
    {
        computeCentroid();
        ComputeFaceCentres();
        ComputeFaceNormals();
    }
};

// Seen straight along z, eye space is model space; the box is 2 half by 2 half about the origin.
CViewBox Box(double half)
{
    CViewBox b{100, 100, -half, half, -half, half, -1, 1};
    return b;
}
const CViewTurn kStraight(0.0f, 0.0f);

const double kAll = std::numeric_limits<double>::infinity();

double Depth(const CScene& scene, const CViewBox& box = Box(1), const CViewTurn& turn = kStraight,
             double counted = kAll)
{
    return VisibleDepth(scene, kReach, turn, box, counted);
}

TEST(ViewTurn, TurnsAboutZThenAboutXAsTheDisplayDoes)
{
    const struct {
        float rotX, rotZ;
        CVector3d p, eye;
    } cases[] = {
        {90, 0, {0, 1, 0}, {0, 0, 1}},
        {0, 90, {1, 0, 0}, {0, 1, 0}},
        {90, 90, {1, 0, 0}, {0, 0, 1}},
        {-70, -160, {0, 0, 0}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        const CVector3d e = CViewTurn(c.rotX, c.rotZ).Eye(c.p);
        EXPECT_NEAR(c.eye.x(), e.x(), 1e-12) << c.rotX << " " << c.rotZ;
        EXPECT_NEAR(c.eye.y(), e.y(), 1e-12);
        EXPECT_NEAR(c.eye.z(), e.z(), 1e-12);
    }
    const CVector3d p(0.3, -1.7, 2.9);
    EXPECT_NEAR(length(p), length(CViewTurn(-70, -160).Eye(p)), 1e-12);
}

// The axes about the origin always count; points count by where they show.
TEST(VisibleDepth, PointsCountWhereTheyShowAndTheAxesAlways)
{
    CScene scene;
    EXPECT_EQ(1.5, Depth(scene));
    scene.Point(0.5, 0.5, -4);
    EXPECT_DOUBLE_EQ(4.1, Depth(scene));
    scene.Point(1.05, 0, 9);  // outside the box, but its sphere reaches in
    EXPECT_DOUBLE_EQ(9.1, Depth(scene));
    scene.Point(1.2, 0, 30);  // wholly outside
    scene.Point(1e75, 0, 1e75);
    EXPECT_DOUBLE_EQ(9.1, Depth(scene));
}

// A tube to a far point counts only as deep as it runs inside the window.
TEST(VisibleDepth, SegmentsCountTheirPartInsideTheBox)
{
    CScene scene;
    const int origin = scene.Point(0, 0, 0);
    scene.Edge(origin, scene.Point(1000, 0, 1000));
    EXPECT_NEAR(1.5, Depth(scene), 1e-9);  // 1.1 at x = 1.1, below the axes
    scene.Edge(origin, scene.Point(1000, 0, 5000));
    EXPECT_NEAR(5.5 + 0.1, Depth(scene), 1e-9);
    // Along the line of sight it counts whole.
    scene.Edge(scene.Point(0, 0, -50), scene.Point(0, 0, 50));
    EXPECT_NEAR(50.1, Depth(scene), 1e-9);
    // Far out of the window on both ends, across it in the middle.
    CScene across;
    across.Edge(across.Point(-1e6, 0, 3), across.Point(1e6, 0, 3));
    EXPECT_NEAR(3.1, Depth(across), 1e-9);
}

// A face larger than the window counts by its depth where the window shows it.
TEST(VisibleDepth, FacesCountTheirPartInsideTheBox)
{
    CScene flat;
    flat.Triangle(flat.Point(-100, -100, 10), flat.Point(100, -100, 10), flat.Point(0, 100, 10));
    EXPECT_NEAR(10.1, Depth(flat), 1e-9);
    CScene tilted;  // z = x / 2: at most 0.55 inside the grown box
    tilted.Triangle(tilted.Point(-100, -100, -50), tilted.Point(100, -100, 50), tilted.Point(100, 100, 50));
    EXPECT_NEAR(1.5, Depth(tilted), 1e-9);
    EXPECT_NEAR(5.05 + 0.1, Depth(tilted, Box(10)), 1e-9);
}

// What is not drawn does not count, and no count reads outside the records.
TEST(VisibleDepth, NothingUndrawnCountsAndNothingOutsideIsRead)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    CScene scene;
    const int a = scene.Point(0, 0, 2);
    const int b = scene.Point(nan, 0, 0);
    const int c = scene.Point(0, inf, 0);
    scene.Edge(a, b);
    scene.Edge(b, c);
    scene.Triangle(a, b, c);
    scene.edges[scene.nEdges++].Set(a, 70, 1, -1, -1);
    const int missing[3] = {a, -1, 200};
    scene.faces[scene.nFaces++].Set(3, missing, 1);
    scene.faces[0].SetCentre(CVector3d(nan, 0, 0));
    EXPECT_DOUBLE_EQ(2.1, Depth(scene));
    scene.nVertices = 1000;
    scene.nEdges = 1000;
    scene.nSpecialEdges = 1000;
    scene.nFaces = 1000;
    EXPECT_TRUE(std::isfinite(Depth(scene)));
}

// Over random scenes, turns and windows: every point of a drawn element that
// shows in the window lies between the planes, and the planes lie no farther
// out than the whole scene with its reach.
TEST(VisibleDepth, HoldsEverySampleThatShowsAndNoMore)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coordinate(-20, 20), unit(0, 1), angle(-180, 180), half(0.01, 5);
    for (int round = 0; round < 200; ++round) {
        CScene scene;
        for (int i = 0; i < 12; ++i) scene.Point(coordinate(rng), coordinate(rng), coordinate(rng));
        for (int i = 0; i + 1 < 12; i += 2) scene.Edge(i, i + 1);
        for (int i = 0; i + 2 < 12; i += 3) scene.Triangle(i, i + 1, i + 2);
        scene.computeCentroid();
        scene.ComputeFaceCentres();
        scene.ComputeFaceNormals();
        const CViewTurn turn(static_cast<float>(angle(rng)), static_cast<float>(angle(rng)));
        const double h = half(rng);
        const CViewBox box{100, 100, -1.3 * h, 1.3 * h, -h, h, -1, 1};
        const double depth = VisibleDepth(scene, kReach, turn, box, kAll);
        double whole = kReach.axes;
        for (int i = 0; i < scene.nVertices; ++i) whole = std::max(whole, length(scene.vertices[i].Position()) + 1.0);
        ASSERT_LE(depth, whole + 1e-9);
        const auto check = [&](const CVector3d& p) {
            const CVector3d e = turn.Eye(p);
            if (e.x() >= box.left && e.x() <= box.right && e.y() >= box.bottom && e.y() <= box.top) {
                ASSERT_LE(std::fabs(e.z()), depth + 1e-9) << "round " << round;
            }
        };
        for (int s = 0; s < 400; ++s) {
            const double u = unit(rng), v = unit(rng) * (1 - u);
            const CPolyFace& f = scene.faces[s % scene.nFaces];
            const CVector3d p0 = scene.vertices[f.verts[0]].Position(), p1 = scene.vertices[f.verts[1]].Position(),
                            p2 = scene.vertices[f.verts[2]].Position();
            check(p0 + u * (p1 - p0) + v * (p2 - p0));
            const CEdge& e = scene.edges[s % scene.nEdges];
            const CVector3d a = scene.vertices[e.v1].Position(), b = scene.vertices[e.v2].Position();
            check(a + u * (b - a));
        }
    }
}

// Each part of the scene that the viewers draw beyond vertices, edges and
// triangles moves the planes by itself: here it alone shows in the window.
TEST(VisibleDepth, EveryDrawnPartCountsAlone)
{
    struct {
        const char* part;
        void (*build)(CScene&);
        double depth;
    } const cases[] = {
        // Split along the first diagonal, z = |x - y|; along the second, 20 - |x + y|.
        {"a quadrilateral's second diagonal",
         [](CScene& s) { s.Quad(s.Point(-10, -10, 0), s.Point(10, -10, 20), s.Point(10, 10, 0), s.Point(-10, 10, 20)); },
         20.1},
        {"a quadrilateral's first diagonal",
         [](CScene& s) { s.Quad(s.Point(-10, -10, 20), s.Point(10, -10, 0), s.Point(10, 10, 20), s.Point(-10, 10, 0)); },
         20.1},
        // A face far right, vertices far left: only the link between their middles crosses the window.
        {"the link from the centroid to a face centre",
         [](CScene& s) {
             s.Triangle(s.Point(100, 0, 30), s.Point(101, 0, 30), s.Point(100, 1, 30));
             s.Point(-200, 0, 30), s.Point(-200, 1, 30), s.Point(-201, 0, 30);
         },
         30.1},
        // A face standing beside the window, its normal pointing in.
        {"a normal mark",
         [](CScene& s) {
             const int a = s.Point(1.5, -1, 6), b = s.Point(1.5, 1, 6), c = s.Point(1.5, 0, 9);
             s.Triangle(a, c, b);
         },
         7.1},
        {"the centroid", [](CScene& s) { s.Point(-5, 0, 8), s.Point(5, 0, 8); }, 8.1},
    };
    for (const auto& c : cases) {
        CScene scene;
        c.build(scene);
        scene.Derive();
        EXPECT_NEAR(c.depth, Depth(scene), 1e-9) << c.part;
    }
}

// Beyond what the planes may reach, an element counts for nothing, not for
// as far as they may go; so does one the GL cannot draw, however far they may.
TEST(VisibleDepth, WhatCannotBeHeldOrDrawnCountsForNothing)
{
    struct {
        double z;
        double counted;
        double depth;
    } const cases[] = {
        {50, 100, 50.1}, {99.9, 100, 100}, {100, 100, 1.5}, {1e6, 100, 1.5},
        {3e38, kAll, 3e38}, {1e39, kAll, 1.5}, {1e75, kAll, 1.5},
    };
    for (const auto& c : cases) {
        CScene scene;
        scene.Point(0.3, 0.2, c.z);
        EXPECT_NEAR(c.depth, Depth(scene, Box(1), kStraight, c.counted), 1e-9 * c.depth) << c.z << " " << c.counted;
    }
    // A whole element: the near end of a tube to an undrawable point moves nothing.
    CScene tube;
    tube.Edge(tube.Point(1.5, 0, 40), tube.Point(-1e39, 0, 40));
    EXPECT_EQ(1.5, Depth(tube));
    CScene huge;  // corners within single precision, but not their distance from the origin
    huge.Triangle(huge.Point(-5e38, -5e38, 3e38), huge.Point(5e38, -5e38, 3e38), huge.Point(0, 5e38, 3e38));
    EXPECT_EQ(1.5, Depth(huge));
}

// The design viewer's window and start zoom, seen from straight above.
CViewBox Planes(const CScene& scene, bool depthClamped, float rotX = 0, float rotZ = 0, float zoom = kStartZoom)
{
    return SceneViewBox(scene, kReach, rotX, rotZ, 900, 700, zoom, ERatioOrder::kProductFirst, depthClamped);
}

void ExpectSameBox(const CViewBox& want, const CViewBox& got, const char* what)
{
    EXPECT_EQ(want.left, got.left) << what;
    EXPECT_EQ(want.right, got.right) << what;
    EXPECT_EQ(want.bottom, got.bottom) << what;
    EXPECT_EQ(want.top, got.top) << what;
    EXPECT_EQ(want.nearPlane, got.nearPlane) << what;
    EXPECT_EQ(want.farPlane, got.farPlane) << what;
}

// A square with its edges about the origin, and one stray element beside it.
void Square(CScene& s, void (*stray)(CScene&))
{
    const int a = s.Point(-1, -1, 0), b = s.Point(1, -1, 0), c = s.Point(1, 1, 0), d = s.Point(-1, 1, 0);
    s.Quad(a, b, c, d);
    s.Edge(a, b), s.Edge(b, c), s.Edge(c, d), s.Edge(d, a);
    if (stray) stray(s);
    s.Derive();
}

// With depth clamping, a far element drawn in the window leaves the planes
// where they lie without it, so the rest keeps its depth order; without, they
// reach it (the GL would cut it otherwise) while single precision holds them.
TEST(SceneViewBox, AFarElementLeavesThePlanesWhereTheGLClampsDepth)
{
    struct {
        const char* stray;
        void (*add)(CScene&);
        float rotX, rotZ;
        double unclampedFar;  // at least
    } const cases[] = {
        {"a lone vertex at depth 1e6", [](CScene& s) { s.Point(0.3, 0.2, 1e6); }, 0, 0, 1e6},
        {"a face reaching 1e6", [](CScene& s) { s.Triangle(s.Point(0.3, 0.2, 0), s.Point(0.6, 0.2, 0), s.Point(0.4, 0.5, 1e6)); },
         0, 0, 1e5},
        {"a point far along x turned into the line of sight",
         [](CScene& s) { s.Edge(1, s.Point(1e6, 0, 0)); }, -90, -90, 1e6},
        {"a lone vertex at depth 1e39", [](CScene& s) { s.Point(0.3, 0.2, 1e39); }, 0, 0, 0},
        {"a slanted triangle of corners near 5e38",
         [](CScene& s) { s.Triangle(s.Point(-5e38, -5e38, -5e38), s.Point(5e38, -5e38, 5e38), s.Point(0, 5e38, 0)); },
         -70, -160, 0},
    };
    for (const auto& c : cases) {
        CScene plain, stray;
        Square(plain, nullptr);
        Square(stray, c.add);
        ExpectSameBox(Planes(plain, true, c.rotX, c.rotZ), Planes(stray, true, c.rotX, c.rotZ), c.stray);
        const CViewBox unclamped = Planes(stray, false, c.rotX, c.rotZ);
        EXPECT_GE(unclamped.farPlane, c.unclampedFar) << c.stray;
        for (const CViewBox& b : {Planes(stray, true, c.rotX, c.rotZ), unclamped}) {
            EXPECT_EQ(-b.farPlane, b.nearPlane) << c.stray;
            EXPECT_TRUE(std::isnormal(1.0f / static_cast<float>(b.farPlane))) << c.stray << " " << b.farPlane;
        }
    }
}

// The planes reach as far as kClampedDepthInK k where the GL clamps depth:
// 60 steps in, a design the size of the built-in ones keeps its whole depth.
TEST(SceneViewBox, ThePlanesFollowTheSceneUpToAThousandHalfSizes)
{
    const float zoomedIn = ZoomAtStep(kStartZoom, -kMaxZoomInSteps);
    const double k = static_cast<double>(zoomedIn * 0.70710677f);
    EXPECT_GT(kClampedDepthInK * k, 5.5);
    for (const double z : {4.0, 5.5}) {
        CScene scene;
        scene.Point(0, 0, z);
        EXPECT_GT(Planes(scene, true, 0, 0, zoomedIn).farPlane, z + kReach.aroundVertex) << z;
    }
    CScene beyond;
    beyond.Point(0, 0, kClampedDepthInK * k);
    EXPECT_EQ(Planes(CScene(), true, 0, 0, zoomedIn).farPlane, Planes(beyond, true, 0, 0, zoomedIn).farPlane);
}

// Room beyond the deepest point for the rounding of the turn and of the
// projection in single precision: 0.05, and 1e-5 of the depth.
TEST(SceneViewBox, LeavesRoomBeyondTheDeepestPoint)
{
    for (const double z : {100.0, 1000.0}) {
        CScene scene;
        scene.Point(0, 0, -z);
        const double deepest = z + kReach.aroundVertex;
        for (const bool clamped : {true, false}) {
            const CViewBox b = Planes(scene, clamped);
            EXPECT_NEAR(deepest + 0.05 + 1e-5 * deepest, b.farPlane, 1e-9) << z;
            EXPECT_EQ(-b.farPlane, b.nearPlane);
        }
    }
}

} // namespace
