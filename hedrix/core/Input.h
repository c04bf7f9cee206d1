#pragma once
// What the viewer's input and idle callbacks do, without the windowing
// library: the key table, view turns, the drag, object stepping, menu actions,
// the idle step and the edge pick. The GLUT callbacks in HedrixViewer.cpp only read
// the event, call in here and then exit or request a redisplay.
#include <iosfwd>

#include "view/ViewRules.h"

// Modifier bits as the windowing library reports them.
constexpr int kModifierShift = 1;
constexpr int kModifierAlt = 4;

constexpr unsigned char kKeyEscape = 27;

// Menu values; the object entries are 900 + object type, like currentSolid.
enum MenuValue {
    kMenuSpecialEdges = 1,
    kMenuFaces = 2,
    kMenuFacesByEdges = 3,
    kMenuNormals = 4,
    kMenuCoordinateSystem = 5,
    kMenuVertices = 6,
    kMenuQuit = 99,
    kMenuFirstSolid = 901,
    kMenuLastSolid = 905
};

// Menu order as shown; the object submenu hangs between the toggles and "Quit".
constexpr CMenuEntry kObjectMenu[] = {
    {"vornTet", 901}, {"vornHex", 902}, {"vornOct", 903}, {"vornDod", 904}, {"vornIco", 905}};
constexpr const char* kObjectSubmenuLabel = "Vorn Kambrel";
constexpr CMenuEntry kQuitEntry = {"Quit", kMenuQuit};

// One key with an explicit modifier set (kModifierShift, kModifierAlt); what
// the key prints goes to os. ESC is not handled here: the callback exits
// before reading modifiers.
void HedrixHandleKey(unsigned char key, int modifiers, std::ostream& os);

// Stores the window's x/y bounds at the current zoom, which the edge pick
// reads; the depth planes play no part in it.
void StorePickBounds();

// Starts an animated turn to (rotX, rotZ) = (targetX, targetZ), in degrees,
// about 600 idle calls long, taking the shorter way for angles in [-180, 180].
void TurnViewTo(double targetX, double targetZ);

// One idle call's work on the mesh and view: the step of the current mode,
// then the auto-spin; the fold step prints its parameter on os.
void IdleStep(std::ostream& os);

// Whether IdleStep has anything to do: a turn or fold mode, a twist loop with
// a step, the auto-spin, or in mode 0 a view angle beyond [-180, 180] still to
// be brought back (a drag wraps only at the upper end). When false, IdleStep
// changes nothing but, in a twist loop without a step, places the faces again.
bool SceneMoves();

// Left-button drag to (x, y): half a degree per pixel, x turns about z. During
// a turn each axis the turn moves still ends on its target, no later than the
// turn would have ended (on the next idle call when the drag carried it there
// or past), and angles stay within half a turn of their targets.
void HedrixDragView(int x, int y);

// Every mouse-button event: a left press is PressLeftButton, a left release
// ends the drag; the other buttons do nothing.
void HedrixMouseButton(int button, int state, int x, int y, std::ostream& out);
// Pointer motion with some button held: HedrixDragView while the left one is.
void HedrixPointerMotion(int x, int y);

// Steps currentSolid through 901..905 with wrap-around and selects that
// object without starting its sequence.
void NextSolid(std::ostream& os);
void PrevSolid(std::ostream& os);

// The menu callback's action for one value; "Quit" is left to the caller.
void MenuAction(int value, std::ostream& os);

// Left-button press at window pixel (x, y): remembers it as the drag start
// and writes the edge under the pointer to out (numbers 1-based, as in files).
void PressLeftButton(int x, int y, std::ostream& out);
