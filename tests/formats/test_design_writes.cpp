// The design viewer's two writers against what a careless or hostile user
// leaves in the working directory, the umask, failures, and a second viewer
// writing the same files.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "crimpa/core/DesignFiles.h"
#include "tests/formats/FormatTestUtil.h"
#include "tests/formats/WriteTestUtil.h"

namespace {

using namespace write_test;

// The two files of key w.
struct CWrittenFile {
    const char* name;
    bool (*write)(std::string, std::ostream&);
};
const CWrittenFile kFiles[] = {{"wemo.txt", &WriteMeshText}, {"crInc.txt", &WriteMeshCSource}};

// `mesh` in theMesh's place for one scope.
class CShownMesh {
public:
    explicit CShownMesh(CMesh& mesh) : held(mesh) { theMesh.SwapGeometry(held); }
    ~CShownMesh() { theMesh.SwapGeometry(held); }
    CShownMesh(const CShownMesh&) = delete;
    CShownMesh& operator=(const CShownMesh&) = delete;

private:
    CMesh& held;
};

class DesignWrites : public ::testing::Test {
protected:
    DesignWrites() : grid(40, 80, 40) { FillCapacityMesh(grid, 8, 5, 0); }
    CMesh grid;
};

TEST_F(DesignWrites, NothingAtTheOldTemporaryNameTakesOverTheWrite)
{
    const CShownMesh shown(grid);
    for (const CWrittenFile& file : kFiles) ExpectNothingAtTheOldTemporaryNameTakesOver(file.name, file.write);
}

TEST_F(DesignWrites, AFailedWriteRemovesOnlyItsOwnTemporaryFile)
{
    const CShownMesh shown(grid);
    for (const CWrittenFile& file : kFiles) ExpectAFailureRemovesOnlyItsOwnTemporaryFile(file.name, file.write);
}

TEST_F(DesignWrites, PermissionsFollowTheUmask)
{
    const CShownMesh shown(grid);
    for (const CWrittenFile& file : kFiles) ExpectPermissionsFollowTheUmask(file.name, file.write);
}

TEST_F(DesignWrites, AnEarlierFileKeepsItsPermissions)
{
    const CShownMesh shown(grid);
    for (const CWrittenFile& file : kFiles) ExpectTheOldPermissionsAreKept(file.name, file.write);
}

TEST_F(DesignWrites, AReadOnlyFileIsRefused)
{
    uid_t uid;
    gid_t gid;
    if (!UserBoundByPermissions(uid, gid)) GTEST_SKIP() << "running as root, and no user \"nobody\" to write as";
    const CShownMesh shown(grid);
    for (const CWrittenFile& file : kFiles) ExpectAReadOnlyFileIsRefused(file.name, file.write, uid, gid);
}

// wemo.txt through the design-file reader that the design menu uses.
TEST_F(DesignWrites, TwoWritersOfOneNameNeverMixTheirFiles)
{
    CMesh large(200, 400, 220);
    FillCapacityMesh(large, 20, 10, 0);
    CMesh* meshes[2] = {&grid, &large};
    ExpectTwoWritersNeverMix(
        "wemo.txt", kRacingWrites,
        [&](int k, const std::string& path, std::ostream& os) {
            const CShownMesh shown(*meshes[k]);
            return WriteMeshText(path, os);
        },
        [](CMesh& into, const std::string& path, std::ostream& os) { return ReadMeshText(path, into, os); },
        [] { return std::make_unique<CMesh>(200, 400, 220); });
}

} // namespace
