// answerbox BUTTON [TIMEOUT_MS]: waits for a dialog of any process (a message
// box), prints its caption and text, and presses the button (1 OK, 6 Yes, 7 No).
// Exits 1 when no dialog appears in time. Used by the demo to answer norvexec.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {
BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpA(name, "#32770") != 0 || !::IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: answerbox BUTTON [TIMEOUT_MS]\n");
        return 2;
    }
    int button = std::atoi(argv[1]);
    DWORD timeout = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 20000;
    HWND dialog = nullptr;
    for (DWORD start = ::GetTickCount(); dialog == nullptr; ::Sleep(20)) {
        ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog == nullptr && ::GetTickCount() - start > timeout) return 1;
    }
    char caption[512] = {};
    char text[4096] = {};
    ::GetWindowTextA(dialog, caption, sizeof caption);
    ::GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
    std::printf("[%s] %s\n", caption, text);
    std::fflush(stdout);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
    return 0;
}
