// The design viewer's design files, text export and source tables.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "crimpa/core/DesignFiles.h"
#include "mesh/MeshFileIO.h"
#include "mesh/MeshTextFormats.h"
#include "tests/formats/FormatTestUtil.h"

// Allocations from this size on fail while a test sets it, as they would when
// a file asks for more memory than the machine has.
static std::size_t failAllocationsFrom = static_cast<std::size_t>(-1);

void* operator new(std::size_t size)
{
    if (size >= failAllocationsFrom) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
// The replacement pair allocates with malloc, so free is the matching release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

const char* const kOpenFailure = "Datei kann nicht geoeffnet werden!\n";

int hookCalls = 0;
void CountHook() { ++hookCalls; }

// One triangle of type 2 with a negative zero and tiny coordinates, its
// generated edges and one special edge.
void MakeDesignTriangle(CMesh& m)
{
    m.nVertices = 3;
    m.vertices[0].Set(1, -2, 1e-11, 3);
    m.vertices[1].Set(-0.0, 0.5, 3e-11, 1);
    m.vertices[2].Set(2.5, 1, -1.0 / 3.0, 0);
    const int tri[] = {0, 1, 2};
    m.nFaces = 1;
    m.faces[0].Set(3, tri, 2);
    Printed([&](std::ostream& os) { m.GenerateEdges(os); });
    m.nSpecialEdges = 1;
    m.specialEdges[0].Set(2, 0, 1, -1, -1);
}

// A store of the viewer's real capacities in theMesh's place for one test.
class CFullSizeMesh {
public:
    CFullSizeMesh() { theMesh.SwapGeometry(store); }
    ~CFullSizeMesh() { theMesh.SwapGeometry(store); }
    CFullSizeMesh(const CFullSizeMesh&) = delete;
    CFullSizeMesh& operator=(const CFullSizeMesh&) = delete;

private:
    CMesh store;
};

// theMesh at its capacities, as the design viewer shows it.
void FillShownCapacityMesh()
{
    FillCapacityMesh(theMesh, 280, 250, 0);
    theMesh.ComputeFaceCentres();
    theMesh.ComputeFaceNormals();
}

class DesignFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        theMesh.nVertices = theMesh.nFaces = theMesh.nEdges = theMesh.nSpecialEdges = 0;
        MakeDesignTriangle(theMesh);
        theMesh.ComputeFaceCentres();
        theMesh.ComputeFaceNormals();
        theMesh.displayListHook = CountHook;
        hookCalls = 0;
        builtInDesignShown = true;
    }
    void TearDown() override { theMesh.displayListHook = nullptr; }
};

TEST_F(DesignFiles, TextExportLayout)
{
    const std::string path = TestPath("wemo.txt");
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = WriteMeshText(path, os); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(console, "write 3 vertices ... ");
    // Vertex types as 0, third count 0, generated edges before special edges;
    // nine blanks between a triangle's last corner and its type.
    EXPECT_EQ(FileText(path), "    3    1    0\n"
                              "    1             1            -2         1e-11  0\n"
                              "    2             0           0.5         3e-11  0\n"
                              "    3           2.5             1     -0.333333  0\n"
                              "    1   3    1    2    3         2\n"
                              "    1       1     2       7\n"
                              "    2       2     3       7\n"
                              "    3       1     3       7\n"
                              "    1       3     1       1\n");
}

TEST_F(DesignFiles, SourceTableHalvesCoordinates)
{
    const std::string path = TestPath("crInc.txt");
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = WriteMeshCSource(path, os); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(console, "write 3 vertices ... ");
    EXPECT_EQ(FileText(path), "   static const int _n[3] = { 3, 1, 0 };\n"
                              "   static const double _v[3][4] = {  // vertices\n"
                              "      {            0.5,               -1,                0,  0},\n"
                              "      {              0,             0.25,                0,  0},\n"
                              "      {           1.25,              0.5,  -0.166666666667,  0},\n"
                              "   };\n"
                              "\n"
                              "   static const int _f[] = {     // faces\n"
                              "      3,     1,    2,    3,          2,\n"
                              "   };\n");
}

TEST_F(DesignFiles, ReaderFillsRecordsAndPrintsProgress)
{
    CMesh into(10, 20, 10);
    MakeDesignTriangle(into);
    const CEdge heldEdge = into.edges[1];
    const std::string path = TestPath("one.cqv");
    PutFile(path, "4 1 1\n1 0 0 0 1\n2 1 0 0 2\n3 0 1 0 3\n4 1 1 0 0\n1 3 1 2 3 5\n1 4 2 1\n");
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = ReadMeshText(path, into, os); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(console, "read 4 points ... done\nread 1 faces ... done\nread 1 edges ... done reading\n");
    // The old edges no longer count, but the reader itself does not clear them.
    EXPECT_EQ(into.nEdges, 0);
    EXPECT_EQ(into.edges[1].V1(), heldEdge.V1());
    EXPECT_EQ(into.edges[1].V2(), heldEdge.V2());
    EXPECT_EQ(into.faces[0].NEdges(), 0);
    EXPECT_EQ(into.nFaces, 1);
    EXPECT_EQ(into.faces[0].Type(), 5);
    EXPECT_EQ(into.faces[0].NVerts(), 3);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(into.faces[0].VertAt(k), k);
    EXPECT_EQ(into.vertices[2].Type(), 3);
    // The two vertex numbers are not put in order.
    const CEdge& s = into.specialEdges[0];
    EXPECT_EQ(s.V1(), 3);
    EXPECT_EQ(s.V2(), 1);
    EXPECT_EQ(s.LeftFace(), -1);
    EXPECT_EQ(s.RightFace(), -1);
    EXPECT_EQ(s.Type(), 1);
    EXPECT_EQ(theMesh.nVertices, 3);
}

TEST_F(DesignFiles, LineBreaksCarryNoMeaning)
{
    const std::string records = "3 1 0 1 0 0 0 1 2 1 0 0 2 3 0 1 0 3 1 3 1 2 3 5";
    CMesh a(10, 20, 10), b(10, 20, 10);
    PutFile(TestPath("a.cqv"), records);
    std::string split = records;
    for (std::size_t i = 0; i < split.size(); i += 6)
        if (split[i] == ' ') split[i] = '\n';
    PutFile(TestPath("b.cqv"), split + "\n\n");
    Printed([&](std::ostream& os) {
        ASSERT_TRUE(ReadMeshText(TestPath("a.cqv"), a, os));
        ASSERT_TRUE(ReadMeshText(TestPath("b.cqv"), b, os));
    });
    EXPECT_TRUE(SameRecords(a, b));
}

TEST_F(DesignFiles, ExportLoadsBackWithGeneratedEdges)
{
    const std::string path = TestPath("wemo.txt");
    Printed([&](std::ostream& os) { WriteMeshText(path, os); });
    CMesh original(40, 80, 40);
    MakeDesignTriangle(original);
    theMesh.nVertices = 0;
    theMesh.nFaces = 0;
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = LoadDesignFile(path, os); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(console, "read 3 points ... done\nread 1 faces ... done\nread 0 edges ... done reading\n"
                       ".\n generated 3 edges\n");
    EXPECT_FALSE(builtInDesignShown);
    EXPECT_EQ(hookCalls, 1);
    ASSERT_EQ(theMesh.nVertices, 3);
    EXPECT_EQ(theMesh.nSpecialEdges, 0);
    for (int i = 0; i < 3; ++i) {
        const auto &a = original.vertices[i], &b = theMesh.vertices[i];
        EXPECT_TRUE(SixDigits(b.X(), a.X() + 0.0) && SixDigits(b.Y(), a.Y() + 0.0) && SixDigits(b.Z(), a.Z()));
        EXPECT_EQ(b.Type(), 0);
    }
    EXPECT_EQ(theMesh.faces[0].Type(), 2);
    ASSERT_EQ(theMesh.nEdges, original.nEdges);
    for (int k = 0; k < original.nEdges; ++k) {
        EXPECT_EQ(theMesh.edges[k].V1(), original.edges[k].V1());
        EXPECT_EQ(theMesh.edges[k].V2(), original.edges[k].V2());
        EXPECT_EQ(theMesh.edges[k].Type(), original.edges[k].Type());
    }
    EXPECT_NEAR(theMesh.faces[0].Normal().length(), 1.0, 1e-12);
    EXPECT_NEAR(theMesh.faces[0].Centre().x(), 3.5 / 3, 1e-12);
}

// n triangles about file vertex 1 (n + 1 edges there); `copies` repeats the first.
std::string FanFile(int n, int copies = 1)
{
    std::ostringstream s;
    const int faces = n + copies - 1;
    s << n + 2 << " " << faces << " 0\n1 0 0 0 0\n";
    for (int i = 0; i <= n; ++i) s << i + 2 << " " << i << " 1 0 0\n";
    for (int j = 0; j < faces; ++j) {
        const int first = j < copies ? 0 : j - copies + 1;
        s << j + 1 << " 3 1 " << first + 2 << " " << first + 3 << " 1\n";
    }
    return s.str();
}

TEST_F(DesignFiles, TwelveEdgesAtAVertexFit)
{
    const std::string path = TestPath("fan.cqv");
    PutFile(path, FanFile(11));
    Printed([&](std::ostream& os) { ASSERT_TRUE(LoadDesignFile(path, os)); });
    EXPECT_EQ(theMesh.vertices[0].NEdges(), 12);
}

struct BadDesign {
    const char* label;
    std::string text;
    std::string problem;
    bool readerTakesIt = false; // only edge generation shows the fault
};

const char* const kBase = "3 1 1\n1 0 0 0 0\n2 1 0 0 0\n3 0 1 0 0\n1 3 1 2 3 1\n1 1 2 7\n";

void PrintTo(const BadDesign& b, std::ostream* os) { *os << b.label; }

std::vector<BadDesign> BadDesigns()
{
    const std::string b = kBase;
    const std::string vertexCount = std::to_string(DesignMeshConfig::kVertexCapacity + 1);
    const std::string edgeCount = std::to_string(DesignMeshConfig::kEdgeCapacity + 1);
    auto with = [&b](const std::string& from, const std::string& to) {
        std::string t = b;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    return {
        {"Truncated", b.substr(0, b.find("3 0 1 0 0") + 5), "ends early, in vertex 3"},
        {"VerticesAboveCapacity", with("3 1 1", vertexCount + " 1 1"), "count of vertices " + vertexCount},
        {"SpecialEdgesAboveCapacity", with("3 1 1", "3 1 " + edgeCount), "count of special edges " + edgeCount},
        {"FaceOfTwo", with("1 3 1 2 3 1", "1 2 1 2 1"), "face 1 has 2 vertices"},
        {"FaceOfEleven", with("1 3 1 2 3 1", "1 11 1 2 3 1 2 3 1 2 3 1 2 1"), "face 1 has 11 vertices"},
        {"VertexNumberZero", with("1 3 1 2 3 1", "1 3 1 0 3 1"), "names vertex 0"},
        {"VertexNumberAboveCount", with("1 3 1 2 3 1", "1 3 1 2 4 1"), "names vertex 4"},
        {"WordForType", with("1 3 1 2 3 1", "1 3 1 2 3 red"), "\"red\" in face 1 is not a whole number"},
        {"TerminalEscapeForType", with("1 3 1 2 3 1", "1 3 1 2 3 \x1b[2J\x1b[H"),
         ": line 5: \"\\x1b[2J\\x1b[H\" in face 1 is not a whole number\n"},
        {"CoordinateJustBeyondTheBound", with("2 1 0 0 0", "2 1 1.0000000001e75 0 0"),
         ": line 3: vertex 2 has the coordinate 1.0000000001e+75, beyond +-1e75\n"},
        {"ThirteenEdgesAtAVertex", FanFile(12), "more than 12 edges or 13 face entries", true},
        {"FourteenFacesAtAVertex", FanFile(1, 14), "more than 12 edges or 13 face entries", true},
    };
}

class RefusedDesign : public DesignFiles, public ::testing::WithParamInterface<BadDesign> {};

TEST_P(RefusedDesign, LeavesTheShownMeshAlone)
{
    const auto before = FullCopy(theMesh);
    const std::string path = TestPath("bad.cqv");
    PutFile(path, GetParam().text);
    bool ok = true;
    const std::string console = Printed([&](std::ostream& os) { ok = LoadDesignFile(path, os); });
    EXPECT_FALSE(ok);
    EXPECT_TRUE(SameRecords(*before, theMesh));
    EXPECT_TRUE(builtInDesignShown);
    EXPECT_EQ(hookCalls, 0);
    ASSERT_FALSE(console.empty());
    EXPECT_EQ(console.find('\n'), console.size() - 1) << console;
    EXPECT_NE(console.find(path), std::string::npos) << console;
    EXPECT_NE(console.find(GetParam().problem), std::string::npos) << console;

    CMesh into(40, 80, 40);
    const auto empty = FullCopy(into);
    Printed([&](std::ostream& os) { EXPECT_EQ(ReadMeshText(path, into, os), GetParam().readerTakesIt); });
    if (!GetParam().readerTakesIt) {
        EXPECT_TRUE(SameRecords(*empty, into));
    }
}

INSTANTIATE_TEST_SUITE_P(Designs, RefusedDesign, ::testing::ValuesIn(BadDesigns()),
                         [](const ::testing::TestParamInfo<BadDesign>& info) { return std::string(info.param.label); });

TEST_F(DesignFiles, MissingFileIsReportedWithoutExit)
{
    const auto before = FullCopy(theMesh);
    bool ok = true;
    EXPECT_EQ(Printed([&](std::ostream& os) { ok = LoadDesignFile(TestPath("missing.cqv"), os); }), kOpenFailure);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(SameRecords(*before, theMesh));
    EXPECT_TRUE(builtInDesignShown);
}

TEST_F(DesignFiles, WriteIntoADirectoryIsReported)
{
    const std::string dir = TestPath("dir");
    std::filesystem::create_directories(dir);
    bool text = true, table = true;
    const std::string console = Printed([&](std::ostream& os) {
        text = WriteMeshText(dir, os);
        table = WriteMeshCSource(dir, os);
    });
    EXPECT_EQ(console, std::string(kOpenFailure) + kOpenFailure);
    EXPECT_FALSE(text);
    EXPECT_FALSE(table);
}

// Five-digit counts, vertex numbers and face types: "wemo.txt" and "crInc.txt"
// of a mesh at the store's capacity hold it whole.
TEST_F(DesignFiles, AMeshAtTheStoreCapacityComesBack)
{
    CFullSizeMesh full;
    FillShownCapacityMesh();
    ASSERT_EQ(theMesh.nVertices, DesignMeshConfig::kVertexCapacity);
    ASSERT_EQ(theMesh.nFaces, DesignMeshConfig::kFaceCapacity);
    ASSERT_GE(theMesh.nEdges, DesignMeshConfig::kEdgeCapacity - 1);
    const auto expected = FullCopy(theMesh);
    expected->nSpecialEdges = 0; // the text export counts no special edges
    const std::string text = TestPath("wemo.txt"), table = TestPath("crInc.txt");
    Printed([&](std::ostream& os) {
        ASSERT_TRUE(WriteMeshText(text, os));
        ASSERT_TRUE(WriteMeshCSource(table, os));
    });
    // A full count at the start of a line, or a vertex number after a comma,
    // touches no number and keeps the plain width.
    EXPECT_EQ(FileText(text).substr(0, 17), "70000 70000    0\n");
    EXPECT_NE(FileText(table).find(",70000,"), std::string::npos);
    theMesh.nVertices = theMesh.nFaces = theMesh.nEdges = theMesh.nSpecialEdges = 0;
    bool ok = false;
    const std::string console = Printed([&](std::ostream& os) { ok = LoadDesignFile(text, os); });
    ASSERT_TRUE(ok) << console.substr(0, 300);
    EXPECT_TRUE(SameInUse(*expected, theMesh));
    EXPECT_TRUE(TablesHoldMesh(ParseSourceTables(FileText(table)), *expected, 0.5));
}

// The load copies only what the file can reach, and still changes nothing
// unless the whole file is good.
TEST_F(DesignFiles, ASmallFileAfterALargeMeshGivesJustTheSmallMesh)
{
    CFullSizeMesh full;
    const std::string small = TestPath("small.cqv"), bad = TestPath("bad.cqv");
    PutFile(small, kBase);
    PutFile(bad, std::string(kBase).substr(0, 40));
    Printed([&](std::ostream& os) { ASSERT_TRUE(LoadDesignFile(small, os)); });
    const auto expected = FullCopy(theMesh);

    FillShownCapacityMesh();
    const auto large = FullCopy(theMesh);
    Printed([&](std::ostream& os) { EXPECT_FALSE(LoadDesignFile(bad, os)); });
    EXPECT_TRUE(SameRecords(*large, theMesh));
    Printed([&](std::ostream& os) { ASSERT_TRUE(LoadDesignFile(small, os)); });
    EXPECT_TRUE(SameInUse(*expected, theMesh));

    // The reader alone leaves no incidence of the earlier mesh either.
    CMesh into;
    FillCapacityMesh(into, 280, 250, 0);
    Printed([&](std::ostream& os) { ASSERT_TRUE(ReadMeshText(small, into, os)); });
    EXPECT_EQ(into.nEdges, 0);
    for (int i = 0; i < into.nVertices; ++i) {
        EXPECT_EQ(into.vertices[i].NFaces(), 0);
        EXPECT_EQ(into.vertices[i].NEdges(), 0);
    }
}

// A FIFO would block the viewer, a file of gigabytes would fill its memory:
// both are refused unread with one line. The bound is that of the real store.
TEST_F(DesignFiles, OnlyRegularFilesOfBoundedSizeAreRead)
{
    CFullSizeMesh full;
    FillShownCapacityMesh();
    const auto large = FullCopy(theMesh);
    EXPECT_EQ(ShortFormatTokens(theMesh) * kBytesPerToken, 76160480);
    const std::string fifo = TestPath("fifo.cqv"), huge = TestPath("huge.cqv");
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    PutFile(huge, kBase);
    std::filesystem::resize_file(huge, 3ull << 30);
    const std::pair<std::string, const char*> refused[] = {{fifo, "not a regular file"},
                                                           {huge, "more than 76160480 bytes"}};
    for (const auto& entry : refused) {
        // Plain references, not a structured binding: clang 14 lets no lambda capture one.
        const std::string& path = entry.first;
        const char* const problem = entry.second;
        bool ok = true;
        const std::string console = Printed([&](std::ostream& os) { ok = LoadDesignFile(path, os); });
        EXPECT_FALSE(ok);
        EXPECT_EQ(console.find('\n'), console.size() - 1) << console;
        EXPECT_NE(console.find(path), std::string::npos) << console;
        EXPECT_NE(console.find(problem), std::string::npos) << console;
        EXPECT_TRUE(SameRecords(*large, theMesh));
        EXPECT_EQ(hookCalls, 0);
    }
    std::filesystem::remove(huge);
}

TEST_F(DesignFiles, RunningOutOfMemoryRefusesTheFile)
{
    CFullSizeMesh full;
    FillShownCapacityMesh();
    const auto large = FullCopy(theMesh);
    const std::string path = TestPath("small.cqv");
    PutFile(path, kBase + std::string(1 << 17, '\n')); // its text alone needs more than may be had
    bool ok = true;
    failAllocationsFrom = 1 << 16;
    const std::string console = Printed([&](std::ostream& os) { ok = LoadDesignFile(path, os); });
    failAllocationsFrom = static_cast<std::size_t>(-1);
    EXPECT_FALSE(ok);
    EXPECT_EQ(console, "file \"" + path + "\" not read, mesh unchanged: not enough memory to read it\n");
    EXPECT_TRUE(SameRecords(*large, theMesh));
    EXPECT_EQ(hookCalls, 0);
}

} // namespace
