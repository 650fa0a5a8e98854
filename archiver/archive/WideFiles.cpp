#include "WideFiles.h"

#include <vector>

#include "WidePath.h"

bool TryFullPath(const std::wstring& path, std::wstring& full) {
    DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return false;
    std::vector<wchar_t> buffer(needed + 1);
    DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return false;
    full.assign(buffer.data(), length);
    return true;
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring full;
    return TryFullPath(path, full) ? full : path;
}

std::wstring FileApiPath(const std::wstring& path) {
    // Below the classic limit (less room for an 8.3 name) the path goes as it is.
    if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    std::wstring full = FullPath(path);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

FileHandle OpenForReading(const std::wstring& path) {
    return FileHandle(::CreateFileW(FileApiPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool FileLength(HANDLE file, uint64_t& length) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) return false;
    length = static_cast<uint64_t>(size.QuadPart);
    return true;
}

namespace {
// On a handle opened for synchronous use, the offset of an OVERLAPPED structure
// positions the transfer: one call instead of a seek and a transfer.
OVERLAPPED At(uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}
}  // namespace

bool ReadAt(HANDLE file, uint64_t offset, void* buffer, DWORD count, DWORD& done) {
    done = 0;
    OVERLAPPED position = At(offset);
    if (::ReadFile(file, buffer, count, &done, &position)) return true;
    // Reading at or past the end is no failure: it reads nothing.
    return ::GetLastError() == ERROR_HANDLE_EOF;
}

bool WriteAt(HANDLE file, uint64_t offset, const void* buffer, DWORD count, DWORD& done) {
    done = 0;
    OVERLAPPED position = At(offset);
    return ::WriteFile(file, buffer, count, &done, &position) != FALSE;
}

DWORD FileAttributes(const std::wstring& path) { return ::GetFileAttributesW(FileApiPath(path).c_str()); }

bool PathExists(const std::wstring& path) { return FileAttributes(path) != INVALID_FILE_ATTRIBUTES; }

bool DirectoryExists(const std::wstring& path) {
    DWORD attributes = FileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FindFirstMatch(const std::wstring& path, WIN32_FIND_DATAW& data) {
    FindHandle search(::FindFirstFileW(FileApiPath(path).c_str(), &data));
    return static_cast<bool>(search);
}

uint64_t FindDataSize(const WIN32_FIND_DATAW& data) {
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool ForceDirectories(const std::wstring& directory, bool& createdLast) {
    createdLast = false;
    std::wstring path = directory;
    while (path.size() > 1 && path.back() == L'\\') path.pop_back();
    if (path.empty() || DirectoryExists(path)) return true;
    std::wstring parent = DirectoryPart(path);
    // A drive ("C:") or a share root ends the climb.
    if (!parent.empty() && parent.size() < path.size()) {
        bool createdParent = false;
        if (!ForceDirectories(parent, createdParent)) return false;
    }
    if (::CreateDirectoryW(FileApiPath(path).c_str(), nullptr)) {
        createdLast = true;
        return true;
    }
    // Made meanwhile by someone else, or a file of that name is in the way.
    const DWORD error = ::GetLastError();
    if (DirectoryExists(path)) return true;
    ::SetLastError(error);
    return false;
}

DWORD CreatableAttributes(uint64_t attributes) {
    constexpr DWORD creatable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return static_cast<DWORD>(attributes) & creatable;
}

bool OnFixedDisk(const std::wstring& path) {
    std::wstring full = FullPath(path);
    if (full.size() < 2 || full[1] != L':') return false;
    wchar_t root[] = {full[0], L':', L'\\', L'\0'};
    return ::GetDriveTypeW(root) == DRIVE_FIXED;
}
