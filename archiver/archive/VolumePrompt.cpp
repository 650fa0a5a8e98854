#include "VolumePrompt.h"

#include <windows.h>
#include <commdlg.h>

#include "WidePath.h"

bool AskForVolume(const std::wstring& prompt, std::wstring& name) {
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
    dialog.hwndOwner = ::GetActiveWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = MAX_PATH + 1;
    dialog.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    dialog.lpstrTitle = prompt.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!::GetOpenFileNameW(&dialog)) return false;
    name = chosen;
    return true;
}
