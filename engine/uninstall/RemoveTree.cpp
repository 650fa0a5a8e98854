#include "RemoveTree.h"

#include <windows.h>
#include <shellapi.h>

#include <cctype>
#include <cstring>

namespace {
std::string CurrentDirectory() {
    char directory[260] = {};
    DWORD length = ::GetCurrentDirectoryA(sizeof directory, directory);
    return length < sizeof directory ? std::string(directory, length) : std::string();
}

bool IsDriveLetterAndColon(const std::string& text) {
    return text.size() == 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
}

bool IsDriveRoot(const std::string& directory) {
    return IsDriveLetterAndColon(directory) || (directory.size() == 3 && IsDriveLetterAndColon(directory.substr(0, 2)) &&
                                                directory[2] == '\\');
}

// One level up at a time until the current directory no longer lies in the path.
void MoveCurrentDirectoryOutOf(const std::string& path) {
    std::string current = CurrentDirectory();
    while (!current.empty() && !IsAncestorDirectory(current, path)) {
        if (IsDriveRoot(current)) return;
        size_t slash = current.rfind('\\');
        if (slash == std::string::npos) return;
        std::string parent = current.substr(0, slash);
        if (IsDriveLetterAndColon(parent)) return;
        // A directory that cannot be entered, or a name that does not shorten,
        // would otherwise loop for ever.
        if (!::SetCurrentDirectoryA(parent.c_str())) return;
        std::string moved = CurrentDirectory();
        if (moved.size() >= current.size()) return;
        current = moved;
    }
}
}  // namespace

bool IsAncestorDirectory(const std::string& directory, const std::string& path) {
    if (directory.size() + 2 > path.size()) return false;
    for (size_t i = 0; i < directory.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(directory[i])) != std::toupper(static_cast<unsigned char>(path[i])))
            return false;
    return path[directory.size()] == '\\';
}

bool RemoveTree(const std::string& path) {
    // The shell wants the list of sources ended by two zero bytes: at most 260
    // characters of the path, and room for both terminators.
    char source[262] = {};
    std::memcpy(source, path.data(), path.size() < 260 ? path.size() : 260);
    MoveCurrentDirectoryOutOf(source);

    SHFILEOPSTRUCTA operation{};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = source;
    operation.pTo = nullptr;
    // No box of any kind: a silent run has nobody to answer an error box, and it
    // would wait for ever.
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
    return ::SHFileOperationA(&operation) == 0;
}
