// Removal benchmark: norvexec /S removes 100,000 files named by an uninstall log,
// timed against a plain loop making the same two calls per file (read the
// attributes, delete) over as many files, in the same Wine run; and norvexec
// /S /LOG, which also writes a line for each file to its removal log.
// With --page THEME: norvexec /I removes as many files with the theme's progress
// page, timed against the sum of /S without a theme and the platform's own cost
// of the page's bar steps (a worker sending one synchronous PBM_SETPOS per file
// to a bar of a window that pumps as the run does).
// Usage: uninstallbench NORVEXEC_PATH [FILES [--page THEME_FILE]]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {
const char kCode[] = "{BENCH-0000-UNINSTALL}";

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Wine looks a new name up by scanning its whole folder, so files are spread over
// folders of 500 to keep the set-up from growing with the square of the count.
constexpr int kFilesPerFolder = 500;

std::string FileName(const std::string& folder, int i) {
    char name[48];
    std::snprintf(name, sizeof name, "\\d%04d\\f%06d.dat", i / kFilesPerFolder, i);
    return folder + name;
}

std::string SubFolder(const std::string& folder, int i) {
    std::string file = FileName(folder, i);
    return file.substr(0, file.rfind('\\'));
}

bool MakeFiles(const std::string& folder, int count) {
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        if (i % kFilesPerFolder == 0) ::CreateDirectoryA(SubFolder(folder, i).c_str(), nullptr);
        HANDLE file = ::CreateFileA(FileName(folder, i).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        ::WriteFile(file, "data", 4, &written, nullptr);
        ::CloseHandle(file);
    }
    return true;
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

struct EngineRun {
    double seconds = 0;
    SIZE_T peakWorkingSet = 0;
    SIZE_T peakPrivate = 0;
};

// whileRunning is called with the process id every 20 ms until the program ends;
// further arguments follow the product code.
bool RunEngine(const std::string& norvexec, EngineRun& run, const char* mode = "/S",
               const std::function<void(DWORD)>& whileRunning = {}, const std::string& further = {}) {
    std::string commandLine = "\"" + norvexec + "\" " + mode + " " + kCode + further;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    auto start = std::chrono::steady_clock::now();
    if (!::CreateProcessA(norvexec.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    // Sampled while it runs: Wine does not keep the counters of an ended process.
    while (::WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        if (::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
            run.peakWorkingSet = std::max(run.peakWorkingSet, memory.PeakWorkingSetSize);
            run.peakPrivate = std::max(run.peakPrivate, memory.PeakPagefileUsage);
        }
        if (whileRunning) whileRunning(process.dwProcessId);
    }
    run.seconds = Seconds(start);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

double RunLoop(const std::string& folder, int count) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        std::string path = FileName(folder, i);
        ::GetFileAttributesA(path.c_str());
        ::DeleteFileA(path.c_str());
    }
    return Seconds(start);
}

int FilesLeft(const std::string& folder, int count) {
    int left = 0;
    for (int i = 0; i < count; ++i) left += ::GetFileAttributesA(FileName(folder, i).c_str()) != INVALID_FILE_ATTRIBUTES;
    return left;
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

void RemoveFolders(const std::string& folder, int count) {
    for (int i = 0; i < count; i += kFilesPerFolder) ::RemoveDirectoryA(SubFolder(folder, i).c_str());
    ::RemoveDirectoryA(folder.c_str());
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

// The platform's cost of the run's bar steps: the bar of a shown window whose
// thread waits for the worker while dispatching messages.
double RunBarSteps(int count) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    HWND window = ::CreateWindowExA(0, "#32770", "bar steps", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 500, 374,
                                    nullptr, nullptr, nullptr, nullptr);
    HWND bar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 30, 130, 434, 20, window, nullptr,
                                 nullptr, nullptr);
    BarSteps steps{bar, count};
    auto start = std::chrono::steady_clock::now();
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
    double seconds = Seconds(start);
    ::CloseHandle(worker);
    ::DestroyWindow(window);
    return seconds;
}

bool CopyTheme(const std::string& theme, const std::string& productFolder) {
    ::CreateDirectoryA((productFolder + "\\theme").c_str(), nullptr);
    if (FILE* language = std::fopen((productFolder + "\\language.lan").c_str(), "w")) {
        std::fprintf(language, "[SetupCompleteSuccess]\n1=Close\n5=Done.\n");
        std::fclose(language);
    }
    return ::CopyFileA(theme.c_str(), (productFolder + "\\theme\\uninstall.lcd").c_str(), FALSE) != FALSE;
}

void RemoveTheme(const std::string& productFolder) {
    ::DeleteFileA((productFolder + "\\theme\\uninstall.lcd").c_str());
    ::RemoveDirectoryA((productFolder + "\\theme").c_str());
    ::DeleteFileA((productFolder + "\\language.lan").c_str());
}

bool WriteLog(const std::string& productFolder, const std::string& files, int count) {
    FILE* log = std::fopen((productFolder + "\\uninstall.log").c_str(), "w");
    if (log == nullptr) return false;
    std::fprintf(log, "TOTALFILE=%d\n", count);
    for (int i = 0; i < count; ++i) std::fprintf(log, "FILE=%s\n", FileName(files, i).c_str());
    std::fclose(log);
    return true;
}

int RunPageBenchmark(const std::string& norvexec, int count, const std::string& theme, const std::string& root,
                     const std::string& productFolder) {
    const std::string files = root + "\\page";
    EngineRun silent, page;
    int left = 0;
    // Two rounds with the order swapped, the better time of each side kept; each
    // run removes a set of files made just before it.
    for (int round = 0; round < 2; ++round) {
        for (bool withPage : {round == 1, round == 0}) {
            if (!MakeFiles(files, count) || !WriteLog(productFolder, files, count)) {
                std::fprintf(stderr, "uninstallbench: could not create the files\n");
                return 1;
            }
            Register(files);
            if (withPage && !CopyTheme(theme, productFolder)) {
                std::fprintf(stderr, "uninstallbench: could not copy the theme %s\n", theme.c_str());
                return 1;
            }
            EngineRun run;
            bool ran = withPage ? RunEngine(norvexec, run, "/I", CloseCompletedPage) : RunEngine(norvexec, run);
            if (!ran) {
                std::fprintf(stderr, "uninstallbench: could not start %s\n", norvexec.c_str());
                return 1;
            }
            EngineRun& best = withPage ? page : silent;
            if (round == 0 || run.seconds < best.seconds) best = run;
            left += FilesLeft(files, count);
            RemoveTheme(productFolder);
        }
    }
    const double bars = RunBarSteps(count);
    RemoveFolders(files, count);
    ::DeleteFileA((productFolder + "\\uninstall.log").c_str());
    ::RemoveDirectoryA(productFolder.c_str());
    std::printf("uninstall_page_100k_seconds: %.2f\n", page.seconds);
    std::printf("uninstall_page_100k_silent_seconds: %.2f\n", silent.seconds);
    std::printf("uninstall_page_100k_bar_steps_seconds: %.2f\n", bars);
    std::printf("uninstall_page_100k_ratio: %.3f\n", page.seconds / (silent.seconds + bars));
    std::printf("uninstall_page_100k_files_left: %d\n", left);
    return left == 0 ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: uninstallbench NORVEXEC_PATH [FILES]\n");
        return 2;
    }
    const std::string norvexec = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "norvane-bench";
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string productFolder = std::string(windows) + "\\Installer\\" + kCode;
    ::CreateDirectoryA(root.c_str(), nullptr);
    ::CreateDirectoryA((std::string(windows) + "\\Installer").c_str(), nullptr);
    ::CreateDirectoryA(productFolder.c_str(), nullptr);
    if (argc > 4 && std::strcmp(argv[3], "--page") == 0)
        return RunPageBenchmark(norvexec, count, argv[4], root, productFolder);

    // Two rounds with the order reversed, the best time of each kept, so that none
    // profits from its place: the plain loop, /S, and /S with its removal log.
    enum Contender { kLoop, kSilent, kLogged, kContenders };
    const std::string files[kContenders] = {root + "\\loop", root + "\\engine", root + "\\logged"};
    const std::string removalLog = root + "\\removal.log";
    EngineRun best[kContenders];
    int left = 0;
    bool logEnds = true;
    for (int round = 0; round < 2; ++round) {
        for (const std::string& folder : files) {
            if (!MakeFiles(folder, count)) {
                std::fprintf(stderr, "uninstallbench: could not create the files\n");
                return 1;
            }
        }
        for (int turn = 0; turn < kContenders; ++turn) {
            const int contender = round == 0 ? turn : kContenders - 1 - turn;
            EngineRun run;
            if (contender == kLoop) {
                run.seconds = RunLoop(files[kLoop], count);
            } else {
                WriteLog(productFolder, files[contender], count);
                Register(files[contender]);
                const std::string further = contender == kLogged ? " /LOG=\"" + removalLog + "\"" : std::string();
                if (!RunEngine(norvexec, run, "/S", {}, further)) {
                    std::fprintf(stderr, "uninstallbench: could not start %s\n", norvexec.c_str());
                    return 1;
                }
                left += FilesLeft(files[contender], count);
            }
            if (round == 0 || run.seconds < best[contender].seconds) best[contender] = run;
        }
        logEnds = logEnds && LogEndsWith(removalLog, "exit code 0");
    }
    for (const std::string& folder : files) RemoveFolders(folder, count);
    ::DeleteFileA(removalLog.c_str());
    ::DeleteFileA((productFolder + "\\uninstall.log").c_str());
    ::RemoveDirectoryA(productFolder.c_str());

    const double loop = best[kLoop].seconds;
    std::printf("uninstall_100k_norvexec_seconds: %.2f\n", best[kSilent].seconds);
    std::printf("uninstall_100k_loop_seconds: %.2f\n", loop);
    std::printf("uninstall_100k_ratio: %.3f\n", best[kSilent].seconds / loop);
    std::printf("uninstall_100k_peak_working_set_mb: %.1f\n", best[kSilent].peakWorkingSet / 1048576.0);
    std::printf("uninstall_100k_peak_private_mb: %.1f\n", best[kSilent].peakPrivate / 1048576.0);
    std::printf("uninstall_100k_files_left: %d\n", left);
    std::printf("uninstall_100k_log_seconds: %.2f\n", best[kLogged].seconds);
    std::printf("uninstall_100k_log_ratio: %.3f\n", best[kLogged].seconds / loop);
    if (!logEnds) std::fprintf(stderr, "uninstallbench: the removal log does not end with the exit code\n");
    return left == 0 && logEnds ? 0 : 1;
}
