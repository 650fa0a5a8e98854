// windowbench: one timed run of the window, or of what the window is compared
// with, for bench/window.sh (bench/lib/pairs.sh pairs the runs). Each prints one
// line of measures, its time in milliseconds first.
//
//   windowbench load PROGRAM FOLDER ARCHIVE ROWS
//       "Wczytaj archiwum" of ARCHIVE in a window started in FOLDER, from the
//       closing of the open dialog until all ROWS rows can be read; then the
//       window's peak working set in bytes.
//   windowbench restore PROGRAM FOLDER ARCHIVE
//       "Odtwórz archiwum" of ARCHIVE (loaded first) in a window started in
//       FOLDER, whose settings restore into FOLDER\window-out, from the click
//       until the result shows.
//   windowbench extract-alone ARCHIVE OUT
//       The component's Extract of ARCHIVE into OUT plus the bar steps the
//       window's handlers would set for it, replayed on two progress bars of a
//       window; then the two parts and the number of steps.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/SevenZip.h"
#include "formremote/FormRemote.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/ProgressBar.h"

namespace {
constexpr DWORD kTimeoutMs = 600000;

double Now() {
    LARGE_INTEGER frequency{}, counter{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void RemoveTree(const std::wstring& path) {
    std::wstring from = path;
    from.append(2, L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationW(&operation);
}

int Fail(const char* what) {
    std::fprintf(stderr, "window benchmark failed: %s\n", what);
    return 1;
}

// Polls every two milliseconds at first and then at a two-hundredth of the time
// waited so far: close enough for a load of a tenth of a second, while a load of
// seconds is not slowed by a question to the Wine server every two milliseconds.
template <class Condition>
bool WaitClosely(Condition condition) {
    const double start = Now();
    while (!condition()) {
        const double waited = Now() - start;
        if (waited > kTimeoutMs) return false;
        ::Sleep(std::max<DWORD>(2, static_cast<DWORD>(waited / 200)));
    }
    return true;
}

// The program in its folder, with the controls the runs use; ended with
// "Koniec" when it goes.
class Window {
public:
    bool Start(const std::wstring& program, const std::wstring& folder) {
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &startup, &m_process))
            return false;
        form = FormRemote::WaitForTopWindow(m_process.dwProcessId, L"TForm1", 30000);
        if (form == nullptr) return false;
        status = FormRemote::FindControl(form, L"Static", 166, 12);
        list = FormRemote::FindControl(form, L"SysListView32", 8, 112);
        load = FormRemote::FindControlByText(form, L"Button", L"Wczytaj archiwum");
        restore = FormRemote::FindControlByText(form, L"Button", L"Odtwórz archiwum");
        end = FormRemote::FindControlByText(form, L"Button", L"Koniec");
        return status && list && load && restore && end;
    }
    ~Window() {
        if (m_process.hProcess == nullptr) return;
        if (end != nullptr) FormRemote::Click(end);
        if (::WaitForSingleObject(m_process.hProcess, 30000) != WAIT_OBJECT_0) ::TerminateProcess(m_process.hProcess, 1);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    DWORD Id() const { return m_process.dwProcessId; }
    // Read while the program runs: Wine keeps no counters of an ended process.
    SIZE_T PeakWorkingSet() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        return ::GetProcessMemoryInfo(m_process.hProcess, &counters, sizeof counters) ? counters.PeakWorkingSetSize
                                                                                       : 0;
    }

    HWND form = nullptr, status = nullptr, list = nullptr, load = nullptr, restore = nullptr, end = nullptr;

private:
    PROCESS_INFORMATION m_process{};
};

// "Wczytaj archiwum": the button is disabled from the click until the action is
// over, and a check of it needs nothing of the window's thread.
int Load(const std::wstring& program, const std::wstring& folder, const std::wstring& archive, int rows) {
    Window window;
    if (!window.Start(program, folder)) return Fail("the window did not come");
    if (!FormRemote::Click(window.load)) return Fail("no click");
    HWND dialog = FormRemote::WaitForDialog(window.Id(), 30000);
    HWND box = dialog != nullptr ? ::GetDlgItem(dialog, 0x47C) : nullptr;
    if (box == nullptr) return Fail("no open dialog");
    ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(archive.c_str()));
    FormRemote::PressButton(dialog, IDOK);
    if (!WaitClosely([&] { return !::IsWindow(dialog); })) return Fail("the open dialog stayed");
    const double start = Now();
    if (!WaitClosely([&] { return ::IsWindowEnabled(window.load) != FALSE; })) return Fail("the load did not end");
    const double time = Now() - start;
    FormRemote::ListView list(window.list);
    if (list.ItemCount() != rows || list.CellText(rows - 1, 7).empty()) return Fail("the window did not list");
    std::printf("%.1f %zu\n", time, window.PeakWorkingSet());
    return 0;
}

int Restore(const std::wstring& program, const std::wstring& folder, const std::wstring& archive) {
    RemoveTree(folder + L"\\window-out");
    Window window;
    if (!window.Start(program, folder)) return Fail("the window did not come");
    if (!FormRemote::ClickAndAnswerFileDialog(window.Id(), window.load, archive, kTimeoutMs))
        return Fail("the window did not load the archive to restore");
    const double start = Now();
    if (!FormRemote::ClickAndWait(window.restore, window.status, kTimeoutMs) || FormRemote::TextOf(window.status) != L"0")
        return Fail("the window did not restore the archive");
    std::printf("%.1f\n", Now() - start);
    return 0;
}

// A bar step as the window's handlers set it: which bar, maximum or position.
struct BarStep {
    int bar;  // 0: ProgressBar1 (the whole operation), 1: ProgressBar2 (the file)
    bool max;
    uint64_t value;
};

// Two bars in a window of this process, as the program's bars are.
class ReplayForm : public TForm {
public:
    ReplayForm()
        : TForm(nullptr, L"TReplayForm", 756, 466, TBorderIcons{TBorderIcon::biMinimize}, RGB(243, 243, 243),
                TFont{L"MS Sans Serif", 11, RGB(0, 0, 0), DEFAULT_CHARSET}) {
        for (TProgressBar*& bar : m_bars) bar = new TProgressBar(this, this);
        m_bars[0]->SetBounds(160, 80, 401, 21);
        m_bars[1]->SetBounds(160, 52, 401, 21);
    }
    double Replay(const std::vector<BarStep>& steps) {
        Show();
        Application().ProcessMessages();
        const double start = Now();
        for (const BarStep& step : steps) {
            if (step.max)
                m_bars[step.bar]->SetMax(step.value);
            else
                m_bars[step.bar]->SetPosition(step.value);
        }
        return Now() - start;
    }

private:
    TProgressBar* m_bars[2] = {};
};

int ExtractAlone(const std::wstring& archive, const std::wstring& out) {
    TSevenZip zip(nullptr);
    std::vector<BarStep> steps;
    zip.OnExtractfile = [&](TObject*, const std::wstring&, uint64_t size) {
        steps.push_back({1, false, 0});
        steps.push_back({1, true, size});
    };
    zip.OnPreProgress = [&](TObject*, uint64_t total) {
        if (total > 0) steps.push_back({0, true, total});
    };
    zip.OnProgress = [&](TObject*, const std::wstring&, uint64_t whole, uint64_t file) {
        steps.push_back({0, false, whole});
        steps.push_back({1, false, file});
    };
    zip.SZFileName = archive;
    zip.ExtrBaseDir = out;
    zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    RemoveTree(out);
    const double start = Now();
    if (zip.Extract() != 0) return Fail("Extract failed");
    const double extract = Now() - start;
    ReplayForm replay;
    const double bars = replay.Replay(steps);
    std::printf("%.1f %.1f %.1f %zu\n", extract + bars, extract, bars, steps.size());
    return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::InitCommonControls();
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    try {
        if (mode == L"load" && argc == 6) return Load(argv[2], argv[3], argv[4], _wtoi(argv[5]));
        if (mode == L"restore" && argc == 5) return Restore(argv[2], argv[3], argv[4]);
        if (mode == L"extract-alone" && argc == 4) return ExtractAlone(argv[2], argv[3]);
    } catch (const Exception& error) {
        return Fail(error.Message().c_str());
    }
    std::fputs("usage: windowbench load PROGRAM FOLDER ARCHIVE ROWS | restore PROGRAM FOLDER ARCHIVE |"
               " extract-alone ARCHIVE OUT\n",
               stderr);
    return 2;
}
