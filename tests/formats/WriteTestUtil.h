#pragma once
// Helpers of the write tests: a directory of the test's own, things a careless
// or hostile user leaves at the old fixed temporary name, a write run in a
// child process under a time limit, and two processes racing to write one name.
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#include "mesh/WriteSignals.h"
#include "tests/formats/FormatTestUtil.h"

namespace write_test {

// An empty directory `leaf` in the test's own, ending in '/': each call
// empties it again.
inline std::string FreshDir(const std::string& leaf)
{
    const std::string dir = TestPath(leaf);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(dir);
    return dir + "/";
}

// The names a directory holds.
inline std::set<std::string> Listing(const std::string& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.insert(entry.path().filename());
    return names;
}

// What lies at `name` + ".tmp" before a write.
enum class Plant { kFifo, kLinkOutside, kDirectory, kFile };

inline const char* PlantName(Plant p)
{
    switch (p) {
    case Plant::kFifo: return "a FIFO";
    case Plant::kLinkOutside: return "a link to a file outside";
    case Plant::kDirectory: return "a directory";
    case Plant::kFile: return "a file";
    }
    return "?";
}

constexpr const char* kPlantedText = "someone else's file\n";

// Puts `p` at `at`; a link points at `outside`.
inline void PlantAt(const std::string& at, Plant p, const std::string& outside)
{
    switch (p) {
    case Plant::kFifo: ASSERT_EQ(mkfifo(at.c_str(), 0600), 0); break;
    case Plant::kLinkOutside: std::filesystem::create_symlink(outside, at); break;
    case Plant::kDirectory: std::filesystem::create_directory(at); break;
    case Plant::kFile: PutFile(at, kPlantedText); break;
    }
}

// `at` still holds what PlantAt put there, unwritten.
inline ::testing::AssertionResult StillPlanted(const std::string& at, Plant p, const std::string& outside)
{
    struct stat st;
    if (::lstat(at.c_str(), &st) != 0) return ::testing::AssertionFailure() << PlantName(p) << " is gone";
    bool same = false;
    switch (p) {
    case Plant::kFifo: same = S_ISFIFO(st.st_mode) && st.st_size == 0; break;
    case Plant::kLinkOutside: same = S_ISLNK(st.st_mode) && std::filesystem::read_symlink(at) == outside; break;
    case Plant::kDirectory: same = S_ISDIR(st.st_mode) && std::filesystem::is_empty(at); break;
    case Plant::kFile: same = S_ISREG(st.st_mode) && FileText(at) == kPlantedText; break;
    }
    if (!same) return ::testing::AssertionFailure() << PlantName(p) << " was changed";
    return ::testing::AssertionSuccess();
}

// What a write run in a child process gave.
struct CChildWrite {
    bool finished = false; // within the time limit
    bool ok = false;       // the writer's result
    std::string console;   // what it printed
};

// Runs write(os) in a child process and waits for it at most `seconds`; a
// child still running then is killed (a write that blocks on a FIFO would
// never return). With maxFileBytes >= 0 the child may not grow a file beyond
// that size, so its write fails halfway as on a full disk, which the tests
// cannot otherwise bring about when they run as root.
template <class Write>
CChildWrite WriteInChild(Write write, long long maxFileBytes = -1, double seconds = 5)
{
    CChildWrite result;
    int fds[2];
    if (::pipe(fds) != 0) return result;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (maxFileBytes >= 0) {
            // As the programs start: the limit fails the write instead of ending the process.
            PrepareWritesForSignals();
            struct rlimit limit;
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = static_cast<rlim_t>(maxFileBytes);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::ostringstream os;
        const bool ok = write(os);
        const std::string reply = (ok ? "1" : "0") + os.str();
        ssize_t put = ::write(fds[1], reply.data(), reply.size());
        ::_exit(put == static_cast<ssize_t>(reply.size()) ? 0 : 1);
    }
    ::close(fds[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ::close(fds[0]);
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::string reply;
    char chunk[4096];
    for (ssize_t got; (got = ::read(fds[0], chunk, sizeof chunk)) > 0;) reply.append(chunk, static_cast<std::size_t>(got));
    ::close(fds[0]);
    result.finished = pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && !reply.empty();
    if (result.finished) {
        result.ok = reply[0] == '1';
        result.console = reply.substr(1);
    }
    return result;
}

// A mode or umask as chmod and umask take it.
inline std::string Octal(mode_t bits)
{
    std::ostringstream os;
    os << '0' << std::oct << std::setfill('0') << std::setw(3) << bits;
    return os.str();
}

// Sets the umask for one scope.
class CUmask {
public:
    explicit CUmask(mode_t mask) : saved(::umask(mask)) {}
    ~CUmask() { ::umask(saved); }
    CUmask(const CUmask&) = delete;
    CUmask& operator=(const CUmask&) = delete;

private:
    mode_t saved;
};

// What write(path, os) puts into a file of its own and prints.
template <class Write>
std::pair<std::string, std::string> CleanWrite(const std::string& name, Write write)
{
    const std::string path = FreshDir("clean") + name;
    const std::string console = Printed([&](std::ostream& os) { EXPECT_TRUE(write(path, os)); });
    return {FileText(path), console};
}

// Whatever lies at the old fixed temporary name `name` + ".tmp", the write
// gives its file whole, promptly, through nothing and into nothing but its
// own file.
template <class Write>
void ExpectNothingAtTheOldTemporaryNameTakesOver(const std::string& name, Write write)
{
    const auto clean = CleanWrite(name, write);
    const std::string outside = TestPath("outside.txt");
    for (Plant plant : {Plant::kFifo, Plant::kLinkOutside, Plant::kDirectory, Plant::kFile}) {
        SCOPED_TRACE(name + " with " + PlantName(plant) + " at its .tmp name");
        PutFile(outside, "outside the directory\n");
        const std::string dir = FreshDir("dir"), path = dir + name;
        PutFile(path, "earlier export\n");
        PlantAt(path + ".tmp", plant, outside);
        const CChildWrite w = WriteInChild([&](std::ostream& os) { return write(path, os); });
        EXPECT_TRUE(w.finished) << "the write did not return";
        if (!w.finished) continue;
        EXPECT_TRUE(w.ok);
        EXPECT_EQ(w.console, clean.second);
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(path)));
        EXPECT_EQ(FileText(path), clean.first);
        EXPECT_EQ(FileText(outside), "outside the directory\n");
        EXPECT_TRUE(StillPlanted(path + ".tmp", plant, outside));
        EXPECT_EQ(Listing(dir), (std::set<std::string>{name, name + ".tmp"}));
    }
}

// A failed write (a full disk, a directory in the file's place) leaves what
// was there, removes the temporary file it made and nothing else, and prints
// the one line; after the full disk the next write goes through.
template <class Write>
void ExpectAFailureRemovesOnlyItsOwnTemporaryFile(const std::string& name, Write write)
{
    const std::string text = CleanWrite(name, write).first;
    // Files of other writers, one of them named as a write names its own.
    const std::string others[] = {name + ".tmp", name + ".Z9Zz8Yy7Xx6W.tmp"};
    for (const bool diskFull : {true, false}) {
        SCOPED_TRACE(name + (diskFull ? ", disk full" : ", a directory in its place"));
        const std::string dir = FreshDir("dir"), path = dir + name;
        if (diskFull)
            PutFile(path, "earlier export\n");
        else
            std::filesystem::create_directory(path);
        for (const std::string& other : others) PlantAt(dir + other, Plant::kFile, "");
        const auto before = Listing(dir);
        const CChildWrite w = WriteInChild([&](std::ostream& os) { return write(path, os); }, diskFull ? 100 : -1);
        EXPECT_TRUE(w.finished) << "the write did not return";
        if (!w.finished) continue;
        EXPECT_FALSE(w.ok);
        EXPECT_EQ(w.console, "Datei kann nicht geoeffnet werden!\n");
        EXPECT_EQ(Listing(dir), before);
        for (const std::string& other : others) EXPECT_TRUE(StillPlanted(dir + other, Plant::kFile, ""));
        if (!diskFull) {
            EXPECT_TRUE(std::filesystem::is_empty(path));
            continue;
        }
        EXPECT_EQ(FileText(path), "earlier export\n");
        Printed([&](std::ostream& os) { EXPECT_TRUE(write(path, os)); });
        EXPECT_EQ(FileText(path), text);
        EXPECT_EQ(Listing(dir), before);
    }
}

// The written file gets the permissions of any new file under the umask.
template <class Write>
void ExpectPermissionsFollowTheUmask(const std::string& name, Write write)
{
    for (const mode_t mask : {mode_t(022), mode_t(027), mode_t(077), mode_t(0)}) {
        SCOPED_TRACE(name + " under umask " + Octal(mask));
        const std::string path = FreshDir("dir") + name;
        {
            const CUmask scope(mask);
            Printed([&](std::ostream& os) { EXPECT_TRUE(write(path, os)); });
        }
        struct stat st;
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);
    }
}

// An earlier file keeps its permission bits, whatever the umask: as opening
// it for writing would have kept them, a private file stays private.
template <class Write>
void ExpectTheOldPermissionsAreKept(const std::string& name, Write write)
{
    const std::string text = CleanWrite(name, write).first;
    // Set-id and sticky bits are not carried over.
    const struct {
        mode_t mode, mask, kept;
    } cases[] = {{0600, 022, 0600}, {0640, 022, 0640}, {0604, 0, 0604},
                 {0666, 077, 0666}, {04644, 022, 0644}, {03755, 0, 0755}};
    for (const auto& c : cases) {
        SCOPED_TRACE(name + " at mode " + Octal(c.mode));
        const std::string dir = FreshDir("dir"), path = dir + name;
        PutFile(path, "earlier export\n");
        ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        {
            const CUmask scope(c.mask);
            Printed([&](std::ostream& os) { EXPECT_TRUE(write(path, os)); });
        }
        struct stat st;
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.kept);
        EXPECT_EQ(FileText(path), text);
        EXPECT_EQ(Listing(dir), std::set<std::string>{name});
    }
}

// The user a write runs as to meet permissions: this one, or "nobody" when
// the tests run as root (who may write anything); false when there is none.
inline bool UserBoundByPermissions(uid_t& uid, gid_t& gid)
{
    uid = ::geteuid();
    gid = ::getegid();
    if (uid != 0) return true;
    const struct passwd* nobody = ::getpwnam("nobody");
    if (!nobody || nobody->pw_uid == 0) return false;
    uid = nobody->pw_uid;
    gid = nobody->pw_gid;
    return true;
}

constexpr const char* kUnreachable = "the test directory is out of the user's reach\n";

// A read-only file of the user's own, in a directory the user may write, is
// refused as opening it for writing would be: the one line, the file as it
// was, nothing left beside it. A writable file beside it is written by the
// same process, so the refusal is the file's, not the directory's.
template <class Write>
void ExpectAReadOnlyFileIsRefused(const std::string& name, Write write, uid_t uid, gid_t gid)
{
    SCOPED_TRACE(name);
    ASSERT_EQ(::chmod(CTestDirectory::Path().c_str(), 0711), 0);
    const std::string dir = FreshDir("readonly"), path = dir + name, writable = dir + "writable_" + name;
    PutFile(path, "earlier export\n");
    PutFile(writable, "earlier export\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    for (const std::string& owned : {dir, path, writable}) ASSERT_EQ(::chown(owned.c_str(), uid, gid), 0);
    const CChildWrite w = WriteInChild([&](std::ostream& os) {
        if (::getuid() != uid && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            return false;
        if (::access(dir.c_str(), W_OK | X_OK) != 0) {
            os << kUnreachable;
            return false;
        }
        std::ostringstream besides;
        return write(writable, besides) && !write(path, os);
    });
    ASSERT_TRUE(w.finished) << "the write did not return";
    if (w.console == kUnreachable) GTEST_SKIP() << "user " << uid << " cannot reach " << dir;
    EXPECT_TRUE(w.ok) << "the writable file was not written, or the read-only one was";
    EXPECT_EQ(w.console, "Datei kann nicht geoeffnet werden!\n");
    EXPECT_EQ(FileText(path), "earlier export\n");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_NE(FileText(writable), "earlier export\n");
    EXPECT_EQ(Listing(dir), (std::set<std::string>{name, "writable_" + name}));
}

// What a reader of one name saw while two processes wrote it.
struct CRace {
    int failedWrites = 0; // writes that printed the failure line
    int snapshots = 0;    // reads of the name once it was first there
    int mixed = 0;        // snapshots whose bytes were neither text
    int refused = 0;      // snapshots the program's reader refused or read as neither mesh
    int vanished = 0;     // reads that found no file after one was there
};

// Two child processes write `times` times each to `name`, child k through
// write(k, os), which should write texts[k]; meanwhile this process reads the
// name until both are done, each snapshot as bytes and through read(os),
// which says whether the program's reader took the file as one of the two
// meshes.
template <class Write, class Read>
CRace RaceTwoWriters(const std::string& name, const std::string (&texts)[2], int times, Write write, Read read)
{
    CRace race;
    pid_t pids[2];
    for (int k = 0; k < 2; ++k) {
        pids[k] = ::fork();
        if (pids[k] == 0) {
            int failed = 0;
            for (int i = 0; i < times; ++i) {
                std::ostringstream os;
                if (!write(k, os)) ++failed;
            }
            ::_exit(failed < 255 ? failed : 255);
        }
    }
    int status[2] = {0, 0};
    bool done[2] = {pids[0] <= 0, pids[1] <= 0};
    bool seen = false;
    while (!done[0] || !done[1]) {
        for (int k = 0; k < 2; ++k)
            if (!done[k]) done[k] = ::waitpid(pids[k], &status[k], WNOHANG) != 0;
        std::ifstream in(name, std::ios::binary);
        if (!in) {
            race.vanished += seen;
            continue;
        }
        seen = true;
        ++race.snapshots;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        race.mixed += bytes.str() != texts[0] && bytes.str() != texts[1];
        std::ostringstream os;
        race.refused += !read(os);
    }
    for (int k = 0; k < 2; ++k)
        race.failedWrites += pids[k] > 0 && WIFEXITED(status[k]) ? WEXITSTATUS(status[k]) : times;
    return race;
}

inline std::ostream& operator<<(std::ostream& os, const CRace& r)
{
    return os << r.snapshots << " snapshots, " << r.mixed << " mixed, " << r.refused << " refused, " << r.vanished
              << " vanished, " << r.failedWrites << " failed writes";
}

// Writes of each racing process: every write syncs its file (a few
// milliseconds each on a disk), and a shared temporary file spoilt hundreds
// of snapshots in this many.
constexpr int kRacingWrites = 500;

// Two viewers pressing w in one directory, `times` writes each: every file
// that ever lies under `name` is one of the two meshes whole, as bytes and as
// the program's reader takes it, and no write fails. write(k, path, os)
// writes mesh k; readInto(store, path, os) is the program's reader; makeStore()
// gives a store that holds either mesh.
template <class Write, class ReadInto, class MakeStore>
void ExpectTwoWritersNeverMix(const std::string& name, int times, Write write, ReadInto readInto, MakeStore makeStore)
{
    SCOPED_TRACE(name);
    std::string texts[2];
    decltype(makeStore()) expected[2] = {makeStore(), makeStore()};
    for (int k = 0; k < 2; ++k) {
        texts[k] = CleanWrite(name, [&](const std::string& path, std::ostream& os) { return write(k, path, os); }).first;
        const std::string path = FreshDir("expected") + name;
        PutFile(path, texts[k]);
        Printed([&](std::ostream& os) { EXPECT_TRUE(readInto(*expected[k], path, os)); });
    }
    ASSERT_NE(texts[0], texts[1]);
    const auto back = makeStore();
    const std::string dir = FreshDir("dir"), path = dir + name;
    const CRace race = RaceTwoWriters(
        path, texts, times, [&](int k, std::ostream& os) { return write(k, path, os); },
        [&](std::ostream& os) {
            return readInto(*back, path, os) && (SameInUse(*back, *expected[0]) || SameInUse(*back, *expected[1]));
        });
    std::cout << name << ": " << race << std::endl;
    EXPECT_GT(race.snapshots, 0);
    EXPECT_EQ(race.mixed, 0) << race;
    EXPECT_EQ(race.refused, 0) << race;
    EXPECT_EQ(race.vanished, 0) << race;
    EXPECT_EQ(race.failedWrites, 0) << race;
    EXPECT_EQ(Listing(dir), std::set<std::string>{name});
}

} // namespace write_test
