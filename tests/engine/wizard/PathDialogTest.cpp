#include <gtest/gtest.h>
#include <ole2.h>

#include <cstring>

#include "BrowseDialogDriver.h"
#include "UnusedDrive.h"
#include "framework/MessageBox.h"
#include "framework/WinApp.h"
#include "support/TestFiles.h"
#include "support/ThemePage.h"
#include "wizard/PathDialog.h"

namespace {
const char kCaption[] = "Brellix Norvane";
const char kInstruction[] = "Choose destination directory...";

std::string Invalid(const std::string& path) { return "The folder:\n\n" + path + "\n\nis invalid. Please reenter."; }
std::string NotCreated(const std::string& path) {
    return "The folder:\n\n" + path + "\n\ncan not be created. Please double check.";
}
std::string Question(const std::string& path) {
    return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}

bool SamePath(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

class ChooserTestApp : public CWinApp {
public:
    ChooserTestApp() { ::lstrcpyA(m_appTitle, "Norvane"); }
    BOOL InitInstance() override { return TRUE; }
};

// A hidden main window stands where the program's main frame would.
class Chooser : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        base = TestFiles::FreshTempFolder("path-dialog");
        ASSERT_TRUE(mainWindow.CreateEx(0, "STATIC", "main", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr));
        app.m_pMainWnd = &mainWindow;
    }
    void TearDown() override {
        TestFiles::RemoveTree(base);
        ::OleUninitialize();
    }

    // Reads the message box the dialog shows above itself, checks it and answers it.
    static void Answer(BrowseDialogDriver& dialog, const std::string& text, LPCSTR icon, int answer) {
        DialogWindow box = dialog.WaitForMessage();
        ASSERT_TRUE(box) << text;
        EXPECT_EQ(box.Text(), text);
        EXPECT_EQ(box.Caption(), "Norvane");
        EXPECT_TRUE(box.HasIcon(icon)) << text;
        const bool question = icon == IDI_QUESTION;
        EXPECT_EQ(box.HasItem(IDYES) && box.HasItem(IDNO), question);
        EXPECT_EQ(box.HasItem(IDOK), !question);
        EXPECT_FALSE(box.HasItem(IDCANCEL));
        box.Press(answer);
        EXPECT_TRUE(box.WaitClosed(kDriverWaitMs));
    }
    // A refusal leaves the dialog open with the focus back in the path box; false
    // once it is closed, so that a script stops instead of waiting on every step.
    static bool ExpectRefusal(BrowseDialogDriver& dialog, const std::string& text) {
        Answer(dialog, text, IDI_EXCLAMATION, IDOK);
        EXPECT_TRUE(dialog.IsOpen()) << text;
        EXPECT_TRUE(dialog.IsOpen() && dialog.WaitFocusInPathEdit()) << text;
        return dialog.IsOpen();
    }

    ChooserTestApp app;
    CWnd mainWindow;
    std::string base;
};
}  // namespace

// One chooser, as a user meets it: its layout, OK following the box and the
// tree, what it refuses, and a missing folder made on Yes only.
TEST_F(Chooser, ShowsThePathBoxChecksWhatIsTypedAndMakesAMissingFolderOnYesOnly) {
    // The path checks have their own table; here the dialog reads the typed text
    // whole (longer than its buffer: refused, not cut) and as typed.
    const std::string refused[] = {"C:\\" + std::string(997, 'a'), "C:\\a\\", "C:\\a*b"};
    TestFiles::Write(base + "\\file", "in the way");
    const std::string notMade[] = {base + "\\file", UnusedDriveRoot(), UnusedDriveRoot() + "norvane",
                                   base + "\\one\\two\\CON"};
    const std::string wanted = base + "\\new\\deeper";
    CPathDialog chooser(kCaption, kInstruction, "");
    int result = RunWithDriver(chooser, [&](BrowseDialogDriver& dialog) {
        EXPECT_EQ(dialog.Caption(), kCaption);
        EXPECT_EQ(::GetWindow(dialog.Handle(), GW_OWNER), mainWindow.m_hWnd);
        EXPECT_FALSE(::IsWindowEnabled(mainWindow.m_hWnd));
        // The box stands above the tree where the status was.
        HWND status = dialog.Item(CPathDialog::kStatusTextId);
        ASSERT_NE(status, nullptr);
        EXPECT_FALSE(::IsWindowVisible(status));
        HWND edit = dialog.PathEdit();
        ASSERT_EQ(ClassOf(edit), "Edit");
        RECT box{}, tree{};
        ::GetWindowRect(edit, &box);
        ::GetWindowRect(dialog.Item(CPathDialog::kFolderTreeId), &tree);
        EXPECT_EQ(box.left, tree.left);
        EXPECT_EQ(box.right, tree.right);
        EXPECT_EQ(box.bottom, tree.top - 4);
        EXPECT_EQ(box.bottom - box.top, 23);
        const LONG_PTR style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
        EXPECT_EQ(::GetWindowLongPtrA(edit, GWL_STYLE) & style, style);
        EXPECT_TRUE(::GetWindowLongPtrA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(::SendMessageA(edit, WM_GETFONT, 0, 0), ::SendMessageA(dialog.Handle(), WM_GETFONT, 0, 0));
        // An empty starting folder selects nothing; typing starts in the box.
        EXPECT_EQ(dialog.Typed(), "");
        EXPECT_TRUE(dialog.WaitFocusInPathEdit());

        // Nothing selected and nothing typed yet: OK is there, and refuses.
        ASSERT_TRUE(dialog.OkEnabled());
        dialog.ClickOk();
        if (!ExpectRefusal(dialog, Invalid(""))) return;
        for (const std::string& path : refused) {
            dialog.Type(path);
            dialog.ClickOk();
            if (!ExpectRefusal(dialog, Invalid(path))) return;
        }
        for (const std::string& path : notMade) {
            dialog.Type(path);
            dialog.ClickOk();
            Answer(dialog, Question(path), IDI_QUESTION, IDYES);
            if (!ExpectRefusal(dialog, NotCreated(path))) return;
        }

        // OK follows the box and the tree.
        dialog.Type("");
        EXPECT_FALSE(dialog.OkEnabled());
        // Items without a drive path empty the box and disable OK...
        ASSERT_TRUE(dialog.SelectTopItem("My Computer"));
        EXPECT_EQ(dialog.Typed(), "");
        EXPECT_FALSE(dialog.OkEnabled());
        // ...but typing enables it whatever the tree shows.
        dialog.Type("x");
        EXPECT_TRUE(dialog.OkEnabled());
        ASSERT_TRUE(dialog.SelectTopItem("/"));
        EXPECT_EQ(dialog.Typed(), "Z:\\");
        EXPECT_TRUE(dialog.OkEnabled());
        // Wine gives Documents a closing backslash; the box shows the folder as typed.
        ASSERT_TRUE(dialog.SelectTopItem("Documents"));
        std::string documents = dialog.Typed();
        EXPECT_EQ(documents.substr(1, 2), ":\\");
        EXPECT_NE(documents.back(), '\\');
        EXPECT_TRUE(dialog.OkEnabled());

        dialog.Type(wanted);
        dialog.ClickOk();
        Answer(dialog, Question(wanted), IDI_QUESTION, IDNO);
        EXPECT_TRUE(dialog.WaitFocusInPathEdit());
        EXPECT_TRUE(dialog.IsOpen());
        EXPECT_FALSE(TestFiles::Exists(base + "\\new"));
        dialog.ClickOk();
        Answer(dialog, Question(wanted), IDI_QUESTION, IDYES);
        EXPECT_TRUE(dialog.WaitClosed(kDriverWaitMs));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(::IsWindowEnabled(mainWindow.m_hWnd));
    EXPECT_EQ(chooser.ChosenPath(), wanted);
    EXPECT_TRUE(TestFiles::IsDirectory(wanted));
    EXPECT_TRUE(TestFiles::IsDirectory(base + "\\one\\two"));
    EXPECT_FALSE(TestFiles::IsDirectory(base + "\\file"));
    EXPECT_FALSE(TestFiles::Exists("C:\\a"));
}

// The starting folder is shown selected; an existing folder typed is taken at once, by Enter too.
TEST_F(Chooser, StartingFolderOrCurrentDirectoryIsSelectedAndAnExistingFolderTakenAtOnce) {
    CPathDialog chooser(kCaption, kInstruction, base.c_str());
    std::string shown;
    int result = RunWithDriver(chooser, [&](BrowseDialogDriver& dialog) {
        shown = dialog.WaitTyped();
        dialog.Type("C:\\");
        ::PostMessageA(dialog.PathEdit(), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(dialog.WaitClosed(kDriverWaitMs));
    });
    EXPECT_TRUE(SamePath(shown, base)) << shown;
    EXPECT_EQ(result, IDOK);
    EXPECT_STREQ(chooser.ChosenPath(), "C:\\");
    // A later run starts unaccepted, and the close box accepts nothing.
    result = RunWithDriver(chooser, [&](BrowseDialogDriver& dialog) {
        ::PostMessageA(dialog.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(dialog.WaitClosed(kDriverWaitMs));
    });
    EXPECT_NE(result, IDOK);

    // The current directory is moved to a folder on C:, because Wine's browser now and
    // then fails to select a folder deep below Z: (the whole Unix tree) on a cold prefix.
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(base.c_str()));
    CPathDialog noStart(nullptr, kInstruction, nullptr);
    RunWithDriver(noStart, [&](BrowseDialogDriver& dialog) {
        const std::string typed = dialog.WaitTyped();
        EXPECT_TRUE(SamePath(typed, base)) << typed;
        EXPECT_NE(dialog.Caption(), kCaption);
    });
    ::SetCurrentDirectoryA(previous);
}

// Without a running dialog the boxes belong to the main window.
TEST_F(Chooser, ValidateFolderCodes) {
    std::vector<UINT> shown;
    int answer = IDYES;
    SetMessageBoxHandler([&](HWND owner, const char* text, const char* caption, UINT type) {
        EXPECT_EQ(owner, mainWindow.m_hWnd);
        shown.push_back(type);
        return answer;
    });
    CPathDialog chooser(kCaption, kInstruction, "");
    const UINT question = MB_YESNO | MB_ICONQUESTION, refusal = MB_OK | MB_ICONEXCLAMATION;
    struct Case {
        std::string path;
        int answer;
        int code;
        std::vector<UINT> shown;
    } cases[] = {
        {base, IDYES, 0, {}},
        {"C:", IDYES, 1, {refusal}},
        {base + "\\declined", IDNO, -1, {question}},
        {base + "\\unanswered", 0, -1, {question}},  // a box that could not be shown
        {base + "\\made", IDYES, 0, {question}},
        {UnusedDriveRoot() + "x", IDYES, 2, {question, refusal}},
    };
    for (const Case& c : cases) {
        shown.clear();
        answer = c.answer;
        EXPECT_EQ(chooser.ValidateFolder(c.path.c_str()), c.code) << c.path;
        EXPECT_EQ(shown, c.shown) << c.path;
    }
    EXPECT_FALSE(TestFiles::Exists(base + "\\declined") || TestFiles::Exists(base + "\\unanswered"));
    EXPECT_TRUE(TestFiles::IsDirectory(base + "\\made"));
    SetMessageBoxHandler({});
}
