#include "DeletionTarget.h"

#include "CanonicalPath.h"
#include "HeldFolder.h"

namespace {
constexpr ACCESS_MASK kDeletionAccess =
    DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
}  // namespace

DeletionTarget::DeletionTarget(const std::wstring& path, bool attributesOnly)
    : m_handle(::CreateFileW(path.c_str(),
                             attributesOnly ? FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE
                                            : kDeletionAccess,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)) {
    if (!m_handle) {
        m_openError = ::GetLastError();
        return;
    }
    ReadOpened(path);
    m_finalKey = FinalPathKey(m_handle);
}

DeletionTarget::DeletionTarget(const HeldFolder& folder, const std::wstring& name, const std::wstring& path) {
    m_handle = folder.OpenEntry(name, kDeletionAccess, m_openError);
    if (!m_handle) return;
    ReadOpened(path);
    // The folder's place was asked once; a name the folder does not hold as its
    // own entry (a link to a file elsewhere, opened as what it leads to) is asked
    // for where it really is.
    m_finalKey = folder.EntryKey(m_handle, name);
    m_heldEntry = m_finalKey.has_value();
    if (!m_heldEntry) m_finalKey = FinalPathKey(m_handle);
}

void DeletionTarget::ReadOpened(const std::wstring& path) {
    // Asking the handle costs a call to the Wine server for each file, the name
    // none. The name, read after the open, stands for a plain file alone: nothing
    // the removal decides hangs on it, since where the file really is comes from
    // the handle, a read-only file refuses its deletion (Delete then asks the
    // handle) and a folder that took the name since refuses unless empty. A
    // link, a folder or a read-only file by its name is read from the handle.
    const DWORD byName = ::GetFileAttributesW(path.c_str());
    constexpr DWORD kNotPlain = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
    if (byName != INVALID_FILE_ATTRIBUTES && (byName & kNotPlain) == 0)
        m_attributes = byName;
    else
        ReadAttributes();
    // Only a link to a folder shows as a link by its name alone (IsFollowedLink).
    if (IsDirectory()) m_nameAttributes = byName == INVALID_FILE_ATTRIBUTES ? 0 : byName;
}

void DeletionTarget::ReadAttributes() {
    m_attributesFromHandle = true;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (::GetFileInformationByHandleEx(m_handle, FileAttributeTagInfo, &tag, sizeof tag)) {
        m_attributes = tag.FileAttributes;
    } else {
        BY_HANDLE_FILE_INFORMATION information{};
        if (::GetFileInformationByHandle(m_handle, &information)) m_attributes = information.dwFileAttributes;
    }
}

std::vector<std::wstring> DeletionTarget::EntryNames() const {
    std::vector<std::wstring> names;
    if (!m_handle || !IsDirectory()) return names;
    alignas(8) char buffer[16384];
    FILE_INFO_BY_HANDLE_CLASS kind = FileFullDirectoryRestartInfo;
    while (::GetFileInformationByHandleEx(m_handle, kind, buffer, sizeof buffer)) {
        kind = FileFullDirectoryInfo;
        for (size_t at = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_FULL_DIR_INFO*>(buffer + at);
            std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") names.push_back(std::move(name));
            if (entry->NextEntryOffset == 0) break;
            at += entry->NextEntryOffset;
        }
    }
    return names;
}

bool DeletionTarget::IsFollowedFileLink(const std::wstring& path, const std::wstring& key) const {
    // Where its name says, links and other spellings of the place included: nothing followed.
    if (m_heldEntry || !m_finalKey || *m_finalKey == key) return false;
    const size_t cut = path.find_last_of(L'\\');
    const size_t nameAt = key.find_last_of(L'\\');
    if (cut == std::wstring::npos || nameAt == std::wstring::npos) return true;
    const std::optional<std::wstring> folder = FinalKeyOf(path.substr(0, cut < 3 ? 3 : cut));
    if (!folder) return true;
    const std::wstring separator = folder->back() == L'\\' ? L"" : L"\\";
    return *m_finalKey != *folder + separator + key.substr(nameAt + 1);
}

DWORD DeletionTarget::MaskAttributes() {
    if (!m_handle) return m_openError;
    // Masking leaves the normal attribute or nothing, which both mean normal
    // (zero here would leave the attributes as they are).
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(m_handle, FileBasicInfo, &basic, sizeof basic)) return ::GetLastError();
    m_attributes = basic.FileAttributes;
    return ERROR_SUCCESS;
}

DWORD DeletionTarget::Delete() {
    if (!m_handle) return m_openError;
    for (;;) {
        if (m_attributes & FILE_ATTRIBUTE_READONLY) {
            FILE_BASIC_INFO basic{};
            basic.FileAttributes = m_attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
            if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
            if (!::SetFileInformationByHandle(m_handle, FileBasicInfo, &basic, sizeof basic)) return ::GetLastError();
            m_attributes = basic.FileAttributes;
        }
        FILE_DISPOSITION_INFO disposition{TRUE};
        if (::SetFileInformationByHandle(m_handle, FileDispositionInfo, &disposition, sizeof disposition))
            return ERROR_SUCCESS;
        const DWORD error = ::GetLastError();
        // Made read-only since its name was read: the handle tells, once.
        if (error != ERROR_ACCESS_DENIED || m_attributesFromHandle) return error;
        ReadAttributes();
        if ((m_attributes & FILE_ATTRIBUTE_READONLY) == 0) return error;
    }
}
