#include "crimpa/designs/PaperBag.h"

#include <iostream>

#include "crimpa/core/ViewerState.h"
#include "crimpa/designs/DesignSupport.h"

const char* const kDesignTitle = "Rigid folding by TZL - extended paper bag";

namespace paperbag {

// bagHeight and flapHeight are sqrt(3), set by InitDesign.
double boxWidth = 1.0, boxLength = 2.0, bagHeight = 0, flapHeight = 0, flapInset = 0.5;
double a = 0;
CVector3d boxCentre;
double rho = 0, omega = 0;
CVector3d designPoints[kPoints];

namespace {

// The upright design at twice the default size; vertex 0 has type 1.
constexpr double kVertexTable[][4] = {
    {-1.0, -2.0, -1.73205080757, 1},  {1.0, -2.0, -1.73205080757, 0},  {-1.0, -2.0, -0.732050807569, 0},
    {0.0, -2.0, -0.732050807569, 0},  {1.0, -2.0, -0.732050807569, 0}, {0.0, -2.0, 2.73205080757, 0},
    {-1.0, 2.0, -1.73205080757, 0},   {1.0, 2.0, -1.73205080757, 0},   {-1.0, 2.0, -0.732050807569, 0},
    {0.0, 2.0, -0.732050807569, 0},   {1.0, 2.0, -0.732050807569, 0},  {0.0, 2.0, 2.73205080757, 0},
    {-1.0, -2.0, 2.73205080757, 0},   {1.0, -2.0, 2.73205080757, 0},   {-1.0, -1.0, 2.73205080757, 0},
    {1.0, -1.0, 2.73205080757, 0},    {-1.0, 2.0, 2.73205080757, 0},   {1.0, 2.0, 2.73205080757, 0},
    {-1.0, 1.0, 2.73205080757, 0},    {1.0, 1.0, 2.73205080757, 0}};

// Faces 1 to 13 use only vertices 1 to 12: the inner part that Alt+9 shows.
constexpr int kFaceTable[] = {
    4, 1, 7, 8, 2, 1,     // bottom
    4, 1, 3, 9, 7, 1,     // left wall
    4, 2, 8, 11, 5, 1,    // right wall
    3, 1, 2, 4, 2,        // front, lower triangle
    3, 1, 4, 3, 3,        // front, left triangle
    3, 2, 5, 4, 3,        // front, right triangle
    3, 3, 4, 6, 2,        // front gusset, left half
    3, 4, 5, 6, 2,        // front gusset, right half
    3, 7, 10, 8, 2,       // back, lower triangle
    3, 7, 9, 10, 3,       // back, left triangle
    3, 10, 11, 8, 3,      // back, right triangle
    3, 9, 12, 10, 2,      // back gusset, left half
    3, 10, 12, 11, 2,     // back gusset, right half
    4, 3, 15, 19, 9, 2,   // left flap
    4, 5, 11, 20, 16, 2,  // right flap
    3, 3, 13, 15, 3,      // front left corner of the top band
    3, 3, 6, 13, 1,       // front top band, left
    3, 5, 16, 14, 3,      // front right corner of the top band
    3, 5, 14, 6, 1,       // front top band, right
    3, 9, 19, 17, 3,      // back left corner of the top band
    3, 9, 17, 12, 1,      // back top band, left
    3, 11, 18, 20, 3,     // back right corner of the top band
    3, 11, 12, 18, 1};    // back top band, right

using Tables = CDesignTables<kVertexTable, kFaceTable>;

// Counts of the whole design and of its inner part (faces 1 to 13).
constexpr int kAllCounts[3] = {Tables::kVertices, Tables::kFaces, 42};
constexpr int kInnerCounts[3] = {12, 13, 24};

CVector3d& V(int k) { return designPoints[k]; }

CVector3d Centred(double x, double y, double z) { return CVector3d(x, y, z) - boxCentre; }

// The front gusset apex, at distance t above the gusset centre point in the plane x = a.
CVector3d GussetApex(double cr, double sr)
{
    const double t = flapHeight;
    const double y = t * std::sqrt((cr - 1) * cr / ((cr - 2) * (cr + 1))) + a * std::sqrt(2 * (cr + 1) * cr) / (cr + 1);
    const double z = t * std::sqrt(2 / (sr * sr + cr + 1)) + (1 - cr) / sr * a;
    return Centred(a, y, z);
}

void MirrorBandCorner() { SetMirrors(designPoints, 12, 13, 16, 17); }

// MakeDesign up to the display lists, which its callers compile once the
// points are placed.
void LayOut(std::ostream& os);

void SetParameters(double W, double L, double H, double t, std::ostream& os)
{
    boxWidth = W;
    boxLength = L;
    bagHeight = H;
    flapHeight = t;
    LayOut(os);
    RebuildDesignView();
}

// One degree of rho (clamped to [1e-5, PI/2]); a refused fold keeps the old angle.
void TurnRho(double step, std::ostream& os)
{
    const double oldRho = rho;
    rho = ClampAngle(rho + step, kMinRho, kRightAngle);
    if (!FoldStep(os)) rho = oldRho;
}

// The flaps one degree on: the requested angle in radians first, then the
// angle that holds (the old one when the fold was refused) in degrees.
void TurnOmega(double step, std::ostream& os)
{
    const double oldOmega = omega;
    omega += step;
    os << omega << std::endl;
    if (!FoldStep(os)) omega = oldOmega;
    PrintAngle("omega = ", omega, os);
    FoldStep(os);
    RebuildDesignView();
}

void ShowCounts(const int counts[3])
{
    // The counts name parts of the built-in design only; a loaded mesh keeps its own.
    if (!builtInDesignShown) return;
    theMesh.nVertices = counts[0];
    theMesh.nFaces = counts[1];
    theMesh.nEdges = counts[2];
    theMesh.BuildDisplayLists();
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
    Tables::Load(os);
    const double W = boxWidth, L = boxLength, H = bagHeight;
    a = W / 2;
    boxCentre = CVector3d(W / 2, L / 2, (a + H) / 2);
    rho = omega = kRightAngle;
    V(0) = Centred(0, 0, 0);
    V(1) = Centred(W, 0, 0);
    V(6) = Centred(0, L, 0);
    V(7) = Centred(W, L, 0);
    V(12) = Centred(0, 0, a + H);
    FoldStep(os);
}

}  // namespace

bool FoldStep(std::ostream& os)
{
    const double W = boxWidth, L = boxLength, H = bagHeight, t = flapHeight, f = flapInset;
    const double cr = std::cos(rho), sr = std::sin(rho), co = std::cos(omega), so = std::sin(omega);
    CVector3d before[kPoints];
    CopyPoints(designPoints, before, kPoints);

    V(2) = Centred(a * cr, 0, a * sr);
    V(8) = Centred(a * cr, L, a * sr);
    V(4) = Centred(W - a * cr, 0, a * sr);
    V(10) = Centred(W - a * cr, L, a * sr);

    const double g = std::sqrt(cr * (cr + 1)) * std::sqrt(2.0) / (cr + 1);
    V(3) = Centred(a, g * a, (1 - cr) / sr * a);
    V(9) = MirrorY(V(3));

    const double flapZ = t * so + a * sr;
    V(15) = Centred(W - t * co - a * cr, f, flapZ);
    V(19) = MirrorY(V(15));
    V(14) = Centred(t * co + a * cr, f, flapZ);
    V(18) = MirrorY(V(14));

    V(5) = GussetApex(cr, sr);
    V(11) = MirrorY(V(5));

    if (sqr(f + a) > SqrNorm(V(14) - V(5))) {
        V(12) = V(12) - CVector3d(0, 0.1 * a, 0);
        if (!PlaceByThreeSpheres(V(2), t, V(14), f, V(5), a, V(12), os)) {
            CopyPoints(before, designPoints, kPoints);
            return false;
        }
    } else {
        // The flap corner is out of reach of the band: the corner stands straight up.
        V(12) = Centred(0, 0, a + H);
    }
    MirrorBandCorner();
    return true;
}

bool FoldStepPercent(double percent, std::ostream& os)
{
    const double f = flapInset;
    const CVector3d oldApex = V(5);
    V(5) = GussetApex(std::cos(rho), std::sin(rho));
    const double r0 = length(V(2) - V(14));
    const double r2 = length(V(8) - V(14)) * (percent * 0.01);
    if (!PlaceByThreeSpheres(V(2), r0, V(5), a + f, V(8), r2, V(14), os)) {
        V(5) = oldApex;
        return false;
    }
    V(11) = MirrorY(V(5));
    SetMirrors(designPoints, 14, 15, 18, 19);
    V(12) = V(5) + (V(14) - V(5)) * (a / (a + f));
    MirrorBandCorner();
    return true;
}

}  // namespace paperbag

using namespace paperbag;

void InitDesign()
{
    bagHeight = flapHeight = std::sqrt(3.0);
    MakeDesign(std::cout);
}

void LoadBuiltInDesign(int counts[3], double vertexRows[][4], int faceInts[])
{
    Tables::Copy(3, counts, vertexRows, faceInts);
}

void PlaceDesignVertices()
{
    if (!builtInDesignShown) return;
    // Vertex types stay as the table gave them (vertex 0 is marked).
    for (int v = 0; v < kPoints; ++v) theMesh.vertices[v].position = designPoints[v];
}

void DesignIdleStep(std::ostream& os)
{
    FoldStep(os);
    PlaceDesignVertices();
}

bool DesignKey(unsigned char key, int modifiers, std::ostream& os)
{
    const bool alt = (modifiers & kAltModifier) != 0;
    switch (key) {
    case '1': SetParameters(1.0, 2.0, 1.5, std::sqrt(3.0), os); return true;
    case '2': SetParameters(1.0, 2.0, 1.5, 2.0, os); return true;
    case '3': SetParameters(1.0, 2.0, 1.5, 1.0, os); return true;
    case '9': ShowCounts(alt ? kInnerCounts : kAllCounts); return true;
    case 'r':
    case 'R':
        if (key == 'R')
            TurnRho(kDegree, os);
        else if (!alt)
            TurnRho(-kDegree, os);
        else
            FoldStepPercent(100, os);
        PrintAngle("rho = ", rho, os);
        FoldStep(os);
        FoldStepPercent(100, os);
        RebuildDesignView();
        return true;
    case 'o': TurnOmega(-kDegree, os); return true;
    case 'O': TurnOmega(kDegree, os); return true;
    case 'I':
        MakeDesign(os);
        PrintAngle("rho = ", rho, os);
        FoldStep(os);
        RebuildDesignView();
        return true;
    case 'M':
        FoldStepPercent(100, os);
        RebuildDesignView();
        return true;
    case 'D':
    case 'd':
        PrintAngle("delta = ", 0.0, os);
        FoldStep(os);
        RebuildDesignView();
        return true;
    default: return false;
    }
}
