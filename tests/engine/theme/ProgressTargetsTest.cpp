// The progress page's targets in the test's process: which controls the run's
// reports reach, and the completed state.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "product/ProductContext.h"
#include "support/TestFiles.h"
#include "support/ThemePage.h"

namespace {
const char kRows[] =
    "1,t=2\r\n1,0=ID|IDC_INFO|0\r\n1,1=Caption|info|1\r\n2,t=2\r\n2,0=ID|IDC_STATIC1|0\r\n2,1=Caption|status|1\r\n"
    "3,t=2\r\n3,0=ID|IDCANCEL|0\r\n3,1=Caption|Cancel|1\r\n4,t=1\r\n4,0=ID|IDC_NEXT|0\r\n";
}

TEST(ProgressTargets, OnlyTheExactPageFileNameMakesTheProgressPage) {
    ThemePage theme("progress-targets");
    const std::string theme_text = ThemeWithControls(
        "", {"i,0,0,200,20,TEXT,,,1", "s,0,30,200,20,TEXT,,,2", "b,0,60,200,20,PROGRESS,,,0", "c,0,90,90,25,BUTTON,,,3",
             "n,100,90,90,25,BUTTON,,,4", "b2,0,120,200,20,PROGRESS,,,0"},
        kRows);
    TheProduct().displayName = "Fixture Notes";
    TheProduct().productCode = "{CODE}";
    std::string language = theme.Folder() + "language.lan";
    TestFiles::Write(language, "[SetupCompleteSuccess]\r\n1=Close [ProductName]\r\n5=[ProductCode] done\r\n");
    TheProduct().languageFilePath = language;

    theme.WriteTheme(theme_text, "Uninstall.lcd");
    ASSERT_TRUE(theme.Load("Uninstall.lcd", 0, 0));
    EXPECT_EQ(theme.Page().Progress().BarPoolIndex(), -1);
    EXPECT_TRUE(::IsWindowEnabled(theme.Named("IDC_NEXT")));
    theme.Page().ShowStatusText("ignored", UninstallPage::kInfoText);
    EXPECT_EQ(WindowTextOf(theme.Named("IDC_INFO")), "info");

    theme.WriteTheme(theme_text, "uninstall.lcd");
    ASSERT_TRUE(theme.Load("uninstall.lcd", 0, 0));
    CImageWindow& page = theme.Page();
    EXPECT_FALSE(::IsWindowEnabled(theme.Named("IDC_NEXT")));
    EXPECT_FALSE(::IsWindowEnabled(theme.Named("IDCANCEL")));
    // Key 5's bar was created first: it is IDC_PROGRESS1, the one the run moves.
    HWND bar = theme.Named("IDC_PROGRESS1");
    HWND other = theme.Named("IDC_PROGRESS2");
    EXPECT_EQ(ClientRectOf(theme.Window(), bar).top, 120);
    page.SetProgressRange(70000);
    page.SetProgressPosition(42);
    EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 70000 - 65536);
    EXPECT_EQ(::SendMessageA(bar, PBM_GETPOS, 0, 0), 42);
    EXPECT_EQ(::SendMessageA(other, PBM_GETPOS, 0, 0), 0);
    page.ShowStatusText("[ProductName] a[1]", UninstallPage::kInfoText);
    EXPECT_EQ(WindowTextOf(theme.Named("IDC_INFO")), "Fixture Notes a<1>");
    page.EnableCancel();
    EXPECT_TRUE(::IsWindowEnabled(theme.Named("IDCANCEL")));
    page.ShowCompletion();
    EXPECT_EQ(WindowTextOf(theme.Named("IDCANCEL")), "Close Fixture Notes");
    EXPECT_EQ(WindowTextOf(theme.Named("IDC_STATIC1")), "{CODE} done");
    // The same window loaded with another page: the reports reach none of its controls.
    page.LoadPage(theme.Folder(), "Uninstall.lcd", 0, 0);
    EXPECT_EQ(page.Progress().BarPoolIndex(), -1);
    EXPECT_EQ(page.Progress().InfoWindowId(), -1);
    page.SetProgressPosition(9);
    EXPECT_EQ(::SendMessageA(theme.Named("IDC_PROGRESS1"), PBM_GETPOS, 0, 0), 0);
    TheProduct().languageFilePath.clear();

    // A bar's name on a text and a page without Cancel: no bar moves, no completion shows.
    theme.WriteTheme(ThemeWithControls("", {"t,0,0,200,20,TEXT,,,1", "b,0,60,200,20,BUTTON,,,2"},
                                       "1,t=1\r\n1,0=ID|IDC_PROGRESS1|0\r\n2,t=2\r\n2,0=ID|IDC_OK|0\r\n2,1=Caption|Ok|1\r\n"),
                     "uninstall.lcd");
    ASSERT_TRUE(theme.Load("uninstall.lcd", 0, 0));
    EXPECT_EQ(theme.Page().Progress().BarPoolIndex(), -1);
    theme.Page().SetProgressRange(10);
    theme.Page().SetProgressPosition(5);
    theme.Page().ShowStatusText("x", UninstallPage::kStatic1Text);
    theme.Page().ShowCompletion();
    EXPECT_EQ(WindowTextOf(theme.Named("IDC_OK")), "Ok");
    EXPECT_EQ(WindowTextOf(theme.Named("IDC_PROGRESS1")), "");
}
