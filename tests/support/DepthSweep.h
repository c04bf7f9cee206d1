#pragma once
// The depth planes of a mesh without strays, swept over the zoom steps, turns
// and places a user can give: with depth clamping they are the planes without,
// so the GL draws the same picture either way.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "view/VisibleDepth.h"

namespace depthsweep {

// A reach of the viewers' kind: spheres and tubes about the points, unit
// normal marks, axes 1.5 long.
constexpr CSceneReach kViewerReach{0.03, 1.0, 1.5};

inline ::testing::AssertionResult SameBox(const CViewBox& want, const CViewBox& got)
{
    if (want.left == got.left && want.right == got.right && want.bottom == got.bottom && want.top == got.top &&
        want.nearPlane == got.nearPlane && want.farPlane == got.farPlane &&
        want.uncountedBeyondFar == got.uncountedBeyondFar)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "planes " << want.nearPlane << " " << want.farPlane << " "
                                         << want.uncountedBeyondFar << " against " << got.nearPlane << " "
                                         << got.farPlane << " " << got.uncountedBeyondFar;
}

// The mesh as it is, and moved 10, 100 and 1000 along the line of sight (both
// ways) and across it, under several turns, at every zoom step of a 900 by 700
// window. Leaves the mesh moved: the caller's fixture builds it again.
template <class Mesh>
void ExpectWholeDepthWhereverItLies(Mesh& mesh, ERatioOrder order)
{
    std::vector<CVector3d> placed;
    for (int i = 0; i < mesh.nVertices; ++i) placed.push_back(mesh.vertices[i].Position());
    const struct {
        float rotX, rotZ;
    } turns[] = {{-70, -160}, {0, 0}, {70, 0}, {-90, -90}, {35, 120}, {180, 45}};
    for (const auto& t : turns) {
        const double sx = std::sin(degToRad(t.rotX)), cx = std::cos(degToRad(t.rotX));
        const double sz = std::sin(degToRad(t.rotZ)), cz = std::cos(degToRad(t.rotZ));
        const CVector3d sight(sx * sz, sx * cz, cx);  // the model direction the turn shows along z
        for (const double offset : {0.0, 10.0, 100.0, 1000.0})
            for (const CVector3d& direction : {sight, -1.0 * sight, CVector3d(1, 0, 0)}) {
                for (int i = 0; i < mesh.nVertices; ++i)
                    mesh.vertices[i].SetPosition(placed[i] + offset * direction, mesh.vertices[i].Type());
                mesh.ComputeFaceCentres();
                mesh.computeCentroid();
                for (int step = -kMaxZoomInSteps; step <= kMaxZoomOutSteps; ++step) {
                    const float zoom = ZoomAtStep(kStartZoom, step);
                    ASSERT_TRUE(SameBox(SceneViewBox(mesh, kViewerReach, t.rotX, t.rotZ, 900, 700, zoom, order, false),
                                        SceneViewBox(mesh, kViewerReach, t.rotX, t.rotZ, 900, 700, zoom, order, true)))
                        << "moved " << offset << " along " << direction.x() << " " << direction.y() << " "
                        << direction.z() << ", turn " << t.rotX << " " << t.rotZ << ", zoom step " << step;
                }
                if (offset == 0) break;
            }
    }
}

}  // namespace depthsweep
