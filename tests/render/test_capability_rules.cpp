#include <gtest/gtest.h>

#include "render/CapabilityRules.h"

namespace {

TEST(CapabilityRules, DepthClampFromTheVersionOrEitherExtension)
{
    const struct {
        const char* version;
        const char* extensions;
        bool offered;
    } cases[] = {
        {"4.5 (Compatibility Profile) Mesa 22.3.6", "", true},
        {"3.2", nullptr, true},
        {"3.1 Mesa 10.0", "GL_ARB_multitexture GL_EXT_bgra", false},
        {"2.1 Mesa 10.0", "GL_ARB_depth_clamp", true},
        {"2.1", "GL_EXT_bgra GL_NV_depth_clamp GL_ARB_vbo", true},
        {"1.4", "GL_ARB_depth_clamp_extra GL_XARB_depth_clamp", false},
        {"10.0", nullptr, true},
        {"OpenGL ES 3.2 Mesa", "", false},
        {"3", "", false},
        {nullptr, nullptr, false},
        {"", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.offered, OffersDepthClamp(c.version, c.extensions))
            << (c.version ? c.version : "null") << " / " << (c.extensions ? c.extensions : "null");
}

}  // namespace
