#include "Trace.h"

#include <windows.h>

#include "../framework/WinApp.h"
#include "../framework/Wnd.h"

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
    CWinApp* app = TheApp();
    HWND frame = app != nullptr && app->m_pMainWnd != nullptr ? app->m_pMainWnd->m_hWnd : nullptr;
    COPYDATASTRUCT data{};
    data.dwData = 0;
    data.cbData = static_cast<DWORD>(line.size());
    data.lpData = line.data();
    ::SendMessageA(monitor, WM_COPYDATA, reinterpret_cast<WPARAM>(frame), reinterpret_cast<LPARAM>(&data));
}

void QuitProgram() {
    Trace("ByeByeInstall 1");
    ::PostQuitMessage(0);
}
