#pragma once
// View arithmetic that both viewers share, free of OpenGL and GLUT.

// A left-button drag from (lastX, lastY) to (x, y): half a degree per pixel,
// the vertical move about x, the horizontal one about z. Only the upper end
// wraps; an angle below -180 stays until the viewer brings it back itself.
// The steps go to stepX and stepZ, and (x, y) becomes the new drag start.
inline void DragTurn(int x, int y, int& lastX, int& lastY, float& rotX, float& rotZ, float& stepX, float& stepZ)
{
    stepX = static_cast<float>(y - lastY) * 0.5f;
    stepZ = static_cast<float>(x - lastX) * 0.5f;
    lastX = x;
    lastY = y;
    rotX += stepX;
    rotZ += stepZ;
    if (rotX > 180) rotX -= 360;
    if (rotZ > 180) rotZ -= 360;
}

struct CMenuEntry {
    const char* label;
    int value;
};

// The display toggles of both viewers' main menu, in menu order; the values
// do not follow that order, and both programs' menu callbacks rely on them.
constexpr CMenuEntry kToggleMenu[] = {
    {"Toggle show special edges", 1}, {"Toggle show faces", 2},  {"Toggle show faces by edges", 3},
    {"Toggle show vertices", 6},      {"Toggle show normals", 4}, {"Toggle show coordinatesystem", 5}};
