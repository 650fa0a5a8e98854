// Theme pictures whose headers claim 10000 x 10000 pixels, in the page test's
// prefix of 144 dpi (once: the files read are the same at the other DPIs): in a
// silent uninstall each is left out as a missing picture is and logged, and the
// run ends and removes the product.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TestPictures.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "support/TestRegistry.h"
#include "support/ThemePage.h"

using namespace TestPictures;

namespace {
// Every kind of theme picture: the file each is read from at 144 dpi. Headers
// alone: nothing behind them would survive decoding, had they been decoded.
struct Oversized {
    const char* what;
    const char* file;
    std::string bytes;
};
const Oversized kPictures[] = {
    {"background", "background.jpg", Jpeg(10000, 10000)},
    {"copy for 1.5x of a BITMAP that fits", "small@1.5x.bmp", Bmp(10000, 10000)},
    {"HOVER", "hover.gif", Gif(10000, 10000)},
    {"BITMAP", "huge.jpg", Jpeg(10000, 10000)},
    {"icon file", "huge.ico", Icon({{32, Png(10000, 10000)}})},
};

// The page: pictures in the theme folder, the background wherever `background` says.
std::string Theme(const std::string& background) {
    return ThemeWithControls("caption=Big\r\nwidth=400\r\nheight=300\r\nbkimage=" + background + "\r\n",
                             {"Pic,10,10,0,0,BITMAP,{huge.jpg},,0", "Hover,10,60,0,0,HOVER,{hover.gif},,1",
                              "Icon,10,110,32,32,ICON,,,2", "Small,10,160,0,0,BITMAP,{small.bmp},,3"},
                             "2,t=2\r\n2,0=ID|IDC_ICON|0\r\n2,1=Icon File:|{huge.ico}|1\r\n");
}

void WritePictures(const std::string& themeFolder, const std::string& backgroundFolder) {
    for (const Oversized& picture : kPictures)
        TestFiles::Write((picture.file == kPictures[0].file ? backgroundFolder : themeFolder) + picture.file,
                         picture.bytes);
    WriteBitmapFile(themeFolder + "small.bmp", 20, 20, RGB(0, 128, 0));
}

std::string TooLarge(const std::string& path) { return "Picture too large: (" + path + ")"; }
}  // namespace

TEST(OversizedPictures, ASilentRunEndsRemovesTheProductAndLogsEach) {
    if (const char* dpi = std::getenv("NORVANE_TEST_DPI"); dpi == nullptr || std::string(dpi) != "144") GTEST_SKIP();
    TestProduct product("{BIG-PICTURES}");
    const std::string temp = TestFiles::FreshTempFolder("oversized-run") + "\\";
    const std::string themeFolder = product.Folder() + "\\theme\\";
    TestFiles::MakeDirectories(themeFolder);
    // A background's braces are taken out of its path: it lies outside the product's folder.
    WritePictures(themeFolder, temp);
    TestFiles::Write(themeFolder + "uninstall.lcd", Theme(temp + "background.jpg"));
    const std::string installed = TestFiles::FreshProductFolder("oversized-installed") + "\\";
    product.Register("Big Pictures", installed);
    TestFiles::Write(installed + "notes.txt", "x");
    product.WriteLog("TOTALFILE=1\r\nFILE=" + installed + "notes.txt\r\n");

    ChildProcess norvexec(NorvexecPath(), "/S " + product.Code() + " /LOG=\"" + temp + "removal.log\"");
    EXPECT_EQ(norvexec.Wait(60000), std::optional<DWORD>(0u));
    EXPECT_FALSE(TestFiles::Exists(installed + "notes.txt"));
    EXPECT_FALSE(TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, product.UninstallKey()));
    const std::string log = TestFiles::Read(temp + "removal.log");
    for (const Oversized& picture : kPictures) {
        const std::string path = (picture.file == kPictures[0].file ? temp : themeFolder) + picture.file;
        EXPECT_NE(log.find("] " + TooLarge(path) + "\r\n"), std::string::npos) << picture.what << "\n" << log;
    }
    EXPECT_NE(log.find("FILE " + installed + "notes.txt: removed"), std::string::npos) << log;
    EXPECT_NE(log.rfind("exit code 0\r\n"), std::string::npos) << log;
}
