#include "hedrix/app/PolyDisplayLists.h"

#include <algorithm>
#include <initializer_list>

#include "mesh/TypeCodes.h"
#include "render/MeshDrawing.h"

using namespace meshdrawing;

namespace {

constexpr double kEdgeRadius = 0.01;
constexpr double kNormalLength = 0.3;
constexpr double kNormalRadius = 0.003;
constexpr double kVertexRadius = 0.03;
constexpr double kAxisRadius = 0.02;
constexpr double kAxisLengths[3] = {1.2, 1.2, 1.2};
constexpr double kMarkerRadius = 0.02;

void DrawNormalArrows(const CPolyMeshStore& mesh)
{
    const int n = FaceCount(mesh);
    for (int i = 0; i < n; ++i) {
        const CPolyFace& f = mesh.faces[i];
        if (f.type != kSolidFaceType) continue;
        DrawVectorArrow(f.Centre(), kNormalLength * f.Normal(), kNormalRadius, kSolidFaceType);
    }
}

// Hidden quadrilaterals as two triangles along the shorter diagonal.
void DrawSplitFaces(const CPolyMeshStore& mesh)
{
    SetFaceMaterialDefault();
    SetMaterialOrange();
    CVector3d p[CPolyFace::kVertSlots];
    const int nFaces = FaceCount(mesh);
    for (int i = 0; i < nFaces; ++i) {
        if (mesh.faces[i].type != kHiddenType) continue;
        int n = 0;
        if (!FaceCorners(mesh, i, 4, p, n)) continue;
        const CQuadSplit split = ChooseQuadSplit(p[0], p[1], p[2], p[3]);
        glBegin(GL_TRIANGLES);
        for (const int* t : split.triangles) {
            EmitNormal(SafeUnitNormal(p[t[0]], p[t[1]], p[t[2]]));
            for (int k = 0; k < 3; ++k) EmitVertex(p[t[k]]);
        }
        glEnd();
        if (split.creaseTube) DrawCylinder(p[split.diagonal[0]], p[split.diagonal[1]], kEdgeRadius, kOrangeType);
    }
}

// The twist construction: centroid, the two face centres, the two marked
// vertices and the edge between them whose length the twist keeps.
void DrawTwistMarker(const CPolyMeshStore& mesh, int faceA, int faceB, int vertexA, int vertexB)
{
    SetFaceMaterialDefault();
    if (!ValidFace(mesh, faceA) || !ValidFace(mesh, faceB) || !ValidVertex(mesh, vertexA) ||
        !ValidVertex(mesh, vertexB))
        return;
    const CVector3d a = mesh.vertices[vertexA].Position();
    const CVector3d b = mesh.vertices[vertexB].Position();
    const CVector3d centreA = mesh.faces[faceA].Centre();
    const CVector3d centreB = mesh.faces[faceB].Centre();
    const CVector3d c = mesh.Centroid();
    DrawArrow(c, centreA, kEdgeRadius, kLightRedType);
    DrawArrow(c, centreB, kEdgeRadius, kLightRedType);
    DrawArrow(centreA, a, kEdgeRadius, kLightRedType);
    DrawArrow(centreB, b, kEdgeRadius, kLightRedType);
    DrawVertexSphere(c, kVertexRadius, kRedType);
    for (const CVector3d& p : {a, b, centreA, centreB}) DrawVertexSphere(p, kMarkerRadius, kLightRedType);
    DrawCylinder(a, b, kEdgeRadius, kRedType);
}

const CArrowShape kMarkerHead = ArrowToPointShape(0, kEdgeRadius);

}  // namespace

// About a point: the type 9 sphere, or the head of a marker arrow ending
// there (an arrow shorter than its head reaches back beyond its start). The
// normal arrow's head lies beyond its shaft.
const CSceneReach kPolySceneReach = {
    std::max({SphereRadius(kPolySphere, kVertexRadius, kLargeSphereType), TubeRadius(kPolyTube, kEdgeRadius),
              kMarkerHead.coneHeight + kMarkerHead.coneRadius}),
    ShapeReach(VectorArrowShape(kNormalLength, kNormalRadius)),
    AxisReach(kAxisLengths, kAxisRadius)};

void BuildPolyDisplayLists(const CPolyMeshStore& mesh, int markFaceA, int markFaceB, int markVertexA,
                           int markVertexB)
{
    const CSharedShapeBuild shared({kPolyListSpecialEdges, kPolyListFaces, kPolyListEdges, kPolyListNormals,
                                    kPolyListVertices, kPolyListAxes, kPolyListSplitFaces, kPolyListMarker});
    CompileList(kPolyListFaces, [&] { DrawFaces(mesh); });
    // Hidden edges get no tube; special edges are drawn whatever their type.
    CompileList(kPolyListEdges,
                [&] { DrawEdgeTubes(mesh, mesh.edges.get(), mesh.nEdges, kEdgeRadius, kPolyTube, true); });
    CompileList(kPolyListSpecialEdges,
                [&] { DrawEdgeTubes(mesh, mesh.specialEdges.get(), mesh.nSpecialEdges, kEdgeRadius, kPolyTube, false); });
    CompileList(kPolyListNormals, [&] { DrawNormalArrows(mesh); });
    CompileList(kPolyListVertices, [&] { DrawVertexSpheres(mesh, kVertexRadius, kPolySphere); });
    CompileList(kPolyListAxes, [&] { DrawAxes(kAxisRadius, kAxisLengths, kPolyAxis); });
    CompileList(kPolyListSplitFaces, [&] { DrawSplitFaces(mesh); });
    CompileList(kPolyListMarker,
                [&] { DrawTwistMarker(mesh, markFaceA, markFaceB, markVertexA, markVertexB); });
}
