#include "ItemTable.h"

#include "Handles.h"
#include "WideFiles.h"
#include "WidePath.h"

void TAddItemTable::AddEntry(const std::wstring& entry) {
    size_t star = entry.find(L'*');
    if (star != std::wstring::npos) {
        AddWildcardEntry(entry, star);
        return;
    }
    WIN32_FIND_DATAW found;
    if (FindFirstMatch(entry, found)) Append(entry, found);  // a missing entry is passed over
}

void TAddItemTable::AddWildcardEntry(const std::wstring& entry, size_t star) {
    std::wstring directory = WithTrailingBackslash(entry.substr(0, star));
    std::wstring mask = entry.substr(star + 1, kMaxMaskLength);
    AddDirectoryOwnEntry(directory);
    Scan(directory, mask);
}

void TAddItemTable::AddDirectoryOwnEntry(const std::wstring& directory) {
    std::wstring path = directory;
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    WIN32_FIND_DATAW found;
    if (!DirectoryExists(path) || !FindFirstMatch(path, found)) return;
    // The root directory's length is cut off without comparing: the own entry of
    // a directory below the root keeps the backslash in front ("\sub"); without a
    // root, the drive ("C:\") goes.
    size_t cut = m_settings.rootDir.empty() ? 3 : m_settings.rootDir.size();
    if (path.size() > cut) Append(path.substr(cut), found);
}

void TAddItemTable::Scan(const std::wstring& directory, const std::wstring& mask) {
    WIN32_FIND_DATAW found;
    FindHandle search(::FindFirstFileW(FileApiPath(directory + L"*.*").c_str(), &found));
    if (!search) return;
    do {
        if (m_settings.cancelled && m_settings.cancelled()) return;
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (!m_settings.storeOnlyFilename) Append(directory + name, found);
            // A link or junction may point back up the tree: it is added, not entered.
            if (m_settings.recurseDirs && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
                Scan(directory + name + L"\\", mask);
        } else if (mask == L".*" || ExtensionOf(name) == mask) {
            Append(directory + name, found);
        }
    } while (::FindNextFileW(search.Get(), &found));
}

void TAddItemTable::Append(const std::wstring& path, const WIN32_FIND_DATAW& found) {
    TAddItem& item = m_items.emplace_back();
    item.Path = path;
    item.Size = FindDataSize(found);
    item.LastWriteTime = found.ftLastWriteTime;
    item.Attributes = found.dwFileAttributes;
    m_total += item.Size;
}
