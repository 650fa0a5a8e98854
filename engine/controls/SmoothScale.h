#pragma once
#include <windows.h>

// A bitmap at another size, smooth both ways: every new pixel is the average of
// the part of the bitmap it covers, weighted by how much of each old pixel lies
// in it. Done once per size by the program rather than by the platform's
// halftone stretching at every paint, the picture is the same on every system
// and a paint costs a copy. Returns a 32-bit bitmap the caller owns, or null.
HBITMAP SmoothScaled(HBITMAP bitmap, SIZE size);
