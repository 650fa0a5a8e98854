// dozdriver: starts doziruzidive in a folder and uses its window as a user would,
// step by step, printing what the window shows. For the demo.
//
//   dozdriver PROGRAM FOLDER STEP...
//
// Steps: pack ARCHIVE ("Archiwizuj", the name typed into the save dialog), load
// ARCHIVE ("Wczytaj archiwum"), select ROW,ROW... (Ctrl+clicks on rows),
// restore ("Odtwórz archiwum"), picture FILE.png, end ("Koniec", then the program
// must have ended). Exit code 0 when every step did what it should.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "WindowPicture.h"
#include "formremote/FormRemote.h"

namespace {
constexpr DWORD kStepTimeoutMs = 120000;

// A picture of the window as it is on screen, as a PNG file.
bool SaveWindowPicture(HWND window, const std::wstring& path) {
    // Whatever is waiting to be painted is painted first (the window's thread paints
    // while this waits).
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // What the screen shows where the window is: the window is on top there.
    const bool written = WindowPicture::SaveFromScreen(window, path);
    if (SUCCEEDED(com)) ::CoUninitialize();
    return written;
}

void Say(const std::wstring& text) {
    std::string bytes(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr,
                                                                nullptr)),
                      '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    std::printf("  %s\n", bytes.c_str());
    std::fflush(stdout);
}

int Fail(const std::wstring& text) {
    Say(L"FAILED: " + text);
    return 1;
}

struct Window {
    DWORD processId;
    HWND form;
    HWND status;  // Label1
    HWND list;
    HWND Button(const wchar_t* caption) const { return FormRemote::FindControlByText(form, L"Button", caption); }
};

bool DialogAction(const Window& window, const wchar_t* caption, const std::wstring& name) {
    return FormRemote::ClickAndAnswerFileDialog(window.processId, window.Button(caption), name, kStepTimeoutMs);
}

void ShowRows(const Window& window) {
    FormRemote::ListView list(window.list);
    const int count = list.ItemCount();
    Say(L"rows: " + std::to_wstring(count));
    for (int row = 0; row < count && row < 8; ++row) {
        std::wstring line = L"  ";
        for (int column = 0; column < list.ColumnCount(); ++column) line += list.CellText(row, column) + L" | ";
        Say(line);
    }
}

int RunStep(const Window& window, const std::wstring& step, const std::wstring& argument) {
    if (step == L"pack") {
        Say(L"Archiwizuj, typing " + argument + L" into the save dialog");
        if (!DialogAction(window, L"Archiwizuj", argument)) return Fail(L"pack");
        Say(L"status: " + FormRemote::TextOf(window.status));
    } else if (step == L"load") {
        Say(L"Wczytaj archiwum, typing " + argument + L" into the open dialog");
        if (!DialogAction(window, L"Wczytaj archiwum", argument)) return Fail(L"load");
        Say(L"status (items): " + FormRemote::TextOf(window.status));
        ShowRows(window);
    } else if (step == L"select") {
        FormRemote::ListView list(window.list);
        std::vector<int> wanted;
        std::wstringstream rows(argument);
        for (std::wstring row; std::getline(rows, row, L',');) wanted.push_back(std::stoi(row));
        for (int row : wanted) {
            RECT rect = list.RowRect(row);
            if (!FormRemote::Click(window.list, rect.left + 40, (rect.top + rect.bottom) / 2, true))
                return Fail(L"select");
        }
        std::sort(wanted.begin(), wanted.end());
        if (!FormRemote::WaitUntil([&] { return list.SelectedRows() == wanted; }, 10000))
            return Fail(L"select " + argument);
        std::wstring selected;
        for (int index : list.SelectedRows()) selected += L" " + list.CellText(index, 0);
        Say(L"selected:" + selected);
    } else if (step == L"restore") {
        Say(L"Odtwórz archiwum");
        if (!FormRemote::ClickAndWait(window.Button(L"Odtwórz archiwum"), window.status, kStepTimeoutMs))
            return Fail(L"restore");
        Say(L"status (result): " + FormRemote::TextOf(window.status));
    } else if (step == L"picture") {
        if (!SaveWindowPicture(window.form, argument)) return Fail(L"picture " + argument);
        Say(L"picture of the window: " + argument);
    } else if (step == L"end") {
        Say(L"Koniec");
        if (!FormRemote::Click(window.Button(L"Koniec"))) return Fail(L"end");
    } else {
        return Fail(L"unknown step " + step);
    }
    return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: dozdriver PROGRAM FOLDER STEP...\n", stderr);
        return 2;
    }
    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, argv[2], &startup,
                          &process))
        return Fail(L"could not start " + std::wstring(argv[1]));
    ::CloseHandle(process.hThread);
    Window window{process.dwProcessId, FormRemote::WaitForTopWindow(process.dwProcessId, L"TForm1", 30000), nullptr,
                  nullptr};
    int result = 0;
    if (window.form == nullptr) {
        result = Fail(L"no window");
    } else {
        window.status = FormRemote::FindControl(window.form, L"Static", 166, 12);
        window.list = FormRemote::FindControl(window.form, L"SysListView32", 8, 112);
        Say(L"window shown; status: " + FormRemote::TextOf(window.status));
        for (int at = 3; at < argc && result == 0; ++at) {
            std::wstring step = argv[at];
            std::wstring argument = step == L"restore" || step == L"end" || at + 1 >= argc ? L"" : argv[++at];
            result = RunStep(window, step, argument);
        }
    }
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        if (result == 0) result = Fail(L"the program did not end");
    }
    ::CloseHandle(process.hProcess);
    return result;
}
