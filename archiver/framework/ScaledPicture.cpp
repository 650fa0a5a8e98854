#include "ScaledPicture.h"

#include <algorithm>

TScaledPicture::TScaledPicture(const TBitmap& bitmap, const RECT& part, TColor seeThrough)
    : m_source(bitmap.Pixels(part)) {
    for (size_t at = 0; at + 4 <= m_source.Bgra.size(); at += 4) {
        uint8_t* pixel = &m_source.Bgra[at];
        if (RGB(pixel[2], pixel[1], pixel[0]) == seeThrough)
            std::fill(pixel, pixel + 4, uint8_t{0});
        else
            pixel[3] = 255;
    }
}

void TScaledPicture::Draw(HDC dc, int left, int top, int width, int height) {
    if (Empty() || width <= 0 || height <= 0) return;
    if (m_drawn == nullptr || m_drawn->Width() != width || m_drawn->Height() != height)
        m_drawn = TBitmap::FromPixels(Resample(m_source, width, height));
    if (m_drawn == nullptr) return;
    TBitmapSource source(dc, *m_drawn);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, left, top, width, height, source.Dc(), 0, 0, width, height, blend);
}
