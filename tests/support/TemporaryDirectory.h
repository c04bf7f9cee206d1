#pragma once
// A directory of its own under $TMPDIR (default /tmp), for whatever a test or
// a benchmark writes: a fresh random name, so that two runs at once (two build
// trees on one machine) never meet.
#include <stdlib.h>

#include <cstdlib>
#include <string>

// The new directory's path, ending in '/'; empty when none can be made.
inline std::string MakeTemporaryDirectory(const std::string& prefix)
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data())) return std::string();
    return pattern + "/";
}
