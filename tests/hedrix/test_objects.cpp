// The five built-in objects: the rules their tables obey and what building
// and selecting them leaves in the mesh.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "VornCases.h"
#include "hedrix/core/HedrixGlobals.h"

namespace {

struct TableFace {
    std::vector<int> verts;  // 0-based
    int type;
};

struct Table {
    int counts[3] = {-7, -7, -7};
    double rows[100][4] = {};
    int faceList[700] = {};
    std::vector<TableFace> faces;
    int faceInts = 0;
};

std::unique_ptr<CMesh> NewMesh() { return std::make_unique<CMesh>(); }

std::unique_ptr<Table> ReadTable(int type)
{
    auto t = std::make_unique<Table>();
    auto mesh = NewMesh();
    std::ostringstream console;
    mesh->GetVornObj(type, t->counts, t->rows, t->faceList, console);
    int cursor = 0;
    for (int j = 0; j < t->counts[1]; ++j) {
        TableFace f;
        const int n = t->faceList[cursor++];
        for (int k = 0; k < n; ++k) f.verts.push_back(t->faceList[cursor++] - 1);
        f.type = t->faceList[cursor++];
        t->faces.push_back(f);
    }
    t->faceInts = cursor;
    return t;
}

CVector3d Row(const Table& t, int i) { return CVector3d(t.rows[i][0], t.rows[i][1], t.rows[i][2]); }

std::vector<int> FaceInts(const Table& t, int face)
{
    std::vector<int> out{static_cast<int>(t.faces[face].verts.size())};
    for (int v : t.faces[face].verts) out.push_back(v + 1);
    out.push_back(t.faces[face].type);
    return out;
}

int FirstFaceOfType(const Table& t, int type)
{
    for (int j = 0; j < static_cast<int>(t.faces.size()); ++j)
        if (t.faces[j].type == type) return j;
    return -1;
}

class VornObjects : public ::testing::TestWithParam<VornCase> {};

TEST_P(VornObjects, TableCountsAndCentre)
{
    const VornCase& c = GetParam();
    const auto t = ReadTable(c.type);
    EXPECT_EQ(c.nVertices, t->counts[0]);
    EXPECT_EQ(c.nFaces, t->counts[1]);
    EXPECT_EQ(0, t->counts[2]);
    EXPECT_EQ(c.faceInts, t->faceInts);
    CVector3d sum;
    for (int i = 0; i < c.nVertices; ++i) {
        sum += Row(*t, i);
        EXPECT_NEAR(c.radius, length(Row(*t, i)), 1e-11) << "vertex " << i + 1;
        EXPECT_EQ(0.0, t->rows[i][3]);
    }
    EXPECT_LT(length(sum), 1e-11);
}

TEST_P(VornObjects, FacesRegularOutwardAndOrdered)
{
    const VornCase& c = GetParam();
    const auto t = ReadTable(c.type);
    int perType[4] = {};
    int lastType = 3;
    for (int j = 0; j < c.nFaces; ++j) {
        const TableFace& f = t->faces[j];
        ASSERT_TRUE(f.type >= kSquareFaceType && f.type <= kSolidFaceType) << "face " << j;
        EXPECT_LE(f.type, lastType) << "face " << j << " out of type order";
        lastType = f.type;
        ++perType[f.type];
        const int n = static_cast<int>(f.verts.size());
        EXPECT_EQ(f.type == kSolidFaceType ? c.sides3 : f.type == kDualFaceType ? c.sides2 : 4, n) << "face " << j;
        CVector3d centre;
        for (int v : f.verts) centre += Row(*t, v);
        centre = centre / n;
        const CVector3d a = Row(*t, f.verts[0]), b = Row(*t, f.verts[1]), d = Row(*t, f.verts[2]);
        CVector3d normal = cross(b - a, d - a);
        normal.normalize();
        EXPECT_GT(dot(normal, centre), 0.0) << "face " << j << " not counter-clockwise from outside";
        const double circum = length(a - centre);
        for (int k = 0; k < n; ++k) {
            const CVector3d p = Row(*t, f.verts[k]), q = Row(*t, f.verts[(k + 1) % n]);
            EXPECT_NEAR(c.edge, length(q - p), 1e-11) << "face " << j << " side " << k;
            EXPECT_NEAR(circum, length(p - centre), 1e-11) << "face " << j;
            EXPECT_NEAR(0.0, dot(p - centre, normal), 1e-11) << "face " << j << " not planar";
        }
    }
    EXPECT_EQ(c.nType3, perType[kSolidFaceType]);
    EXPECT_EQ(c.nType2, perType[kDualFaceType]);
    EXPECT_EQ(c.nType1, perType[kSquareFaceType]);
}

TEST_P(VornObjects, Type3FacesPartitionVerticesInOrder)
{
    const VornCase& c = GetParam();
    const auto t = ReadTable(c.type);
    for (int k = 0; k < c.nType3; ++k) {
        ASSERT_EQ(3, t->faces[k].type);
        for (int j = 0; j < c.sides3; ++j) EXPECT_EQ(k * c.sides3 + j, t->faces[k].verts[j]) << "face " << k;
    }
    EXPECT_EQ(c.nVertices, c.nType3 * c.sides3);
}

// A square starts at the later vertex (in its type-3 face's order) of one of
// its type-3 edges; the twist needs its second and fourth vertices in
// different type-3 faces.
TEST_P(VornObjects, SquaresStartAtLaterVertexOfType3Edge)
{
    const VornCase& c = GetParam();
    const auto t = ReadTable(c.type);
    const int n = c.sides3;
    for (int j = FirstFaceOfType(*t, 1); j < c.nFaces; ++j) {
        const std::vector<int>& s = t->faces[j].verts;
        const int faceOf0 = s[0] / n, faceOf1 = s[1] / n, faceOf2 = s[2] / n, faceOf3 = s[3] / n;
        EXPECT_EQ(faceOf0, faceOf1) << "square " << j;
        EXPECT_EQ(faceOf2, faceOf3) << "square " << j;
        EXPECT_NE(faceOf1, faceOf3) << "square " << j;
        // Within the face's own order the first vertex follows the second.
        EXPECT_EQ((s[1] % n + 1) % n, s[0] % n) << "square " << j;
    }
}

TEST_P(VornObjects, BuiltObjectHasInteriorEdgesAndConstants)
{
    const VornCase& c = GetParam();
    auto mesh = NewMesh();
    std::ostringstream console;
    mesh->SelectVornObject(c.type, true, console);
    ASSERT_EQ(c.nEdges, mesh->nEdges);
    int perType[4] = {};
    for (int e = 0; e < mesh->nEdges; ++e) {
        const CEdge& edge = mesh->edges[e];
        ASSERT_GE(edge.leftFace, 0) << "edge " << e;
        ASSERT_GE(edge.rightFace, 0) << "edge " << e;
        const int tl = mesh->faces[edge.leftFace].type, tr = mesh->faces[edge.rightFace].type;
        EXPECT_EQ(kSquareFaceType, tl < tr ? tl : tr) << "edge " << e << " not beside a square";
        ASSERT_TRUE(edge.type == kDualFaceType || edge.type == kSolidFaceType) << "edge " << e;
        ++perType[edge.type];
        EXPECT_NEAR(c.edge, length(mesh->VertexPosition(edge.v2) - mesh->VertexPosition(edge.v1)), 1e-10);
    }
    EXPECT_EQ(c.nEdges / 2, perType[kDualFaceType]);
    EXPECT_EQ(c.nEdges / 2, perType[kSolidFaceType]);

    EXPECT_EQ(c.lowerBound, mesh->lowerBound);
    EXPECT_EQ(c.twistMark, mesh->twistMark);
    EXPECT_EQ(c.objectConstant, mesh->objectConstant);
    EXPECT_NEAR(c.foldScale, mesh->foldScale, 1e-10);
    const CPolyFace& face0 = mesh->faces[0];
    const double r0 = length(mesh->VertexPosition(face0.verts[0]) - face0.Centre());
    EXPECT_NEAR(r0, mesh->foldScale * mesh->lowerBound, 1e-12);
    EXPECT_EQ(c.lowerBound, mesh->foldParameter);
    EXPECT_EQ(50, mesh->stage);
    EXPECT_EQ(900 + c.type, currentSolid);
    EXPECT_EQ(c.type, mesh->objectType);
}

// Without the start flag the type-3 faces are those of the Platonic solid:
// squares collapse to its edges and type-2 faces to its vertices.
TEST_P(VornObjects, SelectedWithoutStartShowsPlatonicSolid)
{
    const VornCase& c = GetParam();
    auto mesh = NewMesh();
    std::ostringstream console;
    mesh->SelectVornObject(c.type, false, console);
    EXPECT_EQ(20, mesh->stage);
    EXPECT_EQ(0.99999, mesh->foldParameter);
    const double platonicEdge = 2 * c.foldScale * std::sin(kPi / c.sides3);
    for (int j = 0; j < mesh->nFaces; ++j) {
        const CPolyFace& f = mesh->faces[j];
        for (int k = 0; k < f.nVerts; ++k) {
            const double side = length(mesh->VertexPosition(f.verts[(k + 1) % f.nVerts]) -
                                       mesh->VertexPosition(f.verts[k]));
            if (f.type == kSolidFaceType) {
                EXPECT_NEAR(0.99999 * platonicEdge, side, 1e-9);
            } else if (f.type == kDualFaceType) {
                EXPECT_LT(side, 1e-4);
            }
        }
    }
    for (int i = 0; i < mesh->nVertices; ++i) EXPECT_EQ(kPlainType, mesh->vertices[i].type);
}

INSTANTIATE_TEST_SUITE_P(AllObjects, VornObjects, ::testing::ValuesIn(kVornCases), VornCaseName);

TEST(VornTables, FaceZeroAndSampleEntries)
{
    const auto tet = ReadTable(1);
    EXPECT_EQ((std::vector<int>{3, 1, 2, 3, 3}), FaceInts(*tet, 0));
    EXPECT_EQ((std::vector<int>{3, 1, 4, 11, 2}), FaceInts(*tet, FirstFaceOfType(*tet, kDualFaceType)));
    EXPECT_EQ((std::vector<int>{4, 9, 8, 10, 12, 1}), FaceInts(*tet, 13));
    EXPECT_EQ(-0.360843918243, tet->rows[0][1]);
    EXPECT_EQ(0.721687836487, tet->rows[1][1]);
    EXPECT_EQ(-1.02062072616, tet->rows[2][2]);

    const auto dod = ReadTable(4);
    EXPECT_EQ((std::vector<int>{3, 5, 15, 6, 2}), FaceInts(*dod, FirstFaceOfType(*dod, kDualFaceType)));
    EXPECT_EQ(0.451393585452, dod->rows[0][0]);
    EXPECT_EQ(0.474623303367, dod->rows[4][1]);

    // Object 2 is every arrangement of (+-h, +-h, +-1.1).
    const auto hex = ReadTable(2);
    const double h = 0.45563491861;
    for (int i = 0; i < 24; ++i) {
        int nh = 0, nBig = 0;
        for (int k = 0; k < 3; ++k) {
            if (std::fabs(hex->rows[i][k]) == h) ++nh;
            if (std::fabs(hex->rows[i][k]) == 1.1) ++nBig;
        }
        EXPECT_EQ(2, nh) << "vertex " << i + 1;
        EXPECT_EQ(1, nBig) << "vertex " << i + 1;
    }
}

TEST(VornTables, UnknownTypeCopiesNothing)
{
    for (int type : {0, 6, -1}) {
        Table t;
        t.counts[0] = 11;
        t.counts[1] = 12;
        t.rows[0][0] = 4.5;
        t.faceList[0] = 42;
        auto mesh = NewMesh();
        std::ostringstream console;
        mesh->GetVornObj(type, t.counts, t.rows, t.faceList, console);
        EXPECT_EQ("error in GetVornObj! \n", console.str());
        EXPECT_EQ(11, t.counts[0]);
        EXPECT_EQ(12, t.counts[1]);
        EXPECT_EQ(0, t.counts[2]);
        EXPECT_EQ(4.5, t.rows[0][0]);
        EXPECT_EQ(42, t.faceList[0]);
    }
}

TEST(VornSelect, StartObjectAtTableSize)
{
    auto mesh = NewMesh();
    std::ostringstream console;
    mesh->SelectVornObject(4, true, console);
    EXPECT_EQ(60, mesh->nVertices);
    EXPECT_EQ(62, mesh->nFaces);
    EXPECT_EQ(120, mesh->nEdges);
    EXPECT_EQ(904, currentSolid);
    for (int j = 0; j < 12; ++j) {
        const CPolyFace& f = mesh->faces[j];
        for (int k = 0; k < f.nVerts; ++k)
            EXPECT_NEAR(0.474623303367, length(mesh->VertexPosition(f.verts[k]) - f.Centre()), 1e-11);
    }
}

// An unknown type builds nothing and keeps the solid counter, but still
// stops the loops and resets the toggles as a selection does.
TEST(VornSelect, UnknownTypeBuildsNothingAndKeepsTheSolid)
{
    auto mesh = NewMesh();
    std::ostringstream console;
    mesh->SelectVornObject(3, false, console);
    const CVector3d p = mesh->VertexPosition(7);
    for (int type : {0, 6, 905}) {
        theViewState.SetMode(CViewState::kFold);
        theViewState.toggles[CViewState::kFaces] = false;
        mesh->stage = 60;
        mesh->SelectVornObject(type, false, console);
        EXPECT_EQ(903, currentSolid) << type;
        EXPECT_EQ(CViewState::kIdle, theViewState.GetMode()) << type;
        EXPECT_TRUE(theViewState.toggles[CViewState::kFaces]) << type;
        EXPECT_EQ(24, mesh->nVertices);
        EXPECT_EQ(48, mesh->nEdges);
        EXPECT_EQ(60, mesh->stage);
        EXPECT_EQ(p.x(), mesh->VertexPosition(7).x());
    }
    // With the start flag the sequence starts on the object still shown.
    mesh->SelectVornObject(6, true, console);
    EXPECT_EQ(903, currentSolid);
    EXPECT_EQ(50, mesh->stage);
    EXPECT_EQ(mesh->lowerBound, mesh->foldParameter);
}

TEST(VornSelect, StopsLoopsResetsMarksAndToggles)
{
    auto mesh = NewMesh();
    std::ostringstream console;
    mesh->SelectVornObject(5, true, console);
    mesh->markFaceA = 61;
    mesh->markFaceB = 40;
    mesh->markVertexA = 59;
    mesh->markVertexB = 58;
    mesh->faces[30].type = 99;
    theViewState.SetMode(CViewState::kTwist);
    theViewState.toggles[CViewState::kFaces] = false;
    mesh->SelectVornObject(1, false, console);
    EXPECT_EQ(CViewState::kIdle, theViewState.GetMode());
    EXPECT_EQ(0, mesh->markFaceA);
    EXPECT_EQ(0, mesh->markFaceB);
    EXPECT_EQ(0, mesh->markVertexA);
    EXPECT_EQ(0, mesh->markVertexB);
    EXPECT_TRUE(theViewState.toggles[CViewState::kFaces]);
    EXPECT_EQ(12, mesh->nVertices);
    for (int j = 0; j < mesh->nFaces; ++j) EXPECT_NE(kHiddenType, mesh->faces[j].type);
}

TEST(VornSelect, RefusedTableLeavesMeshUnchanged)
{
    auto mesh = NewMesh();
    std::ostringstream console;
    mesh->SelectVornObject(1, false, console);
    const int counts[3] = {3, 1, 0};
    const double rows[3][4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}};
    const int badVertex[] = {3, 1, 2, 4, 1};
    const int tooManySides[] = {16, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 1};
    mesh->stage = 65;
    for (const int* faceList : {badVertex, tooManySides}) {
        console.str("");
        mesh->BuildMeshFromTables(counts, rows, faceList, 1.0, console);
        EXPECT_FALSE(console.str().empty());
        EXPECT_EQ(12, mesh->nVertices);
        EXPECT_EQ(14, mesh->nFaces);
        EXPECT_EQ(65, mesh->stage);
    }
    const int good[] = {3, 1, 2, 3, 1};
    mesh->BuildMeshFromTables(counts, rows, good, 2.0, console);
    EXPECT_EQ(3, mesh->nVertices);
    EXPECT_EQ(3, mesh->nEdges);
    EXPECT_EQ(20, mesh->stage);
    EXPECT_EQ(2.0, mesh->VertexPosition(1).x());
}

} // namespace

namespace {

TEST(MeshFixing, ConditionsOutsideTheSixAreDropped)
{
    auto mesh = NewMesh();
    mesh->SetFixingCondition(5, 12, 0.5);
    mesh->SetFixingCondition(6, 99, 9.0);
    mesh->SetFixingCondition(-1, 99, 9.0);
    EXPECT_EQ(12, mesh->fixing[5].index);
    EXPECT_EQ(0.5, mesh->fixing[5].value);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(0, mesh->fixing[k].index);
    EXPECT_EQ(0.0, mesh->twistA.length());
}

} // namespace
