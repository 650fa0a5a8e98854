#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "formremote/FormRemote.h"
#include "support/ChildProcess.h"

// doziruzidive as a user meets it, for the window's tests: the program started in
// a folder, its window and controls found through the window API, its buttons
// clicked with the mouse and its dialogs answered by typing.
namespace WindowTest {

// A settings file from wide texts, written in the system's code page: root folder,
// the entries to archive (1..50 in order), restore folder.
void WriteSettings(const std::wstring& folder, const std::wstring& root, const std::vector<std::wstring>& entries,
                   const std::wstring& restore);
// Bytes exactly as given.
void WriteSettingsBytes(const std::wstring& folder, const std::string& bytes);

// The Unix path of a Windows path, and a shell command run natively (7zz), with
// its standard output; the exit code, or -1.
std::string UnixPath(const std::wstring& path);
int RunNative(const std::string& command, std::string* output = nullptr);

class ArchiverWindow {
public:
    // Starts the program with the folder as current folder; `program` may name a copy.
    explicit ArchiverWindow(const std::wstring& folder, const std::wstring& program = {});

    // Waits for the window and finds its controls; false when it did not come.
    bool WaitShown(DWORD timeoutMs = 20000);
    ChildProcess& Process() { return *m_process; }
    DWORD Id() const { return m_process->Id(); }

    HWND form = nullptr;
    HWND status = nullptr;  // Label1
    HWND list = nullptr;
    HWND listBox = nullptr;
    HWND fileProgress = nullptr;   // ProgressBar2
    HWND totalProgress = nullptr;  // ProgressBar1
    HWND volsize = nullptr;
    HWND password = nullptr;
    HWND Button(const wchar_t* caption) const;

    std::wstring Status() const { return FormRemote::TextOf(status); }
    bool Pack(const std::wstring& name);
    // With a password the action is expected to ask for one: it is typed into the
    // window's password dialog, which an empty one cancels ("Anuluj").
    bool Load(const std::wstring& name, const wchar_t* password = nullptr);
    bool Restore(const wchar_t* password = nullptr);
    // The window's password dialog once it is shown, or null.
    HWND WaitForPasswordDialog() const;
    // Ctrl+clicks on the rows, until the list shows them selected.
    bool SelectRows(const std::vector<int>& rows);
    std::vector<std::vector<std::wstring>> Rows() const;
    std::vector<std::wstring> ListBoxItems() const;
    // "Koniec", and the program's exit code once it has ended.
    DWORD End();

private:
    std::unique_ptr<ChildProcess> m_process;
};

}  // namespace WindowTest
