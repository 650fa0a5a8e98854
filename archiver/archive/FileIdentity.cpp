#include "FileIdentity.h"

#include <winternl.h>

#include "Handles.h"
#include "WideFiles.h"

namespace {
// Opens what the path leads to without reading it: any program may go on using it
// meanwhile. A folder opens too.
FileHandle OpenToIdentify(const std::wstring& path) {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    return FileHandle(::CreateFileW(FileApiPath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}
}  // namespace

uint64_t FileNumberOf(HANDLE file) {
    IO_STATUS_BLOCK status{};
    FILE_INTERNAL_INFORMATION number{};
    if (!NT_SUCCESS(::NtQueryInformationFile(file, &status, &number, sizeof number, FileInternalInformation)))
        return 0;
    return static_cast<uint64_t>(number.IndexNumber.QuadPart);
}

uint64_t FileNumberOf(const std::wstring& path) {
    FileHandle file = OpenToIdentify(path);
    return file ? FileNumberOf(file.Get()) : 0;
}

bool SameFile(const std::wstring& first, const std::wstring& second) {
    FileHandle a = OpenToIdentify(first), b = OpenToIdentify(second);
    BY_HANDLE_FILE_INFORMATION one{}, other{};
    return a && b && ::GetFileInformationByHandle(a.Get(), &one) && ::GetFileInformationByHandle(b.Get(), &other) &&
           one.dwVolumeSerialNumber == other.dwVolumeSerialNumber && one.nFileIndexHigh == other.nFileIndexHigh &&
           one.nFileIndexLow == other.nFileIndexLow;
}
