// The GLUT side of the design viewer: window, OpenGL state, callbacks, menus.
#include <GL/freeglut.h>

#include <cstdlib>
#include <iostream>

#include "crimpa/app/DesignDisplayLists.h"
#include "crimpa/core/Design.h"
#include "crimpa/core/DesignMesh.h"
#include "crimpa/core/Keys.h"
#include "crimpa/core/ViewerState.h"
#include "mesh/WriteSignals.h"
#include "render/ViewerGLState.h"
#include "render/ViewerWindow.h"
#include "view/ViewRules.h"

static_assert(CDragButton::kLeft == GLUT_LEFT_BUTTON && CDragButton::kDown == GLUT_DOWN, "button codes");

namespace {

// The projection for the window, the zoom and what the scene shows under the
// current turn; every frame sets it, since a fold, a turn or a design load can
// bring more of the scene into depth.
void ApplyViewBox()
{
    SetOrthoView(windowWidth, windowHeight, SceneViewBox(theMesh, kDesignSceneReach, rotX, rotZ, windowWidth,
                                                         windowHeight, zoom, ERatioOrder::kProductFirst,
                                                         ViewerClampsDepth()));
}

void ReshapeFunc(int w, int h)
{
    windowWidth = w;
    windowHeight = h;
    ApplyViewBox();
}

void CompileDisplayLists()
{
    BuildDesignDisplayLists(theMesh);
}

void IdleFunc();

// Every input callback and IdleFunc end here: the idle callback stays
// registered only while something moves.
void SyncIdle()
{
    KeepIdleWhile(SceneMoves(), IdleFunc);
}

void DisplayFunc()
{
    ApplyViewBox();
    BeginViewRotation(rotX, rotZ);
    if (showCoordinateSystem) glCallList(kDesignListAxes);
    if (showFaces) glCallList(kDesignListFaces);
    if (showFacesByEdges) glCallList(kDesignListEdges);
    if (showVertices) glCallList(kDesignListVertices);
    if (showSpecialEdges) glCallList(kDesignListSpecialEdges);
    // The normal lines carry their own colour, which lighting would replace.
    glDisable(GL_LIGHTING);
    if (showNormals) glCallList(kDesignListNormals);
    glEnable(GL_LIGHTING);
    glPopMatrix();
    glutSwapBuffers();
}

void MouseFunc(int button, int state, int x, int y)
{
    CrimpaMouseButton(button, state, x, y);
    SyncIdle();
}

void MotionFunc(int x, int y)
{
    CrimpaPointerMotion(x, y);
    glutPostRedisplay();
    SyncIdle();
}

void SpecialFunc(int, int, int) { SyncIdle(); }

void KeyboardFunc(unsigned char key, int, int)
{
    if (key == 27) std::exit(0);
    // Always the real modifier state: the pointer position says nothing about the keys held.
    CrimpaHandleKey(key, glutGetModifiers(), std::cout);
    glutPostRedisplay();
    SyncIdle();
}

void IdleFunc()
{
    if (glutGetWindow() != windowId) glutSetWindow(windowId);
    // Registered only while something moves (SyncIdle), so every call has a new frame to show.
    if (autoSpin) rotZ = static_cast<float>(rotZ + 0.15);
    AdvanceAnimation(std::cout);
    glutPostRedisplay();
    SyncIdle();
}

void MenuFunc(int value)
{
    if (value == kQuitMenuValue) std::exit(0);
    HandleMenu(value, std::cout);
    glutPostRedisplay();
    SyncIdle();
}

void CreateMenus()
{
    const int designMenu = glutCreateMenu(MenuFunc);
    for (int k = 0; k < kDesignMenuEntries; ++k) glutAddMenuEntry(designMenuLabels[k], kFirstDesignMenuValue + k);
    glutCreateMenu(MenuFunc);
    for (const CMenuEntry& e : kToggleMenu) glutAddMenuEntry(e.label, e.value);
    glutAddSubMenu("Designs", designMenu);
    glutAddMenuEntry("Quit", kQuitMenuValue);
    glutAttachMenu(GLUT_RIGHT_BUTTON);
}

} // namespace

int main(int, char**)
{
    PrepareWritesForSignals();
    windowId = OpenViewerWindow(kDesignTitle, windowWidth, windowHeight);
    // From here on there is a context; the lists compiled before main had none.
    theMesh.displayListHook = CompileDisplayLists;

    RegisterViewerCallbacks(
        {DisplayFunc, IdleFunc, MotionFunc, MouseFunc, KeyboardFunc, SpecialFunc, ReshapeFunc});
    CreateMenus();
    SetViewerGLState();

    theMesh.ComputeFaceCentres();
    theMesh.ComputeFaceNormals();
    theMesh.GenerateEdges(std::cout);
    theMesh.BuildDisplayLists();

    showSpecialEdges = false;
    showFaces = true;
    showFacesByEdges = true;
    showNormals = false;
    showCoordinateSystem = designMode != 2;
    showVertices = true;
    autoSpin = false;
    animate = false;
    frameCounter = 0;

    ReshapeFunc(windowWidth, windowHeight);
    SyncIdle();
    glutMainLoop();
    return 0;
}
