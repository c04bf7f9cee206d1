#include <cmath>
#include <limits>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "hedrix/core/HedrixMesh.h"
#include "hedrix/core/Input.h"
#include "hedrix/core/Pick.h"
#include "hedrix/core/ViewState.h"
#include "tests/support/DepthSweep.h"

namespace {

struct ModeCase {
    int before;
    int requested;
    int after;
};

class SetModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(SetModeTest, TogglesOnlyTheTwistLoop)
{
    CViewState view;
    view.mode = GetParam().before;
    view.SetMode(GetParam().requested);
    EXPECT_EQ(view.GetMode(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Modes, SetModeTest,
                         ::testing::Values(ModeCase{0, 99, 99}, ModeCase{99, 99, 0}, ModeCase{99, 90, 90},
                                           ModeCase{90, 99, 99}, ModeCase{13, 99, 99}, ModeCase{99, 13, 13},
                                           ModeCase{90, 90, 90}, ModeCase{0, 0, 0}, ModeCase{99, 0, 0},
                                           ModeCase{0, -7, -7}, ModeCase{99, 12345, 12345}));

TEST(ViewState, StartsBlankAndResetsToTheDefaultToggles)
{
    CViewState view;
    for (bool t : view.toggles) EXPECT_FALSE(t);
    EXPECT_EQ(view.GetMode(), 0);
    EXPECT_EQ(view.width, 0);
    EXPECT_EQ(view.left, 0.0);

    view.toggles[CViewState::kAutoSpin] = true;
    view.toggles[CViewState::kMarker] = true;
    view.toggles[CViewState::kFaces] = false;
    view.ResetToggles();
    const bool expected[9] = {false, true, false, false, true, false, true, true, false};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(view.toggles[i], expected[i]) << "toggle " << i;
}

TEST(ViewState, ShowMarkerOnlyLeavesTheOtherTogglesAlone)
{
    CViewState view;
    for (bool& t : view.toggles) t = true;
    view.toggles[CViewState::kMarker] = false;
    view.ShowMarkerOnly();
    const bool expected[9] = {true, false, false, true, false, true, true, false, true};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(view.toggles[i], expected[i]) << "toggle " << i;
}

TEST(ViewState, PixelCornersMapToTheProjectionBounds)
{
    CViewState view;
    view.SetProjection(900, 700, -2.3, 2.3, -1.7, 1.9);
    EXPECT_EQ(view.width, 900);
    EXPECT_EQ(view.height, 700);
    const CVector3d lowerLeft = view.PixelToViewPlane(0, 700);
    EXPECT_DOUBLE_EQ(lowerLeft.x(), -2.3);
    EXPECT_DOUBLE_EQ(lowerLeft.y(), -1.7);
    EXPECT_EQ(lowerLeft.z(), 0.0);
    const CVector3d upperRight = view.PixelToViewPlane(900, 0);
    EXPECT_DOUBLE_EQ(upperRight.x(), 2.3);
    EXPECT_DOUBLE_EQ(upperRight.y(), 1.9);
    const CVector3d middle = view.PixelToViewPlane(450, 350);
    EXPECT_NEAR(middle.x(), 0.0, 1e-12);
    EXPECT_NEAR(middle.y(), 0.1, 1e-12);
}

// A small mesh whose edges are set by hand; positions are the only geometry
// that PickEdge reads.
class PickEdgeTest : public ::testing::Test {
protected:
    PickEdgeTest() : mesh(16, 16, 4) {}

    int AddVertex(double x, double y, double z)
    {
        mesh.vertices[mesh.nVertices].Set(x, y, z, 0);
        return mesh.nVertices++;
    }
    int AddSegment(CVector3d p, CVector3d q)
    {
        const int a = AddVertex(p.x(), p.y(), p.z());
        const int b = AddVertex(q.x(), q.y(), q.z());
        mesh.edges[mesh.nEdges].Set(a, b, 2, -1, -1);
        return mesh.nEdges++;
    }

    CMesh mesh;
    const CVector3d down{0, 0, 1};
};

TEST_F(PickEdgeTest, EmptyMeshPicksNothing)
{
    double distance = -1;
    EXPECT_EQ(mesh.PickEdge(CVector3d(0, 0, 0), down, &distance), -1);
    EXPECT_EQ(distance, -1);
}

TEST_F(PickEdgeTest, NearestEdgeWinsAndTiesKeepTheLowerIndex)
{
    AddSegment(CVector3d(-1, 0.3, 0), CVector3d(1, 0.3, 0));
    const int nearer = AddSegment(CVector3d(-1, -0.2, 5), CVector3d(1, -0.2, 5));
    AddSegment(CVector3d(-1, 0.2, -3), CVector3d(1, 0.2, -3));  // as near, later
    EXPECT_EQ(mesh.PickEdge(CVector3d(0, 0, 0), down), nearer);
    double distance = -1;
    EXPECT_EQ(mesh.PickEdge(CVector3d(0, 0, 0), down, &distance), nearer);
    EXPECT_NEAR(distance, 0.2, 1e-12);
}

struct MissCase {
    const char* name;
    CVector3d p, q;
};

class PickEdgeMissTest : public PickEdgeTest, public ::testing::WithParamInterface<MissCase> {};

TEST_P(PickEdgeMissTest, NeverPicked)
{
    AddSegment(GetParam().p, GetParam().q);
    EXPECT_EQ(mesh.PickEdge(CVector3d(0, 0, 0), down), -1) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Misses, PickEdgeMissTest,
    ::testing::Values(MissCase{"closest point at the start", CVector3d(0, 0.5, 0), CVector3d(1, 0.5, 0)},
                      MissCase{"closest point at the end", CVector3d(-1, 0.5, 0), CVector3d(0, 0.5, 0)},
                      MissCase{"closest point beyond the end", CVector3d(1, 0, 0), CVector3d(2, 0, 0)},
                      MissCase{"zero length", CVector3d(0, 0, 0), CVector3d(0, 0, 0)},
                      MissCase{"parallel to the line", CVector3d(0.1, 0, -1), CVector3d(0.1, 0, 1)},
                      MissCase{"almost parallel", CVector3d(0.1, 0, -1), CVector3d(0.1 + 1e-9, 0, 1)},
                      MissCase{"farther than 1e10", CVector3d(-1, 2e10, 0), CVector3d(1, 2e10, 0)}),
    [](const ::testing::TestParamInfo<MissCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(PickEdgeTest, MissesDoNotHideAValidEdge)
{
    AddSegment(CVector3d(0, 0, 0), CVector3d(0, 0, 0));
    AddSegment(CVector3d(0.0, 0.0, -1), CVector3d(0.0, 0.0, 1));
    const int valid = AddSegment(CVector3d(-1, 0.4, 0), CVector3d(1, 0.4, 0));
    EXPECT_EQ(mesh.PickEdge(CVector3d(0, 0, 0), down), valid);
}

TEST_F(PickEdgeTest, NonFiniteRayPicksNothing)
{
    AddSegment(CVector3d(-1, 0, 0), CVector3d(1, 0, 0));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(mesh.PickEdge(CVector3d(nan, 0, 0), down), -1);
    EXPECT_EQ(mesh.PickEdge(CVector3d(0, 0, 0), CVector3d(0, 0, 0)), -1);
}

// The display's transform written out independently: glRotate(rotX, x axis)
// then glRotate(rotZ, z axis), so eye = Rx(rotX) * Rz(rotZ) * model.
CVector3d ModelToEye(CVector3d p, double rotXDeg, double rotZDeg)
{
    const double ax = rotXDeg * 3.14159265358979 / 180, az = rotZDeg * 3.14159265358979 / 180;
    const double x1 = std::cos(az) * p.x() - std::sin(az) * p.y();
    const double y1 = std::sin(az) * p.x() + std::cos(az) * p.y();
    const double z1 = p.z();
    return CVector3d(x1, std::cos(ax) * y1 - std::sin(ax) * z1, std::sin(ax) * y1 + std::cos(ax) * z1);
}

struct ViewAngles {
    float rotX, rotZ;
};

class ViewRayTest : public ::testing::TestWithParam<ViewAngles> {
protected:
    void SetUp() override
    {
        // The start-up window: 900 by 700 at zoom 2.5.
        const float k = 2.5f * 0.70710677f;
        const float a = k * (900.0f / 700.0f);
        view.SetProjection(900, 700, -a, a, -k, k);
    }
    CViewState view;
};

TEST_P(ViewRayTest, RayIsTheInverseTurnedEyeRay)
{
    const ViewAngles angles = GetParam();
    CVector3d origin, direction;
    PickRayAtPixel(view, angles.rotX, angles.rotZ, 123, 456, origin, direction);
    const CVector3d plane = view.PixelToViewPlane(123, 456);
    const CVector3d eyeOrigin = ModelToEye(origin, angles.rotX, angles.rotZ);
    const CVector3d eyeDirection = ModelToEye(direction, angles.rotX, angles.rotZ);
    EXPECT_NEAR(eyeOrigin.x(), plane.x(), 1e-12);
    EXPECT_NEAR(eyeOrigin.y(), plane.y(), 1e-12);
    EXPECT_NEAR(eyeOrigin.z(), 0.0, 1e-12);
    EXPECT_NEAR(eyeDirection.x(), 0.0, 1e-12);
    EXPECT_NEAR(eyeDirection.y(), 0.0, 1e-12);
    EXPECT_NEAR(eyeDirection.z(), 1.0, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Views, ViewRayTest,
                         ::testing::Values(ViewAngles{-70.0f, -160.0f}, ViewAngles{-54.7356f, -135.0f},
                                           ViewAngles{30.0f, 20.0f}, ViewAngles{-90.0f, 90.0f},
                                           ViewAngles{0.0f, 0.0f}, ViewAngles{180.0f, -90.0f}));

// Views along a cube axis stack its edges, so the pick is checked in turned views only.
using PickRayTest = ViewRayTest;

// Cube edges seen in a turned view: each edge whose midpoint lies under a
// pixel clear of every other edge's image is the one picked there.
TEST_P(PickRayTest, PicksTheEdgeUnderItsProjectedMidpoint)
{
    const ViewAngles angles = GetParam();
    CMesh mesh(8, 12, 6);
    for (int i = 0; i < 8; ++i)
        mesh.vertices[i].Set(i & 1 ? 0.8 : -0.8, i & 2 ? 0.8 : -0.8, i & 4 ? 0.8 : -0.8, 0);
    mesh.nVertices = 8;
    for (int i = 0; i < 8; ++i)
        for (int bit = 1; bit < 8; bit <<= 1)
            if (!(i & bit)) mesh.edges[mesh.nEdges++].Set(i, i | bit, 2, -1, -1);
    ASSERT_EQ(mesh.nEdges, 12);

    // Distance in the view plane from q to the image of edge e, and whether
    // the foot of the perpendicular falls strictly inside that image.
    auto imageDistance = [&](int e, CVector3d q, bool& inside) {
        const CVector3d p1 = ModelToEye(mesh.VertexPosition(mesh.edges[e].v1), angles.rotX, angles.rotZ);
        const CVector3d p2 = ModelToEye(mesh.VertexPosition(mesh.edges[e].v2), angles.rotX, angles.rotZ);
        const double dx = p2.x() - p1.x(), dy = p2.y() - p1.y();
        const double s = ((q.x() - p1.x()) * dx + (q.y() - p1.y()) * dy) / (dx * dx + dy * dy);
        inside = s > 0 && s < 1;
        return std::hypot(p1.x() + s * dx - q.x(), p1.y() + s * dy - q.y());
    };

    int checked = 0;
    for (int e = 0; e < mesh.nEdges; ++e) {
        const CVector3d mid = 0.5 * (mesh.VertexPosition(mesh.edges[e].v1) + mesh.VertexPosition(mesh.edges[e].v2));
        const CVector3d eye = ModelToEye(mid, angles.rotX, angles.rotZ);
        const int px = static_cast<int>(std::lround((eye.x() - view.left) * view.width / (view.right - view.left)));
        const int py = static_cast<int>(
            std::lround(view.height - (eye.y() - view.bottom) * view.height / (view.top - view.bottom)));
        const CVector3d q = view.PixelToViewPlane(px, py);
        bool clear = true;
        for (int other = 0; other < mesh.nEdges; ++other) {
            bool inside = false;
            if (other != e && imageDistance(other, q, inside) < 0.05 && inside) clear = false;
        }
        if (!clear) continue;
        ++checked;
        EXPECT_EQ(PickEdgeAtPixel(mesh, view, angles.rotX, angles.rotZ, px, py), e) << "edge " << e;
    }
    EXPECT_GE(checked, 6);
}

INSTANTIATE_TEST_SUITE_P(TurnedViews, PickRayTest,
                         ::testing::Values(ViewAngles{-70.0f, -160.0f}, ViewAngles{-54.7356f, -135.0f},
                                           ViewAngles{30.0f, 20.0f}, ViewAngles{-110.0f, 75.0f},
                                           ViewAngles{160.0f, -33.0f}));

// One edge from (-1, y, 0) to (1, y, 0).
void SetOneEdge(CMesh& mesh, double y)
{
    mesh.vertices[0].Set(-1, y, 0, 0);
    mesh.vertices[1].Set(1, y, 0, 0);
    mesh.nVertices = 2;
    mesh.edges[0].Set(0, 1, 2, -1, -1);
    mesh.nEdges = 1;
}

TEST(PickEdgeAtPixel, NothingBeforeTheWindowHasASize)
{
    CMesh mesh(4, 4, 1);
    SetOneEdge(mesh, 0);
    CViewState view;
    EXPECT_EQ(PickEdgeAtPixel(mesh, view, 0.0f, 0.0f, 0, 0), -1);
}

// An edge along x seen from above at the start zoom and at 2.59 times the
// size (10 presses of +): a click names it only within the pick radius of
// its image, counted in pixels whatever the zoom.
TEST(PickEdgeAtPixel, OnlyWithinThePickRadiusOfThePointer)
{
    CMesh mesh(4, 4, 1);
    SetOneEdge(mesh, 0.01);
    for (const float zoom : {2.5f, ZoomAtStep(2.5f, -10)}) {
        const CViewBox b = ComputeViewBox(900, 700, zoom, ERatioOrder::kQuotientFirst);
        CViewState view;
        view.SetProjection(b.width, b.height, b.left, b.right, b.bottom, b.top);
        const double unitsPerPixel = (b.top - b.bottom) / 700;
        // Window row of the edge's image, between pixel rows.
        const double row = 700 - (0.01 - b.bottom) / unitsPerPixel;
        for (int py = 0; py <= 700; py += 1) {
            const double pixels = std::fabs(py - row);
            if (std::fabs(pixels - kPickRadiusPixels) < 0.01) continue;
            const int expected = pixels < kPickRadiusPixels ? 0 : -1;
            ASSERT_EQ(PickEdgeAtPixel(mesh, view, 0.0f, 0.0f, 450, py), expected) << zoom << " row " << py;
        }
    }
}

} // namespace

// Each object at its Archimedean solid, moved anywhere, keeps its whole depth
// at every zoom step.
TEST(DepthPlanes, EachObjectKeepsItsWholeDepthAtEveryZoomStepWhereverItLies)
{
    for (int type = 1; type <= 5; ++type) {
        auto mesh = std::make_unique<CMesh>();
        std::ostringstream console;
        mesh->SelectVornObject(type, true, console);
        SCOPED_TRACE(type);
        depthsweep::ExpectWholeDepthWhereverItLies(*mesh, ERatioOrder::kQuotientFirst);
    }
}
