#include "ProtectedFolders.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <objbase.h>
#include <shlobj.h>
#include <knownfolders.h>
#include <shobjidl.h>

#include "../framework/AnsiPath.h"
#include "../framework/ComApartment.h"
#include "../framework/ComPtr.h"
#include "../framework/DrivePath.h"
#include "../framework/RegKey.h"
#include "CanonicalPath.h"

namespace {
// The profile folders are read where the system keeps them rather than through
// its profile library, which is not one of the libraries the system always
// loads from its own folder: imported, it would be looked for beside the program.
constexpr char kProfileList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr const wchar_t* kInstallFolderValues[] = {L"InstallLocation", L"LastInstallationPath"};
// A user's temporary folder inside a profile, as Windows and Windows XP place it.
constexpr const wchar_t* kProfileTemporary[] = {L"APPDATA\\LOCAL\\TEMP", L"LOCAL SETTINGS\\TEMP"};
// The same places in a profile as Windows names them, whatever this user's are
// redirected to.
constexpr const wchar_t* kProfileDocuments[] = {L"DOCUMENTS", L"MY DOCUMENTS", L"PICTURES", L"MUSIC",
                                                L"VIDEOS",    L"DOWNLOADS",    L"DESKTOP",  L"FAVORITES"};
constexpr const wchar_t* kProfileShortcuts[] = {L"DESKTOP", L"APPDATA\\ROAMING\\MICROSOFT\\WINDOWS\\START MENU",
                                                L"APPDATA\\ROAMING\\MICROSOFT\\INTERNET EXPLORER\\QUICK LAUNCH"};
// The shell folders of documents and of shortcuts, by their names under "Shell Folders".
const std::vector<std::string> kDocumentNames = {"Personal",  "My Pictures", "My Music",
                                                 "My Video",  "Desktop",     "Favorites",
                                                 "{374DE290-123F-4565-9164-39C4925E467B}", "Common Documents",
                                                 "CommonPictures", "CommonMusic", "CommonVideo", "Common Desktop"};
const std::vector<std::string> kShortcutNames = {"Desktop", "Start Menu", "Common Desktop", "Common Start Menu"};
const KNOWNFOLDERID* const kDocumentFolders[] = {
    &FOLDERID_Documents,       &FOLDERID_Pictures,       &FOLDERID_Music,        &FOLDERID_Videos,
    &FOLDERID_Downloads,       &FOLDERID_Desktop,        &FOLDERID_Favorites,    &FOLDERID_PublicDocuments,
    &FOLDERID_PublicPictures,  &FOLDERID_PublicMusic,    &FOLDERID_PublicVideos, &FOLDERID_PublicDownloads,
    &FOLDERID_PublicDesktop};
const KNOWNFOLDERID* const kShortcutFolders[] = {&FOLDERID_Desktop, &FOLDERID_StartMenu, &FOLDERID_QuickLaunch,
                                                 &FOLDERID_PublicDesktop, &FOLDERID_CommonStartMenu};

// Inside the folder, not the folder itself.
bool IsBelow(const std::wstring& key, const std::wstring& folder) {
    return key.size() > folder.size() && IsSameOrInside(key, folder);
}

std::string RegistryText(HKEY key, const char* subkey, const char* name, bool expand) {
    char raw[MAX_PATH] = {}, expanded[MAX_PATH] = {};
    DWORD rawSize = sizeof raw - 1;
    if (::RegGetValueA(key, subkey, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, raw,
                       &rawSize) != ERROR_SUCCESS)
        return {};
    if (!expand) return raw;
    const DWORD length = ::ExpandEnvironmentStringsA(raw, expanded, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? expanded : std::string();
}

// The profile of every user the machine has registered, wherever it lies.
std::vector<std::wstring> RegisteredProfiles() {
    std::vector<std::wstring> profiles;
    RegKey list;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProfileList, 0, KEY_READ, list.Receive()) != ERROR_SUCCESS)
        return profiles;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (::RegEnumKeyExA(list, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        std::wstring profile = FullPathKey(RegistryText(list, name, "ProfileImagePath", true));
        if (!profile.empty()) profiles.push_back(std::move(profile));
    }
    return profiles;
}

// A registration's folder as a key: environment strings expanded, quotes and
// blanks around it dropped; empty for one that stays relative or unexpanded.
std::wstring RegisteredFolder(HKEY list, const wchar_t* code, const wchar_t* value) {
    wchar_t raw[MAX_PATH + 1] = {}, expanded[MAX_PATH] = {};
    DWORD size = sizeof raw - sizeof(wchar_t);
    if (::RegGetValueW(list, code, value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, raw, &size) !=
        ERROR_SUCCESS)
        return {};
    const DWORD length = ::ExpandEnvironmentStringsW(raw, expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return {};
    std::wstring folder = expanded;
    const size_t start = folder.find_first_not_of(L" \t\"");
    const size_t end = folder.find_last_not_of(L" \t\"");
    return start == std::wstring::npos ? std::wstring() : FullPathKey(std::wstring_view(folder).substr(start, end + 1 - start));
}

// Where the other registered products say they are installed: every
// registration of either hive and view, whatever its key's name.
std::vector<std::wstring> OtherProductFolders(const std::string& ownProductCode) {
    std::vector<std::wstring> folders;
    const std::wstring own = WidenAnsi(ownProductCode).value_or(L"");
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const wchar_t* const* uninstall = ProtectedFolders::kRegistrationKeys; *uninstall != nullptr; ++uninstall) {
            RegKey list;
            if (::RegOpenKeyExW(hive, *uninstall, 0, KEY_READ, list.Receive()) != ERROR_SUCCESS) continue;
            wchar_t code[256];
            for (DWORD i = 0;; ++i) {
                DWORD codeSize = 256;
                if (::RegEnumKeyExW(list, i, code, &codeSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
                if (hive == HKEY_LOCAL_MACHINE && ::lstrcmpiW(code, own.c_str()) == 0) continue;
                for (const wchar_t* value : kInstallFolderValues) {
                    std::wstring folder = RegisteredFolder(list, code, value);
                    if (!folder.empty()) folders.push_back(std::move(folder));
                }
            }
        }
    return folders;
}

// A folder of the shell by the name it has under "Shell Folders".
struct ShellFolder {
    std::string name;
    std::wstring key;
};

bool IsNamed(const ShellFolder& folder, const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& wanted) { return ::lstrcmpiA(wanted.c_str(), folder.name.c_str()) == 0; });
}

// A user's folders as the shell keeps them, redirections included (Documents on
// another drive): the expanded "Shell Folders" and the "User Shell Folders"
// that hold environment strings, %USERPROFILE% being that user's profile.
void ReadShellFolders(HKEY hive, const std::string& below, const std::string& profile, std::vector<ShellFolder>& folders) {
    static const char* const kShellFolders[] = {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                                "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"};
    for (const char* place : kShellFolders) {
        RegKey key;
        if (::RegOpenKeyExA(hive, (below + place).c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
            continue;
        for (DWORD i = 0;; ++i) {
            char name[256], data[MAX_PATH] = {};
            DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
            const LONG result = ::RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                                &dataSize);
            if (result == ERROR_NO_MORE_ITEMS) break;
            if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
            std::string folder = data;
            const size_t variable = folder.find("%USERPROFILE%");
            if (variable != std::string::npos) {
                if (profile.empty()) continue;
                folder.replace(variable, 13, profile);
            }
            char expanded[MAX_PATH] = {};
            const DWORD length = ::ExpandEnvironmentStringsA(folder.c_str(), expanded, MAX_PATH);
            std::wstring path = length > 0 && length <= MAX_PATH ? FullPathKey(std::string(expanded)) : std::wstring();
            if (StartsWithDriveRoot(path)) folders.push_back({name, std::move(path)});
        }
    }
}

// The shell folders of the machine, of this user and of every user whose
// settings are loaded: read once for every use, each read being a walk
// through every loaded user's settings.
std::vector<ShellFolder> ReadEveryonesShellFolders() {
    std::vector<ShellFolder> folders;
    char own[MAX_PATH] = {};
    ReadShellFolders(HKEY_CURRENT_USER, "", ::GetEnvironmentVariableA("USERPROFILE", own, MAX_PATH) < MAX_PATH ? own : "",
                     folders);
    ReadShellFolders(HKEY_LOCAL_MACHINE, "", "", folders);
    char sid[256];
    for (DWORD i = 0;; ++i) {
        DWORD sidSize = sizeof sid;
        if (::RegEnumKeyExA(HKEY_USERS, i, sid, &sidSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::string profile =
            RegistryText(HKEY_LOCAL_MACHINE, (std::string(kProfileList) + "\\" + sid).c_str(), "ProfileImagePath", true);
        ReadShellFolders(HKEY_USERS, std::string(sid) + "\\", profile, folders);
    }
    return folders;
}

std::wstring KnownFolderKey(const KNOWNFOLDERID& id) {
    CoTaskMemory<wchar_t> wide;
    if (FAILED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, wide.Receive())) || wide.Get() == nullptr)
        return {};
    return FullPathKey(wide.Get());
}

// The shell's known folders with a place in the file system: those of the
// machine as they are; those of the user, when they lie in the user's profile,
// also as their place inside a profile, for every other user.
bool ReadKnownFolders(const std::wstring& profile, std::vector<std::wstring>& machine,
                      std::vector<std::wstring>& inProfile, const std::function<void(const KNOWNFOLDERID&, const std::wstring&)>& found) {
    ComApartment apartment;  // either ours or the thread's own, whichever model it has
    ComPtr<IKnownFolderManager> manager;
    if (FAILED(::CoCreateInstance(CLSID_KnownFolderManager, nullptr, CLSCTX_INPROC_SERVER, IID_IKnownFolderManager,
                                  manager.ReceiveVoid())))
        return false;
    CoTaskMemory<KNOWNFOLDERID> ids;
    UINT count = 0;
    if (FAILED(manager->GetFolderIds(ids.Receive(), &count))) return false;
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IKnownFolder> folder;
        KF_CATEGORY category = KF_CATEGORY_VIRTUAL;
        if (FAILED(manager->GetFolder(ids.Get()[i], folder.Receive())) || FAILED(folder->GetCategory(&category)) ||
            category == KF_CATEGORY_VIRTUAL)
            continue;
        CoTaskMemory<wchar_t> wide;
        if (FAILED(folder->GetPath(KF_FLAG_DONT_VERIFY, wide.Receive())) || wide.Get() == nullptr) continue;
        std::wstring key = FullPathKey(wide.Get());
        if (!StartsWithDriveRoot(key)) continue;
        if (category == KF_CATEGORY_PERUSER && !profile.empty() && IsBelow(key, profile))
            inProfile.push_back(key.substr(profile.size() + 1));
        found(ids.Get()[i], key);
        machine.push_back(std::move(key));
    }
    return true;
}

std::wstring SystemKey() {
    char system[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(system, MAX_PATH);
    return length > 0 && length < MAX_PATH ? FullPathKey(system) : std::wstring();
}

// A profile itself, or a per-user folder inside it, or a folder holding one.
bool IsInProfileFolder(const std::wstring& key, const std::wstring& profile, const std::vector<std::wstring>& inProfile) {
    if (key == profile) return true;
    if (!IsBelow(key, profile)) return false;
    const std::wstring inside = key.substr(profile.size() + 1);
    for (const std::wstring& folder : inProfile)
        if (IsSameOrInside(folder, inside)) return true;
    return false;
}
// One of the known folders given, as it is and, inside the profile, relative to it.
template <size_t count>
void Place(const KNOWNFOLDERID* const (&ids)[count], const KNOWNFOLDERID& id, const std::wstring& key,
           const std::wstring& profile, std::vector<std::wstring>& machine, std::vector<std::wstring>& inProfile) {
    if (std::none_of(std::begin(ids), std::end(ids), [&](const KNOWNFOLDERID* one) { return ::IsEqualGUID(*one, id); }))
        return;
    if (!profile.empty() && IsBelow(key, profile)) inProfile.push_back(key.substr(profile.size() + 1));
    machine.push_back(key);
}

std::wstring TemporaryKey() {
    wchar_t temporary[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temporary);
    return length > 0 && length <= MAX_PATH ? FullPathKey(std::wstring_view(temporary, length)) : std::wstring();
}
}  // namespace

std::wstring WindowsFolderKey() {
    char windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    return length > 0 && length < MAX_PATH ? FullPathKey(windows) : std::wstring();
}

std::wstring UninstallInformationKey() {
    const std::wstring windows = WindowsFolderKey();
    return windows.empty() ? std::wstring() : PathKey(windows + L"\\INSTALLER");
}

ProtectedFolders ProtectedFolders::Read(const std::string& ownProductCode) {
    ProtectedFolders folders;
    const std::wstring profile = KnownFolderKey(FOLDERID_Profile);
    // The places of documents and shortcuts are known folders too: read with the rest.
    auto place = [&](const KNOWNFOLDERID& id, const std::wstring& key) {
        Place(kDocumentFolders, id, key, profile, folders.m_documents.machine, folders.m_documents.inProfile);
        Place(kShortcutFolders, id, key, profile, folders.m_shortcuts.machine, folders.m_shortcuts.inProfile);
    };
    if (!ReadKnownFolders(profile, folders.m_machine, folders.m_inProfile, place)) return folders;
    const std::wstring windows = WindowsFolderKey();
    folders.m_installer = UninstallInformationKey();
    if (windows.empty() || folders.m_installer.empty()) return folders;
    folders.m_machine.push_back(windows);
    const std::wstring system = SystemKey();
    if (!system.empty()) folders.m_machine.push_back(system);
    for (const ShellFolder& folder : ReadEveryonesShellFolders()) {
        folders.m_machine.push_back(folder.key);
        if (IsNamed(folder, kDocumentNames)) folders.m_documents.machine.push_back(folder.key);
        if (IsNamed(folder, kShortcutNames)) folders.m_shortcuts.machine.push_back(folder.key);
    }
    folders.m_profilesFolder = FullPathKey(RegistryText(HKEY_LOCAL_MACHINE, kProfileList, "ProfilesDirectory", true));
    if (!folders.m_profilesFolder.empty()) folders.m_machine.push_back(folders.m_profilesFolder);
    folders.m_profiles = RegisteredProfiles();
    folders.m_otherProducts = OtherProductFolders(ownProductCode);
    for (const wchar_t* temporary : kProfileTemporary) folders.m_temporary.inProfile.push_back(temporary);
    for (const wchar_t* documents : kProfileDocuments) folders.m_documents.inProfile.push_back(documents);
    for (const wchar_t* shortcuts : kProfileShortcuts) folders.m_shortcuts.inProfile.push_back(shortcuts);
    const std::wstring temporary = TemporaryKey();
    if (!temporary.empty()) folders.m_temporary.machine.push_back(temporary);
    if (!profile.empty() && IsBelow(temporary, profile))
        folders.m_temporary.inProfile.push_back(temporary.substr(profile.size() + 1));
    folders.m_temporary.machine.push_back(PathKey(windows + L"\\TEMP"));
    folders.m_complete = true;
    return folders;
}

bool ProtectedFolders::Protects(const std::wstring& key) const {
    if (!m_complete || !StartsWithDriveRoot(key) || key.size() <= 3) return true;
    if (IsSameOrInside(key, m_installer)) return true;
    for (const std::wstring& folder : m_machine)
        if (IsSameOrInside(folder, key)) return true;
    // Every folder directly in the profiles folder is someone's profile, made or
    // still to be made; other users' profiles may also lie elsewhere.
    if (!m_profilesFolder.empty() && IsBelow(key, m_profilesFolder)) {
        const std::wstring rest = key.substr(m_profilesFolder.size() + 1);
        const std::wstring profile = m_profilesFolder + L"\\" + rest.substr(0, rest.find(L'\\'));
        if (IsInProfileFolder(key, profile, m_inProfile)) return true;
    }
    for (const std::wstring& profile : m_profiles)
        if (IsSameOrInside(profile, key) || IsInProfileFolder(key, profile, m_inProfile)) return true;
    return false;
}

bool ProtectedFolders::HoldsAnotherProduct(const std::wstring& key) const {
    for (const std::wstring& folder : m_otherProducts)
        if (IsSameOrInside(folder, key)) return true;
    return false;
}

bool ProtectedFolders::LiesInAnotherProduct(const std::wstring& key) const {
    for (const std::wstring& folder : m_otherProducts)
        if (IsBelow(key, folder)) return true;
    return false;
}

void ProtectedFolders::ReadRegistrationsAgain(const std::string& ownProductCode) {
    for (std::wstring& folder : OtherProductFolders(ownProductCode))
        if (std::find(m_otherProducts.begin(), m_otherProducts.end(), folder) == m_otherProducts.end())
            m_otherProducts.push_back(std::move(folder));
}

bool ProtectedFolders::InPlaces(const Places& places, const std::wstring& key) const {
    for (const std::wstring& folder : places.machine)
        if (IsSameOrInside(key, folder)) return true;
    auto inProfile = [&](const std::wstring& profile) {
        if (!IsBelow(key, profile)) return false;
        const std::wstring inside = key.substr(profile.size() + 1);
        return std::any_of(places.inProfile.begin(), places.inProfile.end(),
                           [&](const std::wstring& folder) { return IsSameOrInside(inside, folder); });
    };
    if (!m_profilesFolder.empty() && IsBelow(key, m_profilesFolder)) {
        const std::wstring rest = key.substr(m_profilesFolder.size() + 1);
        if (inProfile(m_profilesFolder + L"\\" + rest.substr(0, rest.find(L'\\')))) return true;
    }
    return std::any_of(m_profiles.begin(), m_profiles.end(), inProfile);
}

bool ProtectedFolders::IsTemporary(const std::wstring& key) const { return !m_complete || InPlaces(m_temporary, key); }
bool ProtectedFolders::InDocuments(const std::wstring& key) const { return !m_complete || InPlaces(m_documents, key); }
bool ProtectedFolders::IsShortcutPlace(const std::wstring& key) const { return m_complete && InPlaces(m_shortcuts, key); }

