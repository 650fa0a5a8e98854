// doziruzidive as a process: its window read back through the window API and as a
// screen reader reads it, its buttons clicked, its keys pressed and its dialogs
// answered as a user would, its archives checked with Debian's native 7zz and its
// restored files compared byte for byte.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "TestPaths.h"
#include "archive/WidePath.h"
#include "WindowTestSupport.h"
#include "support/ArchiveTestSupport.h"
#include "support/AssistiveView.h"
#include "window/SettingsRecord.h"

using namespace ArchiveTest;
using namespace WindowTest;

namespace {
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED

std::wstring SystemText(DWORD error) {
    wchar_t text[512] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 512, nullptr);
    std::wstring message = text;
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message;
}

LONG_PTR Style(HWND window) { return ::GetWindowLongPtrW(window, GWL_STYLE); }

COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(window, &point);
    HDC screen = ::GetDC(nullptr);
    COLORREF colour = ::GetPixel(screen, point.x, point.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

// The items of `7zz l -slt` by path ('\' for '/'): size, CRC and whether a folder.
struct NativeItem {
    std::wstring size, crc;
    bool folder = false;
};
std::map<std::wstring, NativeItem> NativeList(const std::wstring& archive) {
    std::string text;
    EXPECT_EQ(RunNative("7zz l -slt '" + UnixPath(archive) + "'", &text), 0);
    std::map<std::wstring, NativeItem> items;
    std::istringstream lines(text.substr(std::min(text.size(), text.find("----------"))));
    std::wstring path;
    for (std::string line; std::getline(lines, line);) {
        auto value = [&](const char* key) { return Widen(line.substr(std::string(key).size())); };
        if (line.rfind("Path = ", 0) == 0) {
            path = value("Path = ");
            std::replace(path.begin(), path.end(), L'/', L'\\');
            items[path];
        } else if (line.rfind("Size = ", 0) == 0) {
            items[path].size = value("Size = ");
        } else if (line.rfind("CRC = ", 0) == 0) {
            items[path].crc = value("CRC = ");
        } else if (line.rfind("Attributes = D", 0) == 0) {
            items[path].folder = true;
        }
    }
    return items;
}

// Files and folders for an archive of the component, made in this process.
void PackWithComponent(const std::wstring& archive, const std::wstring& root,
                       const std::function<void(TSevenZip&)>& setUp = {}) {
    TSevenZip zip(nullptr);
    zip.SZFileName = archive;
    zip.AddRootDir = root;
    zip.AddOptions.Include(AddOptsEnum::AddRecurseDirs);
    zip.Files.Add(root + L"\\*.*");
    if (setUp) setUp(zip);
    ASSERT_EQ(zip.Add(), 0);
}

// The file dialog the window shows next, answered with the name.
bool AnswerNextFileDialog(const ArchiverWindow& window, const std::wstring& name) {
    return FormRemote::AnswerFileDialog(window.Id(), FormRemote::WaitForDialog(window.Id(), 10000), name);
}

// The text of the message box the window shows next, which is then answered.
std::wstring BoxText(const ArchiverWindow& window) {
    HWND box = FormRemote::WaitForDialog(window.Id(), 20000);
    wchar_t text[1024] = L"(no box)";
    if (box == nullptr) return text;
    ::GetDlgItemTextW(box, 0xFFFF, text, 1024);
    FormRemote::PressButton(box, IDOK);
    return text;
}

// Clicks the button (and with a name answers the open dialog), then answers the
// box the action shows; its text, once the action is over.
std::wstring AnswerBox(ArchiverWindow& window, const wchar_t* caption, const std::wstring& load = {}) {
    HWND button = window.Button(caption);
    if (!FormRemote::Click(button)) return L"(not clicked)";
    if (!load.empty()) AnswerNextFileDialog(window, load);
    const std::wstring text = BoxText(window);
    FormRemote::WaitUntil([&] { return ::IsWindowEnabled(button) != FALSE; }, 20000);
    return text;
}

}  // namespace

TEST(ArchiverWindow, ShowsEveryControlInPlaceWithTheSettingsEntries) {
    const std::wstring folder = FreshFolder(L"window-layout");
    TSettingsRecord record;
    record.Entries[1] = "C:\\dane\\a.txt";
    record.Entries[2] = "C:\\dane\\za\xBF\xF3\xB3\xE6.txt";  // zażółć in code page 1250
    record.Entries[4] = std::string(200, 'q');
    record.Entries[50] = std::string(200, 'z');
    record.Entries[51] = "C:\\odtworzone";
    record.Entries[5] = "  \t ";  // blank: no row
    std::string bytes;
    ASSERT_TRUE(FormatSettingsRecord(record, bytes));
    bytes[4 * kSettingsEntrySize] = static_cast<char>(255);  // reads as 200
    // Lengths of text that holds nothing (a NUL ends it), one above the text size.
    bytes[6 * kSettingsEntrySize] = static_cast<char>(200);
    bytes[7 * kSettingsEntrySize] = static_cast<char>(255);
    WriteSettingsBytes(folder, bytes);

    ArchiverWindow window(folder);
    ASSERT_TRUE(window.WaitShown());
    HWND form = window.form;
    EXPECT_EQ(FormRemote::TextOf(form), L"");
    const LONG_PTR style = Style(form);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX));
    RECT client{}, frame{};
    ::GetClientRect(form, &client);
    EXPECT_EQ(client.right, 756);
    EXPECT_EQ(client.bottom, 466);
    ::GetWindowRect(form, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    struct Expected {
        const wchar_t* className;
        RECT rect;
        const wchar_t* text;
    };
    const Expected controls[] = {
        {L"Static", {16, 8, 156, 27}, L"Doziruzidive"},
        {L"Static", {166, 12, 566, 27}, L"0"},
        {L"Static", {16, 32, 561, 45}, L""},
        {L"Static", {16, 56, 156, 71}, L"Postęp pliku"},
        {PROGRESS_CLASSW, {160, 52, 561, 73}, L""},
        {L"Static", {16, 85, 156, 100}, L"Postęp całości"},
        {PROGRESS_CLASSW, {160, 80, 561, 101}, L""},
        {L"TPanel", {604, 12, 741, 105}, L""},
        {L"SysListView32", {8, 112, 745, 325}, L""},
        {L"Static", {9, 336, 209, 351}, L"Dane do archiwizacji"},
        {L"ListBox", {12, 352, 405, 457}, L""},
        {L"Button", {616, 336, 745, 358}, L"Archiwizuj"},
        {L"Button", {616, 360, 745, 382}, L"Wczytaj archiwum"},
        {L"Button", {616, 388, 745, 410}, L"Odtwórz archiwum"},
        {L"Button", {616, 436, 745, 458}, L"Koniec"},
    };
    std::vector<HWND> visible;
    for (HWND child : FormRemote::Children(form))
        if (::IsWindowVisible(child)) visible.push_back(child);
    ASSERT_EQ(visible.size(), std::size(controls));
    for (size_t i = 0; i < visible.size(); ++i) {
        const Expected& want = controls[i];
        RECT got = FormRemote::RectInParent(visible[i]);
        EXPECT_EQ(FormRemote::ClassOf(visible[i]), want.className) << i;
        EXPECT_TRUE(EqualRect(&got, &want.rect)) << i << ": " << got.left << "," << got.top << "," << got.right
                                                 << "," << got.bottom;
        if (FormRemote::ClassOf(visible[i]) != L"ListBox") {
            EXPECT_EQ(FormRemote::TextOf(visible[i]), want.text) << i;
        }
    }
    EXPECT_TRUE(Style(window.status) & SS_RIGHT);
    HWND image = ::GetWindow(visible[7], GW_CHILD);
    RECT imageRect = FormRemote::RectInParent(image);
    EXPECT_EQ(FormRemote::ClassOf(image), L"TImage");
    const RECT imageWanted{12, 4, 121, 73};
    EXPECT_TRUE(EqualRect(&imageRect, &imageWanted));
    for (const wchar_t* caption : {L"Archiwizuj", L"Wczytaj archiwum", L"Odtwórz archiwum", L"Koniec"}) {
        HWND button = window.Button(caption);
        EXPECT_EQ(Style(button) & BS_TYPEMASK, BS_OWNERDRAW) << caption;
        EXPECT_TRUE(Style(button) & WS_TABSTOP) << caption;
    }
    // The hidden boxes: the volume size and the password used when archiving.
    ASSERT_NE(window.volsize, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window.volsize));
    EXPECT_EQ(FormRemote::TextOf(window.volsize), L"0");
    EXPECT_FALSE(::IsWindowVisible(window.password));
    EXPECT_EQ(FormRemote::TextOf(window.password), L"");

    EXPECT_EQ(window.ListBoxItems(), (std::vector<std::wstring>{L"C:\\dane\\a.txt", L"C:\\dane\\zażółć.txt",
                                                               std::wstring(200, L'q'), std::wstring(200, L'z')}));
    EXPECT_EQ(::SendMessageW(window.listBox, LB_GETITEMHEIGHT, 0, 0), 14);

    const LONG_PTR listStyle = Style(window.list);
    EXPECT_EQ(listStyle & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_FALSE(listStyle & (LVS_SINGLESEL | LVS_EDITLABELS));
    EXPECT_TRUE(::SendMessageW(window.list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
    FormRemote::ListView list(window.list);
    const std::pair<const wchar_t*, int> columns[] = {{L"Nazwa", 130},        {L"Katalog", 110}, {L"Attr", 30},
                                                       {L"Rozmiar po", 80},   {L"Rozmiar przed", 90},
                                                       {L"CRC", 83},          {L"Metoda", 60},   {L"ID", 30},
                                                       {L"Data/Czas", 120}};
    ASSERT_EQ(list.ColumnCount(), 9);
    for (int i = 0; i < 9; ++i) {
        FormRemote::ListView::Column column = list.GetColumn(i);
        EXPECT_EQ(column.text, columns[i].first);
        EXPECT_EQ(column.width, columns[i].second);
        EXPECT_EQ(column.format, i == 3 || i == 4 || i == 7 ? LVCFMT_RIGHT : LVCFMT_LEFT) << i;
    }
    EXPECT_EQ(list.ItemCount(), 0);

    // Colours as drawn: the window's background, the white panel, the logo's navy box.
    ::RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(ScreenPixel(form, 4, 460), RGB(243, 243, 243));
    EXPECT_EQ(ScreenPixel(form, 607, 100), RGB(255, 255, 255));
    COLORREF box = ScreenPixel(form, 604 + 12 + 20, 12 + 4 + 40);
    EXPECT_GT(GetBValue(box), 100);
    EXPECT_LT(GetRValue(box), 60);

    EXPECT_EQ(window.End(), 0u);
}

TEST(ArchiverWindow, AMissingOrShortSettingsFileShowsTheSystemsTextAndTheWindowOpens) {
    const std::wstring folder = FreshFolder(L"window-no-settings");
    const std::pair<const char*, DWORD> cases[] = {{nullptr, ERROR_FILE_NOT_FOUND},
                                                   {"", ERROR_HANDLE_EOF},
                                                   {"short", ERROR_HANDLE_EOF}};
    for (const auto& [content, error] : cases) {
        ::DeleteFileW((folder + L"\\doziruzidive_config.dat").c_str());
        if (content != nullptr)
            WriteSettingsBytes(folder, *content == 0 ? std::string() : std::string(kSettingsRecordSize - 1, 'x'));
        ArchiverWindow window(folder);
        EXPECT_EQ(BoxText(window), SystemText(error));
        ASSERT_TRUE(window.WaitShown());
        EXPECT_EQ(window.Status(), L"Label1");
        EXPECT_TRUE(window.ListBoxItems().empty());
        EXPECT_EQ(window.End(), 0u);
    }
}

// One window packs, loads and restores: by keyboard, the focus given back after
// each action and dialog and each result announced to a screen reader; with the
// hidden boxes, in volumes of a password; and by the mouse, all or the chosen rows.
TEST(ArchiverWindow, PacksLoadsAndRestoresByKeyboardAndMouseInVolumesAndWithAPassword) {
    const std::wstring folder = FreshFolder(L"window-pack"), out = folder + L"\\odtworzone";
    const std::wstring src = folder + L"\\źródło";
    MakeDirectories(src + L"\\dokumenty\\pusty");
    WriteTree(src, {{L"README.txt", NoiseBytes(3000, 1)}, {L"dokumenty\\raport.txt", std::string(5000, 'r')},
                    {L"dokumenty\\zażółć gęślą jaźń.txt", "Zażółć gęślą jaźń"}, {L"dokumenty\\pusty.txt", ""},
                    {L"dokumenty\\podkatalog\\głęboki.txt", NoiseBytes(70000, 2)}});
    std::vector<std::wstring> entries = {src + L"\\README.txt", src + L"\\brak.txt", src + L"\\brak\\*.*",
                                         src + L"\\dokumenty\\*.*"};
    for (int i = 0; entries.size() < 50; ++i) {
        std::wstring k = L"k" + std::to_wstring(i);
        WriteTree(src, {{k + L"\\a.txt", "a" + std::to_string(i)}, {k + L"\\b.bin", "b"}});  // the mask .txt leaves b.bin out
        entries.push_back(src + L"\\" + k + L"\\*.txt");
    }
    Tree expected = ReadTree(src);
    std::erase_if(expected, [](const auto& item) { return item.first.ends_with(L".bin"); });
    WriteSettings(folder, src + L"\\", entries, out);

    ArchiverWindow window(folder);
    ASSERT_TRUE(window.WaitShown());
    EXPECT_EQ(window.ListBoxItems(), entries);
    HWND pack = window.Button(L"Archiwizuj"), load = window.Button(L"Wczytaj archiwum");
    HWND restore = window.Button(L"Odtwórz archiwum");
    auto focusReturnsTo = [&](HWND button) {
        return FormRemote::WaitUntil(
            [&] { return ::IsWindowEnabled(button) && AssistiveView::FocusOf(window.form) == button; }, 60000);
    };
    EXPECT_TRUE(focusReturnsTo(pack));
    // Named for a screen reader, the window without caption text included.
    EXPECT_EQ(AssistiveView::Read(window.form).name, L"Doziruzidive");
    EXPECT_EQ(AssistiveView::Read(window.form, OBJID_WINDOW).name, L"Doziruzidive");
    EXPECT_EQ(AssistiveView::Read(window.listBox).name, L"Dane do archiwizacji");
    EXPECT_EQ(AssistiveView::Read(window.list).name, L"Zawartość archiwum");
    EXPECT_EQ(AssistiveView::Read(window.fileProgress).name, L"Postęp pliku");
    EXPECT_EQ(AssistiveView::Read(window.totalProgress).name, L"Postęp całości");
    EXPECT_EQ(AssistiveView::Read(window.status).name, L"Wynik: 0");

    // A volume size that is no number: the message box, no archive, the focus back.
    ::SendMessageW(window.volsize, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    AssistiveView::PressKey(pack, VK_RETURN);
    ASSERT_TRUE(AnswerNextFileDialog(window, folder + L"\\zle.7z"));
    EXPECT_EQ(BoxText(window), L"'abc' is not a valid integer value");
    EXPECT_TRUE(focusReturnsTo(pack));
    EXPECT_FALSE(Exists(folder + L"\\zle.7z"));

    // Enter packs through the save dialog, in volumes of 8000 bytes with a password;
    // Add's result, not the last file's name: written, two entries left out as not there.
    AssistiveView::EventCounter announced(window.Id(), kLiveRegionChanged);
    ::SendMessageW(window.volsize, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"8000"));
    ::SendMessageW(window.password, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"tajne"));
    AssistiveView::PressKey(pack, VK_RETURN);
    ASSERT_TRUE(AnswerNextFileDialog(window, folder + L"\\tomy.7z"));
    EXPECT_TRUE(focusReturnsTo(pack));
    EXPECT_TRUE(announced.WaitFor(window.status, 1));
    EXPECT_EQ(window.Status(), L"1");
    const std::wstring first = folder + L"\\tomy.7z.001";
    ASSERT_TRUE(Exists(folder + L"\\tomy.7z.003"));
    EXPECT_EQ(FileSize(first), 8000u);
    EXPECT_NE(RunNative("7zz t -pzle '" + UnixPath(first) + "' >/dev/null 2>&1"), 0);
    EXPECT_EQ(RunNative("7zz t -ptajne '" + UnixPath(first) + "' >/dev/null"), 0);
    // Held once written, each volume.
    EXPECT_EQ(::CreateFileW((folder + L"\\tomy.7z.003").c_str(), GENERIC_WRITE, 7, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // The restore disables its own focused button and asks for the password: what
    // was written is what it finds, without a load in between.
    auto restoreByKey = [&](const wchar_t* password) {
        AssistiveView::PressKey(restore, VK_RETURN);
        HWND question = window.WaitForPasswordDialog();
        ASSERT_NE(question, nullptr);
        ::SendMessageW(::GetDlgItem(question, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password));
        FormRemote::PressButton(question, IDOK);
        EXPECT_TRUE(focusReturnsTo(restore));
    };
    EXPECT_EQ(AssistiveView::PressKey(pack, VK_TAB, false, load), load);
    EXPECT_EQ(AssistiveView::PressKey(load, VK_TAB, false, restore), restore);
    restoreByKey(L"tajne");
    EXPECT_EQ(window.Status(), L"0");
    EXPECT_TRUE(ReadFile(out + L"\\README.txt") == NoiseBytes(3000, 1));
    RemoveTree(out);

    // Shift+Tab, then Enter loads through the open dialog; the password box served
    // the pack alone: the restore asks, and a wrong answer restores nothing.
    EXPECT_EQ(AssistiveView::PressKey(restore, VK_TAB, true, load), load);
    AssistiveView::PressKey(load, VK_RETURN);
    ASSERT_TRUE(AnswerNextFileDialog(window, first));
    EXPECT_TRUE(focusReturnsTo(load));
    EXPECT_TRUE(announced.WaitFor(window.status, 3));
    const std::wstring listed = window.Status();
    EXPECT_EQ(AssistiveView::Read(window.status).name, L"Wynik: " + listed);
    EXPECT_EQ(AssistiveView::PressKey(load, VK_TAB, false, restore), restore);
    restoreByKey(L"zle");
    EXPECT_EQ(window.Status(), L"-1");
    EXPECT_FALSE(Exists(out + L"\\README.txt"));
    restoreByKey(L"tajne");
    EXPECT_EQ(AssistiveView::Read(window.status).name, L"Wynik: 0");
    ExpectSameTree(expected, ReadTree(out), 20000000);
    RemoveTree(out);

    // By the mouse, one archive of the same entries: typed without an extension,
    // the dialog adds ".7z".
    ::SendMessageW(window.volsize, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0"));
    ::SendMessageW(window.password, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    ASSERT_TRUE(window.Pack(folder + L"\\archiwum"));
    EXPECT_EQ(window.Status(), L"1");
    const std::wstring archive = folder + L"\\archiwum.7z";
    EXPECT_EQ(RunNative("7zz t '" + UnixPath(archive) + "' >/dev/null"), 0);
    std::map<std::wstring, NativeItem> native = NativeList(archive);
    EXPECT_EQ(native.size(), expected.size());
    EXPECT_EQ(::SendMessageW(window.totalProgress, PBM_GETPOS, 0, 0),
              ::SendMessageW(window.totalProgress, PBM_GETRANGE, FALSE, 0));
    ASSERT_TRUE(window.Load(archive));
    EXPECT_EQ(window.Status(), std::to_wstring(native.size()));
    EXPECT_EQ(window.Status(), listed);
    std::vector<std::vector<std::wstring>> rows = window.Rows();
    size_t files = 0;
    for (const auto& [path, item] : native) files += item.folder ? 0 : 1;
    EXPECT_EQ(rows.size(), files);  // directories with attributes 16 have no row
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 9u);
        auto found = native.find(row[1] + row[0]);
        ASSERT_NE(found, native.end()) << Narrow(row[1] + row[0]);
        EXPECT_EQ(row[4], found->second.size);
        EXPECT_EQ(row[5], found->second.crc.empty() ? L"00000000" : found->second.crc);
        EXPECT_EQ(row[2], L"32");
        EXPECT_FALSE(row[8].empty());
    }
    ASSERT_TRUE(window.Restore());
    EXPECT_EQ(window.Status(), L"0");
    ExpectSameTree(expected, ReadTree(out), 20000000);
    RemoveTree(out);
    ASSERT_TRUE(window.SelectRows({0, 2}));
    ASSERT_TRUE(window.Restore());
    std::map<std::wstring, std::string> chosen;
    for (size_t row : {0u, 2u}) chosen[rows[row][1] + rows[row][0]] = expected[rows[row][1] + rows[row][0]].content;
    EXPECT_TRUE(Files(out) == chosen);
    EXPECT_EQ(window.End(), 0u);
}

// One window without entries to pack, restoring into its start folder: archives
// damaged, hostile, encrypted, in volumes elsewhere and of a hundred thousand items.
TEST(ArchiverWindow, AWindowWithoutEntriesListsAndRestoresOnlyWhatIsSound) {
    const std::wstring folder = FreshFolder(L"window-no-entries"), start = folder + L"\\start";
    // Entries that are blank, or whose text holds nothing, name nothing to pack
    // (packed, they would stand for the current folder).
    MakeDirectories(start);
    WriteSettings(start, L"", {L"   ", L"\t", L"", L""}, L"");
    std::string bytes = ReadFile(start + L"\\doziruzidive_config.dat");
    bytes[3 * kSettingsEntrySize] = static_cast<char>(200);
    bytes[4 * kSettingsEntrySize] = static_cast<char>(255);
    WriteSettingsBytes(start, bytes);
    const std::wstring src = folder + L"\\dane";
    WriteTree(src, {{L"a.txt", NoiseBytes(40000, 4)}, {L"b.txt", "b"}});
    PackWithComponent(folder + L"\\dobre.7z", src);
    const std::string good = ReadFile(folder + L"\\dobre.7z");
    WriteTree(folder, {{L"tekst.7z", "to nie jest archiwum"}, {L"uciete.7z", good.substr(0, good.size() / 2)}, {L"puste.7z", ""}});
    ASSERT_EQ(RunNative("cd '" + UnixPath(src) + "' && 7zz a -mhe=on -ptajne ../szyfr.7z . >/dev/null"), 0);
    // Stored paths that climb out of the restore folder, around one that does not.
    WriteFile(src + L"\\c.txt", "c");
    PackWithComponent(folder + L"\\wrogie.7z", src, [](TSevenZip& zip) {
        zip.OnSetAddName = [next = 0](TObject*, uint32_t, std::wstring& name) mutable {
            const wchar_t* names[] = {L"..\\escaped.txt", L"ok.txt", L"\\rooted.txt"};
            name = names[next++ % 3];
        };
    });
    const auto packed = MakeMixedArchive(folder);  // arc.7z
    for (const auto& [name, content] : packed) WriteFile(start + L"\\" + name, "stary");
    MakeDirectories(folder + L"\\tomy");
    MakeDirectories(folder + L"\\gdzie");
    const std::wstring moved = folder + L"\\gdzie\\set.7z.003";
    const std::vector<std::wstring> volumes = PackVolumes(folder + L"\\tomy", L"set.7z", 2000, 5000);
    ASSERT_TRUE(volumes.size() == 3 && ::MoveFileW(volumes[2].c_str(), moved.c_str()));
    const std::vector<std::wstring> cut = PackVolumes(folder + L"\\tomy", L"cut.7z", 2000, 5000);
    WriteFile(cut[1], "a volume cut short");
    const std::string unix = UnixPath(folder);
    ASSERT_EQ(RunNative("mkdir -p '" + unix + "/sto' && cd '" + unix +
                        "/sto' && for d in $(seq 0 99); do mkdir k$d && (cd k$d && seq 0 999 | sed s/^/p/ | "
                        "xargs touch); done && 7zz a -mx0 ../sto.7z . >/dev/null && rm -rf '" + unix + "/sto'"),
              0);

    ArchiverWindow window(start);
    ASSERT_TRUE(window.WaitShown());
    EXPECT_TRUE(window.ListBoxItems().empty());
    ASSERT_TRUE(window.Load(folder + L"\\dobre.7z"));
    EXPECT_EQ(window.Rows().size(), 2u);
    // Packing names another archive: the rows, which restoring would go by, go.
    ASSERT_TRUE(window.Pack(folder + L"\\nic.7z"));
    EXPECT_FALSE(Exists(folder + L"\\nic.7z"));
    EXPECT_EQ(window.Status(), L"-1");
    EXPECT_TRUE(window.Rows().empty());
    ASSERT_TRUE(window.Load(folder + L"\\dobre.7z"));
    ASSERT_TRUE(window.Restore());
    EXPECT_TRUE(ReadFile(start + L"\\a.txt") == NoiseBytes(40000, 4));
    EXPECT_EQ(ReadFile(start + L"\\b.txt"), "b");
    // Names encrypted: the window asks for the password, and the listing goes with it.
    ASSERT_TRUE(window.Load(folder + L"\\szyfr.7z", L"tajne"));
    EXPECT_EQ(window.Rows().size(), 2u);
    for (const wchar_t* name : {L"tekst.7z", L"uciete.7z", L"puste.7z", L"szyfr.7z", L"brak.7z"}) {
        // For szyfr.7z the question is declined.
        ASSERT_TRUE(window.Load(folder + L"\\" + name, name == std::wstring(L"szyfr.7z") ? L"" : nullptr)) << Narrow(name);
        EXPECT_EQ(window.Status(), L"-1") << Narrow(name);
        EXPECT_TRUE(window.Rows().empty()) << Narrow(name);  // the rows of the archive before are gone
    }
    ASSERT_TRUE(window.Restore());  // of the last name, which is no archive
    EXPECT_EQ(window.Status(), L"-1");
    ASSERT_TRUE(window.Load(folder + L"\\wrogie.7z"));
    EXPECT_EQ(window.Rows().size(), 3u);
    ASSERT_TRUE(window.Restore());
    EXPECT_TRUE(Exists(start + L"\\ok.txt"));
    EXPECT_TRUE(Exists(start + L"\\rooted.txt"));  // its root taken away
    for (const auto& [path, entry] : ReadTree(folder))
        EXPECT_FALSE(path.find(L"escaped") != std::wstring::npos || (path.find(L"rooted") != std::wstring::npos && !path.starts_with(L"start\\"))) << Narrow(path);

    // Declined ("Anuluj"), wrong, right: the damaged file and, until the right
    // password, the encrypted one stay as they were; each restore is a failure.
    ASSERT_TRUE(window.Load(folder + L"\\arc.7z"));
    for (const wchar_t* password : {L"", L"zle", L"sekret"}) {
        ASSERT_TRUE(window.Restore(password)) << Narrow(password);
        EXPECT_EQ(window.Status(), L"-1");
        EXPECT_EQ(ReadFile(start + L"\\damaged.txt"), "stary");
        EXPECT_TRUE(ReadFile(start + L"\\good.txt") == packed.at(L"good.txt"));
        EXPECT_EQ(ReadFile(start + L"\\secret.txt") == packed.at(L"secret.txt"), password == std::wstring(L"sekret"));
        EXPECT_TRUE(TemporaryFiles(start).empty());
    }
    ASSERT_TRUE(window.SelectRows({1, 2}));  // the sound items alone
    ASSERT_TRUE(window.Restore(L"sekret"));
    EXPECT_EQ(window.Status(), L"0");
    // The password dialog, in Polish, is the window's, which waits meanwhile.
    HWND restore = window.Button(L"Odtwórz archiwum");
    ASSERT_TRUE(FormRemote::Click(restore));
    HWND dialog = window.WaitForPasswordDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), window.form);
    EXPECT_FALSE(::IsWindowEnabled(window.form));
    EXPECT_TRUE(::GetWindowLongPtrW(::GetDlgItem(dialog, 101), GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(FormRemote::TextOf(::GetDlgItem(dialog, IDOK)), L"OK");
    EXPECT_EQ(FormRemote::TextOf(::GetDlgItem(dialog, IDCANCEL)), L"Anuluj");
    FormRemote::PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(FormRemote::WaitUntil([&] { return ::IsWindowEnabled(restore) != FALSE; }, 20000));

    // Folders packed on Unix carry mode bits beside 16: they have rows too.
    ASSERT_TRUE(window.Load(folder + L"\\sto.7z"));
    EXPECT_EQ(window.Status(), L"100100");
    FormRemote::ListView list(window.list);
    ASSERT_EQ(list.ItemCount(), 100100);
    EXPECT_EQ(list.CellText(100099, 7), L"100099");
    EXPECT_FALSE(list.CellText(100099, 0).empty());

    // A volume cut short is named, none past the set's end asked for.
    EXPECT_EQ(AnswerBox(window, L"Wczytaj archiwum", cut[0]),
              L"Wolumin \u201Ecut.7z.002\u201D jest krótszy, niż wymaga zestaw woluminów: archiwum nie może zostać "
              L"odczytane.");
    EXPECT_EQ(window.Status(), L"-1");
    // Each operation asks for the last volume, which lies elsewhere, in the window's prompt.
    HWND load = window.Button(L"Wczytaj archiwum");
    auto prompted = [&](HWND button, const std::wstring& name) {
        HWND prompt = FormRemote::WaitForDialog(window.Id(), 20000);
        EXPECT_EQ(FormRemote::TextOf(prompt), L"Select volume");
        EXPECT_EQ(::GetWindow(prompt, GW_OWNER), window.form);
        EXPECT_FALSE(::IsWindowEnabled(window.form));
        return name.empty() || (FormRemote::AnswerFileDialog(window.Id(), prompt, name) &&
                                FormRemote::WaitUntil([&] { return ::IsWindowEnabled(button) != FALSE; }, 60000));
    };
    ASSERT_TRUE(FormRemote::Click(load));
    ASSERT_TRUE(AnswerNextFileDialog(window, volumes[0]));
    ASSERT_TRUE(prompted(load, moved));
    EXPECT_EQ(window.Status(), L"1");
    ASSERT_TRUE(FormRemote::Click(restore) && prompted(restore, moved));
    EXPECT_EQ(window.Status(), L"0");
    EXPECT_TRUE(ReadFile(start + L"\\content.bin") == NoiseBytes(5000, 7));
    // "Koniec" while the prompt is open (the window, disabled, can only be told so).
    ASSERT_TRUE(FormRemote::Click(restore) && prompted(restore, L""));
    HWND koniec = window.Button(L"Koniec");
    ASSERT_TRUE(::PostMessageW(window.form, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(koniec), BN_CLICKED),
                               reinterpret_cast<LPARAM>(koniec)));
    EXPECT_EQ(window.Process().Wait(30000), std::optional<DWORD>(0u));
}

// The restore goes by the rows' IDs: another archive under the name listed (of
// another size; or of the same size and time, with other items at the chosen IDs
// or the same names with other contents) is not restored, nor one that a pack did
// not write. The archive listed is held until another is loaded or the window
// closes. Names show every character, in the list as in archivecli's listing, an
// item without a name by the name it is restored under, and are restored exactly.
TEST(ArchiverWindow, TheRestoreActsOnTheArchiveListedOrOnNoneAndNamesShowAsWritten) {
    const std::wstring folder = FreshFolder(L"window-same-archive"), out = folder + L"\\odtworzone";
    const std::wstring archive = folder + L"\\archive.7z", stale = folder + L"\\stale.7z";
    // In place of archive.7z: one of its size and time with config.ini as ID 0
    // (7-Zip orders items by name), and one with an item more.
    auto pack = [&](const std::wstring& name, const std::vector<std::pair<std::wstring, std::string>>& files) {
        const std::wstring src = folder + L"\\" + name + L".d";
        for (const auto& [file, content] : files) {
            MakeDirectories(DirectoryPart(src + L"\\" + file));
            WriteFile(src + L"\\" + file, content);
        }
        ASSERT_EQ(RunNative("cd '" + UnixPath(src) + "' && 7zz a -mx0 -mhc=off ../" + Narrow(name) + " . >/dev/null"), 0);
        SetLastWriteTime(folder + L"\\" + name, MakeFileTime(2026, 1, 2, 3, 4, 6));
    };
    pack(L"archive.7z", {{L"a.txt", "aaaa"}, {L"config.ini", "cccc"}});
    pack(L"listed.7z", {{L"a.txt", "aaaa"}, {L"config.ini", "cccc"}});
    pack(L"swapped.7z", {{L"config.ini", "aaaa"}, {L"z.txt", "cccc"}});
    pack(L"same-names.7z", {{L"a.txt", "bbbb"}, {L"config.ini", "dddd"}});
    pack(L"larger.7z", {{L"a.txt", "aaaa"}, {L"b.txt", "b"}, {L"config.ini", "cccc"}});
    pack(L"stale.7z", {{L"config.ini", "stale"}, {L"stale.txt", "stale"}});
    const std::vector<std::pair<std::wstring, std::wstring>> names = {
        {L"invoice\u202Etxt.exe", L"invoice<U+202E>txt.exe"},
        {L"faktura\u2067fdp.scr", L"faktura<U+2067>fdp.scr"},
        {L"report.txt" + std::wstring(60, L' ') + L".exe", L"report.txt<U+0020\u00D760>.exe"},
        {L"zero\u200Bwidth\\moje dane.txt", L"zero<U+200B>width\\moje dane.txt"},
    };
    std::vector<std::pair<std::wstring, std::string>> files;
    for (const auto& [stored, shown] : names) files.emplace_back(stored, "plik");
    pack(L"nazwy.7z", files);
    ChildProcess cli(Widen(NORVANE_BIN_DIR) + L"\\archivecli.exe", L"list nazwy.7z", folder, folder + L"\\cli.txt");
    ASSERT_EQ(cli.Wait(30000), std::optional<DWORD>(0u));
    ASSERT_EQ(FileSize(archive), FileSize(folder + L"\\swapped.7z"));
    ASSERT_EQ(FileSize(archive), FileSize(folder + L"\\same-names.7z"));
    const std::string staleBytes = ReadFile(stale);
    ASSERT_TRUE(WriteNamedItemsArchive(folder + L"\\binvoice\u202Etxt.exe.7z", {L"=faktura"}));
    // A program that is no Windows program (the hold is the Windows programs'
    // rule) copies another archive in, the times put back; or renames it away
    // and puts the other in its place.
    auto replace = [&](const wchar_t* by, bool inPlace) {
        const std::string from = "'" + UnixPath(folder + L"\\" + by) + "'", to = "'" + UnixPath(archive) + "'";
        ASSERT_EQ(RunNative(inPlace ? "cp -p " + from + " " + to : "mv " + to + " " + to + ".old && cp -p " + from + " " + to), 0);
    };
    MakeDirectories(out);
    WriteFile(out + L"\\config.ini", "moje ustawienia");
    WriteSettings(folder, folder, {folder + L"\\brak.txt"}, out);
    const std::wstring changed = L"Archiwum \u201Earchive.7z\u201D zmieniło się, odkąd je wczytano lub utworzono. "
                                 L"Nic nie zostało odtworzone: wczytaj archiwum ponownie.";

    ArchiverWindow window(folder);
    ASSERT_TRUE(window.WaitShown());
    // A pack that writes nothing leaves no archive to restore, stale.7z least of all.
    ASSERT_TRUE(window.Pack(stale));
    EXPECT_EQ(window.Status(), L"-1");
    EXPECT_TRUE(ReadFile(stale) == staleBytes);
    ASSERT_TRUE(window.Restore());
    EXPECT_EQ(window.Status(), L"-1");
    const std::pair<const wchar_t*, bool> replacements[] = {
        {L"larger.7z", true}, {L"same-names.7z", true}, {L"same-names.7z", false}, {L"swapped.7z", true}};
    for (const auto& [replacement, inPlace] : replacements) {
        SCOPED_TRACE(Narrow(replacement) + (inPlace ? " in place" : " renamed"));
        replace(L"listed.7z", true);
        ASSERT_TRUE(window.Load(archive));
        ASSERT_EQ(window.Rows()[0][0], L"a.txt");
        // Held: no Windows program writes, renames or deletes it.
        EXPECT_EQ(::CreateFileW(archive.c_str(), GENERIC_WRITE, 7, nullptr, OPEN_EXISTING, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_FALSE(::MoveFileW(archive.c_str(), (archive + L".moved").c_str()));
        EXPECT_FALSE(::DeleteFileW(archive.c_str()));
        // With a row chosen, and without: every row is checked then.
        if (replacement != std::wstring(L"larger.7z")) {
            ASSERT_TRUE(window.SelectRows({0}));
        }
        replace(replacement, inPlace);
        EXPECT_EQ(AnswerBox(window, L"Odtwórz archiwum"), changed);
        EXPECT_EQ(window.Status(), L"-1");
        EXPECT_EQ(ReadFile(out + L"\\config.ini"), "moje ustawienia");
        EXPECT_FALSE(Exists(out + L"\\a.txt"));
    }
    // Listed anew, the chosen row is restored, and nothing else.
    ASSERT_TRUE(window.Load(archive));
    ASSERT_EQ(window.Rows()[1][0], L"z.txt");
    ASSERT_TRUE(window.SelectRows({1}));
    ASSERT_TRUE(window.Restore());
    EXPECT_EQ(window.Status(), L"0");
    EXPECT_EQ(ReadFile(out + L"\\z.txt"), "cccc");
    EXPECT_EQ(ReadFile(out + L"\\config.ini"), "moje ustawienia");
    // After a failed pack the archive to restore is still the one listed, held again.
    ASSERT_TRUE(window.Pack(stale));
    EXPECT_EQ(window.Status(), L"-1");
    EXPECT_FALSE(::DeleteFileW(archive.c_str()));
    ASSERT_TRUE(window.Restore());
    EXPECT_EQ(window.Status(), L"0");
    EXPECT_EQ(ReadFile(out + L"\\config.ini"), "aaaa");
    EXPECT_FALSE(Exists(out + L"\\stale.txt"));

    ASSERT_TRUE(window.Load(folder + L"\\binvoice\u202Etxt.exe.7z"));
    EXPECT_EQ(window.Rows()[0][0], L"binvoice<U+202E>txt.exe");
    // Another load lets the one before go.
    EXPECT_TRUE(::DeleteFileW(archive.c_str()));
    ASSERT_TRUE(window.Restore());
    EXPECT_EQ(window.Status(), L"0");
    EXPECT_EQ(ReadFile(out + L"\\binvoice\u202Etxt.exe"), "faktura");

    ASSERT_TRUE(window.Load(folder + L"\\nazwy.7z"));
    std::vector<std::wstring> rows;
    for (const auto& row : window.Rows()) rows.push_back(row[1] + row[0]);
    ASSERT_TRUE(window.Restore());
    EXPECT_EQ(window.Status(), L"0");
    EXPECT_EQ(window.End(), 0u);
    // And the window, closed, too.
    EXPECT_TRUE(::MoveFileW((folder + L"\\nazwy.7z").c_str(), (folder + L"\\nazwy.7z.moved").c_str()));
    const std::string listing = ReadFile(folder + L"\\cli.txt");
    for (const auto& [stored, shown] : names) {
        EXPECT_NE(std::find(rows.begin(), rows.end(), shown), rows.end()) << Narrow(shown);
        EXPECT_NE(listing.find("\t" + Narrow(shown) + "\n"), std::string::npos) << Narrow(shown);
        EXPECT_EQ(ReadFile(out + L"\\" + stored), "plik") << Narrow(shown);
    }
}

// The close box (as the taskbar's Close sends it) while a question is open: the
// answer the question then gets is taken as no consent, nothing is packed or
// restored, and the program is gone within a second of the question closing.
// ("Koniec" comes to the same handler.)
TEST(ArchiverWindow, ACloseWhileAQuestionIsOpenWinsOverItsAnswer) {
    const std::wstring folder = FreshFolder(L"window-close-wins"), archive = folder + L"\\arc.7z";
    MakeMixedArchive(folder);  // arc.7z, with an encrypted item
    MakeDirectories(folder + L"\\dane");
    WriteFile(folder + L"\\dane\\nowy.txt", NoiseBytes(300000, 6));
    WriteSettings(folder, folder + L"\\dane", {folder + L"\\dane\\*.*"}, folder + L"\\odtworzone");
    const std::string before = ReadFile(archive);
    const struct {
        const wchar_t* button;
        bool replaceQuestion;  // the save dialog's, for the existing archive
    } cases[] = {{L"Archiwizuj", false}, {L"Archiwizuj", true}, {L"Wczytaj archiwum", false}, {L"Odtwórz archiwum", false}};
    for (const auto& test : cases) {
        SCOPED_TRACE(Narrow(test.button) + (test.replaceQuestion ? " replace" : ""));
        const bool restore = test.button == std::wstring(L"Odtwórz archiwum");
        ArchiverWindow window(folder);
        ASSERT_TRUE(window.WaitShown());
        ASSERT_TRUE(!restore || window.Load(archive));
        ASSERT_TRUE(FormRemote::Click(window.Button(test.button)));
        HWND dialog = restore ? window.WaitForPasswordDialog() : FormRemote::WaitForDialog(window.Id(), 10000);
        ASSERT_NE(dialog, nullptr);
        HWND question = nullptr;
        if (test.replaceQuestion) {
            constexpr int kNameBox = 0x47C;  // cmb13 of the explorer-style dialog
            ::SendMessageW(::GetDlgItem(dialog, kNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(archive.c_str()));
            FormRemote::PressButton(dialog, IDOK);
            question = FormRemote::WaitForDialog(window.Id(), 10000, dialog);
            ASSERT_TRUE(question != nullptr && ::GetWindow(question, GW_OWNER) == dialog);
            wchar_t text[256] = {};
            ::GetDlgItemTextW(question, 0xFFFF, text, 256);
            EXPECT_STREQ(text, L"Plik istnieje.\nCzy chcesz go zastąpić?");
        }
        ASSERT_TRUE(::PostMessageW(window.form, WM_CLOSE, 0, 0));
        // What is still open is answered as consent would be.
        DWORD closed = 0;
        ASSERT_TRUE(FormRemote::WaitUntil(
            [&] {
                if (question != nullptr && ::IsWindow(question)) {
                    FormRemote::PressButton(question, IDYES);
                } else if (::IsWindow(dialog) && restore) {
                    ::SendMessageW(::GetDlgItem(dialog, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sekret"));
                    FormRemote::PressButton(dialog, IDOK);
                } else if (::IsWindow(dialog) && question == nullptr) {
                    FormRemote::AnswerFileDialog(window.Id(), dialog, archive, 500);
                }
                closed = ::GetTickCount();
                return !::IsWindow(dialog);
            },
            20000));
        ASSERT_EQ(window.Process().Wait(10000), std::optional<DWORD>(0u));
        EXPECT_LT(::GetTickCount() - closed, 1000u);
        EXPECT_TRUE(ReadFile(archive) == before);
        EXPECT_TRUE(TemporaryFiles(folder).empty());
        // The restore had begun when it asked; its encrypted item waited for the answer.
        EXPECT_FALSE(Exists(folder + (restore ? L"\\odtworzone\\secret.txt" : L"\\odtworzone")));
    }
}

TEST(ArchiverWindow, KoniecEndsTheProgramInTheMiddleOfPackingAndOfRestoring) {
    const std::wstring folder = FreshFolder(L"window-koniec");
    const std::wstring big = folder + L"\\duze";
    MakeDirectories(big);
    WriteFile(big + L"\\szum.bin", NoiseBytes(48 << 20, 5));
    const std::wstring many = folder + L"\\wiele";
    for (int d = 0; d < 20; ++d) {
        MakeDirectories(many + L"\\k" + std::to_wstring(d));
        for (int f = 0; f < 100; ++f)
            WriteFile(many + L"\\k" + std::to_wstring(d) + L"\\p" + std::to_wstring(f) + L".txt", NoiseBytes(3000, f));
    }
    PackWithComponent(folder + L"\\wiele.7z", many);
    WriteSettings(folder, big, {big + L"\\szum.bin"}, folder + L"\\odtworzone");

    {
        ArchiverWindow window(folder);
        ASSERT_TRUE(window.WaitShown());
        ASSERT_TRUE(FormRemote::Click(window.Button(L"Archiwizuj")));
        ASSERT_TRUE(AnswerNextFileDialog(window, folder + L"\\duze.7z"));
        ASSERT_TRUE(FormRemote::WaitUntil([&] { return window.Status() == big + L"\\szum.bin"; }, 30000));
        EXPECT_EQ(window.End(), 0u);
        // Stopped half-way: whatever is left is no complete archive.
        EXPECT_NE(RunNative("7zz t '" + UnixPath(folder + L"\\duze.7z") + "' >/dev/null 2>&1"), 0);
    }
    {
        ArchiverWindow window(folder);
        ASSERT_TRUE(window.WaitShown());
        ASSERT_TRUE(window.Load(folder + L"\\wiele.7z"));
        HWND load = window.Button(L"Wczytaj archiwum");
        ASSERT_TRUE(FormRemote::Click(window.Button(L"Odtwórz archiwum")));
        ASSERT_TRUE(FormRemote::WaitUntil([&] { return window.Status().find(L"odtworzone") != std::wstring::npos; },
                                          30000));
        // The other actions wait meanwhile, even for a click sent by a program; had
        // it opened a dialog, "Koniec" could not end the program.
        EXPECT_FALSE(::IsWindowEnabled(load));
        ::PostMessageW(load, BM_CLICK, 0, 0);
        EXPECT_EQ(window.End(), 0u);
    }
    EXPECT_LT(Files(folder + L"\\odtworzone").size(), 2000u);
}

TEST(ArchiverWindow, KoniecEndsTheProgramAtAnyMomentOfALoadOfManyRows) {
    const std::wstring folder = FreshFolder(L"window-koniec-load");
    const std::wstring archive = folder + L"\\wiele.7z";
    ASSERT_TRUE(GenerateItemsArchive(archive, 80, 2500));  // 200,080 items
    WriteSettings(folder, L"", {}, L"");
    auto workingSet = [](const ArchiverWindow& window) {
        PROCESS_MEMORY_COUNTERS counters{};
        HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, window.Id());
        ::GetProcessMemoryInfo(process, &counters, sizeof counters);
        ::CloseHandle(process);
        return static_cast<double>(counters.WorkingSetSize);
    };
    // A whole load first, for the memory its rows take.
    double before = 0, loaded = 0;
    {
        ArchiverWindow window(folder);
        ASSERT_TRUE(window.WaitShown());
        before = workingSet(window);
        ASSERT_TRUE(window.Load(archive));
        EXPECT_EQ(window.Status(), L"200080");
        loaded = workingSet(window);
        EXPECT_EQ(window.End(), 0u);
    }
    // "Koniec" as the library opens the archive, and once half that memory is
    // taken, while the rows are read: the listing stops and the program ends.
    for (double part : {0.0, 0.5}) {
        ArchiverWindow window(folder);
        ASSERT_TRUE(window.WaitShown());
        HWND load = window.Button(L"Wczytaj archiwum");
        ASSERT_TRUE(FormRemote::Click(load));
        ASSERT_TRUE(AnswerNextFileDialog(window, archive));
        FormRemote::WaitUntil(
            [&] { return workingSet(window) >= before + (loaded - before) * part || ::IsWindowEnabled(load); }, 30000);
        EXPECT_EQ(window.End(), 0u) << part;
    }
}

TEST(ArchiverWindow, WithoutTheArchiveLibraryTheLoadMessageIsShownAndTheProgramEnds) {
    const std::wstring folder = FreshFolder(L"window-no-library");
    ASSERT_TRUE(::CopyFileW((Widen(NORVANE_BIN_DIR) + L"\\doziruzidive.exe").c_str(),
                            (folder + L"\\doziruzidive.exe").c_str(), FALSE));
    WriteSettings(folder, L"", {}, L"");
    ArchiverWindow window(folder, folder + L"\\doziruzidive.exe");
    HWND box = FormRemote::WaitForDialog(window.Id(), 20000);
    ASSERT_NE(box, nullptr);
    wchar_t text[512] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 512);
    EXPECT_STREQ(text, L"Could not load CreateObject function from 7za.dll\r\nPerhaps 7za.dll not found");
    EXPECT_EQ(FormRemote::FindTopWindow(window.Id(), L"TForm1"), nullptr);
    FormRemote::PressButton(box, IDOK);
    EXPECT_EQ(window.Process().Wait(10000), std::optional<DWORD>(1u));
}
