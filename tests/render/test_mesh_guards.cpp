#include <gtest/gtest.h>

#include <limits>

#include "mesh/MeshConfigs.h"
#include "render/MeshGuards.h"

namespace {

using namespace meshdrawing;

// Four vertices, a square and a triangle; counts below the capacities.
struct SmallMesh {
    CPolyMeshStore mesh{8, 16, 4};
    SmallMesh()
    {
        const double p[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
        for (int i = 0; i < 4; ++i) mesh.vertices[i].Set(p[i][0], p[i][1], p[i][2], 0);
        mesh.nVertices = 4;
        const int square[] = {0, 1, 2, 3};
        const int triangle[] = {0, 1, 2};
        mesh.faces[0].Set(4, square, kHiddenType);
        mesh.faces[1].Set(3, triangle, 1);
        mesh.nFaces = 2;
    }
};

TEST(MeshGuards, IndicesOutsideTheCountsAreRefused)
{
    SmallMesh m;
    // Vertex 5 and face 3 exist in the arrays but not in the mesh.
    for (int v : {-1, 4, 5, 8, 1000}) EXPECT_FALSE(ValidVertex(m.mesh, v)) << v;
    for (int v : {0, 3}) EXPECT_TRUE(ValidVertex(m.mesh, v)) << v;
    for (int f : {-1, 2, 3, 4}) EXPECT_FALSE(ValidFace(m.mesh, f)) << f;
    for (int f : {0, 1}) EXPECT_TRUE(ValidFace(m.mesh, f)) << f;
}

TEST(MeshGuards, CountsAboveTheCapacityAreCut)
{
    SmallMesh m;
    m.mesh.nVertices = 50;
    m.mesh.nFaces = 50;
    EXPECT_EQ(VertexCount(m.mesh), 8);
    EXPECT_EQ(FaceCount(m.mesh), 4);
    EXPECT_EQ(EdgeCount(m.mesh, kHiddenType), 16);
    EXPECT_FALSE(ValidVertex(m.mesh, 8));
}

TEST(MeshGuards, FaceCorners)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        const char* name;
        int face;
        int minCorners;
        int badVertex;      // -1: none; else index written into face slot 1
        bool nanPosition;   // vertex 2 gets a NaN coordinate
        bool accepted;
        int corners;
    };
    const Row rows[] = {
        {"square as a face", 0, 3, -1, false, true, 4},
        {"square as a quadrilateral", 0, 4, -1, false, true, 4},
        {"triangle as a face", 1, 3, -1, false, true, 3},
        {"triangle is no quadrilateral", 1, 4, -1, false, false, 3},
        {"missing vertex", 0, 3, 4, false, false, 4},
        {"negative vertex", 1, 3, -7, false, false, 3},
        {"position not a number", 0, 3, -1, true, false, 4},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SmallMesh m;
        if (r.badVertex != -1) m.mesh.faces[r.face].verts[1] = r.badVertex;
        if (r.nanPosition) m.mesh.vertices[2].Set(nan, 0, 0, 0);
        CVector3d p[CPolyFace::kVertSlots];
        int n = 0;
        EXPECT_EQ(FaceCorners(m.mesh, r.face, r.minCorners, p, n), r.accepted);
        EXPECT_EQ(n, r.corners);
        if (r.accepted) {
            EXPECT_EQ(p[2], CVector3d(1, 1, 0));
        }
    }
}

TEST(MeshGuards, VertexCountBeyondTheSlotsIsCut)
{
    SmallMesh m;
    m.mesh.faces[0].nVerts = 40;
    CVector3d p[CPolyFace::kVertSlots];
    int n = 0;
    FaceCorners(m.mesh, 0, 3, p, n);
    EXPECT_EQ(n, CPolyFace::kVertSlots);
}

// Edges of the square: sides of length 1 whichever way they run, a diagonal,
// edges that name a missing vertex or join a vertex to itself.
TEST(MeshGuards, DistinctTubeLengths)
{
    struct Row {
        const char* name;
        int count;
        int edges[4][2];
        int lengths;
    };
    const Row rows[] = {
        {"sides both ways", 4, {{0, 1}, {1, 2}, {3, 2}, {0, 3}}, 1},
        {"side and diagonal", 2, {{0, 1}, {0, 2}}, 2},
        {"missing or equal ends", 4, {{0, 4}, {-1, 2}, {2, 2}, {3, 0}}, 1},
        {"count beyond the capacity", 40, {{0, 1}, {1, 3}, {2, 0}, {1, 1}}, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SmallMesh m;
        CEdge edges[16];
        for (int k = 0; k < 4; ++k) edges[k].Set(r.edges[k][0], r.edges[k][1], 0, -1, -1);
        EXPECT_EQ(DistinctTubeLengths(m.mesh, edges, r.count), r.lengths);
    }
}

}  // namespace
