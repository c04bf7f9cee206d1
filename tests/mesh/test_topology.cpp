#include <gtest/gtest.h>

#include "mesh/MeshConfigs.h"

namespace {

void AddFace(CPolyMeshStore& m, std::initializer_list<int> verts, int type)
{
    int buf[15];
    int n = 0;
    for (int v : verts) buf[n++] = v;
    m.faces[m.nFaces++].Set(n, buf, type);
}

void Square(CPolyMeshStore& m)
{
    m.nVertices = 4;
    m.vertices[0].Set(0, 0, 0, 0);
    m.vertices[1].Set(1, 0, 0, 0);
    m.vertices[2].Set(1, 1, 0, 0);
    m.vertices[3].Set(0, 1, 0, 0);
}

}  // namespace

TEST(Topology, SingleTriangle)
{
    CPolyMeshStore m(10, 20, 10);
    Square(m);
    AddFace(m, {0, 1, 2}, 1);
    EXPECT_TRUE(m.GenerateEdges(std::cout));
    ASSERT_EQ(3, m.nEdges);
    const int ends[3][2] = {{0, 1}, {1, 2}, {0, 2}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ends[i][0], m.edges[i].V1());
        EXPECT_EQ(ends[i][1], m.edges[i].V2());
        EXPECT_EQ(kBorderEdgeType, m.edges[i].Type());
    }
    EXPECT_EQ(0, m.edges[0].RightFace());
    EXPECT_EQ(0, m.edges[1].RightFace());
    EXPECT_EQ(0, m.edges[2].LeftFace());
    EXPECT_EQ(-1, m.edges[2].RightFace());
    EXPECT_EQ(3, m.faces[0].NEdges());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(i, m.faces[0].EdgeAt(i));
    ASSERT_EQ(2, m.vertices[0].NEdges());
    EXPECT_EQ(0, m.vertices[0].EdgeAt(0));
    EXPECT_EQ(2, m.vertices[0].EdgeAt(1));
    EXPECT_EQ(-1, m.FindEdge(2, 0));
    EXPECT_EQ(2, m.FindEdge(0, 2));
}

TEST(Topology, SharedEdgeTakesTheLargerTypeAndIsStableUnderRepetition)
{
    CPolyMeshStore m(10, 20, 10);
    Square(m);
    AddFace(m, {0, 1, 2}, 1);
    AddFace(m, {0, 2, 3}, 3);
    m.GenerateEdges(std::cout);
    const int shared = m.FindEdge(0, 2);
    ASSERT_GE(shared, 0);
    EXPECT_EQ(0, m.edges[shared].LeftFace());
    EXPECT_EQ(1, m.edges[shared].RightFace());
    EXPECT_EQ(3, m.edges[shared].Type());
    for (int i = 0; i < m.nEdges; ++i)
        if (i != shared) {
            EXPECT_EQ(kBorderEdgeType, m.edges[i].Type());
        }

    const int edgesOnce = m.nEdges;
    m.GenerateEdges(std::cout);
    m.GenerateEdges(std::cout);
    EXPECT_EQ(edgesOnce, m.nEdges);
    EXPECT_EQ(3, m.faces[1].NEdges());
    EXPECT_EQ(3, m.vertices[0].NEdges());
    EXPECT_EQ(2, m.vertices[0].NFaces());
}

TEST(Topology, OverflowingIncidenceIsReportedNotWritten)
{
    CPolyMeshStore m(40, 80, 40);
    m.nVertices = 20;
    // A fan of 17 triangles around vertex 0 needs 18 edges there: more than 15 slots.
    for (int k = 1; k <= 17; ++k) AddFace(m, {0, k, k + 1}, 1);
    EXPECT_FALSE(m.GenerateEdges(std::cout));
    EXPECT_EQ(15, m.vertices[0].NEdges());
    EXPECT_EQ(15, m.vertices[0].NFaces());
}

TEST(Topology, FaceTypesCentresAndEditing)
{
    CPolyMeshStore m(10, 20, 10);
    Square(m);
    AddFace(m, {0, 1, 2, 3}, 1);
    AddFace(m, {0, 2, 3}, kHiddenType);
    m.ComputeFaceCentres();
    EXPECT_EQ(CVector3d(0.5, 0.5, 0), m.FaceCentre(0));
    m.ReplaceFaceType(1, kHiddenType);
    m.RestoreFaceType(1, kHiddenType);
    EXPECT_EQ(1, m.faces[0].Type());
    EXPECT_EQ(1, m.faces[1].Type());

    CPolyFace f;
    const int a[4] = {1, 2, 3, 6};
    f.Set(4, a, 0);
    f.RenumberVertex(2, 5);
    const int wantA[4] = {1, 4, 2, 5};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(wantA[i], f.VertAt(i));
    const int b[3] = {1, 5, 6};
    f.Set(3, b, 0);
    f.RenumberVertex(5, 2);
    const int wantB[3] = {1, 2, 5};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(wantB[i], f.VertAt(i));

    m.GenerateEdges(std::cout);
    m.DeleteFace(0);
    EXPECT_EQ(1, m.nFaces);
    EXPECT_EQ(3, m.faces[0].NVerts());
    m.DeleteFace(5);  // outside: nothing
    EXPECT_EQ(1, m.nFaces);
}

TEST(Topology, SortFaceEdgesRestoresBoundaryOrder)
{
    CPolyMeshStore m(10, 20, 10);
    Square(m);
    AddFace(m, {0, 1, 2, 3}, 1);
    m.GenerateEdges(std::cout);
    int shuffled[4] = {m.faces[0].EdgeAt(2), m.faces[0].EdgeAt(0), m.faces[0].EdgeAt(3), m.faces[0].EdgeAt(1)};
    const int want[4] = {m.faces[0].EdgeAt(0), m.faces[0].EdgeAt(1), m.faces[0].EdgeAt(2), m.faces[0].EdgeAt(3)};
    for (int i = 0; i < 4; ++i) m.faces[0].edges[i] = shuffled[i];
    m.SortFaceEdges(0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(want[i], m.faces[0].EdgeAt(i));
}

TEST(Topology, SpecialEdgesColourTheirFaces)
{
    CPolyMeshStore m(10, 20, 10);
    Square(m);
    AddFace(m, {0, 1, 2}, 1);
    AddFace(m, {0, 2, 3}, 1);
    m.GenerateEdges(std::cout);
    m.CopyEdgesToSpecial();
    EXPECT_EQ(m.nEdges, m.nSpecialEdges);
    EXPECT_EQ(kSpecialEdgeType, m.specialEdges[0].Type());
    const int border = m.FindEdge(0, 1);
    m.specialEdges[border].type = 5;
    m.ColourFacesBySpecialEdge(5, 12);  // a border edge: only its one face
    EXPECT_EQ(12, m.faces[0].Type());
    EXPECT_EQ(1, m.faces[1].Type());
}

// Meshes that are not closed manifolds still follow the face-by-face rule: a
// third face on an edge takes over the side it runs on, the type only rises,
// and a vertex lists a face once per occurrence in it.
TEST(Topology, ThirdFaceAndRepeatedVertexFollowTheFaceOrder)
{
    CPolyMeshStore m(10, 20, 10);
    Square(m);
    m.nVertices = 5;
    AddFace(m, {0, 1, 2}, 1);
    AddFace(m, {1, 0, 3}, 3);
    AddFace(m, {0, 1, 4}, 2);
    m.GenerateEdges(std::cout);
    const int shared = m.FindEdge(0, 1);
    ASSERT_EQ(0, shared);
    EXPECT_EQ(2, m.edges[shared].RightFace());
    EXPECT_EQ(1, m.edges[shared].LeftFace());
    EXPECT_EQ(3, m.edges[shared].Type());
    ASSERT_EQ(3, m.vertices[0].NFaces());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(i, m.vertices[0].FaceAt(i));

    CPolyMeshStore r(10, 20, 10);
    Square(r);
    AddFace(r, {0, 1, 0, 2}, 2);
    r.GenerateEdges(std::cout);
    ASSERT_EQ(2, r.nEdges);
    const int faceEdges[4] = {0, 0, 1, 1};
    ASSERT_EQ(4, r.faces[0].NEdges());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(faceEdges[i], r.faces[0].EdgeAt(i));
    for (int e = 0; e < 2; ++e) {
        EXPECT_EQ(0, r.edges[e].LeftFace());
        EXPECT_EQ(0, r.edges[e].RightFace());
        EXPECT_EQ(2, r.edges[e].Type());
    }
    ASSERT_EQ(2, r.vertices[0].NFaces());
    EXPECT_EQ(0, r.vertices[0].FaceAt(1));
    ASSERT_EQ(2, r.vertices[0].NEdges());
    EXPECT_EQ(1, r.vertices[0].EdgeAt(1));
}
