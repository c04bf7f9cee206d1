#include "crimpa/designs/NfMars.h"

#include <cmath>
#include <iostream>

#include "crimpa/designs/DesignSupport.h"

const char* const kDesignTitle = "Rigid folding by TZL - non flat MARS design";

namespace nfmars {

double a = 0.0, b = 0.0, c = 0.0;
double topHeight = 0.0, midHeight = 0.0;
double delta = 0.0, h = 0.0, w = 0.0, rho = 0.0;
CVector3d designPoints[kPoints];
CVector3d hingePoint;

namespace {

// The layout at the start parameters, heights to four and five decimals.
constexpr double kVertexTable[kPoints][4] = {
    {-2, -1.90145, 0, 0}, {-1, -1.90145, 0, 0}, {-0.5, -1.90145, 0.21645, 0}, {0.5, -1.90145, 0.21645, 0}, {1, -1.90145, 0, 0}, {2, -1.90145, 0, 0},
    {-2, -1.40145, 0, 0}, {-1, -1.40145, 0, 0}, {-0.5, -0.950725, 0.21645, 0}, {0.5, -0.950725, 0.21645, 0}, {1, -1.40145, 0, 0}, {2, -1.40145, 0, 0},
    {-2, -0.950725, 0.21645, 0}, {-1.5, -0.950725, 0.21645, 0}, {-1, -0.5, 0.4329, 0}, {1, -0.5, 0.4329, 0}, {1.5, -0.950725, 0.21645, 0}, {2, -0.950725, 0.21645, 0},
    {-2, 0.950725, 0.21645, 0}, {-1.5, 0.950725, 0.21645, 0}, {-1, 0.5, 0.4329, 0}, {1, 0.5, 0.4329, 0}, {1.5, 0.950725, 0.21645, 0}, {2, 0.950725, 0.21645, 0},
    {-2, 1.40145, 0, 0}, {-1, 1.40145, 0, 0}, {-0.5, 0.950725, 0.21645, 0}, {0.5, 0.950725, 0.21645, 0}, {1, 1.40145, 0, 0}, {2, 1.40145, 0, 0},
    {-2, 1.90145, 0, 0}, {-1, 1.90145, 0, 0}, {-0.5, 1.90145, 0.21645, 0}, {0.5, 1.90145, 0.21645, 0}, {1, 1.90145, 0, 0}, {2, 1.90145, 0, 0},
};

constexpr int kFaceTable[] = {
    4, 15, 16, 22, 21, 3,  4, 16, 15, 9, 10, 2,   4, 21, 22, 28, 27, 2,  4, 15, 14, 8, 9, 1,
    4, 16, 10, 11, 17, 1,  4, 21, 27, 26, 20, 1,  4, 22, 23, 29, 28, 1,  4, 14, 15, 21, 20, 2,
    4, 16, 17, 23, 22, 2,  4, 7, 8, 14, 13, 3,    4, 11, 12, 18, 17, 3,  4, 19, 20, 26, 25, 3,
    4, 23, 24, 30, 29, 3,  4, 13, 14, 20, 19, 1,  4, 17, 18, 24, 23, 1,  4, 1, 2, 8, 7, 2,
    4, 5, 6, 12, 11, 2,    4, 25, 26, 32, 31, 2,  4, 29, 30, 36, 35, 2,  4, 2, 3, 9, 8, 3,
    4, 4, 5, 11, 10, 3,    4, 26, 27, 33, 32, 3,  4, 28, 29, 35, 34, 3,  4, 3, 4, 10, 9, 1,
    4, 27, 28, 34, 33, 1,
};

using Tables = CDesignTables<kVertexTable, kFaceTable>;
static_assert(Tables::kFaces == 25);

// Newton placement that also judges its result: the residual decides, since
// near rho = 0 the iteration may use all its steps and still land right.
bool Place(const CVector3d& p1, double r1, const CVector3d& p2, double r2, const CVector3d& p3, double r3,
           const CVector3d& start, CVector3d& result, std::ostream& os)
{
    result = design::ThreeSpheresNewton(p1, r1, p2, r2, p3, r3, start, os);
    return IsFinite(result) && LargestCreaseMiss(result, p1, r1, p2, r2, p3, r3) <= kCreaseTolerance;
}

// What a design key may change, kept so that a refused fold can be undone.
struct CFoldState {
    double rho, delta, h, w;
    CVector3d points[kPoints];
};

CFoldState SaveState()
{
    CFoldState s{rho, delta, h, w, {}};
    CopyPoints(designPoints, s.points, kPoints);
    return s;
}

// `angle` is the design variable a key prints (or a 0 for an angle the design
// lacks), by reference: after a refusal its line shows the value that holds again.
bool Refuse(const CFoldState& s, const char* label, const double& angle, std::ostream& os)
{
    rho = s.rho;
    delta = s.delta;
    h = s.h;
    w = s.w;
    CopyPoints(s.points, designPoints, kPoints);
    os << "no fold for this change: a crease would change its length; the design stays as it was"
              << std::endl;
    PrintAngle(label, angle, os);
    return true;
}

bool PrintAndRefold(const CFoldState& before, const char* label, const double& angle, std::ostream& os)
{
    PrintAngle(label, angle, os);
    if (!FoldStep(os)) return Refuse(before, label, angle, os);
    RebuildDesignView();
    return true;
}

bool ChangeAndRefold(const CFoldState& before, const char* label, const double& angle, std::ostream& os)
{
    if (!FoldStep(os)) return Refuse(before, label, angle, os);
    return PrintAndRefold(before, label, angle, os);
}

void SetCreaseOffsets()
{
    h = c * std::cos(delta + kQuarterPi);
    w = c * std::sin(delta + kQuarterPi);
}

void BuildBuiltInMesh(std::ostream& os) { Tables::Build(os); }

}  // namespace

void MakeDesign(double deltaDegrees, double newA, double newB, double newC, std::ostream& os)
{
    BuildBuiltInMesh(os);
    a = newA;
    b = newB;
    c = newC;
    delta = deltaDegrees / 180 * kPi;
    SetCreaseOffsets();
    topHeight = 0.4329;
    midHeight = 0.21645;
    ComputeDesignGeometry();
}

void ComputeDesignGeometry()
{
    rho = -0.4537856055185252;
    const double zt = topHeight, zm = midHeight;
    const double narrowX[6] = {-(b + 2 * a), -b, a - b, b - a, b, b + 2 * a};
    const double wideX[6] = {-(b + 2 * a), -(b + a), -b, b, b + a, b + 2 * a};
    // Per row: y of the outer columns (0, 1, 4, 5), y of the inner ones (2, 3).
    const double outerY[6] = {-(2 * a + 2 * h), -(a + 2 * h), -(a + h), a + h, a + 2 * h, 2 * a + 2 * h};
    const double innerY[6] = {-(2 * a + 2 * h), -(a + h), -a, a, a + h, 2 * a + 2 * h};
    for (int j = 0; j < 6; ++j) {
        const bool raised = j == 2 || j == 3;
        const double* xs = raised ? wideX : narrowX;
        for (int i = 0; i < 6; ++i) {
            const bool inner = i == 2 || i == 3;
            const double z = raised ? (inner ? zt : zm) : (inner ? zm : 0.0);
            designPoints[6 * j + i] = CVector3d(xs[i], inner ? innerY[j] : outerY[j], z);
        }
    }
    hingePoint = CVector3d(a - b, -a, topHeight);
}

bool FoldStep(std::ostream& os)
{
    CVector3d p[kPoints];
    CopyPoints(designPoints, p, kPoints);
    const double k = (a + h) / a;

    const CVector3d Q = hingePoint + CVector3d(a * 0.0, a * -std::cos(rho), a * std::sin(rho));
    p[8] = Q;
    p[26] = MirrorY(Q);
    p[9] = Q + 0.5 * (p[15] - p[14]);
    p[27] = MirrorY(p[9]);

    CVector3d N1, N2, N3;
    if (!Place(p[14], c, Q, 2 * a, p[20], std::sqrt(sqr(2 * a + h) + sqr(w)), p[13], N1, os)) return false;
    p[13] = N1;
    p[16] = MirrorX(N1);
    p[19] = N1 + k * (p[20] - p[14]);
    p[22] = MirrorX(p[19]);
    p[7] = N1 - p[14] + Q;
    SetMirrors(p, 7, 10, 25, 28);

    if (!Place(N1, a, p[19], std::sqrt(sqr(2 * a + 2 * h) + sqr(a)), p[7], std::sqrt(5.0) * a, p[12], N2, os))
        return false;
    p[12] = N2;
    SetMirrors(p, 12, 17, 18, 23);
    p[6] = p[7] + 2 * (N2 - N1);
    SetMirrors(p, 6, 11, 24, 29);

    if (!Place(p[7], a, Q, std::sqrt(sqr(w) + sqr(a + h)), p[6], std::sqrt(5.0) * a, p[1], N3, os)) return false;
    p[1] = N3;
    SetMirrors(p, 1, 4, 31, 34);
    p[0] = p[6] - p[7] + N3;
    SetMirrors(p, 0, 5, 30, 35);
    p[2] = Q + k * (N3 - p[7]);
    SetMirrors(p, 2, 3, 32, 33);

    CopyPoints(p, designPoints, kPoints);
    return true;
}

}  // namespace nfmars

using namespace nfmars;

void InitDesign() { MakeDesign(5.4, 0.5, 1.0, 0.5 * std::sqrt(2.0), std::cout); }

void LoadBuiltInDesign(int counts[3], double vertexRows[][4], int faceInts[])
{
    Tables::Copy(6, counts, vertexRows, faceInts);
}

void PlaceDesignVertices() { PlacePoints(designPoints, kPoints); }

void DesignIdleStep(std::ostream& os)
{
    if (FoldStep(os)) PlaceDesignVertices();
}

bool DesignKey(unsigned char key, int modifiers, std::ostream& os)
{
    const CFoldState before = SaveState();
    switch (key) {
    case 'R':
        rho += kDegree;
        return ChangeAndRefold(before, "rho = ", rho, os);
    case 'r':
        if (modifiers & kAltModifier) return PrintAndRefold(before, "rho = ", rho, os);
        rho -= kDegree;
        return ChangeAndRefold(before, "rho = ", rho, os);
    case 'I':
        // After a design file the built-in mesh comes back first; the design state is kept.
        if (!builtInDesignShown) BuildBuiltInMesh(os);
        ComputeDesignGeometry();
        return PrintAndRefold(before, "rho = ", rho, os);
    case 'D':
    case 'd':
        delta += key == 'D' ? kDeltaStep : -kDeltaStep;
        SetCreaseOffsets();
        return ChangeAndRefold(before, "delta = ", delta, os);
    case 'O':
    case 'o': return PrintAndRefold(before, "omega = ", 0.0, os);
    default: return RebuildOnlyKey(key, os);
    }
}
