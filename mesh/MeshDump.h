#pragma once
// Console dump of a mesh: a listing of vertices, faces and generated edges,
// then a drawing script that shows the mesh projected onto the x-y plane
// (vertex i is script point i + 5; label numbers run on in one sequence).
#include <cstdio>
#include <ostream>
#include <string>

#include "mesh/MeshStore.h"

// printf's layout on a stream.
template <class... Args>
void PutFormatted(std::ostream& os, const char* format, Args... args)
{
    const int n = std::snprintf(nullptr, 0, format, args...);
    if (n <= 0) return;
    std::string text(static_cast<std::size_t>(n), '\0');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    os << text;
}

template <class Config>
void DumpMesh(const CMeshStore<Config>& m, std::ostream& os)
{
    using Face = typename Config::Face;
    PutFormatted(os, "%50d vertices\n", m.nVertices);
    for (int i = 0; i < m.nVertices; ++i) {
        const auto& v = m.vertices[i];
        PutFormatted(os, "V %2d: (%5.2f,%5.2f,%5.2f) %2d E, %2d F : ", i, v.X(), v.Y(), v.Z(), v.NEdges(), v.NFaces());
        os << "ENr: ";
        for (int k = 0; k < v.NEdges(); ++k) PutFormatted(os, "%2d,", v.EdgeAt(k));
        for (int k = v.NEdges(); k < 4; ++k) os << "   ";
        os << " FNr: ";
        for (int k = 0; k < v.NFaces(); ++k) PutFormatted(os, "%2d,", v.FaceAt(k));
        os << "\n";
    }
    PutFormatted(os, "\n%50d faces\n", m.nFaces);
    for (int f = 0; f < m.nFaces; ++f) {
        const Face& face = m.faces[f];
        const int n = face.NVerts();
        PutFormatted(os, "F %2d: %2d V, %2d E : ", f, n, n);
        os << "VNr: ";
        for (int k = 0; k < n; ++k) PutFormatted(os, "%2d,", face.VertAt(k));
        os << " ENr: ";
        // As many edge entries as vertices; the record's slots bound the read.
        for (int k = 0; k < n && k < Face::kEdgeSlots; ++k) PutFormatted(os, "%2d,", face.EdgeAt(k));
        os << "\n";
    }
    PutFormatted(os, "\n%50d edges:\n", m.nEdges);
    for (int i = 0; i < m.nEdges; ++i) {
        const CEdge& e = m.edges[i];
        PutFormatted(os, "edge %2d  :  ", i);
        PutFormatted(os, "v1=%2d, v2=%2d, left face=%2d, right face=%2d\n", e.V1(), e.V2(), e.LeftFace(), e.RightFace());
    }
    os << "\n===============================================================\n";

    for (int i = 0; i < m.nVertices; ++i)
        PutFormatted(os, "DefPoi( 0,%8.4f, %8.4f);\n", 11 * m.vertices[i].X() + 13.5, 11 * m.vertices[i].Y() + 9.5);
    for (int i = 0; i < m.nVertices; ++i) {
        PutFormatted(os, "DefPoR( 0,%3d, 0.1, 0.1);\n", i + 5);
        PutFormatted(os, "ScrStr('p%d');\n", i);
        PutFormatted(os, "Script(%3d,  0.0,  0.0,  0,  0,  0.75,  2,  8,  0);\n", m.nVertices + i + 5);
    }
    for (int i = 0; i < m.nEdges; ++i) {
        const int a = m.edges[i].V1() + 5;
        const int b = m.edges[i].V2() + 5;
        PutFormatted(os, "JoinPo( 5,%3d,%3d, 0.2, 2, 1, 1, 0);\n", a, b);
        PutFormatted(os, "MidPoi(%3d,%3d);\n", a, b);
        PutFormatted(os, "ScrStr('e%d');\n", i);
        PutFormatted(os, "Script(%3d,  0.0,  0.0,  0,  0,  0.75,  4,  8,  0);\n", 2 * m.nVertices + i + 5);
    }
    for (int f = 0; f < m.nFaces; ++f) {
        PutFormatted(os, "MidPoi(%3d,%3d);\n", m.faces[f].VertAt(0) + 5, m.faces[f].VertAt(2) + 5);
        PutFormatted(os, "ScrStr('f%d');\n", f);
        PutFormatted(os, "Script(%3d,  0.0,  0.0,  0,  0,  0.75,  1,  8,  0);\n", 2 * m.nVertices + m.nEdges + f + 5);
    }
    os << std::flush;
}
