#pragma once
// Helpers of the format tests: per-test file names, file text, captured
// console output and a record-by-record comparison of two stores.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "mesh/MeshStore.h"

// A file name of its own for every test, so that tests may run in parallel.
inline std::string TestPath(const std::string& leaf)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name() + "_" + leaf;
    for (char& c : name)
        if (c == '/') c = '_';
    return ::testing::TempDir() + name;
}

inline void PutFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

template <class F>
std::string StdoutOf(F f)
{
    ::testing::internal::CaptureStdout();
    f();
    std::cout.flush();
    return ::testing::internal::GetCapturedStdout();
}

inline bool SameVector(const CVector3d& a, const CVector3d& b)
{
    return a.x() == b.x() && a.y() == b.y() && a.z() == b.z();
}

// A copy of every record to the full capacity, for comparing a store with
// itself after an operation.
template <class Config>
std::unique_ptr<CMeshStore<Config>> FullCopy(const CMeshStore<Config>& m)
{
    std::unique_ptr<CMeshStore<Config>> s(new CMeshStore<Config>(m.vertexCapacity, m.edgeCapacity, m.faceCapacity));
    std::copy(m.vertices, m.vertices + m.vertexCapacity, s->vertices);
    std::copy(m.faces, m.faces + m.faceCapacity, s->faces);
    std::copy(m.edges, m.edges + m.edgeCapacity, s->edges);
    std::copy(m.specialEdges, m.specialEdges + m.edgeCapacity, s->specialEdges);
    s->nVertices = m.nVertices;
    s->nFaces = m.nFaces;
    s->nEdges = m.nEdges;
    s->nSpecialEdges = m.nSpecialEdges;
    return s;
}

// Every record of both stores, to the full capacity, and the counts.
template <class Config>
::testing::AssertionResult SameRecords(const CMeshStore<Config>& a, const CMeshStore<Config>& b)
{
    if (a.nVertices != b.nVertices || a.nFaces != b.nFaces || a.nEdges != b.nEdges ||
        a.nSpecialEdges != b.nSpecialEdges)
        return ::testing::AssertionFailure() << "counts differ";
    if (a.vertexCapacity != b.vertexCapacity || a.faceCapacity != b.faceCapacity || a.edgeCapacity != b.edgeCapacity)
        return ::testing::AssertionFailure() << "capacities differ";
    for (int i = 0; i < a.vertexCapacity; ++i) {
        const auto& p = a.vertices[i];
        const auto& q = b.vertices[i];
        bool same = SameVector(p.position, q.position) && SameVector(p.extraVector, q.extraVector) &&
                    p.nFaces == q.nFaces && p.nEdges == q.nEdges && p.type == q.type;
        for (int k = 0; k < p.kEdgeSlots; ++k) same = same && p.edges[k] == q.edges[k];
        for (int k = 0; k < p.kFaceSlots; ++k) same = same && p.faces[k] == q.faces[k];
        if (!same) return ::testing::AssertionFailure() << "vertex " << i << " differs";
    }
    for (int i = 0; i < a.faceCapacity; ++i) {
        const auto& p = a.faces[i];
        const auto& q = b.faces[i];
        bool same = p.nVerts == q.nVerts && p.nEdges == q.nEdges && p.type == q.type &&
                    SameVector(p.normal, q.normal) && SameVector(p.centre, q.centre);
        for (int k = 0; k < p.kVertSlots; ++k) same = same && p.verts[k] == q.verts[k];
        for (int k = 0; k < p.kEdgeSlots; ++k) same = same && p.edges[k] == q.edges[k];
        if (!same) return ::testing::AssertionFailure() << "face " << i << " differs";
    }
    for (int i = 0; i < a.edgeCapacity; ++i) {
        const CEdge* pair[2][2] = {{&a.edges[i], &b.edges[i]}, {&a.specialEdges[i], &b.specialEdges[i]}};
        for (auto& pq : pair) {
            const CEdge& p = *pq[0];
            const CEdge& q = *pq[1];
            if (p.id != q.id || p.v1 != q.v1 || p.v2 != q.v2 || p.leftFace != q.leftFace ||
                p.rightFace != q.rightFace || p.type != q.type)
                return ::testing::AssertionFailure() << "edge " << i << " differs";
        }
    }
    return ::testing::AssertionSuccess();
}

// Relative agreement to about six significant digits.
inline bool SixDigits(double a, double b) { return std::abs(a - b) <= 5e-6 * std::abs(b) + 1e-300; }
