#pragma once
// The type codes of vertices, faces and edges, the one place that names them.
// A code chooses the material an element is drawn with (render/MaterialRules)
// and some codes also give an element a role; a role is named after the
// colour code it shows in.

// Codes by what they are drawn as. Face, tube and sphere rules differ; the
// names follow the face colours.
constexpr int kPlainType = 0;        // no colour of its own: yellow sphere, red tube
constexpr int kRedType = 1;
constexpr int kBlueType = 2;
constexpr int kGreenType = 3;
constexpr int kOrangeType = 4;
constexpr int kYellowType = 5;       // yellow translucent face
constexpr int kYellowTubeType = 6;   // yellow translucent tube, like a border edge
constexpr int kLargeSphereType = 9;  // a vertex sphere of twice the size
constexpr int kLightRedType = 11;
constexpr int kDeepBlueType = 12;
constexpr int kLavenderType = 18;
constexpr int kVioletType = 22;

// An edge with a face on one side only, as edge generation leaves it: a
// yellow translucent tube.
constexpr int kBorderEdgeType = 7;
// Faces, edges and vertices of this type are not drawn.
constexpr int kHiddenType = 99;

// The polyhedron viewer's objects: the squares between the faces of a
// Platonic solid and those of its dual.
constexpr int kSquareFaceType = kRedType;
constexpr int kDualFaceType = kBlueType;
constexpr int kSolidFaceType = kGreenType;
// Faces read from a file that carries no types.
constexpr int kLoadedFaceType = kGreenType;
// Generated edges copied to the special edges.
constexpr int kSpecialEdgeType = kGreenType;
// The twist construction: its vertices, faces and connecting edge.
constexpr int kTwistMarkType = kOrangeType;
