// A wizard host in the test's process with a sequence of three real pages,
// clicked through with the buttons' own clicks.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "support/ThemePage.h"
#include "wizard/WizardHost.h"

namespace {
// Every page carries the same buttons, one per way a click can move.
enum Key { kBack, kNext, kForward, kBackward, kYes, kNo, kFinish, kFinishBack, kFinishHere, kNextBack, kKeys };
// Its identifier, and the click row it has.
const std::pair<const char*, const char*> kButtons[kKeys] = {
    {"IDC_BACK", nullptr},   {"IDC_NEXT", nullptr}, {"IDC_FORWARD", "On Click|1-forward"}, {"IDC_BACKWARD", "On Click|2-backward"},
    {"IDYES", nullptr},      {"IDNO", nullptr},     {"IDC_FINISH", nullptr},                {"IDC_FINISH", "On Click|2-back"},
    {"IDC_FINISH", "Mouse Click|1-"}, {"IDC_NEXT", "On Click|2-"}};

std::string WizardPage(int number) {
    std::vector<std::string> lines;
    std::string rows;
    for (int key = 0; key < kKeys; ++key) {
        lines.push_back("b,10," + std::to_string(10 + key * 28) + ",90,25,BUTTON,,," + std::to_string(key + 10));
        std::vector<std::string> keyRows = {std::string("ID|") + kButtons[key].first + "|0"};
        if (kButtons[key].second != nullptr) keyRows.push_back(std::string(kButtons[key].second) + "|1");
        rows += ThemeRows(key + 10, keyRows);
    }
    return ThemeWithControls("caption=Page " + std::to_string(number) + "\r\nstartup=2\r\nwidth=200\r\nheight=330\r\n",
                             lines, rows);
}

class TestWizard : public WizardHost {
public:
    void OnFinishCommand() override {
        ++finishes;
        if (onFinish) onFinish();
    }
    int finishes = 0;
    std::function<void()> onFinish;
};

// The theme's keys are created from the highest down, from window identifier 3000.
HWND Button(const CImageWindow* page, Key key) { return ::GetDlgItem(page->m_hWnd, 3000 + kKeys - 1 - key); }
void Click(const CImageWindow* page, Key key) { ::SendMessageA(Button(page, key), BM_CLICK, 0, 0); }

class WizardFlow : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 1; n <= 3; ++n) theme.WriteTheme(WizardPage(n), "page" + std::to_string(n) + ".lcd");
        ASSERT_TRUE(wizard.FillPageSequence(theme.Folder(), {"page1.lcd", "page2.lcd", "page3.lcd"}));
    }
    // The current page is the sequence's page with that number, showing.
    void ExpectShowing(int number) const {
        const CImageWindow* page = wizard.CurrentPage();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(WindowTextOf(page->m_hWnd), "Page " + std::to_string(number));
        EXPECT_TRUE(::IsWindowVisible(page->m_hWnd));
        EXPECT_EQ(wizard.PageIndex(), number - 1);
        EXPECT_EQ(page->PageIndex(), number - 1);
        EXPECT_EQ(page->PageCount(), 3);
        EXPECT_EQ(page->FileName(), "page" + std::to_string(number) + ".lcd");
    }

    ThemePage theme{"wizard-host"};  // the folder, and Cancel kept from ending the tests
    TestWizard wizard;
};
}  // namespace

TEST_F(WizardFlow, NextBackAndClickActionsMoveThroughTheSequenceAndOnlyNextAndBackEndTheirPage) {
    EXPECT_EQ(wizard.PageIndex(), -1);
    wizard.GoBack();  // before the first page there is nothing to go back to
    EXPECT_EQ(wizard.CurrentPage(), nullptr);
    wizard.GoNext();
    ExpectShowing(1);
    CImageWindow* first = wizard.CurrentPage();
    EXPECT_EQ(wizard.LastOpenedPage(), first);
    EXPECT_FALSE(::IsWindowEnabled(Button(first, kBack)));

    // A double click on Next: the second click finds its page ended and opens nothing.
    const HWND firstWindow = first->m_hWnd;
    ::PostMessageA(Button(first, kNext), BM_CLICK, 0, 0);
    ::PostMessageA(Button(first, kNext), BM_CLICK, 0, 0);
    PumpLikeTheProgram();
    ExpectShowing(2);
    EXPECT_TRUE(first->Ended());
    EXPECT_FALSE(::IsWindowVisible(firstWindow));
    EXPECT_EQ(wizard.PageWindowCount(), 2u);

    CImageWindow* second = wizard.CurrentPage();
    Click(second, kBack);
    ExpectShowing(1);
    EXPECT_TRUE(second->Ended());
    EXPECT_FALSE(::IsWindow(firstWindow));  // an ended page goes when the next one opens

    // Click action 1 on another control goes forward and keeps its own page.
    CImageWindow* again = wizard.CurrentPage();
    Click(again, kForward);
    ExpectShowing(2);
    EXPECT_FALSE(again->Ended());
    EXPECT_TRUE(::IsWindowVisible(again->m_hWnd));
    Click(wizard.CurrentPage(), kNext);
    ExpectShowing(3);

    // Nothing past the last page: Next keeps it. There Back is disabled, action 2 is not.
    CImageWindow* last = wizard.CurrentPage();
    Click(last, kNext);
    ExpectShowing(3);
    EXPECT_EQ(wizard.CurrentPage(), last);
    EXPECT_FALSE(last->Ended());
    EXPECT_FALSE(::IsWindowEnabled(Button(last, kBack)));
    Click(last, kBackward);
    ExpectShowing(2);
    EXPECT_TRUE(::IsWindowVisible(last->m_hWnd));

    // "IDC_NEXT" with click action 2 goes back and ends its page; nothing before the first.
    CImageWindow* nextBack = wizard.CurrentPage();
    Click(nextBack, kNextBack);
    ExpectShowing(1);
    EXPECT_TRUE(nextBack->Ended());
    const size_t windows = wizard.PageWindowCount();
    Click(wizard.CurrentPage(), kBackward);
    ExpectShowing(1);
    EXPECT_EQ(wizard.PageWindowCount(), windows);
    EXPECT_EQ(wizard.finishes, 0);
    EXPECT_EQ(theme.Aborts(), 0);
}

TEST_F(WizardFlow, FinishYesAndNoFollowTheOrderOfTheTests) {
    enum Outcome { kNothing, kWentBack, kFinished };
    const struct {
        Key key;
        Outcome outcome;
    } cases[] = {{kYes, kNothing}, {kNo, kNothing}, {kFinish, kFinished}, {kFinishBack, kWentBack},
                 {kFinishHere, kFinished}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(wizard.FillPageSequence(theme.Folder(), {"page1.lcd", "page2.lcd", "page3.lcd"}));
        wizard.GoNext();
        wizard.GoNext();
        CImageWindow* page = wizard.CurrentPage();
        const size_t windows = wizard.PageWindowCount();
        const int finishes = wizard.finishes;
        Click(page, c.key);
        EXPECT_EQ(wizard.finishes - finishes, c.outcome == kFinished ? 1 : 0);
        EXPECT_EQ(wizard.PageIndex(), c.outcome == kWentBack ? 0 : 1);
        EXPECT_EQ(wizard.PageWindowCount(), windows + (c.outcome == kWentBack ? 1 : 0));
        EXPECT_FALSE(page->Ended());
    }
}

TEST_F(WizardFlow, APageEndedWhileOneOfItsHandlersRunsOutlivesTheHandler) {
    wizard.GoNext();
    CImageWindow* first = wizard.CurrentPage();
    const HWND firstWindow = first->m_hWnd;
    // A finish that lets clicks through, as a message box would: meanwhile the
    // user goes on twice, and the first page ends under its own Finish click.
    wizard.onFinish = [&] {
        Click(first, kNext);
        Click(wizard.CurrentPage(), kNext);
        ExpectShowing(3);
        EXPECT_TRUE(first->Ended());
        EXPECT_TRUE(::IsWindow(firstWindow));
    };
    Click(first, kFinish);
    EXPECT_EQ(wizard.finishes, 1);
    EXPECT_TRUE(::IsWindow(firstWindow));
    wizard.GoBack();  // the next opening takes the two ended pages
    ExpectShowing(2);
    EXPECT_FALSE(::IsWindow(firstWindow));
    EXPECT_EQ(wizard.PageWindowCount(), 2u);
}

TEST(WizardSequence, HoldsTwentyNamesAndAnEmptyOneOpensNothing) {
    TestWizard wizard;
    wizard.GoNext();
    wizard.GoBack();
    EXPECT_EQ(wizard.CurrentPage(), nullptr);
    EXPECT_EQ(wizard.PageIndex(), -1);
    {
        CImageWindow page(&wizard);
        ASSERT_TRUE(page.Create());
        page.LoadPage("C:\\nowhere\\", "none.lcd", 0, 1);
        EXPECT_EQ(wizard.CurrentPage(), &page);
    }
    EXPECT_EQ(wizard.CurrentPage(), nullptr);  // a page that goes is no longer the host's current one
    std::vector<std::string> names(21);
    for (size_t i = 0; i < names.size(); ++i) names[i] = "p" + std::to_string(i) + ".lcd";
    EXPECT_FALSE(wizard.FillPageSequence("C:\\nowhere\\", names));
    EXPECT_EQ(wizard.PageCount(), 20);
    EXPECT_EQ(wizard.PageName(19), "p19.lcd");
    EXPECT_EQ(wizard.PageName(20), "");
    EXPECT_EQ(wizard.PageIndex(), -1);
    wizard.GoNext();  // a missing page file opens as an empty page, as any page load does
    EXPECT_EQ(wizard.PageIndex(), 0);
    ASSERT_NE(wizard.LastOpenedPage(), nullptr);
    EXPECT_EQ(wizard.LastOpenedPage()->Table().Count(), 0);
}

TEST(PageChoices, ALicencePageWithoutNextStillMovesTheMarks) {
    ThemePage theme("page-choices");
    theme.WriteTheme(ThemeWithControls("", {"a,10,10,150,20,RADIO,,,1", "n,10,40,150,20,RADIO,,,2"},
                                       "1,t=1\r\n1,0=ID|IDC_ACCEPTLICENSE|0\r\n2,t=1\r\n2,0=ID|IDC_NOTACCEPTLICENSE|0\r\n"));
    ASSERT_TRUE(theme.Load());
    auto checked = [&theme](const char* name) { return ::SendMessageA(theme.Named(name), BM_GETCHECK, 0, 0); };
    EXPECT_EQ(checked("IDC_ACCEPTLICENSE"), BST_UNCHECKED);
    EXPECT_EQ(checked("IDC_NOTACCEPTLICENSE"), BST_UNCHECKED);
    for (const char* name : {"IDC_NOTACCEPTLICENSE", "IDC_ACCEPTLICENSE", "IDC_ACCEPTLICENSE"}) {
        ::SendMessageA(theme.Named(name), BM_CLICK, 0, 0);
        const bool accepted = std::string(name) == "IDC_ACCEPTLICENSE";
        EXPECT_EQ(checked("IDC_ACCEPTLICENSE"), accepted ? BST_CHECKED : BST_UNCHECKED) << name;
        EXPECT_EQ(checked("IDC_NOTACCEPTLICENSE"), accepted ? BST_UNCHECKED : BST_CHECKED) << name;
    }
}
