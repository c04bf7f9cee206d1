// Building the design viewer's mesh from source tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "crimpa/core/DesignMesh.h"
#include "crimpa/designs/DesignSupport.h"

namespace {

struct GridTables {
    int counts[3];
    std::vector<double> rows;  // four per vertex
    std::vector<int> faces;
    const double (*Rows() const)[4] { return reinterpret_cast<const double(*)[4]>(rows.data()); }
};

GridTables MakeGridTables(int nx, int ny)
{
    GridTables t{{(nx + 1) * (ny + 1), nx * ny, 0}, {}, {}};
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) t.rows.insert(t.rows.end(), {double(i), double(j), 0.0, 1.0});
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const int v = j * (nx + 1) + i + 1;
            t.faces.insert(t.faces.end(), {4, v, v + 1, v + nx + 2, v + nx + 1, 2});
        }
    return t;
}

std::string Build(const GridTables& t)
{
    testing::internal::CaptureStdout();
    BuildMeshFromTables(t.counts, t.Rows(), t.faces.data(), 1.0, std::cout);
    return testing::internal::GetCapturedStdout();
}

TEST(TableBuilding, VertexTypeTruncatesTowardZeroAndCornersCountFromOne)
{
    const int counts[3] = {4, 1, 0};
    const double rows[4][4] = {{0, 0, 0, 1.7}, {1, 0, 0, -0.5}, {1, 1, 0, 2.0}, {0, 1, 0, -1.9}};
    const int faces[] = {4, 1, 2, 3, 4, 5};
    testing::internal::CaptureStdout();
    BuildMeshFromTables(counts, rows, faces, 2.0, std::cout);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(theMesh.nVertices, 4);
    ASSERT_EQ(theMesh.nFaces, 1);
    const int types[4] = {1, 0, 2, -1};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(theMesh.vertices[i].type, types[i]);
    EXPECT_EQ(theMesh.vertices[2].Position(), CVector3d(2, 2, 0));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(theMesh.faces[0].verts[k], k);
    EXPECT_EQ(theMesh.faces[0].type, 5);
    EXPECT_EQ(theMesh.nEdges, 4);
    EXPECT_TRUE(builtInDesignShown);
}

struct DotCase {
    int nx, ny, dots;
};

void PrintTo(const DotCase& c, std::ostream* os) { *os << c.nx << "x" << c.ny; }

class ProgressDots : public ::testing::TestWithParam<DotCase> {};

TEST_P(ProgressDots, OnePerHundredFacesThenTheEdgeCount)
{
    const DotCase c = GetParam();
    const GridTables t = MakeGridTables(c.nx, c.ny);
    const std::string out = Build(t);
    const int edges = c.nx * (c.ny + 1) + c.ny * (c.nx + 1);
    EXPECT_EQ(out, std::string(c.dots, '.') + "\n generated " + std::to_string(edges) + " edges\n");
    EXPECT_EQ(theMesh.nEdges, edges);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ProgressDots,
                         ::testing::Values(DotCase{5, 5, 1}, DotCase{25, 10, 3}, DotCase{10, 10, 1},
                                           DotCase{101, 1, 2}));

TEST(TableBuilding, SameTablesTwiceGiveTheSameEdges)
{
    const GridTables t = MakeGridTables(6, 4);
    Build(t);
    std::vector<CEdge> first(theMesh.edges.get(), theMesh.edges.get() + theMesh.nEdges);
    Build(t);
    ASSERT_EQ(theMesh.nEdges, static_cast<int>(first.size()));
    for (int k = 0; k < theMesh.nEdges; ++k) {
        EXPECT_EQ(theMesh.edges[k].v1, first[k].v1);
        EXPECT_EQ(theMesh.edges[k].v2, first[k].v2);
        EXPECT_EQ(theMesh.edges[k].leftFace, first[k].leftFace);
        EXPECT_EQ(theMesh.edges[k].rightFace, first[k].rightFace);
        EXPECT_EQ(theMesh.edges[k].type, first[k].type);
    }
}

struct BadTable {
    const char* name;
    int counts[3];
    std::vector<int> faces;
};

void PrintTo(const BadTable& t, std::ostream* os) { *os << t.name; }

class MalformedTables : public ::testing::TestWithParam<BadTable> {};

TEST_P(MalformedTables, AreRefusedAndTheMeshStays)
{
    const GridTables good = MakeGridTables(3, 3);
    Build(good);
    const int nV = theMesh.nVertices, nF = theMesh.nFaces, nE = theMesh.nEdges;
    const CVector3d p = theMesh.vertices[5].Position();
    const BadTable& bad = GetParam();
    std::vector<double> rows(4 * 70001, 0.0);
    testing::internal::CaptureStdout();
    BuildMeshFromTables(bad.counts, reinterpret_cast<const double(*)[4]>(rows.data()), bad.faces.data(), 1.0, std::cout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find('\n'), std::string::npos) << "no message";
    EXPECT_EQ(theMesh.nVertices, nV);
    EXPECT_EQ(theMesh.nFaces, nF);
    EXPECT_EQ(theMesh.nEdges, nE);
    EXPECT_EQ(theMesh.vertices[5].Position(), p);
}

INSTANTIATE_TEST_SUITE_P(Tables, MalformedTables,
                         ::testing::Values(BadTable{"VertexBeyondTable", {3, 1, 0}, {3, 1, 2, 4, 1}},
                                           BadTable{"VertexZero", {3, 1, 0}, {3, 0, 1, 2, 1}},
                                           BadTable{"ThirteenCorners", {13, 1, 0},
                                                    {13, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 1}},
                                           BadTable{"TwoCorners", {3, 1, 0}, {2, 1, 2, 1}},
                                           BadTable{"TooManyVertices", {70001, 0, 0}, {0}},
                                           BadTable{"NegativeFaceCount", {3, -1, 0}, {0}}),
                         [](const ::testing::TestParamInfo<BadTable>& info) { return info.param.name; });

} // namespace

// A design's face count comes from its face table; a table that does not end
// with a whole record of its vertices counts as -1 and stops the unit's build.
TEST(DesignTables, FaceCountComesFromTheTable)
{
    constexpr int twoFaces[] = {3, 1, 2, 3, 1, 4, 1, 2, 3, 4, 2};
    constexpr int cutShort[] = {3, 1, 2, 3, 1, 4, 1, 2, 3, 4};
    constexpr int vertexTooHigh[] = {3, 1, 2, 5, 1};
    constexpr int vertexZero[] = {3, 0, 1, 2, 1};
    constexpr int tooFewCorners[] = {2, 1, 2, 1};
    static_assert(CountTableFaces(twoFaces, 4) == 2);
    static_assert(CountTableFaces(twoFaces, 3) == -1);
    static_assert(CountTableFaces(cutShort, 4) == -1);
    static_assert(CountTableFaces(vertexTooHigh, 4) == -1);
    static_assert(CountTableFaces(vertexZero, 4) == -1);
    static_assert(CountTableFaces(tooFewCorners, 4) == -1);
    EXPECT_EQ(CountTableFaces(twoFaces, 4), 2);
}
