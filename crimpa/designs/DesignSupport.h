#pragma once
// Pieces that several design units share: building the built-in design from
// its tables, the angle clamp of the fold keys, mirrors in the centred frame
// and the three-sphere placement that refuses instead of guessing.
#include <cmath>
#include <ostream>
#include <iterator>

#include "crimpa/core/Design.h"
#include "crimpa/core/DesignMesh.h"
#include "crimpa/core/ViewerState.h"
#include "geometry/CVector3d.h"
#include "solvers/DesignSolvers.h"

// One degree and a right angle with the programs' own pi literal.
constexpr double kDegree = kPi / 180;
constexpr double kRightAngle = kPi / 2;

// Faces of a face table of records {n, v1..vn, type}, or -1 when a record
// has fewer than three vertices, names a vertex outside 1..nVertices or runs
// past the end of the table.
template <int Ints>
constexpr int CountTableFaces(const int (&faces)[Ints], int nVertices)
{
    int count = 0;
    for (int i = 0; i < Ints; ++count) {
        const int n = faces[i];
        if (n < 3 || i + n + 2 > Ints) return -1;
        for (int k = 1; k <= n; ++k)
            if (faces[i + k] < 1 || faces[i + k] > nVertices) return -1;
        i += n + 2;
    }
    return count;
}

// A design's built-in tables. Their lengths and the face count come from the
// tables themselves, checked when the unit is compiled.
template <const auto& VertexTable, const auto& FaceTable>
struct CDesignTables {
    static constexpr int kVertices = static_cast<int>(std::size(VertexTable));
    static constexpr int kFaceInts = static_cast<int>(std::size(FaceTable));
    static constexpr int kFaces = CountTableFaces(FaceTable, kVertices);
    static_assert(kFaces > 0, "the face table must hold whole face records of the table's vertices");

    // LoadBuiltInDesign's work: the tables into the caller's buffers, the
    // counts {vertices, faces, 0} and the design number.
    static void Copy(int mode, int counts[3], double vertexRows[][4], int faceInts[])
    {
        for (int i = 0; i < kVertices; ++i)
            for (int k = 0; k < 4; ++k) vertexRows[i][k] = VertexTable[i][k];
        for (int i = 0; i < kFaceInts; ++i) faceInts[i] = FaceTable[i];
        counts[0] = kVertices;
        counts[1] = kFaces;
        counts[2] = 0;
        designMode = mode;
    }

    // Build, leaving the display lists to a caller that compiles them once
    // its own points are placed.
    static void Load(std::ostream& os, const CEdge* specials = nullptr, int nSpecials = 0)
    {
        int counts[3];
        double rows[kVertices][4];
        int faceInts[kFaceInts];
        LoadBuiltInDesign(counts, rows, faceInts);
        BuildMeshFromTables(counts, rows, faceInts, 1.0, os);
        theMesh.nSpecialEdges = nSpecials;
        for (int k = 0; k < nSpecials; ++k) theMesh.specialEdges[k] = specials[k];
        theMesh.ComputeFaceCentres();
        theMesh.ComputeFaceNormals();
        theMesh.GenerateEdges(os);
    }

    // The tables through LoadBuiltInDesign into theMesh, then the given
    // special edges (vertex numbers 0-based) and centres, normals, edges and
    // display lists once more; refusals and edge progress go to os.
    static void Build(std::ostream& os, const CEdge* specials = nullptr, int nSpecials = 0)
    {
        Load(os, specials, nSpecials);
        theMesh.BuildDisplayLists();
    }
};

// The first n design points into theMesh as plain vertices; a loaded
// design file is not the design, so its vertices are left alone.
inline void PlacePoints(const CVector3d* points, int n)
{
    if (!builtInDesignShown) return;
    for (int v = 0; v < n; ++v) theMesh.vertices[v].SetPosition(points[v], kPlainType);
}

// x limited to [lo, hi]. A NaN stays NaN (no comparison decides for it), so a
// step from an undefined angle stays visibly undefined instead of jumping to
// a bound.
inline double ClampAngle(double x, double lo, double hi)
{
    if (std::isnan(x)) return x;
    if (x < lo) return lo;
    if (x > hi) return hi;
    return x;
}

// Mirrors about the planes x = 0 and y = 0 of the centred design frame.
inline CVector3d MirrorX(const CVector3d& p) { return CVector3d(-p.x(), p.y(), p.z()); }
inline CVector3d MirrorY(const CVector3d& p) { return CVector3d(p.x(), -p.y(), p.z()); }
inline CVector3d MirrorXY(const CVector3d& p) { return CVector3d(-p.x(), -p.y(), p.z()); }

// The line of a refused fold step whose spheres do not meet.
inline void ReportNoIntersection(std::ostream& os) { os << "no intersection in ThreeSpheresIS" << std::endl; }

// Moves x to the common point of the three spheres nearest its current value.
// When there is none, x stays as it is, the refusal line is printed on os and the
// result is false: the caller then takes its whole step back.
inline bool PlaceByThreeSpheres(const CVector3d& p1, double r1, const CVector3d& p2, double r2, const CVector3d& p3,
                                double r3, CVector3d& x, std::ostream& os)
{
    CVector3d other;
    CVector3d found = x;
    if (!design::ThreeSpheresIS(p1, r1, p2, r2, p3, r3, found, other)) {
        ReportNoIntersection(os);
        return false;
    }
    x = found;
    return true;
}

// The angle print of the design keys followed by the rebuild without refold.
inline void PrintAngleAndRebuild(const char* label, double radians, std::ostream& os)
{
    PrintAngle(label, radians, os);
    RebuildDesignView();
}

// Keys M, D, d, O and o of a design that refolds nothing after a print: the
// rebuild alone, or the print of an angle the design lacks (0) and the
// rebuild. False for any other key.
inline bool RebuildOnlyKey(unsigned char key, std::ostream& os)
{
    switch (key) {
    case 'M': RebuildDesignView(); return true;
    case 'D':
    case 'd': PrintAngleAndRebuild("delta = ", 0.0, os); return true;
    case 'O':
    case 'o': PrintAngleAndRebuild("omega = ", 0.0, os); return true;
    default: return false;
    }
}

// Point `from` mirrored into the slots x, y and xy of the same array.
inline void SetMirrors(CVector3d* points, int from, int x, int y, int xy)
{
    points[x] = MirrorX(points[from]);
    points[y] = MirrorY(points[from]);
    points[xy] = MirrorXY(points[from]);
}

// Copies n points; the fold steps keep a copy to take a refused step back.
inline void CopyPoints(const CVector3d* from, CVector3d* to, int n)
{
    for (int i = 0; i < n; ++i) to[i] = from[i];
}
