#include "OperationPassword.h"

TOperationPassword::TOperationPassword(TOperationHost* host, std::wstring password)
    : m_host(host), m_password(std::move(password)) {}

HRESULT TOperationPassword::Reply(BSTR* reply) {
    if (reply == nullptr) return E_POINTER;
    *reply = nullptr;
    std::lock_guard<std::mutex> lock(m_lock);
    m_requested = true;
    if (m_password.empty() && !m_asked && m_host != nullptr) {
        m_asked = true;
        m_declined = m_host->AskPassword(m_password) == TPasswordAnswer::Declined;
    }
    if (m_declined) return E_ABORT;
    if (m_password.empty()) return S_FALSE;
    *reply = ::SysAllocStringLen(m_password.data(), static_cast<UINT>(m_password.size()));
    return *reply != nullptr ? S_OK : E_OUTOFMEMORY;
}

bool TOperationPassword::Declined() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_declined;
}

bool TOperationPassword::Requested() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_requested;
}
