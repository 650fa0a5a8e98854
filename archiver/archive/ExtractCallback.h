#pragma once
#include <cstdint>
#include <string>

#include "ComObject.h"
#include "ItemProgress.h"
#include "SevenZipInterfaces.h"

// What the library calls while it extracts or tests items: an output file per
// item below the base directory, progress, each item's result and the password.
// After the last requested file has its result, the next progress report stops
// the library.
class TMyArchiveExtractCallback final : public ComObject<IArchiveExtractCallback, ICryptoGetTextPassword> {
public:
    TMyArchiveExtractCallback(TSevenZip* owner, int64_t requested);

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64 total) override;
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* completed) override;
    HRESULT STDMETHODCALLTYPE GetStream(UINT32 index, ISequentialOutStream** out, INT32 askMode) override;
    HRESULT STDMETHODCALLTYPE PrepareOperation(INT32 askMode) override;
    HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 result) override;
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) override;

    // The last write error of an extracted file, 0 when none.
    uint32_t WriteError() const { return m_writeError; }

private:
    HRESULT StartItem(UINT32 index, ISequentialOutStream** out);

    TSevenZip* m_owner;
    std::wstring m_baseDirectory;
    TItemProgress m_progress;  // the current item: output path, or stored path when testing
    int64_t m_remaining;
    bool m_lastRequestedStarted = false;
    bool m_stop = false;
    std::wstring m_password;
    uint32_t m_writeError = 0;
};
