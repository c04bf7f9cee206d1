#pragma once
// Which material a type code gets, and at what size, for every kind of drawn
// element of both programs. Pure rules without GL, so the colouring of each
// type can be checked without a display; Materials.h applies them.

#include "mesh/TypeCodes.h"

enum class EMaterial {
    None,  // keep the material in force
    Red,
    Blue,
    Green,
    Orange,
    YellowTranslucent,
    LightRed,
    DeepBlue,
    Lavender,
    Violet
};

// Faces of both programs; types without a colour of their own keep the
// material of the face drawn before them.
EMaterial FaceMaterial(int type);
// The polyhedron viewer's tubes and arrows.
EMaterial PolyTubeMaterial(int type);
// The design viewer's edge tubes: border edges stand out in yellow.
EMaterial DesignTubeMaterial(int type);
// The polyhedron viewer's vertex spheres.
EMaterial PolySphereMaterial(int type);
// The design viewer's vertex spheres.
EMaterial DesignSphereMaterial(int type);

// What differs between the two programs' tubes: the drawn radius is
// radiusFactor times the one passed.
struct CTubeStyle {
    EMaterial (*material)(int type);
    double radiusFactor;
    int slices;
    int stacks;
};

struct CSphereStyle {
    EMaterial (*material)(int type);
    double radiusFactor;
    int slices;
    int stacks;
};

struct CAxisStyle {
    int shaftSlices;
    int shaftStacks;
    int coneSlices;
    int coneStacks;
};

constexpr CTubeStyle kPolyTube = {PolyTubeMaterial, 2.0, 12, 3};
constexpr CTubeStyle kDesignTube = {DesignTubeMaterial, 1.0, 10, 10};
// Arrows are the polyhedron viewer's alone: its tube colours and radius factor.
constexpr int kArrowSlices = 8;
constexpr CSphereStyle kPolySphere = {PolySphereMaterial, 2.0, 16, 16};
constexpr CSphereStyle kDesignSphere = {DesignSphereMaterial, 1.0, 10, 10};
constexpr CAxisStyle kPolyAxis = {10, 4, 10, 2};
constexpr CAxisStyle kDesignAxis = {10, 10, 10, 10};

inline double TubeRadius(const CTubeStyle& style, double r) { return style.radiusFactor * r; }
inline double SphereRadius(const CSphereStyle& style, double r, int type)
{
    return style.radiusFactor * r * (type == kLargeSphereType ? 2.0 : 1.0);
}
