#include "ProtectedFolders.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <knownfolders.h>
#include <shobjidl.h>

#include <cctype>
#include <optional>
#include <vector>

#include "../framework/RegKey.h"
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

std::string Narrow(const wchar_t* text) {
    int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string narrow(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.pop_back();
    return narrow;
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

bool IsOrHolds(const std::string& path, const std::string& folder) {
    return path == folder || IsAncestorDirectory(path, folder);
}

// The profile folders are read where the system keeps them rather than through
// its profile library, which is not one of the libraries the system always
// loads from its own folder: imported, it would be looked for beside the program.
constexpr char kProfileList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// A path value of the registry, environment variables expanded; empty when unreadable.
std::string RegistryPath(HKEY key, const char* subkey, const char* name) {
    char raw[MAX_PATH] = {}, expanded[MAX_PATH] = {};
    DWORD rawSize = sizeof raw - 1;
    if (::RegGetValueA(key, subkey, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, raw,
                       &rawSize) != ERROR_SUCCESS)
        return {};
    DWORD length = ::ExpandEnvironmentStringsA(raw, expanded, MAX_PATH);
    return length > 0 && length <= MAX_PATH && expanded[0] != '\0' ? Normalized(expanded) : std::string();
}

std::string ProfilesFolder() { return RegistryPath(HKEY_LOCAL_MACHINE, kProfileList, "ProfilesDirectory"); }

// The profile of every user the machine has registered, wherever it lies.
std::vector<std::string> RegisteredProfiles() {
    std::vector<std::string> profiles;
    RegKey list;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProfileList, 0, KEY_READ, list.Receive()) != ERROR_SUCCESS)
        return profiles;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (::RegEnumKeyExA(list, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        std::string profile = RegistryPath(list, name, "ProfileImagePath");
        if (!profile.empty()) profiles.push_back(std::move(profile));
    }
    return profiles;
}

// The shell's known folders with a place in the file system: those of the machine
// as they are; those of the user, when they lie in the user's profile, as their
// place inside a profile, for every other user too.
struct KnownFolders {
    std::vector<std::string> machine;
    std::vector<std::string> inProfile;
};

class ComApartment {
public:
    ComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

template <class T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p != nullptr) p->Release();
    }
};

std::optional<KnownFolders> ReadKnownFolders(const std::string& profile) {
    ComApartment apartment;  // either ours or the thread's own, whichever model it has
    Released<IKnownFolderManager> manager;
    if (FAILED(::CoCreateInstance(CLSID_KnownFolderManager, nullptr, CLSCTX_INPROC_SERVER, IID_IKnownFolderManager,
                                  reinterpret_cast<void**>(&manager.p))))
        return std::nullopt;
    KNOWNFOLDERID* ids = nullptr;
    UINT count = 0;
    if (FAILED(manager.p->GetFolderIds(&ids, &count))) return std::nullopt;
    KnownFolders folders;
    for (UINT i = 0; i < count; ++i) {
        Released<IKnownFolder> folder;
        KF_CATEGORY category = KF_CATEGORY_VIRTUAL;
        if (FAILED(manager.p->GetFolder(ids[i], &folder.p)) || FAILED(folder.p->GetCategory(&category)) ||
            category == KF_CATEGORY_VIRTUAL)
            continue;
        PWSTR wide = nullptr;
        if (FAILED(folder.p->GetPath(KF_FLAG_DONT_VERIFY, &wide)) || wide == nullptr) continue;
        std::string path = Normalized(Narrow(wide));
        ::CoTaskMemFree(wide);
        if (!IsAbsoluteDrivePath(path)) continue;
        if (category == KF_CATEGORY_PERUSER && !profile.empty() && IsAncestorDirectory(profile, path))
            folders.inProfile.push_back(path.substr(profile.size() + 1));
        folders.machine.push_back(path);
    }
    ::CoTaskMemFree(ids);
    return folders;
}

std::string CurrentProfile() {
    PWSTR wide = nullptr;
    std::string path;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Profile, KF_FLAG_DONT_VERIFY, nullptr, &wide)) && wide != nullptr)
        path = Normalized(Narrow(wide));
    ::CoTaskMemFree(wide);
    return path;
}

// A profile itself, or a per-user folder inside it, or a folder holding one.
bool IsInProfileFolder(const std::string& path, const std::string& profile, const std::vector<std::string>& inProfile) {
    if (path == profile) return true;
    if (!IsAncestorDirectory(profile, path)) return false;
    std::string inside = path.substr(profile.size() + 1);
    for (const std::string& folder : inProfile)
        if (IsOrHolds(inside, folder)) return true;
    return false;
}
}  // namespace

bool IsProtectedFromRemoval(const std::string& rawPath) {
    if (!IsAbsoluteDrivePath(rawPath) || HasRelativeComponent(rawPath)) return true;
    std::string path = Normalized(rawPath);
    if (path.size() <= 3) return true;  // a drive root
    std::optional<KnownFolders> known = ReadKnownFolders(CurrentProfile());
    if (!known) return true;

    std::vector<std::string> machine = std::move(known->machine);
    char windows[MAX_PATH] = {};
    if (::GetWindowsDirectoryA(windows, MAX_PATH)) machine.push_back(Normalized(windows));
    const std::string profiles = ProfilesFolder();
    if (!profiles.empty()) machine.push_back(profiles);
    for (const std::string& folder : machine)
        if (IsOrHolds(path, folder)) return true;

    // Every folder directly in the profiles folder is someone's profile, made or
    // still to be made; other users' profiles may also lie elsewhere.
    if (!profiles.empty() && IsAncestorDirectory(profiles, path)) {
        std::string rest = path.substr(profiles.size() + 1);
        std::string profile = profiles + "\\" + rest.substr(0, rest.find('\\'));
        if (IsInProfileFolder(path, profile, known->inProfile)) return true;
    }
    for (const std::string& profile : RegisteredProfiles())
        if (IsOrHolds(path, profile) || IsInProfileFolder(path, profile, known->inProfile)) return true;
    return false;
}
