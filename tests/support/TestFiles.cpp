#include "TestFiles.h"

#include <shlobj.h>

#include <fstream>
#include <sstream>

namespace {
std::string UnixPath(const std::string& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH] = {};
    if (toUnix == nullptr || ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) return {};
    char* unix = toUnix(wide);
    if (unix == nullptr) return {};
    std::string result = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

// Wine starts a Unix program as it starts a Windows one, but cannot wait for its end.
bool RunUnix(const std::string& commandLine, const std::string& path, bool present) {
    std::wstring wide(commandLine.begin(), commandLine.end());
    wide.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 10000; ::Sleep(10)) {
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA(path.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
        if ((search != INVALID_HANDLE_VALUE) == present) return true;
    }
    return false;
}
}  // namespace

namespace TestFiles {
bool MakeUnixLink(const std::string& target, const std::string& link) {
    const std::string from = UnixPath(target), to = UnixPath(link);
    return !from.empty() && !to.empty() && RunUnix("/bin/ln -s \"" + from + "\" \"" + to + "\"", link, true);
}

bool RemoveUnixLink(const std::string& link) {
    const std::string path = UnixPath(link);
    return !path.empty() && RunUnix("/bin/rm -f \"" + path + "\"", link, false);
}

// The prefix's dosdevices folder, where "C:\" is the link "c:".
std::string DosDevices() {
    const std::string drive = UnixPath("C:\\");
    const size_t cut = drive.rfind("/c:");
    return cut == std::string::npos ? std::string() : drive.substr(0, cut);
}

bool MakeDosDevice(const std::string& name, const std::string& target, const std::string& visible) {
    const std::string devices = DosDevices(), to = UnixPath(target);
    if (devices.empty() || to.empty()) return false;
    const std::string link = devices + "/" + name;
    const std::string folder = link.substr(0, link.rfind('/'));
    return RunUnix("/bin/sh -c \"mkdir -p '" + folder + "' && ln -sfn '" + to + "' '" + link + "'\"", visible, true);
}

bool RemoveDosDevice(const std::string& name, const std::string& visible) {
    const std::string devices = DosDevices();
    return !devices.empty() && RunUnix("/bin/rm -f \"" + devices + "/" + name + "\"", visible, false);
}

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
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                RemoveUnixLink(child);
                continue;
            }
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

std::string ShortPath(const std::string& path) {
    char shortName[MAX_PATH] = {};
    const DWORD length = ::GetShortPathNameA(path.c_str(), shortName, MAX_PATH);
    return length > 0 && length < MAX_PATH ? shortName : path;
}

std::string WindowsDirectory() {
    char buffer[MAX_PATH] = {};
    ::GetWindowsDirectoryA(buffer, MAX_PATH);
    std::string directory = buffer;
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();
    return directory;
}

std::string FreshProductFolder(const std::string& name) {
    const std::string folder = "C:\\Program Files\\Norvane Tests\\" + name;
    RemoveTree(folder);
    MakeDirectories(folder);
    return folder;
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
