#include <gtest/gtest.h>

#include <sstream>

#include "mesh/MeshConfigs.h"
#include "mesh/MeshTables.h"

TEST(MeshStore, FreshStoreIsEmpty)
{
    CPolyMeshStore m(10, 20, 10);
    EXPECT_EQ(0, m.nVertices + m.nFaces + m.nEdges + m.nSpecialEdges);
    for (int i = 0; i < 20; ++i) {
        const CEdge& e = m.edges[i];
        EXPECT_EQ(-1, e.v1);
        EXPECT_EQ(-1, e.v2);
        EXPECT_EQ(kPlainType, e.type);
        EXPECT_EQ(-1, e.leftFace);
        EXPECT_EQ(-1, e.rightFace);
        EXPECT_EQ(-1, e.id);
    }
    EXPECT_EQ(0, m.vertices[3].NEdges());
    EXPECT_EQ(0, m.faces[3].NVerts());
}

TEST(MeshRecords, SettersKeepWhatTheyShould)
{
    CPolyFace f;
    f.AddEdge(4);
    const int v[4] = {3, 1, 2, 0};
    f.Set(4, v, 2);
    EXPECT_EQ(0, f.NEdges());
    EXPECT_EQ(4, f.NVerts());
    EXPECT_EQ(1, f.VertAt(1));

    CEdge e;
    e.SetAll(1, 2, 3, 4, 5, 42);
    e.Set(6, 7, 8, 9, 10);
    EXPECT_EQ(42, e.id);
    e.Reset();
    EXPECT_EQ(42, e.id);
    EXPECT_EQ(-1, e.V1());
    EXPECT_EQ(kPlainType, e.Type());
}

TEST(MeshRecords, ListsNeverWritePastTheirSlots)
{
    CVertexT<12, 13> v;
    for (int i = 0; i < 12; ++i) EXPECT_TRUE(v.AddEdge(i));
    EXPECT_FALSE(v.AddEdge(99));
    EXPECT_EQ(12, v.NEdges());
    for (int i = 0; i < 13; ++i) EXPECT_TRUE(v.AddFace(i));
    EXPECT_FALSE(v.AddFace(99));
    CFaceT<12, 12> f;
    int many[20] = {};
    f.Set(20, many, 1);
    EXPECT_EQ(12, f.NVerts());
}

TEST(MeshStore, CentroidAndNormals)
{
    CPolyMeshStore m(10, 20, 10);
    m.computeCentroid();  // empty: stays finite
    EXPECT_EQ(CVector3d(0, 0, 0), m.Centroid());
    m.nVertices = 4;
    m.vertices[0].Set(1, 0, 0, 0);
    m.vertices[1].Set(-1, 0, 0, 0);
    m.vertices[2].Set(0, 1, 0, 0);
    m.vertices[3].Set(0, -1, 0, 0);
    m.computeCentroid();
    EXPECT_EQ(CVector3d(0, 0, 0), m.Centroid());
    m.nVertices = 1;
    m.computeCentroid();
    EXPECT_EQ(CVector3d(1, 0, 0), m.Centroid());

    CPolyFace f;
    f.ComputeNormal(CVector3d(0, 0, 0), CVector3d(1, 0, 0), CVector3d(0, 1, 0));
    EXPECT_EQ(CVector3d(0, 0, 1), f.Normal());
    f.ComputeNormal(CVector3d(0, 0, 0), CVector3d(1, 0, 0), CVector3d(2, 0, 0));
    EXPECT_EQ(0.0, f.Normal().length());
}

TEST(MeshTables, RefusesTablesThatDoNotFit)
{
    CDesignMeshStore* m = new CDesignMeshStore(8, 16, 4);
    const int ok[3] = {3, 1, 0};
    const int tri[5] = {3, 1, 2, 3, 5};
    EXPECT_TRUE(TablesFitStore(*m, ok, tri, 5, std::cout));
    const int tooMany[3] = {9, 1, 0};
    EXPECT_FALSE(TablesFitStore(*m, tooMany, tri, 5, std::cout));
    const int badVertex[5] = {3, 1, 2, 4, 5};
    EXPECT_FALSE(TablesFitStore(*m, ok, badVertex, 5, std::cout));
    const int truncated[4] = {3, 1, 2, 3};
    EXPECT_FALSE(TablesFitStore(*m, ok, truncated, 4, std::cout));
    const int bigFace[16] = {13, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2};
    EXPECT_FALSE(TablesFitStore(*m, ok, bigFace, 16, std::cout));

    const double rows[3][4] = {{0, 0, 0, 1.7}, {1, 0, 0, -0.5}, {0, 1, 0, 0}};
    testing::internal::CaptureStdout();
    FillMeshFromTables(*m, ok, rows, tri, 2.0, std::cout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(".\n generated 3 edges\n", out);
    EXPECT_EQ(1, m->vertices[0].Type());
    EXPECT_EQ(0, m->vertices[1].Type());
    EXPECT_EQ(2.0, m->vertices[1].X());
    EXPECT_EQ(5, m->faces[0].Type());
    EXPECT_EQ(2, m->faces[0].VertAt(2));
    delete m;
}

// Every part of the geometry changes hands, the centroid too; the records
// compare as whole values, the twist frame of a face included.
TEST(MeshStore, SwapGeometryExchangesEveryPart)
{
    CPolyMeshStore a(4, 8, 4), b(6, 12, 6);
    a.nVertices = 1;
    a.vertices[0].Set(1, 2, 3, 4);
    a.centroid = CVector3d(1, 2, 3);
    b.nFaces = 1;
    b.faces[0].SetFrameAxes(CVector3d(1, 0, 0), CVector3d(0, 1, 0));
    b.centroid = CVector3d(-5, 0, 7);
    const CMeshHeader headerA = a, headerB = b;
    const CPolyMeshStore::Vertex vertexA = a.vertices[0];
    const CPolyFace faceB = b.faces[0];

    a.SwapGeometry(b);
    EXPECT_TRUE(static_cast<const CMeshHeader&>(a) == headerB);
    EXPECT_TRUE(static_cast<const CMeshHeader&>(b) == headerA);
    EXPECT_TRUE(a.faces[0] == faceB);
    EXPECT_FALSE(a.faces[0] == CPolyFace());
    EXPECT_TRUE(b.vertices[0] == vertexA);
}

// Edge generation reports on the stream it is given, not on the console.
TEST(MeshStore, EdgeProgressGoesToTheGivenStream)
{
    CDesignMeshStore m(8, 16, 4);
    const int counts[3] = {3, 1, 0};
    const int tri[5] = {3, 1, 2, 3, 5};
    const double rows[3][4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}};
    std::ostringstream progress;
    testing::internal::CaptureStdout();
    FillMeshFromTables(m, counts, rows, tri, 1.0, progress);
    m.GenerateEdges(progress);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(progress.str(), ".\n generated 3 edges\n.\n generated 3 edges\n");
}
