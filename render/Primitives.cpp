#include "render/Primitives.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "render/FrameMatrix.h"
#include "render/Materials.h"
#include "render/ShapeRules.h"

namespace {

bool UsableRadius(double r) { return std::isfinite(r) && r > 0; }

// The quadric calls of one tube, sphere or arrow body, in the element's local
// frame; equal keys give the same GL calls with the same arguments.
struct CShapeKey {
    enum EKind { kTube, kSphere, kArrow } kind;
    double size[5];
    int slices;
    int stacks;

    bool operator<(const CShapeKey& o) const
    {
        return std::tie(kind, size[0], size[1], size[2], size[3], size[4], slices, stacks) <
               std::tie(o.kind, o.size[0], o.size[1], o.size[2], o.size[3], o.size[4], o.slices, o.stacks);
    }
};

// The open tube that gluCylinder draws (equal radii, smooth normals pointing
// out), with its floats computed the same way, as independent triangles in the
// order in which the renderer splits each quad of a strip. With equal radii
// the normal of a slice is its unit direction (height / length is exactly 1).
void EmitTubeTriangles(double radius, double height, int slices, int stacks)
{
    constexpr double kPi = 3.14159265358979323846;
    std::vector<float> sinA(slices + 1), cosA(slices + 1);
    for (int i = 0; i < slices; ++i) {
        const float angle = static_cast<float>(2 * kPi * i / slices);
        sinA[i] = static_cast<float>(std::sin(angle));
        cosA[i] = static_cast<float>(std::cos(angle));
    }
    sinA[slices] = sinA[0];
    cosA[slices] = cosA[0];
    const float r = static_cast<float>(radius);
    glBegin(GL_TRIANGLES);
    for (int j = 0; j < stacks; ++j) {
        const float z[2] = {static_cast<float>(j * height / stacks), static_cast<float>((j + 1) * height / stacks)};
        // Strip vertex 2i is slice i at the lower ring, 2i + 1 at the upper one.
        auto emit = [&](int v) {
            const int i = v / 2;
            glNormal3f(sinA[i], cosA[i], 0.0f);
            glVertex3f(r * sinA[i], r * cosA[i], z[v % 2]);
        };
        for (int v = 0; v + 3 < 2 * (slices + 1); v += 2) {
            for (int c : {v + 2, v, v + 3}) emit(c);
            for (int c : {v, v + 1, v + 3}) emit(c);
        }
    }
    glEnd();
}

void EmitShape(const CShapeKey& k)
{
    if (k.kind == CShapeKey::kTube) {
        EmitTubeTriangles(k.size[0], k.size[1], k.slices, k.stacks);
        return;
    }
    GLUquadric* q = gluNewQuadric();
    if (k.kind == CShapeKey::kSphere) {
        gluSphere(q, k.size[0], k.slices, k.stacks);
    } else {
        // Shaft radius, shaft length, cone start, cone radius, cone height.
        if (k.size[1] > 0) gluCylinder(q, k.size[0], k.size[0], k.size[1], k.slices, 1);
        glTranslatef(0.0f, 0.0f, static_cast<GLfloat>(k.size[2]));
        gluCylinder(q, k.size[3], 0.0, k.size[4], k.slices, 1);
    }
    gluDeleteQuadric(q);
}

// The shared lists of the one window's context.
class CSharedShapes {
public:
    GLuint List(const CShapeKey& key)
    {
        auto found = shapes.find(key);
        if (found == shapes.end()) {
            const GLuint list = glGenLists(1);
            if (list == 0) return 0;
            found = shapes.emplace(key, CEntry{list, build}).first;
            fresh.push_back(found);
        }
        found->second.lastBuild = build;
        return found->second.list;
    }

    void CompileFresh()
    {
        for (const auto& it : fresh) {
            glNewList(it->second.list, GL_COMPILE);
            EmitShape(it->first);
            glEndList();
        }
        fresh.clear();
    }

    void BeginBuild() { ++build; }

    void DropUnused()
    {
        for (auto it = shapes.begin(); it != shapes.end();) {
            if (it->second.lastBuild == build) {
                ++it;
                continue;
            }
            glDeleteLists(it->second.list, 1);
            it = shapes.erase(it);
        }
    }

private:
    struct CEntry {
        GLuint list;
        unsigned lastBuild;
    };
    std::map<CShapeKey, CEntry> shapes;
    std::vector<std::map<CShapeKey, CEntry>::iterator> fresh;
    unsigned build = 0;
};

CSharedShapes& SharedShapes()
{
    static CSharedShapes shapes;
    return shapes;
}

void CallShape(const CShapeKey& key)
{
    const GLuint list = SharedShapes().List(key);
    if (list != 0) glCallList(list);
}

// Arrow body along the local z axis of an already placed frame.
void DrawArrowShape(const CArrowShape& s)
{
    CallShape({CShapeKey::kArrow,
               {s.shaftRadius, s.shaftLength, s.coneStart, s.coneRadius, s.coneHeight},
               kArrowSlices,
               1});
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

CSharedShapeBuild::CSharedShapeBuild(std::initializer_list<int> fixedLists)
{
    // A number handed out for a shared list must never be one that the viewer
    // compiles by number, so those exist (empty) before any is handed out.
    for (int list : fixedLists)
        if (!glIsList(list)) {
            glNewList(list, GL_COMPILE);
            glEndList();
        }
    SharedShapes().BeginBuild();
}

CSharedShapeBuild::~CSharedShapeBuild() { SharedShapes().DropUnused(); }

void CompileNewSharedShapes() { SharedShapes().CompileFresh(); }

void DrawCylinder(CVector3d a, CVector3d b, double r, int type, const CTubeStyle& style)
{
    const double radius = TubeRadius(style, r);
    const CFrameMatrix frame = MakeFrameMatrix(b - a);
    if (!frame.valid || !IsFinite(a) || !UsableRadius(radius)) return;
    glPushMatrix();
    ApplyMaterial(style.material(type));
    glTranslated(a.x(), a.y(), a.z());
    glMultMatrixd(frame.myMat);
    CallShape({CShapeKey::kTube, {radius, frame.length, 0, 0, 0}, style.slices, style.stacks});
    glPopMatrix();
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
    glPushMatrix();
    ApplyMaterial(style.material(type));
    glTranslated(p.x(), p.y(), p.z());
    CallShape({CShapeKey::kSphere, {radius, 0, 0, 0, 0}, style.slices, style.stacks});
    glPopMatrix();
}
