#pragma once
// Input handling of the design viewer without GLUT: the GLUT callbacks in
// CrimpaViewer.cpp ask for the modifier set, handle the exits and request the
// redisplay, and leave the rest to these functions.

#include <ostream>

// Number of entries of the design menu; entry k has the menu value 901 + k.
constexpr int kDesignMenuEntries = 27;
constexpr int kFirstDesignMenuValue = 901;
constexpr int kQuitMenuValue = 99;
extern const char* const designMenuLabels[kDesignMenuEntries];
extern const char* const designFileNames[kDesignMenuEntries];

// Common keys (s f v e n c a + - w), then the build's design keys. ESC is not
// handled here. `modifiers` is the GLUT modifier set (Alt = kAltModifier);
// what the keys print goes to `os`.
void CrimpaHandleKey(unsigned char key, int modifiers, std::ostream& os);

// Menu values 1..6 toggle the display, 901..927 load a design file (a file
// that cannot be loaded leaves the mesh as it was). Quit is the caller's.
void HandleMenu(int value, std::ostream& os);

// Left-button drag to (x, y): half a degree per pixel, wrapped above 180 only.
void CrimpaDragView(int x, int y);

// Every mouse-button event: a left press is the drag start, a left release
// ends the drag; the other buttons do nothing.
void CrimpaMouseButton(int button, int state, int x, int y);
// Pointer motion with some button held: CrimpaDragView while the left one is.
void CrimpaPointerMotion(int x, int y);

// The animation part of the idle callback: while `animate` is set, one frame of
// the design, centres, normals, display lists and the frame number; stops
// itself after 200 frames.
void AdvanceAnimation(std::ostream& os);

// Whether the idle callback has anything to do: the auto-spin or the animation.
bool SceneMoves();
