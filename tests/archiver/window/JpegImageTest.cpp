#include <gtest/gtest.h>

#include "TestPaths.h"
#include "support/ArchiveTestSupport.h"
#include "window/JpegImage.h"

namespace {
std::string Logo() {
    return ArchiveTest::ReadFile(ArchiveTest::Widen(NORVANE_SOURCE_DIR) + L"\\archiver\\window\\artwork\\logo.jpg");
}

bool Decode(const std::string& bytes, TJpegImage& image) {
    return DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image);
}
}  // namespace

TEST(JpegImage, TheLogoDecodesToItsSizeWithItsColours) {
    TJpegImage image;
    ASSERT_TRUE(Decode(Logo(), image));
    EXPECT_EQ(image.Width, 218);
    EXPECT_EQ(image.Height, 138);
    ASSERT_EQ(image.Bgr.size(), 218u * 138u * 3u);
    // White in the corner, the navy box at (40, 80): blue first.
    EXPECT_GT(image.Bgr[0], 240);
    const size_t box = (80u * 218u + 40u) * 3u;
    EXPECT_GT(image.Bgr[box], 100);
    EXPECT_LT(image.Bgr[box + 2], 40);
}

TEST(JpegImage, DamagedDataIsRefusedWithoutEndingTheProgram) {
    const std::string logo = Logo();
    TJpegImage image;
    EXPECT_FALSE(Decode("", image));
    EXPECT_FALSE(Decode("not a picture at all", image));
    EXPECT_FALSE(Decode(logo.substr(0, 100), image));
    std::string header = logo;
    header[1] = 0;  // no start-of-image marker
    EXPECT_FALSE(Decode(header, image));
    EXPECT_EQ(image.Width, 0);
    // Cut in the middle of the picture data: libjpeg fills in what is missing.
    EXPECT_TRUE(Decode(logo.substr(0, logo.size() / 2), image));
}
