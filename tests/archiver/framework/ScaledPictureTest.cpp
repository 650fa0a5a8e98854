// Pictures at another DPI: resampled smoothly by the program, see-through parts
// kept see-through without a fringe of their colour.
#include <gtest/gtest.h>

#include "framework/ScaledPicture.h"

namespace {
TPixels Opaque(int width, int height, std::initializer_list<uint8_t> greys) {
    TPixels pixels{width, height, {}};
    for (uint8_t grey : greys) pixels.Bgra.insert(pixels.Bgra.end(), {grey, grey, grey, 255});
    return pixels;
}
}  // namespace

TEST(Resample, AveragesWhatANewPixelCoversAndCopiesAtTheSameSize) {
    // Black and white columns shrunk to half: grey, where picking pixels gives black.
    const TPixels columns = Opaque(4, 2, {0, 255, 0, 255, 0, 255, 0, 255});
    EXPECT_EQ(Resample(columns, 2, 1).Bgra, Opaque(2, 1, {128, 128}).Bgra);
    // Grown by half: the middle pixel shares its two neighbours.
    EXPECT_EQ(Resample(Opaque(2, 1, {0, 255}), 3, 1).Bgra, Opaque(3, 1, {0, 128, 255}).Bgra);
    const TPixels mixed = Opaque(3, 2, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Resample(mixed, 3, 2).Bgra, mixed.Bgra);
}

TEST(ScaledPicture, KeepsSeeThroughPartsWithoutAFringeOfTheirColour) {
    // Magenta (see-through) beside red, grown by half onto white.
    const BYTE bgr[] = {255, 0, 255, 0, 0, 255};
    auto bitmap = TBitmap::FromBgr(2, 1, bgr, sizeof bgr);
    ASSERT_NE(bitmap, nullptr);
    TScaledPicture picture(*bitmap, {0, 0, 2, 1}, RGB(255, 0, 255));
    TPixels white{3, 1, std::vector<uint8_t>(12, 255)};
    auto canvas = TBitmap::FromPixels(white);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, canvas->Handle());
    picture.Draw(dc, 0, 0, 3, 1);
    const COLORREF drawn[] = {::GetPixel(dc, 0, 0), ::GetPixel(dc, 1, 0), ::GetPixel(dc, 2, 0)};
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    EXPECT_EQ(drawn[0], RGB(255, 255, 255));
    EXPECT_EQ(GetRValue(drawn[1]), 255);  // half red over white: pink, not purple
    EXPECT_NEAR(GetGValue(drawn[1]), 128, 1);
    EXPECT_EQ(GetGValue(drawn[1]), GetBValue(drawn[1]));
    EXPECT_EQ(drawn[2], RGB(255, 0, 0));
}
