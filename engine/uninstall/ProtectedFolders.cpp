#include "ProtectedFolders.h"

#include <windows.h>
#include <shlobj.h>
#include <userenv.h>

#include <cctype>
#include <vector>

#include "RemoveTree.h"

namespace {
// Upper case, backslashes, long names, no trailing separators, dots or blanks
// (the platform ignores those: "C:\\Windows." is the Windows directory).
std::string Normalized(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    char longName[MAX_PATH] = {};
    DWORD length = ::GetLongPathNameA(path.c_str(), longName, MAX_PATH);
    if (length > 0 && length < MAX_PATH) path = longName;
    for (char& c : path) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '.' || path.back() == ' ')) path.pop_back();
    return path;
}

bool IsAbsoluteDrivePath(const std::string& path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           path[2] == '\\';
}

// "." and ".." components would let a path name a folder other than it seems to.
bool HasRelativeComponent(const std::string& path) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        std::string component = path.substr(start, end - start);
        if (component == "." || component == "..") return true;
        start = end + 1;
    }
    return false;
}

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return Normalized(path);
}

std::string ProfilesFolder() {
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (::GetProfilesDirectoryA(path, &size)) return Normalized(path);
    std::string profile = ShellFolder(CSIDL_PROFILE);
    size_t slash = profile.rfind('\\');
    return slash == std::string::npos ? std::string() : profile.substr(0, slash);
}

std::vector<std::string> WellKnownFolders() {
    std::vector<std::string> folders;
    for (int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
                      CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_PROFILE,
                      CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PERSONAL,
                      CSIDL_COMMON_DOCUMENTS})
        if (std::string folder = ShellFolder(csidl); !folder.empty()) folders.push_back(folder);
    char windows[MAX_PATH] = {};
    if (::GetWindowsDirectoryA(windows, MAX_PATH)) folders.push_back(Normalized(windows));
    return folders;
}

// A profile below the profiles folder, or its Desktop or Documents folder, for
// every user and not only the one running the uninstaller.
bool IsUserFolder(const std::string& path, const std::string& profiles) {
    if (profiles.empty() || !IsAncestorDirectory(profiles, path)) return false;
    std::string rest = path.substr(profiles.size() + 1);
    size_t slash = rest.find('\\');
    if (slash == std::string::npos) return true;  // a user's profile
    std::string inside = rest.substr(slash + 1);
    return inside == "DESKTOP" || inside == "DOCUMENTS" || inside == "MY DOCUMENTS";
}
}  // namespace

bool IsProtectedFromRemoval(const std::string& rawPath) {
    if (!IsAbsoluteDrivePath(rawPath) || HasRelativeComponent(rawPath)) return true;
    std::string path = Normalized(rawPath);
    if (path.size() <= 3) return true;  // a drive root
    std::string profiles = ProfilesFolder();
    if (path == profiles || IsUserFolder(path, profiles)) return true;
    for (const std::string& folder : WellKnownFolders())
        if (path == folder || IsAncestorDirectory(path, folder)) return true;
    return false;
}
