// dozsettings: writes doziruzidive's settings file from its arguments.
//
//   dozsettings [--output FILE] [--root FOLDER] [--restore FOLDER] [ENTRY...]
//
// FOLDER and ENTRY as doziruzidive takes them: the root folder cut from the stored
// paths, up to 50 files, folders or wildcard entries (FOLDER\*.ext) to archive, and
// the folder to restore into. Without --output the file is
// doziruzidive_config.dat in the current folder. Texts are written in the
// system's code page, as the program reads them; one that is longer than 200
// bytes there, or holds a character the code page lacks, is refused and nothing
// is written.
#include <windows.h>

#include <cstdio>
#include <string>

#include "window/SettingsRecord.h"

namespace {
int Refuse(const std::wstring& reason) {
    std::fwprintf(stderr, L"dozsettings: %ls\n", reason.c_str());
    return 2;
}

// The text in the system's code page; false when a character has no place there.
bool ToCodePage(const std::wstring& text, std::string& bytes) {
    bytes.clear();
    if (text.empty()) return true;
    BOOL lossy = FALSE;
    const int size = static_cast<int>(text.size());
    int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return false;
    bytes.resize(static_cast<size_t>(length));
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, bytes.data(), length, nullptr, &lossy);
    return !lossy;
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return ::CloseHandle(file) && ok;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring output = L"doziruzidive_config.dat";
    TSettingsRecord record;
    size_t next = kFirstItemEntry;
    for (int at = 1; at < argc; ++at) {
        const std::wstring argument = argv[at];
        size_t entry = next;
        if (argument == L"--output" || argument == L"--root" || argument == L"--restore") {
            if (at + 1 >= argc) return Refuse(argument + L" needs a value");
            if (argument == L"--output") {
                output = argv[++at];
                continue;
            }
            entry = argument == L"--root" ? kRootEntry : kRestoreEntry;
            ++at;
        } else if (argument.rfind(L"--", 0) == 0) {
            return Refuse(L"unknown option " + argument +
                          L"\nusage: dozsettings [--output FILE] [--root FOLDER] [--restore FOLDER] [ENTRY...]");
        } else if (next > kLastItemEntry) {
            return Refuse(L"more than 50 entries to archive");
        } else {
            ++next;
        }
        std::string& text = record.Entries[entry];
        if (!ToCodePage(argv[at], text)) return Refuse(std::wstring(L"not in the system's code page: ") + argv[at]);
        if (text.size() > kSettingsTextSize)
            return Refuse(L"longer than 200 bytes (" + std::to_wstring(text.size()) + L"): " + argv[at]);
    }
    std::string bytes;
    if (!FormatSettingsRecord(record, bytes)) return Refuse(L"an entry is longer than 200 bytes");
    if (!WriteWhole(output, bytes)) return Refuse(L"could not write " + output);
    std::wprintf(L"wrote %ls: %zu entries to archive\n", output.c_str(), next - kFirstItemEntry);
    return 0;
}
