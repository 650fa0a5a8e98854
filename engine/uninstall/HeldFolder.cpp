#include "HeldFolder.h"

#include <winternl.h>

#include "../framework/RelativeOpen.h"
#include "CanonicalPath.h"

namespace {
// The object's name as the system keeps it (its device and path), without the
// drive letters GetFinalPathNameByHandle looks up for it.
std::wstring ObjectName(HANDLE handle) {
    alignas(8) BYTE buffer[sizeof(OBJECT_NAME_INFORMATION) + (MAX_PATH + 64) * sizeof(wchar_t)];
    ULONG size = 0;
    if (!NT_SUCCESS(::NtQueryObject(handle, ObjectNameInformation, buffer, sizeof buffer, &size))) return {};
    const UNICODE_STRING& name = reinterpret_cast<const OBJECT_NAME_INFORMATION*>(buffer)->Name;
    return name.Buffer == nullptr ? std::wstring() : std::wstring(name.Buffer, name.Length / sizeof(wchar_t));
}

bool SameText(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength) {
    return ::CompareStringOrdinal(a, static_cast<int>(aLength), b, static_cast<int>(bLength), TRUE) == CSTR_EQUAL;
}
}  // namespace

HeldFolder::HeldFolder(const std::wstring& path)
    : m_path(path),
      m_handle(::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                             nullptr)) {
    if (!m_handle) return;
    m_finalKey = FinalPathKey(m_handle);
    m_name = ObjectName(m_handle);
    if (!m_name.empty() && m_name.back() == L'\\') m_name.pop_back();
}

FileHandle HeldFolder::OpenEntry(const std::wstring& name, ACCESS_MASK access, DWORD& error) const {
    HANDLE entry = nullptr;
    const NTSTATUS opened = OpenRelative(m_handle, name, access, entry);
    if (!NT_SUCCESS(opened)) {
        error = ::RtlNtStatusToDosError(opened);
        return FileHandle();
    }
    error = ERROR_SUCCESS;
    return FileHandle(entry);
}

std::optional<std::wstring> HeldFolder::EntryKey(HANDLE entry, const std::wstring& name) const {
    if (!*this) return std::nullopt;
    const std::wstring opened = ObjectName(entry);
    const size_t folder = m_name.size();
    const bool inFolder = opened.size() == folder + 1 + name.size() && SameText(opened.data(), folder, m_name.data(), folder) &&
                          opened[folder] == L'\\' && SameText(opened.data() + folder + 1, name.size(), name.data(), name.size());
    if (!inFolder) return std::nullopt;
    // The entry's name as the folder spells it.
    std::wstring key = *m_finalKey;
    if (key.back() != L'\\') key += L'\\';
    std::wstring own = opened.substr(folder + 1);
    ::CharUpperBuffW(own.data(), static_cast<DWORD>(own.size()));
    return key + own;
}
