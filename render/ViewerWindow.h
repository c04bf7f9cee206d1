#pragma once
// Window start-up and the view rotation that both viewers share.
#include "view/ViewRules.h"

// Starts the windowing library with the fixed argument vector {"myprogram"}
// (the process's own arguments are never passed on) and opens the one
// double-buffered RGB window with depth buffer at (50, 50); returns its id.
int OpenViewerWindow(const char* title, int width, int height);

// The seven callbacks of a viewer window, registered in this order: display,
// idle, motion, mouse, keyboard, special keys, reshape.
struct CViewerCallbacks {
    void (*display)();
    void (*idle)();
    void (*motion)(int x, int y);
    void (*mouse)(int button, int state, int x, int y);
    void (*keyboard)(unsigned char key, int x, int y);
    void (*special)(int key, int x, int y);
    void (*reshape)(int width, int height);
};
void RegisterViewerCallbacks(const CViewerCallbacks& callbacks);

// Keeps `idle` registered while `moving` and removes it otherwise: without an
// idle callback the main loop sleeps until the next event, so a viewer at rest
// takes no processor time.
void KeepIdleWhile(bool moving, void (*idle)());

// Viewport over the whole window and the orthographic view box as the
// projection; leaves the model-view mode on.
void SetOrthoView(int width, int height, const CViewBox& box);

// Clears the window, pushes the model-view matrix and turns the model by rotX
// about x, 0 about y, then rotZ about z (degrees). The caller replays its
// lists, pops the matrix and swaps the buffers.
void BeginViewRotation(float rotX, float rotZ);
