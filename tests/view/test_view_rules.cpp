// The view box and zoom steps that both viewers share.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mesh/MeshConfigs.h"
#include "view/ViewRules.h"

namespace {

constexpr ERatioOrder kOrders[] = {ERatioOrder::kQuotientFirst, ERatioOrder::kProductFirst};

// The box of a 900 by 700 window at the start zoom, as both viewers have
// always shown it, and the window shapes around it.
TEST(ViewBox, FollowsTheWindowShape)
{
    const double k = static_cast<double>(2.5f * 0.70710677f);
    struct {
        int w, h;
        double left, right, bottom, top;
    } const cases[] = {
        {900, 700, -2.272843, 2.272843, -1.767767, 1.767767},
        {500, 500, -k, k, -k, k},
        {400, 800, -k, k, -2 * k, 2 * k},
        {800, 400, -2 * k, 2 * k, -k, k},
    };
    for (const auto& c : cases) {
        for (const ERatioOrder order : kOrders) {
            const CViewBox b = ComputeViewBox(c.w, c.h, 2.5f, 0.0, order);
            EXPECT_NEAR(c.left, b.left, 5e-7) << c.w << "x" << c.h;
            EXPECT_NEAR(c.right, b.right, 5e-7);
            EXPECT_NEAR(c.bottom, b.bottom, 5e-7);
            EXPECT_NEAR(c.top, b.top, 5e-7);
            EXPECT_NEAR(-8.838835, b.nearPlane, 5e-7);
            EXPECT_NEAR(8.838835, b.farPlane, 5e-7);
        }
    }
}

// The two viewers scale by the window ratio in their own single-precision
// order, which rounds apart at some zoom steps; each keeps its own.
TEST(ViewBox, EachViewerKeepsItsOrderOfTheRatio)
{
    int apart = 0;
    for (int step = -kMaxZoomInSteps; step <= kMaxZoomOutSteps; ++step) {
        const float k = ZoomAtStep(kStartZoom, step) * 0.70710677f;
        const float quotientFirst = k * (900.0f / 700.0f);
        const float productFirst = k * 900.0f / 700.0f;
        const float zoom = ZoomAtStep(kStartZoom, step);
        ASSERT_EQ(quotientFirst, ComputeViewBox(900, 700, zoom, 0, ERatioOrder::kQuotientFirst).right);
        ASSERT_EQ(productFirst, ComputeViewBox(900, 700, zoom, 0, ERatioOrder::kProductFirst).right);
        ASSERT_EQ(productFirst, ComputeViewBox(700, 900, zoom, 0, ERatioOrder::kProductFirst).top);
        apart += quotientFirst != productFirst;
    }
    EXPECT_GT(apart, 0);
}

// x and y are the zoom's alone: the scene only ever widens the depth range,
// and only where it reaches beyond 5 k.
TEST(ViewBox, DepthHoldsTheSceneAtEveryZoomStep)
{
    for (const double radius : {0.0, 1.3, 8.8, 14.2, 20.0, 1e6}) {
        for (int step = -kMaxZoomInSteps; step <= kMaxZoomOutSteps; ++step) {
            const float zoom = ZoomAtStep(kStartZoom, step);
            const CViewBox plain = ComputeViewBox(900, 700, zoom, 0.0, ERatioOrder::kProductFirst);
            const CViewBox b = ComputeViewBox(900, 700, zoom, radius, ERatioOrder::kProductFirst);
            ASSERT_EQ(plain.left, b.left);
            ASSERT_EQ(plain.right, b.right);
            ASSERT_EQ(plain.bottom, b.bottom);
            ASSERT_EQ(plain.top, b.top);
            const double fiveK = static_cast<double>(5 * (zoom * 0.70710677f));
            ASSERT_EQ(std::max(fiveK, radius), b.farPlane) << radius << " at step " << step;
            ASSERT_EQ(-b.farPlane, b.nearPlane);
        }
    }
}

TEST(ViewBox, EmptyWindowsAndBadRadiiGiveFiniteBounds)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& size : {std::pair<int, int>{0, 0}, {0, 700}, {900, 0}, {-3, 5}}) {
        for (const double radius : {0.0, nan, inf, -inf}) {
            const CViewBox b = ComputeViewBox(size.first, size.second, 2.5f, radius, ERatioOrder::kQuotientFirst);
            EXPECT_GE(b.width, 1);
            EXPECT_GE(b.height, 1);
            for (double v : {b.left, b.right, b.bottom, b.top, b.nearPlane, b.farPlane}) EXPECT_TRUE(std::isfinite(v));
            EXPECT_LT(b.left, b.right);
            EXPECT_LT(b.bottom, b.top);
            EXPECT_LT(b.nearPlane, b.farPlane);
        }
    }
}

// `+` and `-` stop only at their step bounds, whatever is shown, and undo
// each other exactly everywhere in between.
TEST(ZoomKeys, StepBoundsAndExactInverses)
{
    int steps = 0;
    float zoom = kStartZoom;
    // From the start, each press gives what stepping the float once more gives.
    float stepped = kStartZoom;
    for (int n = 0; n < kMaxZoomInSteps; ++n) {
        stepped = static_cast<float>(static_cast<double>(stepped) / 1.1);
        ASSERT_EQ(stepped, ZoomKey('+', steps, kStartZoom)) << n;
    }
    for (int i = 0; i < 1000; ++i) zoom = ZoomKey('+', steps, kStartZoom);
    EXPECT_EQ(-kMaxZoomInSteps, steps);
    EXPECT_EQ(ZoomAtStep(kStartZoom, -kMaxZoomInSteps), zoom);
    EXPECT_GT(zoom, 0.0f);
    for (int i = 0; i < 1000; ++i) zoom = ZoomKey('-', steps, kStartZoom);
    EXPECT_EQ(kMaxZoomOutSteps, steps);
    EXPECT_TRUE(std::isfinite(zoom));
    for (int n = 0; n < kMaxZoomInSteps + kMaxZoomOutSteps; ++n) {
        zoom = ZoomKey('+', steps, kStartZoom);
        ASSERT_EQ(zoom, (ZoomKey('-', steps, kStartZoom), ZoomKey('+', steps, kStartZoom))) << n;
    }
    EXPECT_EQ(ZoomAtStep(kStartZoom, -kMaxZoomInSteps), zoom);
    EXPECT_EQ(zoom, ZoomKey('x', steps, kStartZoom));
}

// A small store holding these points, centroid computed.
struct CPoints : CPolyMeshStore {
    CPoints(std::initializer_list<CVector3d> points) : CPolyMeshStore(8, 8, 8)
    {
        for (const CVector3d& p : points) vertices[nVertices++].Set(p.x(), p.y(), p.z(), 1);
        computeCentroid();
    }
};

TEST(SceneRadius, HoldsVerticesCentresAndAxesWithTheirReach)
{
    const CSceneReach reach{0.1, 1.0, 1.55};
    const auto radius = [&](const CPolyMeshStore& mesh) { return (SceneRadius(mesh, reach) - kDepthMargin) / (1 + 1e-6); };
    EXPECT_DOUBLE_EQ(1.55, radius(CPoints({{0.1, 0, 0}})));
    EXPECT_DOUBLE_EQ(10.1, radius(CPoints({{6, 8, 0}, {-1, 0, 0}})));
    EXPECT_DOUBLE_EQ(20.1, radius(CPoints({{10, 10, 10}, {-10, -10, -10}, {0, 0, -20}})));
    // A face centre carries the normal beyond it.
    CPoints mesh({{3, 0, 0}});
    mesh.nFaces = 1;
    mesh.faces[0].SetCentre(CVector3d(0, 0, 4));
    EXPECT_DOUBLE_EQ(5.0, radius(mesh));
    // The centroid (the hub of the twist markers) counts as a point.
    mesh.centroid = CVector3d(0, -7, 0);
    EXPECT_DOUBLE_EQ(7.1, radius(mesh));
}

TEST(SceneRadius, PointsThatAreNotDrawnDoNotCount)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    CPoints mesh({{1, 0, 0}, {nan, 0, 0}, {0, inf, 0}});
    mesh.centroid = CVector3d();
    const CSceneReach reach{0.1, 1.0, 0.5};
    EXPECT_DOUBLE_EQ(1.1, (SceneRadius(mesh, reach) - kDepthMargin) / (1 + 1e-6));
    // Counts beyond the capacity read nothing outside the records.
    mesh.nVertices = 1000;
    mesh.nFaces = 1000;
    EXPECT_TRUE(std::isfinite(SceneRadius(mesh, reach)));
}

// The largest coordinate a file may hold still gives a finite range.
TEST(SceneRadius, FarPointsWidenTheRangeAndStayFinite)
{
    const CPoints mesh({{1e75, 0, 0}, {0, -1e75, 1e75}});
    const double r = SceneRadius(mesh, CSceneReach{0.1, 1.0, 1.5});
    EXPECT_TRUE(std::isfinite(r));
    EXPECT_GE(r, std::sqrt(2.0) * 1e75);
    const CViewBox b = ComputeViewBox(900, 700, kStartZoom, r, ERatioOrder::kQuotientFirst);
    EXPECT_EQ(r, b.farPlane);
}

} // namespace
