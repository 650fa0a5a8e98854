#include "ItemOutStream.h"

HRESULT STDMETHODCALLTYPE TItemOutStream::Write(const void* data, UINT32 size, UINT32* processed) {
    return GuardedCall([&]() -> HRESULT {
        if (processed != nullptr) *processed = size;
        if (m_writeError != 0 || size == 0) return S_OK;
        UINT32 done = 0;
        m_file->Write(data, size, &done);
        // A short write without an error of its own loses bytes all the same.
        if (done < size) m_writeError = m_file->LastError() != 0 ? m_file->LastError() : ERROR_WRITE_FAULT;
        return S_OK;
    });
}

bool TItemOutStream::Commit(uint32_t& error) {
    error = m_writeError;
    if (error != 0) return false;
    if (m_file->Commit(TReadOnlyTarget::Replace)) return true;
    error = m_file->LastError();
    return false;
}
