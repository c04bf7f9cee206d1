#include "hedrix/Viewer.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <iostream>

#include "hedrix/Globals.h"
#include "hedrix/Input.h"
#include "render/PolyDisplayLists.h"

namespace {

const GLfloat kLightAmbient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
const GLfloat kLightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat kLightPosition[4] = {90.0f, -90.0f, 150.0f, 0.0f};
const GLfloat kModelAmbient[4] = {1.0f, 1.0f, 1.0f, 1.0f};

} // namespace

void CompileMeshDisplayLists()
{
    BuildPolyDisplayLists(theMesh, theMesh.markFaceA, theMesh.markFaceB, theMesh.markVertexA, theMesh.markVertexB);
}

void InitGL()
{
    glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kModelAmbient);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);
    glFrontFace(GL_CCW);
    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glDepthFunc(GL_LESS);
}

void InitScene()
{
    theMesh.SelectVornObject(4, true);
    theMesh.ReplaceFaceType(1, 99);
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
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glRotatef(rotX, 1.0f, 0.0f, 0.0f);
    glRotatef(0.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(rotZ, 0.0f, 0.0f, 1.0f);
    static const struct {
        int toggle;
        GLuint list;
    } kReplay[] = {{CViewState::kCoordinateSystem, 10}, {CViewState::kFaces, 110},
                   {CViewState::kSplitFaces, 190},      {CViewState::kMarker, 195},
                   {CViewState::kFacesByEdges, 120},    {CViewState::kVertices, 140},
                   {CViewState::kSpecialEdges, 100},    {CViewState::kNormals, 130}};
    for (const auto& r : kReplay)
        if (theViewState.toggles[r.toggle]) glCallList(r.list);
    glPopMatrix();
    glutSwapBuffers();
}

void IdleFunc()
{
    IdleStep();
    if (glutGetWindow() != windowId) glutSetWindow(windowId);
    glutPostRedisplay();
}

void ReshapeFunc(int width, int height)
{
    windowWidth = width;
    windowHeight = height;
    const COrthoBounds b = ComputeOrthoBounds(width, height, zoom);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(b.left, b.right, b.bottom, b.top, b.nearPlane, b.farPlane);
    theViewState.SetProjection(b.width, b.height, b.left, b.right, b.bottom, b.top);
    glMatrixMode(GL_MODELVIEW);
}

void KeyboardFunc(unsigned char key, int, int)
{
    if (key == kKeyEscape) std::exit(0);
    // Always the real modifier state: x and y are only the pointer position.
    HandleKey(key, glutGetModifiers());
    if (KeyChangesZoom(key)) ReshapeFunc(windowWidth, windowHeight);
    glutPostRedisplay();
}

void SpecialFunc(int key, int, int)
{
    switch (key) {
    case GLUT_KEY_UP:
        PrevSolid();
        glutPostRedisplay();
        break;
    case GLUT_KEY_RIGHT:
        theMesh.AdvanceSequence();
        break;
    case GLUT_KEY_DOWN:
        NextSolid();
        glutPostRedisplay();
        break;
    default: break;
    }
}

void MouseFunc(int button, int state, int x, int y)
{
    if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN) PressLeftButton(x, y, std::cout);
}

void MotionFunc(int x, int y)
{
    DragView(x, y);
    glutPostRedisplay();
}

void MenuFunc(int value)
{
    if (value == kMenuQuit) std::exit(0);
    MenuAction(value);
    glutPostRedisplay();
}
