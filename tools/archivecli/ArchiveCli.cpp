// archivecli: drives the archive component from the command line, for the demo,
// the benchmarks, the cross-check with Debian's native 7-Zip and scripts of users.
// Its commands, options and exit codes are the tables below, which --help prints.
//
// It never opens a window: a missing volume or password fails the operation with
// a message and a non-zero exit code. Names are printed as the window shows them
// (ShownName.h): no line holds a control or format character of a name.
#include <windows.h>
#include <psapi.h>

#include <fcntl.h>
#include <io.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/ComObject.h"
#include "archive/FileTimes.h"
#include "archive/PropVariant.h"
#include "archive/SevenZip.h"
#include "archive/ShownName.h"
#include "archive/StreamReader.h"
#include "archive/WidePath.h"
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

// An option: its name, its value's name (none for a switch), what it means, and
// what it does to the component or the run; false when the value cannot be taken.
struct OptionRow {
    const char* name;
    const char* value;
    const char* meaning;
    bool (*apply)(TSevenZip& zip, Options& options, const std::wstring& value);
};

bool Number(const std::wstring& text, int64_t low, int64_t high, int64_t& number) {
    return ParseSignedDecimal(text, number) && number >= low && number <= high;
}

// clang-format off
const OptionRow kOptions[] = {
    {"--root", "DIR", "add: the folder cut from the stored paths",
     [](TSevenZip& zip, Options&, const std::wstring& v) { zip.AddRootDir = v; return true; }},
    {"--level", "0..4", "add: store (0, the default), fast, normal, maximum, ultra",
     [](TSevenZip& zip, Options&, const std::wstring& v) {
         int64_t level = 0;
         if (!Number(v, 0, 4, level)) return false;
         zip.LZMACompressStrength = static_cast<TCompressStrength>(level);
         return true; }},
    {"--ppmd", nullptr, "add: PPMd in place of LZMA",
     [](TSevenZip& zip, Options&, const std::wstring&) { zip.LZMACompressType = TCompressType::PPMD; return true; }},
    {"--solid", nullptr, "add: one solid block",
     [](TSevenZip& zip, Options&, const std::wstring&) { zip.AddOptions.Include(AddOptsEnum::AddSolid); return true; }},
    {"--volume", "BYTES", "add: volumes of that size, ARCHIVE.001 and on (0: one file)",
     [](TSevenZip& zip, Options&, const std::wstring& v) {
         int64_t size = 0;
         if (!Number(v, 0, INT32_MAX, size)) return false;
         zip.SetVolumeSize(static_cast<int32_t>(size));
         return true; }},
    {"--sfx", "MODULE", "add: a self-extracting program, MODULE (7z.sfx) with the archive behind it",
     [](TSevenZip& zip, Options&, const std::wstring& v) {
         zip.SFXModule = v;
         zip.SetSFXCreate(true);
         return zip.SFXCreate(); }},  // false: no module there
    {"--password", "TEXT", "the password to pack with, or to list and restore with",
     [](TSevenZip& zip, Options&, const std::wstring& v) { zip.Password = v; return true; }},
    {"--encrypt-names", nullptr, "add: with --password, the names encrypted too",
     [](TSevenZip& zip, Options&, const std::wstring&) { zip.AddOptions.Include(AddOptsEnum::AddEncryptFilename); return true; }},
    {"--store-names", nullptr, "add: file names alone, without their folders",
     [](TSevenZip& zip, Options&, const std::wstring&) { zip.AddOptions.Include(AddOptsEnum::AddStoreOnlyFilename); return true; }},
    {"--no-recurse", nullptr, "add: a folder entry without what is below it",
     [](TSevenZip& zip, Options&, const std::wstring&) { zip.AddOptions.Exclude(AddOptsEnum::AddRecurseDirs); return true; }},
    {"--drive", nullptr, "add: the drive letter kept in the stored paths",
     [](TSevenZip& zip, Options&, const std::wstring&) { zip.AddOptions.Include(AddOptsEnum::AddIncludeDriveLetter); return true; }},
    {"--items-from", "FILE", "entries or items, one a line (UTF-8), after those given",
     [](TSevenZip&, Options& o, const std::wstring& v) { return ReadEntries(v, o.entries); }},
    {"--overwrite", nullptr, "extract: files that are there are replaced (without it they are kept)",
     [](TSevenZip& zip, Options&, const std::wstring&) { zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite); return true; }},
    {"--no-path", nullptr, "extract: every file straight into FOLDER",
     [](TSevenZip& zip, Options&, const std::wstring&) { zip.ExtractOptions.Include(ExtractOptsEnum::ExtractNoPath); return true; }},
    {"--test", nullptr, "extract: the items decoded and checked, nothing written",
     [](TSevenZip&, Options& o, const std::wstring&) { o.test = true; return true; }},
    {"--quiet", nullptr, "no line per file or item: the error lines and the result only",
     [](TSevenZip&, Options& o, const std::wstring&) { o.quiet = true; return true; }},
    {"--time", nullptr, "prints operation_ms: the milliseconds of the operation alone",
     [](TSevenZip&, Options& o, const std::wstring&) { o.time = true; return true; }},
    {"--memory", nullptr, "prints peak_working_set: the program's peak memory in bytes",
     [](TSevenZip&, Options& o, const std::wstring&) { o.memory = true; return true; }},
};
// clang-format on

// What the command line asked for, read before the library is loaded: --help and
// a usage error need none.
struct Request {
    Options options;
    std::vector<std::pair<const OptionRow*, std::wstring>> settings;
};

struct TextRow {
    const char* name;
    const char* meaning;
};
const TextRow kCommands[] = {
    {"add ARCHIVE [options] ENTRY...", "packs files, folders and wildcard entries into ARCHIVE, replacing it"},
    {"list ARCHIVE [options]",
     "a line per item: index, attributes, size, packed size, CRC, method, date and time, name"},
    {"extract ARCHIVE FOLDER [options] [ITEM...]",
     "restores every item, or those named by index or stored path, into FOLDER"},
    {"list-library ARCHIVE", "reads what list reads through the library alone, for the memory figures"},
};
const TextRow kExitCodes[] = {
    {"0", "done: every entry packed, the archive listed, every item restored"},
    {"1", "not done or not all of it: the error lines say why"},
    {"2", "the command line is not one of these (a module, a file of entries or a value not there)"},
    {"3", "the library 7za.dll could not be loaded"},
};

void PrintHelp() {
    std::string text = "archivecli: the archive component of doziruzidive from the command line\n\nCommands:\n";
    auto row = [&text](const std::string& name, const char* meaning) {
        text += "  " + name + std::string(name.size() < 44 ? 44 - name.size() : 2, ' ') + meaning + "\n";
    };
    for (const TextRow& command : kCommands) row(command.name, command.meaning);
    text += "\nOptions:\n";
    for (const OptionRow& option : kOptions)
        row(option.value != nullptr ? std::string(option.name) + " " + option.value : option.name, option.meaning);
    text += "\nExit codes:\n";
    for (const TextRow& code : kExitCodes) row(code.name, code.meaning);
    std::fputs(text.c_str(), stdout);
}

bool ParseRequest(int argc, wchar_t** argv, Request& request) {
    if (argc < 3) return false;
    Options& options = request.options;
    options.command = argv[1];
    options.archive = argv[2];
    bool known = false;
    for (const TextRow& command : kCommands)
        known = known || Widen(command.name).starts_with(options.command + L" ");
    if (!known) return false;
    int at = 3;
    if (options.command == L"extract") {
        if (argc < 4) return false;
        options.folder = argv[at++];
    }
    for (; at < argc; ++at) {
        const std::wstring arg = argv[at];
        if (arg.rfind(L"--", 0) != 0) {
            options.entries.push_back(arg);
            continue;
        }
        const OptionRow* found = nullptr;
        for (const OptionRow& option : kOptions)
            if (arg == Widen(option.name)) found = &option;
        if (found == nullptr || (found->value != nullptr && at + 1 >= argc)) return false;
        request.settings.emplace_back(found, found->value != nullptr ? argv[++at] : L"");
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
    if (argc < 2 || std::wstring(argv[1]) == L"--help") {
        PrintHelp();
        return argc < 2 ? 2 : 0;
    }
    const auto usage = [] {
        std::fputs("usage: archivecli add|list|extract|list-library ARCHIVE [FOLDER] [options] [entries]\n"
                   "(archivecli --help lists the commands, options and exit codes)\n",
                   stderr);
        return 2;
    };
    Request request;
    if (!ParseRequest(argc, argv, request)) return usage();
    Options& options = request.options;
    try {
        TSevenZip zip(nullptr);
        zip.AddOptions.Include(AddOptsEnum::AddRecurseDirs);
        for (const auto& [option, value] : request.settings)
            if (!option->apply(zip, options, value)) return usage();
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
        } else {
            result = ListWithLibraryOnly(zip, options.archive);
            ok = result >= 0;
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
