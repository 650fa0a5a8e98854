#pragma once
#include <memory>

#include "ComObject.h"
#include "OperationPassword.h"
#include "SevenZipInterfaces.h"

// What the library calls while opening an archive: progress (nothing to do) and
// the password for encrypted headers, that of the operation the open belongs to.
class TMyArchiveOpenCallback final : public ComObject<IArchiveOpenCallback, ICryptoGetTextPassword> {
public:
    explicit TMyArchiveOpenCallback(std::shared_ptr<TOperationPassword> password) : m_password(std::move(password)) {}

    HRESULT STDMETHODCALLTYPE SetTotal(const UINT64*, const UINT64*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64*, const UINT64*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) override {
        return GuardedCall([&] { return m_password->Reply(password); });
    }

private:
    std::shared_ptr<TOperationPassword> m_password;
};
