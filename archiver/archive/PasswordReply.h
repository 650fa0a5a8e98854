#pragma once
#include <windows.h>

#include <string>

// The password answer of the open and extract callbacks: nothing and 1 without a
// password, otherwise a new copy that the library frees.
inline HRESULT ReplyPassword(const std::wstring& password, BSTR* reply) {
    if (reply == nullptr) return E_POINTER;
    *reply = nullptr;
    if (password.empty()) return S_FALSE;
    *reply = ::SysAllocStringLen(password.data(), static_cast<UINT>(password.size()));
    return *reply != nullptr ? S_OK : E_OUTOFMEMORY;
}
