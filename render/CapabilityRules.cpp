#include "render/CapabilityRules.h"

#include <cstring>

namespace {

// The number at *s, which moves past it; -1 where no digit stands.
int ReadNumber(const char*& s)
{
    if (*s < '0' || *s > '9') return -1;
    int n = 0;
    for (; *s >= '0' && *s <= '9'; ++s)
        if (n < 10000) n = n * 10 + (*s - '0');
    return n;
}

bool HasExtension(const char* extensions, const char* name)
{
    const std::size_t length = std::strlen(name);
    for (const char* s = extensions; (s = std::strstr(s, name)) != nullptr; s += length) {
        const bool starts = s == extensions || s[-1] == ' ';
        if (starts && (s[length] == ' ' || s[length] == '\0')) return true;
    }
    return false;
}

}  // namespace

bool OffersDepthClamp(const char* version, const char* extensions)
{
    if (version != nullptr) {
        const char* s = version;
        const int major = ReadNumber(s);
        const int minor = *s == '.' ? ReadNumber(++s) : -1;
        if (major > 3 || (major == 3 && minor >= 2)) return true;
    }
    return extensions != nullptr &&
           (HasExtension(extensions, "GL_ARB_depth_clamp") || HasExtension(extensions, "GL_NV_depth_clamp"));
}
