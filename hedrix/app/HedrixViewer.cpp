#include "hedrix/app/HedrixViewer.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <iostream>

#include "hedrix/app/PolyDisplayLists.h"
#include "hedrix/core/HedrixGlobals.h"
#include "hedrix/core/Input.h"
#include "render/ViewerGLState.h"
#include "render/ViewerWindow.h"

static_assert(CDragButton::kLeft == GLUT_LEFT_BUTTON && CDragButton::kDown == GLUT_DOWN, "button codes");

void CompileMeshDisplayLists()
{
    BuildPolyDisplayLists(theMesh, theMesh.markFaceA, theMesh.markFaceB, theMesh.markVertexA, theMesh.markVertexB);
}

namespace {

// The projection for the window, the zoom and what the scene shows under the
// current turn; every frame sets it, since a fold or a turn can bring more of
// the scene into depth.
void ApplyViewBox()
{
    SetOrthoView(windowWidth, windowHeight,
                 SceneViewBox(theMesh, kPolySceneReach, rotX, rotZ, windowWidth, windowHeight, zoom,
                              ERatioOrder::kQuotientFirst, ViewerClampsDepth()));
    StorePickBounds();
}

}  // namespace

void InitGL()
{
    SetViewerGLState();
}

void InitScene()
{
    theMesh.SelectVornObject(4, true, std::cout);
    theMesh.ReplaceFaceType(kSquareFaceType, kHiddenType);
    // Every built-in object is centred on the origin, so once is enough.
    theMesh.computeCentroid();
    theMesh.ComputeFaceCentres();
    theMesh.ComputeFaceNormals();
    theMesh.BuildDisplayLists();
    theViewState.ResetToggles();
}

void CreateMenus()
{
    const int objectMenu = glutCreateMenu(MenuFunc);
    for (const CMenuEntry& e : kObjectMenu) glutAddMenuEntry(e.label, e.value);
    glutCreateMenu(MenuFunc);
    for (const CMenuEntry& e : kToggleMenu) glutAddMenuEntry(e.label, e.value);
    glutAddSubMenu(kObjectSubmenuLabel, objectMenu);
    glutAddMenuEntry(kQuitEntry.label, kQuitEntry.value);
    glutAttachMenu(GLUT_RIGHT_BUTTON);
}

void DisplayFunc()
{
    ApplyViewBox();
    BeginViewRotation(rotX, rotZ);
    static const struct {
        int toggle;
        GLuint list;
    } kReplay[] = {{CViewState::kCoordinateSystem, kPolyListAxes}, {CViewState::kFaces, kPolyListFaces},
                   {CViewState::kSplitFaces, kPolyListSplitFaces},  {CViewState::kMarker, kPolyListMarker},
                   {CViewState::kFacesByEdges, kPolyListEdges},     {CViewState::kVertices, kPolyListVertices},
                   {CViewState::kSpecialEdges, kPolyListSpecialEdges}, {CViewState::kNormals, kPolyListNormals}};
    for (const auto& r : kReplay)
        if (theViewState.toggles[r.toggle]) glCallList(r.list);
    glPopMatrix();
    glutSwapBuffers();
}

void IdleFunc()
{
    IdleStep(std::cout);
    if (glutGetWindow() != windowId) glutSetWindow(windowId);
    glutPostRedisplay();
    SyncIdle();
}

void SyncIdle()
{
    KeepIdleWhile(SceneMoves(), IdleFunc);
}

void ReshapeFunc(int width, int height)
{
    windowWidth = width;
    windowHeight = height;
    ApplyViewBox();
}

void KeyboardFunc(unsigned char key, int, int)
{
    if (key == kKeyEscape) std::exit(0);
    // Always the real modifier state: x and y are only the pointer position.
    HedrixHandleKey(key, glutGetModifiers(), std::cout);
    glutPostRedisplay();
    SyncIdle();
}

void SpecialFunc(int key, int, int)
{
    switch (key) {
    case GLUT_KEY_UP:
        PrevSolid(std::cout);
        glutPostRedisplay();
        break;
    case GLUT_KEY_RIGHT:
        theMesh.AdvanceSequence();
        // A step that only rebuilds the lists starts no motion: nothing else would draw it.
        glutPostRedisplay();
        break;
    case GLUT_KEY_DOWN:
        NextSolid(std::cout);
        glutPostRedisplay();
        break;
    default: break;
    }
    SyncIdle();
}

void MouseFunc(int button, int state, int x, int y)
{
    HedrixMouseButton(button, state, x, y, std::cout);
    SyncIdle();
}

void MotionFunc(int x, int y)
{
    HedrixPointerMotion(x, y);
    glutPostRedisplay();
    SyncIdle();
}

void MenuFunc(int value)
{
    if (value == kMenuQuit) std::exit(0);
    MenuAction(value, std::cout);
    glutPostRedisplay();
    SyncIdle();
}
