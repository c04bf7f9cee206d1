#pragma once
// Rows of a Newton system on vertex positions, in the layout of
// library::SolveLeastSquares: vertex v owns columns 3v, 3v + 1, 3v + 2.
// The builders are templates over the mesh type so that solvers/ needs no
// mesh or viewer header; the mesh must offer VertexPosition, FaceCentre,
// Centroid, NSpecialEdges, SpecialEdge (->V1, V2, Type) and, for
// SetTwistFromFaces, SetTwistData(a, b, c, edgeLength).
// A builder writes only its own entries (the caller clears the rows first)
// and takes the row index by value. A vertex outside 0..82 or a row outside
// 0..249 is refused with one line on the given stream and nothing is written.
#include <cmath>
#include <ostream>

#include "geometry/CVector3d.h"
#include "solvers/LibrarySolvers.h"

// Mean special-edge length of tags 1, 2, 3 (0 where a tag has none);
// entry 0 is the side length of the triangle rows.
extern double tagEdgeLength[3];

namespace constraint_rows {

constexpr int kRowWidth = library::kSystemCapacity;
constexpr int kMaxVertex = (kRowWidth - 3) / 3;  // 82: its z column is 248

// False, after one line on os naming the builder, when one of the count
// vertices or one of the rows row .. row + nRows - 1 lies outside the system.
bool RowsFit(const char* builder, const int* vertex, int count, int row, int nRows, std::ostream& os);

// Length row for (p, q): minus the gradient of 0.5 * (|xq - xp|^2 - L^2) and
// the residual itself; returns the residual squared.
double WriteLengthRow(int p, const CVector3d& xp, int q, const CVector3d& xq, double L, double (*a)[kRowWidth],
                      double* b, int row);

// Three rows (x, y, z) of the linear relation sum coeff[i] * x_i = 0 over
// four vertices: the gradient (the coefficients) and the current residual.
void WriteRelationRows(const int vertex[4], const CVector3d position[4], const double coeff[4],
                       double (*a)[kRowWidth], double* b, int row);

// Twist data from two faces and a vertex of each; false (with one line on os)
// when a face centre sits at the centroid and the data would not be finite.
bool TwistFromFaces(const CVector3d& C, const CVector3d& C1, const CVector3d& V1, const CVector3d& C2,
                    const CVector3d& V2, CVector3d& a, CVector3d& b, CVector3d& d, double& edgeLength, std::ostream& os);

template <class M>
void TriangleRowsUnchecked(const M& mesh, int i, int j, int k, double ratio, double (*a)[kRowWidth], double* b,
                           int row)
{
    const double L = tagEdgeLength[0];
    const CVector3d xi = mesh.VertexPosition(i), xj = mesh.VertexPosition(j), xk = mesh.VertexPosition(k);
    WriteLengthRow(i, xi, j, xj, L, a, b, row);
    WriteLengthRow(j, xj, k, xk, L, a, b, row + 1);
    WriteLengthRow(i, xi, k, xk, ratio * L, a, b, row + 2);
}

template <class M>
void RelationRowsUnchecked(const M& mesh, const int vertex[4], const double coeff[4], double (*a)[kRowWidth],
                           double* b, int row)
{
    CVector3d position[4];
    for (int i = 0; i < 4; ++i) position[i] = mesh.VertexPosition(vertex[i]);
    WriteRelationRows(vertex, position, coeff, a, b, row);
}

}  // namespace constraint_rows

// Row `row` ties |x_j - x_i| to L; returns the square of the right-hand side
// written, NaN when refused.
template <class M>
double EdgeLengthRow(const M& mesh, int i, int j, double L, double (*a)[250], double* b, int row, std::ostream& os)
{
    const int vertex[2] = {i, j};
    if (!constraint_rows::RowsFit("EdgeLengthRow", vertex, 2, row, 1, os)) return std::nan("");
    return constraint_rows::WriteLengthRow(i, mesh.VertexPosition(i), j, mesh.VertexPosition(j), L, a, b, row);
}

// Rows row .. row + 2: sides i-j and j-k of length tagEdgeLength[0], side i-k of ratio times it.
template <class M>
void TriangleRows(const M& mesh, int i, int j, int k, double ratio, double (*a)[250], double* b, int row,
                  std::ostream& os)
{
    const int vertex[3] = {i, j, k};
    if (!constraint_rows::RowsFit("TriangleRows", vertex, 3, row, 3, os)) return;
    constraint_rows::TriangleRowsUnchecked(mesh, i, j, k, ratio, a, b, row);
}

// Rows row .. row + 5 make v1 v2 v3 v4, in order, a square of side tagEdgeLength[0].
template <class M>
void SquareRows(const M& mesh, int v1, int v2, int v3, int v4, double (*a)[250], double* b, int row, std::ostream& os)
{
    const int vertex[4] = {v1, v2, v3, v4};
    if (!constraint_rows::RowsFit("SquareRows", vertex, 4, row, 6, os)) return;
    constraint_rows::TriangleRowsUnchecked(mesh, v1, v2, v3, std::sqrt(2.0), a, b, row);
    // Parallelogram: x1 - x2 + x3 - x4 = 0.
    const double coeff[4] = {1.0, -1.0, 1.0, -1.0};
    constraint_rows::RelationRowsUnchecked(mesh, vertex, coeff, a, b, row + 3);
}

// Rows row .. row + 8 make v1 .. v5, in order, a regular pentagon of side
// tagEdgeLength[0]: a triangle of two sides and a diagonal, then
// v4 = v1 - phi v2 + phi v3 and v5 = phi v1 - phi v2 + v3.
template <class M>
void PentagonRows(const M& mesh, int v1, int v2, int v3, int v4, int v5, double (*a)[250], double* b, int row,
                  std::ostream& os)
{
    const int vertex[5] = {v1, v2, v3, v4, v5};
    if (!constraint_rows::RowsFit("PentagonRows", vertex, 5, row, 9, os)) return;
    const double phi = (std::sqrt(5.0) + 1) / 2;
    constraint_rows::TriangleRowsUnchecked(mesh, v1, v2, v3, phi, a, b, row);
    const int fourth[4] = {v1, v2, v3, v4};
    const double fourthCoeff[4] = {1.0, -phi, phi, -1.0};
    constraint_rows::RelationRowsUnchecked(mesh, fourth, fourthCoeff, a, b, row + 3);
    const int fifth[4] = {v1, v2, v3, v5};
    const double fifthCoeff[4] = {phi, -phi, 1.0, -1.0};
    constraint_rows::RelationRowsUnchecked(mesh, fifth, fifthCoeff, a, b, row + 6);
}

// Twist data of the mesh from faces f1, f2 and vertices v1 (of f1), v2 (of f2).
template <class M>
void SetTwistFromFaces(M& mesh, int f1, int v1, int f2, int v2, std::ostream& os)
{
    if (f1 < 0 || f2 < 0 || v1 < 0 || v2 < 0) {
        os << "SetTwistFromFaces: negative face or vertex index refused" << std::endl;
        return;
    }
    CVector3d a, b, d;
    double edgeLength = 0;
    if (constraint_rows::TwistFromFaces(mesh.Centroid(), mesh.FaceCentre(f1), mesh.VertexPosition(v1),
                                        mesh.FaceCentre(f2), mesh.VertexPosition(v2), a, b, d, edgeLength, os))
        mesh.SetTwistData(a, b, d, edgeLength);
}

// Fills tagEdgeLength from the special edges, printing each edge's index and
// "illegal tag!!" for a tag other than 1, 2, 3 (that edge is skipped).
template <class M>
void ComputeTagEdgeLengths(const M& mesh, std::ostream& os)
{
    double sum[3] = {0, 0, 0};
    int count[3] = {0, 0, 0};
    for (int i = 0; i < mesh.NSpecialEdges(); ++i) {
        os << i << std::endl;
        const auto* edge = mesh.SpecialEdge(i);
        const int tag = edge->Type();
        if (tag < 1 || tag > 3) {
            os << "illegal tag!!" << std::endl;
            continue;
        }
        sum[tag - 1] += (mesh.VertexPosition(edge->V2()) - mesh.VertexPosition(edge->V1())).length();
        ++count[tag - 1];
    }
    for (int t = 0; t < 3; ++t) tagEdgeLength[t] = count[t] > 0 ? sum[t] / count[t] : 0.0;
}

void PrintTagEdgeLengths(std::ostream& os);
// Rows 0..m-1, columns 0..n-1; sizes beyond the 250 x 250 capacity are refused.
void PrintMatrix(const double (*a)[250], int m, int n, std::ostream& os);
// The leading n x n block with " | " and the right-hand side on each line.
void PrintSystem(const double (*a)[250], const double* b, int n, std::ostream& os);
