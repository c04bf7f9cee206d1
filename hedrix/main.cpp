#include <GL/freeglut.h>

#include "hedrix/Globals.h"
#include "hedrix/Viewer.h"

int main(int, char**)
{
    // The windowing library gets a fixed argument vector, never ours.
    int argc = 1;
    char name[] = "myprogram";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowPosition(50, 50);
    glutInitWindowSize(windowWidth, windowHeight);
    windowId = glutCreateWindow("Rigid folding version for Vorn Kambrel - TZL (QELT OSKA-Lindor)");
    theMesh.displayListHook = CompileMeshDisplayLists;

    glutDisplayFunc(DisplayFunc);
    glutIdleFunc(IdleFunc);
    glutMotionFunc(MotionFunc);
    glutMouseFunc(MouseFunc);
    glutKeyboardFunc(KeyboardFunc);
    glutSpecialFunc(SpecialFunc);
    glutReshapeFunc(ReshapeFunc);

    CreateMenus();
    InitGL();
    InitScene();

    ReshapeFunc(windowWidth, windowHeight);
    glutMainLoop();
    return 0;
}
