#include "RegistryValuePath.h"

#include "../framework/FixedText.h"

RegistryValuePath SplitRegistryValue(const std::string& value) {
    // Searched anywhere in the value in this order; a later row found replaces an
    // earlier choice, so the lowest row present wins.
    static const struct { const char* name; HKEY key; } kRoots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},   {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},
    };
    static const char* const kPrefixes[] = {"HKEY_CLASSES_ROOT\\", "HKEY_CURRENT_USER\\", "HKEY_LOCAL_MACHINE\\",
                                            "HKEY_USERS\\", "HKEY_CURRENT_CONFIG\\"};
    RegistryValuePath path;
    for (const auto& root : kRoots)
        if (value.find(root.name) != std::string::npos) {
            path.root = root.key;
            path.rootName = root.name;
        }

    std::string rest = value;
    for (const char* prefix : kPrefixes) rest = ReplaceAll(rest, prefix, "");
    size_t slash = rest.rfind('\\');
    if (slash == std::string::npos) {
        path.subkey = rest;
    } else {
        path.subkey = rest.substr(0, slash);
        path.valueName = rest.substr(slash + 1);
    }
    return path;
}

std::string RegistryValueText(const RegistryValuePath& path) {
    return std::string(path.rootName != nullptr ? path.rootName : "") + "\\" + path.subkey + "\\" + path.valueName;
}
