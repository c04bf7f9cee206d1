#include "hedrix/core/Twist.h"

#include <cmath>

#include "hedrix/core/HedrixGlobals.h"
#include "mesh/TypeCodes.h"

namespace {

constexpr int kBothTypes = -999;

bool FaceHasVertex(const CPolyFace& f, int v)
{
    for (int k = 0; k < f.nVerts; ++k)
        if (f.verts[k] == v) return true;
    return false;
}

// Angle between neighbouring vertices of a regular n-gon as the twist places
// it; anything but a triangle, square or pentagon is laid out like a triangle.
double PolygonStep(int n)
{
    switch (n) {
    case 4: return degToRad(90);
    case 5: return degToRad(72);
    default: return degToRad(120);
    }
}

// The face the twist construction starts from: the lowest-numbered type-3
// face that is a polygon, or -1.
int FirstTwistFace(const CMesh& mesh)
{
    for (int i = 0; i < mesh.nFaces; ++i)
        if (mesh.faces[i].type == kSolidFaceType && mesh.faces[i].nVerts >= 3) return i;
    return -1;
}

double TwistLimitOfFace(const CPolyFace& face) { return degToRad(180.0 / face.nVerts); }

// Whether the stored frames were taken from the object now in the mesh.
bool TwistFitsMesh(const CMesh& mesh) { return mesh.twistPrepared && mesh.twistObjectType == mesh.objectType; }

} // namespace

void CMesh::PrepareTwist(bool mark)
{
    const int faceA = FirstTwistFace(*this);
    if (faceA < 0) return;

    const int vertexA = faces[faceA].verts[0];
    if (vertexA < 0 || vertexA >= nVertices) return;
    const Vertex& va = vertices[vertexA];
    int link = -1;
    for (int k = 0; k < va.nEdges && link < 0; ++k) {
        const int e = va.edges[k];
        if (e < 0 || e >= nEdges) continue;
        if (edges[e].leftFace != faceA && edges[e].rightFace != faceA) link = e;
    }
    if (link < 0) return;

    const int vertexB = edges[link].v2 == vertexA ? edges[link].v1 : edges[link].v2;
    if (vertexB < 0 || vertexB >= nVertices) return;
    const int typeA = faces[faceA].type;
    int faceB = -1;
    for (int i = 1; i < nFaces && faceB < 0; ++i)
        if (faces[i].type == typeA && FaceHasVertex(faces[i], vertexB)) faceB = i;
    // Without a partner face there is no link to keep; marking or framing
    // anything would only leave a half-built construction behind.
    if (faceB < 0) return;

    markFaceA = faceA;
    markFaceB = faceB;
    markVertexA = vertexA;
    markVertexB = vertexB;
    if (mark) {
        vertices[vertexA].SetType(kTwistMarkType);
        vertices[vertexB].SetType(kTwistMarkType);
        edges[link].SetType(kTwistMarkType);
        faces[faceA].SetType(kTwistMarkType);
        faces[faceB].SetType(kTwistMarkType);
    }
    twistLimit = TwistLimitOfFace(faces[faceA]);
    ComputeTwistVectors(faceA, vertexA, faceB, vertexB);

    for (int i = 0; i < nFaces; ++i) {
        CPolyFace& f = faces[i];
        if (f.nVerts <= 0) continue;
        const CVector3d u = vertices[f.verts[0]].Position() - f.Centre();
        f.SetFrameAxes(u, cross(f.Normal(), u));
        f.StoreFrameOrigin();
    }
    twistPrepared = true;
    twistObjectType = objectType;
    twistScale = 1;
}

void CMesh::FitTwistAngleToObject()
{
    const int faceA = FirstTwistFace(*this);
    if (faceA < 0) return;
    const double limit = TwistLimitOfFace(faces[faceA]);
    if (std::fabs(twistAngle) > limit) twistAngle = std::copysign(limit, twistAngle);
}

void CMesh::ComputeTwistVectors(int faceA, int vertexA, int faceB, int vertexB)
{
    const CVector3d c1 = faces[faceA].Centre();
    const CVector3d c2 = faces[faceB].Centre();
    const CVector3d p1 = vertices[vertexA].Position();
    const CVector3d p2 = vertices[vertexB].Position();
    const CVector3d d1 = c1 - centroid;
    const CVector3d d2 = c2 - centroid;
    const CVector3d a1 = p1 - c1;
    const CVector3d a2 = p2 - c2;
    const CVector3d b1 = cross(d1, a1) * (1 / length(d1));
    const CVector3d b2 = cross(d2, a2) * (1 / length(d2));
    twistC = d2 - d1;
    twistA = a2 - a1;
    twistB = b2 - b1;
    linkLengthSqr = dot(p2 - p1, p2 - p1);
    twistCLengthSqr = dot(twistC, twistC);
}

void CMesh::SetTwistData(CVector3d a, CVector3d b, CVector3d c, double edgeLength)
{
    twistA = a;
    twistB = b;
    twistC = c;
    twistCLengthSqr = dot(c, c);
    linkLengthSqr = edgeLength * edgeLength;
}

double CMesh::SolveTwistScale()
{
    const CVector3d e = std::cos(twistAngle) * twistA + std::sin(twistAngle) * twistB;
    double r1 = 0, r2 = 0;
    const bool real = solveQuadratic(twistCLengthSqr, 2 * dot(twistC, e), dot(e, e) - linkLengthSqr, r1, r2);
    // No real factor (or unprepared, degenerate data): a NaN here would reach
    // every vertex of the twisted faces, so keep the last factor and stop.
    if (!real || !std::isfinite(r2)) {
        theViewState.StopAnimation();
        return twistScale;
    }
    twistScale = r2;
    return r2;
}

void CMesh::PlaceTwistedFaces(double t, int typeA, int typeB)
{
    if (typeB == kBothTypes) typeB = typeA;
    if (!std::isfinite(t)) return;
    for (int i = 0; i < nFaces; ++i) {
        const CPolyFace& f = faces[i];
        if (f.type != typeA && f.type != typeB) continue;
        const double s = PolygonStep(f.nVerts);
        const CVector3d centre = centroid + t * f.FrameOrigin();
        const CVector3d u = f.FrameU();
        const CVector3d v = f.FrameV();
        for (int j = 0; j < f.nVerts; ++j) {
            const int vj = f.verts[j];
            if (vj < 0 || vj >= nVertices) continue;
            const double angle = j * s + twistAngle;
            vertices[vj].SetPosition(centre + std::cos(angle) * u + std::sin(angle) * v, kPlainType);
        }
    }
}

void CMesh::StepTwistAngle()
{
    const double old = twistAngle;
    twistAngle = old + twistStep;
    if (CrossesMark(twistAngle, old, twistMark, twistLimit)) theViewState.SetMode(CViewState::kTwist);
    if (std::fabs(twistAngle) > twistLimit) {
        twistAngle -= twistStep;
        twistStep = -twistStep;
    }
}

bool CrossesMark(double newAngle, double oldAngle, double mark, double limit)
{
    const double n = std::fabs(newAngle);
    const double o = std::fabs(oldAngle);
    return (n > mark && o < mark) || (n < mark && o > mark) || n > limit || (newAngle > 0 && oldAngle < 0) ||
           (newAngle < 0 && oldAngle > 0);
}

void CMesh::ClearMarks()
{
    for (int i = 0; i < nVertices; ++i)
        if (vertices[i].type == kTwistMarkType) vertices[i].SetType(kPlainType);
    for (int i = 0; i < nFaces; ++i)
        if (faces[i].type == kTwistMarkType) faces[i].SetType(kSolidFaceType);
    for (int i = 0; i < nEdges; ++i)
        if (edges[i].type == kTwistMarkType) edges[i].SetType(kDualFaceType);
}

void TwistIdlePass(CMesh& mesh)
{
    if (!TwistFitsMesh(mesh)) mesh.PrepareTwist(false);
    if (!TwistFitsMesh(mesh)) {
        theViewState.StopAnimation();
        return;
    }
    const double t = mesh.SolveTwistScale();
    if (theViewState.GetMode() != CViewState::kTwist) return;
    mesh.PlaceTwistedFaces(t, kSolidFaceType, kTwistMarkType);
    mesh.StepTwistAngle();
    mesh.ComputeFaceCentres();
    mesh.ComputeFaceNormals();
    mesh.BuildDisplayLists();
}

bool TwistLoopMoves(const CMesh& mesh) { return mesh.twistStep != 0; }
