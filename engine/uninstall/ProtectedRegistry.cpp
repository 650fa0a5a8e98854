#include "ProtectedRegistry.h"

#include <cstring>
#include <utility>

#include "../framework/AnsiPath.h"

namespace {
using NtQueryKeyFunction = LONG(NTAPI*)(HANDLE key, int informationClass, void* information, ULONG length,
                                        ULONG* resultLength);
constexpr int kKeyNameInformation = 3;

std::vector<std::wstring> Names(const std::wstring& path) {
    std::vector<std::wstring> names;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        if (end > start) names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool Matches(const std::wstring& name, const std::wstring& pattern) { return pattern == L"*" || name == pattern; }

// The first `count` names of both agree.
bool Agree(const std::vector<std::wstring>& names, const std::vector<std::wstring>& pattern, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (!Matches(names[i], pattern[i])) return false;
    return true;
}

std::optional<std::wstring> QueryKeyName(HKEY key) {
    static const auto query = reinterpret_cast<NtQueryKeyFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
    if (query == nullptr) return std::nullopt;
    alignas(ULONG) char buffer[4096];
    ULONG length = 0;
    if (query(key, kKeyNameInformation, buffer, sizeof buffer, &length) != 0) return std::nullopt;
    ULONG nameBytes = 0;
    std::memcpy(&nameBytes, buffer, sizeof nameBytes);
    if (nameBytes > sizeof buffer - sizeof nameBytes) return std::nullopt;
    return UpperCase(std::wstring(reinterpret_cast<const wchar_t*>(buffer + sizeof nameBytes), nameBytes / sizeof(wchar_t)));
}

std::optional<std::wstring> RootName(HKEY root) {
    // A root handle is no key of its own to ask; a value directly in a root is
    // in none of the protected places, which all lie deeper.
    if (root == HKEY_LOCAL_MACHINE) return L"\\REGISTRY\\MACHINE";
    if (root == HKEY_USERS) return L"\\REGISTRY\\USER";
    if (root == HKEY_CLASSES_ROOT) return L"\\REGISTRY\\MACHINE\\SOFTWARE\\CLASSES";
    if (root == HKEY_CURRENT_CONFIG) return L"\\REGISTRY\\MACHINE\\SYSTEM\\CURRENTCONTROLSET\\HARDWARE PROFILES\\CURRENT";
    if (root == HKEY_CURRENT_USER) {
        HKEY user = nullptr;
        if (::RegOpenCurrentUser(KEY_READ, &user) != ERROR_SUCCESS) return std::nullopt;
        std::optional<std::wstring> name = QueryKeyName(user);
        ::RegCloseKey(user);
        return name;
    }
    return std::nullopt;
}

// Below each root the software of both views.
const wchar_t* const kRoots[] = {L"REGISTRY\\MACHINE\\SOFTWARE", L"REGISTRY\\MACHINE\\SOFTWARE\\WOW6432NODE",
                                 L"REGISTRY\\USER\\*\\SOFTWARE", L"REGISTRY\\USER\\*\\SOFTWARE\\WOW6432NODE"};
const wchar_t kUninstall[] = L"MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL";
const wchar_t kServices[] = L"REGISTRY\\MACHINE\\SYSTEM\\*\\SERVICES";
const struct {
    const wchar_t* below;
    RegistryPlace kind;
} kSoftwarePlaces[] = {
    {kUninstall, RegistryPlace::kReadByRemoval},
    {L"MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER\\SHELL FOLDERS", RegistryPlace::kReadByRemoval},
    {L"MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER\\USER SHELL FOLDERS", RegistryPlace::kReadByRemoval},
    {L"MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER\\FOLDERDESCRIPTIONS", RegistryPlace::kReadByRemoval},
    {L"MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PROFILELIST", RegistryPlace::kReadByRemoval},
    {L"MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHAREDDLLS", RegistryPlace::kReadByRemoval},
    {L"MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\WINLOGON", RegistryPlace::kVital},
};
const wchar_t* const kSystemsSoftware[] = {L"MICROSOFT", L"CLASSES", L"POLICIES", L"CLIENTS",
                                           L"REGISTEREDAPPLICATIONS", L"WOW6432NODE"};
}  // namespace

std::optional<std::wstring> RegistryKeyName(HKEY opened, HKEY root, const std::string& subkey) {
    return subkey.empty() ? RootName(root) : QueryKeyName(opened);
}

ProtectedRegistry::ProtectedRegistry(std::string ownProductCode, std::set<std::wstring> ownServices)
    : m_ownServices(std::move(ownServices)) {
    if (std::optional<std::wstring> code = WidenAnsi(ownProductCode)) m_ownProductCode = UpperCase(*code);
    for (const wchar_t* root : kRoots)
        for (const auto& place : kSoftwarePlaces)
            m_places.push_back({Names(std::wstring(root) + L"\\" + place.below), place.kind});
    m_places.push_back({Names(L"REGISTRY\\MACHINE\\SYSTEM\\*\\CONTROL"), RegistryPlace::kVital});
    m_places.push_back({Names(kServices), RegistryPlace::kVital});
}

const ProtectedRegistry::Place* ProtectedRegistry::Containing(const std::vector<std::wstring>& names) const {
    for (const Place& place : m_places)
        if (place.names.size() <= names.size() && Agree(names, place.names, place.names.size())) return &place;
    return nullptr;
}

RegistryPlace ProtectedRegistry::PlaceOf(const std::wstring& keyName) const {
    const std::vector<std::wstring> names = Names(UpperCase(keyName));
    const Place* place = Containing(names);
    if (place == nullptr) return RegistryPlace::kOrdinary;
    const size_t depth = place->names.size();
    // Below the uninstall key each subkey is a product's registration; below
    // the services key each is a service's settings.
    if (place->names.back() == L"UNINSTALL" && names.size() > depth && names[depth] != m_ownProductCode)
        return RegistryPlace::kOtherProduct;
    if (place->names.back() == L"SERVICES" && names.size() > depth && m_ownServices.count(names[depth]) != 0)
        return RegistryPlace::kOrdinary;
    return place->kind;
}

bool ProtectedRegistry::IsVendorsKey(const std::wstring& keyName) {
    const std::vector<std::wstring> names = Names(UpperCase(keyName));
    // REGISTRY\MACHINE\SOFTWARE\vendor or REGISTRY\USER\sid\SOFTWARE\vendor, or the same below WOW6432NODE.
    size_t vendor = 0;
    if (names.size() > 3 && names[0] == L"REGISTRY" && names[1] == L"MACHINE" && names[2] == L"SOFTWARE")
        vendor = 3;
    else if (names.size() > 4 && names[0] == L"REGISTRY" && names[1] == L"USER" && names[3] == L"SOFTWARE")
        vendor = 4;
    else
        return false;
    if (names[vendor] == L"WOW6432NODE") ++vendor;
    if (vendor >= names.size()) return false;
    for (const wchar_t* system : kSystemsSoftware)
        if (names[vendor] == system) return false;
    return true;
}

bool ProtectedRegistry::Protects(const std::wstring& keyName) const {
    const std::vector<std::wstring> names = Names(UpperCase(keyName));
    if (PlaceOf(keyName) != RegistryPlace::kOrdinary) return true;
    for (const Place& place : m_places)
        if (names.size() < place.names.size() && Agree(names, place.names, names.size())) return true;
    return false;
}
