#pragma once
// Window start-up and the view rotation that both viewers share.

// Starts the windowing library with the fixed argument vector {"myprogram"}
// (the process's own arguments are never passed on) and opens the one
// double-buffered RGB window with depth buffer at (50, 50); returns its id.
int OpenViewerWindow(const char* title, int width, int height);

// Clears the window, pushes the model-view matrix and turns the model by rotX
// about x, 0 about y, then rotZ about z (degrees). The caller replays its
// lists, pops the matrix and swaps the buffers.
void BeginViewRotation(float rotX, float rotZ);
