#include "SevenZip.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "ExtractCallback.h"
#include "ExtractPath.h"
#include "FileTimes.h"
#include "ItemNameIndex.h"
#include "ItemProperty.h"
#include "ItemTable.h"
#include "OpenCallback.h"
#include "OperationPassword.h"
#include "PropVariant.h"
#include "SfxProbe.h"
#include "StreamReader.h"
#include "StreamWriter.h"
#include "UpdateCallback.h"
#include "WideFiles.h"
#include "WidePath.h"
#include "framework/Exception.h"

using namespace sevenzip;

namespace {
// Runs an ending on every way out of a scope.
template <class Ending>
class AtExit {
public:
    explicit AtExit(Ending ending) : m_ending(ending) {}
    ~AtExit() { m_ending(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

private:
    Ending m_ending;
};

// Beside the program first, then the system's safe search path (the program's
// folder and the system folder). The current folder is never searched, so that
// a "7za.dll" planted where the user happens to be cannot stand in for it; the
// library's own dependencies come from its folder or the system's.
LibraryModule LoadArchiveLibrary() {
    constexpr DWORD kSafeSearch = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
    wchar_t program[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::wstring besideProgram = DirectoryPart(program) + L"7za.dll";
        if (HMODULE module = ::LoadLibraryExW(besideProgram.c_str(), nullptr, kSafeSearch))
            return LibraryModule(module);
    }
    return LibraryModule(::LoadLibraryExW(L"7za.dll", nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS));
}

// Method settings for ISetProperties: names with their values, cleared when done.
class PropertyList {
public:
    ~PropertyList() {
        for (PROPVARIANT& value : m_values) ::PropVariantClear(&value);
    }
    void Add(const wchar_t* name, uint32_t number) { SetPropUInt32(Next(name), number); }
    void Add(const wchar_t* name, const wchar_t* text) { SetPropString(Next(name), text); }
    HRESULT ApplyTo(ISetProperties* target) const {
        return target->SetProperties(m_names.data(), m_values.data(), static_cast<UINT32>(m_names.size()));
    }

private:
    PROPVARIANT* Next(const wchar_t* name) {
        m_names.push_back(name);
        PROPVARIANT& value = m_values.emplace_back();
        ::PropVariantInit(&value);
        return &value;
    }
    std::vector<const wchar_t*> m_names;
    std::vector<PROPVARIANT> m_values;
};

uint32_t CompressionLevel(TCompressStrength strength) {
    switch (strength) {
    case TCompressStrength::SAVE: return 0;
    case TCompressStrength::FAST: return 3;
    case TCompressStrength::NORMAL: return 5;
    case TCompressStrength::MAXIMUM: return 7;
    case TCompressStrength::ULTRA: return 9;
    }
    return 5;
}

// The first file of the archive could not be opened because it is not there.
bool IsMissingFile(uint32_t error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return true;
    default: return false;
    }
}
}  // namespace

TSevenZip::TSevenZip(TComponent* Owner) : TComponent(Owner) {
    m_library = LoadArchiveLibrary();
    if (m_library)
        m_createObject =
            reinterpret_cast<CreateObjectFunction>(::GetProcAddress(m_library.Get(), "CreateObject"));
    if (m_createObject != nullptr) {
        m_createObject(&CLSID_Format7z, &IInArchive::Iid, m_inArchive.ReceiveVoid());
        m_createObject(&CLSID_Format7z, &IOutArchive::Iid, m_outArchive.ReceiveVoid());
    }
    // A library without the 7z objects can do nothing for the component.
    if (!m_inArchive || !m_outArchive)
        throw Exception("Could not load CreateObject function from 7za.dll\r\nPerhaps 7za.dll not found");
}

TSevenZip::~TSevenZip() {
    VolumeNames.clear();
    m_inArchive.Reset();
    m_outArchive.Reset();
    m_library.Reset();
    Files.Clear();
}

void TSevenZip::SetSFXCreate(bool value) {
    m_sfxCreate = false;
    if (!value) return;
    uint64_t moduleSize = 0;
    if (FileHandle module = OpenForReading(SFXModule)) FileLength(module.Get(), moduleSize);
    if (moduleSize == 0 || moduleSize > INT32_MAX - 7) return;
    if (m_volumeSize > 0 && static_cast<uint64_t>(m_volumeSize) < moduleSize + 7)
        m_volumeSize = static_cast<int32_t>(moduleSize + 7);
    SFXOffset = moduleSize;
    m_sfxCreate = true;
}

void TSevenZip::SetVolumeSize(int32_t value) {
    // The first volume of a self-extractor holds the whole module.
    if (m_sfxCreate && value > 0 && static_cast<uint64_t>(value) < SFXOffset)
        m_volumeSize = static_cast<int32_t>(SFXOffset + 7);
    else
        m_volumeSize = value;
}

void TSevenZip::Cancel() {
    m_cancelRequested = true;
    m_volumePrompt.Close();
}

void TSevenZip::ReportError(int32_t code, const std::wstring& fileName, uint32_t reason) {
    if (reason != 0) LastError = reason;
    // A file being added that could not be read in full fails the Add.
    if (code == kCouldNotReadFile) m_inputFailed = true;
    // The first error of an operation is its error: an item that went well later
    // (or one reported after it) must not make a failed run read as a good one.
    if (!m_errorReported) ErrCode = code;
    m_errorReported = true;
    if (OnMessage) OnMessage(this, code, ErrorMessage(code), fileName);
}

void TSevenZip::TotalKnown(uint64_t total) {
    if (OnPreProgress) OnPreProgress(this, total);
}

void TSevenZip::ItemStarted(const std::wstring& path, uint64_t size) {
    const T7zAddFileEvent& started = m_adding ? OnAddfile : OnExtractfile;
    if (started) started(this, path, size);
}

void TSevenZip::Progress(const std::wstring& path, uint64_t done, uint64_t doneOfItem) {
    if (OnProgress) OnProgress(this, path, done, doneOfItem);
}

TPasswordAnswer TSevenZip::AskPassword(std::wstring& password) {
    if (!OnPassword) return TPasswordAnswer::NobodyToAsk;
    bool cancel = false;
    OnPassword(this, password, cancel);
    return cancel || password.empty() ? TPasswordAnswer::Declined : TPasswordAnswer::Given;
}

bool TSevenZip::FindVolume(std::wstring& name, bool removable, const wchar_t* prompt) {
    if (!OnOpenVolume) return m_volumePrompt.Ask(DialogOwner(), prompt, name, m_cancelRequested);
    bool cancel = false;
    OnOpenVolume(name, removable, cancel);
    return !cancel;
}

void TSevenZip::NameStored(uint32_t index, std::wstring& path) {
    if (OnSetAddName) OnSetAddName(this, index, path);
}

void TSevenZip::NameOutput(uint32_t index, std::wstring& path) {
    if (OnSetExtractName) OnSetExtractName(this, index, path);
}

bool TSevenZip::MayOverwrite(const std::wstring& path) {
    bool doOverwrite = false;
    if (OnExtractOverwrite) OnExtractOverwrite(this, path, doOverwrite);
    return doOverwrite;
}

TRestoredFiles::TVerdict TSevenZip::MayReplace(const std::wstring& path) {
    return m_restored ? m_restored->MayReplace(path) : TRestoredFiles::TVerdict{};
}

void TSevenZip::Restored(uint64_t fileNumber, uint32_t item) {
    if (m_restored) m_restored->Restored(fileNumber, item);
}

int32_t TSevenZip::ReportWriteFailure(const TMyStreamWriter& writer) {
    ReportError(writer.WriteFailed() ? kCouldNotWriteFile : kCouldNotCreateFile, writer.FailedFileName(),
                writer.LastError());
    return -1;
}

bool TSevenZip::CancelledBeforeStart() {
    if (!m_cancelRequested) return false;
    ReportError(kUserCanceled, SZFileName);
    return true;
}

std::shared_ptr<TOperationPassword> TSevenZip::NewPassword() {
    return std::make_shared<TOperationPassword>(&Host(), Password);
}

int32_t TSevenZip::Add() {
    m_errorReported = false;
    m_inputFailed = false;
    m_adding = true;
    ArchiveStartHeader = {};
    AtExit clearCancel([this] {
        m_cancelRequested = false;
        m_adding = false;
    });
    if (CancelledBeforeStart()) return -1;

    AddRootDir = UpperCase(AddRootDir);
    TAddItemTable table({AddRootDir, AddOptions.Contains(AddOptsEnum::AddRecurseDirs),
                         AddOptions.Contains(AddOptsEnum::AddStoreOnlyFilename),
                         [this] { return CancelRequested(); }});
    // An entry that is not there is left out as a file that cannot be opened is:
    // said, and the archive is not what was asked for.
    uint32_t missing = 0;
    for (int32_t i = 0; i < Files.Count(); ++i) {
        if (table.AddEntry(Files[i])) continue;
        ReportError(kFileNotFound, Files[i]);
        ++missing;
    }
    table.Items().shrink_to_fit();
    TotalKnown(table.Total());
    // Checked before the archive file is made: an existing archive of that name
    // is not to be replaced by an empty file.
    if (table.Items().empty()) {
        ReportError(kNoFilesToAdd, L"");
        return -1;
    }
    // Before any file is made too: an archive written without a setting the
    // library refused (header encryption, say) would pass for what was asked.
    if (!PassMethodSettings()) {
        ReportError(kSettingsRejected, SZFileName);
        return -1;
    }
    const auto count = static_cast<UINT32>(table.Items().size());
    ComPtr<TMyArchiveUpdateCallback> callback(new TMyArchiveUpdateCallback(
        *this, std::move(table.Items()),
        {AddOptions.Contains(AddOptsEnum::AddIncludeDriveLetter), AddOptions.Contains(AddOptsEnum::AddStoreOnlyFilename)},
        Password));

    const bool append = m_sfxCreate && PathExists(SFXModule);
    if (append) SZFileName = ChangeExtension(SZFileName, L".exe");
    VolumeNames.clear();
    ComPtr<TMyStreamWriter> writer(
        new TMyStreamWriter(nullptr, SZFileName, NowAsLocalDate(), FILE_ATTRIBUTE_ARCHIVE,
                            {.VolumeSize = static_cast<uint32_t>(m_volumeSize), .Append = append, .Staged = true}));
    writer->ReplaceAsSet();
    if (append) {
        // An existing program of that name is never replaced by a self-extractor.
        const std::wstring copy = FileApiPath(writer->FirstFileName());
        DWORD copyError = ERROR_SUCCESS;
        if (PathExists(SZFileName)) {
            copyError = ERROR_FILE_EXISTS;
        } else if (!::CopyFileW(FileApiPath(SFXModule).c_str(), copy.c_str(), TRUE)) {
            copyError = ::GetLastError();
            ::DeleteFileW(copy.c_str());
        }
        if (copyError != ERROR_SUCCESS) {
            ReportError(kCouldNotCreateSfx, SZFileName, copyError);
            return -1;
        }
    }
    if (!writer->Start()) return ReportWriteFailure(*writer.Get());

    HRESULT result = m_outArchive->UpdateItems(writer.Get(), count, callback.Get());
    // The library passes a failed write on as a plain "false", which would read as
    // "written, some files left out".
    if (writer->LastError() != 0) return ReportWriteFailure(*writer.Get());
    if (m_inputFailed) return -1;
    // Stopped on the callback's answer (a cancel): no archive, whatever the library says.
    if (result != S_OK) return result == S_FALSE ? -1 : static_cast<int32_t>(result);
    if (!writer->Commit()) return ReportWriteFailure(*writer.Get());
    VolumeNames = writer->VolumeNames();
    ArchiveStartHeader = writer->StartHeader();
    // Written without the entries that are not there or could not be opened:
    // done, but not as asked.
    return callback->SkippedItems() + missing > 0 ? S_FALSE : S_OK;
}

bool TSevenZip::PassMethodSettings() {
    ComPtr<ISetProperties> setter;
    if (m_outArchive->QueryInterface(ISetProperties::Iid, setter.ReceiveVoid()) != S_OK || !setter) return false;
    PropertyList properties;
    if (LZMACompressType == TCompressType::LZMA) {
        properties.Add(L"X", CompressionLevel(LZMACompressStrength));
        properties.Add(L"s", AddOptions.Contains(AddOptsEnum::AddSolid) ? L"on" : L"off");
        if (LZMAStrength > 0) properties.Add(L"d", LZMAStrength);
    } else {
        properties.Add(L"0", L"PPMd");
        // The model order and memory go as fixed values once switched on.
        if (LPPMDsize > 0) properties.Add(L"o", 10u);
        if (LPPMDmem > 0) properties.Add(L"mem", 30u);
    }
    if (!Password.empty() && AddOptions.Contains(AddOptsEnum::AddEncryptFilename)) properties.Add(L"he", L"on");
    return properties.ApplyTo(setter.Get()) == S_OK;
}

bool TSevenZip::PrepareSelfExtractor() {
    if (UpperCase(ExtensionOf(SZFileName)) != L".EXE") {
        // Any other name is read from its first byte, whatever an earlier probe
        // found; while SFXCreate is on, SFXOffset is the module's size and stays.
        IsSFX = false;
        if (!m_sfxCreate) SFXOffset = 0;
        return true;
    }
    IsSFX = false;
    SFXOffset = 0;
    std::optional<uint64_t> offset = FindEmbeddedArchive(SZFileName);
    if (!offset) return false;
    IsSFX = true;
    SFXOffset = *offset;
    return true;
}

ComPtr<TMyStreamReader> TSevenZip::OpenArchive(const std::shared_ptr<TOperationPassword>& password) {
    if (!PrepareSelfExtractor()) {
        ReportError(kNotSfxArchive, SZFileName);
        return {};
    }
    ComPtr<TMyStreamReader> reader(new TMyStreamReader(this, TReaderVolumes::MultiVolume, SZFileName,
                                                       {.SelfExtracting = IsSFX, .Offset = IsSFX ? SFXOffset : 0}));
    // Code 1 is kept for a file that is not there; one that is but cannot be read
    // says why.
    if (const uint32_t error = reader->LastError()) {
        if (IsMissingFile(error))
            ReportError(kFileNotFound, SZFileName);
        else
            ReportError(kCouldNotOpenFile, SZFileName, error);
        return {};
    }
    m_inArchive->Close();
    ComPtr<TMyArchiveOpenCallback> callback(new TMyArchiveOpenCallback(password));
    if (m_inArchive->Open(reader.Get(), nullptr, callback.Get()) == S_OK) return reader;
    // The library gives no reason: what kept it from the archive is told by what
    // the reader and the password saw, and by the archive's start.
    TStartHeader header{};
    if (reader->ShortVolumeFound())
        ;  // the reader has named the volume that is cut short
    else if (!reader->MissingVolume().empty())
        ReportError(kFileNotFound, reader->MissingVolume());
    else if (password->Declined())
        ReportError(kUserCanceled, SZFileName);
    else if (password->Requested())
        ReportError(kWrongPassword, SZFileName);
    else if (reader->StartHeader(header) && HasSignatureAt(header.data(), header.size()))
        ReportError(kDamagedHeader, SZFileName);
    else
        ReportError(kNotAnArchive, SZFileName);
    return {};
}

void TSevenZip::EndReading() {
    m_inArchive->Close();
    m_restored.reset();
    m_cancelRequested = false;
}

std::wstring_view TSevenZip::ShownPath(std::wstring_view path) const {
    return path.empty() ? std::wstring_view(m_unnamedItem) : path;
}

std::wstring TSevenZip::UnreadableItem(uint32_t index) const { return NumberedItemName(SZFileName, index); }

int32_t TSevenZip::List() {
    m_errorReported = false;
    Files.Clear();
    NumberOfFiles = -1;
    ArchiveStartHeader = {};
    AtExit endReading([this] { EndReading(); });
    if (CancelledBeforeStart()) return -1;
    ComPtr<TMyStreamReader> reader = OpenArchive(NewPassword());
    if (!reader) return -1;
    uint32_t count = 0;
    if (!ReadItemCount(m_inArchive.Get(), count)) {
        ReportError(kDamagedHeader, SZFileName);
        return -1;
    }
    // What the count promises, so that the rows can grow once; what was listed once done.
    NumberOfFiles = static_cast<int32_t>(count);
    Files.Reserve(count);
    m_unnamedItem = UnnamedItemName(SZFileName);
    IInArchive* archive = m_inArchive.Get();
    PropVariant path, size, packedSize, attributes, crc, method, modified;
    const TLocalDates dates;
    std::wstring name, methodText;  // their room kept from item to item
    int32_t listed = 0;
    for (UINT32 i = 0; i < count; ++i) {
        // The library reports no progress while its items are read: the request is
        // seen here, so that the listing of a million items stops at once too.
        if (m_cancelRequested) {
            ReportError(kUserCanceled, SZFileName);
            Files.Clear();
            NumberOfFiles = -1;
            return -1;
        }
        bool isDirectory = false;
        if (!ReadItemProperty(archive, i, kpidPath, path) || !ReadItemProperty(archive, i, kpidSize, size) ||
            !ReadItemProperty(archive, i, kpidPackSize, packedSize) ||
            !ReadItemProperty(archive, i, kpidAttrib, attributes) || !ReadItemProperty(archive, i, kpidCRC, crc) ||
            !ReadItemProperty(archive, i, kpidMethod, method) || !ReadItemProperty(archive, i, kpidMTime, modified) ||
            !ReadIsDirectory(archive, i, attributes.AsUInt64(), isDirectory)) {
            ReportError(kItemUnreadable, UnreadableItem(i));
            continue;
        }
        ++listed;
        name.assign(path.AsStringView());
        if (isDirectory) {
            name += L'\\';
            Files.Add(name);
            name.pop_back();
        } else {
            Files.Add(name);
        }
        if (!OnListfile) continue;
        if (name.empty()) name = m_unnamedItem;
        methodText.assign(isDirectory || size.AsUInt64() == 0 ? std::wstring_view(L"None") : method.AsStringView());
        OnListfile(this, name, i, size.AsUInt64(), packedSize.AsUInt64(), attributes.AsUInt64() & ~0x2000ull,
                   crc.AsUInt32(), methodText, dates.FromFileTime(modified.AsFileTime()));
    }
    NumberOfFiles = listed;
    if (!reader->StartHeader(ArchiveStartHeader)) ArchiveStartHeader = {};
    return listed;
}

// List leaves a directory in Files with a backslash behind it; the entry still
// names that directory's item.
std::wstring TSevenZip::StoredPathOf(const std::wstring& entry) {
    if (entry.size() > 1 && entry.back() == L'\\') return entry.substr(0, entry.size() - 1);
    return entry;
}

int32_t TSevenZip::GetIndexByFilename(const std::wstring& name) {
    AtExit close([this] { m_inArchive->Close(); });
    if (!PrepareSelfExtractor()) return -1;
    ComPtr<TMyStreamReader> reader(new TMyStreamReader(this, TReaderVolumes::MultiVolume, SZFileName,
                                                       {.SelfExtracting = IsSFX, .Offset = IsSFX ? SFXOffset : 0}));
    m_inArchive->Close();
    uint32_t count = 0;
    if (m_inArchive->Open(reader.Get(), nullptr, nullptr) != S_OK || !ReadItemCount(m_inArchive.Get(), count))
        return -1;
    return static_cast<int32_t>(TItemNameIndex(m_inArchive.Get(), count).Find(name));
}

bool TSevenZip::IsExpectedArchive(TMyStreamReader& reader, uint32_t count) const {
    TStartHeader header{};
    if (!reader.StartHeader(header) || header != ExpectedArchive->StartHeader) return false;
    // The header block is the one listed, up to its CRC; each item shown is where
    // the row says, as the row shows it. All of it is in the header already read.
    IInArchive* archive = m_inArchive.Get();
    PropVariant path, size, crc;
    TShownItem item;
    for (size_t number = 0; ExpectedArchive->Item && ExpectedArchive->Item(number, item); ++number) {
        if (item.Index >= count || !ReadItemProperty(archive, item.Index, kpidPath, path) ||
            !ReadItemProperty(archive, item.Index, kpidSize, size) ||
            !ReadItemProperty(archive, item.Index, kpidCRC, crc) ||
            ShownPath(path.AsStringView()) != item.Name || size.AsUInt64() != item.Size ||
            crc.AsUInt32() != item.Crc)
            return false;
    }
    return true;
}

int32_t TSevenZip::Extract(bool TestMode) {
    m_errorReported = false;
    ErrCode = kSuccess;
    AtExit endReading([this] { EndReading(); });
    auto password = NewPassword();
    if (CancelledBeforeStart()) return -1;
    ComPtr<TMyStreamReader> reader = OpenArchive(password);
    if (!reader) return -1;

    uint32_t count = 0;
    if (!ReadItemCount(m_inArchive.Get(), count)) {
        ReportError(kDamagedHeader, SZFileName);
        return -1;
    }
    m_unnamedItem = UnnamedItemName(SZFileName);
    if (ExpectedArchive && !IsExpectedArchive(*reader.Get(), count)) {
        ReportError(kArchiveChanged, SZFileName);
        return -1;
    }
    std::vector<UINT32> indices;
    indices.reserve(static_cast<size_t>(Files.Count()));
    std::optional<TItemNameIndex> names;  // made for the first entry that is a stored path
    for (int32_t entry = 0; entry < Files.Count(); ++entry) {
        const std::wstring text = Files[entry];
        int64_t index = 0;
        if (!ParseSignedDecimal(text, index)) {
            if (!names) names.emplace(m_inArchive.Get(), count);
            index = names->Find(StoredPathOf(text));
        }
        if (index < 0 || index >= static_cast<int64_t>(count)) {
            ReportError(kIndexOutOfRange, L"");
            return -1;
        }
        indices.push_back(static_cast<UINT32>(index));
    }
    // The library takes each index once, in ascending order; an item chosen twice
    // is written once and counts once.
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    uint64_t total = 0;
    PropVariant size;
    // An item whose size cannot be read counts for nothing here; extracting it
    // reports it.
    for (UINT32 index : indices)
        if (ReadItemProperty(m_inArchive.Get(), index, kpidSize, size)) total += size.AsUInt64();
    if (total > 0) TotalKnown(total);

    // Nothing of the archive is written over, whichever volume and by whichever
    // name; its files are known before the first item is.
    m_restored.emplace();
    if (!TestMode)
        for (const std::wstring& volume : reader->VolumeNames()) m_restored->AddArchiveFile(volume);

    const uint64_t requested = Files.Count() == 0 ? count : indices.size();
    ComPtr<TMyArchiveExtractCallback> callback(new TMyArchiveExtractCallback(
        *this, m_inArchive.Get(),
        {.BaseDirectory = WithTrailingBackslash(ExtrBaseDir),
         .ArchiveName = SZFileName,
         .NoPath = ExtractOptions.Contains(ExtractOptsEnum::ExtractNoPath),
         .Overwrite = ExtractOptions.Contains(ExtractOptsEnum::ExtractOverwrite),
         .Testing = TestMode,
         .Requested = static_cast<int64_t>(indices.size())},
        password));
    HRESULT result = Files.Count() == 0
                         ? m_inArchive->Extract(nullptr, 0xFFFFFFFFu, TestMode ? 1 : 0, callback.Get())
                         : m_inArchive->Extract(indices.data(), static_cast<UINT32>(indices.size()),
                                                TestMode ? 1 : 0, callback.Get());
    if (password->Declined()) {
        ReportError(kUserCanceled, SZFileName);
        return -1;
    }
    // The library's own result says nothing of items refused or not put in place,
    // and a stop after the last requested file reads as a failure.
    if (!m_errorReported && callback->ItemsDone() >= requested) return S_OK;
    return result != S_OK ? static_cast<int32_t>(result) : S_FALSE;
}
