#pragma once
#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

// The counts of files that several products share, as Windows keeps them and
// Windows Installer and Inno Setup maintain them: a REG_DWORD under SharedDLLs
// (either view) named by the file's full path, one for each product holding it.
// What the removal changes is changed here as well as in the registry.
class SharedFiles {
public:
    static constexpr const wchar_t* kViews[] = {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                                                L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"};

    static SharedFiles Read();
    // The counts once more: a count raised or made since counts from now on;
    // one lowered or gone by another's hand keeps its highest.
    void ReadAgain();

    struct Share {
        bool registered = false;
        bool readable = true;  // every count of it is a number
        DWORD count = 0;       // the highest of its counts
        bool released = false;  // the product gave up its share on an earlier line
    };
    // The file of that path key (CanonicalPath.h) or of its final key.
    Share Find(const std::wstring& key, const std::wstring& finalKey) const;
    // The product lets go of its share: the highest count goes down by one,
    // once in a run however often a log names the file.
    DWORD Release(const std::wstring& key, const std::wstring& finalKey);
    // The same in this record alone, for a trial run.
    void ReleaseHere(const std::wstring& key, const std::wstring& finalKey);
    // The file is gone: its counts go too.
    void Forget(const std::wstring& key, const std::wstring& finalKey);

private:
    struct Count {
        const wchar_t* view;
        std::wstring valueName;  // as stored
        DWORD count;
        bool readable;
        bool released;
    };
    std::vector<Count*> CountsOf(const std::wstring& key, const std::wstring& finalKey);

    std::unordered_map<std::wstring, std::vector<Count>> m_counts;  // by path key
};
