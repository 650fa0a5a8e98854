#include "OperationPassword.h"

#include "SevenZip.h"

TOperationPassword::TOperationPassword(TSevenZip* owner)
    : m_owner(owner), m_password(owner != nullptr ? owner->Password : std::wstring()) {}

HRESULT TOperationPassword::Reply(BSTR* reply) {
    if (reply == nullptr) return E_POINTER;
    *reply = nullptr;
    std::lock_guard<std::mutex> lock(m_lock);
    m_requested = true;
    if (m_password.empty() && !m_asked && m_owner != nullptr && m_owner->OnPassword) {
        m_asked = true;
        bool cancel = false;
        m_owner->OnPassword(m_owner, m_password, cancel);
        m_declined = cancel || m_password.empty();
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
