#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "theme/ImageWindow.h"
#include "wizard/WizardHost.h"

class ChildProcess;

// The host of a test's page: clicks mean what they mean in the engine; there is
// no sequence to move through, and Finish does nothing.
class TestPageHost : public WizardHost {
public:
    void OnFinishCommand() override {}
};

// A theme written by a test into a folder of its own, and a real page window
// loaded from it in the test's process. Closing or cancelling the page is
// recorded instead of ending the process.
class ThemePage {
public:
    explicit ThemePage(const std::string& name);
    ~ThemePage();

    const std::string& Folder() const { return m_folder; }  // with its trailing backslash
    void WriteTheme(const std::string& content, const std::string& fileName = "page.lcd") const;
    // Creates a fresh page window and loads the file; false when no window could be made.
    bool Load(const std::string& fileName = "page.lcd", int pageIndex = 0, int pageCount = 2);

    CImageWindow& Page() { return *m_page; }
    HWND Window() const { return m_page->m_hWnd; }
    HWND Control(int windowId) const { return ::GetDlgItem(m_page->m_hWnd, windowId); }
    HWND Named(const std::string& identifier) const;
    // Window identifier and table record of the control the theme named.
    const ControlRecord& Record(const std::string& identifier) const;
    int Aborts() const { return m_aborts; }

    TestPageHost host;

private:
    std::string m_folder;
    std::unique_ptr<CImageWindow> m_page;
    int m_aborts = 0;
};

// "[INFO]" with TOTAL and the given lines, then "[DADOS]" with the given rows.
std::string ThemeWithControls(const std::string& window, const std::vector<std::string>& lines,
                              const std::string& rows = {});
// "K,t=n" and "K,r=<row r>" for the control key's rows.
std::string ThemeRows(int controlKey, const std::vector<std::string>& rows);
std::string WindowTextOf(HWND hwnd);
RECT ClientRectOf(HWND page, HWND control);  // the control's rectangle in the page's client area
std::string ClassOf(HWND hwnd);
LONG_PTR StyleOf(HWND hwnd, int index = GWL_STYLE);
COLORREF BrushColor(HBRUSH brush);
LOGFONTA FontOf(HFONT font);
// A pixel of the window as painted now (repainted first when asked).
COLORREF PixelOf(HWND window, int x, int y, bool repaint = false);
// Dispatches what is queued the way the program's message loops do.
void PumpLikeTheProgram();
// Polls with this thread's messages dispatched: another process's events arrive as messages.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000);
HWND ChildWithText(HWND parent, const std::string& text);
// A page ("#32770") of the process with that title, once it is shown; null once the process ended.
HWND WaitForShownPage(const ChildProcess& process, const char* title, DWORD timeoutMs = 20000);
// A 24-bit BMP file of the size, one colour, or the colour of each pixel.
bool WriteBitmapFile(const std::string& path, int width, int height, COLORREF color);
bool WriteBitmapFile(const std::string& path, int width, int height, const std::function<COLORREF(int x, int y)>& color);
