// Pictures measured from their headers before anything decodes them; the smooth
// resampling read a band of lines at a time.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "controls/PictureLimits.h"
#include "controls/SmoothScale.h"
#include "framework/GdiObject.h"
#include "support/TestPictures.h"
#include "support/TestFiles.h"

using namespace TestPictures;

namespace {
std::string CoreBmp(uint16_t width, uint16_t height) {
    return "BM" + std::string(12, '\0') + Le32(12) + Le16(width) + Le16(height) + Le16(1) + Le16(24);
}
std::string GifFrame(uint16_t left, uint16_t top, uint16_t width, uint16_t height) {
    return "," + Le16(left) + Le16(top) + Le16(width) + Le16(height) + std::string(1, '\0');
}
std::string Wmf(int16_t right, int16_t bottom, uint16_t unitsPerInch) {
    return Le32(0x9AC6CDD7) + std::string(6, '\0') + Le16(static_cast<uint16_t>(right)) +
           Le16(static_cast<uint16_t>(bottom)) + Le16(unitsPerInch) + std::string(6, '\0');
}
std::string Emf(int32_t frameRight, int32_t frameBottom) {
    return Le32(1) + Le32(88) + std::string(24, '\0') + Le32(static_cast<uint32_t>(frameRight)) +
           Le32(static_cast<uint32_t>(frameBottom)) + " EMF" + std::string(44, '\0');
}

struct MeasureCase {
    const char* what;
    std::string bytes;
    PictureFit fit;
    SIZE drawn;
    int percent = 100, dpi = 96;  // at 96 dpi and 100 percent, drawn as the header claims
};
}  // namespace

// What each format claims is the largest size of any of its parts, hostile
// headers included, checked as decoded and as drawn at the page's DPI.
TEST(PictureLimits, APictureBeyondTheBudgetAsDecodedOrAsDrawnDoesNotFit) {
    using F = PictureFit;
    const std::string padding(65000, 'x');
    const std::string pixels(640 * 3 * 480, 'p');
    const std::string icon32 = Icon({{32, Dib(32, 64) + std::string(32 * 3 * 32 + 4 * 32, 'p')}});
    std::string longEmf = Emf(5080, 2540);
    longEmf.replace(48, 4, Le32(1000));
    const MeasureCase cases[] = {
        {"bitmap", Bmp(640, 480) + pixels, F::Fits, {640, 480}},
        {"bitmap drawn top down", Bmp(640, -480) + pixels, F::Fits, {640, 480}},
        // Shorter than the header says: the loaders would take the rest from memory beyond the file.
        {"bitmap of 200 x 200 without its last byte", Bmp(200, 200) + std::string(200 * 200 * 3 - 1, 'p'),
         F::Unreadable, {0, 0}},
        {"bitmap of the core header, its pixels cut short", CoreBmp(200, 200) + padding, F::Unreadable, {0, 0}},
        {"bitmap of 16 colours, its table cut short", Bmp(4, 4, 4) + std::string(40, 'c'), F::Unreadable, {0, 0}},
        {"bitmap of 16 colours", Bmp(4, 4, 4) + std::string(64 + 16, 'c'), F::Fits, {4, 4}},
        {"run lengths reaching past the file", Bmp(8, 8, 8, 1, 5000) + std::string(1124, 'r'), F::Unreadable, {0, 0}},
        {"run lengths without their size", Bmp(8, 8, 8, 1, 0) + std::string(1124, 'r'), F::Unreadable, {0, 0}},
        {"run lengths within the file", Bmp(8, 8, 8, 1, 100) + std::string(1124, 'r'), F::Fits, {8, 8}},
        {"icon whose image reaches past the file", icon32.substr(0, icon32.size() - 1), F::Unreadable, {0, 0}},
        {"icon whose bitmap lacks its mask", Icon({{16, Dib(16, 32) + std::string(16 * 3 * 16, 'p')}}), F::Unreadable,
         {0, 0}},
        {"enhanced metafile claiming more bytes than it has", longEmf, F::Unreadable, {0, 0}},
        {"placeable metafile claiming more words than it has",
         Wmf(1440, 720, 1440) + Le16(1) + Le16(9) + Le16(0x300) + Le32(1000) + std::string(8, '\0'), F::Unreadable,
         {0, 0}},
        {"bitmap of the core header", CoreBmp(65535, 2), F::TooLarge, {65535, 2}},
        {"bitmap cut short", Bmp(640, 480).substr(0, 20), F::Unreadable, {0, 0}},
        {"bitmap of negative width", Bmp(-5, 5), F::Unreadable, {0, 0}},
        {"JPEG behind long segments and fill bytes",
         kJpegStart + Segment(0xE1, padding) + "\xFF\xFF" + Segment(0xE2, "x") + Frame(0xC0, 10000, 10000),
         F::TooLarge, {10000, 10000}},
        {"progressive JPEG, a photo at 144 dpi", kJpegStart + Frame(0xC2, 6000, 4000), F::Fits, {9000, 6000}, 100, 144},
        {"JPEG whose height comes later", kJpegStart + Frame(0xC0, 100, 0), F::Unreadable, {0, 0}},
        {"JPEG with image data before its frame", kJpegStart + Segment(0xDA, "x") + Frame(0xC0, 9, 9), F::Unreadable,
         {0, 0}},
        {"JPEG of a zero segment length", kJpegStart + std::string("\xFF\xE0\x00\x00", 4), F::Unreadable, {0, 0}},
        {"JPEG without a frame", kJpegStart + Segment(0xE0, "JFIF"), F::Unreadable, {0, 0}},
        {"GIF with a colour table",
         "GIF89a" + Le16(300) + Le16(200) + "\x80" + std::string(8, '\0') + GifFrame(0, 0, 30, 20), F::Fits, {300, 200}},
        {"GIF whose first frame reaches past its screen",
         Gif(16, 16, std::string("\x21\xF9\x04", 3) + "abcd" + std::string(1, '\0') + GifFrame(100, 5, 65535, 40000)),
         F::TooLarge, {65635, 40005}},
        {"GIF cut in an extension", Gif(16, 16, std::string("\x21\xFE\x30", 3) + "ab"), F::Fits, {16, 16}},
        {"PNG of 8000 x 8000, within at 96 dpi", Png(8000, 8000), F::Fits, {8000, 8000}},
        {"PNG of 8000 x 8000 at 144 dpi", Png(8000, 8000), F::TooLarge, {12000, 12000}, 100, 144},
        {"PNG claiming 2^31 a side", Png(0x80000000u, 1), F::TooLarge, {INT_MAX, 1}},
        {"a side past 16384", Bmp(16385, 10), F::TooLarge, {16385, 10}},
        {"a copy for 2x decoded too large", Png(20000, 2), F::TooLarge, {10000, 1}, 200},
        {"a copy for 3x of one pixel", Png(1, 1), F::Fits, {0, 0}, 300},
        {"a copy for 2x cut short", Bmp(400, 400) + std::string(1000, 'p'), F::Unreadable, {0, 0}, 200},
        {"icon of a small and a 256 image", Icon({{16, Dib(16, 32) + std::string(16 * 3 * 16 + 4 * 16, 'p')}, {0, Png(256, 256)}}),
         F::Fits, {256, 256}},
        {"icon whose PNG claims more than its directory", Icon({{32, Png(10000, 10000)}}), F::TooLarge, {10000, 10000}},
        {"icon whose bitmap claims more than its directory", Icon({{32, Dib(20000, 40000)}}), F::TooLarge,
         {20000, 20000}},
        {"icon without images", Le16(0) + Le16(1) + Le16(0), F::Unreadable, {0, 0}},
        // Metafiles are measured in pixels of the screen (96 dpi here).
        {"placeable metafile of an inch by half", Wmf(1440, 720, 1440), F::Fits, {96, 48}},
        {"placeable metafile of no units", Wmf(10, 10, 0), F::Unreadable, {0, 0}},
        {"enhanced metafile", Emf(5080, 2540), F::Fits, {192, 96}},
        {"GIF cut after its signature", "GIF", F::Unreadable, {0, 0}},
        {"text", "hello, world", F::Unreadable, {0, 0}},
        {"nothing", "", F::Unreadable, {0, 0}},
    };
    const std::string folder = TestFiles::FreshTempFolder("picture-limits") + "\\";
    int n = 0;
    for (const MeasureCase& c : cases) {
        const std::string path = folder + std::to_string(n++) + ".pic";
        ASSERT_TRUE(TestFiles::Write(path, c.bytes));
        const PictureMeasure measure = MeasurePictureFile(path, c.percent, c.dpi);
        EXPECT_EQ(measure.fit, c.fit) << c.what;
        EXPECT_EQ(measure.drawn.cx, c.drawn.cx) << c.what;
        EXPECT_EQ(measure.drawn.cy, c.drawn.cy) << c.what;
    }
    EXPECT_EQ(MeasurePictureFile(folder + "missing.jpg", 100, 96).fit, PictureFit::Unreadable);
}

// Lines of three pixels, each line its own colour (its number in red and blue);
// 300 lines are more than a band.
TEST(SmoothScale, LinesOfEveryBandLandWhereTheyBelong) {
    const int lines = 300;
    auto colour = [](int red, int blue) { return static_cast<uint32_t>(red << 16 | blue); };
    auto line = [&colour](int y) { return colour(y & 0xFF, y >> 8); };
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, -lines, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    BitmapHandle picture(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(picture);
    for (int i = 0; i < lines * 3; ++i) static_cast<uint32_t*>(bits)[i] = line(i / 3);
    auto pixel = [](HBITMAP bitmap, int x, int y) {
        BITMAP shape{};
        ::GetObjectA(bitmap, sizeof shape, &shape);
        return static_cast<const uint32_t*>(shape.bmBits)[y * shape.bmWidth + x] & 0xFFFFFF;
    };
    // Twice as many lines: each new line is the half of one old line.
    BitmapHandle doubled(SmoothScaled(picture, {6, lines * 2}));
    ASSERT_TRUE(doubled);
    for (int y = 0; y < lines * 2; ++y) EXPECT_EQ(pixel(doubled, 5, y), line(y / 2)) << "line " << y;
    // Half as many: each new line the average of two, rounded.
    BitmapHandle halved(SmoothScaled(picture, {3, lines / 2}));
    ASSERT_TRUE(halved);
    for (int y = 0; y < lines / 2; ++y) {
        const int a = 2 * y, b = a + 1;
        EXPECT_EQ(pixel(halved, 1, y), colour(((a & 0xFF) + (b & 0xFF) + 1) / 2, ((a >> 8) + (b >> 8) + 1) / 2))
            << "line " << y;
    }
}
