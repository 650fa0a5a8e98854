#pragma once
#include <windows.h>
#include <oleauto.h>

#include <mutex>
#include <string>

#include "OperationHost.h"

// The password of one listing or extraction: the one given, or else the user's
// answer through the host, asked at most once and kept until the operation ends.
// The operation's open and extract callbacks share it, so that the user is asked
// once however often the library asks.
class TOperationPassword {
public:
    // Without a host nobody is asked.
    TOperationPassword(TOperationHost* host, std::wstring password);

    // The answer to the library's question: a new copy that the library frees; 1
    // and nothing when there is no password and nobody to ask; E_ABORT once the
    // question was declined, which ends the operation.
    HRESULT Reply(BSTR* password);
    bool Declined() const;
    // Whether the library asked at all: an archive it then cannot open was opened
    // with a wrong password, or without one, rather than missing or damaged.
    bool Requested() const;

private:
    TOperationHost* m_host;
    mutable std::mutex m_lock;  // the library may ask from threads of its own
    std::wstring m_password;
    bool m_requested = false;
    bool m_asked = false;
    bool m_declined = false;
};
