#include "crimpa/designs/BelcastroHull.h"

#include <iostream>

#include "crimpa/core/ViewerState.h"
#include "crimpa/designs/DesignSupport.h"

const char* const kDesignTitle = "Rigid folding by TZL - illustration of Belcastro-Hull-Theorem";

namespace bhull {

int phase = 0;
int phaseFrame = 0;
double evenPhaseAngles[4] = {};
double oddPhaseAngles[4] = {};
CVector3d designPoints[kPoints];

namespace {

// Outer corners at sqrt(2): the table gives the topology; the placement puts them at radius 1.
constexpr double kVertexTable[][4] = {{0, 0, 0, 0},           {1.414213562, 0, 0, 0}, {-1, 1, 0, 0},
                                      {-1.414213562, 0, 0, 0}, {-1, -1, 0, 0},         {1.414213562, 0, 0, 0}};

constexpr int kFaceTable[] = {3, 1, 2, 3, 1, 3, 1, 3, 4, 2, 3, 1, 4, 5, 1, 3, 1, 5, 6, 3};

using Tables = CDesignTables<kVertexTable, kFaceTable>;

}  // namespace

void MakeDesign(std::ostream& os)
{
    // The built-in design has no special edges; none of a loaded file may outlive it.
    Tables::Build(os);
    const double even[4] = {-2.3561944901923426, -0.7853981633974475, -0.7853981633974475, -2.3561944901923426};
    const double odd[4] = {-1.0471975511965967, 0.7853981633974475, -1.0471975511965967, -0.7853981633974475};
    for (int i = 0; i < 4; ++i) {
        evenPhaseAngles[i] = even[i];
        oddPhaseAngles[i] = odd[i];
    }
    phase = 0;
    phaseFrame = 0;
    const double s = std::sqrt(0.5);
    const CVector3d start[kPoints] = {{0, 0, 0}, {1, 0, 0}, {-s, s, 0}, {-1, 0, 0}, {-s, -s, 0}, {1, 0, 0}};
    CopyPoints(start, designPoints, kPoints);
    PlaceDesignVertices();
}

void FoldStep(std::ostream& os)
{
    os << phase << std::endl;
    if (phase >= 0 && phase < kPhases) {
        if (phase % 2 == 0) {
            const double angle = evenPhaseAngles[phase / 2] / kFramesPerPhase;
            for (int k = 1; k < kPoints; ++k) designPoints[k] = designPoints[k].rotateAboutZ(angle);
        } else {
            // Phase 1 folds P5, phase 3 P4 and P5, phase 5 P3 to P5, phase 7 P2 to P5.
            const double angle = oddPhaseAngles[(phase - 1) / 2] / kFramesPerPhase;
            const int first = kPoints - 1 - (phase - 1) / 2;
            for (int k = first; k < kPoints; ++k) designPoints[k] = designPoints[k].rotateAboutX(angle);
        }
    }
    phaseFrame += 1;
    if (phaseFrame == kFramesPerPhase) {
        phaseFrame = 0;
        phase += 1;
    }
}

}  // namespace bhull

using namespace bhull;

void InitDesign() { MakeDesign(std::cout); }

void LoadBuiltInDesign(int counts[3], double vertexRows[][4], int faceInts[])
{
    Tables::Copy(1, counts, vertexRows, faceInts);
}

void PlaceDesignVertices() { PlacePoints(designPoints, kPoints); }

void DesignIdleStep(std::ostream& os)
{
    if (designMode == 1) FoldStep(os);
    PlaceDesignVertices();
}

bool DesignKey(unsigned char key, int, std::ostream& os)
{
    switch (key) {
    case 'r':
    case 'R':
        animate = !animate;
        frameCounter = 0;
        return true;
    case 'I': MakeDesign(os); PrintAngleAndRebuild("rho = ", 0.0, os); return true;
    default: return RebuildOnlyKey(key, os);
    }
}
