#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "Handles.h"

// The file system through the platform's wide-character functions. Paths longer
// than the classic limit are passed in their extended form, so that deep trees
// and long item names work.

// The platform's absolute form of a path; the path itself when it has none.
std::wstring FullPath(const std::wstring& path);
bool TryFullPath(const std::wstring& path, std::wstring& full);
std::wstring FileApiPath(const std::wstring& path);

// An existing file for reading, others may read it too.
FileHandle OpenForReading(const std::wstring& path);
bool FileLength(HANDLE file, uint64_t& length);
// Reads or writes at an absolute offset; `done` holds the bytes moved.
bool ReadAt(HANDLE file, uint64_t offset, void* buffer, DWORD count, DWORD& done);
bool WriteAt(HANDLE file, uint64_t offset, const void* buffer, DWORD count, DWORD& done);

DWORD FileAttributes(const std::wstring& path);  // INVALID_FILE_ATTRIBUTES when missing
bool PathExists(const std::wstring& path);
bool DirectoryExists(const std::wstring& path);
// The directory-listing data of the first match of a path.
bool FindFirstMatch(const std::wstring& path, WIN32_FIND_DATAW& data);
uint64_t FindDataSize(const WIN32_FIND_DATAW& data);

// Creates a directory with every missing parent; `createdLast` tells whether the
// directory itself was new. On failure the system's error is the last error.
bool ForceDirectories(const std::wstring& directory, bool& createdLast);

// Only the attribute bits a file or directory can be created with: archives made
// elsewhere carry POSIX mode bits in the upper half, which the platform would read
// as file flags (overlapped, write-through...).
DWORD CreatableAttributes(uint64_t attributes);

// Whether the path lies on a fixed disk (by the drive of its full form); shares
// and removable or optical drives are not.
bool OnFixedDisk(const std::wstring& path);
