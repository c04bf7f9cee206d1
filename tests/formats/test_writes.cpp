// The polyhedron viewer's three writers against what a careless or hostile
// user leaves in the working directory, the umask, failures, and a second
// viewer writing the same files.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "hedrix/core/HedrixMesh.h"
#include "mesh/MeshFileIO.h"
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

// Whatever lies at the very name a write picks makes it pick another; it is
// neither written through, nor waited on, nor replaced.
TEST(TemporaryFile, ANameAlreadyTakenIsPassedOver)
{
    const std::string dir = FreshDir("taken_temporary");
    const std::string outside = TestPath("taken_temporary_outside.txt");
    const auto namer = [](const std::string& name, int attempt) {
        return name + (attempt == 0 ? ".first.tmp" : ".second.tmp");
    };
    for (const Plant p : {Plant::kFifo, Plant::kLinkOutside, Plant::kDirectory, Plant::kFile}) {
        PutFile(outside, kPlantedText);
        const std::string first = dir + "wemo.txt.first.tmp";
        PlantAt(first, p, outside);
        const CChildWrite child = WriteInChild([&](std::ostream&) {
            std::string temporary;
            const int fd = CreateTemporaryBeside(dir + "wemo.txt", temporary, namer);
            return fd >= 0 && ::close(fd) == 0 && temporary == dir + "wemo.txt.second.tmp";
        });
        EXPECT_TRUE(child.finished) << PlantName(p);
        EXPECT_TRUE(child.ok) << PlantName(p);
        EXPECT_TRUE(StillPlanted(first, p, outside));
        EXPECT_EQ(kPlantedText, FileText(outside)) << PlantName(p);
        EXPECT_TRUE(std::filesystem::is_regular_file(dir + "wemo.txt.second.tmp")) << PlantName(p);
        std::filesystem::remove_all(first);
        std::filesystem::remove(dir + "wemo.txt.second.tmp");
    }
}

TEST_F(Writes, PermissionsFollowTheUmask)
{
    ForEachFile([](const std::string& name, auto write) { ExpectPermissionsFollowTheUmask(name, write); });
}

TEST_F(Writes, AnEarlierFileKeepsItsPermissions)
{
    ForEachFile([](const std::string& name, auto write) { ExpectTheOldPermissionsAreKept(name, write); });
}

TEST_F(Writes, AReadOnlyFileIsRefused)
{
    uid_t uid;
    gid_t gid;
    if (!UserBoundByPermissions(uid, gid)) GTEST_SKIP() << "running as root, and no user \"nobody\" to write as";
    ForEachFile([uid, gid](const std::string& name, auto write) { ExpectAReadOnlyFileIsRefused(name, write, uid, gid); });
}

// How a child process that prepared as the programs do ended after `sig`,
// with a temporary file created (marked as the write's or not) when it came.
struct CSignalled {
    bool endedBySignal = false; // by `sig` itself
    bool fileLeft = false;
};

CSignalled SignalDuringWrite(int sig, bool marked, bool ignoredBefore)
{
    const std::string dir = FreshDir("signalled");
    std::string temporary;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (ignoredBefore) ::signal(sig, SIG_IGN);
        PrepareWritesForSignals();
        const int fd = CreateTemporaryBeside(dir + "wp.txt", temporary);
        if (fd < 0) ::_exit(2);
        if (marked) MarkTemporary(temporary);
        ::raise(sig);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    CSignalled result;
    result.endedBySignal = WIFSIGNALED(status) && WTERMSIG(status) == sig;
    result.fileLeft = !Listing(dir).empty();
    EXPECT_TRUE(result.endedBySignal || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << status;
    return result;
}

// Ctrl+C, a kill or a closed session during a write take the write's own
// temporary file along and end the program as the signal does; nothing else
// is removed, and a signal ignored by whoever started the program stays so.
TEST(WriteSignals, AnEndingSignalRemovesOnlyTheWritesTemporaryFile)
{
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        const CSignalled marked = SignalDuringWrite(sig, true, false);
        EXPECT_TRUE(marked.endedBySignal);
        EXPECT_FALSE(marked.fileLeft);
        const CSignalled unmarked = SignalDuringWrite(sig, false, false);
        EXPECT_TRUE(unmarked.endedBySignal);
        EXPECT_TRUE(unmarked.fileLeft);
    }
    const CSignalled ignored = SignalDuringWrite(SIGHUP, true, true);
    EXPECT_FALSE(ignored.endedBySignal);
    EXPECT_TRUE(ignored.fileLeft);
}

// A whole write leaves nothing marked for a later signal to remove.
TEST(WriteSignals, AFinishedWriteIsNoLongerMarked)
{
    const std::string path = FreshDir("finished") + "wemo.txt";
    std::ostringstream os;
    ASSERT_TRUE(WriteTextFile(path, "text\n", os));
    EXPECT_FALSE(CWriteInProgress::marked.load());
    EXPECT_EQ(FileText(path), "text\n");
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
