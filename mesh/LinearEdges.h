#pragma once
// Edge generation the plain way (a linear FindEdge for every face side), kept
// to check and time the hashed generation against, and quad-grid meshes.
#include "mesh/MeshStore.h"

// Same records as CMeshStore::GenerateEdges, found by linear search; prints nothing.
template <class Store>
void ReferenceGenerateEdges(Store& m)
{
    for (int i = 0; i < m.nVertices; ++i) m.vertices[i].ResetIncidence();
    for (int i = 0; i < m.nFaces; ++i) m.faces[i].nEdges = 0;
    m.ResetEdges();
    m.nEdges = 0;
    for (int i = 0; i < m.nFaces; ++i) {
        auto& f = m.faces[i];
        for (int j = 0; j < f.nVerts; ++j) {
            const int c = f.verts[j];
            const int d = f.verts[(j + 1) % f.nVerts];
            const int lo = c < d ? c : d;
            const int hi = c < d ? d : c;
            int e = m.FindEdge(lo, hi);
            if (e < 0)
                e = m.AddEdge(lo, hi, f.type);
            else if (m.edges[e].type < f.type)
                m.edges[e].type = f.type;
            if (d < c)
                m.edges[e].leftFace = i;
            else
                m.edges[e].rightFace = i;
            f.AddEdge(e);
            m.vertices[c].AddFace(i);
        }
    }
    for (int k = 0; k < m.nEdges; ++k)
        if (m.edges[k].leftFace == -1 || m.edges[k].rightFace == -1) m.edges[k].type = kBorderEdgeType;
}

// nx by ny unit quads in the plane z = 0, counter-clockwise, types 1..3 by column.
template <class Store>
void FillQuadGrid(Store& m, int nx, int ny)
{
    m.nVertices = (nx + 1) * (ny + 1);
    m.nFaces = nx * ny;
    m.nSpecialEdges = 0;
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) m.vertices[j * (nx + 1) + i].Set(i, j, 0.0, kPlainType);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const int v = j * (nx + 1) + i;
            const int quad[4] = {v, v + 1, v + nx + 2, v + nx + 1};
            m.faces[j * nx + i].Set(4, quad, 1 + i % 3);
        }
}
