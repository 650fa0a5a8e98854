#pragma once
#include <windows.h>

#include <string>

// Decodes a picture file with the platform's OLE picture loader, from a copy of
// the file in memory. Returns a bitmap the caller owns and its size in pixels,
// or null (size 0 x 0) when the file cannot be read or is no bitmap picture.
HBITMAP LoadPictureFile(const std::string& path, int* width, int* height);
