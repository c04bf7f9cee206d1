#pragma once
// The mesh store of both programs: fixed-capacity arrays of vertex, face,
// generated-edge and special-edge records with their counts, and the
// whole-mesh topology operations. Config chooses the record slot counts and
// whether edge generation reports its progress on the stream it is given.
#include <cstdint>
#include <memory>
#include <ostream>
#include <unordered_map>
#include <utility>

#include "geometry/CVector3d.h"
#include "mesh/MeshRecords.h"
#include "mesh/TypeCodes.h"

// Capacities, counts and centroid of a store: plain values that copy and
// compare whole.
struct CMeshHeader {
    int vertexCapacity = 0;
    int edgeCapacity = 0;
    int faceCapacity = 0;
    int nVertices = 0;
    int nEdges = 0;
    int nFaces = 0;
    int nSpecialEdges = 0;
    CVector3d centroid;

    bool operator==(const CMeshHeader&) const = default;
};

// The whole geometry and topology of a store: its header and the record
// arrays it owns. Moves and swaps as one value.
template <class Vertex, class Face>
struct CMeshGeometry : CMeshHeader {
    CMeshGeometry(int nV, int nE, int nF)
        : vertices(new Vertex[nV]), faces(new Face[nF]), edges(new CEdge[nE]), specialEdges(new CEdge[nE])
    {
        vertexCapacity = nV;
        edgeCapacity = nE;
        faceCapacity = nF;
    }

    // Calls f(records of a, records of b, count of a, count of b, capacity of a)
    // for each record array of two geometries; the one list of the arrays, so
    // it stands beside them.
    template <class A, class B, class F>
    static void ForEachArray(A& a, B& b, F f)
    {
        f(a.vertices.get(), b.vertices.get(), a.nVertices, b.nVertices, a.vertexCapacity);
        f(a.faces.get(), b.faces.get(), a.nFaces, b.nFaces, a.faceCapacity);
        f(a.edges.get(), b.edges.get(), a.nEdges, b.nEdges, a.edgeCapacity);
        f(a.specialEdges.get(), b.specialEdges.get(), a.nSpecialEdges, b.nSpecialEdges, a.edgeCapacity);
    }

    std::unique_ptr<Vertex[]> vertices;
    std::unique_ptr<Face[]> faces;
    std::unique_ptr<CEdge[]> edges;
    std::unique_ptr<CEdge[]> specialEdges;
};

template <class Config>
class CMeshStore : public CMeshGeometry<typename Config::Vertex, typename Config::Face> {
public:
    using Vertex = typename Config::Vertex;
    using Face = typename Config::Face;
    using Geometry = CMeshGeometry<Vertex, Face>;
    using Geometry::vertexCapacity;
    using Geometry::edgeCapacity;
    using Geometry::faceCapacity;
    using Geometry::nVertices;
    using Geometry::nEdges;
    using Geometry::nFaces;
    using Geometry::nSpecialEdges;
    using Geometry::centroid;
    using Geometry::vertices;
    using Geometry::faces;
    using Geometry::edges;
    using Geometry::specialEdges;

    // A store of the configuration's own capacities.
    CMeshStore() : CMeshStore(Config::kVertexCapacity, Config::kEdgeCapacity, Config::kFaceCapacity) {}
    // A smaller store of the same record shape, for work that needs less.
    CMeshStore(int vertexCapacity, int edgeCapacity, int faceCapacity)
        : Geometry(vertexCapacity, edgeCapacity, faceCapacity)
    {
    }
    CMeshStore(const CMeshStore&) = delete;
    CMeshStore& operator=(const CMeshStore&) = delete;

    Geometry& Whole() { return *this; }
    const Geometry& Whole() const { return *this; }

    // Exchanges the whole geometry and topology with another store; a reader
    // fills a scratch store and swaps it in only when the file was good.
    void SwapGeometry(CMeshStore& other) { std::swap(Whole(), other.Whole()); }

    // --- accessors -------------------------------------------------------
    CVector3d Centroid() const { return centroid; }
    CVector3d VertexPosition(int i) const { return vertices[i].Position(); }
    CVector3d FaceCentre(int i) const { return faces[i].Centre(); }
    int NSpecialEdges() const { return nSpecialEdges; }
    const CEdge* SpecialEdge(int i) const { return &specialEdges[i]; }

    // Mean of the vertex positions; an empty mesh keeps the old centroid.
    void computeCentroid()
    {
        if (nVertices <= 0) return;
        centroid = vertices[0].Position();
        for (int i = 1; i < nVertices; ++i) centroid += vertices[i].Position();
        centroid = centroid / static_cast<double>(nVertices);
    }

    void ComputeFaceCentres()
    {
        for (int i = 0; i < nFaces; ++i) {
            Face& f = faces[i];
            const int n = f.nVerts;
            if (n <= 0) continue;
            CVector3d c = vertices[f.verts[0]].Position();
            for (int k = 1; k < n; ++k) c = c + vertices[f.verts[k]].Position();
            c = c / static_cast<double>(n);
            f.SetCentre(c);
        }
    }

    void ComputeFaceNormals()
    {
        for (int i = 0; i < nFaces; ++i) {
            Face& f = faces[i];
            if (f.nVerts < 3) continue;
            f.ComputeNormal(vertices[f.verts[0]].Position(), vertices[f.verts[1]].Position(),
                            vertices[f.verts[2]].Position());
        }
    }

    // Appends a generated edge and enters it in both vertices' lists.
    int AddEdge(int v1, int v2, int type)
    {
        const int k = nEdges;
        edges[k].Set(v1, v2, type, -1, -1);
        if (!vertices[v1].AddEdge(k)) incidenceOverflow = true;
        if (!vertices[v2].AddEdge(k)) incidenceOverflow = true;
        nEdges = k + 1;
        return k;
    }

    // First generated edge with exactly this (v1, v2); -1 when none. Linear.
    int FindEdge(int v1, int v2) const
    {
        for (int i = 0; i < nEdges; ++i)
            if (edges[i].v1 == v1 && edges[i].v2 == v2) return i;
        return -1;
    }

    void ResetEdges()
    {
        for (int i = 0; i < nEdges; ++i) edges[i].Reset();
    }

    void ResetTopology()
    {
        ResetEdges();
        for (int i = 0; i < nVertices; ++i) vertices[i].ResetIncidence();
    }

    // Rebuilds generated edges, their faces and types, and every incidence
    // list from the faces. Same result as a FindEdge per face side, found
    // through a hash of the vertex pair. The design configuration reports its
    // progress on `progress`. Returns false when an incidence list
    // or the edge array was too small (the excess is dropped, never written).
    bool GenerateEdges(std::ostream& progress)
    {
        incidenceOverflow = false;
        for (int i = 0; i < nVertices; ++i) vertices[i].ResetIncidence();
        for (int i = 0; i < nFaces; ++i) faces[i].nEdges = 0;
        ResetEdges();
        nEdges = 0;
        edgeLookup.clear();
        edgeLookup.reserve(static_cast<std::size_t>(nFaces) * 2 + 16);

        for (int i = 0; i < nFaces; ++i) {
            if (Config::kEdgeProgress && i % 100 == 0) progress << "." << std::flush;
            Face& f = faces[i];
            const int n = f.nVerts;
            const int t = f.type;
            for (int j = 0; j < n; ++j) {
                const int c = f.verts[j];
                const int d = f.verts[(j + 1) % n];
                if (c < 0 || d < 0 || c >= vertexCapacity || d >= vertexCapacity) {
                    incidenceOverflow = true;
                    continue;
                }
                const int lo = c < d ? c : d;
                const int hi = c < d ? d : c;
                const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(lo)) << 32) |
                                          static_cast<std::uint32_t>(hi);
                int e;
                auto found = edgeLookup.find(key);
                if (found == edgeLookup.end()) {
                    if (nEdges >= edgeCapacity) {
                        incidenceOverflow = true;
                        continue;
                    }
                    e = AddEdge(lo, hi, t);
                    edgeLookup.emplace(key, e);
                } else {
                    e = found->second;
                    if (edges[e].type < t) edges[e].type = t;
                }
                if (d < c)
                    edges[e].leftFace = i;
                else
                    edges[e].rightFace = i;
                if (!f.AddEdge(e)) incidenceOverflow = true;
                if (!vertices[c].AddFace(i)) incidenceOverflow = true;
            }
        }
        for (int k = 0; k < nEdges; ++k)
            if (edges[k].leftFace == -1 || edges[k].rightFace == -1) edges[k].type = kBorderEdgeType;
        if (Config::kEdgeProgress) progress << std::endl << " generated " << nEdges << " edges\n" << std::flush;
        return !incidenceOverflow;
    }

    void ReplaceFaceType(int a, int b)
    {
        for (int i = 0; i < nFaces; ++i)
            if (faces[i].type == a) faces[i].type = b;
    }
    void RestoreFaceType(int a, int b)
    {
        for (int i = 0; i < nFaces; ++i)
            if (faces[i].type == b) faces[i].type = a;
    }

    void CopyEdgesToSpecial()
    {
        nSpecialEdges = nEdges;
        for (int i = 0; i < nEdges; ++i) {
            specialEdges[i] = edges[i];
            specialEdges[i].type = kSpecialEdgeType;
        }
    }

    // Faces beside generated edge i take type b when special edge i has type a;
    // a missing side names no face and is skipped.
    void ColourFacesBySpecialEdge(int a, int b)
    {
        for (int i = 0; i < nEdges; ++i) {
            if (specialEdges[i].type != a) continue;
            if (edges[i].leftFace >= 0) faces[edges[i].leftFace].type = b;
            if (edges[i].rightFace >= 0) faces[edges[i].rightFace].type = b;
        }
    }

    // Removes face f; edge and vertex face references are not renumbered.
    void DeleteFace(int f)
    {
        if (f < 0 || f >= nFaces) return;
        for (int i = f + 1; i < nFaces; ++i) faces[i - 1] = faces[i];
        --nFaces;
    }

    // Removes vertex s, turning references to it into references to t.
    void DeleteVertex(int s, int t)
    {
        if (s < 0 || s >= nVertices) return;
        for (int i = s + 1; i < nVertices; ++i) vertices[i - 1] = vertices[i];
        --nVertices;
        for (int i = 0; i < nFaces; ++i) faces[i].RenumberVertex(s, t);
    }

    // Puts face f's edge list into boundary order; a side without a matching
    // edge keeps the entry it had at that position.
    void SortFaceEdges(int f)
    {
        Face& face = faces[f];
        const int n = face.nVerts < Face::kEdgeSlots ? face.nVerts : Face::kEdgeSlots;
        int local[Face::kEdgeSlots];
        for (int i = 0; i < n; ++i) {
            local[i] = face.edges[i];
            const int a = face.verts[i];
            const int b = face.verts[(i + 1) % face.nVerts];
            const int lo = a < b ? a : b;
            const int hi = a < b ? b : a;
            for (int k = 0; k < n; ++k) {
                const int e = face.edges[k];
                if (e >= 0 && e < nEdges && edges[e].v1 == lo && edges[e].v2 == hi) local[i] = e;
            }
        }
        for (int i = 0; i < n; ++i) face.edges[i] = local[i];
    }

    // Recompiles the display lists through the viewer's hook; without a GL
    // context (before main, in tests) there is no hook and nothing happens.
    void BuildDisplayLists() const
    {
        if (displayListHook) displayListHook();
    }

    void (*displayListHook)() = nullptr;

private:
    bool incidenceOverflow = false;
    std::unordered_map<std::uint64_t, int> edgeLookup;
};

