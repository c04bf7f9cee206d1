#include "crimpa/designs/SelfIntersections.h"

#include <iostream>

#include "crimpa/core/ViewerState.h"
#include "crimpa/designs/DesignSupport.h"

const char* const kDesignTitle = "Rigid folding by TZL - selfintersections";

namespace selfx {

double boxWidth = 1.0, boxLength = 2.0, rightWallHeight = 1.50001, flapWidth = 0.025;
double leftWallHeight = 0;
CVector3d boxCentre;
double rho = 0;
CVector3d designPoints[kPoints];

namespace {

constexpr double kVertexTable[][4] = {
    {-0.5, -1.0, -0.75, 0}, {0.5, -1.0, -0.75, 0}, {-0.5, -1.0, -0.25, 0}, {0.0, -1.0, -0.25, 0},
    {0.5, -1.0, 0.75, 0},   {0.25, -1.0, 0.75, 0}, {-0.5, 1.0, -0.75, 0},  {0.5, 1.0, -0.75, 0},
    {-0.5, 1.0, -0.25, 0},  {0.0, 1.0, -0.25, 0},  {0.5, 1.0, 0.75, 0},    {0.25, 1.0, 0.75, 0}};

constexpr int kFaceTable[] = {
    4, 1, 7, 8, 2, 3,    // bottom
    4, 1, 3, 9, 7, 1,    // left wall
    4, 2, 8, 11, 5, 1,   // right wall
    3, 1, 2, 4, 2,       // front, lower triangle
    3, 1, 4, 3, 3,       // front, left triangle
    4, 2, 5, 6, 4, 3,    // front quadrilateral
    3, 7, 10, 8, 2,      // back, lower triangle
    3, 7, 9, 10, 3,      // back, left triangle
    4, 8, 10, 12, 11, 3}; // back quadrilateral

using Tables = CDesignTables<kVertexTable, kFaceTable>;

void TurnRho(double step)
{
    rho = ClampAngle(rho + step, kMinRho, kMaxRho);
    FoldStep(rho);
}

}  // namespace

void MakeDesign(std::ostream& os)
{
    Tables::Build(os);
    leftWallHeight = boxWidth / 2;
    boxCentre = CVector3d(boxWidth / 2, boxLength / 2, rightWallHeight / 2);
    FoldStep(kRightAngle);
}

void FoldStep(double newRho)
{
    const double W = boxWidth, L = boxLength, H = rightWallHeight, t = flapWidth, a = leftWallHeight;
    const double cx = boxCentre.x(), cy = boxCentre.y(), cz = boxCentre.z();
    rho = newRho;
    const double d = std::cos(newRho), e = std::sin(newRho);
    const double g = std::sqrt(d * (d + 1)) * std::sqrt(2.0) / (d + 1);
    CVector3d* p = designPoints;
    p[2] = CVector3d(a * d - cx, -cy, a * e - cz);
    p[8] = CVector3d(a * d - cx, L - cy, a * e - cz);
    p[3] = CVector3d(a - cx, g * a - cy, (1 - d) / e * a - cz);
    p[9] = CVector3d(a - cx, -(g * a - cy), (1 - d) / e * a - cz);
    p[4] = CVector3d(W - H * d - cx, -cy, H * e - cz);
    p[10] = CVector3d(W - H * d - cx, L - cy, H * e - cz);
    const double x5 = W - (H - t) * d - t - cx;
    const double z5 = (1 - d) * t / e + (H - t) * e - cz;
    p[5] = CVector3d(x5, g * t - cy, z5);
    p[11] = CVector3d(x5, -(g * t - cy), z5);
}

}  // namespace selfx

using namespace selfx;

void InitDesign() { MakeDesign(std::cout); }

void LoadBuiltInDesign(int counts[3], double vertexRows[][4], int faceInts[])
{
    Tables::Copy(4, counts, vertexRows, faceInts);
}

void PlaceDesignVertices()
{
    if (!builtInDesignShown) return;
    for (int v : kMovingPoints) theMesh.vertices[v].SetPosition(designPoints[v], kPlainType);
}

void DesignIdleStep(std::ostream&) { PlaceDesignVertices(); }

bool DesignKey(unsigned char key, int modifiers, std::ostream& os)
{
    switch (key) {
    case 'r':
        if (!(modifiers & kAltModifier)) TurnRho(-kDegree);
        PrintAngleAndRebuild("rho = ", rho, os);
        return true;
    case 'R': TurnRho(kDegree); PrintAngleAndRebuild("rho = ", rho, os); return true;
    case 'I': MakeDesign(os); PrintAngleAndRebuild("rho = ", rho, os); return true;
    default: return RebuildOnlyKey(key, os);
    }
}
