#include "crimpa/app/DesignDisplayLists.h"

#include <algorithm>

#include "render/MeshDrawing.h"

using namespace meshdrawing;

namespace {

constexpr double kEdgeRadius = 0.0125;
constexpr double kSpecialEdgeRadius = 0.015;
constexpr double kVertexRadius = 0.025;
constexpr double kAxisRadius = 0.01;
constexpr double kAxisLengths[3] = {1.0, 1.5, 0.75};

// Unit lines from the stored centres along the stored normals, hidden faces
// included; replayed unlit, so the colour is what shows.
void DrawNormalLines(const CDesignMeshStore& mesh)
{
    glBegin(GL_LINES);
    glColor3f(1.0f, 0.5f, 0.0f);
    const int n = FaceCount(mesh);
    for (int i = 0; i < n; ++i) {
        const CVector3d c = mesh.faces[i].Centre();
        const CVector3d tip = c + mesh.faces[i].Normal();
        if (!IsFinite(c) || !IsFinite(tip)) continue;
        EmitVertex(c);
        EmitVertex(tip);
    }
    glEnd();
}

}  // namespace

// Normals are unit lines from the face centres.
const CSceneReach kDesignSceneReach = {
    std::max({SphereRadius(kDesignSphere, kVertexRadius, kLargeSphereType), TubeRadius(kDesignTube, kEdgeRadius),
              TubeRadius(kDesignTube, kSpecialEdgeRadius)}),
    1.0, AxisReach(kAxisLengths, kAxisRadius)};

void BuildDesignDisplayLists(const CDesignMeshStore& mesh)
{
    const CSharedShapeBuild shared({kDesignListSpecialEdges, kDesignListFaces, kDesignListEdges, kDesignListNormals,
                                    kDesignListVertices, kDesignListAxes});
    CompileList(kDesignListFaces, [&] { DrawFaces(mesh); });
    CompileList(kDesignListEdges,
                [&] { DrawEdgeTubes(mesh, mesh.edges.get(), mesh.nEdges, kEdgeRadius, kDesignTube, false); });
    CompileList(kDesignListSpecialEdges, [&] {
        DrawEdgeTubes(mesh, mesh.specialEdges.get(), mesh.nSpecialEdges, kSpecialEdgeRadius, kDesignTube, false);
    });
    CompileList(kDesignListNormals, [&] { DrawNormalLines(mesh); });
    CompileList(kDesignListVertices, [&] { DrawVertexSpheres(mesh, kVertexRadius, kDesignSphere); });
    CompileList(kDesignListAxes, [&] { DrawAxes(kAxisRadius, kAxisLengths, kDesignAxis); });
}
