#include "ExtractCallback.h"

#include "ExtractPath.h"
#include "FileTimes.h"
#include "PropVariant.h"
#include "SevenZip.h"
#include "WideFiles.h"
#include "WidePath.h"

using namespace sevenzip;

namespace {
// An item without a name (a stream packed alone by another tool) lands as 7-Zip
// lands it: under the archive's name less its last extension, the number of a
// volume set not counted (data.7z and data.7z.001 give "data"); a name with no
// extension to take away gets a "~", so that the item never lands on the archive.
std::wstring UnnamedItemName(const std::wstring& archive) {
    std::wstring name = FileNamePart(archive);
    int64_t number = 0;
    const std::wstring extension = ExtensionOf(name);
    if (extension.size() > 1 && ParseDecimal(extension.substr(1), number)) name = WithoutExtension(name);
    const size_t dot = name.rfind(L'.');
    return dot != std::wstring::npos && dot > 0 ? name.substr(0, dot) : name + L'~';
}
}  // namespace

TMyArchiveExtractCallback::TMyArchiveExtractCallback(TSevenZip* owner, int64_t requested,
                                                     std::shared_ptr<TOperationPassword> password, bool testing)
    : m_owner(owner),
      m_baseDirectory(WithTrailingBackslash(owner->ExtrBaseDir)),
      m_unnamedItemName(UnnamedItemName(owner->SZFileName)),
      m_testing(testing),
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
        m_index = index;
        m_failed = false;
        m_encrypted = false;
        m_itemPath.clear();
        if (m_owner->CancelRequested()) return S_FALSE;
        if (askMode != kExtract && askMode != kTest) return S_OK;
        PropVariant encrypted;
        m_owner->InArchive()->GetProperty(index, kpidEncrypted, encrypted.Receive());
        m_encrypted = encrypted.AsBool();
        if (askMode == kTest) {
            PropVariant path, size;
            m_owner->InArchive()->GetProperty(index, kpidPath, path.Receive());
            m_owner->InArchive()->GetProperty(index, kpidSize, size.Receive());
            // While extracting, the library tests an item whose data failed before
            // any of it could be written: it is named by the file it was to become.
            m_itemPath = m_testing ? path.AsString() : OutputPathOf(index);
            m_progress.StartItem(m_itemPath, size.AsUInt64());
            return S_OK;
        }
        return StartItem(index, out);
    });
}

bool TMyArchiveExtractCallback::OutputPathOf(const std::wstring& storedPath, std::wstring& outputPath) const {
    std::wstring landing;
    if (!LandingInsideBase(m_baseDirectory, storedPath.empty() ? m_unnamedItemName : storedPath, landing))
        return false;
    if (m_owner->ExtractOptions.Contains(ExtractOptsEnum::ExtractNoPath)) landing = FileNamePart(landing);
    outputPath = m_baseDirectory + landing;
    return true;
}

std::wstring TMyArchiveExtractCallback::OutputPathOf(UINT32 index) const {
    PropVariant path;
    m_owner->InArchive()->GetProperty(index, kpidPath, path.Receive());
    std::wstring outputPath;
    return OutputPathOf(path.AsString(), outputPath) ? outputPath : path.AsString();
}

std::wstring TMyArchiveExtractCallback::ItemPath() const {
    if (!m_itemPath.empty()) return m_itemPath;
    // An item the library only skips past is named when it has something to say of it.
    PropVariant path;
    m_owner->InArchive()->GetProperty(m_index, kpidPath, path.Receive());
    return path.AsString();
}

void TMyArchiveExtractCallback::FailItem(int32_t code, const std::wstring& path, uint32_t reason) {
    m_failed = true;
    if (reason != 0) m_owner->LastError = reason;
    m_owner->ReportError(code, path);
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

    // Every way an item ends without a stream means that the library skips it and
    // goes on with the next.
    std::wstring outputPath;
    if (!OutputPathOf(path.AsString(), outputPath)) {
        m_itemPath = m_baseDirectory + path.AsString();
        FailItem(kUnsafePath, m_itemPath);
        return S_OK;
    }
    const std::wstring reportedPath = outputPath;
    if (m_owner->OnSetExtractName) m_owner->OnSetExtractName(m_owner, index, outputPath);
    // The library decodes a skipped item too, and may find it damaged.
    m_itemPath = outputPath;

    if (!isDirectory) {
        const int64_t earlier = m_landed.CaseOnlyClash(outputPath);
        if (earlier >= 0) {
            FailItem(kCaseOnlyName, outputPath + L" | " + OutputPathOf(static_cast<UINT32>(earlier)));
            return S_OK;
        }
    }
    if (!m_owner->ExtractOptions.Contains(ExtractOptsEnum::ExtractOverwrite) && PathExists(outputPath)) {
        bool doOverwrite = false;
        if (m_owner->OnExtractOverwrite) m_owner->OnExtractOverwrite(m_owner, outputPath, doOverwrite);
        if (!doOverwrite) return S_OK;
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
    ComPtr<TMyStreamWriter> writer(new TMyStreamWriter(&m_writeError, outputPath,
                                                       FileTimeToLocalDate(modified.AsFileTime()),
                                                       CreatableAttributes(attributeValue), {.Staged = true}));
    if (!writer->Start()) {
        FailItem(kCouldNotCreateFile, reportedPath, writer->LastError());
        return S_OK;
    }
    m_output = ComPtr<TItemOutStream>(new TItemOutStream(std::move(writer)));
    m_output.CopyTo(out);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::PrepareOperation(INT32) { return S_OK; }

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::SetOperationResult(INT32 result) {
    return GuardedCall([&]() -> HRESULT {
        switch (static_cast<OperationResult>(result)) {
        case OperationResult::OK: break;  // ErrCode keeps an earlier item's error
        case OperationResult::UnsupportedMethod: m_owner->ReportError(kUnsupportedMethod, ItemPath()); break;
        case OperationResult::WrongPassword: m_owner->ReportError(kWrongPassword, ItemPath()); break;
        // Encrypted data that does not decode was decrypted with a wrong password,
        // or with none: the library itself cannot tell it from damage, and says so
        // only in newer versions.
        case OperationResult::CRCError: m_owner->ReportError(m_encrypted ? kWrongPassword : kCRCError, ItemPath()); break;
        // Data errors, and what newer libraries report for damaged data
        // (unexpected end, data after the end, headers error...).
        default: m_owner->ReportError(m_encrypted ? kWrongPassword : kDataError, ItemPath()); break;
        }
        // The library has let go of the file by now: it is put in place or, when
        // released here without that, removed.
        ComPtr<TItemOutStream> output = std::move(m_output);
        bool done = result == static_cast<INT32>(OperationResult::OK) && !m_failed &&
                    (m_askMode == kExtract || m_askMode == kTest);
        uint32_t error = 0;
        if (done && output && !output->Commit(error)) {
            FailItem(output->WriteError() != 0 ? kCouldNotWriteFile : kCouldNotCreateFile, m_progress.Path, error);
            done = false;
        }
        if (done && output) m_landed.Add(m_progress.Path, m_index);
        if (done) ++m_itemsDone;
        if (m_lastRequestedStarted) m_stop = true;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TMyArchiveExtractCallback::CryptoGetTextPassword(BSTR* password) {
    return GuardedCall([&] { return m_password->Reply(password); });
}
