#include "ThemePage.h"

#include <vector>

#include "framework/ProgramEnd.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

ThemePage::ThemePage(const std::string& name) : m_folder(TestFiles::FreshTempFolder(name) + "\\") {
    SetAbortProgramHandler([this] { ++m_aborts; });
}

ThemePage::~ThemePage() {
    m_page.reset();
    SetAbortProgramHandler({});
    TestFiles::RemoveTree(m_folder);
}

void ThemePage::WriteTheme(const std::string& content, const std::string& fileName) const {
    TestFiles::Write(m_folder + fileName, content);
}

bool ThemePage::Load(const std::string& fileName, int pageIndex, int pageCount) {
    m_page.reset();
    m_page = std::make_unique<CImageWindow>(&host);
    if (!m_page->Create()) return false;
    m_page->LoadPage(m_folder, fileName, pageIndex, pageCount);
    return true;
}

HWND ThemePage::Named(const std::string& identifier) const {
    return Control(m_page->FindControlByName(identifier));
}

const ControlRecord& ThemePage::Record(const std::string& identifier) const {
    static const ControlRecord none;
    int position = m_page->FindRecordByWindowId(m_page->FindControlByName(identifier));
    return position >= 0 ? m_page->Table()[position] : none;
}

std::string ThemeWithControls(const std::string& window, const std::vector<std::string>& lines,
                              const std::string& rows) {
    std::string text = "[MAINWINDOW]\r\n" + window + "[INFO]\r\nTOTAL=" + std::to_string(lines.size()) + "\r\n";
    for (size_t i = 0; i < lines.size(); ++i) text += std::to_string(i) + "=" + lines[i] + "\r\n";
    return text + "[DADOS]\r\n" + rows;
}

std::string ThemeRows(int controlKey, const std::vector<std::string>& rows) {
    const std::string key = std::to_string(controlKey);
    std::string text = key + ",t=" + std::to_string(rows.size()) + "\r\n";
    for (size_t r = 0; r < rows.size(); ++r) text += key + "," + std::to_string(r) + "=" + rows[r] + "\r\n";
    return text;
}

std::string WindowTextOf(HWND hwnd) {
    char text[1024] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

RECT ClientRectOf(HWND page, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

LONG_PTR StyleOf(HWND hwnd, int index) { return ::GetWindowLongPtrA(hwnd, index); }

COLORREF BrushColor(HBRUSH brush) {
    LOGBRUSH info{};
    ::GetObjectA(brush, sizeof info, &info);
    return info.lbColor;
}

LOGFONTA FontOf(HFONT font) {
    LOGFONTA info{};
    ::GetObjectA(font, sizeof info, &info);
    return info;
}

COLORREF PixelOf(HWND window, int x, int y, bool repaint) {
    if (repaint) ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = ::GetDC(window);
    const COLORREF color = ::GetPixel(dc, x, y);
    ::ReleaseDC(window, dc);
    return color;
}

void PumpLikeTheProgram() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (CWnd::WalkPreTranslateTree(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs;) {
        if (condition()) return true;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return condition();
}

HWND ChildWithText(HWND parent, const std::string& text) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        if (WindowTextOf(child) == text) return child;
    return nullptr;
}

HWND WaitForShownPage(const ChildProcess& process, const char* title, DWORD timeoutMs) {
    HWND page = nullptr;
    WaitFor([&] {
        page = FindProcessWindow(process.Id(), "#32770", title);
        return (page != nullptr && ::IsWindowVisible(page)) || !process.Running();
    }, timeoutMs);
    return page != nullptr && ::IsWindowVisible(page) ? page : nullptr;
}

bool WriteBitmapFile(const std::string& path, int width, int height, COLORREF color) {
    return WriteBitmapFile(path, width, height, [color](int, int) { return color; });
}

bool WriteBitmapFile(const std::string& path, int width, int height, const std::function<COLORREF(int x, int y)>& color) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<unsigned char> pixels(static_cast<size_t>(stride * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &pixels[static_cast<size_t>(y * stride + x * 3)];
            const COLORREF at = color(x, height - 1 - y);  // rows bottom-up
            p[0] = GetBValue(at), p[1] = GetGValue(at), p[2] = GetRValue(at);
        }
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(pixels.begin(), pixels.end());
    return TestFiles::Write(path, bytes);
}
