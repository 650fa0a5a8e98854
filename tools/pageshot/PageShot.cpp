// Finds a page window by its title, waits for one of its buttons to be usable
// with a given caption, lists the page's controls, saves a PNG picture of the
// page and presses that button, as a user watching the page would.
// Usage: pageshot TITLE PNG_PATH [BUTTON_CAPTION [TIMEOUT_MS]]
#include <windows.h>
#include <wincodec.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

bool SavePng(HWND window, const std::string& path) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    // Copied from the screen: the page is a top-level window of another process,
    // which PrintWindow cannot ask to paint.
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    const UINT stride = static_cast<UINT>((width * 3 + 3) & ~3);

    bool saved = false;
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    std::wstring widePath(path.begin(), path.end());
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                     reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) &&
        SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), stride, stride * static_cast<UINT>(height),
                                     static_cast<BYTE*>(bits))) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()))
        saved = true;
    if (frame != nullptr) frame->Release();
    if (encoder != nullptr) encoder->Release();
    if (stream != nullptr) stream->Release();
    if (factory != nullptr) factory->Release();
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return saved;
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
    if (!SavePng(search.found, argv[2])) std::fprintf(stderr, "pageshot: could not save %s\n", argv[2]);
    if (target != nullptr) {
        std::printf("pressing \"%s\"\n", button);
        ::PostMessageA(target, BM_CLICK, 0, 0);
    }
    std::fflush(stdout);
    ::CoUninitialize();
    return 0;
}
