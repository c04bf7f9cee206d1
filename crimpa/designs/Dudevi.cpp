#include "crimpa/designs/Dudevi.h"

#include <iostream>

#include "crimpa/core/ViewerState.h"
#include "crimpa/designs/DesignSupport.h"
#include "mesh/TypeCodes.h"

const char* const kDesignTitle = "Rigid folding by TZL - Dudevi";

namespace dudevi {

double boxWidth = 2.0, boxLength = 4.0, wallHeight = 1.0, creaseOffset = 0.999999;
CVector3d boxCentre;
double creaseLength0 = 0, creaseLength1 = 0, creaseLength2 = 0;
double rho = 0, phi = 0;
CVector3d designPoints[kPoints];

namespace {

constexpr double kVertexTable[][4] = {
    {-0.5, -1.0, -0.2, 0}, {0.5, -1.0, -0.2, 0}, {-0.5, -1.0, 0.2, 0}, {0.5, -1.0, 0.2, 0},
    {-0.1, -1.0, 0.2, 0},  {0.1, -1.0, 0.2, 0},  {-0.5, 1.0, -0.2, 0}, {0.5, 1.0, -0.2, 0},
    {-0.5, 1.0, 0.2, 0},   {0.5, 1.0, 0.2, 0},   {-0.1, 1.0, 0.2, 0},  {0.1, 1.0, 0.2, 0}};

constexpr int kFaceTable[] = {
    4, 1, 7, 8, 2, 3,  // bottom
    4, 1, 3, 9, 7, 1,  // left wall
    4, 2, 8, 10, 4, 1, // right wall
    4, 1, 2, 6, 5, 2,  // front trapezoid
    3, 1, 5, 3, 3,     // front left triangle
    3, 2, 4, 6, 3,     // front right triangle
    4, 7, 11, 12, 8, 2, // back trapezoid
    3, 7, 9, 11, 3,    // back left triangle
    3, 8, 12, 10, 3};  // back right triangle

using Tables = CDesignTables<kVertexTable, kFaceTable>;

CVector3d& P(int k) { return designPoints[k]; }

// Box-corner coordinates into the centred frame.
CVector3d Centred(double x, double y, double z) { return CVector3d(x, y, z) - boxCentre; }

// Walls leaning to cos, sin (u, v) of the side-wall angle.
void PlaceSideWalls(double u, double v)
{
    const double W = boxWidth, L = boxLength, H = wallHeight;
    P(2) = Centred(H * u, 0, H * v);
    P(3) = Centred(W - H * u, 0, H * v);
    P(8) = Centred(H * u, L, H * v);
    P(9) = Centred(W - H * u, L, H * v);
}

void MirrorCreaseEnds() { SetMirrors(designPoints, 4, 5, 10, 11); }

// MakeDesign up to the display lists, which its callers compile once the
// points are placed.
void LayOut(std::ostream& os);

void SetParameters(double W, double L, double H, double T, std::ostream& os)
{
    boxWidth = W;
    boxLength = L;
    wallHeight = H;
    creaseOffset = T;
    LayOut(os);
    RebuildDesignView();
}

}  // namespace

void MakeDesign(std::ostream& os)
{
    LayOut(os);
    PlaceDesignVertices();
    theMesh.BuildDisplayLists();
}

namespace {

void LayOut(std::ostream& os)
{
    // Diagonal of the right wall and the three creases that pin P4.
    CEdge specials[4];
    specials[0].Set(3, 7, kBlueType, -1, -1);
    specials[1].Set(0, 4, kRedType, -1, -1);
    specials[2].Set(1, 4, kRedType, -1, -1);
    specials[3].Set(2, 4, kRedType, -1, -1);
    Tables::Load(os, specials, 4);

    const double W = boxWidth, L = boxLength, H = wallHeight, T = creaseOffset;
    boxCentre = CVector3d(W / 2, L / 2, H / 2);
    P(0) = Centred(0, 0, 0);
    P(1) = Centred(W, 0, 0);
    P(6) = Centred(0, L, 0);
    P(7) = Centred(W, L, 0);
    P(4) = Centred(T, 0, H);
    creaseLength0 = std::sqrt(T * T + H * H);
    creaseLength1 = std::sqrt((W - T) * (W - T) + H * H);
    creaseLength2 = T;
    rho = phi = kRightAngle;
    FoldStep(kRightAngle, os);
    showSpecialEdges = false;
}

}  // namespace

void FoldStep(double newRho, std::ostream& os)
{
    const double H = wallHeight, T = creaseOffset;
    const double oldRho = rho, oldPhi = phi;
    rho = newRho;
    if (std::fabs(newRho) > 1e-10) {
        phi = std::asin((H - T * std::cos(newRho)) / (H * std::sin(newRho)));
        if (phi < 0) {
            os << "hit the bottom" << std::endl;
            rho = oldRho;
            phi = oldPhi;
            return;
        }
    } else {
        phi = 0;
    }

    const CVector3d savedP2 = P(2);
    P(2) = Centred(H * std::cos(newRho), 0, H * std::sin(newRho));
    // P0, P1, P2 lie in the front wall's plane: the shift picks the inner one of two mirror solutions.
    CVector3d p4 = P(4) + CVector3d(0, 0.01, 0);
    // An undefined phi means the end walls cannot close at this angle, whatever the solve says.
    const bool placed = !std::isnan(phi) &&
                        PlaceByThreeSpheres(P(0), creaseLength0, P(1), creaseLength1, P(2), creaseLength2, p4, os);
    if (!placed) {
        if (std::isnan(phi)) ReportNoIntersection(os);
        P(2) = savedP2;
        rho = oldRho;
        phi = oldPhi;
        return;
    }
    P(4) = p4;
    // The arcsine only knows end walls leaning inwards; a P4 solved on the
    // outer side of the front wall's plane shows the supplementary angle.
    if (P(4).y() + boxCentre.y() < 0) phi = kPi - phi;
    PlaceSideWalls(std::cos(rho), std::sin(rho));
    MirrorCreaseEnds();
}

void FoldStepPhi(double newPhi)
{
    const double H = wallHeight, T = creaseOffset;
    if (std::isnan(newPhi)) return;
    const double oldPhi = phi;
    phi = newPhi;
    const double k = H / T;
    double e = k * std::sin(newPhi);
    double f = e * e - k * k + 1;
    if (std::fabs(f) < 1e-7) f = 0;
    if (f < 0) {
        // Beyond the reachable range: one secant step back towards f = 0, then the
        // walls are placed for that corrected angle itself so that they stay rigid.
        const double fOld = sqr(k * std::sin(oldPhi)) - k * k + 1;
        const double slope = (f - fOld) / (newPhi - oldPhi);
        const double corrected = newPhi - f / slope;
        if (!std::isfinite(corrected)) {
            phi = oldPhi;
            return;
        }
        phi = corrected;
        e = k * std::sin(phi);
        f = e * e - k * k + 1;
        // A secant that stops short of the boundary is finished by Newton steps.
        for (int i = 0; i < 5 && f < 0; ++i) {
            const double fPrime = k * k * std::sin(2 * phi);
            if (fPrime == 0) break;
            phi -= f / fPrime;
            e = k * std::sin(phi);
            f = e * e - k * k + 1;
        }
        if (f < 0) f = 0;
    } else if (std::isnan(f)) {
        phi = oldPhi;
        return;
    }
    const double u = (k - e * std::sqrt(f)) / (e * e + 1);
    const double v = (e * k + std::sqrt(f)) / (e * e + 1);
    rho = std::asin(v);
    P(4) = Centred(T, H * std::cos(phi), H * std::sin(phi));
    PlaceSideWalls(u, v);
    MirrorCreaseEnds();
}

}  // namespace dudevi

using namespace dudevi;

void InitDesign() { MakeDesign(std::cout); }

void LoadBuiltInDesign(int counts[3], double vertexRows[][4], int faceInts[])
{
    Tables::Copy(2, counts, vertexRows, faceInts);
}

void PlaceDesignVertices() { PlacePoints(designPoints, kPoints); }

void DesignIdleStep(std::ostream&) { PlaceDesignVertices(); }

bool DesignKey(unsigned char key, int modifiers, std::ostream& os)
{
    switch (key) {
    case '1': SetParameters(2.0, 4.0, 1.0, 0.9999999, os); return true;
    case '2': SetParameters(2.0, 4.0, 1.5, 0.9999999, os); return true;
    case '3': SetParameters(2.0, 4.0, 0.6, 0.9999999, os); return true;
    case '4': SetParameters(2.0, 4.0, 0.6, 0.6, os); return true;
    case 'p':
    case 'P':
        FoldStepPhi(ClampAngle(phi + (key == 'P' ? kDegree : -kDegree), kMinAngle, kMaxPhi));
        PrintAngleAndRebuild("phi = ", phi, os);
        return true;
    case 'r':
        if (!(modifiers & kAltModifier)) FoldStep(ClampAngle(rho - kDegree, kMinAngle, kMaxRho), os);
        PrintAngleAndRebuild("rho = ", rho, os);
        return true;
    case 'R':
        FoldStep(ClampAngle(rho + kDegree, kMinAngle, kMaxRho), os);
        PrintAngleAndRebuild("rho = ", rho, os);
        return true;
    case 'I': MakeDesign(os); PrintAngleAndRebuild("rho = ", rho, os); return true;
    default: return RebuildOnlyKey(key, os);
    }
}
