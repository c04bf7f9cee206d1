// The design viewer's file operations: the shared format code with this
// program's layouts and console words.
#include "crimpa/core/DesignFiles.h"

#include "mesh/MeshTextFormats.h"
#include "mesh/SourceTable.h"

namespace {

// Vertex types written as 0 and the header's third count 0: a design file
// written here comes back with its edges from edge generation.
constexpr CTextLayout kDesignLayout = {12, 6, false, false, false, true};
constexpr CShortReadRules kDesignRules = {kPointsReadWords, false, false};
constexpr CSourceTableLayout kSourceTable = {"", 0.5};

} // namespace

bool LoadDesignFile(std::string name, std::ostream& os)
{
    if (!LoadShortFormat(theMesh, name, kDesignRules, nullptr, os)) return false;
    builtInDesignShown = false;
    theMesh.BuildDisplayLists();
    return true;
}

bool ReadMeshText(std::string name, CMesh& into, std::ostream& os) { return ReadShortFormat(into, name, kDesignRules, nullptr, os); }

bool WriteMeshText(std::string name, std::ostream& os) { return WriteShortFormat(theMesh, name, kDesignLayout, os); }

bool WriteMeshCSource(std::string name, std::ostream& os) { return WriteSourceTable(theMesh, name, kSourceTable, os); }
