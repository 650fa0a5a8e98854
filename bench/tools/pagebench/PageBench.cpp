// Page load benchmark driver, one timed run for bench/page.sh (bench/lib/pairs.sh
// pairs the runs): a 69-control theme using every control type with all the rows
// its type applies (no picture files), loaded LOADS times into a page window
// ("page"), the same at 144 dpi ("page144"), or the baseline: the same profile
// reads and the same 69 child windows made with CreateWindowExA on a plain window
// ("plain"). Each side loads once untimed first (libraries, classes and the
// profile cache warm); prints the milliseconds of the LOADS loads, then the
// number of controls of a page.
// Usage: pagebench page|page144|plain [LOADS]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/ControlTypes.h"
#include "framework/ComApartment.h"
#include "framework/Dpi.h"
#include "theme/ControlTable.h"
#include "theme/ImageWindow.h"
#include "theme/PageHost.h"
#include "theme/ThemeFile.h"
#include "theme/WindowSettings.h"

namespace {
constexpr int kControls = ControlTable::kMaxControls;

// Rows each type applies when a page loads: one more than its highest row.
int RowsOf(const ControlType& type) {
    int rows = 1;
    for (const LoadStep& step : type.loadSteps)
        rows = std::max(rows, step.row + (step.property == kFontStep ? 4 : 1));
    return rows;
}

std::string RowValue(const ControlType& type, int row) {
    for (const LoadStep& step : type.loadSteps) {
        const std::string property(step.property);
        if (property == kFontStep && row >= step.row && row < step.row + 4) {
            const char* font[] = {"Tahoma", "9", "No", "No"};
            return font[row - step.row];
        }
        if (step.row != row) continue;
        if (property == kIdentifierStep) return std::string("IDC_") + type.keyword + std::to_string(row);
        if (property == "Icon File:") return "IDI_SETUP";
        if (property.find("Color") != std::string::npos) return "200,210,220";
        if (property == "URL Link") return "No";
        return "Text of " + property;
    }
    return "value";
}

std::string MakeTheme(std::vector<const ControlType*>& kinds) {
    std::string theme =
        "[MAINWINDOW]\r\ncaption=Page benchmark\r\nborder=1\r\nstartup=0\r\nbkcolor=240,240,240\r\nwidth=640\r\n"
        "height=480\r\nclosewindow=Yes\r\nfontname=Tahoma\r\nfontsize=8\r\nfontbold=No\r\nfontitalic=No\r\n"
        "[INFO]\r\nTOTAL=" + std::to_string(kControls) + "\r\n";
    std::string rows = "[DADOS]\r\n";
    for (int k = 0; k < kControls; ++k) {
        const ControlType& type = ControlTypeOf(static_cast<ControlKind>(k % static_cast<int>(ControlKind::Count)));
        kinds.push_back(&type);
        char line[160];
        std::snprintf(line, sizeof line, "%d=c%d,%d,%d,80,22,%s,{none}.bmp,,%d\r\n", k, k, (k % 6) * 100 + 5,
                      (k / 6) * 36 + 5, type.keyword, k);
        theme += line;
        const int count = RowsOf(type);
        rows += std::to_string(k) + ",t=" + std::to_string(count) + "\r\n";
        for (int r = 0; r < count; ++r)
            rows += std::to_string(k) + "," + std::to_string(r) + "=Row " + std::to_string(r) + "|" +
                    RowValue(type, r) + "|" + std::to_string(r) + "\r\n";
    }
    return theme + rows;
}

// Shows its pages as a monitor of the DPI it is given would, whatever the screen's.
class DpiHost : public PageHost {
public:
    explicit DpiHost(int dpi) : m_dpi(dpi) {}
    int PageDpi(int) const override { return m_dpi; }

private:
    int m_dpi;
};

double Milliseconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The same reads as a page load, and the same windows made the plain way.
void LoadBaseline(const std::string& path, const std::vector<const ControlType*>& kinds) {
    HWND window = ::CreateWindowExA(WS_EX_APPWINDOW, "#32770", "Page benchmark", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                    0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    ReadWindowSettings(path);
    const int total = ThemeFile::Number(ThemeFile::ReadTotal(path));
    char key[32];
    for (int k = total - 1; k >= 0; --k) {
        std::vector<std::string> fields =
            ThemeFile::SplitControlLine(ThemeFile::ReadValue(path, "INFO", std::to_string(k)));
        const ControlType& type = *kinds[static_cast<size_t>(k)];
        const int controlKey = ThemeFile::Number(fields.size() > 8 ? fields[8] : std::string());
        std::snprintf(key, sizeof key, "%i,t", controlKey);
        const int rows = ThemeFile::Number(ThemeFile::ReadValue(path, "DADOS", key));
        for (int r = 0; r < rows; ++r) {
            std::snprintf(key, sizeof key, "%i,%i", controlKey, r);
            ThemeFile::SplitRow(ThemeFile::ReadValue(path, "DADOS", key), "");
        }
        ::CreateWindowExA(0, type.windowClass, "", type.style, ThemeFile::Number(fields[1]),
                          ThemeFile::Number(fields[2]), 80, 22, window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(3000 + total - 1 - k)), nullptr, nullptr);
    }
    ::DestroyWindow(window);
}
}  // namespace

int main(int argc, char** argv) {
    const std::string side = argc > 1 ? argv[1] : "";
    const int loads = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    if (side != "page" && side != "page144" && side != "plain") {
        std::fprintf(stderr, "usage: pagebench page|page144|plain [LOADS]\n");
        return 2;
    }
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "norvane-pagebench\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "page.lcd";
    std::vector<const ControlType*> kinds;
    const std::string theme = MakeTheme(kinds);
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(theme.data(), 1, theme.size(), file);
        std::fclose(file);
    }

    ComApartment apartment;  // as the programs' interface thread has it: the annotations are measured too
    DpiHost host(side == "page144" ? 144 : kDesignDpi);
    for (ControlKind kind : {ControlKind::Progress, ControlKind::RichText})
        if (ControlTypeOf(kind).prepare != nullptr) ControlTypeOf(kind).prepare();
    int controls = 0;
    auto load = [&] {
        if (side == "plain") return LoadBaseline(path, kinds);
        CImageWindow page(&host);
        page.Create();
        page.LoadPage(folder, "page.lcd", 0, 1);
        controls = page.Table().Count();
    };
    load();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < loads; ++i) load();
    const double milliseconds = Milliseconds(start);
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA(folder.c_str());
    std::printf("%.2f %d\n", milliseconds, controls);
    return side == "plain" || controls == kControls ? 0 : 1;
}
