// archivecli: drives the archive component from the command line, for the demo,
// the benchmarks and the cross-check with Debian's native 7-Zip.
//
//   archivecli add ARCHIVE [options] ENTRY...      entries as the component's Files
//   archivecli list ARCHIVE [options]
//   archivecli extract ARCHIVE FOLDER [options] [ITEM...]
//   archivecli list-library ARCHIVE                the library alone, for memory figures
//
// Options: --root DIR, --volume BYTES, --sfx MODULE, --level 0..4, --ppmd, --solid,
// --password TEXT, --encrypt-names, --store-names, --no-recurse, --drive,
// --overwrite, --no-path, --test, --quiet, --memory (the peak working set),
// --time (the milliseconds of the operation alone), --items-from FILE (entries,
// one a line, after those given; for more than a command line holds).
//
// It never opens a window: a missing volume or password fails the operation with
// a message and a non-zero exit code. Names are printed as the window shows them
// (ShownName.h): no line holds a control or format character of a name.
#include <windows.h>
#include <psapi.h>

#include <fcntl.h>
#include <io.h>

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/ComObject.h"
#include "archive/FileTimes.h"
#include "archive/PropVariant.h"
#include "archive/SevenZip.h"
#include "archive/ShownName.h"
#include "archive/StreamReader.h"
#include "framework/Exception.h"

namespace {
void Print(const std::wstring& text) {
    int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    bytes.push_back('\n');
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

struct Options {
    std::wstring command, archive, folder;
    std::vector<std::wstring> entries;
    bool quiet = false, memory = false, test = false, time = false;
};

// Lines of a UTF-8 file as entries; false when it cannot be read.
bool ReadEntries(const std::wstring& path, std::vector<std::wstring>& entries) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return false;
    char line[4096];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (text.empty()) continue;
        std::wstring entry(text.size(), L'\0');
        entry.resize(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                                entry.data(), static_cast<int>(entry.size()))));
        entries.push_back(entry);
    }
    std::fclose(file);
    return true;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options, TSevenZip& zip) {
    if (argc < 3) return false;
    options.command = argv[1];
    options.archive = argv[2];
    int at = 3;
    if (options.command == L"extract") {
        if (argc < 4) return false;
        options.folder = argv[at++];
    }
    for (; at < argc; ++at) {
        std::wstring arg = argv[at];
        auto value = [&]() -> std::wstring { return at + 1 < argc ? argv[++at] : L""; };
        if (arg == L"--root") zip.AddRootDir = value();
        else if (arg == L"--volume") zip.SetVolumeSize(_wtoi(value().c_str()));
        else if (arg == L"--sfx") {
            zip.SFXModule = value();
            zip.SetSFXCreate(true);
            if (!zip.SFXCreate()) return false;  // no module there
        } else if (arg == L"--level") zip.LZMACompressStrength = static_cast<TCompressStrength>(_wtoi(value().c_str()));
        else if (arg == L"--ppmd") zip.LZMACompressType = TCompressType::PPMD;
        else if (arg == L"--solid") zip.AddOptions.Include(AddOptsEnum::AddSolid);
        else if (arg == L"--password") zip.Password = value();
        else if (arg == L"--encrypt-names") zip.AddOptions.Include(AddOptsEnum::AddEncryptFilename);
        else if (arg == L"--store-names") zip.AddOptions.Include(AddOptsEnum::AddStoreOnlyFilename);
        else if (arg == L"--no-recurse") zip.AddOptions.Exclude(AddOptsEnum::AddRecurseDirs);
        else if (arg == L"--drive") zip.AddOptions.Include(AddOptsEnum::AddIncludeDriveLetter);
        else if (arg == L"--overwrite") zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
        else if (arg == L"--no-path") zip.ExtractOptions.Include(ExtractOptsEnum::ExtractNoPath);
        else if (arg == L"--test") options.test = true;
        else if (arg == L"--quiet") options.quiet = true;
        else if (arg == L"--memory") options.memory = true;
        else if (arg == L"--time") options.time = true;
        else if (arg == L"--items-from") {
            if (!ReadEntries(value(), options.entries)) return false;
        }
        else if (arg.rfind(L"--", 0) == 0) return false;
        else options.entries.push_back(arg);
    }
    return true;
}

void PrintPeakMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    Print(L"peak_working_set: " + std::to_wstring(counters.PeakWorkingSetSize));
}

// One line of a listing, built without the formatting functions of the runtime:
// 7z.exe prints 100,000 lines in a fifth of a second, and the benchmark compares
// the component with it, printing included.
class ListLine {
public:
    ListLine& Number(uint64_t value) {
        char digits[24];
        m_text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        return Tab();
    }
    ListLine& Hex8(uint64_t value) {
        for (int shift = 28; shift >= 0; shift -= 4) m_text += "0123456789ABCDEF"[(value >> shift) & 0xF];
        return Tab();
    }
    // An OLE date (local time) as "yyyy-mm-dd hh:mm:ss".
    ListLine& Date(double date) {
        double ticks = (date - kFileTimeEpochDate) * 864000000000.0;
        ULARGE_INTEGER value{};
        value.QuadPart = ticks > 0 ? static_cast<uint64_t>(ticks + 0.5) : 0;
        FILETIME time{value.LowPart, value.HighPart};
        SYSTEMTIME parts{};
        ::FileTimeToSystemTime(&time, &parts);
        Digits(parts.wYear, 4).append(1, '-');
        Digits(parts.wMonth, 2).append(1, '-');
        Digits(parts.wDay, 2).append(1, ' ');
        Digits(parts.wHour, 2).append(1, ':');
        Digits(parts.wMinute, 2).append(1, ':');
        Digits(parts.wSecond, 2);
        return Tab();
    }
    ListLine& Text(const std::wstring& text) {
        size_t start = m_text.size();
        int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
        m_text.resize(start + static_cast<size_t>(length));
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), m_text.data() + start, length,
                              nullptr, nullptr);
        return Tab();
    }
    void Print() {
        m_text.back() = '\n';
        std::fwrite(m_text.data(), 1, m_text.size(), stdout);
        m_text.clear();
    }

private:
    ListLine& Tab() {
        m_text += '\t';
        return *this;
    }
    std::string& Digits(unsigned value, int width) {
        char digits[8];
        for (int i = width - 1; i >= 0; --i, value /= 10) digits[i] = static_cast<char>('0' + value % 10);
        return m_text.append(digits, static_cast<size_t>(width));
    }
    std::string m_text;
};

// The library alone: open through a plain reader and read what List reads, keeping
// nothing. What the component uses beyond this is its own.
int ListWithLibraryOnly(TSevenZip& zip, const std::wstring& archive) {
    ComPtr<TMyStreamReader> reader(new TMyStreamReader(nullptr, TReaderVolumes::OneFile, archive));
    IInArchive* library = zip.InArchive();
    UINT32 count = 0;
    if (library->Open(reader.Get(), nullptr, nullptr) != S_OK || library->GetNumberOfItems(&count) != S_OK) return -1;
    PropVariant value;
    for (UINT32 i = 0; i < count; ++i)
        for (PROPID id : {sevenzip::kpidPath, sevenzip::kpidSize, sevenzip::kpidPackSize, sevenzip::kpidAttrib,
                          sevenzip::kpidCRC, sevenzip::kpidMethod, sevenzip::kpidMTime})
            library->GetProperty(i, id, value.Receive());
    library->Close();
    return static_cast<int>(count);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Nor the system's own box for a drive without a disk, which would wait too.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Lines end in LF alone, for the shell scripts that read them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // A listing of 100,000 items is 100,000 lines: written in blocks, not one by one.
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    try {
        TSevenZip zip(nullptr);
        zip.AddOptions.Include(AddOptsEnum::AddRecurseDirs);
        Options options;
        if (!ParseOptions(argc, argv, options, zip)) {
            std::fputs("usage: archivecli add|list|extract|list-library ARCHIVE [FOLDER] [options] [entries]\n", stderr);
            return 2;
        }
        zip.SZFileName = options.archive;
        zip.OnMessage = [&](TObject*, int32_t code, const std::string& message, const std::wstring& file) {
            std::wstring line = L"error " + std::to_wstring(code) + L": " + Widen(message);
            if (!file.empty()) line += L": " + ShownName(file);
            if (ErrorHasSystemReason(code) && zip.LastError != 0)
                line += L" (" + SystemErrorText(zip.LastError) + L")";
            Print(line);
        };
        // A script waits for no one: a missing volume fails the operation.
        zip.OnOpenVolume = [](std::wstring& name, bool, bool& cancel) {
            Print(L"missing volume: " + ShownName(name));
            cancel = true;
        };
        if (!options.quiet) {
            // The library reports progress before the first item and several times
            // per item; each item is named once.
            std::wstring lastNamed;
            auto name = [lastNamed](const wchar_t* verb, const std::wstring& file, uint64_t size) mutable {
                if (file.empty() || file == lastNamed) return;
                lastNamed = file;
                Print(verb + ShownName(file) + L" (" + std::to_wstring(size) + L" bytes)");
            };
            zip.OnAddfile = [name](TObject*, const std::wstring& file, uint64_t size) mutable {
                name(L"adding ", file, size);
            };
            zip.OnExtractfile = [name](TObject*, const std::wstring& file, uint64_t size) mutable {
                name(L"writing ", file, size);
            };
            zip.OnListfile = [line = ListLine()](TObject*, const std::wstring& name, uint64_t index, uint64_t size,
                                                 uint64_t packed, uint64_t attributes, uint64_t crc,
                                                 const std::wstring& method, double time) mutable {
                // The name as the window shows it: nothing in it hides or reorders what it is.
                line.Number(index).Number(attributes).Number(size).Number(packed).Hex8(crc).Text(ShownName(method)).Date(time)
                    .Text(ShownName(name))
                    .Print();
            };
        }
        int32_t result = 0;
        bool ok = false;
        LARGE_INTEGER frequency{}, start{}, end{};
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        if (options.command == L"add") {
            for (const std::wstring& entry : options.entries) zip.Files.Add(entry);
            result = zip.Add();
            for (const std::wstring& volume : zip.VolumeNames) Print(L"wrote " + ShownName(volume));
            ok = result == 0;
        } else if (options.command == L"list") {
            result = zip.List();
            ok = result >= 0;
        } else if (options.command == L"extract") {
            zip.ExtrBaseDir = options.folder;
            for (const std::wstring& entry : options.entries) zip.Files.Add(entry);
            result = zip.Extract(options.test);
            ok = result == 0;
        } else if (options.command == L"list-library") {
            result = ListWithLibraryOnly(zip, options.archive);
            ok = result >= 0;
        } else {
            std::fputs("unknown command\n", stderr);
            return 2;
        }
        ::QueryPerformanceCounter(&end);
        Print(L"result: " + std::to_wstring(result));
        if (options.time)
            Print(L"operation_ms: " + std::to_wstring((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart));
        if (options.memory) PrintPeakMemory();
        return ok && zip.ErrCode == kSuccess ? 0 : 1;
    } catch (const EAbort&) {
        Print(L"result: aborted (the archive file could not be created)");
        return 1;
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", error.Message().c_str());
        return 3;
    }
}
