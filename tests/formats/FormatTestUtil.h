#pragma once
// Helpers of the format tests: file text, the text an operation prints and a
// record-by-record comparison of two stores.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "mesh/MeshStore.h"
#include "tests/support/TestDirectory.h"

inline void PutFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// What f(os) prints on the stream it is given.
template <class F>
std::string Printed(F f)
{
    std::ostringstream os;
    f(os);
    return os.str();
}

// A copy of every record to the full capacity, for comparing a store with
// itself after an operation.
template <class Config>
std::unique_ptr<CMeshStore<Config>> FullCopy(const CMeshStore<Config>& m)
{
    std::unique_ptr<CMeshStore<Config>> s(new CMeshStore<Config>(m.vertexCapacity, m.edgeCapacity, m.faceCapacity));
    static_cast<CMeshHeader&>(*s) = m;
    CMeshStore<Config>::Geometry::ForEachArray(*s, m, [](auto* to, const auto* from, int&, int, int capacity) {
        std::copy(from, from + capacity, to);
    });
    return s;
}

// The header (counts, capacities, centroid) of two stores and their records:
// with wholeCapacity every record to the full capacity, else the records that
// the counts put in use.
template <class Config>
::testing::AssertionResult CompareStores(const CMeshStore<Config>& a, const CMeshStore<Config>& b, bool wholeCapacity)
{
    const CMeshHeader& ha = a;
    const CMeshHeader& hb = b;
    if (!(ha == hb))
        return ::testing::AssertionFailure() << "counts, capacities or centroid differ: " << a.nVertices << " "
                                             << a.nFaces << " " << a.nEdges << " " << a.nSpecialEdges << " against "
                                             << b.nVertices << " " << b.nFaces << " " << b.nEdges << " "
                                             << b.nSpecialEdges;
    // A record as far as it is in use (edges have no lists).
    auto inUse = [wholeCapacity](auto r) {
        if constexpr (requires { r.ClearUnusedSlots(); })
            if (!wholeCapacity) r.ClearUnusedSlots();
        return r;
    };
    int array = 0;
    std::string differs;
    CMeshStore<Config>::Geometry::ForEachArray(a, b, [&](const auto* p, const auto* q, int count, int, int capacity) {
        const int n = wholeCapacity ? capacity : count;
        for (int i = 0; i < n && differs.empty(); ++i)
            if (!(inUse(p[i]) == inUse(q[i]))) differs = "record " + std::to_string(i) + " of array " + std::to_string(array);
        ++array;
    });
    if (!differs.empty()) return ::testing::AssertionFailure() << differs << " differs";
    return ::testing::AssertionSuccess();
}

// Every record of both stores, to the full capacity, and the counts.
template <class Config>
::testing::AssertionResult SameRecords(const CMeshStore<Config>& a, const CMeshStore<Config>& b)
{
    return CompareStores(a, b, true);
}

// The counts and the records in use; records beyond the counts are not part
// of the mesh.
template <class Config>
::testing::AssertionResult SameInUse(const CMeshStore<Config>& a, const CMeshStore<Config>& b)
{
    return CompareStores(a, b, false);
}

// Relative agreement to about six significant digits.
inline bool SixDigits(double a, double b) { return std::abs(a - b) <= 5e-6 * std::abs(b) + 1e-300; }

// A mesh at the store's capacities: a grid of cols x rows vertices (their
// product the vertex capacity) of quads, split into two triangles where faces
// or edges are still short, then reversed copies of those triangles, which
// add faces but no edges; generated edges with their incidence, and the
// special edges full. Coordinates are exact in six digits; types fill their
// fields (five-digit and negative face types on quads, eight-digit edge types).
template <class Config>
void FillCapacityMesh(CMeshStore<Config>& m, int cols, int rows, int vertexType)
{
    m.nVertices = cols * rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            m.vertices[r * cols + c].Set(c, r, ((c * 7 + r) % 10) * 0.5, vertexType ? (c + r) % 3 * vertexType : 0);
    const int quads = (cols - 1) * (rows - 1);
    const int gridEdges = (cols - 1) * rows + cols * (rows - 1);
    const int splits = std::min(m.faceCapacity - quads, m.edgeCapacity - gridEdges);
    const int copies = m.faceCapacity - quads - splits;
    const int spacing = quads / splits;
    const int quadTypes[4] = {12345, -1234, 3, 99999};
    std::vector<int> triangles;
    m.nFaces = 0;
    for (int q = 0; q < quads; ++q) {
        const int r = q / (cols - 1), c = q % (cols - 1);
        const int a = r * cols + c, b = a + 1, d = a + cols, e = d + 1;
        if (q % spacing == 0 && q / spacing < splits) {
            const int t1[3] = {a, b, e}, t2[3] = {a, e, d};
            triangles.push_back(m.nFaces);
            m.faces[m.nFaces++].Set(3, t1, 54321);
            triangles.push_back(m.nFaces);
            m.faces[m.nFaces++].Set(3, t2, 1);
        } else {
            const int quad[4] = {a, b, e, d};
            m.faces[m.nFaces++].Set(4, quad, quadTypes[q % 4]);
        }
    }
    EXPECT_LE(copies, static_cast<int>(triangles.size()));
    for (int k = 0; k < copies && k < static_cast<int>(triangles.size()); ++k) {
        const auto& t = m.faces[triangles[k]];
        const int back[3] = {t.VertAt(2), t.VertAt(1), t.VertAt(0)};
        m.faces[m.nFaces++].Set(3, back, 2);
    }
    std::ostringstream progress;
    EXPECT_TRUE(m.GenerateEdges(progress));
    m.nSpecialEdges = m.edgeCapacity;
    for (int k = 0; k < m.nSpecialEdges; ++k) {
        const int v1 = k % (m.nVertices - 1);
        m.specialEdges[k].Set(v1, v1 + 1 + k % 7 % (m.nVertices - 1 - v1), k % 3 ? 7 : 12345678, -1, -1);
    }
}

// The numbers of a written source table: the count triple, the vertex rows and
// the flat face list, whatever the array names.
struct CParsedTables {
    int counts[3] = {-1, -1, -1};
    std::vector<std::vector<double>> rows;
    std::vector<int> faceList;
};

inline CParsedTables ParseSourceTables(const std::string& text)
{
    CParsedTables t;
    std::istringstream lines(text);
    std::string line;
    bool inFaces = false;
    while (std::getline(lines, line)) {
        std::string numbers = line;
        for (char& c : numbers)
            if (c == ',' || c == '{' || c == '}') c = ' ';
        std::istringstream in(numbers);
        if (line.find("[3] = {") != std::string::npos) {
            std::istringstream(numbers.substr(numbers.find('=') + 1)) >> t.counts[0] >> t.counts[1] >> t.counts[2];
        } else if (line.rfind("      {", 0) == 0) {
            std::vector<double> row(4);
            for (double& v : row) in >> v;
            t.rows.push_back(row);
        } else if (line.find("[] = {") != std::string::npos) {
            inFaces = true;
        } else if (line == "   };") {
            inFaces = false;
        } else if (inFaces) {
            for (int v; in >> v;) t.faceList.push_back(v);
        }
    }
    return t;
}

// The source tables of `m` as its vertex rows (coordinates times `scale`) and
// its flat face list hold them.
template <class Config>
::testing::AssertionResult TablesHoldMesh(const CParsedTables& t, const CMeshStore<Config>& m, double scale)
{
    if (t.counts[0] != m.nVertices || t.counts[1] != m.nFaces || t.counts[2] != 0)
        return ::testing::AssertionFailure() << "counts " << t.counts[0] << " " << t.counts[1];
    if (static_cast<int>(t.rows.size()) != m.nVertices) return ::testing::AssertionFailure() << "row count";
    for (int i = 0; i < m.nVertices; ++i) {
        const auto& v = m.vertices[i];
        const std::vector<double> want = {scale * v.X(), scale * v.Y(), scale * v.Z(), 0};
        if (t.rows[i] != want) return ::testing::AssertionFailure() << "row " << i;
    }
    std::vector<int> list;
    for (int j = 0; j < m.nFaces; ++j) {
        list.push_back(m.faces[j].NVerts());
        for (int k = 0; k < m.faces[j].NVerts(); ++k) list.push_back(m.faces[j].VertAt(k) + 1);
        list.push_back(m.faces[j].Type());
    }
    if (t.faceList != list) return ::testing::AssertionFailure() << "face list differs";
    return ::testing::AssertionSuccess();
}
