#pragma once
#include <windows.h>

// A bitmap at another size, smooth both ways: every new pixel is the average of
// the part of the bitmap it covers, weighted by how much of each old pixel lies
// in it. The platform's own halftone stretching picks pixels under Wine instead
// of averaging them. Returns a 32-bit bitmap the caller owns, or null.
HBITMAP SmoothScaled(HBITMAP bitmap, SIZE size);
