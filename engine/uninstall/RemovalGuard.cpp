#include "RemovalGuard.h"

#include <algorithm>
#include <set>
#include <vector>

#include "../framework/AnsiPath.h"
#include "../framework/LibraryLoading.h"
#include "../framework/ScHandle.h"
#include "CanonicalPath.h"
#include "ProgramPath.h"

namespace {
constexpr char kProtected[] = "refused, a protected folder";
constexpr char kHoldsOtherProduct[] = "refused, it holds another product's folder";
constexpr char kInOtherProduct[] = "refused, it lies in another product's folder";
constexpr char kUninstallInformation[] = "refused, part of the uninstall information";
constexpr char kOutsideProductFolder[] = "refused, outside the product's folder: ";
constexpr char kNotProductsService[] = "refused, not the product's service: ";
constexpr char kOutsideProduct[] = " lies outside the product";
constexpr char kStartsOtherProgram[] = "refused, it starts a program outside the product: ";
constexpr char kKeyUnknown[] = "refused, where the key really is cannot be told";
constexpr char kProtectedKey[] = "refused, a protected place of the registry";

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
    : m_folders(ProtectedFolders::Read(productCode)),
      m_uninstallInformation(UninstallInformationKey()),
      m_productFolder{PathKey(productFolder), FinalKeyOf(productFolder)},
      m_windows{WindowsFolderKey(), FinalKeyOf(WindowsFolderKey())},
      m_services(ReadServices()),
      m_shared(SharedFiles::Read()) {
    PlatformFileProtection();
    if (const CanonicalPath install = CanonicalFullPath(installFolder)) {
        Folder folder{PathKey(install.path), FinalKeyOf(install.path)};
        if (FolderRefusal(folder.key, FolderAction::kInstallFolder) == nullptr &&
            (!folder.finalKey || FolderRefusal(*folder.finalKey, FolderAction::kInstallFolder) == nullptr))
            m_installFolder = std::move(folder);
    }
    std::set<std::wstring> own;
    for (const auto& [name, service] : m_services)
        if (!IsServiceHost(service.first) && IsProductsProgram(service.first)) own.insert(name);
    m_registry.emplace(productCode, std::move(own));
}

const char* RemovalGuard::FolderRefusal(const std::wstring& key, FolderAction action) const {
    if (m_folders.Protects(key)) return kProtected;
    if (action == FolderAction::kSpecialProductFolder) return nullptr;
    if (m_folders.HoldsAnotherProduct(key)) return kHoldsOtherProduct;
    if (action == FolderAction::kInstallFolder && m_folders.LiesInAnotherProduct(key)) return kInOtherProduct;
    return nullptr;
}

const char* RemovalGuard::FileRefusal(const std::wstring& key) const {
    return IsSameOrInside(key, m_uninstallInformation) ? kUninstallInformation : nullptr;
}

bool RemovalGuard::IsPlatformProtected(const std::wstring& path) const {
    const SfcIsFileProtectedFunction isProtected = PlatformFileProtection();
    return isProtected != nullptr && isProtected(nullptr, path.c_str());
}

bool RemovalGuard::KeepsInTree(const std::wstring& key) const {
    const SharedFiles::Share share = m_shared.Find(key, key);
    return (share.registered && (share.count > 1 || share.released || !share.readable)) || IsPlatformProtected(key);
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

std::string RemovalGuard::ServiceRefusal(SC_HANDLE manager, const std::string& name) const {
    ScHandle service(::OpenServiceA(manager, name.c_str(), SERVICE_QUERY_CONFIG));
    if (!service) return {};
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
            return kNotProductsService + std::string("it names no program by a full path: ") + AnsiText(registered);
        if (IsServiceHost(program)) return kNotProductsService + ("its program " + program + " is the system's service host");
        if (!IsProductsProgram(program)) return kNotProductsService + ("its program " + program + kOutsideProduct);
    }
    return {};
}

std::string RemovalGuard::RegistryValueRefusal(HKEY key, HKEY root, const std::string& subkey,
                                               const std::string& valueName) const {
    const std::optional<std::wstring> name = RegistryKeyName(key, root, subkey);
    if (!name) return kKeyUnknown;
    switch (m_registry->PlaceOf(*name)) {
    case RegistryPlace::kOrdinary: return {};
    case RegistryPlace::kOtherProduct: return "refused, inside another product's registration";
    case RegistryPlace::kReadByRemoval: return "refused, a value that the removal's own checks read";
    case RegistryPlace::kVital: return "refused, a vital place of the system";
    case RegistryPlace::kStartsPrograms: break;
    }
    DWORD type = 0, size = 0;
    const LONG found = ::RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size);
    if (found == ERROR_FILE_NOT_FOUND) return {};  // nothing to delete: the deletion says so
    std::string data(size, '\0');
    if (found != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) ||
        ::RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS)
        return kStartsOtherProgram + std::string("no program named");
    data.resize(std::min<size_t>(size, data.size()));
    data = data.substr(0, data.find('\0'));
    const std::optional<std::wstring> command = WidenAnsi(data);
    const std::string program = command ? ProgramOfCommand(*command) : std::string();
    if (IsProductsProgram(program)) return {};
    return kStartsOtherProgram + (program.empty() ? data : program);
}

const char* RemovalGuard::RegistryKeyRefusal(HKEY key, HKEY root, const std::string& subkey) const {
    const std::optional<std::wstring> name = RegistryKeyName(key, root, subkey);
    if (!name) return kKeyUnknown;
    return m_registry->Protects(*name) ? kProtectedKey : nullptr;
}

std::string RemovalGuard::CompanionRefusal(const std::string& fullPath) const {
    if (Holds(m_productFolder, PathKey(fullPath), FinalKeyOf(fullPath))) return {};
    return kOutsideProductFolder + fullPath;
}
