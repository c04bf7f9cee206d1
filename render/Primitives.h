#pragma once
// Tubes, arrows, axes and spheres as GLU quadrics draw them, in the current
// modelview frame while a display list is compiled. Each tube, arrow, axis
// and sphere wraps its own material and transformation in a push and pop and
// then calls a shared list that holds its geometry: one list per distinct
// size, compiled once and kept while any list built since calls it. Degenerate
// input (equal end points, zero vectors, anything not finite) draws nothing.
#include <initializer_list>

#include "geometry/CVector3d.h"
#include "render/MaterialRules.h"

// One build of a viewer's display lists. Keeps the viewer's fixed list
// numbers out of the shared lists' numbering, and on destruction frees the
// shared lists that no list of this build calls, so their number stays
// bounded by what the current mesh needs.
class CSharedShapeBuild {
public:
    explicit CSharedShapeBuild(std::initializer_list<int> fixedLists);
    ~CSharedShapeBuild();
    CSharedShapeBuild(const CSharedShapeBuild&) = delete;
    CSharedShapeBuild& operator=(const CSharedShapeBuild&) = delete;
};

// Compiles the shared lists that the list just closed called for the first
// time; a list cannot be compiled inside another, and the calls only need the
// numbers until they are replayed.
void CompileNewSharedShapes();

// Open tube from a to b of radius style.radiusFactor * r, coloured by the
// style's rule for `type`.
void DrawCylinder(CVector3d a, CVector3d b, double r, int type, const CTubeStyle& style = kPolyTube);
// Arrow from a with its tip at b; drawn radius 2r.
void DrawArrow(CVector3d a, CVector3d b, double r, int type);
// Arrow from a along v with a shaft as long as v; the head lies beyond a + v.
void DrawVectorArrow(CVector3d a, CVector3d v, double r, int type);
// Axis arrow from the origin along x (1, red), y (2, blue) or z (3, green),
// at the radius given, with the faces' highlight (SetFrontHighlight); any
// other axis keeps the material and points along z.
void DrawAxis(int axis, double r, double length, const CAxisStyle& style = kPolyAxis);
// Sphere about p of radius SphereRadius(style, r, type).
void DrawVertexSphere(CVector3d p, double r, int type, const CSphereStyle& style = kPolySphere);
