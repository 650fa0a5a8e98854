#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "../framework/FileHandle.h"

// A folder held open while the removal takes the files in it, so that where it
// really is gets asked once and every file is opened through the very folder
// that was asked: no folder on the way can be swapped for a link between the
// check and the deletion. Others may read and write in it, but not rename or
// delete it while it is held.
class HeldFolder {
public:
    // The folder of that full path, every link on the way followed.
    explicit HeldFolder(const std::wstring& path);

    explicit operator bool() const { return static_cast<bool>(m_handle) && m_finalKey && !m_name.empty(); }
    const std::wstring& Path() const { return m_path; }
    // The key of where the folder really is (CanonicalPath.h).
    const std::optional<std::wstring>& FinalKey() const { return m_finalKey; }

    // A file of the folder by its name, opened as DeletionTarget opens one
    // (without following a link of its own), through the held handle.
    FileHandle OpenEntry(const std::wstring& name, ACCESS_MASK access, DWORD& error) const;
    // The name of what the handle opened is that entry of the folder: what was
    // opened is no link's target elsewhere. Then its key, from the folder's.
    std::optional<std::wstring> EntryKey(HANDLE entry, const std::wstring& name) const;

private:
    std::wstring m_path;
    FileHandle m_handle;
    std::optional<std::wstring> m_finalKey;
    // The system's own name of the folder, as it names what is opened in it.
    std::wstring m_name;
};
