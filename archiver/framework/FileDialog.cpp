#include "FileDialog.h"

#include <vector>

bool TOpenDialog::Execute(HWND owner) {
    // The platform wants each part of the filter ended by a NUL, the list by a second.
    std::wstring filter = Filter;
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.append(2, L'\0');
    // Room for the longest path the file functions accept.
    std::vector<wchar_t> name(32768, L'\0');
    FileName.copy(name.data(), name.size() - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    dialog.Flags = OFN_EXPLORER;
    if (Options.Contains(TOpenOption::ofOverwritePrompt)) dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (Options.Contains(TOpenOption::ofHideReadOnly)) dialog.Flags |= OFN_HIDEREADONLY;
    if (Options.Contains(TOpenOption::ofEnableSizing)) dialog.Flags |= OFN_ENABLESIZING;
    if (Options.Contains(TOpenOption::ofNoChangeDir)) dialog.Flags |= OFN_NOCHANGEDIR;
    if (!Show(dialog)) return false;
    FileName = name.data();
    return true;
}
