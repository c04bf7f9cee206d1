// The polyhedron viewer's three writers against what a careless or hostile
// user leaves in the working directory, the umask, failures, and a second
// viewer writing the same files.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <cstring>
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

// The signals that end a viewer: Ctrl+C, a kill, a closed session, Ctrl+\.
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// How `sig` reaches a child process: at its default disposition, or ignored
// by whoever started the program (nohup, & in a script).
enum class Disposition { kDefault, kIgnored };

// Runs body() in a child process with `sig` unblocked and at `disposition`,
// whatever this process inherited, and no core file; the child exits with
// body()'s result. Gives the child's wait status.
template <class Body>
int InChildWithSignal(int sig, Disposition disposition, Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        struct rlimit core;
        ::getrlimit(RLIMIT_CORE, &core);
        core.rlim_cur = 0;
        ::setrlimit(RLIMIT_CORE, &core);
        ::signal(sig, disposition == Disposition::kIgnored ? SIG_IGN : SIG_DFL);
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, sig);
        ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// Exit codes of the children below that did not get as far as they should,
// or further.
constexpr int kNotCreated = 2, kNotPending = 3, kNotEnded = 4;

bool EndedBy(int status, int sig) { return WIFSIGNALED(status) && WTERMSIG(status) == sig; }
bool Exited(int status, int code) { return WIFEXITED(status) && WEXITSTATUS(status) == code; }

// How a child process that prepared as the programs do ended after `sig`,
// with a temporary file created (marked as the write's or not) when it came.
struct CSignalled {
    bool endedBySignal = false; // by `sig` itself
    bool fileLeft = false;
};

CSignalled SignalDuringWrite(int sig, bool marked, Disposition disposition)
{
    const std::string dir = FreshDir("signalled");
    const int status = InChildWithSignal(sig, disposition, [&] {
        PrepareWritesForSignals();
        std::string temporary;
        const int fd = CreateTemporaryBeside(dir + "wp.txt", temporary);
        if (fd < 0) return kNotCreated;
        if (marked) MarkTemporary(temporary);
        ::raise(sig);
        return 0;
    });
    CSignalled result;
    result.endedBySignal = EndedBy(status, sig);
    result.fileLeft = !Listing(dir).empty();
    EXPECT_TRUE(result.endedBySignal || Exited(status, 0)) << status;
    return result;
}

// Ctrl+C, a kill, a closed session or Ctrl+\ during a write take the write's
// own temporary file along and end the program as the signal does; nothing
// else is removed, and a signal ignored by whoever started the program stays
// so.
TEST(WriteSignals, AnEndingSignalRemovesOnlyTheWritesTemporaryFile)
{
    for (const int sig : kSignals) {
        SCOPED_TRACE(strsignal(sig));
        const CSignalled marked = SignalDuringWrite(sig, true, Disposition::kDefault);
        EXPECT_TRUE(marked.endedBySignal);
        EXPECT_FALSE(marked.fileLeft);
        const CSignalled unmarked = SignalDuringWrite(sig, false, Disposition::kDefault);
        EXPECT_TRUE(unmarked.endedBySignal);
        EXPECT_TRUE(unmarked.fileLeft);
        const CSignalled ignored = SignalDuringWrite(sig, true, Disposition::kIgnored);
        EXPECT_FALSE(ignored.endedBySignal);
        EXPECT_TRUE(ignored.fileLeft);
    }
}

// Leaves an empty file at `path`, to show the child process got that far.
void Touch(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);
}

// An ending signal raised inside the scope waits, pending, to its end and
// arrives there; one the scope did not hold arrives at once.
TEST(WriteSignals, AHeldSignalArrivesWhenTheScopeEnds)
{
    for (const int sig : kSignals) {
        SCOPED_TRACE(strsignal(sig));
        const std::string dir = FreshDir("held");
        const int status = InChildWithSignal(sig, Disposition::kDefault, [&] {
            {
                const CEndingSignalsHeld held;
                ::raise(sig);
                sigset_t pending;
                if (::sigpending(&pending) != 0 || sigismember(&pending, sig) != 1) return kNotPending;
                Touch(dir + "held");
            }
            return kNotEnded;
        });
        EXPECT_TRUE(EndedBy(status, sig)) << status;
        EXPECT_EQ(Listing(dir), std::set<std::string>{"held"});
    }
    const std::string dir = FreshDir("not_held");
    const int status = InChildWithSignal(SIGUSR1, Disposition::kDefault, [&] {
        const CEndingSignalsHeld held;
        ::raise(SIGUSR1);
        Touch(dir + "held");
        return kNotEnded;
    });
    EXPECT_TRUE(EndedBy(status, SIGUSR1)) << status;
    EXPECT_TRUE(Listing(dir).empty());
}

// A name for the create below that raises `sig` first and leaves a file
// beside `name` to show the raise did not end the process.
template <int sig>
std::string RaisingNamer(const std::string& name, int attempt)
{
    ::raise(sig);
    Touch(name + ".raised");
    return TemporaryNameBeside(name, attempt);
}

// A signal that comes while a write creates its temporary file waits until
// the file is there and marked, then takes it along.
TEST(WriteSignals, ASignalDuringTheCreateFindsTheFileMarked)
{
    const struct {
        int sig;
        std::string (*namer)(const std::string&, int);
    } cases[] = {{SIGINT, RaisingNamer<SIGINT>},
                 {SIGTERM, RaisingNamer<SIGTERM>},
                 {SIGHUP, RaisingNamer<SIGHUP>},
                 {SIGQUIT, RaisingNamer<SIGQUIT>}};
    for (const auto& c : cases) {
        SCOPED_TRACE(strsignal(c.sig));
        const std::string dir = FreshDir("created");
        const int status = InChildWithSignal(c.sig, Disposition::kDefault, [&] {
            PrepareWritesForSignals();
            std::string temporary;
            if (CreateMarkedTemporary(dir + "wp.txt", temporary, c.namer, 0666) < 0) return kNotCreated;
            return kNotEnded;
        });
        EXPECT_TRUE(EndedBy(status, c.sig)) << status;
        EXPECT_EQ(Listing(dir), std::set<std::string>{"wp.txt.raised"});
    }
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
