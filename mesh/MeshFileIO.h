#pragma once
// File plumbing of the mesh text formats: whole-file reading into checked
// tokens, whole-file writing that notices a failed write, and the scratch
// store that lets a reader change a mesh only once a file proved good.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "mesh/MeshStore.h"

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

// Whitespace-separated tokens of one file. Every read checks its token; the
// first problem is kept as one message naming the line and the record.
class CTextTokens {
public:
    // False when the file cannot be opened or read (a directory, say).
    bool Load(const std::string& name)
    {
        std::FILE* f = std::fopen(name.c_str(), "rb");
        if (!f) return false;
        text.clear();
        char chunk[65536];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
        const bool failed = std::ferror(f) != 0;
        std::fclose(f);
        pos = 0;
        line = 1;
        return !failed;
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

    bool Int(int& value)
    {
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
    std::string Quoted() const
    {
        const std::size_t n = std::min<std::size_t>(tokenEnd - tokenBegin, 40);
        return "\"" + text.substr(tokenBegin, n) + "\" in " + Where();
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

// The one console line for a refused file.
inline void ReportRefusedFile(const std::string& name, const std::string& problem)
{
    std::cout << "file \"" << name << "\" not read, mesh unchanged: " << problem << std::endl;
}

// Writes the whole text; a file that cannot be opened or written prints the
// system's line and gives false.
inline bool WriteTextFile(const std::string& name, const std::string& content)
{
    std::FILE* f = std::fopen(name.c_str(), "wb");
    bool good = f != nullptr;
    if (good) {
        good = std::fwrite(content.data(), 1, content.size(), f) == content.size();
        good = std::fclose(f) == 0 && good;
    }
    if (!good) std::cout << OpenFailureLine() << std::flush;
    return good;
}

// The short writers' progress text, shown once the file is written; it ends
// no line, so that the next writer continues it.
inline bool WriteTextWithProgress(const std::string& name, const std::string& content, int nVertices)
{
    if (!WriteTextFile(name, content)) return false;
    std::cout << "write " << nVertices << " vertices ... " << std::flush;
    return true;
}

// Holds what std::cout receives while it lives, so that the output of work on
// a scratch store can be shown only when that work is kept.
class CConsoleCapture {
public:
    CConsoleCapture() : saved(std::cout.rdbuf(buffer.rdbuf())) {}
    ~CConsoleCapture() { std::cout.rdbuf(saved); }
    CConsoleCapture(const CConsoleCapture&) = delete;
    CConsoleCapture& operator=(const CConsoleCapture&) = delete;
    std::string Text() const { return buffer.str(); }

private:
    std::ostringstream buffer;
    std::streambuf* saved;
};

// A heap copy of the target (the design viewer's store is far too big for the
// stack): a reader edits the copy as it would edit the mesh in place, and the
// copy is swapped in only when the whole file was good.
template <class Config>
std::unique_ptr<CMeshStore<Config>> MakeScratchCopy(const CMeshStore<Config>& target)
{
    std::unique_ptr<CMeshStore<Config>> s(
        new CMeshStore<Config>(target.vertexCapacity, target.edgeCapacity, target.faceCapacity));
    std::copy(target.vertices, target.vertices + target.vertexCapacity, s->vertices);
    std::copy(target.faces, target.faces + target.faceCapacity, s->faces);
    std::copy(target.edges, target.edges + target.edgeCapacity, s->edges);
    std::copy(target.specialEdges, target.specialEdges + target.edgeCapacity, s->specialEdges);
    s->nVertices = target.nVertices;
    s->nFaces = target.nFaces;
    s->nEdges = target.nEdges;
    s->nSpecialEdges = target.nSpecialEdges;
    return s;
}
