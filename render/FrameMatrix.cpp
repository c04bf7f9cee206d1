#include "render/FrameMatrix.h"

#include <cmath>

CFrameMatrix MakeFrameMatrix(const CVector3d& d)
{
    CFrameMatrix f = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 0.0, false};
    if (!IsFinite(d)) return f;
    const double rhoSqr = d.x() * d.x() + d.y() * d.y();
    double rho = 0, cPhi = 1, sPhi = 0;
    if (rhoSqr > 1e-12) {
        rho = std::sqrt(rhoSqr);
        cPhi = d.x() / rho;
        sPhi = d.y() / rho;
    }
    const double len = std::sqrt(d.z() * d.z() + rhoSqr);
    // Overflowing squares give an infinite length, underflowing ones zero.
    if (!(len > 0) || !std::isfinite(len)) return f;
    const double cTheta = d.z() / len;
    const double sTheta = rho / len;
    const double m[16] = {cPhi * cTheta, sPhi * cTheta, -sTheta, 0,  //
                          -sPhi,         cPhi,          0,       0,  //
                          cPhi * sTheta, sPhi * sTheta, cTheta,  0,  //
                          0,             0,             0,       1};
    for (int i = 0; i < 16; ++i) f.myMat[i] = m[i];
    f.length = len;
    f.valid = true;
    return f;
}
