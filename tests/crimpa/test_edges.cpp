// Hashed edge generation against the plain linear search, record by record.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "mesh/LinearEdges.h"
#include "mesh/MeshConfigs.h"

namespace {

struct SilentConfig : DesignMeshConfig {
    static constexpr bool kEdgeProgress = false;
};
using Store = CMeshStore<SilentConfig>;

void CopyFaces(const Store& from, Store& to)
{
    to.nVertices = from.nVertices;
    to.nFaces = from.nFaces;
    for (int i = 0; i < from.nVertices; ++i) to.vertices[i] = from.vertices[i];
    for (int i = 0; i < from.nFaces; ++i) to.faces[i] = from.faces[i];
}

void ExpectSameTopology(const Store& a, const Store& b)
{
    ASSERT_EQ(a.nEdges, b.nEdges);
    for (int k = 0; k < a.nEdges; ++k) {
        const CEdge &x = a.edges[k], &y = b.edges[k];
        EXPECT_EQ(x.v1, y.v1) << "edge " << k;
        EXPECT_EQ(x.v2, y.v2) << "edge " << k;
        EXPECT_EQ(x.leftFace, y.leftFace) << "edge " << k;
        EXPECT_EQ(x.rightFace, y.rightFace) << "edge " << k;
        EXPECT_EQ(x.type, y.type) << "edge " << k;
    }
    for (int i = 0; i < a.nFaces; ++i) {
        ASSERT_EQ(a.faces[i].nEdges, b.faces[i].nEdges) << "face " << i;
        for (int j = 0; j < a.faces[i].nEdges; ++j) EXPECT_EQ(a.faces[i].edges[j], b.faces[i].edges[j]);
    }
    for (int i = 0; i < a.nVertices; ++i) {
        const auto &u = a.vertices[i], &v = b.vertices[i];
        ASSERT_EQ(u.nEdges, v.nEdges) << "vertex " << i;
        ASSERT_EQ(u.nFaces, v.nFaces) << "vertex " << i;
        for (int j = 0; j < u.nEdges; ++j) EXPECT_EQ(u.edges[j], v.edges[j]);
        for (int j = 0; j < u.nFaces; ++j) EXPECT_EQ(u.faces[j], v.faces[j]);
    }
}

// A grid whose quads are split into triangles at random, flipped, dropped
// (holes and borders), retyped, shuffled and renumbered.
void FillScrambledGrid(Store& m, int n, std::mt19937& rng)
{
    FillQuadGrid(m, n, n);
    std::vector<int> perm(m.nVertices);
    for (int i = 0; i < m.nVertices; ++i) perm[i] = i;
    std::shuffle(perm.begin(), perm.end(), rng);
    std::vector<std::vector<int>> polys;
    std::vector<int> types;
    std::uniform_int_distribution<int> die(0, 9);
    for (int f = 0; f < m.nFaces; ++f) {
        std::vector<int> q(m.faces[f].verts, m.faces[f].verts + 4);
        for (int& v : q) v = perm[v];
        const int roll = die(rng);
        if (roll == 0) continue;
        if (roll == 1) std::reverse(q.begin(), q.end());
        if (roll <= 4) {
            polys.push_back({q[0], q[1], q[2]});
            polys.push_back({q[0], q[2], q[3]});
            types.push_back(die(rng));
            types.push_back(die(rng));
        } else {
            polys.push_back(q);
            types.push_back(die(rng));
        }
    }
    std::vector<int> order(polys.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::shuffle(order.begin(), order.end(), rng);
    m.nFaces = static_cast<int>(polys.size());
    for (int f = 0; f < m.nFaces; ++f) {
        const auto& p = polys[order[f]];
        m.faces[f].Set(static_cast<int>(p.size()), p.data(), types[order[f]]);
    }
}

// Faces of 3 to 12 distinct corners over few vertices: shared sides in both
// directions, repeated sides, full incidence lists.
void FillFaceSoup(Store& m, int nVertices, int nFaces, std::mt19937& rng)
{
    m.nVertices = nVertices;
    m.nFaces = nFaces;
    for (int i = 0; i < nVertices; ++i) m.vertices[i].Set(i, 0, 0, 0);
    std::uniform_int_distribution<int> size(3, 12), type(0, 25);
    std::vector<int> pool(nVertices);
    for (int i = 0; i < nVertices; ++i) pool[i] = i;
    for (int f = 0; f < nFaces; ++f) {
        std::shuffle(pool.begin(), pool.end(), rng);
        m.faces[f].Set(size(rng), pool.data(), type(rng));
    }
}

enum class Kind { Grid, Scrambled, Soup };
struct Case {
    const char* name;
    Kind kind;
    int size;
    int faces;
    unsigned seed;
};

const Case kCases[] = {
    {"single quad", Kind::Grid, 1, 0, 0},     {"grid 7x7", Kind::Grid, 7, 0, 0},
    {"grid 30x30", Kind::Grid, 30, 0, 0},     {"scrambled 12", Kind::Scrambled, 12, 0, 1},
    {"scrambled 25", Kind::Scrambled, 25, 0, 2}, {"scrambled 40", Kind::Scrambled, 40, 0, 3},
    {"soup sparse", Kind::Soup, 400, 60, 4},  {"soup dense", Kind::Soup, 14, 40, 5},
    {"soup crowded", Kind::Soup, 12, 300, 6},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class EdgeGeneration : public ::testing::TestWithParam<Case> {};

TEST_P(EdgeGeneration, MatchesLinearReference)
{
    const Case& c = GetParam();
    Store hashed(2000, 8000, 4000), reference(2000, 8000, 4000);
    std::mt19937 rng(c.seed);
    switch (c.kind) {
    case Kind::Grid: FillQuadGrid(hashed, c.size, c.size); break;
    case Kind::Scrambled: FillScrambledGrid(hashed, c.size, rng); break;
    case Kind::Soup: FillFaceSoup(hashed, c.size, c.faces, rng); break;
    }
    CopyFaces(hashed, reference);
    hashed.GenerateEdges(std::cout);
    ReferenceGenerateEdges(reference);
    ExpectSameTopology(hashed, reference);
    // A second run over stale edge records must give the same again.
    hashed.GenerateEdges(std::cout);
    ExpectSameTopology(hashed, reference);
}

INSTANTIATE_TEST_SUITE_P(Meshes, EdgeGeneration, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string s = info.param.name;
                             for (char& ch : s)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return s;
                         });

TEST(EdgeGeneration, GridCountsAndBorders)
{
    Store m(200, 400, 200);
    FillQuadGrid(m, 4, 3);
    ASSERT_TRUE(m.GenerateEdges(std::cout));
    EXPECT_EQ(m.nEdges, 4 * 4 + 5 * 3);
    int border = 0;
    for (int k = 0; k < m.nEdges; ++k) {
        EXPECT_LT(m.edges[k].v1, m.edges[k].v2);
        if (m.edges[k].type == kBorderEdgeType) ++border;
    }
    EXPECT_EQ(border, 2 * (4 + 3));
}

TEST(EdgeGeneration, CrowdedVertexReportsOverflowWithoutWritingPastSlots)
{
    Store m(64, 256, 64);
    std::mt19937 rng(9);
    FillFaceSoup(m, 12, 60, rng);
    EXPECT_FALSE(m.GenerateEdges(std::cout));
    for (int i = 0; i < m.nVertices; ++i) {
        EXPECT_LE(m.vertices[i].nEdges, Store::Vertex::kEdgeSlots);
        EXPECT_LE(m.vertices[i].nFaces, Store::Vertex::kFaceSlots);
    }
}

} // namespace
