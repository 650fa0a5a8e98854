#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "ComObject.h"
#include "ItemOutStream.h"
#include "ItemProgress.h"
#include "OperationHost.h"
#include "OperationPassword.h"
#include "SevenZipInterfaces.h"

// How one extraction writes its items.
struct TExtractSettings {
    std::wstring BaseDirectory;  // with its trailing backslash, or empty
    std::wstring ArchiveName;    // which names an item that has no name of its own
    bool NoPath = false;
    bool Overwrite = false;
    // Items are tested, not written, and named by their stored paths.
    bool Testing = false;
    // How many items were chosen (0: all of them).
    int64_t Requested = 0;
};

// What the library calls while it extracts or tests items: an output file per
// item below the base directory, progress, each item's result and the password.
// After the last requested file has its result, the next progress report stops
// the library.
//
// A file is written under a temporary name and takes the place of any file of
// its name only when the library reports the item sound: a damaged item, a wrong
// password or a cancel leaves an existing file as it was. An item that cannot be
// written (its folder or file cannot be made, the disk is full, its file is one of
// the archive or one an earlier item wrote) fails alone: the library is handed no
// stream for it, or one that takes its bytes, and decodes the items after it.
class TMyArchiveExtractCallback final : public ComObject<IArchiveExtractCallback, ICryptoGetTextPassword> {
public:
    // Without a password object the callback makes its own, with no password.
    TMyArchiveExtractCallback(TOperationHost& host, IInArchive* archive, TExtractSettings settings,
                              std::shared_ptr<TOperationPassword> password = nullptr);

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64 total) override;
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* completed) override;
    HRESULT STDMETHODCALLTYPE GetStream(UINT32 index, ISequentialOutStream** out, INT32 askMode) override;
    HRESULT STDMETHODCALLTYPE PrepareOperation(INT32 askMode) override;
    HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 result) override;
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) override;

    // Items extracted or tested as asked: a file put in place, a folder made, an
    // existing file kept by the overwrite handler's choice, an item tested sound.
    uint64_t ItemsDone() const { return m_itemsDone; }

private:
    HRESULT StartItem(UINT32 index, ISequentialOutStream** out);
    // Fails the current item with the error, and the system's reason when one is given.
    void FailItem(int32_t code, const std::wstring& path, uint32_t reason = 0);
    // An existing file at the output path that the item may not replace: failed
    // with the reason (a file of the archive, one an earlier item wrote).
    bool RefusedToReplace(const std::wstring& outputPath);
    // Where an item of the stored path is written, before the host's renaming;
    // false when it would not land below the base directory.
    bool OutputPathOf(const std::wstring& storedPath, std::wstring& outputPath) const;
    std::wstring OutputPathOf(UINT32 index) const;
    // What an item's result names: the file it was written to or was to become
    // (its stored path when testing), or the stored path of one skipped past.
    std::wstring ItemPath() const;

    TOperationHost& m_host;
    IInArchive* m_archive;
    TExtractSettings m_settings;
    std::wstring m_unnamedItemName;
    TItemProgress m_progress;  // the current item: output path, or stored path when testing
    int64_t m_remaining;
    bool m_lastRequestedStarted = false;
    bool m_stop = false;
    std::shared_ptr<TOperationPassword> m_password;
    // The current item: how the library asked for it, its index, whether it
    // failed here (refused, not made, not written), and the file it is written to.
    INT32 m_askMode = sevenzip::kSkip;
    UINT32 m_index = 0;
    bool m_failed = false;
    bool m_encrypted = false;
    std::wstring m_itemPath;
    ComPtr<TItemOutStream> m_output;
    uint64_t m_itemsDone = 0;
};
