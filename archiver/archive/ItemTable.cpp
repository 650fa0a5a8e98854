#include "ItemTable.h"

#include "Handles.h"
#include "WideFiles.h"
#include "WidePath.h"

namespace {
// What the platform makes of a typed path; the extended form ("\\?\") is read as
// the plain path it stands for, which the platform would leave unresolved.
std::wstring FullEntryPath(std::wstring path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        path.erase(2, 6);
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        path.erase(0, 4);
    return FullPath(path.empty() ? L"." : path);
}

bool IsRelative(const std::wstring& path) {
    return !(!path.empty() && (path[0] == L'\\' || path[0] == L'/')) && !(path.size() >= 2 && path[1] == L':');
}

std::wstring PrefixOf(const std::wstring& directory) {
    return UpperCase(WithTrailingBackslash(FullEntryPath(directory)));
}
}  // namespace

TAddItemTable::TAddItemTable(Settings settings)
    : m_settings(std::move(settings)),
      m_rootPrefix(m_settings.rootDir.empty() ? std::wstring() : PrefixOf(m_settings.rootDir)),
      m_currentPrefix(PrefixOf(L".")) {}

bool TAddItemTable::AddEntry(const std::wstring& entry) {
    // Without a root, an entry relative to the current folder keeps its path
    // below it, as it was typed.
    m_entryPrefix = !m_rootPrefix.empty() || !IsRelative(entry) ? m_rootPrefix : m_currentPrefix;
    size_t star = entry.find(L'*');
    if (star != std::wstring::npos) return AddWildcardEntry(entry, star);
    std::wstring path = FullEntryPath(entry);
    // "dir\" names the directory (a drive's root is no item).
    if (path.size() > 3 && path.back() == L'\\') path.pop_back();
    WIN32_FIND_DATAW found;
    if (!FindFirstMatch(path, found)) return false;
    Append(path, found);
    return true;
}

bool TAddItemTable::AddWildcardEntry(const std::wstring& entry, size_t star) {
    std::wstring directory = WithTrailingBackslash(FullEntryPath(entry.substr(0, star)));
    if (!DirectoryExists(directory)) return false;
    std::wstring mask = entry.substr(star + 1, kMaxMaskLength);
    AddDirectoryOwnEntry(directory);
    Scan(directory, mask);
    return true;
}

void TAddItemTable::AddDirectoryOwnEntry(const std::wstring& directory) {
    // The directory the items are stored below is no item of its own, nor is a
    // drive ("C:\") or a share ("\\server\share\").
    if (UpperCase(directory) == m_entryPrefix) return;
    std::wstring path = directory.substr(0, directory.size() - 1);
    WIN32_FIND_DATAW found;
    if (path.empty() || path.back() == L':' || !FindFirstMatch(path, found)) return;
    Append(path, found);
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
    if (!m_entryPrefix.empty() && path.size() > m_entryPrefix.size() &&
        UpperCase(path.substr(0, m_entryPrefix.size())) == m_entryPrefix)
        item.RootLength = static_cast<uint32_t>(m_entryPrefix.size());
    else if (path.rfind(L"\\\\", 0) == 0)
        item.RootLength = 2;
    m_total += item.Size;
}
