#pragma once
// The rotation that turns a quadric's local z axis onto a direction, in the
// column order glMultMatrixd takes. No GL here.
#include "geometry/CVector3d.h"

struct CFrameMatrix {
    double myMat[16];
    double length;  // |d|: the height of a tube along d
    bool valid;     // false for a zero or non-finite d: nothing may be drawn
};

// Directions with dx^2 + dy^2 <= 1e-12 count as vertical; the frame is then a
// turn about y only (identity along +z, half turn along -z).
CFrameMatrix MakeFrameMatrix(const CVector3d& d);

