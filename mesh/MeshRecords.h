#pragma once
// Vertex, face and edge records shared by both programs. The slot counts are
// template parameters: the polyhedron viewer keeps 15 of each, the design
// viewer 12 edges / 13 faces per vertex and 12 vertices / 12 edges per face.
// Every list setter refuses to write past its slots; the readers check their
// input before it gets here, so a refusal means a caller's bug, not bad data.
#include "geometry/CVector3d.h"
#include "mesh/TypeCodes.h"

template <int EdgeSlots, int FaceSlots>
class CVertexT {
public:
    static constexpr int kEdgeSlots = EdgeSlots;
    static constexpr int kFaceSlots = FaceSlots;

    CVertexT() = default;

    CVector3d Position() const { return position; }
    double X() const { return position.x(); }
    double Y() const { return position.y(); }
    double Z() const { return position.z(); }
    int Type() const { return type; }
    int NEdges() const { return nEdges; }
    int NFaces() const { return nFaces; }
    const int* Edges() const { return edges; }
    const int* Faces() const { return faces; }
    int EdgeAt(int i) const { return edges[i]; }
    int FaceAt(int i) const { return faces[i]; }

    // False when the list is full; the entry is then dropped.
    bool AddEdge(int e)
    {
        if (nEdges >= EdgeSlots) return false;
        edges[nEdges++] = e;
        return true;
    }
    bool AddFace(int f)
    {
        if (nFaces >= FaceSlots) return false;
        faces[nFaces++] = f;
        return true;
    }
    void ResetIncidence() { nFaces = 0; nEdges = 0; }
    void Set(double x, double y, double z, int t) { position.set(x, y, z); type = t; }
    void SetIncidence(int nF, int nE, const int* edgeList, const int* faceList)
    {
        nFaces = Clamp(nF, FaceSlots);
        nEdges = Clamp(nE, EdgeSlots);
        for (int i = 0; i < nEdges; ++i) edges[i] = edgeList[i];
        for (int i = 0; i < nFaces; ++i) faces[i] = faceList[i];
    }
    void SetIncidence(int n, const int* edgeList, const int* faceList) { SetIncidence(n, n, edgeList, faceList); }
    void SetPosition(const CVector3d& p, int t) { position = p; type = t; }
    void SetType(int t) { type = t; }

    bool operator==(const CVertexT&) const = default;
    // Entries past the list counts are no part of the vertex; cleared, two
    // vertices that mean the same compare equal.
    void ClearUnusedSlots()
    {
        for (int i = nEdges < 0 ? 0 : nEdges; i < EdgeSlots; ++i) edges[i] = 0;
        for (int i = nFaces < 0 ? 0 : nFaces; i < FaceSlots; ++i) faces[i] = 0;
    }

    CVector3d position;
    CVector3d extraVector;
    int nFaces = 0;
    int nEdges = 0;
    int type = kPlainType;
    int edges[EdgeSlots] = {};
    int faces[FaceSlots] = {};

private:
    static int Clamp(int n, int slots) { return n < 0 ? 0 : (n > slots ? slots : n); }
};

template <int VertSlots, int EdgeSlots>
class CFaceT {
public:
    static constexpr int kVertSlots = VertSlots;
    static constexpr int kEdgeSlots = EdgeSlots;

    CFaceT() = default;
    CFaceT(int n, const int* vertList, const int* edgeList)
    {
        nVerts = Clamp(n, VertSlots);
        for (int i = 0; i < nVerts && i < EdgeSlots; ++i) {
            verts[i] = vertList[i];
            edges[i] = edgeList[i];
        }
    }

    int NVerts() const { return nVerts; }
    int NEdges() const { return nEdges; }
    int Type() const { return type; }
    const int* Verts() const { return verts; }
    const int* Edges() const { return edges; }
    int VertAt(int i) const { return verts[i]; }
    int EdgeAt(int i) const { return edges[i]; }
    CVector3d Centre() const { return centre; }
    CVector3d Normal() const { return normal; }

    bool AddEdge(int e)
    {
        if (nEdges >= EdgeSlots) return false;
        edges[nEdges++] = e;
        return true;
    }
    // Empties the edge list: edge generation fills it.
    void Set(int n, const int* vertList, int t)
    {
        nEdges = 0;
        type = t;
        SetVertList(n, vertList);
    }
    void SetVerts(int n, const int* vertList)
    {
        nEdges = 0;
        SetVertList(n, vertList);
    }
    void SetVertsAndEdges(int n, const int* vertList, const int* edgeList)
    {
        SetVertList(n, vertList);
        const int m = Clamp(n, EdgeSlots);
        for (int i = 0; i < m; ++i) edges[i] = edgeList[i];
    }
    void SetEdgeList(int n, const int* edgeList)
    {
        nVerts = Clamp(n, VertSlots);
        const int m = Clamp(n, EdgeSlots);
        for (int i = 0; i < m; ++i) edges[i] = edgeList[i];
    }
    void SetType(int t) { type = t; }
    void SetCentre(const CVector3d& c) { centre = c; }
    void ComputeNormal(const CVector3d& p0, const CVector3d& p1, const CVector3d& p2)
    {
        normal = cross(p1 - p0, p2 - p0);
        normal.normalize();
    }
    bool operator==(const CFaceT&) const = default;
    // As for the vertex: entries past the list counts cleared.
    void ClearUnusedSlots()
    {
        for (int i = nVerts < 0 ? 0 : nVerts; i < VertSlots; ++i) verts[i] = 0;
        for (int i = nEdges < 0 ? 0 : nEdges; i < EdgeSlots; ++i) edges[i] = 0;
    }

    // References to the removed vertex s become t; indices above s follow the shift.
    void RenumberVertex(int s, int t)
    {
        for (int k = 0; k < nVerts; ++k) {
            if (verts[k] == s) verts[k] = t;
            if (verts[k] >= s) --verts[k];
        }
    }

    int nVerts = 0;
    int nEdges = 0;
    int type = kPlainType;
    int verts[VertSlots] = {};
    int edges[EdgeSlots] = {};
    CVector3d normal;
    CVector3d centre;

private:
    void SetVertList(int n, const int* vertList)
    {
        nVerts = Clamp(n, VertSlots);
        for (int i = 0; i < nVerts; ++i) verts[i] = vertList[i];
    }
    static int Clamp(int n, int slots) { return n < 0 ? 0 : (n > slots ? slots : n); }
};

// One record for generated and special edges. For generated edges v1 < v2;
// rightFace runs the edge from v1 to v2, leftFace from v2 to v1; -1 = none.
class CEdge {
public:
    CEdge() { SetAll(-1, -1, kPlainType, -1, -1, -1); }

    int V1() const { return v1; }
    int V2() const { return v2; }
    int LeftFace() const { return leftFace; }
    int RightFace() const { return rightFace; }
    int Type() const { return type; }

    void Set(int a, int b, int t, int left, int right)
    {
        v1 = a;
        v2 = b;
        type = t;
        leftFace = left;
        rightFace = right;
    }
    void SetAll(int a, int b, int t, int left, int right, int newId)
    {
        Set(a, b, t, left, right);
        id = newId;
    }
    void Reset() { Set(-1, -1, kPlainType, -1, -1); }
    void SetLeftFace(int f) { leftFace = f; }
    void SetRightFace(int f) { rightFace = f; }
    void SetType(int t) { type = t; }

    bool operator==(const CEdge&) const = default;

    int id = -1;
    int v1 = -1;
    int v2 = -1;
    int leftFace = -1;
    int rightFace = -1;
    int type = kPlainType;
};

class CFixingCondition {
public:
    CFixingCondition() = default;
    CFixingCondition(int i, double v) : index(i), value(v) {}
    bool operator==(const CFixingCondition&) const = default;
    int index = 0;
    double value = 0.0;
};
