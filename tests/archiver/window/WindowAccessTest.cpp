// doziruzidive without a mouse and through a screen reader: keys pressed as a
// user presses them, the focus and the accessible objects read from this process.
#include <windows.h>
#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "support/ArchiveTestSupport.h"
#include "support/AssistiveView.h"
#include "archive/SevenZip.h"

using namespace ArchiveTest;
using namespace WindowTest;

namespace {
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED

std::wstring NameOf(HWND window) { return AssistiveView::Read(window).name; }
}  // namespace

TEST(ArchiverKeyboard, TheFocusStartsOnTheFirstButtonAndEveryActionAndDialogGivesItBack) {
    const std::wstring folder = FreshFolder(L"window-keyboard");
    MakeDirectories(folder + L"\\dane");
    WriteFile(folder + L"\\dane\\a.txt", std::string(5000, 'a'));
    WriteSettings(folder, folder + L"\\dane", {folder + L"\\dane\\*.*"}, folder + L"\\odtworzone");
    TSevenZip secret(nullptr);  // an archive that asks for its password when restored
    secret.SZFileName = folder + L"\\tajne.7z";
    secret.AddRootDir = folder + L"\\dane";
    secret.Password = L"tajne";
    secret.Files.Add(folder + L"\\dane\\*.*");
    ASSERT_EQ(secret.Add(), 0);
    ArchiverWindow window(folder);
    ASSERT_TRUE(window.WaitShown());
    HWND pack = window.Button(L"Archiwizuj"), load = window.Button(L"Wczytaj archiwum");
    HWND restore = window.Button(L"Odtwórz archiwum");
    auto focusReturnsTo = [&](HWND button) {
        return FormRemote::WaitUntil(
            [&] { return ::IsWindowEnabled(button) && AssistiveView::FocusOf(window.form) == button; }, 60000);
    };
    EXPECT_TRUE(focusReturnsTo(pack));

    // Named for a screen reader, the window without caption text included.
    EXPECT_EQ(NameOf(window.form), L"Doziruzidive");
    EXPECT_EQ(AssistiveView::Read(window.form, OBJID_WINDOW).name, L"Doziruzidive");
    EXPECT_EQ(NameOf(window.listBox), L"Dane do archiwizacji");
    EXPECT_EQ(NameOf(window.list), L"Zawartość archiwum");
    EXPECT_EQ(NameOf(window.fileProgress), L"Postęp pliku");
    EXPECT_EQ(NameOf(window.totalProgress), L"Postęp całości");
    EXPECT_EQ(NameOf(window.status), L"Wynik: 0");

    // A number that is none: the message box, then the focus on the button again.
    ::SendMessageW(window.volsize, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    AssistiveView::PressKey(pack, VK_RETURN);
    HWND dialog = FormRemote::WaitForDialog(window.Id(), 10000);
    ASSERT_TRUE(FormRemote::AnswerFileDialog(window.Id(), dialog, folder + L"\\zle.7z"));
    HWND box = FormRemote::WaitForDialog(window.Id(), 10000);
    ASSERT_NE(box, nullptr);
    FormRemote::PressButton(box, IDOK);
    EXPECT_TRUE(focusReturnsTo(pack));

    // Enter packs through the save dialog; each result is announced.
    AssistiveView::EventCounter announced(window.Id(), kLiveRegionChanged);
    ::SendMessageW(window.volsize, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0"));
    AssistiveView::PressKey(pack, VK_RETURN);
    ASSERT_TRUE(FormRemote::AnswerFileDialog(window.Id(), FormRemote::WaitForDialog(window.Id(), 10000),
                                             folder + L"\\a.7z"));
    EXPECT_TRUE(focusReturnsTo(pack));
    EXPECT_TRUE(announced.WaitFor(window.status, 1));

    // Tab, then Enter loads through the open dialog.
    EXPECT_EQ(AssistiveView::PressKey(pack, VK_TAB, false, load), load);
    AssistiveView::PressKey(load, VK_RETURN);
    ASSERT_TRUE(FormRemote::AnswerFileDialog(window.Id(), FormRemote::WaitForDialog(window.Id(), 10000),
                                             folder + L"\\tajne.7z"));
    EXPECT_TRUE(focusReturnsTo(load));
    EXPECT_TRUE(announced.WaitFor(window.status, 2));
    EXPECT_EQ(NameOf(window.status), L"Wynik: 1");

    // The restore disables its own focused button and asks for the password.
    EXPECT_EQ(AssistiveView::PressKey(load, VK_TAB, false, restore), restore);
    AssistiveView::PressKey(restore, VK_RETURN);
    HWND question = window.WaitForPasswordDialog();
    ASSERT_NE(question, nullptr);
    ::SendMessageW(::GetDlgItem(question, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"tajne"));
    FormRemote::PressButton(question, IDOK);
    EXPECT_TRUE(focusReturnsTo(restore));
    EXPECT_TRUE(announced.WaitFor(window.status, 3));
    EXPECT_EQ(NameOf(window.status), L"Wynik: 0");
    EXPECT_TRUE(Exists(folder + L"\\odtworzone\\a.txt"));
    EXPECT_EQ(window.End(), 0u);
}
