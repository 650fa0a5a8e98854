#include "RemovalGuard.h"

#include <algorithm>
#include <cwctype>
#include <set>
#include <vector>

#include "../framework/AnsiPath.h"
#include "../framework/LibraryLoading.h"
#include "../framework/ScHandle.h"
#include "CanonicalPath.h"
#include "ProgramPath.h"

namespace {
// A text of the system for the removal log, in its code page: a character it
// lacks shows as "?".
std::string AnsiText(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length > 0 ? length : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                          nullptr);
    return narrow;
}

std::wstring ServiceCommand(SC_HANDLE service) {
    DWORD needed = 0;
    ::QueryServiceConfigW(service, nullptr, 0, &needed);
    if (needed == 0) return {};
    std::vector<QUERY_SERVICE_CONFIGW> buffer(needed / sizeof(QUERY_SERVICE_CONFIGW) + 1);
    const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(QUERY_SERVICE_CONFIGW));
    if (!::QueryServiceConfigW(service, buffer.data(), size, &needed) || buffer[0].lpBinaryPathName == nullptr)
        return {};
    return buffer[0].lpBinaryPathName;
}

// The command a service runs as the service manager keeps it (its ImagePath),
// read from where the manager keeps it: asking the manager costs a call to its
// process for each service.
std::wstring RegisteredCommand(const wchar_t* name) {
    const std::wstring key = std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + name;
    wchar_t command[4096];
    DWORD size = sizeof command - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"ImagePath", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                       nullptr, command, &size) != ERROR_SUCCESS)
        return {};
    return command;
}

// Every service and driver the service manager knows, with the command it runs.
std::map<std::wstring, std::pair<std::string, std::wstring>> ReadServices() {
    std::map<std::wstring, std::pair<std::string, std::wstring>> services;
    ScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) return services;
    std::vector<BYTE> buffer(64 * 1024);
    DWORD resume = 0;
    for (;;) {
        DWORD needed = 0, count = 0;
        const BOOL done = ::EnumServicesStatusExW(manager, SC_ENUM_PROCESS_INFO, SERVICE_TYPE_ALL, SERVICE_STATE_ALL,
                                                  buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &count,
                                                  &resume, nullptr);
        if (!done && ::GetLastError() != ERROR_MORE_DATA) break;
        const auto* entries = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            const std::wstring command = RegisteredCommand(entries[i].lpServiceName);
            services[UpperCase(entries[i].lpServiceName)] = {ProgramOfCommand(command), command};
        }
        if (done) break;
        if (count == 0 && needed > buffer.size()) buffer.resize(needed);
    }
    return services;
}

bool IsServiceHost(const std::string& program) {
    return ::lstrcmpiA(LastPathComponent(program).c_str(), "svchost.exe") == 0;
}

bool IsShortcut(const std::wstring& key) {
    const size_t dot = key.find_last_of(L".\\");
    if (dot == std::wstring::npos || key[dot] != L'.') return false;
    const std::wstring extension = key.substr(dot);
    return extension == L".LNK" || extension == L".URL" || extension == L".PIF";
}

// The full paths a value's data names, each up to what ends a path in a
// command line or a list (a quote, a semicolon, a bar), arguments included:
// "C:\a\b.exe" /x;D:\c names C:\a\b.exe and D:\c.
std::vector<std::wstring> NamedPaths(const std::wstring& data) {
    std::vector<std::wstring> paths;
    auto isSeparator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    for (size_t at = 0; at < data.size(); ++at) {
        const bool afterName = at > 0 && (std::iswalnum(data[at - 1]) || isSeparator(data[at - 1]));
        const bool drive = at + 2 < data.size() && std::iswalpha(data[at]) && data[at + 1] == L':' && isSeparator(data[at + 2]);
        const bool share = at + 1 < data.size() && isSeparator(data[at]) && isSeparator(data[at + 1]);
        if (afterName || (!drive && !share)) continue;
        size_t end = data.find_first_of(L"\";|<>*?\t\r\n", at);
        if (end == std::wstring::npos) end = data.size();
        std::wstring path = data.substr(at, end - at);
        while (!path.empty() && path.back() == L' ') path.pop_back();
        std::replace(path.begin(), path.end(), L'/', L'\\');
        paths.push_back(std::move(path));
        at = end;
    }
    return paths;
}

// A named path (with its arguments) lies in the folder of that key; ".." on
// the way leaves it.
bool NamesInside(const std::wstring& named, const std::wstring& folderKey) {
    if (folderKey.empty() || named.size() < folderKey.size() || named.compare(0, folderKey.size(), folderKey) != 0)
        return false;
    if (named.size() > folderKey.size() && named[folderKey.size()] != L'\\' && named[folderKey.size()] != L' ' &&
        named[folderKey.size()] != L',')
        return false;
    return named.find(L"\\..") == std::wstring::npos;
}

using SfcIsFileProtectedFunction = BOOL(WINAPI*)(HANDLE rpc, LPCWSTR path);

SfcIsFileProtectedFunction PlatformFileProtection() {
    // Looked up, not imported: a system without it has no protected files to ask about.
    static const auto function = [] {
        HMODULE library = LoadSystemLibrary("sfc.dll");
        if (library == nullptr) library = LoadSystemLibrary("sfc_os.dll");
        return library == nullptr ? nullptr
                                  : reinterpret_cast<SfcIsFileProtectedFunction>(
                                        reinterpret_cast<void*>(::GetProcAddress(library, "SfcIsFileProtected")));
    }();
    return function;
}
}  // namespace

RemovalGuard::RemovalGuard(const std::string& productCode, const std::string& installFolder,
                           const std::string& productFolder)
    : m_productCode(productCode),
      m_folders(ProtectedFolders::Read(productCode)),
      m_uninstallInformation(UninstallInformationKey()),
      m_productFolder{PathKey(productFolder), FinalKeyOf(productFolder)},
      m_windows{WindowsFolderKey(), FinalKeyOf(WindowsFolderKey())},
      m_services(ReadServices()),
      m_shared(SharedFiles::Read()) {
    for (const wchar_t* const* key = ProtectedFolders::kRegistrationKeys; *key != nullptr; ++key)
        for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) m_changes.Add(hive, *key);
    for (const wchar_t* key : SharedFiles::kViews) m_changes.Add(HKEY_LOCAL_MACHINE, key);
    PlatformFileProtection();
    m_ownFolders.push_back(m_productFolder);
    m_installFolder = ProductsFolder(installFolder);
    if (m_installFolder) m_ownFolders.push_back(*m_installFolder);
    std::set<std::wstring> own;
    for (const auto& [name, service] : m_services)
        if (!IsServiceHost(service.first) && IsProductsProgram(service.first)) own.insert(name);
    m_registry.emplace(productCode, std::move(own));
}

std::optional<RemovalGuard::Folder> RemovalGuard::ProductsFolder(const std::string& raw) const {
    const CanonicalPath folder = CanonicalFullPath(raw);
    if (!folder) return std::nullopt;
    Folder own{PathKey(folder.path), FinalKeyOf(folder.path)};
    if (FolderRefusal(own.key, FolderAction::kInstallFolder) ||
        (own.finalKey && FolderRefusal(*own.finalKey, FolderAction::kInstallFolder)))
        return std::nullopt;
    return own;
}

void RemovalGuard::AddLogFolder(const std::string& raw) {
    if (std::optional<Folder> folder = ProductsFolder(raw)) m_ownFolders.push_back(std::move(*folder));
}

void RemovalGuard::Refresh() {
    // One look for both, before every action: they change seldom.
    if (m_changes.Changed()) ReadAgain();
}

void RemovalGuard::RefreshAsSignalled() {
    if (m_changes.ChangedAsSignalled()) ReadAgain();
}

void RemovalGuard::ReadAgain() {
    m_folders.ReadRegistrationsAgain(m_productCode);
    m_shared.ReadAgain();
}

Refusal RemovalGuard::FolderRefusal(const std::wstring& key, FolderAction action) const {
    if (m_folders.Protects(key)) return RemovalOutcome{Outcome::kProtectedFolder};
    if (m_folders.HoldsAnotherProduct(key)) return RemovalOutcome{Outcome::kHoldsOtherProduct};
    if (action == FolderAction::kSpecialProductFolder) return std::nullopt;
    // A place of the system below the Windows folder (drivers, inf) is no product's.
    if (IsSameOrInside(key, m_windows.key)) return RemovalOutcome{Outcome::kInWindows};
    if (m_folders.IsTemporary(key)) return RemovalOutcome{Outcome::kTemporary};
    if (m_folders.LiesInAnotherProduct(key)) return RemovalOutcome{Outcome::kInOtherProduct};
    if (m_folders.InDocuments(key)) return RemovalOutcome{Outcome::kInDocuments};
    return std::nullopt;
}

Refusal RemovalGuard::FileRefusal(const std::wstring& key) const {
    if (IsSameOrInside(key, m_uninstallInformation)) return RemovalOutcome{Outcome::kUninstallInformation};
    return std::nullopt;
}

bool RemovalGuard::InProductsFolders(const std::wstring& key, const std::optional<std::wstring>& finalKey) const {
    return std::any_of(m_ownFolders.begin(), m_ownFolders.end(),
                       [&](const Folder& folder) { return Holds(folder, key, finalKey); });
}

Refusal RemovalGuard::OwnershipRefusal(const std::wstring& key, const std::wstring& finalKey) const {
    if (m_folders.LiesInAnotherProduct(key) || m_folders.LiesInAnotherProduct(finalKey))
        return RemovalOutcome{Outcome::kInOtherProduct};
    if (InProductsFolders(key, finalKey)) return std::nullopt;
    if (IsShortcut(key) && IsShortcut(finalKey) && m_folders.IsShortcutPlace(key) && m_folders.IsShortcutPlace(finalKey))
        return std::nullopt;
    if (m_shared.Find(key, finalKey).registered) return std::nullopt;
    return RemovalOutcome{Outcome::kFileNotShown};
}

bool RemovalGuard::IsPlatformProtected(const std::wstring& path) const {
    const SfcIsFileProtectedFunction isProtected = PlatformFileProtection();
    return isProtected != nullptr && isProtected(nullptr, path.c_str());
}

bool RemovalGuard::KeepsInTree(const std::wstring& key) const {
    const SharedFiles::Share share = m_shared.Find(key, key);
    return (share.registered && (share.count > 1 || share.released || !share.readable)) || IsPlatformProtected(key) ||
           m_folders.LiesInAnotherProduct(key);
}

bool RemovalGuard::Holds(const Folder& folder, const std::wstring& key, const std::optional<std::wstring>& finalKey) {
    if (folder.key.empty() || key == folder.key || !IsSameOrInside(key, folder.key)) return false;
    return !finalKey || !folder.finalKey || IsSameOrInside(*finalKey, *folder.finalKey);
}

bool RemovalGuard::IsProductsProgram(const std::string& program) const {
    if (program.empty()) return false;
    const std::wstring key = PathKey(program);
    const std::optional<std::wstring> finalKey = FinalKeyOf(program);
    if (Holds(m_productFolder, key, finalKey)) return true;
    // An install folder that a registration puts among the platform's files
    // makes none of them the product's.
    if (IsSameOrInside(key, m_windows.key) || (finalKey && m_windows.finalKey && IsSameOrInside(*finalKey, *m_windows.finalKey)))
        return false;
    return m_installFolder && Holds(*m_installFolder, key, finalKey);
}

Refusal RemovalGuard::ServiceRefusal(SC_HANDLE manager, const std::string& name) const {
    ScHandle service(::OpenServiceA(manager, name.c_str(), SERVICE_QUERY_CONFIG));
    if (!service) return std::nullopt;
    // The program as registered when the removal began and as the service
    // manager has it now (a companion may have made or changed the service
    // since): both must be the product's.
    std::vector<std::pair<std::string, std::wstring>> programs;
    const std::optional<std::wstring> wide = WidenAnsi(name);
    if (auto known = wide ? m_services.find(UpperCase(*wide)) : m_services.end(); known != m_services.end())
        programs.push_back(known->second);
    const std::wstring command = ServiceCommand(service);
    programs.push_back({ProgramOfCommand(command), command});
    for (const auto& [program, registered] : programs) {
        if (program.empty())
            return RemovalOutcome{Outcome::kNotProductsService, "it names no program by a full path: " + AnsiText(registered)};
        if (IsServiceHost(program))
            return RemovalOutcome{Outcome::kNotProductsService, "its program " + program + " is the system's service host"};
        if (!IsProductsProgram(program))
            return RemovalOutcome{Outcome::kNotProductsService, "its program " + program + " lies outside the product"};
    }
    return std::nullopt;
}

Refusal RemovalGuard::RegistryValueRefusal(HKEY key, HKEY root, const std::string& subkey,
                                           const std::string& valueName) const {
    const std::optional<std::wstring> name = RegistryKeyName(key, root, subkey);
    if (!name) return RemovalOutcome{Outcome::kKeyUnknown};
    switch (m_registry->PlaceOf(*name)) {
    case RegistryPlace::kOrdinary: break;
    case RegistryPlace::kOtherProduct: return RemovalOutcome{Outcome::kOtherRegistration};
    case RegistryPlace::kReadByRemoval: return RemovalOutcome{Outcome::kReadByRemoval};
    case RegistryPlace::kVital: return RemovalOutcome{Outcome::kVitalPlace};
    }
    if (m_registry->IsVendorsKey(*name)) return std::nullopt;
    return DataRefusal(key, valueName);
}

// A value outside the keys of vendors (file types, COM classes, the
// environment, Control Panel, anything of the system's) is the product's only
// when its data names the product's folders and nothing else.
Refusal RemovalGuard::DataRefusal(HKEY key, const std::string& valueName) const {
    const std::optional<std::wstring> name = WidenAnsi(valueName);
    if (!name) return RemovalOutcome{Outcome::kValueNamesNoPath};
    DWORD type = 0, size = 0;
    const LONG found = ::RegQueryValueExW(key, name->c_str(), nullptr, &type, nullptr, &size);
    if (found == ERROR_FILE_NOT_FOUND) return std::nullopt;  // nothing to delete: the deletion says so
    if (found != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ))
        return RemovalOutcome{Outcome::kValueNamesNoPath};
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (::RegQueryValueExW(key, name->c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) !=
        ERROR_SUCCESS)
        return RemovalOutcome{Outcome::kValueNamesNoPath};
    data.resize(std::min<size_t>(read / sizeof(wchar_t), data.size()));
    // The strings of a list, and whatever follows a terminator, are read as well.
    std::replace(data.begin(), data.end(), L'\0', L';');
    std::wstring expanded(32768, L'\0');
    const DWORD length = ::ExpandEnvironmentStringsW(data.c_str(), expanded.data(), 32768);
    if (length > 0 && length <= 32768) data.assign(expanded.c_str());
    const std::vector<std::wstring> paths = NamedPaths(data);
    if (paths.empty()) return RemovalOutcome{Outcome::kValueNamesNoPath};
    for (const std::wstring& path : paths) {
        const std::wstring named = PathKey(path);
        const bool inside = std::any_of(m_ownFolders.begin(), m_ownFolders.end(), [&](const Folder& folder) {
            return NamesInside(named, folder.key) || (folder.finalKey && NamesInside(named, *folder.finalKey));
        });
        if (!inside) return RemovalOutcome{Outcome::kValueNamesOutside, AnsiText(path)};
    }
    return std::nullopt;
}

Refusal RemovalGuard::RegistryKeyRefusal(HKEY key, HKEY root, const std::string& subkey) const {
    const std::optional<std::wstring> name = RegistryKeyName(key, root, subkey);
    if (!name) return RemovalOutcome{Outcome::kKeyUnknown};
    if (m_registry->Protects(*name)) return RemovalOutcome{Outcome::kProtectedKey};
    return std::nullopt;
}

Refusal RemovalGuard::CompanionRefusal(const std::string& fullPath) const {
    if (Holds(m_productFolder, PathKey(fullPath), FinalKeyOf(fullPath))) return std::nullopt;
    return RemovalOutcome{Outcome::kOutsideProductFolder, fullPath};
}
