#pragma once
#include <windows.h>

#include <optional>
#include <string>

// Real registry keys for tests, written and read through the platform's API.
namespace TestRegistry {
bool WriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
bool WriteDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
bool WriteBinary(HKEY root, const std::string& key, const std::string& name, const std::string& bytes);
bool KeyExists(HKEY root, const std::string& key);
bool ValueExists(HKEY root, const std::string& key, const std::string& name);
std::optional<std::string> ReadString(HKEY root, const std::string& key, const std::string& name);
// Removes the key with everything below it; a missing key is fine.
void DeleteTree(HKEY root, const std::string& key);
}  // namespace TestRegistry
