#pragma once
// Display toggles, animation mode and projection bounds of the polyhedron viewer.
#include "geometry/CVector3d.h"

class CViewState {
public:
    enum Toggle {
        kSpecialEdges = 0,
        kFaces = 1,
        kSplitFaces = 2,
        kMarker = 3,
        kFacesByEdges = 4,
        kNormals = 5,
        kCoordinateSystem = 6,
        kVertices = 7,
        kAutoSpin = 8
    };
    enum Mode { kIdle = 0, kTurn = 13, kFold = 90, kTwist = 99 };

    void ResetToggles();
    void SetProjection(int width, int height, double left, double right, double bottom, double top);
    // kTwist while in kTwist toggles the twist loop off; anything else is taken as it is.
    void SetMode(int newMode);
    int GetMode() const { return mode; }
    void StopAnimation() { mode = kIdle; }
    // The view-plane point under a window pixel (rows count downward).
    CVector3d PixelToViewPlane(int px, int py) const;
    void ShowMarkerOnly();

    void ToggleSpecialEdges() { toggles[kSpecialEdges] = !toggles[kSpecialEdges]; }
    void ToggleFaces() { toggles[kFaces] = !toggles[kFaces]; }
    void ToggleSplitFaces() { toggles[kSplitFaces] = !toggles[kSplitFaces]; }
    void ToggleFacesByEdges() { toggles[kFacesByEdges] = !toggles[kFacesByEdges]; }
    void ToggleNormals() { toggles[kNormals] = !toggles[kNormals]; }
    void ToggleCoordinateSystem() { toggles[kCoordinateSystem] = !toggles[kCoordinateSystem]; }
    void ToggleVertices() { toggles[kVertices] = !toggles[kVertices]; }
    void ToggleAutoSpin() { toggles[kAutoSpin] = !toggles[kAutoSpin]; }

    bool toggles[9] = {};
    int mode = 0;
    int height = 0, width = 0;
    double left = 0, right = 0, bottom = 0, top = 0;
};
