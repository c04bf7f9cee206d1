// The depth planes hold what the view shows, and only that.
#include <gtest/gtest.h>

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
};

// Seen straight along z, eye space is model space; the box is 2 half by 2 half about the origin.
CViewBox Box(double half)
{
    CViewBox b{100, 100, -half, half, -half, half, -1, 1};
    return b;
}
const CViewTurn kStraight(0.0f, 0.0f);

double Depth(const CScene& scene, const CViewBox& box = Box(1), const CViewTurn& turn = kStraight)
{
    return VisibleDepth(scene, kReach, turn, box);
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
        const double depth = VisibleDepth(scene, kReach, turn, box);
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

} // namespace
