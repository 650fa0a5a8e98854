#include "Registro.h"

#include <vector>

#include "../framework/FixedText.h"
#include "../framework/RegKey.h"

bool CRegistro::HasKey(const std::string& keyPath) {
    RegKey key;
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, FitBuffer(keyPath, 256).c_str(), 0, KEY_READ, key.Receive()) ==
           ERROR_SUCCESS;
}

std::string CRegistro::ReadString(const std::string& keyPath, const std::string& valueName) {
    const std::string path = FitBuffer(keyPath, 256);
    const std::string name = FitBuffer(valueName, 256);
    RegKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS)
        return {};
    DWORD size = 0;
    if (::RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return {};
    // One spare zero byte: a value stored without a terminator (binary, DWORD)
    // still reads as a bounded text.
    std::vector<char> block(size + 1, '\0');
    if (::RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(block.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    return std::string(block.data());
}
