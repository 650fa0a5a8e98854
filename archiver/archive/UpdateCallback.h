#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ComObject.h"
#include "ItemProgress.h"
#include "ItemTable.h"
#include "OperationHost.h"
#include "SevenZipInterfaces.h"

// How a stored path is cut from an item's path, after the host's renaming.
struct TStoredPathRules {
    // "C:\data\a.txt" is stored as "C\data\a.txt" rather than "data\a.txt".
    bool IncludeDriveLetter = false;
    // Only the part after the last "\".
    bool OnlyFilename = false;
};

// What the library calls while it writes a new archive: every item of the table
// is new and taken from disk; the callback answers the item's properties and
// stored path, opens a reader for its content, passes the password and turns the
// library's progress into the host's.
class TMyArchiveUpdateCallback final : public ComObject<IArchiveUpdateCallback, ICryptoGetTextPassword2> {
public:
    TMyArchiveUpdateCallback(TOperationHost& host, std::vector<TAddItem> items, TStoredPathRules rules,
                             std::wstring password);

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64 total) override;
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* completed) override;
    HRESULT STDMETHODCALLTYPE GetUpdateItemInfo(UINT32 index, INT32* newData, INT32* newProperties,
                                                UINT32* indexInArchive) override;
    HRESULT STDMETHODCALLTYPE GetProperty(UINT32 index, PROPID id, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE GetStream(UINT32 index, ISequentialInStream** in) override;
    HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 result) override;
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword2(INT32* passwordIsDefined, BSTR* password) override;

    // The path the archive stores for an item.
    std::wstring StoredPath(uint32_t index);
    // Files left out because they could not be opened.
    uint32_t SkippedItems() const { return m_skippedItems; }

private:
    TOperationHost& m_host;
    std::vector<TAddItem> m_items;
    TStoredPathRules m_rules;
    std::wstring m_password;
    TItemProgress m_progress;  // the current item
    uint32_t m_skippedItems = 0;
};
