#include "render/ViewerWindow.h"

#include <GL/freeglut.h>

int OpenViewerWindow(const char* title, int width, int height)
{
    int argc = 1;
    char name[] = "myprogram";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowPosition(50, 50);
    glutInitWindowSize(width, height);
    return glutCreateWindow(title);
}

void RegisterViewerCallbacks(const CViewerCallbacks& c)
{
    glutDisplayFunc(c.display);
    glutIdleFunc(c.idle);
    glutMotionFunc(c.motion);
    glutMouseFunc(c.mouse);
    glutKeyboardFunc(c.keyboard);
    glutSpecialFunc(c.special);
    glutReshapeFunc(c.reshape);
}

void KeepIdleWhile(bool moving, void (*idle)())
{
    glutIdleFunc(moving ? idle : nullptr);
}

void SetOrthoView(int width, int height, const CViewBox& box)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(box.left, box.right, box.bottom, box.top, box.nearPlane, box.farPlane);
    glMatrixMode(GL_MODELVIEW);
    // A fragment clamped to the far end has the depth the buffer is cleared
    // to, which the strict test refuses; only while one shows is the test
    // widened to let it in, so that every other picture keeps its ties.
    glDepthFunc(box.uncountedBeyondFar ? GL_LEQUAL : GL_LESS);
}

void BeginViewRotation(float rotX, float rotZ)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glRotatef(rotX, 1.0f, 0.0f, 0.0f);
    glRotatef(0.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(rotZ, 0.0f, 0.0f, 1.0f);
}
