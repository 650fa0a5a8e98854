#include "ExtractCallback.h"

#include "ErrorCodes.h"
#include "ExtractPath.h"
#include "FileTimes.h"
#include "ItemProperty.h"
#include "PropVariant.h"
#include "StreamWriter.h"
#include "WideFiles.h"
#include "WidePath.h"

using namespace sevenzip;

TMyArchiveExtractCallback::TMyArchiveExtractCallback(TOperationHost& host, IInArchive* archive,
                                                     TExtractSettings settings,
                                                     std::shared_ptr<TOperationPassword> password)
    : m_host(host),
      m_archive(archive),
      m_settings(std::move(settings)),
      m_unnamedItemName(UnnamedItemName(m_settings.ArchiveName)),
      m_remaining(m_settings.Requested),
      m_password(password ? std::move(password) : std::make_shared<TOperationPassword>(&host, std::wstring())) {}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::SetTotal(UINT64 total) {
    return GuardedCall([&]() -> HRESULT {
        if (m_remaining == 0) m_host.TotalKnown(total);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::SetCompleted(const UINT64* completed) {
    return GuardedCall([&]() -> HRESULT {
        HRESULT result = m_progress.Report(m_host, completed);
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
        m_index = index;
        m_failed = false;
        m_encrypted = false;
        m_itemPath.clear();
        if (m_host.CancelRequested()) return S_FALSE;
        if (askMode != kExtract && askMode != kTest) return S_OK;
        PropVariant encrypted;
        m_encrypted = ReadItemProperty(m_archive, index, kpidEncrypted, encrypted) && encrypted.AsBool();
        if (askMode == kTest) {
            PropVariant path, size;
            if (!ReadItemProperty(m_archive, index, kpidPath, path) || !ReadItemProperty(m_archive, index, kpidSize, size)) {
                FailItem(kItemUnreadable, NumberedItemName(m_settings.ArchiveName, index));
                return S_OK;
            }
            // While extracting, the library tests an item whose data failed before
            // any of it could be written: it is named by the file it was to become.
            m_itemPath = m_settings.Testing ? path.AsString() : OutputPathOf(index);
            m_progress.StartItem(m_itemPath, size.AsUInt64());
            return S_OK;
        }
        return StartItem(index, out);
    });
}

bool TMyArchiveExtractCallback::OutputPathOf(const std::wstring& storedPath, std::wstring& outputPath) const {
    std::wstring landing;
    if (!LandingInsideBase(m_settings.BaseDirectory, storedPath.empty() ? m_unnamedItemName : storedPath, landing))
        return false;
    if (m_settings.NoPath) landing = FileNamePart(landing);
    outputPath = m_settings.BaseDirectory + landing;
    return true;
}

std::wstring TMyArchiveExtractCallback::OutputPathOf(UINT32 index) const {
    PropVariant path;
    if (!ReadItemProperty(m_archive, index, kpidPath, path)) return NumberedItemName(m_settings.ArchiveName, index);
    std::wstring outputPath;
    return OutputPathOf(path.AsString(), outputPath) ? outputPath : path.AsString();
}

std::wstring TMyArchiveExtractCallback::ItemPath() const {
    if (!m_itemPath.empty()) return m_itemPath;
    // An item the library only skips past is named when it has something to say of it.
    PropVariant path;
    if (!ReadItemProperty(m_archive, m_index, kpidPath, path)) return NumberedItemName(m_settings.ArchiveName, m_index);
    return path.AsString();
}

void TMyArchiveExtractCallback::FailItem(int32_t code, const std::wstring& path, uint32_t reason) {
    m_failed = true;
    m_host.ReportError(code, path, reason);
}

bool TMyArchiveExtractCallback::RefusedToReplace(const std::wstring& outputPath) {
    const TRestoredFiles::TVerdict verdict = m_host.MayReplace(outputPath);
    switch (verdict.Code) {
    case kSuccess: return false;
    // As the archive is in use: nothing of it is replaced, truncated or deleted.
    case kCouldNotCreateFile: FailItem(verdict.Code, verdict.ArchiveFile, ERROR_SHARING_VIOLATION); return true;
    default: FailItem(verdict.Code, outputPath + L" | " + OutputPathOf(verdict.EarlierItem)); return true;
    }
}

HRESULT TMyArchiveExtractCallback::StartItem(UINT32 index, ISequentialOutStream** out) {
    PropVariant path, size, attributes, modified;
    bool isDirectory = false;
    // Every way an item ends without a stream means that the library skips it and
    // goes on with the next.
    if (!ReadItemProperty(m_archive, index, kpidPath, path) || !ReadItemProperty(m_archive, index, kpidSize, size) ||
        !ReadItemProperty(m_archive, index, kpidAttrib, attributes) ||
        !ReadItemProperty(m_archive, index, kpidMTime, modified) ||
        !ReadIsDirectory(m_archive, index, attributes.AsUInt64(), isDirectory)) {
        FailItem(kItemUnreadable, NumberedItemName(m_settings.ArchiveName, index));
        return S_OK;
    }
    const uint64_t attributeValue = attributes.AsUInt64();

    std::wstring outputPath;
    if (!OutputPathOf(path.AsString(), outputPath)) {
        m_itemPath = m_settings.BaseDirectory + path.AsString();
        FailItem(kUnsafePath, m_itemPath);
        return S_OK;
    }
    const std::wstring reportedPath = outputPath;
    m_host.NameOutput(index, outputPath);
    // The library decodes a skipped item too, and may find it damaged.
    m_itemPath = outputPath;

    // An existing file is first looked at: the archive's or this run's own is
    // refused before anyone is asked whether to replace it.
    bool looked = false;
    if (!m_settings.Overwrite && PathExists(outputPath)) {
        if (!isDirectory && RefusedToReplace(outputPath)) return S_OK;
        if (!m_host.MayOverwrite(outputPath)) return S_OK;
        looked = true;
    }

    m_progress.StartItem(outputPath, size.AsUInt64());

    bool created = false;
    if (isDirectory) {
        if (!ForceDirectories(outputPath, created)) {
            FailItem(kCouldNotCreateFile, reportedPath, ::GetLastError());
        } else if (created && CreatableAttributes(attributeValue) != 0) {
            ::SetFileAttributesW(FileApiPath(outputPath).c_str(), CreatableAttributes(attributeValue));
        }
        return S_OK;
    }

    if (--m_remaining == 0) m_lastRequestedStarted = true;
    // The parents are plain folders: the item's attributes belong to the file.
    if (!ForceDirectories(DirectoryPart(outputPath), created)) {
        FailItem(kCouldNotCreateFile, reportedPath, ::GetLastError());
        return S_OK;
    }
    ComPtr<TMyStreamWriter> writer(new TMyStreamWriter(nullptr, outputPath, FileTimeToLocalDate(modified.AsFileTime()),
                                                       CreatableAttributes(attributeValue), {.Staged = true}));
    if (!writer->Start()) {
        FailItem(kCouldNotCreateFile, reportedPath, writer->LastError());
        return S_OK;
    }
    // A file that was not there is none of the archive's nor of this run: only
    // one that is costs a look. The writer, let go, removes what it made.
    if (writer->ReplacesExisting() && !looked && RefusedToReplace(outputPath)) return S_OK;
    m_output = ComPtr<TItemOutStream>(new TItemOutStream(std::move(writer)));
    m_output.CopyTo(out);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::PrepareOperation(INT32) { return S_OK; }

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::SetOperationResult(INT32 result) {
    return GuardedCall([&]() -> HRESULT {
        switch (static_cast<OperationResult>(result)) {
        case OperationResult::OK: break;  // ErrCode keeps an earlier item's error
        case OperationResult::UnsupportedMethod: m_host.ReportError(kUnsupportedMethod, ItemPath()); break;
        case OperationResult::WrongPassword: m_host.ReportError(kWrongPassword, ItemPath()); break;
        // Encrypted data that does not decode was decrypted with a wrong password,
        // or with none: the library itself cannot tell it from damage, and says so
        // only in newer versions.
        case OperationResult::CRCError: m_host.ReportError(m_encrypted ? kWrongPassword : kCRCError, ItemPath()); break;
        // Data errors, and what newer libraries report for damaged data
        // (unexpected end, data after the end, headers error...).
        default: m_host.ReportError(m_encrypted ? kWrongPassword : kDataError, ItemPath()); break;
        }
        // The library has let go of the file by now: it is put in place or, when
        // released here without that, removed.
        ComPtr<TItemOutStream> output = std::move(m_output);
        bool done = result == static_cast<INT32>(OperationResult::OK) && !m_failed &&
                    (m_askMode == kExtract || m_askMode == kTest);
        if (done && output) {
            const uint64_t fileNumber = output->FileNumber();
            uint32_t error = 0;
            if (output->Commit(error)) {
                m_host.Restored(fileNumber, m_index);
            } else {
                FailItem(output->WriteError() != 0 ? kCouldNotWriteFile : kCouldNotCreateFile, m_progress.Path, error);
                done = false;
            }
        }
        if (done) ++m_itemsDone;
        if (m_lastRequestedStarted) m_stop = true;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::CryptoGetTextPassword(BSTR* password) {
    return GuardedCall([&] { return m_password->Reply(password); });
}
