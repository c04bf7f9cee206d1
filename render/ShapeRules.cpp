#include "render/ShapeRules.h"

#include <algorithm>

#include "render/FrameMatrix.h"

namespace {

constexpr double kHeadLengthFactor = 5.0;
constexpr double kHeadRadiusFactor = 2.5;
constexpr double kArrowRadiusFactor = 2.0;
constexpr double kCreaseThreshold = 0.01;

CArrowShape ArrowParts(double r)
{
    const double rr = kArrowRadiusFactor * r;
    return CArrowShape{rr, 0.0, 0.0, kHeadRadiusFactor * rr, kHeadLengthFactor * rr};
}

}  // namespace

CArrowShape ArrowToPointShape(double length, double r)
{
    CArrowShape s = ArrowParts(r);
    s.coneStart = length - s.coneHeight;
    s.shaftLength = s.coneStart > 0 ? s.coneStart : 0.0;
    return s;
}

CArrowShape VectorArrowShape(double length, double r)
{
    CArrowShape s = ArrowParts(r);
    s.shaftLength = length;
    s.coneStart = length;
    return s;
}

CArrowShape AxisShape(double length, double r)
{
    return CArrowShape{r, length, length, 2.5 * r, 5.0 * r};
}

double ShapeReach(const CArrowShape& s)
{
    const double along = std::max(s.shaftLength, s.coneStart + s.coneHeight);
    return along + std::max(s.shaftRadius, s.coneRadius);
}

CQuadSplit ChooseQuadSplit(double d13, double d24)
{
    CQuadSplit s;
    s.alongV1V3 = d24 > d13;
    const double diff = d13 > d24 ? d13 - d24 : d24 - d13;
    s.creaseTube = diff > kCreaseThreshold;
    // Corners of the two triangles and of the diagonal, for each split.
    static const int kTriangles[2][2][3] = {{{0, 1, 3}, {1, 2, 3}}, {{0, 1, 2}, {0, 2, 3}}};
    static const int kDiagonal[2][2] = {{1, 3}, {0, 2}};
    const int k = s.alongV1V3 ? 1 : 0;
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 3; ++j) s.triangles[i][j] = kTriangles[k][i][j];
        s.diagonal[i] = kDiagonal[k][i];
    }
    return s;
}

CQuadSplit ChooseQuadSplit(const CVector3d& v1, const CVector3d& v2, const CVector3d& v3, const CVector3d& v4)
{
    return ChooseQuadSplit(length(v3 - v1), length(v4 - v2));
}

CVector3d SafeUnitNormal(const CVector3d& a, const CVector3d& b, const CVector3d& c)
{
    CVector3d n;
    n.unitNormal(a, b, c);
    if (!IsFinite(n)) return CVector3d();
    return n;
}
