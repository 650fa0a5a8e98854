// Finds a page window by its title, waits for one of its buttons to be usable
// with a given caption, lists the page's controls, saves a PNG picture of the
// page and presses that button, as a user watching the page would.
// Usage: pageshot TITLE PNG_PATH [BUTTON_CAPTION [TIMEOUT_MS]]
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "WindowPicture.h"

namespace {
struct Search {
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    char text[512] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    if (!::IsWindowVisible(hwnd) || lstrcmpA(text, search->title) != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

std::string Text(HWND hwnd) {
    char text[1024] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

BOOL CALLBACK ListControl(HWND hwnd, LPARAM lParam) {
    auto* controls = reinterpret_cast<std::vector<HWND>*>(lParam);
    controls->push_back(hwnd);
    return TRUE;
}

// Whether the page or one of its controls still waits to be painted.
bool PaintPending(HWND page) {
    if (::GetUpdateRect(page, nullptr, FALSE)) return true;
    std::vector<HWND> controls;
    ::EnumChildWindows(page, ListControl, reinterpret_cast<LPARAM>(&controls));
    for (HWND control : controls)
        if (::GetUpdateRect(control, nullptr, FALSE)) return true;
    return false;
}

// The page paints itself on its own thread and may still be drawing over its
// controls when its button becomes usable (the completed state repaints it
// whole): the picture is taken once its thread has caught up, nothing of it
// waits to be painted and two copies of the screen in a row agree.
bool SaveSettledPicture(HWND page, const std::wstring& path, DWORD timeout) {
    WindowPicture::Pixels previous, current;
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeout; ::Sleep(20)) {
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutA(page, WM_NULL, 0, 0, SMTO_NORMAL, timeout, &answer) || PaintPending(page))
            continue;
        if (!WindowPicture::CopyFromScreen(page, &current)) return false;
        if (current == previous) return WindowPicture::Save(current, path);
        previous = std::move(current);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: pageshot TITLE PNG_PATH [BUTTON_CAPTION [TIMEOUT_MS]]\n");
        return 2;
    }
    const char* button = argc > 3 ? argv[3] : nullptr;
    const DWORD timeout = argc > 4 ? static_cast<DWORD>(std::atoi(argv[4])) : 60000;
    ::CoInitialize(nullptr);
    const DWORD start = ::GetTickCount();
    Search search{argv[1], nullptr};
    HWND target = nullptr;
    while (::GetTickCount() - start < timeout) {
        search.found = nullptr;
        ::EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
        target = nullptr;
        if (search.found != nullptr && button != nullptr) {
            std::vector<HWND> controls;
            ::EnumChildWindows(search.found, ListControl, reinterpret_cast<LPARAM>(&controls));
            for (HWND control : controls)
                if (Text(control) == button && ::IsWindowEnabled(control)) target = control;
        }
        if (search.found != nullptr && (button == nullptr || target != nullptr)) break;
        ::Sleep(50);
    }
    if (search.found == nullptr || (button != nullptr && target == nullptr)) {
        std::fprintf(stderr, "pageshot: no page \"%s\"%s\n", argv[1], button != nullptr ? " with that button" : "");
        return 1;
    }
    std::vector<HWND> controls;
    ::EnumChildWindows(search.found, ListControl, reinterpret_cast<LPARAM>(&controls));
    RECT page;
    ::GetWindowRect(search.found, &page);
    std::printf("page \"%s\" at %ld,%ld size %ldx%ld with %zu controls\n", argv[1], page.left, page.top,
                page.right - page.left, page.bottom - page.top, controls.size());
    for (HWND control : controls) {
        char name[64] = {};
        ::GetClassNameA(control, name, sizeof name);
        RECT rect;
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, search.found, reinterpret_cast<POINT*>(&rect), 2);
        std::printf("  %d %-18s %4ld,%-4ld %4ldx%-4ld \"%s\"\n", ::GetDlgCtrlID(control), name, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, Text(control).c_str());
    }
    // Copied from the screen: the page is a top-level window of another process.
    const std::string png = argv[2];
    if (!SaveSettledPicture(search.found, std::wstring(png.begin(), png.end()), timeout))
        std::fprintf(stderr, "pageshot: could not save %s\n", argv[2]);
    if (target != nullptr) {
        std::printf("pressing \"%s\"\n", button);
        ::PostMessageA(target, BM_CLICK, 0, 0);
    }
    std::fflush(stdout);
    ::CoUninitialize();
    return 0;
}
