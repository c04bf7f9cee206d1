#include "solvers/ConstraintRows.h"

double tagEdgeLength[3] = {0, 0, 0};

namespace constraint_rows {

bool RowsFit(const char* builder, const int* vertex, int count, int row, int nRows, std::ostream& os)
{
    for (int i = 0; i < count; ++i) {
        if (vertex[i] < 0 || vertex[i] > kMaxVertex) {
            os << builder << ": vertex " << vertex[i] << " outside 0.." << kMaxVertex << ", nothing written"
                      << std::endl;
            return false;
        }
    }
    if (row < 0 || row > kRowWidth - nRows) {
        os << builder << ": rows " << row << ".." << row + nRows - 1 << " outside 0.." << kRowWidth - 1
                  << ", nothing written" << std::endl;
        return false;
    }
    return true;
}

double WriteLengthRow(int p, const CVector3d& xp, int q, const CVector3d& xq, double L, double (*a)[kRowWidth],
                      double* b, int row)
{
    const CVector3d dx = xq - xp;
    b[row] = 0.5 * (dot(dx, dx) - L * L);
    for (int c = 0; c < 3; ++c) {
        a[row][3 * p + c] = dx[c];
        a[row][3 * q + c] = -dx[c];
    }
    return b[row] * b[row];
}

void WriteRelationRows(const int vertex[4], const CVector3d position[4], const double coeff[4],
                       double (*a)[kRowWidth], double* b, int row)
{
    CVector3d dx;
    for (int i = 0; i < 4; ++i) dx += coeff[i] * position[i];
    for (int c = 0; c < 3; ++c) {
        b[row + c] = dx[c];
        for (int i = 0; i < 4; ++i) a[row + c][3 * vertex[i] + c] = coeff[i];
    }
}

bool TwistFromFaces(const CVector3d& C, const CVector3d& C1, const CVector3d& V1, const CVector3d& C2,
                    const CVector3d& V2, CVector3d& a, CVector3d& b, CVector3d& d, double& edgeLength,
                    std::ostream& os)
{
    const CVector3d d1 = C1 - C;
    const CVector3d d2 = C2 - C;
    const CVector3d a1 = V1 - C1;
    const CVector3d b1 = cross(d1, a1) * (1 / d1.length());
    const CVector3d a2 = V2 - C2;
    const CVector3d b2 = cross(d2, a2) * (1 / d2.length());
    const CVector3d newA = a2 - a1;
    const CVector3d newB = b2 - b1;
    const CVector3d newD = d2 - d1;
    const double newLength = (V2 - V1).length();
    // A face centre at the centroid has no axis to turn about.
    if (!IsFinite(newA) || !IsFinite(newB) || !IsFinite(newD) || !std::isfinite(newLength)) {
        os << "SetTwistFromFaces: face centre at the centroid, twist data left unchanged" << std::endl;
        return false;
    }
    a = newA;
    b = newB;
    d = newD;
    edgeLength = newLength;
    return true;
}

}  // namespace constraint_rows

void PrintTagEdgeLengths(std::ostream& os)
{
    os << "a = " << tagEdgeLength[0] << std::endl;
    os << "b = " << tagEdgeLength[1] << std::endl;
    os << "c = " << tagEdgeLength[2] << std::endl;
}

namespace {

bool PrintFits(const char* printer, int m, int n, std::ostream& os)
{
    if (m < 0 || n < 0 || m > constraint_rows::kRowWidth || n > constraint_rows::kRowWidth) {
        os << printer << ": " << m << " x " << n << " outside the 250 x 250 system" << std::endl;
        return false;
    }
    return true;
}

}  // namespace

void PrintMatrix(const double (*a)[250], int m, int n, std::ostream& os)
{
    if (!PrintFits("PrintMatrix", m, n, os)) return;
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < n; ++j) os << a[i][j] << "  ";
        os << std::endl;
    }
}

void PrintSystem(const double (*a)[250], const double* b, int n, std::ostream& os)
{
    if (!PrintFits("PrintSystem", n, n, os)) return;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) os << a[i][j] << "  ";
        os << " | " << b[i] << std::endl;
    }
}
