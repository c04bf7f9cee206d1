// The polyhedron viewer's file operations: the shared format code with this
// program's layouts and console words.
#include <ostream>

#include "hedrix/core/HedrixMesh.h"
#include "mesh/MeshDump.h"
#include "mesh/MeshTextFormats.h"
#include "mesh/SourceTable.h"

namespace {

constexpr CTextLayout kShortLayout = {15, 12, true, true, true, false};
constexpr CShortReadRules kShortRules = {{" vertices ... ", " (special) edges ... ", "done standard reading"}, true, true};
constexpr CSourceTableLayout kSourceTable = {"?", 1.0};

} // namespace

bool CMesh::WriteMeshFile(std::string name, std::ostream& os) const { return WriteFullFormat(*this, name, os); }

// A mesh read from a file has no twist frames of its own yet.
bool CMesh::ReadMeshFile(std::string name, std::ostream& os)
{
    if (!ReadFullFormat(*this, name, os)) return false;
    twistPrepared = false;
    return true;
}

bool CMesh::WriteMeshText(std::string name, std::ostream& os) const
{
    return WriteShortFormat(*this, name, kShortLayout, os);
}

bool CMesh::ReadMeshFixed(std::string name, std::ostream& os)
{
    CFixingCondition read[6];
    if (!ReadShortFormat(*this, name, kShortRules, read, os)) return false;
    for (int k = 0; k < 6; ++k) SetFixingCondition(k, read[k].index, read[k].value);
    twistPrepared = false;
    return true;
}

bool CMesh::ReadMeshText(std::string name, std::ostream& os)
{
    if (!ReadPointsFormat(*this, name, os)) return false;
    twistPrepared = false;
    return true;
}

bool CMesh::LoadDesignFile(std::string name, std::ostream& os)
{
    CFixingCondition read[6];
    if (!LoadShortFormat(*this, name, kShortRules, read, os)) return false;
    for (int k = 0; k < 6; ++k) SetFixingCondition(k, read[k].index, read[k].value);
    twistPrepared = false;
    BuildDisplayLists();
    return true;
}

bool CMesh::WriteMeshCSource(std::string name, std::ostream& os) const
{
    return WriteSourceTable(*this, name, kSourceTable, os);
}

void CMesh::DumpMesh(std::ostream& os) const { ::DumpMesh(*this, os); }
