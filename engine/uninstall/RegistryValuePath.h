#pragma once
#include <windows.h>

#include <string>

// Where a REGVAL line points: the root key named in the value (null when it names
// none), the subkey path and the value name (empty for the key's default value).
struct RegistryValuePath {
    HKEY root = nullptr;
    std::string subkey;
    std::string valueName;
};

RegistryValuePath SplitRegistryValue(const std::string& value);
