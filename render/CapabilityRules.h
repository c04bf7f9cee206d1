#pragma once
// What the GL's own strings say it offers, read without a GL.

// True when a GL of this version string ("major.minor..." as glGetString
// gives it) or with this space-separated extension list clamps depth instead
// of cutting at the near and far planes: from 3.2 on, or by either
// extension. Null strings offer nothing.
bool OffersDepthClamp(const char* version, const char* extensions);
