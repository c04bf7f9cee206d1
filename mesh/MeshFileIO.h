#pragma once
// File plumbing of the mesh text formats: whole-file reading into checked
// tokens, whole-file writing that notices a failed write, and the scratch
// store that lets a reader change a mesh only once a file proved good.
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iomanip>
#include <memory>
#include <new>
#include <ostream>
#include <string>

#include "mesh/MeshStore.h"
#include "mesh/WriteSignals.h"

// The system's one line for a file that cannot be opened (or written).
inline const char* OpenFailureLine() { return "Datei kann nicht geoeffnet werden!\n"; }

// Coordinates as the writers print them: + 0.0 turns -0 into 0; zeroTiny
// writes magnitudes below 1e-10 (1e-10 itself stays) as 0.
inline double CoordForText(double c, bool zeroTiny)
{
    c = c + 0.0;
    if (zeroTiny && (c < 0 ? -c : c) < 1e-10) return 0.0;
    return c;
}

// Most vertex numbers a face line of a mesh text file may carry.
constexpr int kMaxFileValence = 10;

// Largest magnitude a stored coordinate may have. With |c| <= 1e75 every
// difference is at most 2e75, every cross-product component at most 8e150 and
// its squared length at most 2e302, so face centres and unit normals stay
// finite; a bound near the double range would overflow in the normal.
constexpr double kMaxCoordinate = 1e75;

// Bytes a token of a mesh text file may take with the white space around it.
// The longest number the writers print has 19 characters (-1.23456789012e-100)
// in a field of at most 15 after two blanks; 32 leaves room for hand-made files.
constexpr long long kBytesPerToken = 32;

// A number right-aligned in `width` right after another number: one that fills
// its whole field gets a blank ahead of it so that the two cannot run together.
// A field after a comma or a blank, or at the start of a line, is a plain
// std::setw: nothing can run into it there.
inline void PutNumber(std::ostream& os, int width, int value)
{
    const std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) >= width) os << ' ';
    os << std::setw(width) << digits;
}

// Whitespace-separated tokens of one file. Every read checks its token; the
// first problem is kept as one message naming the line and the record.
class CTextTokens {
public:
    // False when the file cannot be opened or read (a directory, say), with
    // no Problem(); false with a Problem() when the file is refused unread:
    // not a regular file (a FIFO would block the viewer until someone writes
    // to it), or longer than maxBytes (checked before and while reading, so a
    // growing file stops there too).
    bool Load(const std::string& name, long long maxBytes)
    {
        const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return false;
        text.clear();
        pos = 0;
        line = 1;
        struct stat st;
        bool good = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
        if (good && !S_ISREG(st.st_mode)) good = RefuseFile("not a regular file");
        if (good && st.st_size > maxBytes) good = RefuseFile(TooLong(st.st_size, maxBytes));
        if (good) text.reserve(static_cast<std::size_t>(st.st_size));
        char chunk[65536];
        while (good) {
            const ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                good = got == 0;
                break;
            }
            if (static_cast<long long>(text.size()) + got > maxBytes)
                good = RefuseFile(TooLong(static_cast<long long>(text.size()) + got, maxBytes));
            else
                text.append(chunk, static_cast<std::size_t>(got));
        }
        ::close(fd);
        if (!good) text.clear();
        return good;
    }
    void SetText(std::string content)
    {
        text = std::move(content);
        pos = 0;
        line = 1;
    }

    // Names the record being read, for the messages ("face", 3 -> "face 3").
    void Context(const char* kind, int number)
    {
        contextKind = kind;
        contextNumber = number;
    }

    // Int and Real set `value` on every path, 0 when they refuse the token, so
    // that whatever a caller does with it after a refusal, it is never unset.
    bool Int(int& value)
    {
        value = 0;
        if (!Next()) return false;
        char* end = nullptr;
        errno = 0;
        const long v = std::strtol(text.c_str() + tokenBegin, &end, 10);
        if (end != text.c_str() + tokenEnd || errno == ERANGE || v < -2147483647L - 1 || v > 2147483647L)
            return Refuse(Quoted() + " is not a whole number");
        value = static_cast<int>(v);
        return true;
    }

    // Decimal notation only, finite: what formatted stream input takes.
    bool Real(double& value)
    {
        value = 0.0;
        if (!Next()) return false;
        for (std::size_t i = tokenBegin; i < tokenEnd; ++i) {
            const char ch = text[i];
            if (!((ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.' || ch == 'e' || ch == 'E'))
                return Refuse(Quoted() + " is not a number");
        }
        char* end = nullptr;
        const double v = std::strtod(text.c_str() + tokenBegin, &end);
        if (end != text.c_str() + tokenEnd || !std::isfinite(v)) return Refuse(Quoted() + " is not a number");
        value = v;
        return true;
    }

    std::size_t Size() const { return text.size(); }

    // True when nothing but white space is left.
    bool AtEnd()
    {
        SkipSpace();
        return pos >= text.size();
    }

    // Checks that make a message of their own; all return false on a problem.
    bool CountFits(const char* what, int count, int capacity)
    {
        if (count >= 0 && count <= capacity) return true;
        return Refuse("count of " + std::string(what) + " " + std::to_string(count) + " outside 0 to " +
                      std::to_string(capacity));
    }
    bool InRange(const char* what, int value, int lo, int hi)
    {
        if (value >= lo && value <= hi) return true;
        return Refuse(Where() + " names " + what + " " + std::to_string(value) + ", outside " + std::to_string(lo) +
                      " to " + std::to_string(hi));
    }
    bool ValenceFits(int n)
    {
        if (n >= 3 && n <= kMaxFileValence) return true;
        return Refuse(Where() + " has " + std::to_string(n) + " vertices, 3 to " + std::to_string(kMaxFileValence) +
                      " allowed");
    }
    bool CoordinateFits(double stored)
    {
        if (std::fabs(stored) <= kMaxCoordinate) return true;
        // Every digit the number needs: at six, 1.0000000001e75 would read as the bound itself.
        char digits[32];
        const std::to_chars_result shown = std::to_chars(digits, digits + sizeof digits, stored);
        return Refuse(Where() + " has the coordinate " + std::string(digits, shown.ptr) + ", beyond +-1e75");
    }
    bool ListFits(const char* what, int n, int slots)
    {
        if (n >= 0 && n <= slots) return true;
        return Refuse(Where() + " lists " + std::to_string(n) + " " + what + ", 0 to " + std::to_string(slots) +
                      " allowed");
    }

    // Records a problem at the current line (the first one wins).
    bool Refuse(const std::string& what)
    {
        if (problem.empty()) problem = "line " + std::to_string(line) + ": " + what;
        return false;
    }
    // A problem of the file as a whole, found after its last token.
    bool RefuseFile(const std::string& what)
    {
        if (problem.empty()) problem = what;
        return false;
    }
    const std::string& Problem() const { return problem; }

private:
    static std::string TooLong(long long size, long long maxBytes)
    {
        return "more than " + std::to_string(maxBytes) + " bytes (" + std::to_string(size) +
               " or more), larger than any mesh this store holds";
    }
    static bool IsSpace(char ch)
    {
        return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
    }
    void SkipSpace()
    {
        while (pos < text.size() && IsSpace(text[pos])) {
            if (text[pos] == '\n') ++line;
            ++pos;
        }
    }
    bool Next()
    {
        SkipSpace();
        if (pos >= text.size()) {
            if (problem.empty()) problem = "the file ends early, in " + Where();
            return false;
        }
        tokenBegin = pos;
        while (pos < text.size() && !IsSpace(text[pos])) ++pos;
        tokenEnd = pos;
        return true;
    }
    std::string Where() const
    {
        return contextNumber > 0 ? std::string(contextKind) + " " + std::to_string(contextNumber)
                                 : std::string(contextKind);
    }
    // The token as a message shows it: a byte outside printable ASCII as \xHH,
    // so that no escape sequence or stray byte of a file reaches the terminal,
    // and a long token cut after 40 bytes with "..." to say so.
    std::string Quoted() const
    {
        constexpr std::size_t kShownBytes = 40;
        const std::size_t n = std::min(tokenEnd - tokenBegin, kShownBytes);
        std::string shown = "\"";
        for (std::size_t i = tokenBegin; i < tokenBegin + n; ++i) {
            const unsigned char ch = static_cast<unsigned char>(text[i]);
            if (ch >= 0x20 && ch <= 0x7e) {
                shown += static_cast<char>(ch);
            } else {
                const char* const hex = "0123456789abcdef";
                shown += "\\x";
                shown += hex[ch >> 4];
                shown += hex[ch & 0xf];
            }
        }
        if (tokenEnd - tokenBegin > kShownBytes) shown += "...";
        return shown + "\" in " + Where();
    }

    std::string text;
    std::size_t pos = 0;
    std::size_t tokenBegin = 0;
    std::size_t tokenEnd = 0;
    int line = 1;
    const char* contextKind = "the header";
    int contextNumber = 0;
    std::string problem;
};

// The one line for a refused file.
inline void ReportRefusedFile(const std::string& name, const std::string& problem, std::ostream& os)
{
    os << "file \"" << name << "\" not read, mesh unchanged: " << problem << std::endl;
}

// A name beside `name`, in its directory, that no other write guesses: `name`,
// a dot, twelve random letters and ".tmp". Without entropy yet (early boot)
// the clock, the process id and the attempt still vary it; the exclusive
// create keeps even a guessed name safe.
inline std::string TemporaryNameBeside(const std::string& name, int attempt)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[12];
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        struct timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        unsigned long long x = static_cast<unsigned long long>(now.tv_nsec) ^
                               (static_cast<unsigned long long>(now.tv_sec) << 30) ^
                               (static_cast<unsigned long long>(::getpid()) << 40) ^
                               static_cast<unsigned long long>(attempt);
        for (unsigned char& b : bytes) {
            x = x * 6364136223846793005ULL + 1442695040888963407ULL;
            b = static_cast<unsigned char>(x >> 56);
        }
    }
    std::string temporary = name;
    temporary += '.';
    for (const unsigned char b : bytes) temporary += letters[b % 62];
    temporary += ".tmp";
    return temporary;
}

// Creates a new, empty file beside `name` for writing and gives its
// descriptor, with its name in `temporary`; -1 when none can be made. The
// create is exclusive, so a file, link or FIFO lying under the chosen name
// makes it try another name instead of writing through it or waiting on it;
// the umask applies to `mode` as to any new file. `namer` chooses the name of
// each attempt (tests choose one they have planted).
inline int CreateTemporaryBeside(const std::string& name, std::string& temporary,
                                 std::string (*namer)(const std::string&, int) = TemporaryNameBeside,
                                 mode_t mode = 0666)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = namer(name, attempt);
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Every byte of [data, data + size) to fd, through short writes and signals.
inline bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

inline bool SyncFile(int fd)
{
    while (::fsync(fd) != 0)
        if (errno != EINTR) return false;
    return true;
}

// CreateTemporaryBeside, marking the file as the write's (see MarkTemporary)
// with the ending signals held from before the create to after the mark: a
// signal that comes meanwhile waits, and then finds the file marked.
inline int CreateMarkedTemporary(const std::string& name, std::string& temporary,
                                 std::string (*namer)(const std::string&, int), mode_t mode)
{
    const CEndingSignalsHeld held;
    const int fd = CreateTemporaryBeside(name, temporary, namer, mode);
    if (fd >= 0) MarkTemporary(temporary);
    return fd;
}

// Writes the whole text into a temporary file of its own beside `name` and
// renames it over `name` only once it is written, synced and closed, so that
// a failed write (a full disk, a file-size limit) leaves the earlier file as
// it was and a reader of `name` finds a whole file, even while another viewer
// writes it too. As opening `name` for writing would, it refuses an earlier
// file the user may not write and keeps the permission bits of one it
// replaces, given to the temporary file before its first byte so that the
// text is never open to more users than the old file was. Only the read,
// write and execute bits are kept: set-id and sticky bits are dropped, as
// writing into the old file would have cleared its set-id bits. A target that
// exists but is no regular file (a directory, a device) is not replaced. Any
// failure removes the temporary file this write made (nothing else), prints
// the system's line on `os` and gives false; a signal that ends the program
// meanwhile removes it too (see PrepareWritesForSignals).
inline bool WriteTextFile(const std::string& name, const std::string& content, std::ostream& os)
{
    struct stat st;
    const bool exists = ::stat(name.c_str(), &st) == 0;
    bool good = exists ? S_ISREG(st.st_mode) && ::access(name.c_str(), W_OK) == 0 : errno == ENOENT;
    const mode_t kept = exists ? st.st_mode & 0777 : 0666;
    std::string temporary;
    const int fd = good ? CreateMarkedTemporary(name, temporary, TemporaryNameBeside, kept) : -1;
    if (fd >= 0) {
        good = (!exists || ::fchmod(fd, kept) == 0) && WriteAll(fd, content.data(), content.size()) &&
               SyncFile(fd);
        // Linux releases the descriptor even when close reports EINTR, and the data is synced by then.
        good = (::close(fd) == 0 || errno == EINTR) && good;
        good = good && ::rename(temporary.c_str(), name.c_str()) == 0;
        if (!good) ::unlink(temporary.c_str());
        UnmarkTemporary();
    } else {
        good = false;
    }
    if (!good) os << OpenFailureLine() << std::flush;
    return good;
}

// The short writers' progress text, shown once the file is written; it ends
// no line, so that the next writer continues it.
inline bool WriteTextWithProgress(const std::string& name, const std::string& content, int nVertices,
                                  std::ostream& os)
{
    if (!WriteTextFile(name, content, os)) return false;
    os << "write " << nVertices << " vertices ... " << std::flush;
    return true;
}

// The first `count` records of `from` where the file can reach them, fresh
// records up to that reach; gives the number copied.
template <class Record>
int CopyReachable(Record* to, const Record* from, int count, int capacity, long long reach)
{
    const int copied = static_cast<int>(std::max(0LL, std::min<long long>(count, reach)));
    const int fresh = static_cast<int>(std::max(0LL, std::min<long long>(capacity, reach)));
    std::copy(from, from + copied, to);
    std::fill(to + copied, to + std::max(copied, fresh), Record());
    return copied;
}

// The scratch store of a read: a reader edits it as it would edit the mesh in
// place, and it is swapped in only when the whole file was good. It holds the
// target's records in use, as far as the new file can reach (`reach` bounds
// every count a readable file has), and fresh records up to that reach;
// beyond it nothing is read, and after a swap it lies beyond the counts. The
// store lives from one read to the next (one of the design viewer's capacity
// takes milliseconds to build), so a small file costs little after a large
// mesh.
template <class Config>
CMeshStore<Config>& MakeScratchCopy(const CMeshStore<Config>& target, long long reach)
{
    static std::unique_ptr<CMeshStore<Config>> spare;
    if (!spare || spare->vertexCapacity != target.vertexCapacity || spare->edgeCapacity != target.edgeCapacity ||
        spare->faceCapacity != target.faceCapacity) {
        spare.reset();
        spare.reset(new CMeshStore<Config>(target.vertexCapacity, target.edgeCapacity, target.faceCapacity));
    }
    CMeshStore<Config>& s = *spare;
    static_cast<CMeshHeader&>(s) = target;
    CMeshStore<Config>::Geometry::ForEachArray(s, target, [reach](auto* to, const auto* from, int& count, int fromCount, int capacity) {
        count = CopyReachable(to, from, fromCount, capacity, reach);
    });
    return s;
}
