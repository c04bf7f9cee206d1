// The depth planes hold what the view shows, and only that.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <random>

#include "mesh/MeshConfigs.h"
#include "tests/support/DepthSweep.h"
#include "view/VisibleDepth.h"

namespace {

using depthsweep::SameBox;

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
    return VisibleDepth(scene, kReach, turn, box, {counted, kAll}).depth;
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
        const double depth = VisibleDepth(scene, kReach, turn, box, {kAll, kAll}).depth;
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

// A small square about the origin: the design that the far points below lie
// beyond, its vertices 0.014 from the origin, so that a vertex beyond 14 is a
// stray.
void SmallSquare(CScene& s)
{
    s.Quad(s.Point(-0.01, -0.01, 0), s.Point(0.01, -0.01, 0), s.Point(0.01, 0.01, 0), s.Point(-0.01, 0.01, 0));
}

// Beyond what the planes may reach past the design, an element counts for
// nothing, not for as far as they may go; so does one the GL cannot draw,
// however far they may: a point farther from the origin than single precision
// reaches, which some turn takes beyond it in one coordinate.
TEST(VisibleDepth, WhatCannotBeHeldOrDrawnCountsForNothing)
{
    struct {
        double z;
        double beyond;
        double depth;
    } const cases[] = {
        {50, 100, 50.1}, {99.9, 100, 100}, {100, 100, 1.5}, {1e6, 100, 1.5},
        {3e38, kAll, 3e38}, {1e39, kAll, 1.5}, {1e75, kAll, 1.5},
    };
    for (const auto& c : cases) {
        CScene scene;
        SmallSquare(scene);
        scene.Point(0.3, 0.2, c.z);
        EXPECT_NEAR(c.depth, Depth(scene, Box(1), kStraight, c.beyond), 1e-9 * c.depth) << c.z << " " << c.beyond;
    }
    // A whole element: the near end of a tube to an undrawable point moves nothing.
    CScene tube;
    tube.Edge(tube.Point(1.5, 0, 40), tube.Point(-1e39, 0, 40));
    EXPECT_EQ(1.5, Depth(tube));
    // A triangle over the window, one corner's every coordinate within single
    // precision but not its distance from the origin.
    CScene corner;
    corner.Triangle(corner.Point(-5, -5, 3e38), corner.Point(5, -5, 3e38), corner.Point(0, 3e38, 3e38));
    EXPECT_EQ(1.5, Depth(corner));
    CScene inside;  // the same within it
    inside.Triangle(inside.Point(-5, -5, 2e38), inside.Point(5, -5, 2e38), inside.Point(0, 2e38, 2e38));
    EXPECT_NEAR(2e38, Depth(inside), 1e29);
}

// The reach is measured from where the design lies in depth, its deepest
// vertex under the turn, not from the origin; a vertex farther from the origin
// than 1000 times the median vertex is a stray and does not move it.
TEST(VisibleDepth, TheReachIsMeasuredFromTheDesign)
{
    struct {
        const char* what;
        double apex;  // two vertices of the design above its square, 0 for none
        double far;   // a vertex beside them
        double beyond;
        double depth;
    } const cases[] = {
        {"100 beyond a design reaching 5", 5, 104.9, 100, 105},
        {"further beyond a design reaching 5", 5, 105, 100, 5.1},
        {"below 1000 times the median: part of the design", 0, 14.1, 1, 14.2},
        {"beyond 1000 times the median: a stray", 0, 14.2, 1, 1.5},
        {"a stray within the reach of a design reaching 14", 14, 14.5, 1, 14.6},
    };
    for (const auto& c : cases) {
        CScene scene;
        SmallSquare(scene);
        if (c.apex != 0) scene.Point(0.005, 0.005, c.apex), scene.Point(-0.005, 0.005, c.apex);
        scene.Point(0.3, 0.2, c.far);
        EXPECT_NEAR(c.depth, Depth(scene, Box(1), kStraight, c.beyond), 1e-9) << c.what;
    }
    // Vertices the GL cannot draw take no part in the median either.
    CScene undrawable;
    SmallSquare(undrawable);
    for (int i = 0; i < 5; ++i) undrawable.Point(3, 0, 1e39);
    undrawable.Point(0.3, 0.2, 20);
    EXPECT_NEAR(1.5, Depth(undrawable, Box(1), kStraight, 1), 1e-9);
}

// The design viewer's window and start zoom, seen from straight above.
CViewBox Planes(const CScene& scene, bool depthClamped, float rotX = 0, float rotZ = 0, float zoom = kStartZoom)
{
    return SceneViewBox(scene, kReach, rotX, rotZ, 900, 700, zoom, ERatioOrder::kProductFirst, depthClamped);
}

void ExpectSameBox(const CViewBox& want, const CViewBox& got, const char* what)
{
    EXPECT_TRUE(SameBox(want, got)) << what;
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
// where they lie without it, so the rest keeps its depth order, and one that
// shows beyond the far plane asks for the test that lets it be drawn there;
// without clamping, the planes reach it (the GL would cut it otherwise) while
// single precision holds them. What the GL cannot draw moves nothing either way.
TEST(SceneViewBox, AFarElementLeavesThePlanesWhereTheGLClampsDepth)
{
    struct {
        const char* stray;
        void (*add)(CScene&);
        float rotX, rotZ;
        double unclampedFar;  // at least; 0: the planes as without it
        bool beyondFar;
    } const cases[] = {
        {"a lone vertex at depth 1e6", [](CScene& s) { s.Point(0.3, 0.2, 1e6); }, 0, 0, 1e6, false},
        {"a lone vertex at depth -1e6", [](CScene& s) { s.Point(0.3, 0.2, -1e6); }, 0, 0, 1e6, true},
        {"a face reaching 1e6", [](CScene& s) { s.Triangle(s.Point(0.3, 0.2, 0), s.Point(0.6, 0.2, 0), s.Point(0.4, 0.5, 1e6)); },
         0, 0, 1e5, false},
        {"a face reaching -1e6",
         [](CScene& s) { s.Triangle(s.Point(0.3, 0.2, 0), s.Point(0.6, 0.2, 0), s.Point(0.4, 0.5, -1e6)); }, 0, 0, 1e5,
         true},
        {"a point far along x turned into the line of sight",
         [](CScene& s) { s.Edge(1, s.Point(1e6, 0, 0)); }, -90, -90, 1e6, false},
        {"a point far along -x turned into the line of sight behind",
         [](CScene& s) { s.Edge(1, s.Point(-1e6, 0, 0)); }, -90, -90, 1e6, true},
        {"a vertex behind at -3e38", [](CScene& s) { s.Point(0.3, 0.2, -3e38); }, 0, 0, 0, true},
        {"a lone vertex at depth 1e39", [](CScene& s) { s.Point(0.3, 0.2, 1e39); }, 0, 0, 0, false},
        {"a lone vertex at depth -1e39", [](CScene& s) { s.Point(0.3, 0.2, -1e39); }, 0, 0, 0, false},
        // Each coordinate within single precision, each corner farther than it
        // from the origin; about the line of sight, as the centroid it drags.
        {"a slanted triangle 3.5e38 to 3.7e38 deep in the line of sight",
         [](CScene& s) {
             s.Triangle(s.Point(1.33621e38, 3.08645e38, 1.00913e38), s.Point(9.92475e37, 3.31156e38, 1.04333e38),
                        s.Point(1.14237e38, 3.13862e38, 1.64135e38));
         },
         -70, -160, 4e6, false},  // the link from the square to the centroid, 1.5e38 deep, shows to 4.9e6
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stray);
        CScene plain, stray;
        Square(plain, nullptr);
        Square(stray, c.add);
        CViewBox want = Planes(plain, true, c.rotX, c.rotZ);
        want.uncountedBeyondFar = c.beyondFar;
        ExpectSameBox(want, Planes(stray, true, c.rotX, c.rotZ), c.stray);
        const CViewBox unclamped = Planes(stray, false, c.rotX, c.rotZ);
        if (c.unclampedFar > 0)
            EXPECT_GE(unclamped.farPlane, c.unclampedFar) << c.stray;
        else
            ExpectSameBox(Planes(plain, false, c.rotX, c.rotZ), unclamped, c.stray);
        EXPECT_FALSE(unclamped.uncountedBeyondFar) << c.stray;
        for (const CViewBox& b : {Planes(stray, true, c.rotX, c.rotZ), unclamped}) {
            EXPECT_EQ(-b.farPlane, b.nearPlane) << c.stray;
            EXPECT_TRUE(std::isnormal(1.0f / static_cast<float>(b.farPlane))) << c.stray << " " << b.farPlane;
        }
    }
}

// Where the GL clamps depth the planes reach 1000 k beyond the design (60
// steps in, k = 0.0058): a far point 5.5 beyond it moves them, one 6.5 beyond
// does not, whether the design lies at the origin or reaches 1 from it.
TEST(SceneViewBox, ThePlanesFollowTheSceneUpToAThousandHalfSizesBeyondTheDesign)
{
    const float zoomedIn = ZoomAtStep(kStartZoom, -kMaxZoomInSteps);
    for (const double apex : {0.0, 1.0}) {
        for (const double beyond : {5.5, 6.5}) {
            // Vertices 0.0014 from the origin: the far point is a stray, the apex is not.
            CScene far;
            {
                CScene* s = &far;
                s->Quad(s->Point(-0.001, -0.001, 0), s->Point(0.001, -0.001, 0), s->Point(0.001, 0.001, 0),
                        s->Point(-0.001, 0.001, 0));
                if (apex > 0) s->Point(0.0005, 0.0005, apex);
            }
            far.Point(0, 0, apex + beyond);
            far.Derive();
            const double farPlane = Planes(far, true, 0, 0, zoomedIn).farPlane;
            if (beyond < 6)
                EXPECT_GT(farPlane, apex + beyond + kReach.aroundVertex) << apex << " " << beyond;
            else  // only the centroid it drags moves them
                EXPECT_LT(farPlane, apex + 2) << apex << " " << beyond;
        }
    }
}

// Designs the GL draws whole, at any place and zoom: the pyramid and
// spike, a flat grid, moved along the line of sight or across it.
void Pyramid(CScene& s)
{
    const int apex = s.Point(0, 0, 6);
    int ring[6];
    for (int i = 0; i < 6; ++i) ring[i] = s.Point(3 * std::cos(i * M_PI / 3), 3 * std::sin(i * M_PI / 3), 0);
    for (int i = 0; i < 6; ++i) s.Triangle(apex, ring[i], ring[(i + 1) % 6]), s.Edge(apex, ring[i]);
}
void Spike(CScene& s)
{
    const int apex = s.Point(0, 0, 9), a = s.Point(1, 0, 0), b = s.Point(-0.5, 0.87, 0), c = s.Point(-0.5, -0.87, 0);
    s.Triangle(a, b, c), s.Triangle(apex, a, b), s.Triangle(apex, b, c), s.Triangle(apex, c, a);
    s.Edge(apex, a), s.Edge(apex, b), s.Edge(apex, c);
}
void Grid(CScene& s)
{
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) s.Point(i - 1, j - 1, 0);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) s.Quad(3 * j + i, 3 * j + i + 1, 3 * j + i + 4, 3 * j + i + 3);
}

// A design without strays keeps its whole depth at every zoom step wherever it
// lies: the planes with depth clamping are the planes without, so the GL draws
// the same picture either way.
TEST(SceneViewBox, ADesignWithoutStraysKeepsItsWholeDepthAtEveryZoomStep)
{
    void (*const designs[])(CScene&) = {Pyramid, Spike, Grid};
    const CVector3d directions[] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {0, 1, 0}, {0.6, -0.48, 0.64}};
    const struct {
        float rotX, rotZ;
    } turns[] = {{0, 0}, {-70, -160}, {70, 0}, {-90, -90}, {35, 120}, {180, 45}};
    int designIndex = 0;
    for (auto* build : designs) {
        ++designIndex;
        // Beyond 1e30 neither follows it: the projection in single precision would not hold.
        for (const double offset : {0.0, 10.0, 100.0, 1000.0, 1e31, 3e38}) {
            for (const CVector3d& direction : directions) {
                CScene scene;
                build(scene);
                for (int i = 0; i < scene.nVertices; ++i)
                    scene.vertices[i].SetPosition(scene.vertices[i].Position() + offset * direction, 1);
                scene.Derive();
                for (const auto& t : turns)
                    for (int step = -kMaxZoomInSteps; step <= kMaxZoomOutSteps; ++step) {
                        const float zoom = ZoomAtStep(kStartZoom, step);
                        CViewBox clamped = Planes(scene, true, t.rotX, t.rotZ, zoom);
                        // Drawn at a plane instead, and behind asking to be let in there.
                        if (offset > kUnclampedDepth) clamped.uncountedBeyondFar = false;
                        ASSERT_TRUE(SameBox(Planes(scene, false, t.rotX, t.rotZ, zoom), clamped))
                            << "design " << designIndex << " moved " << offset << " along " << direction.x() << " "
                            << direction.y() << " " << direction.z() << ", turn " << t.rotX << " " << t.rotZ
                            << ", zoom step " << step;
                        ASSERT_TRUE(std::isnormal(1.0f / static_cast<float>(clamped.farPlane))) << clamped.farPlane;
                    }
                if (offset == 0) break;
            }
        }
    }
}

// A stray near the line of sight counts for nothing at every zoom step where
// it lies farther than 1000 k beyond the design, in front or behind; behind,
// it asks to be drawn at the far plane. Nearer, the planes reach it.
TEST(SceneViewBox, AStrayCountsForNothingAtEveryZoomStepBeyondTheReach)
{
    // Far enough that the centroid it drags lies beyond the reach too.
    for (const double depth : {1e6, -1e6, 1e30, -1e30, 3e38, -3e38}) {
        CScene plain, stray;
        Grid(plain);
        Grid(stray);
        stray.Point(0.001, 0.001, depth);
        plain.Derive();
        stray.Derive();
        for (int step = -kMaxZoomInSteps; step <= kMaxZoomOutSteps; ++step) {
            const float zoom = ZoomAtStep(kStartZoom, step);
            const CViewBox got = Planes(stray, true, 0, 0, zoom);
            if (std::fabs(depth) + kReach.aroundVertex <= 1000 * static_cast<double>(got.top)) {
                EXPECT_GT(got.farPlane, std::fabs(depth)) << depth << " at zoom step " << step;
                EXPECT_FALSE(got.uncountedBeyondFar) << depth << " at zoom step " << step;
                continue;
            }
            CViewBox want = Planes(plain, true, 0, 0, zoom);
            want.uncountedBeyondFar = depth < 0;
            EXPECT_TRUE(SameBox(want, got)) << depth << " at zoom step " << step;
        }
    }
}

// A vertex 999 half-sizes behind the flat grid counts, and one `+` later lies
// beyond the reach: the planes no longer reach it and it is drawn at the far
// plane. At every zoom step where it is a stray (999 k beyond 1000 times the
// median vertex, 1.4); the centroid it drags lies within the reach.
TEST(SceneViewBox, AVertexBehindThePlanesAfterOneZoomStepIsDrawnAtTheFarPlane)
{
    for (int step = -2; step <= kMaxZoomOutSteps; ++step) {
        const float zoom = ZoomAtStep(kStartZoom, step);
        const double k = static_cast<double>(zoom * 0.70710677f);
        CScene stray;
        Grid(stray);
        stray.Point(0.4, 0.3, -999 * k);
        stray.Derive();
        const CViewBox before = Planes(stray, true, 0, 0, zoom);
        EXPECT_GT(before.farPlane, 999 * k) << step;
        EXPECT_FALSE(before.uncountedBeyondFar) << step;
        const CViewBox after = Planes(stray, true, 0, 0, ZoomAtStep(kStartZoom, step - 1));
        EXPECT_LT(after.farPlane, 200 * k) << step;
        EXPECT_TRUE(after.uncountedBeyondFar) << step;
    }
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
