// The polyhedron viewer's text formats, source tables and console dump.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <sstream>
#include <string>
#include <vector>

#include "hedrix/core/HedrixMesh.h"
#include "mesh/MeshFileIO.h"
#include "mesh/MeshTables.h"
#include "mesh/MeshTextFormats.h"
#include "tests/formats/FormatTestUtil.h"

namespace {

const char* const kOpenFailure = "Datei kann nicht geoeffnet werden!\n";

// A triangle, a quadrilateral and a pentagon, with the coordinates that the
// writers treat specially, and one special edge stored larger vertex first.
void MakeMixed(CMesh& m)
{
    m.nVertices = 6;
    m.vertices[0].Set(1.25, -1.0 / 3.0, 3e-11, 0);
    m.vertices[1].Set(1e-10, -0.0, 1e-05, 4);
    m.vertices[2].Set(2, 0.5, -1.5, 99);
    m.vertices[3].Set(0, 1, 0, 0);
    m.vertices[4].Set(-2, 0, 0, 0);
    m.vertices[5].Set(3, 3, 3, 0);
    const int tri[] = {0, 1, 2}, quad[] = {0, 2, 3, 4}, pent[] = {0, 4, 3, 5, 1};
    m.nFaces = 3;
    m.faces[0].Set(3, tri, 3);
    m.faces[1].Set(4, quad, 1);
    m.faces[2].Set(5, pent, 2);
    m.nSpecialEdges = 1;
    m.specialEdges[0].Set(4, 1, 7, -1, -1);
}

void MakeTriangle(CMesh& m, const double (*p)[3], int type2)
{
    m.nVertices = 3;
    for (int i = 0; i < 3; ++i) m.vertices[i].Set(p[i][0], p[i][1], p[i][2], i == 2 ? type2 : 0);
    const int tri[] = {0, 1, 2};
    m.nFaces = 1;
    m.faces[0].Set(3, tri, 3);
    m.GenerateEdges(std::cout);
}

void MakeUnitTriangle(CMesh& m)
{
    const double p[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    MakeTriangle(m, p, 0);
}

// Writes a mesh as the full format shows its coordinates to six digits.
void MakeSixDigitTriangle(CMesh& m)
{
    const double p[3][3] = {{0, 0, 0}, {1.274836, 0, 0}, {-1.0 / 3.0, 3e-11, 2}};
    MakeTriangle(m, p, 5);
    m.nSpecialEdges = 1;
    m.specialEdges[0].Set(2, 0, 7, -1, -1);
}

const char* const kShortText =
    "    6    3    1\n"
    "    1             1.25  -0.333333333333                0  0\n"
    "    2            1e-10                0            1e-05  4\n"
    "    3                2              0.5             -1.5  99\n"
    "    4                0                1                0  0\n"
    "    5               -2                0                0  0\n"
    "    6                3                3                3  0\n"
    "    1   3    1    2    3         3\n"
    "    2   4    1    3    4    5    1\n"
    "    3   5    1    5    4    6    2    2\n"
    "    1       5     2       7\n";

TEST(ShortFormat, WritesExactLayout)
{
    CMesh m(40, 80, 40);
    MakeMixed(m);
    const std::string path = TestPath("wemo.txt");
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = m.WriteMeshText(path, os); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(console, "write 6 vertices ... ");
    EXPECT_EQ(FileText(path), kShortText);
}

TEST(SourceTable, WritesExactLayout)
{
    CMesh m(40, 80, 40);
    MakeMixed(m);
    const std::string path = TestPath("crInc.txt");
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = m.WriteMeshCSource(path, os); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(console, "write 6 vertices ... ");
    EXPECT_EQ(FileText(path), "   static const int _n?[3] = { 6, 3, 0 };\n"
                              "   static const double _v?[6][4] = {  // vertices\n"
                              "      {           1.25,  -0.333333333333,                0,  0},\n"
                              "      {          1e-10,                0,            1e-05,  0},\n"
                              "      {              2,              0.5,             -1.5,  0},\n"
                              "      {              0,                1,                0,  0},\n"
                              "      {             -2,                0,                0,  0},\n"
                              "      {              3,                3,                3,  0},\n"
                              "   };\n"
                              "\n"
                              "   static const int _f?[] = {     // faces\n"
                              "      3,     1,    2,    3,          3,\n"
                              "      4,     1,    3,    4,    5,    1,\n"
                              "      5,     1,    5,    4,    6,    2,    2,\n"
                              "   };\n");
}

TEST(SourceTable, EmptyMeshHasOnlyTheFrame)
{
    CMesh m(4, 8, 4);
    const std::string path = TestPath("crInc.txt");
    Printed([&](std::ostream& os) { EXPECT_TRUE(m.WriteMeshCSource(path, os)); });
    EXPECT_EQ(FileText(path), "   static const int _n?[3] = { 0, 0, 0 };\n"
                              "   static const double _v?[0][4] = {  // vertices\n"
                              "   };\n"
                              "\n"
                              "   static const int _f?[] = {     // faces\n"
                              "   };\n");
}

TEST(SourceTable, TablesBuildTheWrittenMeshAgain)
{
    const int counts[3] = {5, 3, 0};
    const double rows[5][4] = {{1.0 / 3.0, -2.5, 1e-11, 0},
                               {123456.789012345, 0.1, -7, 0},
                               {0, 1, 0, 0},
                               {2, 2, 2, 0},
                               {-1e-05, 3, 0.5, 0}};
    const int faceList[] = {3, 1, 2, 3, 3, 4, 1, 3, 4, 5, 1, 5, 2, 1, 5, 4, 3, 2};
    CMesh m(40, 80, 40);
    ASSERT_TRUE(TablesFitStore(m, counts, faceList, sizeof faceList / sizeof faceList[0], std::cout));
    FillMeshFromTables(m, counts, rows, faceList, 1.0, std::cout);
    const std::string path = TestPath("crInc.txt");
    Printed([&](std::ostream& os) { ASSERT_TRUE(m.WriteMeshCSource(path, os)); });

    const CParsedTables back = ParseSourceTables(FileText(path));
    EXPECT_EQ(back.counts[0], 5);
    EXPECT_EQ(back.counts[1], 3);
    EXPECT_EQ(back.counts[2], 0);
    EXPECT_EQ(back.faceList, std::vector<int>(std::begin(faceList), std::end(faceList)));
    ASSERT_EQ(back.rows.size(), 5u);
    for (int i = 0; i < 5; ++i)
        for (int c = 0; c < 4; ++c) {
            const double want = CoordForText(rows[i][c], true);
            EXPECT_NEAR(back.rows[i][c], want, 1e-11 * std::abs(want)) << i << "," << c;
        }
    EXPECT_EQ(back.rows[0][2], 0.0);
}

TEST(FullFormat, WritesExactLayoutAndConsole)
{
    CMesh m(40, 80, 40);
    MakeSixDigitTriangle(m);
    const std::string path = TestPath("wp.txt");
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = m.WriteMeshFile(path, os); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(console, "write 3 vertices ... \nwrite 1 faces ... \nwrite 3 edges ... \n"
                       "write 1 special edges ... \nwrite done writing to file\n");
    // A missing face (-1) is written as 0; 3e-11 keeps its digits here.
    EXPECT_EQ(FileText(path),
              "      3      1      3      1\n"
              "      1            0            0            0     0        1      1        2      1      3\n"
              "      2      1.27484            0            0     0        1      1        2      1      2\n"
              "      3    -0.333333        3e-11            2     5        1      1        2      2      3\n"
              "    1    3      1      2      3    3        3      1      2      3\n"
              "    1       1     2       7       0      1\n"
              "    2       2     3       7       0      1\n"
              "    3       1     3       7       1      0\n"
              "    1       3     1       7\n");
}

TEST(Writers, KeyWSequenceSharesOneConsoleLine)
{
    CMesh m(40, 80, 40);
    MakeSixDigitTriangle(m);
    const std::string console = Printed([&](std::ostream& os) {
        m.WriteMeshText(TestPath("wemo.txt"), os);
        m.WriteMeshCSource(TestPath("crInc.txt"), os);
        m.WriteMeshFile(TestPath("wp.txt"), os);
    });
    EXPECT_EQ(console, "write 3 vertices ... write 3 vertices ... write 3 vertices ... \nwrite 1 faces ... \n"
                       "write 3 edges ... \nwrite 1 special edges ... \nwrite done writing to file\n");
}

TEST(FullFormat, RoundTripKeepsTopologyAndSixDigits)
{
    CMesh source(40, 80, 40), back(40, 80, 40);
    MakeMixed(source);
    source.GenerateEdges(std::cout);
    MakeUnitTriangle(back);
    const std::string path = TestPath("wp.txt");
    Printed([&](std::ostream& os) { source.WriteMeshFile(path, os); });
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = back.ReadMeshFile(path, os); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(console, "read 6 vertices ... done\nread 3 faces ... done\nread " + std::to_string(source.nEdges) +
                           " edges ... done\nread 1 special edges ... done reading\n");
    ASSERT_EQ(back.nVertices, 6);
    ASSERT_EQ(back.nFaces, 3);
    ASSERT_EQ(back.nEdges, source.nEdges);
    ASSERT_EQ(back.nSpecialEdges, 1);
    for (int i = 0; i < 6; ++i) {
        const auto &a = source.vertices[i], &b = back.vertices[i];
        EXPECT_TRUE(SixDigits(b.X(), a.X()) && SixDigits(b.Y(), a.Y()) && SixDigits(b.Z(), a.Z())) << i;
        EXPECT_EQ(b.Type(), a.Type());
        ASSERT_EQ(b.NFaces(), a.NFaces());
        ASSERT_EQ(b.NEdges(), a.NEdges());
        for (int k = 0; k < a.NFaces(); ++k) EXPECT_EQ(b.FaceAt(k), a.FaceAt(k));
        for (int k = 0; k < a.NEdges(); ++k) EXPECT_EQ(b.EdgeAt(k), a.EdgeAt(k));
    }
    for (int j = 0; j < 3; ++j) {
        const auto &a = source.faces[j], &b = back.faces[j];
        ASSERT_EQ(b.NVerts(), a.NVerts());
        ASSERT_EQ(b.NEdges(), a.NEdges());
        EXPECT_EQ(b.Type(), a.Type());
        for (int k = 0; k < a.NVerts(); ++k) EXPECT_EQ(b.VertAt(k), a.VertAt(k));
        for (int k = 0; k < a.NEdges(); ++k) EXPECT_EQ(b.EdgeAt(k), a.EdgeAt(k));
    }
    bool someBorder = false;
    for (int k = 0; k < source.nEdges; ++k) {
        const CEdge &a = source.edges[k], &b = back.edges[k];
        EXPECT_EQ(b.V1(), a.V1());
        EXPECT_EQ(b.V2(), a.V2());
        EXPECT_EQ(b.Type(), a.Type());
        EXPECT_EQ(b.LeftFace(), a.LeftFace());
        EXPECT_EQ(b.RightFace(), a.RightFace());
        someBorder = someBorder || a.LeftFace() == -1 || a.RightFace() == -1;
    }
    EXPECT_TRUE(someBorder);
    // The full format keeps a special edge's vertex order.
    EXPECT_EQ(back.specialEdges[0].V1(), 4);
    EXPECT_EQ(back.specialEdges[0].V2(), 1);
}

TEST(ShortFormat, RoundTripKeepsTwelveDigitsAndSetsFixingToNone)
{
    CMesh source(40, 80, 40), back(40, 80, 40);
    MakeMixed(source);
    MakeUnitTriangle(back);
    for (int k = 0; k < 6; ++k) back.SetFixingCondition(k, k + 3, 2.5);
    const std::string path = TestPath("wemo.txt");
    Printed([&](std::ostream& os) { source.WriteMeshText(path, os); });
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = back.ReadMeshFixed(path, os); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(console, "read 6 vertices ... done\nread 3 faces ... done\nread 1 (special) edges ... done standard "
                       "reading\nread 6 fixing conditions ... done\n");
    EXPECT_EQ(back.nEdges, 0);
    ASSERT_EQ(back.nVertices, 6);
    ASSERT_EQ(back.nFaces, 3);
    for (int i = 0; i < 6; ++i) {
        const auto &a = source.vertices[i], &b = back.vertices[i];
        const double want[3] = {CoordForText(a.X(), true), CoordForText(a.Y(), true), CoordForText(a.Z(), true)};
        const double got[3] = {b.X(), b.Y(), b.Z()};
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], 1e-11 * std::abs(want[c])) << i << "," << c;
        EXPECT_EQ(b.Type(), a.Type());
    }
    EXPECT_EQ(back.vertices[0].Z(), 0.0);
    EXPECT_EQ(back.vertices[1].X(), 1e-10);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(back.faces[j].NVerts(), source.faces[j].NVerts());
        EXPECT_EQ(back.faces[j].NEdges(), 0);
        EXPECT_EQ(back.faces[j].Type(), source.faces[j].Type());
        for (int k = 0; k < source.faces[j].NVerts(); ++k) EXPECT_EQ(back.faces[j].VertAt(k), source.faces[j].VertAt(k));
    }
    // Written as 5 2, read smaller first.
    const CEdge& s = back.specialEdges[0];
    EXPECT_EQ(s.V1(), 1);
    EXPECT_EQ(s.V2(), 4);
    EXPECT_EQ(s.Type(), 7);
    EXPECT_EQ(s.LeftFace(), -1);
    EXPECT_EQ(s.RightFace(), -1);
    for (const CFixingCondition& f : back.fixing) {
        EXPECT_EQ(f.index, -1);
        EXPECT_EQ(f.value, 0.0);
    }
}

const char* const kShortBase = "3 1 1\n1 0 0 0 0\n2 1 0 0 0\n3 0 1 0 0\n1 3 1 2 3 1\n1 1 2 7\n";

TEST(ShortFormat, ReadsAFixingBlockAndIgnoresRecordNumbers)
{
    CMesh m(10, 20, 10);
    const std::string path = TestPath("fixed.txt");
    PutFile(path, "3 1 1\n7 1 0 0 0\n3 2 0 0 0\n9 3 0 0 0\n4 3 1 2 3 1\n8 3 1 7\n"
                  "1 0.5  2 -1  3 0  4 1e-05  5 2  6 3\n");
    Printed([&](std::ostream& os) { ASSERT_TRUE(m.ReadMeshFixed(path, os)); });
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m.vertices[i].X(), i + 1.0);
    const double values[6] = {0.5, -1, 0, 1e-05, 2, 3};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(m.fixing[k].index, k);
        EXPECT_EQ(m.fixing[k].value, values[k]);
    }
}

TEST(PointsFormat, ScalesSwapsAndCountsFacesFromZero)
{
    CMesh m(10, 20, 10);
    MakeUnitTriangle(m);
    const std::string path = TestPath("points.txt");
    PutFile(path, "3 1 2\n1 2 3 4 5\n0 0.1 0 9 9\n2 2.1 -1 0 0\n3 0 1 2\n1 1 2 7\n2 3 2 1\n");
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = m.ReadMeshText(path, os); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(console, "read 3 points ... done\nread 1 faces ... done\nread 2 edges ... done reading\n");
    EXPECT_EQ(m.nEdges, 0);
    EXPECT_DOUBLE_EQ(m.vertices[0].X(), 75);
    EXPECT_DOUBLE_EQ(m.vertices[0].Y(), 25);
    EXPECT_DOUBLE_EQ(m.vertices[0].Z(), 47.5);
    EXPECT_EQ(m.vertices[0].Type(), kPlainType);
    EXPECT_NEAR(m.vertices[2].Z(), 50, 1e-12);
    EXPECT_EQ(m.faces[0].NVerts(), 3);
    EXPECT_EQ(m.faces[0].Type(), kLoadedFaceType);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(m.faces[0].VertAt(k), k);
    EXPECT_EQ(m.specialEdges[0].V1(), 0);
    EXPECT_EQ(m.specialEdges[0].V2(), 1);
    EXPECT_EQ(m.specialEdges[0].Type(), 7);
    // Not put in order.
    EXPECT_EQ(m.specialEdges[1].V1(), 2);
    EXPECT_EQ(m.specialEdges[1].V2(), 1);
}

int hookCalls = 0;
void CountHook() { ++hookCalls; }

TEST(LoadDesignFile, RebuildsTopologyAndDisplayLists)
{
    CMesh source(40, 80, 40), m(40, 80, 40);
    MakeMixed(source);
    const std::string path = TestPath("wemo.txt");
    Printed([&](std::ostream& os) { source.WriteMeshText(path, os); });
    source.GenerateEdges(std::cout);
    MakeUnitTriangle(m);
    m.displayListHook = CountHook;
    hookCalls = 0;
    m.foldParameter = 0.75;
    Printed([&](std::ostream& os) { ASSERT_TRUE(m.LoadDesignFile(path, os)); });
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(m.foldParameter, 0.75);
    ASSERT_EQ(m.nEdges, source.nEdges);
    for (int k = 0; k < m.nEdges; ++k) {
        EXPECT_EQ(m.edges[k].V1(), source.edges[k].V1());
        EXPECT_EQ(m.edges[k].V2(), source.edges[k].V2());
        EXPECT_EQ(m.edges[k].LeftFace(), source.edges[k].LeftFace());
        EXPECT_EQ(m.edges[k].RightFace(), source.edges[k].RightFace());
    }
    const CVector3d c = m.faces[1].Centre();
    EXPECT_NEAR(c.x(), (1.25 + 2 + 0 - 2) / 4, 1e-12);
    EXPECT_NEAR(m.faces[1].Normal().length(), 1.0, 1e-12);
    EXPECT_EQ(m.fixing[0].index, -1);
}

// A fan of n triangles about file vertex 1: that vertex gets n faces and n + 1 edges.
std::string FanFile(int n)
{
    std::ostringstream s;
    s << n + 2 << " " << n << " 0\n1 0 0 0 0\n";
    for (int i = 0; i <= n; ++i) s << i + 2 << " " << std::cos(i * 0.2) << " " << std::sin(i * 0.2) << " 0 0\n";
    for (int j = 0; j < n; ++j) s << j + 1 << " 3 1 " << j + 2 << " " << j + 3 << " 1\n";
    return s.str();
}

TEST(LoadDesignFile, AcceptsFifteenEdgesAtAVertex)
{
    CMesh m(40, 80, 40);
    const std::string path = TestPath("fan.txt");
    PutFile(path, FanFile(14));
    Printed([&](std::ostream& os) { EXPECT_TRUE(m.LoadDesignFile(path, os)); });
    EXPECT_EQ(m.vertices[0].NEdges(), 15);
    EXPECT_EQ(m.vertices[0].NFaces(), 14);
}

// ------------------------------------------------------------- refusals

enum class Reader { kFull, kShort, kPoints, kLoad };

struct BadFile {
    const char* label;
    Reader reader;
    std::string text;
    const char* problem; // part of the console line
};

const char* const kFullBase = "3 1 3 1\n"
                              "1 0 0 0 0  1 1  2 1 3\n"
                              "2 1 0 0 0  1 1  2 1 2\n"
                              "3 0 1 0 0  1 1  2 2 3\n"
                              "1 3 1 2 3 3  3 1 2 3\n"
                              "1 1 2 7 0 1\n2 2 3 7 0 1\n3 1 3 7 1 0\n"
                              "1 3 1 7\n";
const char* const kPointsBase = "3 1 1\n0 0 0.1 0 0\n1 0 0.1 0 0\n0 1 0.1 0 0\n3 0 1 2\n1 1 2 7\n";

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    if (at == std::string::npos) {
        ADD_FAILURE() << "fixture lacks " << from;
    } else {
        text.replace(at, from.size(), to);
    }
    return text;
}

void PrintTo(const BadFile& b, std::ostream* os) { *os << b.label; }

std::vector<BadFile> BadFiles()
{
    const std::string s = kShortBase, f = kFullBase, p = kPointsBase;
    return {
        {"ShortTruncatedInVertex", Reader::kShort, "3 1 1\n1 0 0 0 0\n2 1 0", "ends early, in vertex 2"},
        {"ShortTruncatedInSpecialEdge", Reader::kShort, s.substr(0, s.size() - 4), "ends early, in special edge 1"},
        {"ShortEmpty", Reader::kShort, "", "ends early, in the header"},
        {"ShortVerticesAboveCapacity", Reader::kShort, Replace(s, "3 1 1", "41 1 1"), "count of vertices 41"},
        {"ShortNegativeFaceCount", Reader::kShort, Replace(s, "3 1 1", "3 -1 1"), "count of faces -1"},
        {"ShortFaceOfTwo", Reader::kShort, Replace(s, "1 3 1 2 3 1", "1 2 1 2 1"), "face 1 has 2 vertices"},
        {"ShortFaceOfEleven", Reader::kShort, Replace(s, "1 3 1 2 3 1", "1 11 1 2 3 1 2 3 1 2 3 1 2 1"),
         "face 1 has 11 vertices"},
        {"ShortVertexNumberZero", Reader::kShort, Replace(s, "1 3 1 2 3 1", "1 3 0 2 3 1"), "names vertex 0"},
        {"ShortVertexNumberAboveCount", Reader::kShort, Replace(s, "1 3 1 2 3 1", "1 3 1 2 4 1"), "names vertex 4"},
        {"ShortWordForCoordinate", Reader::kShort, Replace(s, "2 1 0 0 0", "2 1 abc 0 0"),
         "\"abc\" in vertex 2 is not a number"},
        {"ShortInfiniteCoordinate", Reader::kShort, Replace(s, "2 1 0 0 0", "2 1 inf 0 0"), "is not a number"},
        {"ShortFractionForValence", Reader::kShort, Replace(s, "1 3 1 2 3 1", "1 3.0 1 2 3 1"),
         "\"3.0\" in face 1 is not a whole number"},
        {"ShortSpecialEdgeOutside", Reader::kShort, Replace(s, "1 1 2 7", "1 1 9 7"), "special edge 1 names vertex 9"},
        {"ShortPartialFixingBlock", Reader::kShort, s + "1 0.5 2", "ends early, in fixing condition 2"},
        {"FullTooManyFacesAtVertex", Reader::kFull,
         Replace(f, "1 0 0 0 0  1 1", "1 0 0 0 0  16 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1"), "vertex 1 lists 16 faces"},
        {"FullVertexNamesMissingFace", Reader::kFull, Replace(f, "1 0 0 0 0  1 1", "1 0 0 0 0  1 2"),
         "vertex 1 names face 2"},
        {"FullFaceNamesEdgeZero", Reader::kFull, Replace(f, "3  3 1 2 3", "3  3 0 2 3"), "face 1 names edge 0"},
        {"FullEdgeNamesMissingFace", Reader::kFull, Replace(f, "1 1 2 7 0 1", "1 1 2 7 0 2"), "edge 1 names face 2"},
        {"FullEdgesAboveCapacity", Reader::kFull, Replace(f, "3 1 3 1", "3 1 81 1"), "count of edges 81"},
        {"FullTruncatedInEdge", Reader::kFull, f.substr(0, f.find("3 1 3 7 1 0")), "ends early, in edge 3"},
        {"PointsFaceNamesCount", Reader::kPoints, Replace(p, "3 0 1 2", "3 0 1 3"), "names vertex 3, outside 0 to 2"},
        {"PointsTruncatedPoint", Reader::kPoints, "3 1 1\n0 0 0.1 0", "ends early, in point 1"},
        {"FullVertexListsAnEdgeAwayFromIt", Reader::kFull, Replace(f, "1 0 0 0 0  1 1  2 1 3", "1 0 0 0 0  1 1  2 1 2"),
         "vertex 1 lists edge 2, which does not touch it"},
        {"FullVertexListsAFaceWithoutIt", Reader::kFull,
         Replace(Replace(f, "3 1 3 1\n", "4 1 3 1\n"), "2 2 3\n1 3", "2 2 3\n4 5 5 5 0  1 1  0\n1 3"),
         "vertex 4 lists face 1, which does not hold it"},
        {"FullEdgeBesideAFaceWithoutIt", Reader::kFull, Replace(f, "3  3 1 2 3", "3  2 1 2"),
         "edge 3 lists face 1, which does not hold it"},
        {"FullCoordinateBeyondTheBound", Reader::kFull, Replace(f, "2 1 0 0 0", "2 -2e75 0 0 0"),
         "vertex 2 has the coordinate -2e+75, beyond +-1e75"},
        {"ShortCoordinateBeyondTheBound", Reader::kShort, Replace(s, "3 0 1 0 0", "3 0 1 1.5e75 0"),
         "vertex 3 has the coordinate 1.5e+75"},
        {"PointsScaledPastTheBound", Reader::kPoints, Replace(p, "1 0 0.1 0 0", "1 0 4.1e73 0 0"),
         "point 2 has the coordinate 1.025e+75"},
        {"PointsScaledToInfinity", Reader::kPoints, Replace(p, "1 0 0.1 0 0", "1e308 0 0.1 0 0"),
         "point 2 has the coordinate inf"},
        {"LoadVertexNumberAboveCount", Reader::kLoad, Replace(s, "1 3 1 2 3 1", "1 3 1 2 4 1"), "names vertex 4"},
        {"LoadSixteenEdgesAtAVertex", Reader::kLoad, FanFile(15), "more than 15 edges"},
        {"FullCoordinateOneStepBeyondTheBound", Reader::kFull, Replace(f, "2 1 0 0 0", "2 -1.0000000000000001e75 0 0 0"),
         "vertex 2 has the coordinate -1.0000000000000001e+75, beyond +-1e75"},
        {"ShortCoordinateJustBeyondTheBound", Reader::kShort, Replace(s, "3 0 1 0 0", "3 0 1 1.0000000001e75 0"),
         "line 4: vertex 3 has the coordinate 1.0000000001e+75, beyond +-1e75"},
        {"ShortFixingNumberWithoutAnIndex", Reader::kShort, s + "-2147483648 0.5 2 0 3 0 4 0 5 0 6 0\n",
         "line 7: fixing condition 1 names number -2147483648, outside -2147483647 to 2147483647"},
    };
}

class RefusedFile : public ::testing::TestWithParam<BadFile> {};

bool RunReader(CMesh& m, Reader r, const std::string& path, std::ostream& os)
{
    switch (r) {
    case Reader::kFull: return m.ReadMeshFile(path, os);
    case Reader::kShort: return m.ReadMeshFixed(path, os);
    case Reader::kPoints: return m.ReadMeshText(path, os);
    case Reader::kLoad: return m.LoadDesignFile(path, os);
    }
    return true;
}

// A mesh with topology, centres, fixing conditions and fold state to keep.
void MakeHeldMesh(CMesh& m)
{
    MakeMixed(m);
    m.ComputeFaceCentres();
    m.ComputeFaceNormals();
    m.GenerateEdges(std::cout);
    m.computeCentroid();
    for (int k = 0; k < 6; ++k) m.SetFixingCondition(k, k, 0.25 * k);
    m.foldParameter = 0.5;
}

void ExpectHeldMeshKept(const CMesh& m, const CPolyMeshStore& before)
{
    EXPECT_TRUE(SameRecords(before, m));
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(m.fixing[k].index, k);
        EXPECT_EQ(m.fixing[k].value, 0.25 * k);
    }
    EXPECT_EQ(m.foldParameter, 0.5);
}

TEST_P(RefusedFile, LeavesTheMeshAsItWas)
{
    const BadFile& bad = GetParam();
    CMesh m(40, 80, 40);
    MakeHeldMesh(m);
    const auto before = FullCopy<PolyMeshConfig>(m);
    const std::string path = TestPath("bad.txt");
    PutFile(path, bad.text);
    m.displayListHook = CountHook;
    hookCalls = 0;
    bool ok = true;
    const std::string console = Printed([&](std::ostream& os) { ok = RunReader(m, bad.reader, path, os); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(hookCalls, 0);
    ExpectHeldMeshKept(m, *before);
    // One line naming the file and the problem.
    ASSERT_FALSE(console.empty());
    EXPECT_EQ(console.find('\n'), console.size() - 1) << console;
    EXPECT_NE(console.find(path), std::string::npos) << console;
    EXPECT_NE(console.find(bad.problem), std::string::npos) << console;
}

INSTANTIATE_TEST_SUITE_P(Formats, RefusedFile, ::testing::ValuesIn(BadFiles()),
                         [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.label); });

struct ShownToken {
    const char* label;
    std::string token; // as the file holds it
    std::string shown; // between the quotes of the refusal line
};

void PrintTo(const ShownToken& t, std::ostream* os) { *os << t.label; }

class RefusedToken : public ::testing::TestWithParam<ShownToken> {};

// A refused token reaches the console as printable ASCII only, at most 40 of
// its bytes; a short printable token shows as it is.
TEST_P(RefusedToken, IsShownEscapedAndCut)
{
    const ShownToken& t = GetParam();
    const std::string path = TestPath("token.txt");
    const struct {
        std::string text;
        std::string problem;
    } places[] = {
        {Replace(kShortBase, "2 1 0 0 0", "2 " + t.token + " 0 0 0"), "line 3: \"" + t.shown + "\" in vertex 2 is not a number"},
        {Replace(kShortBase, "1 3 1 2 3 1", "1 3 1 2 3 " + t.token), "line 5: \"" + t.shown + "\" in face 1 is not a whole number"},
    };
    for (const auto& place : places) {
        PutFile(path, place.text);
        CMesh m(40, 80, 40);
        const std::string console = Printed([&](std::ostream& os) { EXPECT_FALSE(m.ReadMeshFixed(path, os)); });
        EXPECT_EQ(console, "file \"" + path + "\" not read, mesh unchanged: " + place.problem + "\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, RefusedToken,
    ::testing::Values(ShownToken{"Printable", "abc", "abc"}, ShownToken{"QuoteAndBackslash", "a\"b\\c", "a\"b\\c"},
                      ShownToken{"TerminalEscape", "\x1b[2J", "\\x1b[2J"},
                      ShownToken{"DeleteAndNul", std::string("1\x7f\0", 3), "1\\x7f\\x00"},
                      ShownToken{"InvalidUtf8", "\xc3(\xff", "\\xc3(\\xff"},
                      ShownToken{"ValidUtf8", "\xe2\x82\xac", "\\xe2\\x82\\xac"},
                      ShownToken{"FortyBytes", std::string(40, 'x'), std::string(40, 'x')},
                      ShownToken{"FortyOneBytes", std::string(41, 'x'), std::string(40, 'x') + "..."},
                      ShownToken{"EscapeAtTheCut", std::string(39, 'x') + "\x1b" + "x", std::string(39, 'x') + "\\x1b..."},
                      ShownToken{"LongBinary", std::string(300, '\xff'), [] {
                                     std::string s;
                                     for (int i = 0; i < 40; ++i) s += "\\xff";
                                     return s + "...";
                                 }()}),
    [](const ::testing::TestParamInfo<ShownToken>& info) { return std::string(info.param.label); });

TEST(ShortFormat, FixingNumbersReadUpToTheIntLimits)
{
    CMesh m(10, 20, 10);
    const std::string path = TestPath("fixed.txt");
    PutFile(path, std::string(kShortBase) + "0 1  -2147483647 2  2147483647 3  1 4  -5 5  2 6\n");
    Printed([&](std::ostream& os) { ASSERT_TRUE(m.ReadMeshFixed(path, os)); });
    const int indices[6] = {-1, -2147483647 - 1, 2147483646, 0, -6, 1};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(m.fixing[k].index, indices[k]);
        EXPECT_EQ(m.fixing[k].value, k + 1.0);
    }
}

TEST(Readers, UnopenableFileIsReportedAndChangesNothing)
{
    const std::string dir = TestPath("dir");
    std::filesystem::create_directories(dir);
    for (const std::string& name : {TestPath("missing.txt"), dir}) {
        for (Reader r : {Reader::kFull, Reader::kShort, Reader::kPoints, Reader::kLoad}) {
            CMesh m(40, 80, 40);
            MakeHeldMesh(m);
            const auto before = FullCopy<PolyMeshConfig>(m);
            bool ok = true;
            EXPECT_EQ(Printed([&](std::ostream& os) { ok = RunReader(m, r, name, os); }), kOpenFailure) << name;
            EXPECT_FALSE(ok);
            ExpectHeldMeshKept(m, *before);
        }
    }
}

TEST(Writers, UnwritableFileIsReported)
{
    const std::string dir = TestPath("dir");
    std::filesystem::create_directories(dir);
    std::vector<std::string> names = {dir};
    if (std::filesystem::exists("/dev/full")) names.push_back("/dev/full");
    CMesh m(40, 80, 40);
    MakeMixed(m);
    for (const std::string& name : names) {
        bool results[3] = {true, true, true};
        const std::string console = Printed([&](std::ostream& os) {
            results[0] = m.WriteMeshText(name, os);
            results[1] = m.WriteMeshCSource(name, os);
            results[2] = m.WriteMeshFile(name, os);
        });
        EXPECT_EQ(console, std::string(kOpenFailure) + kOpenFailure + kOpenFailure) << name;
        for (bool r : results) EXPECT_FALSE(r) << name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir));
}

TEST(Readers, CoordinatesAtTheBoundGiveFiniteCentresAndNormals)
{
    CMesh m(40, 80, 40);
    const std::string path = TestPath("far.txt");
    PutFile(path, "3 1 0\n1 1e75 -1e75 1e75 0\n2 -1e75 1e75 -1e75 0\n3 1e75 1e75 -1e75 0\n1 3 1 2 3 1\n");
    Printed([&](std::ostream& os) { ASSERT_TRUE(m.LoadDesignFile(path, os)); });
    const CVector3d c = m.faces[0].Centre(), n = m.faces[0].Normal();
    for (double v : {c.x(), c.y(), c.z(), n.x(), n.y(), n.z()}) EXPECT_TRUE(std::isfinite(v));
    EXPECT_NEAR(n.length(), 1.0, 1e-12);
}

// 10000 vertices and faces: a quad and a triangle over the last vertices with
// five-digit types, then plain triangles; one special edge with an
// eight-digit type.
void MakeFiveDigitMesh(CMesh& m)
{
    m.nVertices = 10000;
    for (int i = 0; i < m.nVertices; ++i) m.vertices[i].Set(0, 0, 0, 0);
    const int quad[] = {9996, 9997, 9998, 9999}, last[] = {9997, 9998, 9999}, first[] = {0, 1, 2};
    m.nFaces = 10000;
    m.faces[0].Set(4, quad, 12345);
    m.faces[1].Set(3, last, 54321);
    for (int j = 2; j < m.nFaces; ++j) m.faces[j].Set(3, first, 1);
    m.nSpecialEdges = 1;
    m.specialEdges[0].Set(9999, 9998, 12345678, -1, -1);
}

std::string LineOf(const std::string& text, int number)
{
    std::istringstream in(text);
    std::string line;
    for (int k = 0; k <= number && std::getline(in, line); ++k) {
    }
    return line;
}

// A field that fills its width gets a blank only where it would touch the
// number before it; at the start of a line, after a blank or after a comma
// the bytes stay as the plain widths make them.
TEST(Writers, FullFieldsAreSeparatedOnlyAfterANumber)
{
    enum class Out { kShort, kFull, kTable };
    const struct {
        Out file;
        int line;
        const char* text;
    } cases[] = {
        {Out::kShort, 0, "10000 10000    1"},
        {Out::kShort, 10000, "10000                0                0                0  0"},
        {Out::kShort, 10001, "    1   4 9997 9998 9999 10000 12345"},
        {Out::kShort, 10002, "    2   3 9998 9999 10000     54321"},
        {Out::kShort, 10003, "    3   3    1    2    3         1"},
        {Out::kShort, 20000, "10000   3    1    2    3         1"},
        {Out::kShort, 20001, "    1   10000  9999 12345678"},
        {Out::kFull, 0, "  10000  10000      0      1"},
        {Out::kFull, 10000, "  10000            0            0            0     0        0        0"},
        {Out::kFull, 10001, "    1    4   9997   9998   9999  10000 12345        0"},
        {Out::kFull, 10002, "    2    3   9998   9999  10000 54321        0"},
        {Out::kFull, 20000, "10000    3      1      2      3    1        0"},
        {Out::kFull, 20001, "    1   10000  9999 12345678"},
        {Out::kTable, 0, "   static const int _n?[3] = { 10000, 10000, 0 };"},
        {Out::kTable, 10005, "      4,  9997, 9998, 9999,10000,12345,"},
        {Out::kTable, 10006, "      3,  9998, 9999,10000,      54321,"},
        {Out::kTable, 10007, "      3,     1,    2,    3,          1,"},
    };
    CMesh m(10000, 10, 10000);
    MakeFiveDigitMesh(m);
    const std::string shortPath = TestPath("wemo.txt"), fullPath = TestPath("wp.txt");
    const std::string tablePath = TestPath("crInc.txt");
    Printed([&](std::ostream& os) {
        ASSERT_TRUE(m.WriteMeshText(shortPath, os));
        ASSERT_TRUE(m.WriteMeshFile(fullPath, os));
        ASSERT_TRUE(m.WriteMeshCSource(tablePath, os));
    });
    const std::string shortText = FileText(shortPath), fullText = FileText(fullPath), table = FileText(tablePath);
    for (const auto& c : cases) {
        const std::string& text = c.file == Out::kShort ? shortText : c.file == Out::kFull ? fullText : table;
        EXPECT_EQ(LineOf(text, c.line), c.text) << "line " << c.line;
    }
}

// Counts and vertex types, face types and edge types that fill their columns.
TEST(Writers, AMeshAtTheStoreCapacityComesBack)
{
    CMesh source;
    FillCapacityMesh(source, 40, 25, 12345);
    ASSERT_EQ(source.nEdges, PolyMeshConfig::kEdgeCapacity);
    ASSERT_EQ(source.nFaces, PolyMeshConfig::kFaceCapacity);
    const std::string shortPath = TestPath("wemo.txt"), tablePath = TestPath("crInc.txt"), fullPath = TestPath("wp.txt");
    Printed([&](std::ostream& os) {
        ASSERT_TRUE(source.WriteMeshText(shortPath, os));
        ASSERT_TRUE(source.WriteMeshCSource(tablePath, os));
        ASSERT_TRUE(source.WriteMeshFile(fullPath, os));
    });
    CMesh full, shortBack;
    Printed([&](std::ostream& os) {
        EXPECT_TRUE(full.ReadMeshFile(fullPath, os));
        EXPECT_TRUE(shortBack.ReadMeshFixed(shortPath, os));
    });
    EXPECT_TRUE(SameInUse(source, full));
    // The short format carries neither generated edges nor incidence.
    const auto expected = FullCopy<PolyMeshConfig>(source);
    expected->nEdges = 0;
    for (int i = 0; i < expected->nVertices; ++i) expected->vertices[i].ResetIncidence();
    for (int j = 0; j < expected->nFaces; ++j) expected->faces[j].nEdges = 0;
    EXPECT_TRUE(SameInUse(*expected, shortBack));
    EXPECT_TRUE(TablesHoldMesh(ParseSourceTables(FileText(tablePath)), source, 1.0));
}

// Whatever a reader leaves in the mesh, the full writer writes only incidence
// that its reader takes back.
TEST(FullFormat, WrittenAfterEveryReaderReadsBack)
{
    const struct {
        Reader reader;
        const char* text;
        bool incidence; // the reader brings incidence lists
    } cases[] = {{Reader::kFull, kFullBase, true},
                 {Reader::kShort, kShortBase, false},
                 {Reader::kPoints, kPointsBase, false},
                 {Reader::kLoad, kShortBase, true}};
    for (const auto& c : cases) {
        CMesh m(40, 80, 40), back(40, 80, 40);
        MakeHeldMesh(m);
        const std::string in = TestPath("in.txt"), out = TestPath("wp.txt");
        PutFile(in, c.text);
        Printed([&](std::ostream& os) {
            ASSERT_TRUE(RunReader(m, c.reader, in, os));
            ASSERT_TRUE(m.WriteMeshFile(out, os));
            ASSERT_TRUE(back.ReadMeshFile(out, os));
        });
        ASSERT_EQ(back.nVertices, 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(back.vertices[i].NFaces(), c.incidence ? 1 : 0) << static_cast<int>(c.reader);
            EXPECT_EQ(back.vertices[i].NEdges(), c.incidence ? 2 : 0) << static_cast<int>(c.reader);
        }
    }
}

// Lists that name records beyond the counts (the counts cut after edge
// generation) are written as far as the counts define them.
TEST(FullFormat, ListsBeyondTheCountsAreNotWritten)
{
    CMesh m(40, 80, 40), back(40, 80, 40);
    MakeHeldMesh(m);
    m.nFaces = 1;
    m.nEdges = 2;
    const std::string out = TestPath("wp.txt");
    Printed([&](std::ostream& os) {
        ASSERT_TRUE(m.WriteMeshFile(out, os));
        ASSERT_TRUE(back.ReadMeshFile(out, os));
    });
    for (int i = 0; i < back.nVertices; ++i) {
        for (int k = 0; k < back.vertices[i].NFaces(); ++k) EXPECT_EQ(back.vertices[i].FaceAt(k), 0);
        for (int k = 0; k < back.vertices[i].NEdges(); ++k) EXPECT_LT(back.vertices[i].EdgeAt(k), 2);
    }
    EXPECT_EQ(back.vertices[0].NFaces(), 1); // of its three faces, only face 0 is within the count
}

// A FIFO or a file longer than any file a mesh of the store fills is refused
// unread with one line; a file right at the bound is read.
TEST(Readers, OnlyRegularFilesOfBoundedSize)
{
    for (Reader r : {Reader::kFull, Reader::kShort, Reader::kPoints, Reader::kLoad}) {
        CMesh m(40, 80, 40);
        MakeHeldMesh(m);
        const auto before = FullCopy<PolyMeshConfig>(m);
        const std::string fifo = TestPath("fifo.txt"), large = TestPath("large.txt");
        std::filesystem::remove(fifo);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        const long long tokens = r == Reader::kFull     ? FullFormatTokens(m)
                                 : r == Reader::kPoints ? PointsFormatTokens(m)
                                                        : ShortFormatTokens(m);
        const std::string text = r == Reader::kFull ? kFullBase : r == Reader::kPoints ? kPointsBase : kShortBase;
        const std::size_t bound = static_cast<std::size_t>(tokens * kBytesPerToken);
        PutFile(large, text + std::string(bound - text.size() + 1, ' '));
        const std::pair<std::string, std::string> refused[] = {{fifo, "not a regular file"},
                                                               {large, "more than " + std::to_string(bound)}};
        for (const auto& entry : refused) {
            // Plain references, not a structured binding: clang 14 lets no lambda capture one.
            const std::string& path = entry.first;
            const std::string& problem = entry.second;
            bool ok = true;
            const std::string console = Printed([&](std::ostream& os) { ok = RunReader(m, r, path, os); });
            EXPECT_FALSE(ok);
            EXPECT_EQ(console.find('\n'), console.size() - 1) << console;
            EXPECT_NE(console.find(path), std::string::npos) << console;
            EXPECT_NE(console.find(problem), std::string::npos) << console;
            ExpectHeldMeshKept(m, *before);
        }
        std::filesystem::resize_file(large, bound);
        Printed([&](std::ostream& os) { EXPECT_TRUE(RunReader(m, r, large, os)); });
    }
}

// ------------------------------------------------------------------ dump

TEST(DumpMesh, EmptyMeshPrintsCountsAndSeparator)
{
    CMesh m(4, 8, 4);
    EXPECT_EQ(Printed([&](std::ostream& os) { m.DumpMesh(os); }),
              std::string(49, ' ') + "0 vertices\n\n" + std::string(49, ' ') + "0 faces\n\n" +
                  std::string(49, ' ') + "0 edges:\n\n" + std::string(63, '=') + "\n");
}

TEST(DumpMesh, TriangleListingAndScript)
{
    CMesh m(4, 8, 4);
    MakeUnitTriangle(m);
    EXPECT_EQ(Printed([&](std::ostream& os) { m.DumpMesh(os); }),
              "                                                 3 vertices\n"
              "V  0: ( 0.00, 0.00, 0.00)  2 E,  1 F : ENr:  0, 2,       FNr:  0,\n"
              "V  1: ( 1.00, 0.00, 0.00)  2 E,  1 F : ENr:  0, 1,       FNr:  0,\n"
              "V  2: ( 0.00, 1.00, 0.00)  2 E,  1 F : ENr:  1, 2,       FNr:  0,\n"
              "\n"
              "                                                 1 faces\n"
              "F  0:  3 V,  3 E : VNr:  0, 1, 2, ENr:  0, 1, 2,\n"
              "\n"
              "                                                 3 edges:\n"
              "edge  0  :  v1= 0, v2= 1, left face=-1, right face= 0\n"
              "edge  1  :  v1= 1, v2= 2, left face=-1, right face= 0\n"
              "edge  2  :  v1= 0, v2= 2, left face= 0, right face=-1\n"
              "\n"
              "===============================================================\n"
              "DefPoi( 0, 13.5000,   9.5000);\n"
              "DefPoi( 0, 24.5000,   9.5000);\n"
              "DefPoi( 0, 13.5000,  20.5000);\n"
              "DefPoR( 0,  5, 0.1, 0.1);\n"
              "ScrStr('p0');\n"
              "Script(  8,  0.0,  0.0,  0,  0,  0.75,  2,  8,  0);\n"
              "DefPoR( 0,  6, 0.1, 0.1);\n"
              "ScrStr('p1');\n"
              "Script(  9,  0.0,  0.0,  0,  0,  0.75,  2,  8,  0);\n"
              "DefPoR( 0,  7, 0.1, 0.1);\n"
              "ScrStr('p2');\n"
              "Script( 10,  0.0,  0.0,  0,  0,  0.75,  2,  8,  0);\n"
              "JoinPo( 5,  5,  6, 0.2, 2, 1, 1, 0);\n"
              "MidPoi(  5,  6);\n"
              "ScrStr('e0');\n"
              "Script( 11,  0.0,  0.0,  0,  0,  0.75,  4,  8,  0);\n"
              "JoinPo( 5,  6,  7, 0.2, 2, 1, 1, 0);\n"
              "MidPoi(  6,  7);\n"
              "ScrStr('e1');\n"
              "Script( 12,  0.0,  0.0,  0,  0,  0.75,  4,  8,  0);\n"
              "JoinPo( 5,  5,  7, 0.2, 2, 1, 1, 0);\n"
              "MidPoi(  5,  7);\n"
              "ScrStr('e2');\n"
              "Script( 13,  0.0,  0.0,  0,  0,  0.75,  4,  8,  0);\n"
              "MidPoi(  5,  7);\n"
              "ScrStr('f0');\n"
              "Script( 14,  0.0,  0.0,  0,  0,  0.75,  1,  8,  0);\n");
}

} // namespace
