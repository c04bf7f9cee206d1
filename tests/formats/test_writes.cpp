// The polyhedron viewer's three writers against what a careless or hostile
// user leaves in the working directory, the umask, failures, and a second
// viewer writing the same files.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "hedrix/core/HedrixMesh.h"
#include "tests/formats/FormatTestUtil.h"
#include "tests/formats/WriteTestUtil.h"

namespace {

using namespace write_test;

using Writer = bool (CMesh::*)(std::string, std::ostream&) const;

// The three files of key w.
struct CWrittenFile {
    const char* name;
    Writer write;
};
const CWrittenFile kFiles[] = {
    {"wemo.txt", &CMesh::WriteMeshText}, {"crInc.txt", &CMesh::WriteMeshCSource}, {"wp.txt", &CMesh::WriteMeshFile}};

// A grid of 40 vertices with generated and special edges.
void MakeSmallGrid(CMesh& m) { FillCapacityMesh(m, 8, 5, 3); }

class Writes : public ::testing::Test {
protected:
    Writes() : grid(40, 80, 40) { MakeSmallGrid(grid); }
    // check(name, write) for each file of key w, write(path, os) writing the grid.
    template <class Check>
    void ForEachFile(Check check)
    {
        for (const CWrittenFile& file : kFiles)
            check(file.name, [this, &file](const std::string& path, std::ostream& os) {
                return (grid.*file.write)(path, os);
            });
    }
    CMesh grid;
};

TEST_F(Writes, NothingAtTheOldTemporaryNameTakesOverTheWrite)
{
    ForEachFile([](const std::string& name, auto write) { ExpectNothingAtTheOldTemporaryNameTakesOver(name, write); });
}

TEST_F(Writes, AFailedWriteRemovesOnlyItsOwnTemporaryFile)
{
    ForEachFile([](const std::string& name, auto write) { ExpectAFailureRemovesOnlyItsOwnTemporaryFile(name, write); });
}

TEST_F(Writes, PermissionsFollowTheUmask)
{
    ForEachFile([](const std::string& name, auto write) { ExpectPermissionsFollowTheUmask(name, write); });
}

// wp.txt, the largest of the three, through its own reader.
TEST_F(Writes, TwoWritersOfOneNameNeverMixTheirFiles)
{
    CMesh large(200, 400, 220);
    FillCapacityMesh(large, 20, 10, 1);
    const CMesh* meshes[2] = {&grid, &large};
    ExpectTwoWritersNeverMix(
        "wp.txt", kRacingWrites,
        [&](int k, const std::string& path, std::ostream& os) { return meshes[k]->WriteMeshFile(path, os); },
        [](CMesh& into, const std::string& path, std::ostream& os) { return into.ReadMeshFile(path, os); },
        [] { return std::make_unique<CMesh>(200, 400, 220); });
}

} // namespace
