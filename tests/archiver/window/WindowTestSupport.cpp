#include "WindowTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "TestPaths.h"
#include "support/ArchiveTestSupport.h"
#include "window/SettingsRecord.h"

using ArchiveTest::FreshFolder;

namespace WindowTest {
namespace {
constexpr DWORD kActionTimeoutMs = 120000;
constexpr int kPasswordEditId = 101;  // the masked edit box of the password dialog

std::string CodePage(const std::wstring& text) {
    std::string bytes(text.size() * 2 + 1, '\0');
    int length = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                                       static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<size_t>(std::max(length, 0)));
    return bytes;
}
}  // namespace

void WriteSettings(const std::wstring& folder, const std::wstring& root, const std::vector<std::wstring>& entries,
                   const std::wstring& restore) {
    TSettingsRecord record;
    record.Entries[kRootEntry] = CodePage(root);
    for (size_t i = 0; i < entries.size() && i < 50; ++i) record.Entries[kFirstItemEntry + i] = CodePage(entries[i]);
    record.Entries[kRestoreEntry] = CodePage(restore);
    std::string bytes;
    ASSERT_TRUE(FormatSettingsRecord(record, bytes));
    WriteSettingsBytes(folder, bytes);
}

void WriteSettingsBytes(const std::wstring& folder, const std::string& bytes) {
    ASSERT_TRUE(ArchiveTest::WriteFile(folder + L"\\doziruzidive_config.dat", bytes));
}

std::string UnixPath(const std::wstring& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto convert = reinterpret_cast<UnixName>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (convert == nullptr) return {};
    char* name = convert(path.c_str());
    std::string result = name != nullptr ? name : "";
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

int RunNative(const std::string& command, std::string* output) {
    // Wine starts a Unix program without a handle to wait on: the shell leaves its
    // exit code in a file, put in place once complete, and this waits for the file.
    const std::wstring folder = FreshFolder(L"native-command");
    const std::string unix = UnixPath(folder);
    const std::string line = "( " + command + " ) > '" + unix + "/out' 2>&1; echo $? > '" + unix + "/rc.new'; mv '" +
                             unix + "/rc.new' '" + unix + "/rc'";
    // The command goes to sh as one argument; it holds no double quotes.
    if (ArchiveTest::RunProgram(L"Z:\\bin\\sh", L"-c \"" + ArchiveTest::Widen(line) + L"\"", L"") == -2) return -1;
    if (!FormRemote::WaitUntil([&] { return ArchiveTest::Exists(folder + L"\\rc"); }, 300000)) return -1;
    if (output != nullptr) *output = ArchiveTest::ReadFile(folder + L"\\out");
    return std::atoi(ArchiveTest::ReadFile(folder + L"\\rc").c_str());
}

ArchiverWindow::ArchiverWindow(const std::wstring& folder, const std::wstring& program) {
    std::wstring path = program.empty() ? ArchiveTest::Widen(NORVANE_BIN_DIR) + L"\\doziruzidive.exe" : program;
    m_process = std::make_unique<ChildProcess>(path, L"", folder);
}

bool ArchiverWindow::WaitShown(DWORD timeoutMs) {
    form = FormRemote::WaitForTopWindow(Id(), L"TForm1", timeoutMs);
    if (form == nullptr) return false;
    status = FormRemote::FindControl(form, L"Static", 166, 12);
    list = FormRemote::FindControl(form, L"SysListView32", 8, 112);
    listBox = FormRemote::FindControl(form, L"ListBox", 12, 352);
    fileProgress = FormRemote::FindControl(form, PROGRESS_CLASSW, 160, 52);
    totalProgress = FormRemote::FindControl(form, PROGRESS_CLASSW, 160, 80);
    for (HWND child : FormRemote::Children(form)) {
        if (FormRemote::ClassOf(child) != L"Edit") continue;
        (volsize == nullptr ? volsize : password) = child;  // in the layout's order
    }
    return status != nullptr && list != nullptr && listBox != nullptr;
}

HWND ArchiverWindow::Button(const wchar_t* caption) const {
    return FormRemote::FindControlByText(form, L"Button", caption);
}

bool ArchiverWindow::Pack(const std::wstring& name) {
    return FormRemote::ClickAndAnswerFileDialog(Id(), Button(L"Archiwizuj"), name, kActionTimeoutMs);
}

namespace {
// Answers the password dialog, then waits until the action is over.
bool AnswerPasswordAndWait(const ArchiverWindow& window, HWND button, const wchar_t* password) {
    HWND dialog = window.WaitForPasswordDialog();
    if (dialog == nullptr) return false;
    ::SendMessageW(::GetDlgItem(dialog, kPasswordEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password));
    FormRemote::PressButton(dialog, *password != L'\0' ? IDOK : IDCANCEL);
    return FormRemote::WaitUntil([&] { return !::IsWindow(dialog) && ::IsWindowEnabled(button); }, kActionTimeoutMs);
}
}  // namespace

bool ArchiverWindow::Load(const std::wstring& name, const wchar_t* password) {
    HWND button = Button(L"Wczytaj archiwum");
    if (password == nullptr) return FormRemote::ClickAndAnswerFileDialog(Id(), button, name, kActionTimeoutMs);
    if (!FormRemote::Click(button)) return false;
    HWND dialog = FormRemote::WaitForDialog(Id(), 10000);
    return dialog != nullptr && FormRemote::AnswerFileDialog(Id(), dialog, name) &&
           AnswerPasswordAndWait(*this, button, password);
}

bool ArchiverWindow::Restore(const wchar_t* password) {
    HWND button = Button(L"Odtwórz archiwum");
    if (password == nullptr) return FormRemote::ClickAndWait(button, status, kActionTimeoutMs);
    return FormRemote::Click(button) && AnswerPasswordAndWait(*this, button, password);
}

HWND ArchiverWindow::WaitForPasswordDialog() const {
    HWND found = nullptr;
    auto shown = [&] {
        found = FormRemote::FindTopWindow(Id(), L"#32770");
        return found != nullptr && FormRemote::TextOf(found) == L"Hasło do archiwum";
    };
    return FormRemote::WaitUntil(shown, 20000) ? found : nullptr;
}

bool ArchiverWindow::SelectRows(const std::vector<int>& rows) {
    // Each click is seen to take before the next; one a busy machine lost is
    // given again, as a user would (never one that took: Ctrl+click toggles).
    FormRemote::ListView view(list);
    for (int row : rows) {
        auto took = [&] {
            const std::vector<int> selected = view.SelectedRows();
            return std::find(selected.begin(), selected.end(), row) != selected.end();
        };
        const RECT rect = view.RowRect(row);
        for (int attempt = 0; !took(); ++attempt) {
            if (attempt == 3 || !FormRemote::Click(list, rect.left + 20, (rect.top + rect.bottom) / 2, true))
                return false;
            FormRemote::WaitUntil(took, 5000);
        }
    }
    std::vector<int> wanted = rows;
    std::sort(wanted.begin(), wanted.end());
    return FormRemote::WaitUntil([&] { return view.SelectedRows() == wanted; }, 10000);
}

std::vector<std::vector<std::wstring>> ArchiverWindow::Rows() const {
    FormRemote::ListView view(list);
    std::vector<std::vector<std::wstring>> rows(static_cast<size_t>(view.ItemCount()));
    for (size_t row = 0; row < rows.size(); ++row)
        for (int column = 0; column < view.ColumnCount(); ++column)
            rows[row].push_back(view.CellText(static_cast<int>(row), column));
    return rows;
}

std::vector<std::wstring> ArchiverWindow::ListBoxItems() const {
    std::vector<std::wstring> items;
    const int count = static_cast<int>(::SendMessageW(listBox, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(::SendMessageW(listBox, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(
            ::SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(text);
    }
    return items;
}

DWORD ArchiverWindow::End() {
    if (!FormRemote::Click(Button(L"Koniec"))) return 1000;
    return m_process->Wait(30000).value_or(1001);
}

}  // namespace WindowTest
