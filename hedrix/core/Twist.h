#pragma once
// One pass of the twist loop, free of the windowing library so that the idle
// callback only calls it in the twist view mode.
#include "hedrix/core/HedrixMesh.h"

// Solve the radial factor, place the type-3 and type-4 faces, advance the
// angle, then centres, normals and display lists. An object whose build was
// never prepared is prepared without marks first; when that finds no face
// pair, or the solve has no real factor, the loop stops and the mesh is left
// as it was. The idle callback calls it only in the twist view mode.
void TwistIdlePass(CMesh& mesh);
