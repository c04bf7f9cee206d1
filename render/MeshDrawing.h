#pragma once
// List bodies that both programs' display lists share, over either mesh
// store. Every index taken from the mesh is checked against the counts and
// nothing outside the records is read; a face or edge that names a missing
// vertex is left out.
#include <GL/gl.h>

#include <algorithm>

#include "render/MeshGuards.h"
#include "render/Materials.h"
#include "render/Primitives.h"
#include "render/ShapeRules.h"

namespace meshdrawing {

// Compiles one display list, replacing any earlier list of that number, and
// then the shared shapes that it calls for the first time.
template <class Body>
void CompileList(int list, Body body)
{
    glNewList(list, GL_COMPILE);
    body();
    glEndList();
    CompileNewSharedShapes();
}

inline void EmitVertex(const CVector3d& p) { glVertex3dv(p.Data()); }
inline void EmitNormal(const CVector3d& n) { glNormal3dv(n.Data()); }

// Lit faces: triangles, quads and polygons, one normal from the first three
// corners; types without a colour keep the material in force.
template <class Store>
void DrawFaces(const Store& mesh)
{
    using Face = typename Store::Face;
    SetFaceMaterialDefault();
    CVector3d p[Face::kVertSlots];
    const int nFaces = FaceCount(mesh);
    for (int i = 0; i < nFaces; ++i) {
        const Face& face = mesh.faces[i];
        if (face.type == kHiddenType) continue;
        int n = 0;
        if (!FaceCorners(mesh, i, 3, p, n)) continue;
        ApplyMaterial(FaceMaterial(face.type));
        glBegin(n <= 3 ? GL_TRIANGLES : (n == 4 ? GL_QUADS : GL_POLYGON));
        const CVector3d normal = SafeUnitNormal(p[0], p[1], p[2]);
        EmitNormal(normal);
        EmitVertex(p[0]);
        EmitVertex(p[1]);
        EmitVertex(p[2]);
        if (n > 3) {
            EmitNormal(normal);
            EmitVertex(p[3]);
        }
        for (int k = 4; k < n; ++k) EmitVertex(p[k]);
        glEnd();
    }
}

// Tubes along count edges; hidden edges are skipped only when skipHidden.
template <class Store>
void DrawEdgeTubes(const Store& mesh, const CEdge* edges, int count, double r, const CTubeStyle& style,
                   bool skipHidden)
{
    const int n = EdgeCount(mesh, count);
    for (int k = 0; k < n; ++k) {
        const CEdge& e = edges[k];
        if (skipHidden && e.type == kHiddenType) continue;
        if (!ValidVertex(mesh, e.v1) || !ValidVertex(mesh, e.v2)) continue;
        DrawCylinder(mesh.vertices[e.v1].Position(), mesh.vertices[e.v2].Position(), r, e.type, style);
    }
}

template <class Store>
void DrawVertexSpheres(const Store& mesh, double r, const CSphereStyle& style)
{
    const int n = VertexCount(mesh);
    for (int i = 0; i < n; ++i) {
        if (mesh.vertices[i].type == kHiddenType) continue;
        DrawVertexSphere(mesh.vertices[i].Position(), r, mesh.vertices[i].type, style);
    }
}

// Farthest any of the three axes reaches from the origin.
inline double AxisReach(const double lengths[3], double r)
{
    double reach = 0;
    for (int i = 0; i < 3; ++i) reach = std::max(reach, ShapeReach(AxisShape(lengths[i], r)));
    return reach;
}

// z, y and x axes from the origin.
inline void DrawAxes(double r, const double lengths[3], const CAxisStyle& style)
{
    DrawAxis(3, r, lengths[2], style);
    DrawAxis(2, r, lengths[1], style);
    DrawAxis(1, r, lengths[0], style);
}

}  // namespace meshdrawing
