#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Decodes a picture file with the platform's OLE picture loader, from a copy of
// the file in memory. Returns a bitmap the caller owns and its size in pixels,
// or null (size 0 x 0) when the file cannot be read, is no bitmap picture or is
// beyond the picture budget (controls/PictureLimits.h).
HBITMAP LoadPictureFile(const std::string& path, int* width, int* height);

// A picture file and the scaling it was made for, in percent of 96 dpi.
struct PictureChoice {
    std::string path;
    int percent = 100;
};
// The file to draw a theme's picture from at a DPI. Beside "name.jpg" a theme
// may hold the same picture made for larger scalings: "name@1.25x.jpg",
// "name@1.5x.jpg", "name@1.75x.jpg", "name@2x.jpg", "name@2.5x.jpg",
// "name@3x.jpg". The best is the smallest scaling at least as large as the DPI
// needs, else the largest there is, the named file counting as 1x. Variants are
// looked for only beside a named file that exists, and never at 96 dpi or less.
PictureChoice ChoosePictureFile(const std::string& path, int dpi);
// Every copy there is beside the named file, smallest scaling first; none
// when the named file is not there.
std::vector<PictureChoice> PictureCopies(const std::string& path);

// A page's background picture from a theme's "bkimage" path: the file made for
// the DPI, measured before it is decoded and brought to the page's scaling
// smoothly unless it was made for it (or that copy would be beyond the picture
// budget). Null (size 0 x 0) when there is no such file or it cannot be
// decoded, as the page shows no picture then; a picture beyond the budget is
// reported as well.
HBITMAP LoadBackgroundPicture(const std::string& path, int dpi, SIZE* size);
