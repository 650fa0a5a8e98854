#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One thing to add, as the file system lists it.
struct TAddItem {
    std::wstring Path;  // full path as found; the directory's own entry of a wildcard carries its short name
    uint64_t Size = 0;
    FILETIME LastWriteTime{};
    DWORD Attributes = 0;

    bool IsDirectory() const { return (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

// Add's table of items, built entry by entry from the component's Files: plain
// paths as they are, wildcard entries ("directory\*mask") by scanning the directory.
class TAddItemTable {
public:
    struct Settings {
        std::wstring rootDir;  // AddRootDir, upper-cased
        bool recurseDirs = false;
        bool storeOnlyFilename = false;
        std::function<bool()> cancelled;
    };

    explicit TAddItemTable(Settings settings) : m_settings(std::move(settings)) {}

    void AddEntry(const std::wstring& entry);

    std::vector<TAddItem>& Items() { return m_items; }
    uint64_t Total() const { return m_total; }

    // At most this many characters of a mask count.
    static constexpr size_t kMaxMaskLength = 8;

private:
    void AddWildcardEntry(const std::wstring& entry, size_t star);
    void AddDirectoryOwnEntry(const std::wstring& directory);
    void Scan(const std::wstring& directory, const std::wstring& mask);
    void Append(const std::wstring& path, const WIN32_FIND_DATAW& found);

    Settings m_settings;
    std::vector<TAddItem> m_items;
    uint64_t m_total = 0;
};
