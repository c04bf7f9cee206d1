#pragma once
// Checks shared by the design tests: rigid lengths over the mesh, point
// comparison, console capture and the keys as the keyboard sends them.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "crimpa/core/Design.h"
#include "crimpa/core/DesignMesh.h"
#include "crimpa/core/ViewerState.h"

namespace designtest {

// One distance between two vertices of a face: an edge or a diagonal.
struct CFacePair {
    int v1, v2;
    double length;
};

// Every pair of corners of every face of theMesh, with its current length.
// Edges and diagonals together fix each face: keeping them keeps it rigid.
inline std::vector<CFacePair> FacePairs()
{
    std::vector<CFacePair> pairs;
    for (int f = 0; f < theMesh.nFaces; ++f) {
        const auto& face = theMesh.faces[f];
        for (int i = 0; i < face.nVerts; ++i)
            for (int j = i + 1; j < face.nVerts; ++j) {
                const int a = face.verts[i], b = face.verts[j];
                pairs.push_back({a, b, length(theMesh.VertexPosition(a) - theMesh.VertexPosition(b))});
            }
    }
    return pairs;
}

// Largest change of any face pair against an earlier snapshot.
inline double LargestLengthChange(const std::vector<CFacePair>& before)
{
    double worst = 0;
    for (const CFacePair& p : before) {
        const double now = length(theMesh.VertexPosition(p.v1) - theMesh.VertexPosition(p.v2));
        worst = std::fmax(worst, std::fabs(now - p.length));
    }
    return worst;
}

inline void ExpectPointNear(const CVector3d& p, double x, double y, double z, double tol, const std::string& what)
{
    EXPECT_NEAR(p.x(), x, tol) << what;
    EXPECT_NEAR(p.y(), y, tol) << what;
    EXPECT_NEAR(p.z(), z, tol) << what;
}

inline void ExpectSamePoint(const CVector3d& p, const CVector3d& q, double tol, const std::string& what)
{
    ExpectPointNear(p, q.x(), q.y(), q.z(), tol, what);
}

// A design key as the keyboard sends it; returns what it printed.
inline std::string Press(unsigned char key, int modifiers = 0)
{
    testing::internal::CaptureStdout();
    DesignKey(key, modifiers, std::cout);
    return testing::internal::GetCapturedStdout();
}

inline std::string PressTimes(unsigned char key, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) out += Press(key);
    return out;
}

// Runs f with the console captured; returns what it printed.
template <class F>
std::string Quietly(F f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

inline std::vector<CVector3d> MeshPositions()
{
    std::vector<CVector3d> out;
    for (int v = 0; v < theMesh.nVertices; ++v) out.push_back(theMesh.VertexPosition(v));
    return out;
}

// Largest difference between the stored face centres and normals, from which
// the normal lines are drawn, and those of the vertices as now placed.
inline double StaleFaceGeometry()
{
    std::vector<CVector3d> centres, normals;
    for (int f = 0; f < theMesh.nFaces; ++f) {
        centres.push_back(theMesh.faces[f].Centre());
        normals.push_back(theMesh.faces[f].Normal());
    }
    theMesh.ComputeFaceCentres();
    theMesh.ComputeFaceNormals();
    double worst = 0;
    for (int f = 0; f < theMesh.nFaces; ++f) {
        worst = std::fmax(worst, length(theMesh.faces[f].Centre() - centres[f]));
        worst = std::fmax(worst, length(theMesh.faces[f].Normal() - normals[f]));
    }
    return worst;
}

// Keys that belong to other builds: none is taken and no vertex moves.
inline void ExpectOtherBuildsKeysIgnored(std::initializer_list<unsigned char> keys)
{
    const std::vector<CVector3d> before = MeshPositions();
    for (unsigned char key : keys) EXPECT_FALSE(DesignKey(key, 0, std::cout)) << key;
    const std::vector<CVector3d> after = MeshPositions();
    ASSERT_EQ(after.size(), before.size());
    for (size_t v = 0; v < after.size(); ++v) ExpectSamePoint(after[v], before[v], 0, "vertex " + std::to_string(v));
}

// Display-list compiles while f runs, counted through theMesh's hook.
template <class F>
int ListCompiles(F f)
{
    static int count;
    count = 0;
    theMesh.displayListHook = [] { ++count; };
    f();
    theMesh.displayListHook = nullptr;
    return count;
}

inline double Degrees(double radians) { return radians * 180 / kPi; }

}  // namespace designtest
