#pragma once
#include <windows.h>

// Owns an open registry key.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY* Receive() { Close(); return &m_key; }
    operator HKEY() const { return m_key; }
    void Close() {
        if (m_key != nullptr) ::RegCloseKey(m_key);
        m_key = nullptr;
    }

private:
    HKEY m_key = nullptr;
};
