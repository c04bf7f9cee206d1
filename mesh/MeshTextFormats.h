#pragma once
// The mesh text formats of both programs. Numbers in files count from 1
// (the points format's face lines from 0); -1 "none" is written as 0.
//
// full format    counts, vertices with both incidence lists, faces with
//                their edges, generated edges with their faces, special edges
// short format   counts, vertices, faces, special edges; the polyhedron
//                viewer's reader then takes six fixing conditions, the design
//                viewer's reader (design files) takes nothing more
// points format  scaled, swapped point coordinates and 0-based faces
//
// Readers work on a scratch copy and swap it in only when the whole file is
// good: a refused file prints one line and leaves the mesh as it was. Every
// operation returns false when it could not open, write or accept its file.
#include <iomanip>
#include <limits>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>

#include "mesh/MeshFileIO.h"
#include "mesh/MeshStore.h"

// ---------------------------------------------------------------- writers

// What differs between the programs' short-format writers.
struct CTextLayout {
    int coordWidth;
    int coordPrecision;
    bool zeroTinyCoords;      // |c| < 1e-10 written as 0
    bool writeVertexType;     // else every vertex is written with type 0
    bool countSpecialEdges;   // header's third count; else 0
    bool writeGeneratedEdges; // generated-edge lines ahead of the special edges
};

// number, first and second vertex, type: the edge line of every format.
inline void PutEdgeLine(std::ostream& os, int number, const CEdge& e)
{
    os << std::setw(5) << number;
    PutNumber(os, 8, e.V1() + 1);
    PutNumber(os, 6, e.V2() + 1);
    PutNumber(os, 8, e.Type());
}

// Short-format face line; triangles get five blanks for the missing corner
// column so that the type columns line up.
inline void PutShortFaceLine(std::ostream& os, int number, int n, const int* verts, int type)
{
    os << std::setw(5) << number;
    PutNumber(os, 4, n);
    for (int k = 0; k < n; ++k) PutNumber(os, 5, verts[k] + 1);
    if (n < 4)
        os << "     " << std::setw(5) << type;
    else
        PutNumber(os, 5, type);
    os << "\n";
}

// Incidence as the full reader accepts it; what the current counts do not
// define (lists left over from an earlier mesh, say) is not part of the mesh.
template <class Face>
bool FaceHoldsVertex(const Face& f, int v)
{
    for (int k = 0; k < f.NVerts(); ++k)
        if (f.VertAt(k) == v) return true;
    return false;
}
template <class Face>
bool FaceHoldsEdge(const Face& f, int e)
{
    for (int k = 0; k < f.NEdges(); ++k)
        if (f.EdgeAt(k) == e) return true;
    return false;
}
template <class Config>
bool VertexFaceInUse(const CMeshStore<Config>& m, int v, int f)
{
    return f >= 0 && f < m.nFaces && FaceHoldsVertex(m.faces[f], v);
}
template <class Config>
bool VertexEdgeInUse(const CMeshStore<Config>& m, int v, int e)
{
    return e >= 0 && e < m.nEdges && (m.edges[e].V1() == v || m.edges[e].V2() == v);
}
template <class Config>
bool EdgeFaceInUse(const CMeshStore<Config>& m, int e, int f)
{
    return f >= 0 && f < m.nFaces && FaceHoldsEdge(m.faces[f], e);
}

// A count and the 1-based numbers of the entries that `keep` accepts.
template <class Keep>
void PutIndexList(std::ostream& os, int n, const int* list, Keep keep)
{
    int kept = 0;
    for (int k = 0; k < n; ++k) kept += keep(list[k]) ? 1 : 0;
    os << std::setw(7) << kept;
    for (int k = 0; k < n; ++k)
        if (keep(list[k])) PutNumber(os, 7, list[k] + 1);
}

template <class Config>
std::string FullFormatText(const CMeshStore<Config>& m)
{
    std::ostringstream os;
    os << std::setw(7) << m.nVertices;
    PutNumber(os, 7, m.nFaces);
    PutNumber(os, 7, m.nEdges);
    PutNumber(os, 7, m.nSpecialEdges);
    os << "\n";
    for (int i = 0; i < m.nVertices; ++i) {
        const auto& v = m.vertices[i];
        os << std::setw(7) << i + 1 << " " << std::setw(12) << v.X() << " " << std::setw(12) << v.Y() << " "
           << std::setw(12) << v.Z() << " " << std::setw(5) << v.Type() << "  ";
        PutIndexList(os, v.NFaces(), v.Faces(), [&m, i](int f) { return VertexFaceInUse(m, i, f); });
        os << "  ";
        PutIndexList(os, v.NEdges(), v.Edges(), [&m, i](int e) { return VertexEdgeInUse(m, i, e); });
        os << "\n";
    }
    for (int j = 0; j < m.nFaces; ++j) {
        const auto& f = m.faces[j];
        os << std::setw(5) << j + 1;
        PutNumber(os, 5, f.NVerts());
        for (int k = 0; k < f.NVerts(); ++k) PutNumber(os, 7, f.VertAt(k) + 1);
        PutNumber(os, 5, f.Type());
        os << "  ";
        PutIndexList(os, f.NEdges(), f.Edges(), [&m](int e) { return e >= 0 && e < m.nEdges; });
        os << "\n";
    }
    for (int k = 0; k < m.nEdges; ++k) {
        const CEdge& e = m.edges[k];
        PutEdgeLine(os, k + 1, e);
        PutNumber(os, 8, EdgeFaceInUse(m, k, e.LeftFace()) ? e.LeftFace() + 1 : 0);
        PutNumber(os, 7, EdgeFaceInUse(m, k, e.RightFace()) ? e.RightFace() + 1 : 0);
        os << "\n";
    }
    for (int k = 0; k < m.nSpecialEdges; ++k) {
        PutEdgeLine(os, k + 1, m.specialEdges[k]);
        os << "\n";
    }
    return os.str();
}

template <class Config>
bool WriteFullFormat(const CMeshStore<Config>& m, const std::string& name, std::ostream& os)
{
    if (!WriteTextFile(name, FullFormatText(m), os)) return false;
    os << "write " << m.nVertices << " vertices ... " << "\n"
              << "write " << m.nFaces << " faces ... " << "\n"
              << "write " << m.nEdges << " edges ... " << "\n"
              << "write " << m.nSpecialEdges << " special edges ... " << "\n"
              << "write done writing to file" << std::endl;
    return true;
}

template <class Config>
std::string ShortFormatText(const CMeshStore<Config>& m, const CTextLayout& layout)
{
    std::ostringstream os;
    os << std::setw(5) << m.nVertices;
    PutNumber(os, 5, m.nFaces);
    PutNumber(os, 5, layout.countSpecialEdges ? m.nSpecialEdges : 0);
    os << "\n";
    os.precision(layout.coordPrecision);
    const int w = layout.coordWidth;
    for (int i = 0; i < m.nVertices; ++i) {
        const auto& v = m.vertices[i];
        os << std::setw(5) << i + 1 << "  " << std::setw(w) << CoordForText(v.X(), layout.zeroTinyCoords) << "  "
           << std::setw(w) << CoordForText(v.Y(), layout.zeroTinyCoords) << "  " << std::setw(w)
           << CoordForText(v.Z(), layout.zeroTinyCoords) << "  " << (layout.writeVertexType ? v.Type() : 0) << "\n";
    }
    for (int j = 0; j < m.nFaces; ++j)
        PutShortFaceLine(os, j + 1, m.faces[j].NVerts(), m.faces[j].Verts(), m.faces[j].Type());
    if (layout.writeGeneratedEdges) {
        for (int k = 0; k < m.nEdges; ++k) {
            PutEdgeLine(os, k + 1, m.edges[k]);
            os << "\n";
        }
    }
    for (int k = 0; k < m.nSpecialEdges; ++k) {
        PutEdgeLine(os, k + 1, m.specialEdges[k]);
        os << "\n";
    }
    return os.str();
}

template <class Config>
bool WriteShortFormat(const CMeshStore<Config>& m, const std::string& name, const CTextLayout& layout,
                      std::ostream& os)
{
    return WriteTextWithProgress(name, ShortFormatText(m, layout), m.nVertices, os);
}

// ---------------------------------------------------------------- readers

// Console words of a reader; the counts stand between "read " and them.
struct CReadWords {
    const char* vertices; // " vertices ... " or " points ... "
    const char* special;  // " (special) edges ... " or " edges ... "
    const char* done;     // closing word of the special edges
};

struct CShortReadRules {
    CReadWords words;
    bool sortSpecialEdge; // smaller vertex number first
    bool readFixing;      // six (number, value) pairs after the special edges
};

// Words of the points reader, which the design-file reader shares.
constexpr CReadWords kPointsReadWords = {" points ... ", " edges ... ", "done reading"};

template <class Config>
bool ReadThreeCounts(CTextTokens& in, CMeshStore<Config>& m)
{
    in.Context("the header", 0);
    int nV, nF, nS;
    if (!in.Int(nV) || !in.Int(nF) || !in.Int(nS)) return false;
    if (!in.CountFits("vertices", nV, m.vertexCapacity) || !in.CountFits("faces", nF, m.faceCapacity) ||
        !in.CountFits("special edges", nS, m.edgeCapacity))
        return false;
    m.nVertices = nV;
    m.nFaces = nF;
    m.nSpecialEdges = nS;
    return true;
}

// The valence and the corner numbers of a face, counted from `base` in the file.
inline bool ReadFaceCorners(CTextTokens& in, int nVertices, int base, int& n, int corners[kMaxFileValence])
{
    if (!in.Int(n) || !in.ValenceFits(n)) return false;
    for (int k = 0; k < n; ++k) {
        int v;
        if (!in.Int(v) || !in.InRange("vertex", v, base, nVertices - 1 + base)) return false;
        corners[k] = v - base;
    }
    return true;
}

// A count and that many 1-based numbers up to `available`; add() takes each 0-based.
template <class Add>
bool ReadIndexList(CTextTokens& in, const char* items, const char* item, int slots, int available, Add add)
{
    int count;
    if (!in.Int(count) || !in.ListFits(items, count, slots)) return false;
    for (int k = 0; k < count; ++k) {
        int number;
        if (!in.Int(number) || !in.InRange(item, number, 1, available)) return false;
        add(number - 1);
    }
    return true;
}

// number, two 1-based vertex numbers, type.
inline bool ReadEdgeRecord(CTextTokens& in, int nVertices, int& a, int& b, int& type)
{
    int number;
    return in.Int(number) && in.Int(a) && in.InRange("vertex", a, 1, nVertices) && in.Int(b) &&
           in.InRange("vertex", b, 1, nVertices) && in.Int(type);
}

template <class Config>
bool ReadSpecialEdges(CTextTokens& in, CMeshStore<Config>& m, bool sortEnds)
{
    for (int s = 0; s < m.nSpecialEdges; ++s) {
        in.Context("special edge", s + 1);
        int a, b, type;
        if (!ReadEdgeRecord(in, m.nVertices, a, b, type)) return false;
        if (sortEnds && a > b) std::swap(a, b);
        m.specialEdges[s].Set(a - 1, b - 1, type, -1, -1);
    }
    return true;
}

// number, x, y, z, type; coordinates within the store's bound.
inline bool ReadVertexRecord(CTextTokens& in, double& x, double& y, double& z, int& type)
{
    int number;
    return in.Int(number) && in.Real(x) && in.CoordinateFits(x) && in.Real(y) && in.CoordinateFits(y) &&
           in.Real(z) && in.CoordinateFits(z) && in.Int(type);
}

// Every vertex lies on the faces and edges it lists, and every face named
// beside an edge holds that edge: what the full writer writes.
template <class Config>
bool IncidenceIsConsistent(CTextTokens& in, const CMeshStore<Config>& m)
{
    auto refuse = [&in](const char* kind, int number, const char* item, int index, const char* relation) {
        return in.RefuseFile(std::string(kind) + " " + std::to_string(number) + " lists " + item + " " +
                             std::to_string(index + 1) + ", which " + relation);
    };
    for (int i = 0; i < m.nVertices; ++i) {
        const auto& v = m.vertices[i];
        for (int k = 0; k < v.NFaces(); ++k)
            if (!VertexFaceInUse(m, i, v.FaceAt(k)))
                return refuse("vertex", i + 1, "face", v.FaceAt(k), "does not hold it");
        for (int k = 0; k < v.NEdges(); ++k)
            if (!VertexEdgeInUse(m, i, v.EdgeAt(k)))
                return refuse("vertex", i + 1, "edge", v.EdgeAt(k), "does not touch it");
    }
    for (int k = 0; k < m.nEdges; ++k) {
        const CEdge& e = m.edges[k];
        for (int f : {e.LeftFace(), e.RightFace()})
            if (f >= 0 && !EdgeFaceInUse(m, k, f)) return refuse("edge", k + 1, "face", f, "does not hold it");
    }
    return true;
}

template <class Config>
bool ParseFullFormat(CTextTokens& in, CMeshStore<Config>& m, std::ostream& log)
{
    using Vertex = typename Config::Vertex;
    using Face = typename Config::Face;
    m.ResetEdges();
    m.nEdges = 0;
    in.Context("the header", 0);
    int nV, nF, nE, nS;
    if (!in.Int(nV) || !in.Int(nF) || !in.Int(nE) || !in.Int(nS)) return false;
    if (!in.CountFits("vertices", nV, m.vertexCapacity) || !in.CountFits("faces", nF, m.faceCapacity) ||
        !in.CountFits("edges", nE, m.edgeCapacity) || !in.CountFits("special edges", nS, m.edgeCapacity))
        return false;
    m.nVertices = nV;
    m.nFaces = nF;
    m.nEdges = nE;
    m.nSpecialEdges = nS;

    log << "read " << nV << " vertices ... ";
    for (int i = 0; i < nV; ++i) {
        in.Context("vertex", i + 1);
        int type;
        double x, y, z;
        if (!ReadVertexRecord(in, x, y, z, type)) return false;
        Vertex& v = m.vertices[i];
        v.Set(x, y, z, type);
        v.ResetIncidence();
        if (!ReadIndexList(in, "faces", "face", Vertex::kFaceSlots, nF, [&v](int f) { v.AddFace(f); }) ||
            !ReadIndexList(in, "edges", "edge", Vertex::kEdgeSlots, nE, [&v](int e) { v.AddEdge(e); }))
            return false;
    }
    log << "done\n" << "read " << nF << " faces ... ";
    for (int j = 0; j < nF; ++j) {
        in.Context("face", j + 1);
        int number, n, type, corners[kMaxFileValence];
        if (!in.Int(number) || !ReadFaceCorners(in, nV, 1, n, corners) || !in.Int(type)) return false;
        Face& f = m.faces[j];
        f.Set(n, corners, type);
        if (!ReadIndexList(in, "edges", "edge", Face::kEdgeSlots, nE, [&f](int e) { f.AddEdge(e); })) return false;
    }
    log << "done\n" << "read " << nE << " edges ... ";
    for (int k = 0; k < nE; ++k) {
        in.Context("edge", k + 1);
        int a, b, type, left, right;
        if (!ReadEdgeRecord(in, nV, a, b, type) || !in.Int(left) || !in.InRange("face", left, 0, nF) ||
            !in.Int(right) || !in.InRange("face", right, 0, nF))
            return false;
        m.edges[k].Set(a - 1, b - 1, type, -1, -1);
        m.edges[k].SetLeftFace(left - 1);
        m.edges[k].SetRightFace(right - 1);
    }
    log << "done\n" << "read " << nS << " special edges ... ";
    if (!ReadSpecialEdges(in, m, false) || !IncidenceIsConsistent(in, m)) return false;
    log << "done reading\n";
    return true;
}

// Six (1-based number, value) pairs. A file that ends before them (every file
// the short writer makes) gives six (-1, 0.0); a block that starts must be whole.
inline bool ReadFixingBlock(CTextTokens& in, CFixingCondition fixing[6])
{
    if (in.AtEnd()) {
        for (int k = 0; k < 6; ++k) fixing[k] = CFixingCondition(-1, 0.0);
        return true;
    }
    for (int k = 0; k < 6; ++k) {
        in.Context("fixing condition", k + 1);
        int number;
        double value;
        // The index is number - 1: the one number with no index an int holds is refused.
        if (!in.Int(number) || !in.InRange("number", number, std::numeric_limits<int>::min() + 1,
                                           std::numeric_limits<int>::max()) ||
            !in.Real(value))
            return false;
        fixing[k] = CFixingCondition(number - 1, value);
    }
    return true;
}

// `fixing` receives the six conditions when the rules read them.
template <class Config>
bool ParseShortFormat(CTextTokens& in, CMeshStore<Config>& m, const CShortReadRules& rules,
                      CFixingCondition* fixing, std::ostream& log)
{
    m.nEdges = 0;
    if (!ReadThreeCounts(in, m)) return false;
    log << "read " << m.nVertices << rules.words.vertices;
    for (int i = 0; i < m.nVertices; ++i) {
        in.Context("vertex", i + 1);
        int type;
        double x, y, z;
        if (!ReadVertexRecord(in, x, y, z, type)) return false;
        m.vertices[i].Set(x, y, z, type);
        m.vertices[i].ResetIncidence();
    }
    log << "done\n" << "read " << m.nFaces << " faces ... ";
    for (int j = 0; j < m.nFaces; ++j) {
        in.Context("face", j + 1);
        int number, n, type, corners[kMaxFileValence];
        if (!in.Int(number) || !ReadFaceCorners(in, m.nVertices, 1, n, corners) || !in.Int(type)) return false;
        m.faces[j].Set(n, corners, type);
    }
    log << "done\n" << "read " << m.nSpecialEdges << rules.words.special;
    if (!ReadSpecialEdges(in, m, rules.sortSpecialEdge)) return false;
    log << rules.words.done << "\n";
    if (rules.readFixing) {
        log << "read 6 fixing conditions ... ";
        if (!ReadFixingBlock(in, fixing)) return false;
        log << "done\n";
    }
    return true;
}

template <class Config>
bool ParsePointsFormat(CTextTokens& in, CMeshStore<Config>& m, std::ostream& log)
{
    m.nEdges = 0;
    if (!ReadThreeCounts(in, m)) return false;
    log << "read " << m.nVertices << kPointsReadWords.vertices;
    for (int i = 0; i < m.nVertices; ++i) {
        in.Context("point", i + 1);
        double c[5];
        for (double& value : c)
            if (!in.Real(value)) return false;
        const double x = 25 * c[2], y = 25 * c[0], z = 25 * (c[1] - 0.1);
        if (!in.CoordinateFits(x) || !in.CoordinateFits(y) || !in.CoordinateFits(z)) return false;
        m.vertices[i].Set(x, y, z, kPlainType);
        m.vertices[i].ResetIncidence();
    }
    log << "done\n" << "read " << m.nFaces << " faces ... ";
    for (int j = 0; j < m.nFaces; ++j) {
        in.Context("face", j + 1);
        int n, corners[kMaxFileValence];
        if (!ReadFaceCorners(in, m.nVertices, 0, n, corners)) return false;
        m.faces[j].Set(n, corners, kLoadedFaceType);
    }
    log << "done\n" << "read " << m.nSpecialEdges << kPointsReadWords.special;
    if (!ReadSpecialEdges(in, m, false)) return false;
    log << kPointsReadWords.done << "\n";
    return true;
}

// Opens `name`, runs parse(tokens, scratch, log) on a scratch copy of the
// target and swaps the copy in only when parse succeeded; the progress text
// is shown on `os` then, a refused file gets one line there instead. A file longer than
// maxTokens tokens can take is refused unread, and memory that runs out while
// reading refuses the file too: the viewer and its mesh carry on.
template <class Config, class Parse>
bool ReadThroughScratch(CMeshStore<Config>& target, const std::string& name, long long maxTokens, Parse parse,
                        std::ostream& os)
{
    try {
        CTextTokens in;
        if (!in.Load(name, maxTokens * kBytesPerToken)) {
            if (in.Problem().empty())
                os << OpenFailureLine() << std::flush;
            else
                ReportRefusedFile(name, in.Problem(), os);
            return false;
        }
        // Each record takes at least four tokens and each token two bytes
        // with its separator, so no count of a readable file exceeds this,
        // nor the edges generated from its faces (one per corner).
        const long long reachable = static_cast<long long>(in.Size()) / 2 + 1;
        CMeshStore<Config>& scratch = MakeScratchCopy(target, reachable);
        std::ostringstream log;
        if (!parse(in, scratch, log)) {
            ReportRefusedFile(name, in.Problem(), os);
            return false;
        }
        target.SwapGeometry(scratch);
        os << log.str() << std::flush;
        return true;
    } catch (const std::bad_alloc&) {
        ReportRefusedFile(name, "not enough memory to read it", os);
        return false;
    }
}

// The most tokens a file of each format holds at a store's capacities: every
// record kind full, faces of kMaxFileValence corners, lists full. The short
// format counts the six fixing pairs and the generated-edge lines that the
// design viewer writes after its faces (left unread, but part of its files).
// With kBytesPerToken bytes a token, the design viewer's store (70000
// vertices and faces, 140000 edges) takes design files up to 76,160,480 bytes.
template <class Config>
long long FullFormatTokens(const CMeshStore<Config>& m)
{
    using Vertex = typename Config::Vertex;
    using Face = typename Config::Face;
    return 4 + static_cast<long long>(m.vertexCapacity) * (7 + Vertex::kFaceSlots + Vertex::kEdgeSlots) +
           static_cast<long long>(m.faceCapacity) * (4 + kMaxFileValence + Face::kEdgeSlots) +
           static_cast<long long>(m.edgeCapacity) * (6 + 4);
}
template <class Config>
long long ShortFormatTokens(const CMeshStore<Config>& m)
{
    return 3 + 5LL * m.vertexCapacity + (3LL + kMaxFileValence) * m.faceCapacity + (4LL + 4) * m.edgeCapacity + 12;
}
template <class Config>
long long PointsFormatTokens(const CMeshStore<Config>& m)
{
    return 3 + 5LL * m.vertexCapacity + (1LL + kMaxFileValence) * m.faceCapacity + 4LL * m.edgeCapacity;
}

template <class Config>
bool ReadFullFormat(CMeshStore<Config>& target, const std::string& name, std::ostream& os)
{
    return ReadThroughScratch(target, name, FullFormatTokens(target),
                              [](CTextTokens& in, CMeshStore<Config>& m, std::ostream& log) {
        return ParseFullFormat(in, m, log);
    }, os);
}

template <class Config>
bool ReadShortFormat(CMeshStore<Config>& target, const std::string& name, const CShortReadRules& rules,
                     CFixingCondition* fixing, std::ostream& os)
{
    return ReadThroughScratch(target, name, ShortFormatTokens(target), [&](CTextTokens& in, CMeshStore<Config>& m, std::ostream& log) {
        return ParseShortFormat(in, m, rules, fixing, log);
    }, os);
}

template <class Config>
bool ReadPointsFormat(CMeshStore<Config>& target, const std::string& name, std::ostream& os)
{
    return ReadThroughScratch(target, name, PointsFormatTokens(target), [](CTextTokens& in, CMeshStore<Config>& m, std::ostream& log) {
        return ParsePointsFormat(in, m, log);
    }, os);
}

// The load of a design file: old topology cleared, the short format read,
// centres, normals and edges rebuilt, all on the scratch copy. A mesh whose
// edges overflow a vertex's lists (or the edge array) is refused too. The
// caller compiles the display lists.
template <class Config>
bool LoadShortFormat(CMeshStore<Config>& target, const std::string& name, const CShortReadRules& rules,
                     CFixingCondition* fixing, std::ostream& os)
{
    using Vertex = typename Config::Vertex;
    return ReadThroughScratch(target, name, ShortFormatTokens(target), [&](CTextTokens& in, CMeshStore<Config>& m, std::ostream& log) {
        m.ResetTopology();
        if (!ParseShortFormat(in, m, rules, fixing, log)) return false;
        m.ComputeFaceCentres();
        m.ComputeFaceNormals();
        if (!m.GenerateEdges(log))
            return in.RefuseFile("a vertex has more than " + std::to_string(Vertex::kEdgeSlots) + " edges or " +
                                 std::to_string(Vertex::kFaceSlots) + " face entries, or there are more than " +
                                 std::to_string(m.edgeCapacity) + " edges");
        return true;
    }, os);
}
