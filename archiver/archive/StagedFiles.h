#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Handles.h"

// Files written or kept under names of the program's own until they take their
// place: "~dz" + process + "-" + number + ".tmp" beside the file they stand for.

// Unique to the process and the call: two files never share one. Not made from
// the file's own name, which may already be as long as a name can be.
std::wstring StagingName(const std::wstring& finalName);
// The file goes when its last handle closes, whichever way the program ends.
// False where the system cannot (a read-only file).
bool DeleteOnClose(HANDLE file);
// Takes DeleteOnClose back: the file stays.
bool KeepOnClose(HANDLE file);

// What a rename does where a file has the target's name already.
enum class TNameTaken { Replace, Fail };
// Renames the open file (File Management: FILE_RENAME_INFO), one call where a
// move by name would open the file once more.
bool RenameOpenFile(HANDLE file, const std::wstring& target, TNameTaken taken = TNameTaken::Replace);

// The files that a new set is to take the names of, moved aside under staging
// names and held open, so that the new files can take every name at once and the
// old ones can come back whole when one of them cannot. Dropped without Discard,
// they are put back.
class TFilesSetAside {
public:
    TFilesSetAside() = default;
    TFilesSetAside(const TFilesSetAside&) = delete;
    TFilesSetAside& operator=(const TFilesSetAside&) = delete;
    ~TFilesSetAside() { PutBack(); }

    // True when the name is free now (also when nothing stood there); false with
    // the platform's error when the file cannot go: open elsewhere without leave
    // to delete it, read-only, a folder.
    bool SetAside(const std::wstring& name, DWORD& error);
    // The old files are deleted (at once, or when the last program holding one
    // lets it go).
    void Discard();
    void PutBack();

private:
    struct Aside {
        std::wstring name;
        FileHandle file;
    };
    std::vector<Aside> m_files;
};
