#include "RemoveTree.h"

#include <windows.h>

#include "../framework/AnsiPath.h"
#include "../framework/DrivePath.h"
#include "../framework/FixedText.h"
#include "CanonicalPath.h"
#include "DeletionTarget.h"
#include "RemovalGuard.h"

namespace {
std::wstring CurrentDirectory() {
    wchar_t directory[260] = {};
    const DWORD length = ::GetCurrentDirectoryW(260, directory);
    return length < 260 ? std::wstring(directory, length) : std::wstring();
}

bool IsDriveRoot(const std::wstring& directory) {
    return IsBareDrive(directory) || (directory.size() == 3 && StartsWithDriveRoot(directory));
}

bool IsAncestor(const std::wstring& directory, const std::wstring& path) {
    if (directory.size() + 2 > path.size()) return false;
    return UpperCase(directory) == UpperCase(path.substr(0, directory.size())) && path[directory.size()] == L'\\';
}

// Everything in the folder opened. An entry that is not where its name says,
// every link followed, is a link the system follows (a link to a file is no
// reparse point under Wine): it stays.
bool RemoveContent(const std::wstring& folder, const DeletionTarget& opened, const RemovalGuard* guard) {
    const std::wstring& folderKey = *opened.FinalKey();
    bool removed = true;
    for (const std::wstring& name : opened.EntryNames()) {
        const std::wstring child = folder + L"\\" + name;
        DeletionTarget entry(child);
        if (!entry) {
            removed = false;
        } else if (entry.IsLink()) {
            removed = entry.Delete() == ERROR_SUCCESS && removed;
        } else if (entry.IsFollowedLink() || entry.FinalKey() != PathKey(folderKey + L"\\" + name) ||
                   (guard != nullptr && !entry.IsDirectory() && guard->KeepsInTree(*entry.FinalKey()))) {
            removed = false;
        } else {
            if (entry.IsDirectory()) removed = RemoveContent(child, entry, guard) && removed;
            removed = entry.Delete() == ERROR_SUCCESS && removed;
        }
    }
    return removed;
}
}  // namespace

// One level up at a time until the current directory no longer lies in the path.
void MoveCurrentDirectoryOutOf(const std::wstring& path) {
    std::wstring current = CurrentDirectory();
    while (!current.empty() && !IsAncestor(current, path)) {
        if (IsDriveRoot(current)) return;
        const size_t slash = current.rfind(L'\\');
        if (slash == std::wstring::npos) return;
        const std::wstring parent = current.substr(0, slash);
        if (IsBareDrive(parent)) return;
        // A directory that cannot be entered, or a name that does not shorten,
        // would otherwise loop for ever.
        if (!::SetCurrentDirectoryW(parent.c_str())) return;
        const std::wstring moved = CurrentDirectory();
        if (moved.size() >= current.size()) return;
        current = moved;
    }
}

bool IsAncestorDirectory(const std::string& directory, const std::string& path) {
    const std::optional<std::wstring> wideDirectory = WidenAnsi(directory);
    const std::optional<std::wstring> widePath = WidenAnsi(path);
    return wideDirectory && widePath && IsAncestor(*wideDirectory, *widePath);
}

bool RemoveOpenedTree(const std::wstring& path, DeletionTarget& root, const RemovalGuard* guard) {
    if (root.IsDirectory() && !RemoveContent(path, root, guard)) return false;
    return root.Delete() == ERROR_SUCCESS;
}

bool RemoveTree(const std::string& path) {
    const std::optional<std::wstring> wide = WidenAnsi(FitBuffer(path, 261));
    if (!wide || wide->empty()) return false;
    MoveCurrentDirectoryOutOf(*wide);
    DeletionTarget root(*wide);
    if (!root) return false;
    if (root.IsLink()) return root.Delete() == ERROR_SUCCESS;
    if (root.IsFollowedLink() || !root.FinalKey()) return false;
    return RemoveOpenedTree(*wide, root);
}
