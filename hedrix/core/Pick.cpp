#include "hedrix/core/Pick.h"

#include <cmath>

namespace {

// Below this share of |view|^2 the line runs along the edge: the edge shows
// as a point and its closest pair is only rounding noise.
constexpr double kParallelTolerance = 1e-12;

} // namespace

double EdgeLineDistance(const CMesh& mesh, int i, CVector3d xv, CVector3d view)
{
    if (i < 0 || i >= mesh.nEdges) return -1;
    const int i1 = mesh.edges[i].v1, i2 = mesh.edges[i].v2;
    if (i1 < 0 || i1 >= mesh.nVertices || i2 < 0 || i2 >= mesh.nVertices) return -1;
    const CVector3d v1 = mesh.vertices[i1].Position();
    const CVector3d dv = mesh.vertices[i2].Position() - v1;
    const CVector3d r = v1 - xv;
    const double a = dot(dv, dv);
    const double b = -dot(dv, view);
    const double c = dot(view, view);
    const double d = dot(-dv, r);
    const double e = dot(view, r);
    const double g = b / a;
    const double cc = c - g * b;
    const double ee = e - g * d;
    if (!(cc > kParallelTolerance * c)) return -1;
    const double t = ee / cc;
    const double u = (d - t * b) / a;
    if (!std::isfinite(t) || !std::isfinite(u) || !(u > 0 && u < 1)) return -1;
    const CVector3d is1 = xv + t * view;
    const CVector3d is2 = v1 + u * dv;
    const double dist = length(is1 - is2);
    return std::isfinite(dist) ? dist : -1;
}

int CMesh::PickEdge(CVector3d xv, CVector3d view, double* distance) const
{
    double best = 1e10;
    int result = -1;
    for (int i = 0; i < nEdges; ++i) {
        const double dist = EdgeLineDistance(*this, i, xv, view);
        if (dist < 0) continue;
        if (dist < best) {
            best = dist;
            result = i;
        }
    }
    if (result >= 0 && distance) *distance = best;
    return result;
}

void PickRayAtPixel(const CViewState& view, float rotX, float rotZ, int px, int py, CVector3d& origin,
                    CVector3d& direction)
{
    const double ax = degToRad(rotX);
    const double az = degToRad(rotZ);
    // rotateAboutX/Z turn by minus their angle, which is the inverse of the
    // display's glRotate pair when applied x first, then z.
    origin = view.PixelToViewPlane(px, py).rotateAboutX(ax).rotateAboutZ(az);
    direction = CVector3d(std::sin(ax) * std::sin(az), std::sin(ax) * std::cos(az), std::cos(ax));
}

int PickEdgeAtPixel(const CMesh& mesh, const CViewState& view, float rotX, float rotZ, int px, int py)
{
    if (view.width <= 0 || view.height <= 0) return -1;
    CVector3d origin, direction;
    PickRayAtPixel(view, rotX, rotZ, px, py, origin, direction);
    double distance = 0;
    const int e = mesh.PickEdge(origin, direction, &distance);
    if (e < 0) return -1;
    // The direction has unit length and the projection is orthographic, so
    // the distance from the line is the distance from the pointer on screen.
    const double unitsPerPixel = (view.right - view.left) / view.width;
    if (!(distance <= kPickRadiusPixels * unitsPerPixel)) return -1;
    return e;
}
