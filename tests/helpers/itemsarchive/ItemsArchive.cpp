// itemsarchive: writes a 7z archive of generated small items through the 7-Zip
// library beside it, for the benchmarks: FOLDERS folders "k0000"... each holding
// FILES files "plik00000.txt"... of one line of text. Nothing is read from disk:
// a million files made and packed under Wine would take the better part of an hour.
// For the tests, items named exactly as other tools store them ("\sub\a.txt",
// "tmp/x//file1.txt", names differing only in case), each with its text.
//
//   itemsarchive ARCHIVE FOLDERS FILES
//   itemsarchive ARCHIVE --named PATH=TEXT...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

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

// What the library packs as item i.
struct Item {
    std::wstring path;
    bool folder = false;
    std::string content;
};
using ItemSource = std::function<Item(uint32_t)>;

class ItemsCallback final : public ComObject<IArchiveUpdateCallback> {
public:
    ItemsCallback(uint32_t count, ItemSource source) : m_count(count), m_source(std::move(source)) {}
    uint32_t Count() const { return m_count; }

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
            const Item item = m_source(index);
            switch (id) {
            case kpidPath: SetPropString(value, item.path); break;
            case kpidIsDir: SetPropBool(value, item.folder); break;
            case kpidSize: SetPropUInt64(value, item.content.size()); break;
            case kpidAttrib: SetPropUInt32(value, item.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE); break;
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
            Item item = m_source(index);
            if (!item.folder) ComPtr<TextStream>(new TextStream(std::move(item.content))).CopyTo(in);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetOperationResult(INT32) override { return S_OK; }

private:
    uint32_t m_count;
    ItemSource m_source;
};

// Item i of folder f: the folder itself first, then its files.
ItemSource GeneratedItems(uint32_t files) {
    return [files](uint32_t index) {
        Item item;
        const uint32_t folder = index / (files + 1), file = index % (files + 1);
        wchar_t path[48];
        item.folder = file == 0;
        const int written = item.folder ? std::swprintf(path, 48, L"k%04u", folder)
                                        : std::swprintf(path, 48, L"k%04u\\plik%05u.txt", folder, file - 1);
        item.path.assign(path, static_cast<size_t>(written));
        if (!item.folder)
            item.content = "pozycja " + std::to_string(file - 1) + " katalogu " + std::to_string(folder) + "\r\n";
        return item;
    };
}

// PATH=TEXT arguments, stored as written: a PATH ending in a separator is a
// folder (stored without it).
std::vector<Item> NamedItems(int count, wchar_t** arguments) {
    std::vector<Item> items;
    for (int i = 0; i < count; ++i) {
        std::wstring argument = arguments[i];
        const size_t equals = argument.find(L'=');
        Item& item = items.emplace_back();
        item.path = argument.substr(0, equals);
        item.folder = !item.path.empty() && (item.path.back() == L'\\' || item.path.back() == L'/');
        if (item.folder) item.path.pop_back();
        const std::wstring text = equals == std::wstring::npos ? L"" : argument.substr(equals + 1);
        if (!item.folder) item.content.assign(text.begin(), text.end());
    }
    return items;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool named = argc >= 3 && std::wstring(argv[2]) == L"--named";
    if (argc != 4 && !named) {
        std::fputs("usage: itemsarchive ARCHIVE FOLDERS FILES\n       itemsarchive ARCHIVE --named PATH=TEXT...\n",
                   stderr);
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

    std::vector<Item> listed;
    ComPtr<ItemsCallback> items;
    if (named) {
        listed = NamedItems(argc - 3, argv + 3);
        items = ComPtr<ItemsCallback>(new ItemsCallback(static_cast<uint32_t>(listed.size()),
                                                        [&listed](uint32_t index) { return listed[index]; }));
    } else {
        const auto folders = static_cast<uint32_t>(_wtoi(argv[2])), files = static_cast<uint32_t>(_wtoi(argv[3]));
        items = ComPtr<ItemsCallback>(new ItemsCallback(folders * (files + 1), GeneratedItems(files)));
    }
    uint32_t error = 0;
    ComPtr<TMyStreamWriter> writer(
        new TMyStreamWriter(&error, argv[1], NowAsLocalDate(), FILE_ATTRIBUTE_ARCHIVE, {.Staged = true}));
    if (!writer->Start() || archive->UpdateItems(writer.Get(), items->Count(), items.Get()) != S_OK ||
        !writer->Commit()) {
        std::fprintf(stderr, "itemsarchive: could not write the archive (error %u)\n", writer->LastError());
        return 1;
    }
    std::printf("%u items\n", items->Count());
    return 0;
}
