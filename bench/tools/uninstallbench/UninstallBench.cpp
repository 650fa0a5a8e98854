// Removal benchmark driver: one timed run for bench/uninstall.sh and bench/page.sh
// (bench/lib/pairs.sh pairs the runs). Each prints one line of measures, its time
// in seconds first.
//
//   uninstallbench engine NORVEXEC FOLDER COUNT [THEME]
//       norvexec /S removes the COUNT files in FOLDER through an uninstall log
//       (with THEME: norvexec /I with that progress page, closed when complete);
//       then its peak working set and peak private bytes in MB.
//   uninstallbench logged NORVEXEC FOLDER COUNT LOGFILE
//       the same with /S /LOG=LOGFILE, a line in the removal log for each file;
//       fails unless the log ends with the exit code.
//   uninstallbench loop FOLDER COUNT
//       a plain loop making the same two calls per file (read the attributes,
//       delete) over the COUNT files in FOLDER.
//   uninstallbench held FOLDER COUNT
//       the floor of a guarded removal: the calls the engine makes for each file
//       without the engine (each folder opened and asked where it is once; each
//       file's attributes read, the file opened through its folder without
//       following a link, asked its name, marked for deletion and closed).
//   uninstallbench bars COUNT
//       the platform's own cost of a page's COUNT bar steps: a worker sending one
//       synchronous PBM_SETPOS per file to a bar of a window that pumps as the run
//       does.
//
// FOLDER holds files made beforehand (not timed) as d0000\f000000.dat,
// d0000\f000001.dat... 500 a folder, since Wine looks a new name up by scanning
// its whole folder; every run checks that none is left.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "framework/RelativeOpen.h"

namespace {
const char kCode[] = "{BENCH-0000-UNINSTALL}";
constexpr int kFilesPerFolder = 500;

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string FileName(const std::string& folder, int i) {
    char name[48];
    std::snprintf(name, sizeof name, "\\d%04d\\f%06d.dat", i / kFilesPerFolder, i);
    return folder + name;
}

int FilesLeft(const std::string& folder, int count) {
    int left = 0;
    for (int i = 0; i < count; ++i) left += ::GetFileAttributesA(FileName(folder, i).c_str()) != INVALID_FILE_ATTRIBUTES;
    return left;
}

std::string ProductFolder() {
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    ::CreateDirectoryA((std::string(windows) + "\\Installer").c_str(), nullptr);
    return std::string(windows) + "\\Installer\\" + kCode;
}

void Register(const std::string& install) {
    HKEY key = nullptr;
    std::string path = std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kCode;
    ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ::RegSetValueExA(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>("Bench"), 6);
    ::RegSetValueExA(key, "LastInstallationPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(install.c_str()),
                     static_cast<DWORD>(install.size() + 1));
    ::RegCloseKey(key);
}

bool WriteLog(const std::string& productFolder, const std::string& files, int count) {
    FILE* log = std::fopen((productFolder + "\\uninstall.log").c_str(), "w");
    if (log == nullptr) return false;
    std::fprintf(log, "TOTALFILE=%d\n", count);
    for (int i = 0; i < count; ++i) std::fprintf(log, "FILE=%s\n", FileName(files, i).c_str());
    std::fclose(log);
    return true;
}

bool CopyTheme(const std::string& theme, const std::string& productFolder) {
    ::CreateDirectoryA((productFolder + "\\theme").c_str(), nullptr);
    if (FILE* language = std::fopen((productFolder + "\\language.lan").c_str(), "w")) {
        std::fprintf(language, "[SetupCompleteSuccess]\n1=Close\n5=Done.\n");
        std::fclose(language);
    }
    return ::CopyFileA(theme.c_str(), (productFolder + "\\theme\\uninstall.lcd").c_str(), FALSE) != FALSE;
}

void RemoveProductFolder(const std::string& productFolder) {
    ::DeleteFileA((productFolder + "\\theme\\uninstall.lcd").c_str());
    ::RemoveDirectoryA((productFolder + "\\theme").c_str());
    ::DeleteFileA((productFolder + "\\language.lan").c_str());
    ::DeleteFileA((productFolder + "\\uninstall.log").c_str());
    ::RemoveDirectoryA(productFolder.c_str());
}

bool LogEndsWith(const std::string& path, const std::string& line) {
    const std::string ending = line + "\r\n";
    std::string tail(ending.size(), '\0');
    FILE* log = std::fopen(path.c_str(), "rb");
    if (log == nullptr) return false;
    const bool read = std::fseek(log, -static_cast<long>(tail.size()), SEEK_END) == 0 &&
                      std::fread(tail.data(), 1, tail.size(), log) == tail.size();
    std::fclose(log);
    return read && tail == ending;
}

// The completed page: a visible dialog of the process whose button reads "Close".
struct CloseSearch {
    DWORD processId;
    HWND button;
};

BOOL CALLBACK FindCloseButton(HWND child, LPARAM lParam) {
    char text[32] = {};
    ::GetWindowTextA(child, text, sizeof text);
    if (std::strcmp(text, "Close") == 0 && ::IsWindowEnabled(child)) {
        reinterpret_cast<CloseSearch*>(lParam)->button = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindCompletedPage(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<CloseSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && ::IsWindowVisible(hwnd)) ::EnumChildWindows(hwnd, FindCloseButton, lParam);
    return search->button == nullptr;
}

// Presses the completed page's closing button, as the user ends a run with a page.
void CloseCompletedPage(DWORD processId) {
    CloseSearch search{processId, nullptr};
    ::EnumWindows(FindCompletedPage, reinterpret_cast<LPARAM>(&search));
    if (search.button != nullptr) ::PostMessageA(search.button, BM_CLICK, 0, 0);
}

int Engine(const std::string& norvexec, const std::string& files, int count, const char* theme,
           const char* removalLog = nullptr) {
    const std::string productFolder = ProductFolder();
    ::CreateDirectoryA(productFolder.c_str(), nullptr);
    if (!WriteLog(productFolder, files, count) || (theme != nullptr && !CopyTheme(theme, productFolder))) {
        std::fprintf(stderr, "uninstallbench: could not prepare the product folder\n");
        return 1;
    }
    Register(files);
    std::string commandLine = "\"" + norvexec + "\" " + (theme != nullptr ? "/I " : "/S ") + kCode;
    if (removalLog != nullptr) {
        ::DeleteFileA(removalLog);
        commandLine += std::string(" /LOG=\"") + removalLog + "\"";
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto start = std::chrono::steady_clock::now();
    if (!::CreateProcessA(norvexec.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        std::fprintf(stderr, "uninstallbench: could not start %s\n", norvexec.c_str());
        return 1;
    }
    SIZE_T peakWorkingSet = 0, peakPrivate = 0;
    // Sampled while it runs: Wine does not keep the counters of an ended process.
    while (::WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        if (::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
            peakWorkingSet = std::max(peakWorkingSet, memory.PeakWorkingSetSize);
            peakPrivate = std::max(peakPrivate, memory.PeakPagefileUsage);
        }
        if (theme != nullptr) CloseCompletedPage(process.dwProcessId);
    }
    const double seconds = Seconds(start);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    RemoveProductFolder(productFolder);
    if (int left = FilesLeft(files, count)) {
        std::fprintf(stderr, "uninstallbench: norvexec left %d files\n", left);
        return 1;
    }
    if (removalLog != nullptr && !LogEndsWith(removalLog, "exit code 0")) {
        std::fprintf(stderr, "uninstallbench: the removal log does not end with the exit code\n");
        return 1;
    }
    std::printf("%.3f %.1f %.1f\n", seconds, peakWorkingSet / 1048576.0, peakPrivate / 1048576.0);
    return 0;
}

int Loop(const std::string& files, int count) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        std::string path = FileName(files, i);
        ::GetFileAttributesA(path.c_str());
        ::DeleteFileA(path.c_str());
    }
    const double seconds = Seconds(start);
    if (int left = FilesLeft(files, count)) {
        std::fprintf(stderr, "uninstallbench: the loop left %d files\n", left);
        return 1;
    }
    std::printf("%.3f\n", seconds);
    return 0;
}

int Held(const std::string& files, int count) {
    const auto start = std::chrono::steady_clock::now();
    HANDLE folder = INVALID_HANDLE_VALUE;
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        const std::string path = FileName(files, i);
        const size_t cut = path.rfind('\\');
        if (i % kFilesPerFolder == 0) {
            if (folder != INVALID_HANDLE_VALUE) ::CloseHandle(folder);
            folder = ::CreateFileA(path.substr(0, cut).c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                   nullptr);
            wchar_t final[MAX_PATH + 8];
            ::GetFinalPathNameByHandleW(folder, final, MAX_PATH + 8, FILE_NAME_NORMALIZED);
        }
        ::GetFileAttributesA(path.c_str());
        const std::wstring name(path.begin() + static_cast<std::ptrdiff_t>(cut) + 1, path.end());
        HANDLE file = nullptr;
        if (!NT_SUCCESS(OpenRelative(folder, name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE, file))) {
            ++failed;
            continue;
        }
        alignas(8) BYTE buffer[sizeof(OBJECT_NAME_INFORMATION) + (MAX_PATH + 64) * sizeof(wchar_t)];
        ULONG size = 0;
        ::NtQueryObject(file, ObjectNameInformation, buffer, sizeof buffer, &size);
        FILE_DISPOSITION_INFO disposition{TRUE};
        failed += !::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
        ::CloseHandle(file);
    }
    if (folder != INVALID_HANDLE_VALUE) ::CloseHandle(folder);
    const double seconds = Seconds(start);
    if (int left = FilesLeft(files, count); left != 0 || failed != 0) {
        std::fprintf(stderr, "uninstallbench: the held loop left %d files\n", left);
        return 1;
    }
    std::printf("%.3f\n", seconds);
    return 0;
}

struct BarSteps {
    HWND bar;
    int count;
};

DWORD WINAPI SendBarSteps(void* raw) {
    auto* steps = static_cast<BarSteps*>(raw);
    ::SendMessageA(steps->bar, PBM_SETRANGE, 0, MAKELPARAM(0, static_cast<WORD>(steps->count)));
    for (int i = 0; i < steps->count; ++i) ::SendMessageA(steps->bar, PBM_SETPOS, static_cast<WPARAM>(i), 0);
    return 0;
}

int Bars(int count) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    HWND window = ::CreateWindowExA(0, "#32770", "bar steps", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 500, 374,
                                    nullptr, nullptr, nullptr, nullptr);
    HWND bar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 30, 130, 434, 20, window, nullptr,
                                 nullptr, nullptr);
    BarSteps steps{bar, count};
    const auto start = std::chrono::steady_clock::now();
    HANDLE worker = ::CreateThread(nullptr, 0, SendBarSteps, &steps, 0, nullptr);
    for (;;) {
        DWORD result = ::MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT);
        if (result != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    const double seconds = Seconds(start);
    ::CloseHandle(worker);
    ::DestroyWindow(window);
    std::printf("%.3f\n", seconds);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "engine" && (argc == 5 || argc == 6))
        return Engine(argv[2], argv[3], std::atoi(argv[4]), argc == 6 ? argv[5] : nullptr);
    if (mode == "logged" && argc == 6) return Engine(argv[2], argv[3], std::atoi(argv[4]), nullptr, argv[5]);
    if (mode == "loop" && argc == 4) return Loop(argv[2], std::atoi(argv[3]));
    if (mode == "held" && argc == 4) return Held(argv[2], std::atoi(argv[3]));
    if (mode == "bars" && argc == 3) return Bars(std::atoi(argv[2]));
    std::fprintf(stderr,
                 "usage: uninstallbench engine NORVEXEC FOLDER COUNT [THEME] | logged NORVEXEC FOLDER COUNT LOGFILE"
                 " | loop FOLDER COUNT | held FOLDER COUNT | bars COUNT\n");
    return 2;
}
