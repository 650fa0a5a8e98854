#include "TestFiles.h"

#include <shlobj.h>

#include <fstream>
#include <sstream>

namespace TestFiles {
bool Write(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out);
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectories(const std::string& path) {
    int result = ::SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileA(child.c_str());
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(path.c_str());
}

std::string WindowsDirectory() {
    char buffer[MAX_PATH] = {};
    ::GetWindowsDirectoryA(buffer, MAX_PATH);
    std::string directory = buffer;
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();
    return directory;
}

std::string FreshTempFolder(const std::string& name) {
    char buffer[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, buffer);
    std::string folder = std::string(buffer) + "norvane-tests\\" + name;
    RemoveTree(folder);
    MakeDirectories(folder);
    return folder;
}
}  // namespace TestFiles
