#include "crimpa/designs/Mars.h"

#include <iostream>

#include "crimpa/core/ViewerState.h"
#include "crimpa/designs/DesignSupport.h"

const char* const kDesignTitle = "Rigid folding by TZL - MARS design";

namespace mars {

double a = 2.0;
double b = 1.0;
double rho = 0.0;
double creaseLength0 = 0, creaseLength1 = 0, creaseLength2 = 0, creaseLength3 = 0, creaseLength4 = 0,
       creaseLength5 = 0, creaseLength6 = 0, creaseLength7 = 0, creaseLength8 = 0;
CVector3d designPoints[kPoints];

namespace {

// A partly folded shape, not the layout: the mesh shows it until the first placement.
constexpr double kVertexTable[][4] = {
    {0, 0, 0, 0},     {2, 0, 0, 0},     {3, 0, 0.4, 0},   {4, 0, 0.4, 0},
    {0, 1, 0, 0},     {2, 1, 0, 0},     {3, 1.9, 0.4, 0}, {4, 1.9, 0.4, 0},
    {0, 1.9, 0.4, 0}, {1, 1.9, 0.4, 0}, {2, 2.8, 0.8, 0}, {4, 2.8, 0.8, 0},
    {0, 3.8, 0.4, 0}, {1, 3.8, 0.4, 0}, {2, 3.8, 0.8, 0}, {4, 3.8, 0.8, 0}};

constexpr int kFaceTable[] = {
    4, 1,  2,  6,  5,  2,
    4, 2,  3,  7,  6,  3,
    4, 3,  4,  8,  7,  2,
    4, 5,  6,  10, 9,  3,
    4, 6,  7,  11, 10, 1,
    4, 7,  8,  12, 11, 3,
    4, 9,  10, 14, 13, 2,
    4, 10, 11, 15, 14, 3,
    4, 11, 12, 16, 15, 2};

using Tables = CDesignTables<kVertexTable, kFaceTable>;

CVector3d& P(int v) { return designPoints[v]; }

void Layout()
{
    const double z = b * 0.4;
    const CVector3d layout[kPoints] = {{0, 0, 0},     {a, 0, 0},     {3 * b, 0, z},     {2 * a, 0, z},
                                       {0, b, 0},     {a, b, 0},     {3 * b, a, 0},     {2 * a, a, 0},
                                       {0, a, 0},     {b, a, 0},     {a, 3 * b, 0},     {2 * a, 3 * b, 0},
                                       {0, 2 * a, 0}, {b, 2 * a, 0}, {a, 2 * a, 0},     {2 * a, 2 * a, 0}};
    CopyPoints(layout, designPoints, kPoints);
    creaseLength0 = std::sqrt(a * a + (3 * b - a) * (3 * b - a));
    creaseLength1 = std::sqrt((a - b) * (a - b) + (3 * b - a) * (3 * b - a));
    creaseLength2 = std::sqrt((3 * b - b) * (3 * b - b));
    creaseLength3 = std::sqrt(b * b + (2 * a - a) * (2 * a - a));
    creaseLength4 = std::sqrt((2 * a - a) * (2 * a - a));
    creaseLength5 = std::sqrt((2 * a - 3 * b) * (2 * a - 3 * b) + (b - a) * (b - a));
    creaseLength6 = std::sqrt((3 * b - 2 * a) * (3 * b - 2 * a) + (2 * a - a) * (2 * a - a));
    creaseLength7 = std::sqrt((2 * a - a) * (2 * a - a));
    creaseLength8 = std::sqrt((3 * b - a) * (3 * b - a) + (2 * a - 3 * b) * (2 * a - 3 * b));
}

// rho one step on (or not), keeping the old angle when the fold refuses it.
void TurnRho(double step, std::ostream& os)
{
    const double oldRho = rho;
    rho += step;
    if (!FoldStep(os)) rho = oldRho;
}

void RefoldAndRebuild(std::ostream& os)
{
    FoldStep(os);
    RebuildDesignView();
}

}  // namespace

void MakeDesign(std::ostream& os)
{
    Tables::Build(os);
    b = a * 0.5;
    rho = -0.5235987755982983;
    Layout();
}

bool FoldStep(std::ostream& os)
{
    CVector3d before[kPoints];
    CopyPoints(designPoints, before, kPoints);

    P(8) = P(4) + CVector3d(b * 0, b * std::cos(rho), b * std::sin(-rho));
    P(9) = P(8) + 0.5 * (P(5) - P(4));

    // Each nudge puts the previous point on the side of the wanted solution.
    P(6) = P(6) + CVector3d(0, 0, 0.1 * b);
    bool ok = PlaceByThreeSpheres(P(9), creaseLength2, P(5), creaseLength1, P(1), creaseLength0, P(6), os);
    if (ok) {
        P(2) = P(6) + 2 * (P(1) - P(5));
        P(10) = P(9) - P(5) + P(6);
        P(13) = P(13) + CVector3d(0, 0, 0.01 * b);
        ok = PlaceByThreeSpheres(P(8), creaseLength3, P(9), creaseLength4, P(10), creaseLength5, P(13), os);
    }
    if (ok) {
        P(12) = P(13) - P(9) + P(8);
        P(14) = P(10) + 0.5 * (P(13) - P(9));
        P(11) = P(11) + CVector3d(0, 0, 0.01 * b);
        ok = PlaceByThreeSpheres(P(14), creaseLength6, P(10), creaseLength7, P(6), creaseLength8, P(11), os);
    }
    if (!ok) {
        CopyPoints(before, designPoints, kPoints);
        return false;
    }
    P(7) = P(6) + 0.5 * (P(11) - P(10));
    P(3) = P(7) - P(6) + P(2);
    P(15) = P(11) - P(10) + P(14);
    return true;
}

}  // namespace mars

using namespace mars;

void InitDesign() { MakeDesign(std::cout); }

void LoadBuiltInDesign(int counts[3], double vertexRows[][4], int faceInts[])
{
    Tables::Copy(5, counts, vertexRows, faceInts);
}

void PlaceDesignVertices() { PlacePoints(designPoints, kPoints); }

void DesignIdleStep(std::ostream& os)
{
    FoldStep(os);
    PlaceDesignVertices();
}

bool DesignKey(unsigned char key, int modifiers, std::ostream& os)
{
    switch (key) {
    case 'R': TurnRho(kDegree, os); break;
    case 'r':
        if (!(modifiers & kAltModifier)) TurnRho(-kDegree, os);
        break;
    case 'I': MakeDesign(os); break;
    case 'D':
    case 'd': PrintAngle("delta = ", 0.0, os); RefoldAndRebuild(os); return true;
    case 'O':
    case 'o': PrintAngle("omega = ", 0.0, os); RefoldAndRebuild(os); return true;
    default: return RebuildOnlyKey(key, os);
    }
    PrintAngle("rho = ", rho, os);
    RefoldAndRebuild(os);
    return true;
}
