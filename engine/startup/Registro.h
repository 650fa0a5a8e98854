#pragma once
#include <string>

#include "../framework/Wnd.h"

// Reads the product's registration. A window class by heritage that never gets a
// window.
class CRegistro : public CWnd {
public:
    // The value under HKEY_LOCAL_MACHINE\keyPath as the bytes stored, read as
    // text; empty when the key or value cannot be read. Key path and value name
    // are cut to 255 characters.
    std::string ReadString(const std::string& keyPath, const std::string& valueName);
    // The key HKEY_LOCAL_MACHINE\keyPath exists (path cut to 255 characters).
    bool HasKey(const std::string& keyPath);
};
