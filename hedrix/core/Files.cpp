// The polyhedron viewer's file operations: the shared format code with this
// program's layouts and console words.
#include <iostream>

#include "hedrix/core/HedrixMesh.h"
#include "mesh/MeshDump.h"
#include "mesh/MeshTextFormats.h"
#include "mesh/SourceTable.h"

namespace {

constexpr CTextLayout kShortLayout = {15, 12, true, true, true, false};
constexpr CShortReadRules kShortRules = {{" vertices ... ", " (special) edges ... ", "done standard reading"}, true, true};
constexpr CSourceTableLayout kSourceTable = {"?", 1.0};

} // namespace

bool CMesh::WriteMeshFile(std::string name) const { return WriteFullFormat(*this, name, std::cout); }

// A mesh read from a file has no twist frames of its own yet.
bool CMesh::ReadMeshFile(std::string name)
{
    if (!ReadFullFormat(*this, name, std::cout)) return false;
    twistPrepared = false;
    return true;
}

bool CMesh::WriteMeshText(std::string name) const { return WriteShortFormat(*this, name, kShortLayout, std::cout); }

bool CMesh::ReadMeshFixed(std::string name)
{
    CFixingCondition read[6];
    if (!ReadShortFormat(*this, name, kShortRules, read, std::cout)) return false;
    for (int k = 0; k < 6; ++k) SetFixingCondition(k, read[k].index, read[k].value);
    twistPrepared = false;
    return true;
}

bool CMesh::ReadMeshText(std::string name)
{
    if (!ReadPointsFormat(*this, name, std::cout)) return false;
    twistPrepared = false;
    return true;
}

bool CMesh::LoadDesignFile(std::string name)
{
    CFixingCondition read[6];
    if (!LoadShortFormat(*this, name, kShortRules, read, std::cout)) return false;
    for (int k = 0; k < 6; ++k) SetFixingCondition(k, read[k].index, read[k].value);
    twistPrepared = false;
    BuildDisplayLists();
    return true;
}

bool CMesh::WriteMeshCSource(std::string name) const { return WriteSourceTable(*this, name, kSourceTable, std::cout); }

void CMesh::DumpMesh() const { ::DumpMesh(*this, std::cout); }
