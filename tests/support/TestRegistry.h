#pragma once
#include <windows.h>

#include <optional>
#include <string>

// Real registry keys for tests, written and read through the platform's API.
namespace TestRegistry {
bool WriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                 DWORD type = REG_SZ);
bool WriteDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
bool WriteBinary(HKEY root, const std::string& key, const std::string& name, const std::string& bytes);
bool KeyExists(HKEY root, const std::string& key);
bool ValueExists(HKEY root, const std::string& key, const std::string& name);
std::optional<std::string> ReadString(HKEY root, const std::string& key, const std::string& name);
std::optional<DWORD> ReadDword(HKEY root, const std::string& key, const std::string& name);
// Removes the key with everything below it; a missing key is fine.
void DeleteTree(HKEY root, const std::string& key);
void DeleteValue(HKEY root, const std::string& key, const std::string& name);
// The key made a link to the target, a key's full name ("\\REGISTRY\\MACHINE\\..."),
// and the link itself removed again.
bool MakeLink(HKEY root, const std::string& key, const std::wstring& target);
void DeleteLink(HKEY root, const std::string& key);
// The current user's SID, the name of the user's hive under HKEY_USERS.
std::string CurrentUserSid();

// A value as it is now, put back (or removed again) when the object goes.
class SavedValue {
public:
    SavedValue(HKEY root, std::string key, std::string name);
    ~SavedValue();
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

private:
    HKEY m_root;
    std::string m_key, m_name;
    DWORD m_type = REG_NONE;
    std::optional<std::string> m_data;
};
}  // namespace TestRegistry
