#pragma once
#include <string>

#include "ComObject.h"
#include "SevenZipInterfaces.h"

// What the library calls while opening an archive: progress (nothing to do) and
// the password for encrypted headers, a copy taken when the open starts.
class TMyArchiveOpenCallback final : public ComObject<IArchiveOpenCallback, ICryptoGetTextPassword> {
public:
    explicit TMyArchiveOpenCallback(const std::wstring& password) : m_password(password) {}

    HRESULT STDMETHODCALLTYPE SetTotal(const UINT64*, const UINT64*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64*, const UINT64*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) override;

private:
    std::wstring m_password;
};
