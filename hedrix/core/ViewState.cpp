#include "hedrix/core/ViewState.h"

void CViewState::ResetToggles()
{
    for (bool& t : toggles) t = false;
    toggles[kFaces] = true;
    toggles[kFacesByEdges] = true;
    toggles[kCoordinateSystem] = true;
    toggles[kVertices] = true;
}

void CViewState::SetProjection(int newWidth, int newHeight, double newLeft, double newRight, double newBottom,
                               double newTop)
{
    width = newWidth;
    height = newHeight;
    left = newLeft;
    right = newRight;
    bottom = newBottom;
    top = newTop;
}

void CViewState::SetMode(int newMode)
{
    mode = (newMode == kTwist && mode == kTwist) ? kIdle : newMode;
}

CVector3d CViewState::PixelToViewPlane(int px, int py) const
{
    const double x = left + (right - left) / width * px;
    const double y = bottom + (top - bottom) / height * (height - py);
    return CVector3d(x, y, 0);
}

void CViewState::ShowMarkerOnly()
{
    toggles[kFaces] = false;
    toggles[kSplitFaces] = false;
    toggles[kFacesByEdges] = false;
    toggles[kVertices] = false;
    toggles[kMarker] = true;
}
