// The display lists drawn through shared shapes give the very pixels of the
// plain drawing in which every tube and sphere compiles its own quadric. Needs
// an X display (run under Xvfb): a freeglut window gives the GL context.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "crimpa/app/DesignDisplayLists.h"
#include "hedrix/app/PolyDisplayLists.h"
#include "render/FrameMatrix.h"
#include "render/Materials.h"
#include "render/MeshGuards.h"
#include "render/Primitives.h"
#include "render/ShapeRules.h"
#include "render/ViewerGLState.h"
#include "render/ViewerWindow.h"

using namespace meshdrawing;

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 700;

// --- the plain drawing: one quadric per element -------------------------

void PlainCylinder(CVector3d a, CVector3d b, double r, int type, const CTubeStyle& style)
{
    const double radius = TubeRadius(style, r);
    const CFrameMatrix frame = MakeFrameMatrix(b - a);
    if (!frame.valid || !IsFinite(a) || !(radius > 0)) return;
    glPushMatrix();
    ApplyMaterial(style.material(type));
    glTranslated(a.x(), a.y(), a.z());
    glMultMatrixd(frame.myMat);
    GLUquadric* q = gluNewQuadric();
    gluCylinder(q, radius, radius, frame.length, style.slices, style.stacks);
    glPopMatrix();
    gluDeleteQuadric(q);
}

void PlainSphere(CVector3d p, double r, int type, const CSphereStyle& style)
{
    const double radius = SphereRadius(style, r, type);
    if (!IsFinite(p) || !(radius > 0)) return;
    GLUquadric* q = gluNewQuadric();
    glPushMatrix();
    ApplyMaterial(style.material(type));
    glTranslated(p.x(), p.y(), p.z());
    gluSphere(q, radius, style.slices, style.stacks);
    glPopMatrix();
    gluDeleteQuadric(q);
}

// Arrow from a along d of the given shape, as the polyhedron viewer draws one.
void PlainArrow(CVector3d a, CVector3d d, const CArrowShape& s, int type)
{
    const CFrameMatrix frame = MakeFrameMatrix(d);
    if (!frame.valid || !IsFinite(a)) return;
    glPushMatrix();
    glTranslated(a.x(), a.y(), a.z());
    glMultMatrixd(frame.myMat);
    ApplyMaterial(kPolyTube.material(type));
    GLUquadric* q = gluNewQuadric();
    if (s.shaftLength > 0) gluCylinder(q, s.shaftRadius, s.shaftRadius, s.shaftLength, kArrowSlices, 1);
    glTranslatef(0.0f, 0.0f, static_cast<GLfloat>(s.coneStart));
    gluCylinder(q, s.coneRadius, 0.0, s.coneHeight, kArrowSlices, 1);
    gluDeleteQuadric(q);
    glPopMatrix();
}

// The three axes with quadrics of their own in the list: z green, y blue,
// x red, each turned onto its direction, with the faces' highlight.
void PlainAxesList(int list, double r, const double lengths[3], const CAxisStyle& style)
{
    struct CPlainAxis {
        void (*material)();
        float angle, x, y;  // turn from z onto the axis (none for z)
        double length;
    };
    const CPlainAxis axes[] = {{SetMaterialGreen, 0.0f, 0.0f, 0.0f, lengths[2]},
                               {SetMaterialBlue, -90.0f, 1.0f, 0.0f, lengths[1]},
                               {SetMaterialRed, 90.0f, 0.0f, 1.0f, lengths[0]}};
    glNewList(list, GL_COMPILE);
    for (const CPlainAxis& a : axes) {
        GLUquadric* q = gluNewQuadric();
        glPushMatrix();
        a.material();
        if (a.angle != 0.0f) glRotatef(a.angle, a.x, a.y, 0.0f);
        SetFrontHighlight();
        const CArrowShape s = AxisShape(a.length, r);
        gluCylinder(q, s.shaftRadius, s.shaftRadius, s.shaftLength, style.shaftSlices, style.shaftStacks);
        glTranslated(0.0, 0.0, s.coneStart);
        gluCylinder(q, s.coneRadius, 0.0, s.coneHeight, style.coneSlices, style.coneStacks);
        glPopMatrix();
        gluDeleteQuadric(q);
    }
    glEndList();
}

// Normal arrows of the type-3 faces, as the polyhedron viewer draws them.
void PlainNormalArrowList(int list, const CPolyMeshStore& m)
{
    glNewList(list, GL_COMPILE);
    for (int i = 0; i < FaceCount(m); ++i) {
        const CPolyFace& f = m.faces[i];
        if (f.type != 3) continue;
        const CVector3d v = 0.3 * f.Normal();
        PlainArrow(f.Centre(), v, VectorArrowShape(length(v), 0.003), 3);
    }
    glEndList();
}

// Hidden quadrilaterals as orange triangles along the shorter diagonal, with
// a crease tube where the diagonals differ.
void PlainSplitFaceList(int list, const CPolyMeshStore& m)
{
    glNewList(list, GL_COMPILE);
    SetFaceMaterialDefault();
    SetMaterialOrange();
    for (int i = 0; i < FaceCount(m); ++i) {
        CVector3d p[CPolyFace::kVertSlots];
        int n = 0;
        if (m.faces[i].type != kHiddenType || !FaceCorners(m, i, 4, p, n)) continue;
        const CQuadSplit split = ChooseQuadSplit(p[0], p[1], p[2], p[3]);
        glBegin(GL_TRIANGLES);
        for (const int* t : split.triangles) {
            glNormal3dv(SafeUnitNormal(p[t[0]], p[t[1]], p[t[2]]).Data());
            for (int k = 0; k < 3; ++k) glVertex3dv(p[t[k]].Data());
        }
        glEnd();
        if (split.creaseTube) PlainCylinder(p[split.diagonal[0]], p[split.diagonal[1]], 0.01, 4, kPolyTube);
    }
    glEndList();
}

// The twist construction of faces fa, fb and vertices va, vb: arrows from the
// centroid to the face centres and on to the vertices, spheres, the edge.
void PlainMarkerList(int list, const CPolyMeshStore& m, int fa, int fb, int va, int vb)
{
    glNewList(list, GL_COMPILE);
    SetFaceMaterialDefault();
    const CVector3d a = m.vertices[va].Position();
    const CVector3d b = m.vertices[vb].Position();
    const CVector3d ca = m.faces[fa].Centre();
    const CVector3d cb = m.faces[fb].Centre();
    const CVector3d c = m.Centroid();
    const CVector3d from[4] = {c, c, ca, cb};
    const CVector3d to[4] = {ca, cb, a, b};
    for (int k = 0; k < 4; ++k)
        PlainArrow(from[k], to[k] - from[k], ArrowToPointShape(length(to[k] - from[k]), 0.01), kLightRedType);
    PlainSphere(c, 0.03, 1, kPolySphere);
    for (const CVector3d& p : {a, b, ca, cb}) PlainSphere(p, 0.02, kLightRedType, kPolySphere);
    PlainCylinder(a, b, 0.01, 1, kPolyTube);
    glEndList();
}

template <class Store>
void PlainTubeList(int list, const Store& m, const CEdge* edges, int count, double r, const CTubeStyle& style,
                   bool skipHidden)
{
    glNewList(list, GL_COMPILE);
    for (int k = 0; k < EdgeCount(m, count); ++k) {
        const CEdge& e = edges[k];
        if ((skipHidden && e.type == kHiddenType) || !ValidVertex(m, e.v1) || !ValidVertex(m, e.v2)) continue;
        PlainCylinder(m.vertices[e.v1].Position(), m.vertices[e.v2].Position(), r, e.type, style);
    }
    glEndList();
}

template <class Store>
void PlainSphereList(int list, const Store& m, double r, const CSphereStyle& style)
{
    glNewList(list, GL_COMPILE);
    for (int i = 0; i < VertexCount(m); ++i)
        if (m.vertices[i].type != kHiddenType) PlainSphere(m.vertices[i].Position(), r, m.vertices[i].type, style);
    glEndList();
}

// --- fixtures ----------------------------------------------------------

// One quad per face type with a material and some without, every tube and
// sphere type, hidden records, a vertical special edge, coincident points.
void FillMixedMesh(CDesignMeshStore& m)
{
    const int faceTypes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 18, 22, 0, 99, 13};
    const int vertexTypes[] = {0, 1, 2, 3, 9, 4, 99, 7, 5, 9, 1, 2, 3, 6, 8, 9, 11};
    const int cols = 17;
    int nv = 0;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < cols; ++i, ++nv)
            m.vertices[nv].Set(-1.2 + 0.15 * i, -0.5 + 0.4 * j + 0.02 * i, 0.05 * std::sin(i + j),
                               vertexTypes[(i + j) % 17]);
    int nf = 0;
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i + 1 < cols && nf < 32; ++i, ++nf) {
            const int v = j * cols + i;
            const int quad[4] = {v, v + 1, v + cols + 1, v + cols};
            m.faces[nf].Set(4, quad, faceTypes[nf % 16]);
        }
    // A vertical post, a point on top of another one and a triangle of its own.
    m.vertices[nv].Set(0.9, 0.6, 0.0, 9);
    m.vertices[nv + 1].Set(0.9, 0.6, 0.7, 2);
    m.vertices[nv + 2].Set(0.9, 0.6, 0.7, 3);
    m.vertices[nv + 3].Set(1.2, 0.9, 0.2, 1);
    const int tri[3] = {nv + 1, nv + 3, nv};
    m.faces[nf++].Set(3, tri, 12);
    m.nVertices = nv + 4;
    m.nFaces = nf;
    m.ComputeFaceCentres();
    m.ComputeFaceNormals();
    m.GenerateEdges(std::cout);
    const int special[][3] = {{nv, nv + 1, 2},   {nv + 1, nv + 2, 3}, {0, cols * 2 + 5, 6}, {3, 40, 7},
                              {nv + 1, 0, 99},   {5, 6, 1},           {8, nv + 3, 22},      {nv + 3, nv, 9},
                              {nv + 2, nv, 3}};
    m.nSpecialEdges = 0;
    for (const auto& s : special) m.specialEdges[m.nSpecialEdges++].Set(s[0], s[1], s[2], -1, -1);
    m.edges[3].type = 2;
    m.edges[4].type = 3;
    m.edges[5].type = 6;
    m.edges[6].type = kHiddenType;
}

// The same mesh in the polyhedron viewer's store.
void FillMixedPolyMesh(CPolyMeshStore& m)
{
    auto d = std::make_unique<CDesignMeshStore>(200, 400, 200);
    FillMixedMesh(*d);
    m.nVertices = d->nVertices;
    m.nFaces = d->nFaces;
    for (int i = 0; i < d->nVertices; ++i) m.vertices[i].SetPosition(d->vertices[i].Position(), d->vertices[i].type);
    for (int i = 0; i < d->nFaces; ++i) m.faces[i].Set(d->faces[i].nVerts, d->faces[i].verts, d->faces[i].type);
    m.ComputeFaceCentres();
    m.ComputeFaceNormals();
    m.GenerateEdges(std::cout);
    m.nSpecialEdges = d->nSpecialEdges;
    for (int k = 0; k < d->nSpecialEdges; ++k) m.specialEdges[k] = d->specialEdges[k];
}

// An n by n grid filling the view, gently waved so that edge lengths vary.
void FillGrid(CDesignMeshStore& m, int n)
{
    const double step = 2.4 / n;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i)
            m.vertices[j * (n + 1) + i].Set(-1.2 + i * step, -1.2 + j * step,
                                            0.1 * std::sin(0.2 * i) * std::cos(0.3 * j),
                                            (i + j) % 23 == 0 ? 9 : (i * j) % 4);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int v = j * (n + 1) + i;
            const int quad[4] = {v, v + 1, v + n + 2, v + n + 1};
            m.faces[j * n + i].Set(4, quad, 1 + (i + 2 * j) % 5);
        }
    m.nVertices = (n + 1) * (n + 1);
    m.nFaces = n * n;
    m.nSpecialEdges = 0;
    m.ComputeFaceCentres();
    m.ComputeFaceNormals();
    m.GenerateEdges(std::cout);
}

struct CView {
    float rotX;
    float rotZ;
    double zoom;
};

constexpr CView kViews[] = {{-70.0f, -160.0f, 1.0}, {0.0f, 0.0f, 1.0}, {-90.0f, 35.0f, 0.6}, {-30.0f, 75.0f, 3.0}};

void DrawFrame(const CView& view, std::initializer_list<int> lists)
{
    const double h = 1.5 / view.zoom;
    const CViewBox box{kWidth, kHeight, -h * kWidth / kHeight, h * kWidth / kHeight, -h, h, -10.0, 10.0};
    SetOrthoView(kWidth, kHeight, box);
    BeginViewRotation(view.rotX, view.rotZ);
    for (int list : lists) {
        if (list == kDesignListNormals) glDisable(GL_LIGHTING);
        glCallList(list);
        glEnable(GL_LIGHTING);
    }
    glPopMatrix();
    glFinish();
}

// The lists, in the viewer's replay order, as one picture. The renderer's
// first frame of a new kind of drawing can differ from every later one, lists
// or not, so the picture is that of the second frame.
std::vector<unsigned char> Render(const CView& view, std::initializer_list<int> lists)
{
    DrawFrame(view, lists);
    DrawFrame(view, lists);
    std::vector<unsigned char> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

long Differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    long n = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++n;
    return n;
}

long NotWhite(const std::vector<unsigned char>& a)
{
    long n = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        if (a[i] != 255 || a[i + 1] != 255 || a[i + 2] != 255) ++n;
    return n;
}

const std::initializer_list<int> kDesignReplay = {kDesignListAxes,     kDesignListFaces,        kDesignListEdges,
                                                  kDesignListVertices, kDesignListSpecialEdges, kDesignListNormals};

// Pictures of the design lists as built, then with the tube and sphere lists
// compiled the plain way, in every view.
void ExpectDesignListsDrawLikePlain(const CDesignMeshStore& m)
{
    std::vector<std::vector<unsigned char>> built;
    BuildDesignDisplayLists(m);
    for (const CView& v : kViews) built.push_back(Render(v, kDesignReplay));
    PlainTubeList(kDesignListEdges, m, m.edges.get(), m.nEdges, 0.0125, kDesignTube, false);
    PlainTubeList(kDesignListSpecialEdges, m, m.specialEdges.get(), m.nSpecialEdges, 0.015, kDesignTube, false);
    PlainSphereList(kDesignListVertices, m, 0.025, kDesignSphere);
    const double axisLengths[3] = {1.0, 1.5, 0.75};
    PlainAxesList(kDesignListAxes, 0.01, axisLengths, kDesignAxis);
    for (size_t k = 0; k < built.size(); ++k) {
        const std::vector<unsigned char> plain = Render(kViews[k], kDesignReplay);
        EXPECT_GT(NotWhite(plain), 1000) << "view " << k;
        EXPECT_EQ(Differing(built[k], plain), 0) << "view " << k;
    }
}

TEST(ListPixels, MixedDesignMeshDrawsLikePlainQuadrics)
{
    auto m = std::make_unique<CDesignMeshStore>(200, 400, 200);
    FillMixedMesh(*m);
    ASSERT_EQ(DistinctTubeLengths(*m, m->edges.get(), m->nEdges), 59);
    ExpectDesignListsDrawLikePlain(*m);
}

// Nearly every tube of this fixture has a length of its own.
TEST(ListPixels, LargeGridDrawsLikePlainQuadrics)
{
    auto m = std::make_unique<CDesignMeshStore>();
    FillGrid(*m, 150);
    ASSERT_GT(DistinctTubeLengths(*m, m->edges.get(), m->nEdges), 40000);
    ExpectDesignListsDrawLikePlain(*m);
}

// A rebuild keeps drawing the same: the shared shapes outlive the lists.
TEST(ListPixels, RebuiltListsDrawTheSame)
{
    auto m = std::make_unique<CDesignMeshStore>(200, 400, 200);
    FillMixedMesh(*m);
    BuildDesignDisplayLists(*m);
    const std::vector<unsigned char> first = Render(kViews[0], kDesignReplay);
    BuildDesignDisplayLists(*m);
    BuildDesignDisplayLists(*m);
    EXPECT_EQ(Differing(first, Render(kViews[0], kDesignReplay)), 0);
}

// The polyhedron viewer's tube, sphere, arrow, split-face and marker lists on
// the same kind of mesh, in its replay order and the last two alone.
TEST(ListPixels, PolyListsDrawLikePlainQuadrics)
{
    auto m = std::make_unique<CPolyMeshStore>();
    FillMixedPolyMesh(*m);
    const std::initializer_list<int> replays[] = {
        {kPolyListAxes, kPolyListFaces, kPolyListSplitFaces, kPolyListMarker, kPolyListEdges, kPolyListVertices,
         kPolyListSpecialEdges, kPolyListNormals},
        {kPolyListSplitFaces, kPolyListMarker}};
    const int mark[4] = {3, 20, 5, 40};
    std::vector<std::vector<unsigned char>> built;
    BuildPolyDisplayLists(*m, mark[0], mark[1], mark[2], mark[3]);
    for (const auto& replay : replays)
        for (const CView& v : kViews) built.push_back(Render(v, replay));
    PlainTubeList(kPolyListEdges, *m, m->edges.get(), m->nEdges, 0.01, kPolyTube, true);
    PlainTubeList(kPolyListSpecialEdges, *m, m->specialEdges.get(), m->nSpecialEdges, 0.01, kPolyTube, false);
    PlainSphereList(kPolyListVertices, *m, 0.03, kPolySphere);
    PlainNormalArrowList(kPolyListNormals, *m);
    PlainSplitFaceList(kPolyListSplitFaces, *m);
    PlainMarkerList(kPolyListMarker, *m, mark[0], mark[1], mark[2], mark[3]);
    const double axisLengths[3] = {1.2, 1.2, 1.2};
    PlainAxesList(kPolyListAxes, 0.02, axisLengths, kPolyAxis);
    size_t k = 0;
    for (const auto& replay : replays)
        for (const CView& v : kViews) {
            const std::vector<unsigned char> plain = Render(v, replay);
            EXPECT_GT(NotWhite(plain), 1000) << "picture " << k;
            EXPECT_EQ(Differing(built[k], plain), 0) << "picture " << k;
            ++k;
        }
}

// The lowest number of bytes in use over `rebuilds` calls of build: the
// driver's vertex store comes and goes in blocks of a megabyte, so only the
// lowest tells what stays.
template <class Build>
size_t LowestInUse(int rebuilds, Build build)
{
    size_t lowest = SIZE_MAX;
    for (int i = 0; i < rebuilds; ++i) {
        build();
        lowest = std::min(lowest, mallinfo2().uordblks);
    }
    return lowest;
}

// An animation compiles every list again with every frame, thousands of
// times a minute: the rebuilds must leave no memory behind in the driver.
// Each program alone, as in its window: a build frees the shared shapes that
// it does not call.
TEST(ListMemory, RebuildsLeaveNoMemoryBehind)
{
    auto design = std::make_unique<CDesignMeshStore>(200, 400, 200);
    auto poly = std::make_unique<CPolyMeshStore>();
    FillMixedMesh(*design);
    FillMixedPolyMesh(*poly);
    const std::function<void()> builds[] = {[&] { BuildDesignDisplayLists(*design); },
                                            [&] { BuildPolyDisplayLists(*poly, 3, 20, 5, 40); }};
    for (const auto& build : builds) {
        LowestInUse(1000, build);
        const size_t before = LowestInUse(1000, build);
        LowestInUse(3000, build);
        const size_t after = LowestInUse(1000, build);
        // Axes that compile quadrics of their own keep 300 to 800 bytes a rebuild: 1.2 to 3 MB here.
        EXPECT_LT(static_cast<double>(after) - static_cast<double>(before), 256e3) << "program " << &build - builds;
    }
}

// The axes come first in a frame, after whatever material the frame before
// left: GL's default (no highlight) in the first frame, the faces' base
// material in every later one. Both programs' axes draw the same after either.
TEST(ListPixels, AxesDrawTheSameWhateverMaterialCameBefore)
{
    static_assert(static_cast<int>(kPolyListAxes) == static_cast<int>(kDesignListAxes), "one list number");
    auto design = std::make_unique<CDesignMeshStore>(200, 400, 200);
    auto poly = std::make_unique<CPolyMeshStore>();
    const GLfloat noHighlight[] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (const bool hedrixAxes : {false, true}) {
        if (hedrixAxes)
            BuildPolyDisplayLists(*poly, -1, -1, -1, -1);
        else
            BuildDesignDisplayLists(*design);
        for (const CView& v : kViews) {
            glMaterialfv(GL_FRONT, GL_SPECULAR, noHighlight);
            glMaterialf(GL_FRONT, GL_SHININESS, 0.0f);
            const std::vector<unsigned char> first = Render(v, {kDesignListAxes});
            SetFaceMaterialDefault();
            const std::vector<unsigned char> later = Render(v, {kDesignListAxes});
            EXPECT_GT(NotWhite(first), 300) << hedrixAxes << " view " << &v - kViews;
            EXPECT_EQ(Differing(first, later), 0) << hedrixAxes << " view " << &v - kViews;
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    OpenViewerWindow("test_list_pixels", kWidth, kHeight);
    SetViewerGLState();
    {
        // Both programs' lists share this one context: no shared shape of the
        // one may take a number that the other compiles by number.
        const CSharedShapeBuild reserve({kDesignListSpecialEdges, kDesignListFaces, kDesignListEdges,
                                         kDesignListNormals, kDesignListVertices, kDesignListAxes,
                                         kPolyListSplitFaces, kPolyListMarker});
    }
    return RUN_ALL_TESTS();
}
