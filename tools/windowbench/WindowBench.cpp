// windowbench: the window's own cost on top of the archive component, measured in
// one run. Prints "name: value" lines.
//
//   windowbench PROGRAM FOLDER LIST_ARCHIVE EXTRACT_ARCHIVE
//
// FOLDER holds a settings file whose restore folder is FOLDER\window-out.
// - List: "Wczytaj archiwum" of LIST_ARCHIVE in the window, from the closing of the
//   open dialog until every row can be read from the list view, over the
//   component's List of the same archive alone.
// - Extract: "Odtwórz archiwum" of EXTRACT_ARCHIVE in the window, from the click
//   until the result shows, over the component's Extract alone plus the bar steps
//   the window's handlers set for it, replayed on two progress bars of a window.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

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
constexpr int kListRuns = 7;     // a fifth of a second each
constexpr int kExtractRuns = 3;  // several seconds each

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

// A bar step as the window's handlers set it: which bar, maximum or position.
struct BarStep {
    int bar;  // 1: ProgressBar1 (the whole operation), 2: ProgressBar2 (the file)
    bool max;
    uint64_t value;
};

// The component's events record into `steps`, which outlives the operation.
void RecordBarSteps(TSevenZip& zip, std::vector<BarStep>& steps) {
    auto showFile = [&](TObject*, const std::wstring&, uint64_t size) {
        steps.push_back({2, false, 0});
        steps.push_back({2, true, size});
    };
    zip.OnExtractfile = showFile;
    zip.OnPreProgress = [&](TObject*, uint64_t total) {
        if (total > 0) steps.push_back({1, true, total});
    };
    zip.OnProgress = [&](TObject*, const std::wstring&, uint64_t whole, uint64_t file) {
        steps.push_back({1, false, whole});
        steps.push_back({2, false, file});
    };
}

// Two bars in a window of this process, as the program's bars are.
class ReplayForm : public TForm {
public:
    ReplayForm()
        : TForm(nullptr, L"TReplayForm", 756, 466, TBorderIcons{TBorderIcon::biMinimize}, RGB(243, 243, 243),
                TFont{L"MS Sans Serif", 11, RGB(0, 0, 0), DEFAULT_CHARSET}) {
        for (TProgressBar*& bar : bars) bar = new TProgressBar(this, this);
        bars[0]->SetBounds(160, 80, 401, 21);
        bars[1]->SetBounds(160, 52, 401, 21);
    }
    double Replay(const std::vector<BarStep>& steps) {
        const double start = Now();
        for (const BarStep& step : steps) {
            TProgressBar* bar = bars[step.bar - 1];
            if (step.max)
                bar->SetMax(step.value);
            else
                bar->SetPosition(step.value);
        }
        return Now() - start;
    }
    TProgressBar* bars[2] = {};
};

struct Window {
    PROCESS_INFORMATION process{};
    HWND form = nullptr, status = nullptr, list = nullptr, load = nullptr, restore = nullptr, end = nullptr;
};

bool Start(Window& window, const std::wstring& program, const std::wstring& folder) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &window.process))
        return false;
    window.form = FormRemote::WaitForTopWindow(window.process.dwProcessId, L"TForm1", 30000);
    if (window.form == nullptr) return false;
    window.status = FormRemote::FindControl(window.form, L"Static", 166, 12);
    window.list = FormRemote::FindControl(window.form, L"SysListView32", 8, 112);
    window.load = FormRemote::FindControlByText(window.form, L"Button", L"Wczytaj archiwum");
    window.restore = FormRemote::FindControlByText(window.form, L"Button", L"Odtwórz archiwum");
    window.end = FormRemote::FindControlByText(window.form, L"Button", L"Koniec");
    return window.status && window.list && window.load && window.restore && window.end;
}

// Polls every two milliseconds: the times measured are short, and asking much
// more often would keep the Wine server busy while the window works.
template <class Condition>
bool WaitClosely(Condition condition) {
    const double start = Now();
    while (!condition()) {
        if (Now() - start > kTimeoutMs) return false;
        ::Sleep(2);
    }
    return true;
}

// "Wczytaj archiwum": milliseconds from the moment the open dialog is gone (the
// user has chosen) until every row can be read. The button is disabled from the
// click until the action is over, and a check of it needs nothing of the window's
// thread.
double TimedLoad(const Window& window, const std::wstring& archive, int rows) {
    if (!FormRemote::Click(window.load)) return -1;
    HWND dialog = FormRemote::WaitForDialog(window.process.dwProcessId, 30000);
    HWND box = dialog != nullptr ? ::GetDlgItem(dialog, 0x47C) : nullptr;
    if (box == nullptr) return -1;
    ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(archive.c_str()));
    FormRemote::PressButton(dialog, IDOK);
    if (!WaitClosely([&] { return !::IsWindow(dialog); })) return -1;
    const double start = Now();
    if (!WaitClosely([&] { return ::IsWindowEnabled(window.load) != FALSE; })) return -1;
    const double time = Now() - start;
    FormRemote::ListView list(window.list);
    return list.ItemCount() == rows && !list.CellText(rows - 1, 7).empty() ? time : -1;
}

// "Odtwórz archiwum": milliseconds from the click until the result shows.
double TimedRestore(const Window& window) {
    const double start = Now();
    if (!FormRemote::ClickAndWait(window.restore, window.status, kTimeoutMs)) return -1;
    return Now() - start;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fputs("usage: windowbench PROGRAM FOLDER LIST_ARCHIVE EXTRACT_ARCHIVE\n", stderr);
        return 2;
    }
    ::InitCommonControls();
    const std::wstring program = argv[1], folder = argv[2], listArchive = argv[3], extractArchive = argv[4];
    const std::wstring aloneOut = folder + L"\\alone-out", windowOut = folder + L"\\window-out";
    try {
        TSevenZip zip(nullptr);
        int rows = 0;
        zip.SZFileName = listArchive;
        zip.OnListfile = [&](TObject*, const std::wstring&, uint64_t, uint64_t, uint64_t, uint64_t attributes, uint64_t,
                             const std::wstring&, double) { rows += attributes != FILE_ATTRIBUTE_DIRECTORY ? 1 : 0; };
        if (zip.List() < 0) return Fail("the component could not list the archive");
        zip.OnListfile = nullptr;

        std::vector<BarStep> steps;
        RecordBarSteps(zip, steps);
        zip.SZFileName = extractArchive;
        zip.Files.Clear();  // List left the stored paths there: the whole archive
        zip.ExtrBaseDir = aloneOut;
        zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
        RemoveTree(aloneOut);
        if (zip.Extract(false) != 0) return Fail("the component could not extract the archive");
        zip.OnExtractfile = nullptr;
        zip.OnPreProgress = nullptr;
        zip.OnProgress = nullptr;
        ReplayForm replay;

        Window window;
        if (!Start(window, program, folder)) return Fail("the window did not come");
        // Each side in turn, so that the machine's other work weighs on both alike;
        // the best time of each counts.
        double listAlone = -1, listWindow = -1, extractAlone = -1, bars = -1, extractWindow = -1;
        auto best = [](double& best, double time) {
            if (time >= 0 && (best < 0 || time < best)) best = time;
            return time >= 0;
        };
        for (int run = 0; run < kListRuns; ++run) {
            zip.SZFileName = listArchive;
            double start = Now();
            if (!best(listAlone, zip.List() < 0 ? -1 : Now() - start)) return Fail("the component could not list");
            if (!best(listWindow, TimedLoad(window, listArchive, rows))) return Fail("the window did not list");
        }
        if (!FormRemote::ClickAndAnswerFileDialog(window.process.dwProcessId, window.load, extractArchive, kTimeoutMs))
            return Fail("the window did not load the archive to restore");
        zip.SZFileName = extractArchive;
        for (int run = 0; run < kExtractRuns; ++run) {
            zip.Files.Clear();
            RemoveTree(aloneOut);
            double start = Now();
            if (!best(extractAlone, zip.Extract(false) != 0 ? -1 : Now() - start)) return Fail("Extract failed");
            // The replay's window covers the program's while it is shown.
            replay.Show();
            Application().ProcessMessages();
            best(bars, replay.Replay(steps));
            replay.Hide();
            RemoveTree(windowOut);
            if (!best(extractWindow, TimedRestore(window)) || FormRemote::TextOf(window.status) != L"0")
                return Fail("the window did not restore the archive");
        }
        FormRemote::Click(window.end);
        ::WaitForSingleObject(window.process.hProcess, 30000);

        std::printf("archiver_window_list_100k_ms: window %.0f, List alone %.0f (%d rows)\n", listWindow, listAlone,
                    rows);
        std::printf("archiver_window_extract_ms: window %.0f, Extract alone %.0f, %zu bar steps %.0f\n", extractWindow,
                    extractAlone, steps.size(), bars);
        std::printf("archiver_window_list_100k_ratio: %.3f\n", listWindow / listAlone);
        std::printf("archiver_window_extract_ratio: %.3f\n", extractWindow / (extractAlone + bars));
        return 0;
    } catch (const Exception& error) {
        return Fail(error.Message().c_str());
    }
}
