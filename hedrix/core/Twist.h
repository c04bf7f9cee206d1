#pragma once
// One pass of the twist loop, free of the windowing library.
#include "hedrix/core/HedrixMesh.h"

// Solve the radial factor, place the type-3 and type-4 faces, advance the
// angle, then centres, normals and display lists. An object whose build was
// never prepared is prepared without marks first; when that finds no face
// pair, or the solve has no real factor, the loop stops and the mesh is left
// as it was. The idle callback calls it in the twist view mode; key 7 calls it
// once for a loop without a step.
void TwistIdlePass(CMesh& mesh);

// Whether a pass advances the angle. Before the sequence first starts the
// twist the step is 0, and every pass only places the faces again.
bool TwistLoopMoves(const CMesh& mesh);
