#pragma once
#include <windows.h>

#include <string>

// A theme's pictures (backgrounds, BITMAP and HOVER pictures, icon files, and
// their copies for larger scalings) are decoded whole by the platform's picture
// loader and drawn at the page's DPI, through copies of the same size. A header
// may claim any size, so each picture is measured from its file before it is
// decoded, and one beyond this budget is a picture that cannot be loaded:
// at most 16,384 pixels a side and 64 M pixels in all (256 MB at 32 bits a
// pixel), as decoded and as drawn at the page's DPI. That holds a picture made
// for a page filling an 8K screen (7680 x 4320, 33 M pixels) with room to spare
// and keeps a page of such pictures within what a 64-bit process can hold;
// 16,384 is the largest texture side Direct3D 11 graphics hardware must draw.
constexpr long long kMaxPictureSide = 16384;
constexpr long long kMaxPicturePixels = 64LL * 1024 * 1024;

bool WithinPictureBudget(long long width, long long height);

enum class PictureFit { Fits, TooLarge, Unreadable };

struct PictureMeasure {
    // Unreadable: no format the loader reads, or a file shorter than its header claims
    PictureFit fit = PictureFit::Unreadable;
    SIZE decoded{};                           // as the loader makes it, in pixels
    SIZE drawn{};                             // on the page
};

// The picture of a file made for `percent` of 96 dpi (100 for a file without a
// scaling of its own), drawn at the size its 96-dpi layout has on a page of `dpi`.
PictureMeasure MeasurePictureFile(const std::string& path, int percent, int dpi);

// Reported as a missing picture is: the program's message box, or its removal
// log in a silent run.
std::string PictureTooLargeText(const std::string& path);

// Whether the picture may be decoded: one beyond the budget is reported so.
bool AdmitPicture(const std::string& path, int percent, int dpi);

// A length in HIMETRIC units (0.01 mm) in pixels, rounded as the picture loader rounds.
long long HimetricToPixels(long long himetric, int pixelsPerInch);
