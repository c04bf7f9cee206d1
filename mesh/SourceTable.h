#pragma once
// The mesh as source tables in the layout of the built-in objects: counts
// {nV, nF, 0}, vertex rows {x, y, z, 0} and the flat face list (n, the
// 1-based corners, the type per face).
#include <iomanip>
#include <ostream>
#include <sstream>
#include <string>

#include "mesh/MeshFileIO.h"
#include "mesh/MeshStore.h"

// What differs between the programs' tables.
struct CSourceTableLayout {
    const char* nameSuffix; // written after "_n", "_v", "_f"
    double scale;           // applied before the small-value test
};

// Face row; triangles get six blanks for the missing corner field so that the
// type columns line up.
inline void PutSourceFaceRow(std::ostream& os, int n, const int* verts, int type)
{
    os << "      " << n << ", ";
    for (int k = 0; k < n; ++k) os << std::setw(5) << verts[k] + 1 << ",";
    if (n < 4) os << "      ";
    os << std::setw(5) << type << ",\n";
}

template <class Config>
std::string SourceTableText(const CMeshStore<Config>& m, const CSourceTableLayout& layout)
{
    const char* s = layout.nameSuffix;
    std::ostringstream os;
    os << "   static const int _n" << s << "[3] = { " << m.nVertices << ", " << m.nFaces << ", 0 };\n";
    os << "   static const double _v" << s << "[" << m.nVertices << "][4] = {  // vertices" << "\n";
    os.precision(12);
    for (int i = 0; i < m.nVertices; ++i) {
        const auto& v = m.vertices[i];
        os << "      {";
        const double c[3] = {v.X(), v.Y(), v.Z()};
        for (int k = 0; k < 3; ++k) {
            os << std::setw(15) << CoordForText(layout.scale * c[k], true) << ",  ";
        }
        os << "0},\n";
    }
    os << "   };\n\n";
    os << "   static const int _f" << s << "[] = {     // faces\n";
    for (int j = 0; j < m.nFaces; ++j) PutSourceFaceRow(os, m.faces[j].NVerts(), m.faces[j].Verts(), m.faces[j].Type());
    os << "   };\n";
    return os.str();
}

template <class Config>
bool WriteSourceTable(const CMeshStore<Config>& m, const std::string& name, const CSourceTableLayout& layout,
                      std::ostream& os)
{
    return WriteTextWithProgress(name, SourceTableText(m, layout), m.nVertices, os);
}
