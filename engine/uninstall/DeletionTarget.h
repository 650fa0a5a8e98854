#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "../framework/FileHandle.h"

class HeldFolder;

// A file or folder opened for its removal, so that what is checked is what
// goes. A link (junction, symbolic link) is opened as itself where the system
// lets it, and deleting it then takes the link, never what it leads to. Wine
// shows a link to a folder as a reparse point by its name but opens what it
// leads to, whatever the flags: such a link is told apart and never deleted,
// since the deletion would take its target.
class DeletionTarget {
public:
    static constexpr char kFollowedLink[] =
        "left, a link that this system can only follow: what it leads to was not entered";
    // Opened for deletion; with attributesOnly for reading and setting its
    // attributes alone, which others' sharing never refuses.
    explicit DeletionTarget(const std::wstring& path, bool attributesOnly = false);
    // The entry of that name of the held folder, the file of that path, opened
    // for deletion through the folder's handle.
    DeletionTarget(const HeldFolder& folder, const std::wstring& name, const std::wstring& path);

    explicit operator bool() const { return static_cast<bool>(m_handle); }
    // Why it could not be opened (a missing path among them).
    DWORD OpenError() const { return m_openError; }
    // The object opened is the link itself.
    bool IsLink() const { return (m_attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
    // The name is a link, but what was opened is what it leads to.
    bool IsFollowedLink() const { return !IsLink() && (m_nameAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
    bool IsDirectory() const { return (m_attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsReadOnly() const { return (m_attributes & FILE_ATTRIBUTE_READONLY) != 0; }
    // The key of where the object really is, every link on the way followed.
    const std::optional<std::wstring>& FinalKey() const { return m_finalKey; }
    // The name, of that key, is a link the system followed to what was opened:
    // under Wine a link to a file opens as that file, whatever the flags, and
    // neither its name's attributes nor the handle's tell it. Seen where the
    // object is not the name's entry in the folder that really holds the name.
    bool IsFollowedFileLink(const std::wstring& path, const std::wstring& key) const;
    // The names a folder holds, read through the handle: the very folder checked.
    std::vector<std::wstring> EntryNames() const;

    // Marks it for deletion, read-only cleared first; it goes when the handle
    // closes. A folder that still holds something refuses (ERROR_DIR_NOT_EMPTY).
    DWORD Delete();
    // Its attributes masked with the normal attribute, which clears read-only
    // together with the rest, as the removal of a file always did.
    DWORD MaskAttributes();

private:
    void ReadAttributes();
    // The attributes by the name, once opened (the constructors' common part).
    void ReadOpened(const std::wstring& path);

    FileHandle m_handle;
    DWORD m_openError = ERROR_SUCCESS;
    DWORD m_attributes = 0;
    bool m_attributesFromHandle = false;
    DWORD m_nameAttributes = 0;
    std::optional<std::wstring> m_finalKey;
    // Opened through a held folder as that folder's own entry: no link was followed.
    bool m_heldEntry = false;
};
