// Pictures measured from their headers before anything decodes them: what each
// format claims, hostile headers included, and the budget at the page's DPI; the
// smooth resampling read a band of lines at a time.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "controls/PictureHeader.h"
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

PictureHeader HeaderOf(const std::string& bytes) {
    return ReadPictureHeader([&bytes](uint64_t offset, uint8_t* buffer, size_t size) -> size_t {
        if (offset >= bytes.size()) return 0;
        size = std::min<size_t>(size, bytes.size() - static_cast<size_t>(offset));
        std::memcpy(buffer, bytes.data() + offset, size);
        return size;
    });
}

struct HeaderCase {
    const char* what;
    std::string bytes;
    PictureFormat format;
    int64_t width, height;
};
}  // namespace

TEST(PictureHeader, EachFormatClaimsTheLargestSizeOfAnyOfItsParts) {
    using F = PictureFormat;
    const std::string padding(65000, 'x');
    const HeaderCase cases[] = {
        {"bitmap", Bmp(640, 480), F::Bmp, 640, 480},
        {"bitmap drawn top down", Bmp(640, -480), F::Bmp, 640, 480},
        {"bitmap of the core header", CoreBmp(65535, 2), F::Bmp, 65535, 2},
        {"bitmap cut short", Bmp(640, 480).substr(0, 20), F::Unknown, 0, 0},
        {"bitmap of negative width", Bmp(-5, 5), F::Unknown, 0, 0},
        {"JPEG behind long segments and fill bytes",
         kJpegStart + Segment(0xE1, padding) + "\xFF\xFF" + Segment(0xE2, "x") + Frame(0xC0, 10000, 10000),
         F::Jpeg, 10000, 10000},
        {"progressive JPEG", kJpegStart + Frame(0xC2, 6000, 4000), F::Jpeg, 6000, 4000},
        {"JPEG whose height comes later", kJpegStart + Frame(0xC0, 100, 0), F::Unknown, 0, 0},
        {"JPEG with image data before its frame", kJpegStart + Segment(0xDA, "x") + Frame(0xC0, 9, 9), F::Unknown, 0, 0},
        {"JPEG of a zero segment length", kJpegStart + std::string("\xFF\xE0\x00\x00", 4), F::Unknown, 0, 0},
        {"JPEG without a frame", kJpegStart + Segment(0xE0, "JFIF"), F::Unknown, 0, 0},
        {"GIF with a colour table", "GIF89a" + Le16(300) + Le16(200) + "\x80" + std::string(8, '\0') + GifFrame(0, 0, 30, 20),
         F::Gif, 300, 200},
        {"GIF whose first frame reaches past its screen",
         Gif(16, 16, std::string("\x21\xF9\x04", 3) + "abcd" + std::string(1, '\0') + GifFrame(100, 5, 65535, 40000)),
         F::Gif, 65635, 40005},
        {"GIF cut in an extension", Gif(16, 16, std::string("\x21\xFE\x30", 3) + "ab"), F::Gif, 16, 16},
        {"PNG", Png(4000, 3000), F::Png, 4000, 3000},
        {"PNG claiming 2^31 a side", Png(0x80000000u, 1), F::Png, 0x80000000LL, 1},
        {"icon of a small and a 256 image", Icon({{16, Dib(16, 32)}, {0, Png(256, 256)}}), F::Icon, 256, 256},
        {"icon whose PNG claims more than its directory", Icon({{32, Png(10000, 10000)}}), F::Icon, 10000, 10000},
        {"icon whose bitmap claims more than its directory", Icon({{32, Dib(20000, 40000)}}), F::Icon, 20000, 20000},
        {"icon without images", Le16(0) + Le16(1) + Le16(0), F::Unknown, 0, 0},
        {"placeable metafile of an inch by half", Wmf(1440, 720, 1440), F::Wmf, 2540, 1270},
        {"placeable metafile of no units", Wmf(10, 10, 0), F::Unknown, 0, 0},
        {"enhanced metafile", Emf(5080, 2540), F::Emf, 5080, 2540},
        {"text", "hello, world", F::Unknown, 0, 0},
        {"nothing", "", F::Unknown, 0, 0},
    };
    for (const HeaderCase& c : cases) {
        const PictureHeader header = HeaderOf(c.bytes);
        EXPECT_EQ(header.format, c.format) << c.what;
        EXPECT_EQ(header.width, c.width) << c.what;
        EXPECT_EQ(header.height, c.height) << c.what;
    }
}

TEST(PictureLimits, APictureBeyondTheBudgetAsDecodedOrAsDrawnDoesNotFit) {
    const std::string folder = TestFiles::FreshTempFolder("picture-limits") + "\\";
    struct {
        const char* what;
        std::string bytes;
        int percent, dpi;
        PictureFit fit;
        SIZE drawn;
    } cases[] = {
        {"a photo at 144 dpi", Jpeg(6000, 4000), 100, 144, PictureFit::Fits, {9000, 6000}},
        {"10000 x 10000 at 96 dpi", Jpeg(10000, 10000), 100, 96, PictureFit::TooLarge, {10000, 10000}},
        {"8000 x 8000, within at 96 dpi", Png(8000, 8000), 100, 96, PictureFit::Fits, {8000, 8000}},
        {"8000 x 8000 at 144 dpi", Png(8000, 8000), 100, 144, PictureFit::TooLarge, {12000, 12000}},
        {"a side past 16384", Bmp(16385, 10), 100, 96, PictureFit::TooLarge, {16385, 10}},
        {"a copy for 2x decoded too large", Png(20000, 2), 200, 96, PictureFit::TooLarge, {10000, 1}},
        {"a copy for 3x of one pixel", Png(1, 1), 300, 96, PictureFit::Fits, {0, 0}},
        {"an icon whose image lies about its size", Icon({{32, Png(10000, 10000)}}), 100, 96, PictureFit::TooLarge,
         {10000, 10000}},
        {"no picture", "GIF", 100, 96, PictureFit::Unreadable, {0, 0}},
    };
    int n = 0;
    for (const auto& c : cases) {
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
