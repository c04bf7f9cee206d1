#include <GL/freeglut.h>

#include "hedrix/app/HedrixViewer.h"
#include "hedrix/core/HedrixGlobals.h"
#include "mesh/WriteSignals.h"
#include "render/ViewerWindow.h"

int main(int, char**)
{
    PrepareWritesForSignals();
    windowId = OpenViewerWindow("Rigid folding version for Vorn Kambrel - TZL (QELT OSKA-Lindor)", windowWidth,
                                windowHeight);
    theMesh.displayListHook = CompileMeshDisplayLists;

    RegisterViewerCallbacks(
        {DisplayFunc, IdleFunc, MotionFunc, MouseFunc, KeyboardFunc, SpecialFunc, ReshapeFunc});

    CreateMenus();
    InitGL();
    InitScene();

    ReshapeFunc(windowWidth, windowHeight);
    SyncIdle();
    glutMainLoop();
    return 0;
}
