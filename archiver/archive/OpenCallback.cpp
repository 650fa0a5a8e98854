#include "OpenCallback.h"

#include "PasswordReply.h"

HRESULT STDMETHODCALLTYPE TMyArchiveOpenCallback::CryptoGetTextPassword(BSTR* password) {
    return ReplyPassword(m_password, password);
}
