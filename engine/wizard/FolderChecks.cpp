#include "FolderChecks.h"

#include <windows.h>

#include <cstring>

#include "../framework/DrivePath.h"

namespace {
// Characters that leading or trailing would make the name mean something else:
// the platform drops trailing blanks and dots, and a leading one hides a typo.
bool IsEdgeCharacter(char c) { return c == '\t' || c == ' ' || c == '.'; }
}  // namespace

bool IsValidFolderName(const char* name) {
    if (name == nullptr || name[0] == '\0') return false;
    size_t length = std::strlen(name);
    if (IsEdgeCharacter(name[0]) || IsEdgeCharacter(name[length - 1])) return false;
    return std::strpbrk(name, "\"*/:<>?\\|") == nullptr;
}

bool FolderExists(const char* path) {
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int MakeFolder(const char* path, FolderMode mode) {
    if (path == nullptr) return kFolderInvalid;
    size_t length = ::strnlen(path, kFolderPathChars);
    if (length >= kFolderPathChars) return kFolderInvalid;
    char buffer[kFolderPathChars];
    std::memcpy(buffer, path, length + 1);

    if (!StartsWithDriveRoot(std::string_view(buffer, length))) return kFolderInvalid;
    const bool create = mode == FolderMode::Create;
    if (length == 3) return !create || FolderExists(buffer) ? kFolderValid : kFolderNotCreated;

    for (size_t start = 3;;) {
        size_t end = start;
        while (end < length && buffer[end] != '\\') ++end;
        // The component and, for creation, the path up to it, as C strings in place.
        const char separator = buffer[end];
        buffer[end] = '\0';
        bool valid = IsValidFolderName(buffer + start);
        if (valid && create) {
            // Whether the level was made or was there already, only its existence counts.
            ::CreateDirectoryA(buffer, nullptr);
            if (!FolderExists(buffer)) return kFolderNotCreated;
        }
        buffer[end] = separator;
        if (!valid) return kFolderInvalid;
        if (end == length) return kFolderValid;
        start = end + 1;
        if (start == length) return kFolderInvalid;  // a trailing backslash after a name
    }
}
