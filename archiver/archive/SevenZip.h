#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ComObject.h"
#include "ErrorCodes.h"
#include "Handles.h"
#include "OperationHost.h"
#include "RestoredFiles.h"
#include "SevenZipInterfaces.h"
#include "SevenZipSignature.h"
#include "VolumePrompt.h"
#include "WideStringList.h"
#include "framework/Component.h"
#include "framework/Event.h"
#include "framework/Set.h"

enum class TCompressType : uint8_t { LZMA, PPMD };
enum class TCompressStrength : uint8_t { SAVE, FAST, NORMAL, MAXIMUM, ULTRA };
using TLZMAStrength = uint8_t;  // 0..27; 0 leaves the library's dictionary
using TPPMDMem = uint8_t;       // 1..31; 0 switches the setting off
using TPPMDSize = uint8_t;      // 2..32; 0 switches the setting off

enum class AddOptsEnum : uint8_t {
    AddRecurseDirs,
    AddSolid,
    AddStoreOnlyFilename,
    AddIncludeDriveLetter,
    AddEncryptFilename,
};
using AddOpts = TSet<AddOptsEnum>;

enum class ExtractOptsEnum : uint8_t { ExtractNoPath, ExtractOverwrite };
using ExtractOpts = TSet<ExtractOptsEnum>;

// Events; parameters in the order and with the names of the declarations.
// (Sender, Filename, Fileindex, FileSizeU, FileSizeP, Fileattr, Filecrc, Filemethod, FileTime)
using T7zListfileEvent = TEvent<TObject*, const std::wstring&, uint64_t, uint64_t, uint64_t, uint64_t, uint64_t,
                                const std::wstring&, double>;
// (Sender, Filename, Filesize)
using T7zAddFileEvent = TEvent<TObject*, const std::wstring&, uint64_t>;
using T7zExtractfileEvent = TEvent<TObject*, const std::wstring&, uint64_t>;
// (Sender, MaxProgress)
using T7zPreProgressEvent = TEvent<TObject*, uint64_t>;
// (Sender, Filename, FilePosArc, FilePosFile)
using T7zProgressEvent = TEvent<TObject*, const std::wstring&, uint64_t, uint64_t>;
// (Sender, ErrCode, Message, Filename)
using T7zMessageEvent = TEvent<TObject*, int32_t, const std::string&, const std::wstring&>;
// (Sender, FileIndex, var OldFileName)
using T7zSetNewNameEvent = TEvent<TObject*, uint32_t, std::wstring&>;
// (Sender, FileName, var DoOverwrite)
using T7zExtractOverwrite = TEvent<TObject*, const std::wstring&, bool&>;
// (var arcFileName, Removable, out Cancel)
using TOpenVolume = TEvent<std::wstring&, bool, bool&>;
// (Sender, var Password, out Cancel)
using T7zPasswordEvent = TEvent<TObject*, std::wstring&, bool&>;

// An item as a listing showed it: what a restore expects to find at its index.
struct TShownItem {
    uint32_t Index = 0;
    std::wstring Name;
    uint64_t Size = 0;
    uint32_t Crc = 0;
};

// The archive a restore is to find before it writes anything: the start header
// listed (which says where the header block lies, its size and its CRC), and the
// items shown, numbered from 0 (Item is false past the last).
struct TExpectedArchive {
    TStartHeader StartHeader{};
    std::function<bool(size_t number, TShownItem& item)> Item;
};

class TOperationPassword;
class TMyStreamReader;
class TMyStreamWriter;

// The archive component: binds the 7-Zip library at run time and packs, lists and
// extracts 7z archives (single files, volumes, self-extracting programs) with the
// settings below, reporting through its events. Operations run on the caller's
// thread and return when the library call has finished. Its streams and callbacks
// know it as their TOperationHost alone.
class TSevenZip : public TComponent, private TOperationHost {
public:
    // Loads the library; throws Exception with the load message when it cannot.
    explicit TSevenZip(TComponent* Owner);
    ~TSevenZip() override;

    // Settings.
    std::wstring AddRootDir;
    bool SFXCreate() const { return m_sfxCreate; }
    void SetSFXCreate(bool value);
    std::wstring SFXModule = L"7z.sfx";
    AddOpts AddOptions;
    ExtractOpts ExtractOptions;
    std::wstring ExtrBaseDir;
    TCompressType LZMACompressType = TCompressType::LZMA;
    TCompressStrength LZMACompressStrength = TCompressStrength::SAVE;
    TLZMAStrength LZMAStrength = 0;
    TPPMDMem LPPMDmem = 0;
    TPPMDSize LPPMDsize = 0;
    std::wstring SZFileName;
    int32_t NumberOfFiles = -1;
    int32_t VolumeSize() const { return m_volumeSize; }
    void SetVolumeSize(int32_t value);
    std::wstring Password;
    // When set, Extract restores nothing of an archive that is not this one:
    // error 20 and -1.
    std::optional<TExpectedArchive> ExpectedArchive;

    T7zListfileEvent OnListfile;
    T7zAddFileEvent OnAddfile;
    T7zExtractfileEvent OnExtractfile;
    T7zProgressEvent OnProgress;
    T7zPreProgressEvent OnPreProgress;
    T7zMessageEvent OnMessage;
    T7zSetNewNameEvent OnSetAddName;
    T7zSetNewNameEvent OnSetExtractName;
    T7zExtractOverwrite OnExtractOverwrite;
    TOpenVolume OnOpenVolume;
    // When a listing or an extraction needs a password and Password is empty:
    // the answer serves that operation alone; Cancel ends it with -1.
    T7zPasswordEvent OnPassword;

    // Run-time state.
    TWideStringList Files;
    int32_t ErrCode = 0;  // the first error of the last operation that had one; Extract starts at 0
    uint32_t LastError = 0;
    bool IsSFX = false;
    uint64_t SFXOffset = 0;
    TWideStringArray VolumeNames;
    // The start header of the archive last listed or written, all zero when the
    // last List or Add had none.
    TStartHeader ArchiveStartHeader{};

    // 0 when the archive was written with every entry; 1 when it was written
    // without some (an entry that is not there, a file that cannot be opened),
    // each reported; -1 when no archive was written: nothing to add, settings
    // refused, the self-extractor copy, an input that could not be read in full,
    // or a file of the archive that could not be created, written or put in place
    // (reported with its name; LastError says why), or a cancel. The library's
    // own (negative) result when it fails otherwise. Whatever stood under the
    // archive's names before stays as it was unless the archive is written whole.
    int32_t Add();
    // The number of items listed (an item the library cannot give is reported and
    // left out), or -1.
    int32_t List();
    // 0 when every requested item was extracted (or tested) as asked, also when
    // the library, stopped once they were, reports the early end. Otherwise the
    // library's result, or 1 where the library saw no failure (an item refused,
    // one not written); -1 when the archive cannot be opened, is not the one
    // expected, an entry of Files names no item, or the password was declined.
    int32_t Extract(bool TestMode = false);
    // The first item whose stored path equals the name ignoring case, or -1.
    int32_t GetIndexByFilename(const std::wstring& name);
    // Seen at the library's next progress report, which then stops the operation;
    // a volume prompt that is open is cancelled at once. Made while no operation
    // runs, it stops the next one before it starts (the window closed while one of
    // its dialogs was open): each operation clears it when it ends, none when it
    // starts.
    void Cancel();

    bool CancelRequested() const override { return m_cancelRequested; }
    // Sets ErrCode (the operation's first error) and, with a reason, LastError,
    // then calls OnMessage.
    void ReportError(int32_t code, const std::wstring& fileName, uint32_t reason = 0) override;
    // What the streams and callbacks are made with, for tests and tools that make
    // their own.
    TOperationHost& Host() { return *this; }
    // The input-archive object, for tools and tests that drive the library alone.
    IInArchive* InArchive() const { return m_inArchive.Get(); }

private:
    // TOperationHost.
    void SystemError(uint32_t reason) override { LastError = reason; }
    void TotalKnown(uint64_t total) override;
    void ItemStarted(const std::wstring& path, uint64_t size) override;
    void Progress(const std::wstring& path, uint64_t done, uint64_t doneOfItem) override;
    TPasswordAnswer AskPassword(std::wstring& password) override;
    bool HandlesMissingVolumes() const override { return static_cast<bool>(OnOpenVolume); }
    bool FindVolume(std::wstring& name, bool removable, const wchar_t* prompt) override;
    void NameStored(uint32_t index, std::wstring& path) override;
    void NameOutput(uint32_t index, std::wstring& path) override;
    bool MayOverwrite(const std::wstring& path) override;
    TRestoredFiles::TVerdict MayReplace(const std::wstring& path) override;
    void Restored(uint64_t fileNumber, uint32_t item) override;

    // Reports error 6 when a cancel request is waiting.
    bool CancelledBeforeStart();
    // Probes a ".exe" for its embedded archive, or forgets an earlier probe for
    // any other name; false when a ".exe" carries no archive.
    bool PrepareSelfExtractor();
    // Opens SZFileName into the input-archive object and gives its reader; none
    // when it cannot, with the reason reported.
    ComPtr<TMyStreamReader> OpenArchive(const std::shared_ptr<TOperationPassword>& password);
    std::shared_ptr<TOperationPassword> NewPassword();
    // False when the library refuses a setting (or offers no way to set them).
    bool PassMethodSettings();
    int32_t ReportWriteFailure(const TMyStreamWriter& writer);
    static std::wstring StoredPathOf(const std::wstring& entry);
    void EndReading();
    // The name an item is shown and restored under: its stored path, or for an
    // item without one the archive's name less its extension.
    std::wstring_view ShownPath(std::wstring_view path) const;
    std::wstring UnreadableItem(uint32_t index) const;
    // Whether the open archive is the one ExpectedArchive describes.
    bool IsExpectedArchive(TMyStreamReader& reader, uint32_t count) const;

    LibraryModule m_library;
    sevenzip::CreateObjectFunction m_createObject = nullptr;
    ComPtr<IInArchive> m_inArchive;
    ComPtr<IOutArchive> m_outArchive;
    bool m_sfxCreate = false;
    int32_t m_volumeSize = 0;
    std::atomic<bool> m_cancelRequested{false};
    bool m_errorReported = false;  // in the current operation
    bool m_adding = false;         // the current operation is an Add
    bool m_inputFailed = false;    // in the current Add
    std::wstring m_unnamedItem;    // the name of an item without one, in the current listing
    std::optional<TRestoredFiles> m_restored;  // in the current Extract
    TVolumePrompt m_volumePrompt;
};
