#include "Trace.h"

#include <windows.h>

#include "WinApp.h"

namespace {
constexpr UINT kTraceTimeoutMs = 1000;
}

std::string FormatTraceLine(const std::string& text, const std::tm& localTime) {
    char stamp[128];
    size_t length = std::strftime(stamp, sizeof stamp, "(%H:%M:%S) -", &localTime);
    return std::string(stamp, length) + text + "*";
}

void Trace(const std::string& text) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_s(&local, &now) != 0) local = std::tm{};
    std::string line = FormatTraceLine(text, local);

    HWND monitor = ::FindWindowA("BrellixEvent", nullptr);
    if (monitor == nullptr) return;
    HWND frame = MainWindowHandle();
    COPYDATASTRUCT data{};
    data.dwData = 0;
    data.cbData = static_cast<DWORD>(line.size());
    data.lpData = line.data();
    // A monitor that stops answering must not stop the uninstall with it: after a
    // second the line is dropped.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(monitor, WM_COPYDATA, reinterpret_cast<WPARAM>(frame), reinterpret_cast<LPARAM>(&data),
                          SMTO_NORMAL | SMTO_ABORTIFHUNG, kTraceTimeoutMs, &answer);
}
