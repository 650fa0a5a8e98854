#include "VolumePrompt.h"

#include <commdlg.h>

#include <vector>

#include "WidePath.h"

namespace {
void PressCancel(HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

// The dialog library is loaded when a volume is first asked for, from the system
// folder: a program that never asks (a console tool, say) does not pay for it and
// what it pulls in at every start (tens of milliseconds under Wine).
BOOL ShowOpenDialog(OPENFILENAMEW& dialog) {
    using GetOpenFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
    static const auto show = reinterpret_cast<GetOpenFileNameFunction>(::GetProcAddress(
        ::LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "GetOpenFileNameW"));
    return show != nullptr && show(&dialog);
}

std::wstring CurrentFolder() {
    std::vector<wchar_t> folder(::GetCurrentDirectoryW(0, nullptr) + 1, L'\0');
    folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return std::wstring(folder.begin(), folder.end());
}
}  // namespace

bool TVolumePrompt::Ask(HWND owner, const std::wstring& prompt, std::wstring& name,
                        const std::atomic<bool>& cancelled) {
    if (cancelled) return false;
    std::wstring base = WithoutExtension(FileNamePart(name));
    std::wstring directory = DirectoryPart(name);
    // Description and pattern, each ended by a NUL, the list by a second one.
    std::wstring filter = base + L"-volumes";
    filter.push_back(L'\0');
    filter += base + L".*";
    filter.push_back(L'\0');

    wchar_t chosen[MAX_PATH + 1] = {};  // a path of up to 260 characters
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = MAX_PATH + 1;
    dialog.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    dialog.lpstrTitle = prompt.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING |
                   OFN_NOCHANGEDIR | OFN_ENABLEHOOK;
    dialog.lpfnHook = Hook;
    dialog.lCustData = reinterpret_cast<LPARAM>(this);
    m_cancelled = &cancelled;
    // The platform's documentation does not promise OFN_NOCHANGEDIR for the open
    // dialog: the folder is put back in any case.
    const std::wstring folder = CurrentFolder();
    const bool confirmed = ShowOpenDialog(dialog) != FALSE;
    ::SetCurrentDirectoryW(folder.c_str());
    m_dialog = nullptr;
    if (!confirmed || cancelled) return false;
    name = chosen;
    return true;
}

void TVolumePrompt::Close() {
    if (HWND dialog = m_dialog) PressCancel(dialog);
}

UINT_PTR CALLBACK TVolumePrompt::Hook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    // The hook serves the explorer-style dialog's inner page; the dialog is its parent.
    if (message != WM_INITDIALOG) return 0;
    auto* prompt = reinterpret_cast<TVolumePrompt*>(reinterpret_cast<const OPENFILENAMEW*>(lParam)->lCustData);
    prompt->m_dialog = ::GetParent(child);
    if (*prompt->m_cancelled) PressCancel(::GetParent(child));
    return 0;
}
