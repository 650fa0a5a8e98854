#include "UpdateCallback.h"

#include "ErrorCodes.h"
#include "PropVariant.h"
#include "StreamReader.h"
#include "WidePath.h"

using namespace sevenzip;

TMyArchiveUpdateCallback::TMyArchiveUpdateCallback(TOperationHost& host, std::vector<TAddItem> items,
                                                   TStoredPathRules rules, std::wstring password)
    : m_host(host), m_items(std::move(items)), m_rules(rules), m_password(std::move(password)) {}

HRESULT STDMETHODCALLTYPE TMyArchiveUpdateCallback::SetTotal(UINT64) { return S_OK; }

HRESULT STDMETHODCALLTYPE TMyArchiveUpdateCallback::SetCompleted(const UINT64* completed) {
    return GuardedCall([&] { return m_progress.Report(m_host, completed); });
}

HRESULT STDMETHODCALLTYPE TMyArchiveUpdateCallback::GetUpdateItemInfo(UINT32, INT32* newData, INT32* newProperties,
                                                                      UINT32* indexInArchive) {
    if (newData != nullptr) *newData = 1;
    if (newProperties != nullptr) *newProperties = 1;
    if (indexInArchive != nullptr) *indexInArchive = 0xFFFFFFFFu;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TMyArchiveUpdateCallback::GetProperty(UINT32 index, PROPID id, PROPVARIANT* value) {
    return GuardedCall([&]() -> HRESULT {
        if (index >= m_items.size() || value == nullptr) return E_INVALIDARG;
        const TAddItem& item = m_items[index];
        switch (id) {
        case kpidPath: SetPropString(value, StoredPath(index)); break;
        case kpidIsDir: SetPropBool(value, item.IsDirectory()); break;
        case kpidSize: SetPropUInt64(value, item.Size); break;
        case kpidAttrib: SetPropUInt32(value, item.Attributes); break;
        case kpidCTime:
        case kpidATime: SetPropFileTime(value, FILETIME{}); break;
        case kpidMTime: SetPropFileTime(value, item.LastWriteTime); break;
        case kpidIsAnti: SetPropBool(value, false); break;
        default: return S_FALSE;
        }
        return S_OK;
    });
}

std::wstring TMyArchiveUpdateCallback::StoredPath(uint32_t index) {
    std::wstring path = m_items[index].Path.substr(m_items[index].RootLength);
    m_host.NameStored(index, path);
    wchar_t letter = path.size() >= 2 && path[1] == L':' ? static_cast<wchar_t>(path[0] | 0x20) : L'\0';
    if (letter >= L'a' && letter <= L'z') {
        if (m_rules.IncludeDriveLetter)
            path.erase(1, 1);  // "C:\data\a.txt" is stored as "C\data\a.txt"
        else
            path.erase(0, 3);
    }
    if (m_rules.OnlyFilename) {
        size_t backslash = path.rfind(L'\\');
        if (backslash != std::wstring::npos) path.erase(0, backslash + 1);
    }
    return path;
}

HRESULT STDMETHODCALLTYPE TMyArchiveUpdateCallback::GetStream(UINT32 index, ISequentialInStream** in) {
    return GuardedCall([&]() -> HRESULT {
        if (in == nullptr) return E_POINTER;
        *in = nullptr;
        if (index >= m_items.size()) return E_INVALIDARG;
        m_progress.StartItem(m_items[index].Path, m_items[index].Size);
        ComPtr<TMyStreamReader> reader(new TMyStreamReader(&m_host, TReaderVolumes::OneFile, m_items[index].Path));
        if (reader->LastError() != 0 && !m_items[index].IsDirectory()) {
            // Stored as an empty file, it would restore as one: the library leaves
            // an item out on this answer instead.
            ++m_skippedItems;
            m_host.ReportError(kCouldNotOpenFile, m_items[index].Path, reader->LastError());
            return S_FALSE;
        }
        reader.CopyTo(in);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TMyArchiveUpdateCallback::SetOperationResult(INT32) { return S_OK; }

HRESULT STDMETHODCALLTYPE TMyArchiveUpdateCallback::CryptoGetTextPassword2(INT32* passwordIsDefined, BSTR* password) {
    if (passwordIsDefined == nullptr || password == nullptr) return E_POINTER;
    *password = nullptr;
    *passwordIsDefined = m_password.empty() ? 0 : -1;
    if (!m_password.empty()) *password = NewBstr(m_password);
    return S_OK;
}
