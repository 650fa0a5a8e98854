#include "TestRegistry.h"

#include <sddl.h>

namespace {
bool Write(HKEY root, const std::string& key, const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY handle = nullptr;
    if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG result = ::RegSetValueExA(handle, name.empty() ? nullptr : name.c_str(), 0, type,
                                   static_cast<const BYTE*>(data), size);
    ::RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}
}  // namespace

namespace TestRegistry {
bool WriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value, DWORD type) {
    return Write(root, key, name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

bool MakeLink(HKEY root, const std::string& key, const std::wstring& target) {
    HKEY link = nullptr;
    if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS, nullptr, &link,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = ::RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.data()),
                                         static_cast<DWORD>(target.size() * sizeof(wchar_t)));
    ::RegCloseKey(link);
    return result == ERROR_SUCCESS;
}

void DeleteLink(HKEY root, const std::string& key) {
    HKEY link = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), REG_OPTION_OPEN_LINK, DELETE, &link) != ERROR_SUCCESS) return;
    using NtDeleteKeyFunction = LONG(NTAPI*)(HANDLE);
    if (auto deleteKey = reinterpret_cast<NtDeleteKeyFunction>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey"))))
        deleteKey(link);
    ::RegCloseKey(link);
}

bool WriteDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
    return Write(root, key, name, REG_DWORD, &value, sizeof value);
}

bool WriteBinary(HKEY root, const std::string& key, const std::string& name, const std::string& bytes) {
    return Write(root, key, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool KeyExists(HKEY root, const std::string& key) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    ::RegCloseKey(handle);
    return true;
}

bool ValueExists(HKEY root, const std::string& key, const std::string& name) {
    return ::RegGetValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_ANY, nullptr, nullptr,
                          nullptr) == ERROR_SUCCESS;
}

std::optional<std::string> ReadString(HKEY root, const std::string& key, const std::string& name) {
    char buffer[4096] = {};
    DWORD size = sizeof buffer;
    if (::RegGetValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                       &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(buffer);
}

std::optional<DWORD> ReadDword(HKEY root, const std::string& key, const std::string& name) {
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void DeleteTree(HKEY root, const std::string& key) { ::RegDeleteTreeA(root, key.c_str()); }

void DeleteValue(HKEY root, const std::string& key, const std::string& name) {
    ::RegDeleteKeyValueA(root, key.c_str(), name.c_str());
}

std::string CurrentUserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    alignas(TOKEN_USER) char buffer[256];
    DWORD size = 0;
    char* text = nullptr;
    std::string sid;
    if (::GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
        ::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
        sid = text;
        ::LocalFree(text);
    }
    ::CloseHandle(token);
    return sid;
}

SavedValue::SavedValue(HKEY root, std::string key, std::string name)
    : m_root(root), m_key(std::move(key)), m_name(std::move(name)) {
    char buffer[4096];
    DWORD size = sizeof buffer;
    if (::RegGetValueA(m_root, m_key.c_str(), m_name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &m_type, buffer, &size) ==
        ERROR_SUCCESS)
        m_data = std::string(buffer, size);
}

SavedValue::~SavedValue() {
    if (m_data)
        Write(m_root, m_key, m_name, m_type, m_data->data(), static_cast<DWORD>(m_data->size()));
    else
        DeleteValue(m_root, m_key, m_name);
}
}  // namespace TestRegistry
