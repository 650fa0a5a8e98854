// itemsarchive: writes a 7z archive of generated small items through the 7-Zip
// library beside it, for the benchmarks: FOLDERS folders "k0000"... each holding
// FILES files "plik00000.txt"... of one line of text. Nothing is read from disk:
// a million files made and packed under Wine would take the better part of an hour.
//
//   itemsarchive ARCHIVE FOLDERS FILES
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "archive/ComObject.h"
#include "archive/FileTimes.h"
#include "archive/Handles.h"
#include "archive/PropVariant.h"
#include "archive/SevenZipInterfaces.h"
#include "archive/StreamWriter.h"
#include "archive/WidePath.h"

using namespace sevenzip;

namespace {
// One item's content, read once by the library.
class TextStream final : public ComObject<ISequentialInStream> {
public:
    explicit TextStream(std::string text) : m_text(std::move(text)) {}
    HRESULT STDMETHODCALLTYPE Read(void* data, UINT32 size, UINT32* processed) override {
        const size_t count = std::min<size_t>(size, m_text.size() - m_position);
        std::copy_n(m_text.data() + m_position, count, static_cast<char*>(data));
        m_position += count;
        if (processed != nullptr) *processed = static_cast<UINT32>(count);
        return S_OK;
    }

private:
    std::string m_text;
    size_t m_position = 0;
};

// Item i of folder f: the folder itself first, then its files.
class GeneratedItems final : public ComObject<IArchiveUpdateCallback> {
public:
    GeneratedItems(uint32_t folders, uint32_t files) : m_folders(folders), m_files(files) {}
    uint32_t Count() const { return m_folders * (m_files + 1); }

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUpdateItemInfo(UINT32, INT32* newData, INT32* newProperties,
                                                UINT32* indexInArchive) override {
        if (newData != nullptr) *newData = 1;
        if (newProperties != nullptr) *newProperties = 1;
        if (indexInArchive != nullptr) *indexInArchive = 0xFFFFFFFFu;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetProperty(UINT32 index, PROPID id, PROPVARIANT* value) override {
        return GuardedCall([&]() -> HRESULT {
            const bool folder = IsFolder(index);
            switch (id) {
            case kpidPath: SetPropString(value, Path(index)); break;
            case kpidIsDir: SetPropBool(value, folder); break;
            case kpidSize: SetPropUInt64(value, folder ? 0 : Content(index).size()); break;
            case kpidAttrib: SetPropUInt32(value, folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE); break;
            case kpidMTime: SetPropFileTime(value, FILETIME{0x5A3C0000u + index, 0x01DD6F3Cu}); break;
            case kpidIsAnti: SetPropBool(value, false); break;
            default: break;  // no creation or access time
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetStream(UINT32 index, ISequentialInStream** in) override {
        return GuardedCall([&]() -> HRESULT {
            *in = nullptr;
            if (!IsFolder(index)) ComPtr<TextStream>(new TextStream(Content(index))).CopyTo(in);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetOperationResult(INT32) override { return S_OK; }

private:
    bool IsFolder(uint32_t index) const { return index % (m_files + 1) == 0; }
    std::wstring Path(uint32_t index) const {
        wchar_t path[48];
        const int written = IsFolder(index) ? std::swprintf(path, 48, L"k%04u", index / (m_files + 1))
                                            : std::swprintf(path, 48, L"k%04u\\plik%05u.txt", index / (m_files + 1),
                                                            index % (m_files + 1) - 1);
        return std::wstring(path, static_cast<size_t>(written));
    }
    std::string Content(uint32_t index) const {
        return "pozycja " + std::to_string(index % (m_files + 1) - 1) + " katalogu " +
               std::to_string(index / (m_files + 1)) + "\r\n";
    }
    uint32_t m_folders, m_files;
};
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fputs("usage: itemsarchive ARCHIVE FOLDERS FILES\n", stderr);
        return 2;
    }
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    LibraryModule library(::LoadLibraryW((DirectoryPart(program) + L"7za.dll").c_str()));
    auto createObject =
        library ? reinterpret_cast<CreateObjectFunction>(::GetProcAddress(library.Get(), "CreateObject")) : nullptr;
    ComPtr<IOutArchive> archive;
    if (createObject == nullptr || createObject(&CLSID_Format7z, &IOutArchive::Iid, archive.ReceiveVoid()) != S_OK) {
        std::fputs("itemsarchive: no 7za.dll beside the program\n", stderr);
        return 1;
    }
    // Fast LZMA2, solid, as 7-Zip's -mx1.
    ComPtr<ISetProperties> settings;
    archive->QueryInterface(ISetProperties::Iid, settings.ReceiveVoid());
    const wchar_t* names[] = {L"x"};
    PROPVARIANT level{};
    SetPropUInt32(&level, 1);
    if (!settings || settings->SetProperties(names, &level, 1) != S_OK) return 1;

    ComPtr<GeneratedItems> items(new GeneratedItems(static_cast<uint32_t>(_wtoi(argv[2])),
                                                    static_cast<uint32_t>(_wtoi(argv[3]))));
    uint32_t error = 0;
    ComPtr<TMyStreamWriter> writer(new TMyStreamWriter(&error, argv[1], NowAsLocalDate(), FILE_ATTRIBUTE_ARCHIVE, 0,
                                                       false, true));
    if (!writer->Start() || archive->UpdateItems(writer.Get(), items->Count(), items.Get()) != S_OK ||
        !writer->Commit()) {
        std::fprintf(stderr, "itemsarchive: could not write the archive (error %u)\n", writer->LastError());
        return 1;
    }
    std::printf("%u items\n", items->Count());
    return 0;
}
