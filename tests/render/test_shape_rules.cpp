#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/ShapeRules.h"

namespace {

struct ArrowRow {
    const char* name;
    CArrowShape shape;
    double shaftRadius, shaftLength, coneRadius, coneHeight, tip;
};

TEST(ShapeRules, ArrowParts)
{
    const ArrowRow rows[] = {
        {"unit arrow", ArrowToPointShape(1.0, 0.01), 0.02, 0.9, 0.05, 0.1, 1.0},
        {"arrow as long as its head", ArrowToPointShape(0.1, 0.01), 0.02, 0.0, 0.05, 0.1, 0.1},
        // Shorter than its head: no shaft, and the tip still ends at the point.
        {"short arrow", ArrowToPointShape(0.04, 0.01), 0.02, 0.0, 0.05, 0.1, 0.04},
        {"normal arrow", VectorArrowShape(0.3, 0.003), 0.006, 0.3, 0.015, 0.03, 0.33},
    };
    for (const ArrowRow& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_DOUBLE_EQ(r.shape.shaftRadius, r.shaftRadius);
        EXPECT_NEAR(r.shape.shaftLength, r.shaftLength, 1e-15);
        EXPECT_GE(r.shape.shaftLength, 0.0);
        EXPECT_DOUBLE_EQ(r.shape.coneRadius, r.coneRadius);
        EXPECT_DOUBLE_EQ(r.shape.coneHeight, r.coneHeight);
        EXPECT_NEAR(r.shape.coneStart + r.shape.coneHeight, r.tip, 1e-15);
    }
}

struct SplitRow {
    const char* name;
    double d13, d24;
    bool alongV1V3, crease;
};

TEST(ShapeRules, QuadSplitTakesTheShorterDiagonal)
{
    const SplitRow rows[] = {
        {"equal diagonals", 1.0, 1.0, false, false},
        {"v1-v3 shorter", 1.0, 1.5, true, true},
        {"v2-v4 shorter", 1.5, 1.0, false, true},
        {"difference exactly 0.01, v1-v3 shorter", 0.01, 0.02, true, false},
        {"difference exactly 0.01, v2-v4 shorter", 0.02, 0.01, false, false},
        {"difference just above 0.01", 1.0, 1.0101, true, true},
        {"difference just below 0.01", 1.0, 1.0099, true, false},
    };
    for (const SplitRow& r : rows) {
        SCOPED_TRACE(r.name);
        const CQuadSplit s = ChooseQuadSplit(r.d13, r.d24);
        EXPECT_EQ(s.alongV1V3, r.alongV1V3);
        EXPECT_EQ(s.creaseTube, r.crease);
        // Both triangles hold the chosen diagonal, and together all four corners.
        bool seen[4] = {};
        for (const int* t : s.triangles) {
            int onDiagonal = 0;
            for (int k = 0; k < 3; ++k) {
                seen[t[k]] = true;
                onDiagonal += (t[k] == s.diagonal[0] || t[k] == s.diagonal[1]);
            }
            EXPECT_EQ(onDiagonal, 2);
        }
        for (bool b : seen) EXPECT_TRUE(b);
        EXPECT_EQ(s.diagonal[1] - s.diagonal[0], 2);
    }
    EXPECT_EQ(0.02 - 0.01, 0.01);  // the exact-tie rows above rely on it
}

double Area(const CVector3d& a, const CVector3d& b, const CVector3d& c) { return 0.5 * length(cross(b - a, c - a)); }

TEST(ShapeRules, QuadSplitFromCornersCoversTheQuad)
{
    struct Quad {
        const char* name;
        CVector3d v[4];
        bool alongV1V3;
        double area;
    };
    const Quad quads[] = {
        {"unit square", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, false, 1.0},
        {"kite, short v1-v3", {{0, 0, 0}, {1, -2, 0}, {2, 0, 0}, {1, 2, 0}}, true, 4.0},
        {"kite, short v2-v4", {{-2, 0, 1}, {0, -1, 1}, {2, 0, 1}, {0, 1, 1}}, false, 4.0},
    };
    for (const Quad& q : quads) {
        SCOPED_TRACE(q.name);
        const CQuadSplit s = ChooseQuadSplit(q.v[0], q.v[1], q.v[2], q.v[3]);
        EXPECT_EQ(s.alongV1V3, q.alongV1V3);
        double area = 0;
        for (const int* t : s.triangles) {
            area += Area(q.v[t[0]], q.v[t[1]], q.v[t[2]]);
            // Corner order keeps the quad's orientation.
            const CVector3d n = SafeUnitNormal(q.v[t[0]], q.v[t[1]], q.v[t[2]]);
            EXPECT_NEAR(n.z(), 1.0, 1e-12);
        }
        EXPECT_NEAR(area, q.area, 1e-12);
    }
}

TEST(ShapeRules, SafeUnitNormal)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        const char* name;
        CVector3d a, b, c, expected;
    };
    const Row rows[] = {
        {"counter-clockwise in xy", {0, 0, 0}, {2, 0, 0}, {0, 3, 0}, {0, 0, 1}},
        {"clockwise in yz", {0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {-1, 0, 0}},
        {"collinear", {0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {0, 0, 0}},
        {"repeated corner", {1, 2, 3}, {1, 2, 3}, {0, 1, 0}, {0, 0, 0}},
        {"not a number", {0, 0, 0}, {nan, 0, 0}, {0, 1, 0}, {0, 0, 0}},
        {"overflowing", {0, 0, 0}, {1e200, 0, 0}, {0, 1e200, 0}, {0, 0, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const CVector3d n = SafeUnitNormal(r.a, r.b, r.c);
        EXPECT_NEAR(n.x(), r.expected.x(), 1e-15);
        EXPECT_NEAR(n.y(), r.expected.y(), 1e-15);
        EXPECT_NEAR(n.z(), r.expected.z(), 1e-15);
    }
}

}  // namespace
