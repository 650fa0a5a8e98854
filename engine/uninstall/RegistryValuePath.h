#pragma once
#include <windows.h>

#include <string>

// Where a REGVAL line points: the root key named in the value (null when it names
// none), the subkey path and the value name (empty for the key's default value).
struct RegistryValuePath {
    HKEY root = nullptr;
    const char* rootName = nullptr;  // "HKEY_LOCAL_MACHINE"...
    std::string subkey;
    std::string valueName;
};

RegistryValuePath SplitRegistryValue(const std::string& value);
// The value as acted on: the root chosen, the subkey, the value name (a
// trailing backslash for the key's default value), whatever else the text named.
std::string RegistryValueText(const RegistryValuePath& path);
