#pragma once
#include <windows.h>

#include <memory>

#include "Graphics.h"
#include "Resample.h"

// A picture drawn at whatever size it is given, resampled smoothly by the program
// once per size rather than stretched by the platform at every paint: Wine's
// halftone stretching picks pixels instead of averaging them.
class TScaledPicture {
public:
    TScaledPicture() = default;
    // A part of the bitmap; pixels of the colour `seeThrough` (clNone: none) let the
    // background show.
    TScaledPicture(const TBitmap& bitmap, const RECT& part, TColor seeThrough);

    bool Empty() const { return m_source.Width <= 0 || m_source.Height <= 0; }
    void Draw(HDC dc, int left, int top, int width, int height);

private:
    TPixels m_source;
    std::shared_ptr<TBitmap> m_drawn;  // at the size drawn last
};
