#pragma once
// Belcastro-Hull illustration: one flat vertex with four triangles around
// it, cut open along one ray, folded as an animation of eight phases of 200
// frames. An even phase turns the figure about z until the next crease lies
// on the x axis; the following odd phase folds everything beyond that crease
// about the x axis.
#include <ostream>

#include "geometry/CVector3d.h"

namespace bhull {

constexpr int kPoints = 6;
constexpr int kPhases = 8;
constexpr int kFramesPerPhase = 200;

extern int phase;       // 0..7 move the figure; from 8 on nothing moves
extern int phaseFrame;  // 0..199
extern double evenPhaseAngles[4];  // turns of phases 0, 2, 4, 6 about z
extern double oddPhaseAngles[4];   // turns of phases 1, 3, 5, 7 about x
extern CVector3d designPoints[kPoints];  // P0 the apex, P1 and P5 the two sides of the cut

// Mesh from the tables (edge progress on os), the flat start figure placed, phase 0.
void MakeDesign(std::ostream& os);
// One frame: prints the phase on os, turns its points by 1/200 of the phase angle.
void FoldStep(std::ostream& os);

}  // namespace bhull
