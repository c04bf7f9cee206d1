#pragma once
// Sizes and choices behind the drawn shapes that need no GL: arrow parts,
// the split of a hidden quadrilateral, and a face normal safe to emit.
#include "geometry/CVector3d.h"

// An arrow along local z; the shaft is a cylinder, the head a cone.
struct CArrowShape {
    double shaftRadius;
    double shaftLength;  // never negative
    double coneStart;    // where the cone's base sits along z
    double coneRadius;
    double coneHeight;
};

// Arrow of drawn radius r' = 2r whose tip lies at distance `length`. An arrow
// shorter than its head gets no shaft; the cone keeps its tip at the end point.
CArrowShape ArrowToPointShape(double length, double r);
// Arrow whose shaft is `length` long; the head sits beyond it.
CArrowShape VectorArrowShape(double length, double r);
// Coordinate axis of radius r: a shaft `length` long and a cone of radius
// 2.5 r and height 5 r on top.
CArrowShape AxisShape(double length, double r);
// Farthest distance from the arrow's start that any of its parts reaches.
double ShapeReach(const CArrowShape& s);

// How a quadrilateral v1..v4 is drawn as two triangles: along the shorter
// diagonal (ties go to v2-v4), with a crease tube on that diagonal only when
// the two diagonals differ by more than 0.01.
struct CQuadSplit {
    bool alongV1V3;
    bool creaseTube;
    int triangles[2][3];  // corner numbers 0..3
    int diagonal[2];      // corner numbers of the crease diagonal
};

CQuadSplit ChooseQuadSplit(double d13, double d24);
CQuadSplit ChooseQuadSplit(const CVector3d& v1, const CVector3d& v2, const CVector3d& v3, const CVector3d& v4);

// Unit normal of triangle a, b, c; zero for a degenerate triangle and for any
// input or result that is not finite, so no NaN reaches the normal stream.
CVector3d SafeUnitNormal(const CVector3d& a, const CVector3d& b, const CVector3d& c);
