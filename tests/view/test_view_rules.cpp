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
            const CViewBox b = ComputeViewBox(c.w, c.h, 2.5f, order);
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
        ASSERT_EQ(quotientFirst, ComputeViewBox(900, 700, zoom, ERatioOrder::kQuotientFirst).right);
        ASSERT_EQ(productFirst, ComputeViewBox(900, 700, zoom, ERatioOrder::kProductFirst).right);
        ASSERT_EQ(productFirst, ComputeViewBox(700, 900, zoom, ERatioOrder::kProductFirst).top);
        apart += quotientFirst != productFirst;
    }
    EXPECT_GT(apart, 0);
}

// The planes at 5 k as each viewer has always rounded them in single
// precision: 5 * (zoom * 0.70710677) in the polyhedron viewer, (zoom * 5) *
// 0.70710677 in the design viewer. They round apart at some zoom steps.
TEST(ViewBox, EachViewerKeepsItsRoundingOfTheDepthPlanes)
{
    int apart = 0;
    for (int step = -kMaxZoomInSteps; step <= kMaxZoomOutSteps; ++step) {
        const float zoom = ZoomAtStep(kStartZoom, step);
        const float polyhedron = 5 * (zoom * 0.70710677f);
        const float design = (zoom * 5.0f) * 0.70710677f;
        for (const auto& size : {std::pair<int, int>{900, 700}, {700, 900}}) {
            const CViewBox q = ComputeViewBox(size.first, size.second, zoom, ERatioOrder::kQuotientFirst);
            ASSERT_EQ(polyhedron, q.farPlane) << "step " << step;
            ASSERT_EQ(-polyhedron, q.nearPlane) << "step " << step;
            const CViewBox p = ComputeViewBox(size.first, size.second, zoom, ERatioOrder::kProductFirst);
            ASSERT_EQ(design, p.farPlane) << "step " << step;
            ASSERT_EQ((zoom * -5.0f) * 0.70710677f, p.nearPlane) << "step " << step;
        }
        apart += polyhedron != design;
    }
    EXPECT_EQ(45, apart);
}

// x and y are the zoom's alone: the scene only ever moves the depth planes
// out, and only where it reaches beyond 5 k.
TEST(ViewBox, WideningMovesOnlyTheDepthPlanesOut)
{
    for (const double depth : {0.0, 1.3, 8.8, 14.2, 20.0, 1e6}) {
        for (int step = -kMaxZoomInSteps; step <= kMaxZoomOutSteps; ++step) {
            for (const ERatioOrder order : kOrders) {
                const float zoom = ZoomAtStep(kStartZoom, step);
                const CViewBox plain = ComputeViewBox(900, 700, zoom, order);
                CViewBox b = plain;
                WidenDepth(b, depth);
                ASSERT_EQ(plain.left, b.left);
                ASSERT_EQ(plain.right, b.right);
                ASSERT_EQ(plain.bottom, b.bottom);
                ASSERT_EQ(plain.top, b.top);
                ASSERT_NEAR(5 * zoom * 0.70710677, plain.farPlane, 1e-6 * plain.farPlane);
                ASSERT_EQ(std::max(plain.farPlane, depth), b.farPlane) << depth << " at step " << step;
                ASSERT_EQ(-b.farPlane, b.nearPlane);
            }
        }
    }
}

TEST(ViewBox, EmptyWindowsAndBadDepthsGiveFiniteBounds)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& size : {std::pair<int, int>{0, 0}, {0, 700}, {900, 0}, {-3, 5}}) {
        for (const double depth : {0.0, nan, inf, -inf}) {
            CViewBox b = ComputeViewBox(size.first, size.second, 2.5f, ERatioOrder::kQuotientFirst);
            WidenDepth(b, depth);
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

} // namespace
