#include "render/Primitives.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "render/FrameMatrix.h"
#include "render/Materials.h"
#include "render/ShapeRules.h"

namespace {

bool UsableRadius(double r) { return std::isfinite(r) && r > 0; }

// Arrow body along the local z axis of an already placed frame.
void DrawArrowShape(const CArrowShape& s)
{
    GLUquadric* q = gluNewQuadric();
    if (s.shaftLength > 0) gluCylinder(q, s.shaftRadius, s.shaftRadius, s.shaftLength, kArrowSlices, 1);
    glTranslatef(0.0f, 0.0f, static_cast<GLfloat>(s.coneStart));
    gluCylinder(q, s.coneRadius, 0.0, s.coneHeight, kArrowSlices, 1);
    gluDeleteQuadric(q);
}

void DrawArrowAlong(const CVector3d& a, const CVector3d& d, const CArrowShape& shape, int type)
{
    const CFrameMatrix frame = MakeFrameMatrix(d);
    if (!frame.valid || !IsFinite(a)) return;
    glPushMatrix();
    glTranslated(a.x(), a.y(), a.z());
    glMultMatrixd(frame.myMat);
    ApplyMaterial(kPolyTube.material(type));
    DrawArrowShape(shape);
    glPopMatrix();
}

}  // namespace

void DrawCylinder(CVector3d a, CVector3d b, double r, int type, const CTubeStyle& style)
{
    const double radius = TubeRadius(style, r);
    const CFrameMatrix frame = MakeFrameMatrix(b - a);
    if (!frame.valid || !IsFinite(a) || !UsableRadius(radius)) return;
    glPushMatrix();
    ApplyMaterial(style.material(type));
    glTranslated(a.x(), a.y(), a.z());
    glMultMatrixd(frame.myMat);
    GLUquadric* q = gluNewQuadric();
    gluCylinder(q, radius, radius, frame.length, style.slices, style.stacks);
    glPopMatrix();
    gluDeleteQuadric(q);
}

void DrawArrow(CVector3d a, CVector3d b, double r, int type)
{
    if (!UsableRadius(r)) return;
    const CVector3d d = b - a;
    DrawArrowAlong(a, d, ArrowToPointShape(length(d), r), type);
}

void DrawVectorArrow(CVector3d a, CVector3d v, double r, int type)
{
    if (!UsableRadius(r)) return;
    DrawArrowAlong(a, v, VectorArrowShape(length(v), r), type);
}

void DrawAxis(int axis, double r, double length, const CAxisStyle& style)
{
    if (!UsableRadius(r) || !std::isfinite(length)) return;
    GLUquadric* q = gluNewQuadric();
    glPushMatrix();
    if (axis == 1) {
        SetMaterialRed();
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    } else if (axis == 2) {
        SetMaterialBlue();
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    } else if (axis == 3) {
        SetMaterialGreen();
    }
    gluCylinder(q, r, r, length, style.shaftSlices, style.shaftStacks);
    glTranslated(0.0, 0.0, length);
    gluCylinder(q, 2.5 * r, 0.0, 5.0 * r, style.coneSlices, style.coneStacks);
    glPopMatrix();
    gluDeleteQuadric(q);
}

void DrawVertexSphere(CVector3d p, double r, int type, const CSphereStyle& style)
{
    const double radius = SphereRadius(style, r, type);
    if (!IsFinite(p) || !UsableRadius(radius)) return;
    GLUquadric* q = gluNewQuadric();
    glPushMatrix();
    ApplyMaterial(style.material(type));
    glTranslated(p.x(), p.y(), p.z());
    gluSphere(q, radius, style.slices, style.stacks);
    glPopMatrix();
    gluDeleteQuadric(q);
}
