// Trace monitor: a top-level window of class "BrellixEvent" that appends every
// WM_COPYDATA text it receives, one line each, to the file named on its command
// line. The file is created once the window exists, so a script can wait for it.
// "tracemonitor /close" asks a running monitor to end.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
const char kClassName[] = "BrellixEvent";
FILE* g_out = nullptr;

LRESULT CALLBACK MonitorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COPYDATA: {
        auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        std::string line(static_cast<const char*>(data->lpData), data->cbData);
        std::fprintf(g_out, "%s\n", line.c_str());
        std::fflush(g_out);
        return TRUE;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

std::string Unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    std::string path = Unquoted(commandLine);
    if (path.empty()) return 2;
    if (path == "/close") {
        HWND running = ::FindWindowA(kClassName, nullptr);
        if (running == nullptr) return 1;
        DWORD process = 0;
        ::GetWindowThreadProcessId(running, &process);
        HANDLE handle = ::OpenProcess(SYNCHRONIZE, FALSE, process);
        ::PostMessageA(running, WM_CLOSE, 0, 0);
        if (handle != nullptr) {
            ::WaitForSingleObject(handle, 10000);
            ::CloseHandle(handle);
        }
        return 0;
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = MonitorProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!::RegisterClassA(&wc)) return 4;
    HWND hwnd = ::CreateWindowExA(0, kClassName, "Trace monitor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  400, 300, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 5;
    g_out = std::fopen(path.c_str(), "ab");
    if (g_out == nullptr) return 3;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    std::fclose(g_out);
    return 0;
}
