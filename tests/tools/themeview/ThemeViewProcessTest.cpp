// themeview.exe as a process: its command line, a wizard of three pages clicked
// through, and the demo theme's pictures against those in docs/theme-format.md.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <tuple>

#include "TestPaths.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"
#include "support/ThemePage.h"

namespace {
const std::string kThemeview = NORVANE_BIN_DIR "\\themeview.exe";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Runs themeview to its end; its exit code and output without carriage returns.
std::pair<DWORD, std::string> RunThemeview(const std::string& arguments, const std::string& folder) {
    const std::string output = folder + "output.txt";
    DWORD code = 999;
    {
        ChildProcess themeview(kThemeview, arguments, {}, output);
        code = themeview.Wait(30000).value_or(999);
    }
    std::string text = TestFiles::Read(output);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return {code, text};
}

void Click(HWND button) { ::PostMessageA(button, BM_CLICK, 0, 0); }

class Themeview : public ::testing::Test {
protected:
    ThemePage theme{"themeview"};  // the folder
};
}  // namespace

// The checker's findings have their own table; here what reaches the command line.
TEST_F(Themeview, AnswersItsCommandLineWithExitCodesAndMessages) {
    theme.WriteTheme(
        ThemeWithControls("", {"a,0,0,9,9,button,,,1", "b,0,0,9,9,RECT,,,2"}, "2,t=2\r\n2,1=c|1,2|1\r\n"), "bad.lcd");
    theme.WriteTheme(ThemeWithControls("caption=P\r\nstartup=2\r\nwidth=300\r\nheight=200\r\n", {}), "page.lcd");
    WriteBitmapFile(theme.Folder() + "soft.bmp", 8, 8, RGB(1, 2, 3));
    theme.WriteTheme(ThemeWithControls("", {"a,0,0,0,0,BITMAP,{soft.bmp},,1"}), "soft.lcd");
    const std::string folder = Quoted(theme.Folder());
    const std::string png = Quoted(theme.Folder() + "page.png");
    const struct {
        std::string arguments;
        DWORD code;
        std::vector<std::string> output;  // each found in it; none: it is empty
    } cases[] = {
        {"--check " + folder + " page.lcd bad.lcd", 1,
         {"bad.lcd:[INFO]0: type word \"button\" is not upper case: no control is created (BUTTON)\n"
          "bad.lcd:[DADOS]2,1: colour \"1,2\" is not three numbers of 0 to 255 (red,green,blue)\n"}},
        {"--check " + folder + " page.lcd", 0, {}},
        {"--check " + folder + " soft.lcd", 0, {"soft.lcd:[INFO]0: hint: picture"}},  // a hint alone leaves it clean
        {"--picture", 2,
         {"usage: themeview [--check]", "(default: \"Sample Product\")",
          "(default: {00000000-0000-0000-0000-000000000000})"}},
        {folder + " page.lcd nope.lcd", 1, {"themeview: no such page: nope.lcd\n"}},
        {"--picture " + png + " " + folder + " nope.lcd", 1, {"themeview: no such page: nope.lcd\n"}},
        {"\"\" page.lcd", 2, {"themeview: the theme folder is empty\n"}},
        {"--dpi 95 " + folder + " page.lcd", 2, {"themeview: --dpi takes a DPI from 96 to 288, not \"95\"\n"}},
        {"--dpi 289 " + folder + " page.lcd", 2, {"themeview: --dpi takes a DPI from 96 to 288, not \"289\"\n"}},
    };
    for (const auto& c : cases) {
        const auto [code, output] = RunThemeview(c.arguments, theme.Folder());
        EXPECT_EQ(code, c.code) << c.arguments;
        if (c.output.empty()) { EXPECT_EQ(output, "") << c.arguments; }
        for (const std::string& part : c.output)
            EXPECT_NE(output.find(part), std::string::npos) << c.arguments << "\n" << output;
    }
}

// The sequence's rules are the wizard host's (WizardFlow); here themeview moves
// through it, each page left hidden once the next shows, and Finish ends it with 0.
TEST_F(Themeview, NextAndBackMoveThroughThePagesAndFinishEndsIt) {
    for (const auto& [file, title, last] : {std::tuple{"p1.lcd", "Page 1", "IDC_NEXT"}, {"p2.lcd", "Page 2", "IDC_FINISH"}})
        theme.WriteTheme(ThemeWithControls(std::string("caption=") + title + "\r\nstartup=2\r\nwidth=340\r\nheight=160\r\n",
                                           {"c,10,20,90,25,BUTTON,,,10", "c,110,20,90,25,BUTTON,,,11"},
                                           ThemeRows(10, {"ID|IDC_BACK|0", "T|IDC_BACK|1"}) +
                                               ThemeRows(11, {std::string("ID|") + last + "|0", std::string("T|") + last + "|1"})),
                         file);
    ChildProcess themeview(kThemeview, Quoted(theme.Folder()) + " p1.lcd p2.lcd");
    HWND page = WaitForShownPage(themeview, "Page 1");
    ASSERT_NE(page, nullptr);
    for (const auto& [button, title] : {std::pair{"IDC_NEXT", "Page 2"}, {"IDC_BACK", "Page 1"}, {"IDC_NEXT", "Page 2"}}) {
        const HWND left = page;
        Click(ChildWithText(left, button));
        ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(left); })) << title;
        page = WaitForShownPage(themeview, title);
        ASSERT_NE(page, nullptr) << title;
    }
    Click(ChildWithText(page, "IDC_FINISH"));
    EXPECT_EQ(themeview.Wait(10000), std::optional<DWORD>(0u));
}

// The demo theme as the pictures in docs/ show it, made before pages took the
// keyboard into account: the same files, so no focus cue shows without a key.
TEST_F(Themeview, DrawsTheDemoThemeAsTheReadmeShowsIt) {
    const std::string demo = NORVANE_SOURCE_DIR "\\demo\\norvane\\installer\\";
    for (const char* variant : {"background.jpg", "background@1.5x.jpg", "background@2x.jpg"})
        ASSERT_TRUE(::CopyFileA((demo + "theme\\" + variant).c_str(), (theme.Folder() + variant).c_str(), FALSE));
    for (const char* page : {"licence.lcd", "uninstall.lcd"}) {  // its picture by a full path, as installed
        std::string text = TestFiles::Read(demo + "theme\\" + page);
        text.replace(text.find("@THEMEPICTURE@"), 14, theme.Folder() + "background.jpg");
        ASSERT_TRUE(TestFiles::Write(theme.Folder() + page, text));
    }
    const std::string png = theme.Folder() + "shot.png";
    for (auto [options, pages, readme] : {std::tuple{"", "licence.lcd uninstall.lcd", "licence-page"},
                                          {"--dpi 144", "licence.lcd uninstall.lcd", "licence-page-144"},
                                          {"--progress 45", "uninstall.lcd", "themeview-progress"}}) {
        RunThemeview(std::string(options) + " --picture " + Quoted(png) +
                         " --product \"Norvane Demo Notes\" --code {7D1C9E52-4B0A-4F3E-9C61-2E8A5B40D917} --language " +
                         Quoted(demo + "language.lan") + " " + Quoted(theme.Folder()) + " " + pages,
                     theme.Folder());
        const std::string wanted = NORVANE_SOURCE_DIR "\\docs\\" + std::string(readme) + ".png";
        EXPECT_TRUE(TestFiles::Read(png) == TestFiles::Read(wanted)) << readme;
    }
}
