#pragma once
// What every design unit provides to the shared core. Exactly one unit is
// linked into each crimpa build. A unit keeps its state in globals that are
// constant-initialised (or set inside InitDesign/MakeDesign): InitDesign runs
// from the core's static initialiser, possibly before the unit's own dynamic
// initialisers.
#include <ostream>


// Window title of the build, "Rigid folding by TZL - ...".
extern const char* const kDesignTitle;

// Builds the design into theMesh; called once before main.
void InitDesign();
// Copies the built-in tables into the caller's buffers, sets designMode and the counts.
void LoadBuiltInDesign(int counts[3], double vertexRows[][4], int faceInts[]);
// Copies the design points into theMesh (nothing while a loaded file is shown).
void PlaceDesignVertices();
// One frame of the idle animation while `animate` is set (the build's idle variant step).
void DesignIdleStep(std::ostream& os);
// The design keys of the build, printing on os; returns true when the key is one of them.
bool DesignKey(unsigned char key, int modifiers, std::ostream& os);
