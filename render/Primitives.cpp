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

// The geometry of one tube, sphere, arrow body or axis body in the element's
// local frame; equal keys give the same geometry. Tubes and spheres are
// written out as triangles, arrow and axis bodies are drawn by GLU's quadrics
// (slices and stacks are the shaft's, the cone has its own).
struct CShapeKey {
    enum EKind { kTube, kSphere, kArrow, kAxis } kind;
    double size[5];
    int slices;
    int stacks;
    int coneSlices;
    int coneStacks;

    bool operator<(const CShapeKey& o) const
    {
        return std::tie(kind, size[0], size[1], size[2], size[3], size[4], slices, stacks, coneSlices, coneStacks) <
               std::tie(o.kind, o.size[0], o.size[1], o.size[2], o.size[3], o.size[4], o.slices, o.stacks,
                        o.coneSlices, o.coneStacks);
    }
};

constexpr double kPi = 3.14159265358979323846;

// Sines and cosines of the slice angles as the quadrics take them: the angle
// rounded to float, its sine in double, rounded again; the last slice repeats
// the first.
void SliceTable(int slices, std::vector<float>& sinA, std::vector<float>& cosA)
{
    sinA.assign(slices + 1, 0.0f);
    cosA.assign(slices + 1, 0.0f);
    for (int i = 0; i < slices; ++i) {
        const float angle = static_cast<float>(2 * kPi * i / slices);
        sinA[i] = static_cast<float>(std::sin(static_cast<double>(angle)));
        cosA[i] = static_cast<float>(std::cos(static_cast<double>(angle)));
    }
    sinA[slices] = sinA[0];
    cosA[slices] = cosA[0];
}

// The triangles of a quad strip of `slices` quads in the order in which the
// renderer splits them; emit(v) sends strip vertex v.
template <class FEmit>
void EmitStripTriangles(int slices, FEmit emit)
{
    for (int v = 0; v + 3 < 2 * (slices + 1); v += 2) {
        for (int c : {v + 2, v, v + 3}) emit(c);
        for (int c : {v, v + 1, v + 3}) emit(c);
    }
}

// The open tube that gluCylinder draws (equal radii, smooth normals pointing
// out), with its floats computed the same way, as independent triangles.
// With equal radii the normal of a slice is its unit direction (height /
// length is exactly 1).
void EmitTubeTriangles(double radius, double height, int slices, int stacks)
{
    std::vector<float> sinA, cosA;
    SliceTable(slices, sinA, cosA);
    const float r = static_cast<float>(radius);
    glBegin(GL_TRIANGLES);
    for (int j = 0; j < stacks; ++j) {
        const float z[2] = {static_cast<float>(j * height / stacks), static_cast<float>((j + 1) * height / stacks)};
        // Strip vertex 2i is slice i at the lower ring, 2i + 1 at the upper one.
        EmitStripTriangles(slices, [&](int v) {
            const int i = v / 2;
            glNormal3f(sinA[i], cosA[i], 0.0f);
            glVertex3f(r * sinA[i], r * cosA[i], z[v % 2]);
        });
    }
    glEnd();
}

// The sphere that gluSphere draws (smooth normals pointing out, no texture),
// with its floats computed the same way, as independent triangles: the two
// end fans split as (0, i + 1, i + 2), the quad strips between them as a
// tube's.
void EmitSphereTriangles(double radius, int slices, int stacks)
{
    std::vector<float> sinA, cosA;
    SliceTable(slices, sinA, cosA);
    std::vector<float> sinN(stacks + 1), cosN(stacks + 1), sinP(stacks + 1), cosP(stacks + 1);
    for (int j = 0; j <= stacks; ++j) {
        const double angle = static_cast<float>(kPi * j / stacks);  // rounded as the slice angles
        sinN[j] = static_cast<float>(std::sin(angle));
        cosN[j] = static_cast<float>(std::cos(angle));
        sinP[j] = static_cast<float>(radius * std::sin(angle));
        cosP[j] = static_cast<float>(radius * std::cos(angle));
    }
    sinP[0] = 0;
    sinP[stacks] = 0;
    struct CVertex {
        float n[3];
        float p[3];
    };
    // Slice i at polar step j, normal and position as the quadric gives them.
    auto ring = [&](int i, int j) {
        return CVertex{{sinA[i] * sinN[j], cosA[i] * sinN[j], cosN[j]}, {sinP[j] * sinA[i], sinP[j] * cosA[i], cosP[j]}};
    };
    auto emit = [](const CVertex& v) {
        glNormal3f(v.n[0], v.n[1], v.n[2]);
        glVertex3f(v.p[0], v.p[1], v.p[2]);
    };
    std::vector<CVertex> fan(slices + 2);
    auto emitFan = [&]() {
        for (int i = 0; i < slices; ++i)
            for (int c : {0, i + 1, i + 2}) emit(fan[c]);
    };
    glBegin(GL_TRIANGLES);
    // The north fan runs through the slices backwards; its centre keeps the
    // normal given before it, the pole's.
    fan[0] = {{sinA[0] * sinN[0], cosA[0] * sinN[0], cosN[0]}, {0.0f, 0.0f, static_cast<float>(radius)}};
    for (int i = slices; i >= 0; --i) fan[slices + 1 - i] = ring(i, 1);
    emitFan();
    // The south centre's normal takes the slice entry numbered by the stack
    // count, as the quadric does (bounded here: the quadric would read past
    // its table if stacks exceeded slices).
    const int k = stacks % (slices + 1);
    fan[0] = {{sinA[k] * sinN[stacks], cosA[k] * sinN[stacks], cosN[stacks]}, {0.0f, 0.0f, static_cast<float>(-radius)}};
    for (int i = 0; i <= slices; ++i) fan[i + 1] = ring(i, stacks - 1);
    emitFan();
    // Strip vertex 2i is slice i at the ring j + 1, 2i + 1 at the ring j.
    for (int j = 1; j + 1 < stacks; ++j) EmitStripTriangles(slices, [&](int v) { emit(ring(v / 2, j + 1 - v % 2)); });
    glEnd();
}

void EmitShape(const CShapeKey& k)
{
    if (k.kind == CShapeKey::kTube) {
        EmitTubeTriangles(k.size[0], k.size[1], k.slices, k.stacks);
        return;
    }
    if (k.kind == CShapeKey::kSphere) {
        EmitSphereTriangles(k.size[0], k.slices, k.stacks);
        return;
    }
    // Shaft radius, shaft length, cone start, cone radius, cone height. An
    // axis always has its shaft and moves to the cone in double precision.
    GLUquadric* q = gluNewQuadric();
    const bool axis = k.kind == CShapeKey::kAxis;
    if (axis || k.size[1] > 0) gluCylinder(q, k.size[0], k.size[0], k.size[1], k.slices, k.stacks);
    if (axis)
        glTranslated(0.0, 0.0, k.size[2]);
    else
        glTranslatef(0.0f, 0.0f, static_cast<GLfloat>(k.size[2]));
    gluCylinder(q, k.size[3], 0.0, k.size[4], k.coneSlices, k.coneStacks);
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

// Arrow or axis body along the local z axis of an already placed frame.
void DrawArrowShape(CShapeKey::EKind kind, const CArrowShape& s, int slices, int stacks, int coneSlices,
                    int coneStacks)
{
    CallShape({kind,
               {s.shaftRadius, s.shaftLength, s.coneStart, s.coneRadius, s.coneHeight},
               slices,
               stacks,
               coneSlices,
               coneStacks});
}

void DrawArrowAlong(const CVector3d& a, const CVector3d& d, const CArrowShape& shape, int type)
{
    const CFrameMatrix frame = MakeFrameMatrix(d);
    if (!frame.valid || !IsFinite(a)) return;
    glPushMatrix();
    glTranslated(a.x(), a.y(), a.z());
    glMultMatrixd(frame.myMat);
    ApplyMaterial(kPolyTube.material(type));
    DrawArrowShape(CShapeKey::kArrow, shape, kArrowSlices, 1, kArrowSlices, 1);
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
    // Per length, not a unit tube scaled along z: scaling rounds the ring
    // heights apart from GLU's and moves a few pixels.
    CallShape({CShapeKey::kTube, {radius, frame.length, 0, 0, 0}, style.slices, style.stacks, 0, 0});
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
    // The axes are drawn first in a frame: without a highlight of their own
    // they would show the one the frame before left (none in the first frame).
    if (axis >= 1 && axis <= 3) SetFrontHighlight();
    // Shared like the other shapes, though the axes never change: the lists
    // are compiled again with every frame of an animation, and Mesa keeps
    // some bytes for good from every compiled run of several quad strips
    // (deleting the list does not return them).
    DrawArrowShape(CShapeKey::kAxis, AxisShape(length, r), style.shaftSlices, style.shaftStacks, style.coneSlices,
                   style.coneStacks);
    glPopMatrix();
}

void DrawVertexSphere(CVector3d p, double r, int type, const CSphereStyle& style)
{
    const double radius = SphereRadius(style, r, type);
    if (!IsFinite(p) || !UsableRadius(radius)) return;
    glPushMatrix();
    ApplyMaterial(style.material(type));
    glTranslated(p.x(), p.y(), p.z());
    CallShape({CShapeKey::kSphere, {radius, 0, 0, 0, 0}, style.slices, style.stacks, 0, 0});
    glPopMatrix();
}
