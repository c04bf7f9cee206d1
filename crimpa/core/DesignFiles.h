#pragma once
// Design files and mesh export of the design viewer, on theMesh.
#include <ostream>
#include <string>

#include "crimpa/core/DesignMesh.h"

// Reads a design file into a scratch store and swaps it into theMesh only when
// the whole file is good (then centres, normals, edges, display lists, and the
// mesh no longer counts as the built-in design). On any failure prints one
// line on `os` and leaves theMesh exactly as it was; returns false.
bool LoadDesignFile(std::string name, std::ostream& os);
// Reads a design file into `into` (progress lines on os as the system prints them).
bool ReadMeshText(std::string name, CMesh& into, std::ostream& os);
// "wemo.txt" layout; false (and the system's message) when the file cannot be written.
bool WriteMeshText(std::string name, std::ostream& os);
// "crInc.txt" layout with halved coordinates.
bool WriteMeshCSource(std::string name, std::ostream& os);
