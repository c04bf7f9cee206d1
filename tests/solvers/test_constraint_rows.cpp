#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "mesh/MeshConfigs.h"
#include "mesh/MeshRecords.h"
#include "solvers/ConstraintRows.h"

// The builders must compile against the real store as well.
template void ComputeTagEdgeLengths<CPolyMeshStore>(const CPolyMeshStore&, std::ostream&);
template double EdgeLengthRow<CPolyMeshStore>(const CPolyMeshStore&, int, int, double, double (*)[250], double*, int,
                                              std::ostream&);
template void PentagonRows<CPolyMeshStore>(const CPolyMeshStore&, int, int, int, int, int, double (*)[250], double*,
                                           int, std::ostream&);

namespace {

struct CFakeMesh {
    std::vector<CVector3d> points = std::vector<CVector3d>(83);
    std::vector<CVector3d> centres;
    std::vector<CEdge> special;
    CVector3d centroid;
    int twistCalls = 0;
    CVector3d twistA, twistB, twistC;
    double twistEdgeLength = 0;

    CVector3d VertexPosition(int i) const { return points.at(i); }
    CVector3d FaceCentre(int i) const { return centres.at(i); }
    CVector3d Centroid() const { return centroid; }
    int NSpecialEdges() const { return static_cast<int>(special.size()); }
    const CEdge* SpecialEdge(int i) const { return &special.at(i); }
    void SetTwistData(CVector3d a, CVector3d b, CVector3d c, double edgeLength)
    {
        ++twistCalls;
        twistA = a;
        twistB = b;
        twistC = c;
        twistEdgeLength = edgeLength;
    }
};

double a[250][250];
double b[250];

const double kPhi = (std::sqrt(5.0) + 1) / 2;

void ClearSystem()
{
    std::memset(a, 0, sizeof a);
    for (double& v : b) v = 0.0;
}

// A rotation about an oblique axis and a shift: the rows must not care where the shape sits.
CVector3d Place(const CVector3d& p)
{
    CVector3d axis(1, 2, 2);
    axis.normalize();
    const double t = 0.7;
    const CVector3d turned =
        p * std::cos(t) + cross(axis, p) * std::sin(t) + axis * (dot(axis, p) * (1 - std::cos(t)));
    return turned + CVector3d(3.5, -1.25, 8.0);
}

enum class Shape { Triangle, Square, Pentagon };

struct ShapeCase {
    const char* name;
    Shape shape;
    double side;
    double ratio;  // triangle only
    std::vector<int> vertex;
    int row;
};

// Corners of the shape in order, in the x-y plane with the given side.
std::vector<CVector3d> Corners(const ShapeCase& c)
{
    std::vector<CVector3d> p;
    const double L = c.side;
    switch (c.shape) {
    case Shape::Triangle: {
        // Two sides L meeting at the middle corner, the third ratio * L.
        const double cosAngle = 1 - c.ratio * c.ratio / 2;
        p = {CVector3d(L, 0, 0), CVector3d(0, 0, 0), CVector3d(L * cosAngle, L * std::sqrt(1 - cosAngle * cosAngle), 0)};
        break;
    }
    case Shape::Square:
        p = {CVector3d(0, 0, 0), CVector3d(L, 0, 0), CVector3d(L, L, 0), CVector3d(0, L, 0)};
        break;
    case Shape::Pentagon: {
        const double R = L / (2 * std::sin(kPi / 5));
        for (int k = 0; k < 5; ++k) p.push_back(R * CVector3d(std::cos(0.3 + 2 * kPi * k / 5), std::sin(0.3 + 2 * kPi * k / 5), 0));
        break;
    }
    }
    for (CVector3d& q : p) q = Place(q);
    return p;
}

int RowCount(Shape s) { return s == Shape::Triangle ? 3 : (s == Shape::Square ? 6 : 9); }

void Build(const CFakeMesh& mesh, const ShapeCase& c)
{
    const std::vector<int>& v = c.vertex;
    switch (c.shape) {
    case Shape::Triangle: TriangleRows(mesh, v[0], v[1], v[2], c.ratio, a, b, c.row, std::cout); break;
    case Shape::Square: SquareRows(mesh, v[0], v[1], v[2], v[3], a, b, c.row, std::cout); break;
    case Shape::Pentagon: PentagonRows(mesh, v[0], v[1], v[2], v[3], v[4], a, b, c.row, std::cout); break;
    }
}

class ShapeRows : public testing::TestWithParam<ShapeCase> {
protected:
    void SetUp() override
    {
        const ShapeCase& c = GetParam();
        tagEdgeLength[0] = c.side;
        const std::vector<CVector3d> p = Corners(c);
        for (size_t i = 0; i < p.size(); ++i) mesh.points[c.vertex[i]] = p[i];
        ClearSystem();
    }
    void TearDown() override { tagEdgeLength[0] = 0; }
    CFakeMesh mesh;
};

TEST_P(ShapeRows, ExactShapeHasZeroResidualAndWritesOnlyItsRows)
{
    const ShapeCase& c = GetParam();
    for (double& v : b) v = 99.0;
    Build(mesh, c);
    const int n = RowCount(c.shape);
    for (int r = 0; r < 250; ++r) {
        if (r >= c.row && r < c.row + n) {
            EXPECT_NEAR(b[r], 0.0, 1e-12) << "row " << r;
        } else {
            EXPECT_EQ(b[r], 99.0) << "row " << r;
            for (int k = 0; k < 250; ++k) ASSERT_EQ(a[r][k], 0.0) << r << "," << k;
        }
    }
    // Only the columns of the shape's own vertices carry coefficients.
    for (int r = c.row; r < c.row + n; ++r)
        for (int k = 0; k < 250; ++k) {
            bool own = false;
            for (int v : c.vertex) own = own || k / 3 == v;
            if (!own) {
                ASSERT_EQ(a[r][k], 0.0) << r << "," << k;
            }
        }
}

TEST_P(ShapeRows, PerturbedShapeResidualFollowsTheRows)
{
    // Length rows hold minus the gradient, linear rows plus it: a small move
    // delta changes the right-hand side by -+ a . delta to first order.
    const ShapeCase& c = GetParam();
    Build(mesh, c);
    const int n = RowCount(c.shape);
    std::vector<double> before(b + c.row, b + c.row + n);
    std::vector<std::vector<double>> rows;
    for (int r = c.row; r < c.row + n; ++r) rows.emplace_back(a[r], a[r] + 250);

    double delta[250] = {};
    for (size_t i = 0; i < c.vertex.size(); ++i) {
        // Not an affine function of i, so that no relation row sees a zero change.
        const double k = static_cast<double>(i);
        const CVector3d d = 1e-7 * CVector3d(1 + k * k, (i % 2) ? -2 : 1, 0.5 + k * k * k);
        mesh.points[c.vertex[i]] += d;
        for (int j = 0; j < 3; ++j) delta[3 * c.vertex[i] + j] = d[j];
    }
    ClearSystem();
    Build(mesh, c);
    for (int r = 0; r < n; ++r) {
        double change = 0;
        for (int k = 0; k < 250; ++k) change += rows[r][k] * delta[k];
        const bool lengthRow = r < 3;
        EXPECT_NEAR(b[c.row + r] - before[r], lengthRow ? -change : change, lengthRow ? 1e-11 : 1e-13) << "row " << r;
        EXPECT_GT(std::fabs(change), 1e-9) << "row " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ShapeRows,
    testing::Values(ShapeCase{"equilateral", Shape::Triangle, 1.0, 1.0, {0, 1, 2}, 0},
                    ShapeCase{"isoscelesHighVertex", Shape::Triangle, 2.5, 1.3, {82, 7, 30}, 247},
                    ShapeCase{"square", Shape::Square, 1.5, 0, {3, 9, 12, 40}, 10},
                    ShapeCase{"squareLastRows", Shape::Square, 0.75, 0, {82, 81, 0, 1}, 244},
                    ShapeCase{"pentagon", Shape::Pentagon, 1.0, 0, {0, 1, 2, 3, 4}, 0},
                    ShapeCase{"pentagonScattered", Shape::Pentagon, 2.0, 0, {50, 4, 82, 17, 33}, 241}),
    [](const testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.name); });

TEST(PentagonRowsResidual, MovingTheFourthOrFifthCornerShowsInItsOwnRows)
{
    CFakeMesh mesh;
    const ShapeCase c{"p", Shape::Pentagon, 1.0, 0, {0, 1, 2, 3, 4}, 0};
    const std::vector<CVector3d> p = Corners(c);
    for (int i = 0; i < 5; ++i) mesh.points[i] = p[i];
    tagEdgeLength[0] = 1.0;
    const CVector3d move(0.01, -0.02, 0.03);
    for (int corner = 3; corner < 5; ++corner) {
        SCOPED_TRACE(corner);
        mesh.points[corner] = p[corner] + move;
        ClearSystem();
        PentagonRows(mesh, 0, 1, 2, 3, 4, a, b, 0, std::cout);
        const int own = corner == 3 ? 3 : 6, other = corner == 3 ? 6 : 3;
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(b[own + k], -move[k], 1e-12);
            EXPECT_NEAR(b[other + k], 0.0, 1e-12);
            EXPECT_NEAR(b[k], 0.0, 1e-12);  // the triangle v1 v2 v3 is untouched
        }
        mesh.points[corner] = p[corner];
    }
    tagEdgeLength[0] = 0;
}

TEST(EdgeLengthRowTest, AtLengthIsZeroAndSymmetric)
{
    CFakeMesh mesh;
    mesh.points[4] = CVector3d(1, 2, 3);
    mesh.points[9] = CVector3d(1, 2, 5);
    ClearSystem();
    EXPECT_EQ(EdgeLengthRow(mesh, 4, 9, 2.0, a, b, 0, std::cout), 0.0);
    EXPECT_EQ(b[0], 0.0);
    EXPECT_DOUBLE_EQ(EdgeLengthRow(mesh, 9, 4, 1.0, a, b, 1, std::cout), 2.25);  // 0.5 * (4 - 1) = 1.5, squared
    EXPECT_EQ(b[1], 1.5);
    EXPECT_DOUBLE_EQ(EdgeLengthRow(mesh, 4, 9, 1.0, a, b, 2, std::cout), 2.25);
    for (int k = 0; k < 250; ++k) EXPECT_EQ(a[1][k], a[2][k]) << k;
    EXPECT_EQ(a[2][3 * 4 + 2], 2.0);
    EXPECT_EQ(a[2][3 * 9 + 2], -2.0);
}

TEST(TriangleRowsTest, WithoutTagLengthsTheSideLengthIsZero)
{
    CFakeMesh mesh;
    tagEdgeLength[0] = 0;
    mesh.points[0] = CVector3d(0, 0, 0);
    mesh.points[1] = CVector3d(3, 0, 0);
    mesh.points[2] = CVector3d(3, 4, 0);
    ClearSystem();
    TriangleRows(mesh, 0, 1, 2, 1.7, a, b, 5, std::cout);
    EXPECT_DOUBLE_EQ(b[5], 4.5);
    EXPECT_DOUBLE_EQ(b[6], 8.0);
    EXPECT_DOUBLE_EQ(b[7], 12.5);
}

struct GuardCase {
    const char* name;
    int kind;  // 0 edge, 1 triangle, 2 square, 3 pentagon
    int badVertex;
    int row;
};

TEST(RowGuards, OutsideTheSystemNothingIsWritten)
{
    const GuardCase cases[] = {
        {"edgeVertex83", 0, 83, 0},          {"edgeNegativeVertex", 0, -1, 0}, {"edgeRow250", 0, 1, 250},
        {"edgeNegativeRow", 0, 1, -1},       {"triangleRow248", 1, 1, 248},    {"triangleVertex83", 1, 83, 0},
        {"squareRow245", 2, 1, 245},         {"squareVertex100", 2, 100, 0},   {"pentagonRow242", 3, 1, 242},
        {"pentagonVertex83", 3, 83, 0},
    };
    CFakeMesh mesh;
    mesh.points.resize(200);
    for (int i = 0; i < 200; ++i) mesh.points[i] = CVector3d(i, i * i, 1);
    tagEdgeLength[0] = 1.0;
    for (const GuardCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(a, 0, sizeof a);
        for (double& v : b) v = 5.0;
        const int v = c.badVertex;
        testing::internal::CaptureStdout();
        double result = 0;
        switch (c.kind) {
        case 0: result = EdgeLengthRow(mesh, 2, v, 1.0, a, b, c.row, std::cout); break;
        case 1: TriangleRows(mesh, 2, 3, v, 1.0, a, b, c.row, std::cout); break;
        case 2: SquareRows(mesh, 2, 3, 4, v, a, b, c.row, std::cout); break;
        case 3: PentagonRows(mesh, 2, 3, 4, 5, v, a, b, c.row, std::cout); break;
        }
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        if (c.kind == 0) {
            EXPECT_TRUE(std::isnan(result));
        }
        for (int r = 0; r < 250; ++r) {
            ASSERT_EQ(b[r], 5.0) << r;
            for (int k = 0; k < 250; ++k) ASSERT_EQ(a[r][k], 0.0) << r << "," << k;
        }
    }
    tagEdgeLength[0] = 0;
}

TEST(TagEdgeLengths, MeansPerTagAndIllegalTags)
{
    CFakeMesh mesh;
    mesh.points[0] = CVector3d(0, 0, 0);
    mesh.points[1] = CVector3d(1, 0, 0);
    mesh.points[2] = CVector3d(0, 3, 0);
    mesh.points[3] = CVector3d(0, 3, 5);
    const int edges[][3] = {{0, 1, 1}, {0, 2, 1}, {1, 2, 4}, {2, 3, 3}};
    for (const auto& e : edges) {
        CEdge edge;
        edge.Set(e[0], e[1], e[2], -1, -1);
        mesh.special.push_back(edge);
    }
    testing::internal::CaptureStdout();
    ComputeTagEdgeLengths(mesh, std::cout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "0\n1\n2\nillegal tag!!\n3\n");
    EXPECT_DOUBLE_EQ(tagEdgeLength[0], 2.0);
    EXPECT_EQ(tagEdgeLength[1], 0.0);
    EXPECT_DOUBLE_EQ(tagEdgeLength[2], 5.0);

    testing::internal::CaptureStdout();
    PrintTagEdgeLengths(std::cout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "a = 2\nb = 0\nc = 5\n");

    mesh.special.clear();
    testing::internal::CaptureStdout();
    ComputeTagEdgeLengths(mesh, std::cout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    for (double L : tagEdgeLength) EXPECT_EQ(L, 0.0);
}

TEST(Printers, SystemAndMatrixLayout)
{
    ClearSystem();
    a[0][0] = 1;
    a[0][1] = 2.5;
    a[1][0] = -3;
    a[1][1] = 4;
    a[0][2] = 7;
    b[0] = 5;
    b[1] = 6;
    testing::internal::CaptureStdout();
    PrintSystem(a, b, 2, std::cout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1  2.5   | 5\n-3  4   | 6\n");
    testing::internal::CaptureStdout();
    PrintMatrix(a, 2, 3, std::cout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1  2.5  7  \n-3  4  0  \n");
    testing::internal::CaptureStdout();
    PrintMatrix(a, 251, 2, std::cout);
    PrintSystem(a, b, 300, std::cout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
}

class TwistFromFacesTest : public testing::Test {
protected:
    void SetUp() override
    {
        mesh.centroid = CVector3d(0, 0, 0);
        mesh.centres = {CVector3d(0, 0, 1), CVector3d(0, 0, -2)};
        mesh.points[0] = CVector3d(1, 0, 1);
        mesh.points[1] = CVector3d(0, 1, -2);
    }
    CFakeMesh mesh;
};

TEST_F(TwistFromFacesTest, FrameDifferencesFromTwoFaces)
{
    // a1 = x, b1 = z cross x = y; a2 = y, b2 = (-2z cross y) / 2 = x.
    SetTwistFromFaces(mesh, 0, 0, 1, 1, std::cout);
    ASSERT_EQ(mesh.twistCalls, 1);
    EXPECT_EQ(mesh.twistA, CVector3d(-1, 1, 0));
    EXPECT_EQ(mesh.twistB, CVector3d(1, -1, 0));
    EXPECT_EQ(mesh.twistC, CVector3d(0, 0, -3));
    EXPECT_DOUBLE_EQ(mesh.twistEdgeLength, std::sqrt(11.0));
}

TEST_F(TwistFromFacesTest, FaceCentreAtTheCentroidIsRefused)
{
    mesh.centres[1] = mesh.centroid;
    testing::internal::CaptureStdout();
    SetTwistFromFaces(mesh, 0, 0, 1, 1, std::cout);
    SetTwistFromFaces(mesh, -1, 0, 1, 1, std::cout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(mesh.twistCalls, 0);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
}

}  // namespace
