#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One thing to add, as the file system lists it.
struct TAddItem {
    std::wstring Path;  // the platform's full form of the path
    uint64_t Size = 0;
    FILETIME LastWriteTime{};
    DWORD Attributes = 0;
    // The characters of Path that the stored path leaves out: the root directory
    // (or, for an entry relative to the current folder when there is no root, that
    // folder; or the two backslashes of a share). 0 leaves the drive rule to cut.
    uint32_t RootLength = 0;

    bool IsDirectory() const { return (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

// Add's table of items, built entry by entry from the component's Files: plain
// paths as they are, wildcard entries ("directory\*mask") by scanning the directory.
// Entries are read as the platform reads a path ("/" for "\", doubled separators,
// "." and ".." resolved, relative to the current folder) before the root is cut,
// so that no stored path starts with a separator, climbs or holds an empty name.
class TAddItemTable {
public:
    struct Settings {
        std::wstring rootDir;  // AddRootDir, upper-cased
        bool recurseDirs = false;
        bool storeOnlyFilename = false;
        std::function<bool()> cancelled;
    };

    explicit TAddItemTable(Settings settings);

    // False when the entry names nothing that is there (for a wildcard entry: when
    // its directory is not).
    bool AddEntry(const std::wstring& entry);

    std::vector<TAddItem>& Items() { return m_items; }
    uint64_t Total() const { return m_total; }

    // At most this many characters of a mask count.
    static constexpr size_t kMaxMaskLength = 8;

private:
    bool AddWildcardEntry(const std::wstring& entry, size_t star);
    void AddDirectoryOwnEntry(const std::wstring& directory);
    void Scan(const std::wstring& directory, const std::wstring& mask);
    void Append(const std::wstring& path, const WIN32_FIND_DATAW& found);

    Settings m_settings;
    std::wstring m_rootPrefix;     // the root's full form, upper case, with a backslash; empty without a root
    std::wstring m_currentPrefix;  // the same of the current folder
    std::wstring m_entryPrefix;    // what the current entry's items are stored below
    std::vector<TAddItem> m_items;
    uint64_t m_total = 0;
};
