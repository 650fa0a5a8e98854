#include "ExtractCallback.h"

#include "ExtractPath.h"
#include "FileTimes.h"
#include "PropVariant.h"
#include "SevenZip.h"
#include "WideFiles.h"
#include "WidePath.h"

using namespace sevenzip;

TMyArchiveExtractCallback::TMyArchiveExtractCallback(TSevenZip* owner, int64_t requested,
                                                     std::shared_ptr<TOperationPassword> password)
    : m_owner(owner),
      m_baseDirectory(WithTrailingBackslash(owner->ExtrBaseDir)),
      m_remaining(requested),
      m_password(password ? std::move(password) : std::make_shared<TOperationPassword>(owner)) {}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::SetTotal(UINT64 total) {
    return GuardedCall([&]() -> HRESULT {
        if (m_remaining == 0 && m_owner->OnPreProgress) m_owner->OnPreProgress(m_owner, total);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::SetCompleted(const UINT64* completed) {
    return GuardedCall([&]() -> HRESULT {
        HRESULT result = m_progress.Report(m_owner, completed, m_owner->OnExtractfile);
        // Every requested file is written: the 1 ends the library's run early.
        return result == S_OK && m_stop ? S_FALSE : result;
    });
}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::GetStream(UINT32 index, ISequentialOutStream** out,
                                                               INT32 askMode) {
    return GuardedCall([&]() -> HRESULT {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        // An item the library left without a result is not put in place.
        m_output.Reset();
        m_askMode = askMode;
        m_refused = false;
        if (m_owner->CancelRequested()) return S_FALSE;
        if (askMode == kTest) {
            PropVariant path, size;
            m_owner->InArchive()->GetProperty(index, kpidPath, path.Receive());
            m_owner->InArchive()->GetProperty(index, kpidSize, size.Receive());
            m_progress.StartItem(path.AsString(), size.AsUInt64());
            return S_OK;
        }
        if (askMode != kExtract) return S_OK;
        return StartItem(index, out);
    });
}

HRESULT TMyArchiveExtractCallback::StartItem(UINT32 index, ISequentialOutStream** out) {
    PropVariant path, size, attributes, modified;
    IInArchive* archive = m_owner->InArchive();
    archive->GetProperty(index, kpidPath, path.Receive());
    archive->GetProperty(index, kpidSize, size.Receive());
    archive->GetProperty(index, kpidAttrib, attributes.Receive());
    archive->GetProperty(index, kpidMTime, modified.Receive());
    const uint64_t attributeValue = attributes.AsUInt64();
    const bool isDirectory = m_owner->ItemIsDirectory(index, attributeValue);

    std::wstring storedPart = path.AsString();
    if (m_owner->ExtractOptions.Contains(ExtractOptsEnum::ExtractNoPath)) storedPart = FileNamePart(storedPart);
    std::wstring outputPath = m_baseDirectory + storedPart;
    const std::wstring reportedPath = outputPath;
    if (!StaysInsideBase(m_baseDirectory, storedPart)) {
        m_refused = true;
        m_owner->ReportError(kUnsafePath, reportedPath);
        return S_OK;  // skipped: no stream
    }
    if (m_owner->OnSetExtractName) m_owner->OnSetExtractName(m_owner, index, outputPath);

    if (!m_owner->ExtractOptions.Contains(ExtractOptsEnum::ExtractOverwrite) && PathExists(outputPath)) {
        bool doOverwrite = false;
        if (m_owner->OnExtractOverwrite) m_owner->OnExtractOverwrite(m_owner, outputPath, doOverwrite);
        if (!doOverwrite) return S_OK;
    }

    m_progress.StartItem(outputPath, size.AsUInt64());

    bool created = false;
    if (isDirectory) {
        if (!ForceDirectories(outputPath, created)) {
            m_refused = true;
            m_owner->ReportError(kCouldNotCreateFile, reportedPath);
        } else if (created && CreatableAttributes(attributeValue) != 0) {
            ::SetFileAttributesW(FileApiPath(outputPath).c_str(), CreatableAttributes(attributeValue));
        }
        return S_OK;
    }

    if (--m_remaining == 0) m_lastRequestedStarted = true;
    // The parents are plain folders: the item's attributes belong to the file.
    ForceDirectories(DirectoryPart(outputPath), created);
    ComPtr<TMyStreamWriter> writer(new TMyStreamWriter(&m_writeError, outputPath,
                                                       FileTimeToLocalDate(modified.AsFileTime()),
                                                       CreatableAttributes(attributeValue), 0, false, true));
    if (!writer->Start()) {
        m_refused = true;
        m_owner->LastError = writer->LastError();
        m_owner->ReportError(kCouldNotCreateFile, reportedPath);
        return S_FALSE;
    }
    m_output = writer;
    writer.CopyTo(out);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::PrepareOperation(INT32) { return S_OK; }

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::SetOperationResult(INT32 result) {
    return GuardedCall([&]() -> HRESULT {
        switch (static_cast<OperationResult>(result)) {
        case OperationResult::OK: break;  // ErrCode keeps an earlier item's error
        case OperationResult::UnsupportedMethod: m_owner->ReportError(kUnsupportedMethod, m_progress.Path); break;
        case OperationResult::CRCError: m_owner->ReportError(kCRCError, m_progress.Path); break;
        // Data errors, and what newer libraries report for damaged or encrypted data
        // (unexpected end, data after the end, headers error, wrong password...).
        default: m_owner->ReportError(kDataError, m_progress.Path); break;
        }
        // The library has let go of the file by now: it is put in place or, when
        // released here without that, removed.
        ComPtr<TMyStreamWriter> output = std::move(m_output);
        bool done = result == static_cast<INT32>(OperationResult::OK) && !m_refused &&
                    (m_askMode == kExtract || m_askMode == kTest);
        // The restore replaces what it restores, read-only files included.
        if (done && output && !output->Commit(true)) {
            m_owner->LastError = output->LastError();
            m_owner->ReportError(kCouldNotCreateFile, m_progress.Path);
            done = false;
        }
        if (done) ++m_itemsDone;
        if (m_lastRequestedStarted) m_stop = true;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::CryptoGetTextPassword(BSTR* password) {
    return GuardedCall([&] { return m_password->Reply(password); });
}
