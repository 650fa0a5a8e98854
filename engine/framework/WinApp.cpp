#include "WinApp.h"

#include <ole2.h>

#include "ComApartment.h"
#include "ExceptionBoundary.h"
#include "Wnd.h"

namespace {
CWinApp* g_app = nullptr;
constexpr UINT kAppTitleResource = 0xE000;
}

CWinApp* TheApp() { return g_app; }

HWND MainWindowHandle() {
    return g_app != nullptr && g_app->m_pMainWnd != nullptr ? g_app->m_pMainWnd->m_hWnd : nullptr;
}

const char* AppTitle() { return g_app != nullptr ? g_app->m_appTitle : ""; }

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (m_oleInitialised) ::OleUninitialize();
    if (g_app == this) g_app = nullptr;
}

void CWinApp::EnableControlContainer() {
    if (!m_oleInitialised) m_oleInitialised = SUCCEEDED(::OleInitialize(nullptr));
}

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (CWnd::WalkPreTranslateTree(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int CWinApp::Main(HINSTANCE instance) {
    // The pages' annotations for assistive technology (and the folder chooser)
    // live in the interface thread's apartment; it ends with the program, after
    // the thread's annotation service has gone.
    static ComApartment apartment;
    m_hInstance = instance;
    char title[sizeof m_appTitle] = {};
    if (::LoadStringA(instance, kAppTitleResource, title, sizeof title) > 0)
        ::lstrcpynA(m_appTitle, title, sizeof m_appTitle);
    const bool ended = Guarded(false, [this] {
        if (InitInstance()) {
            m_exitCode = Run();
        } else if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr) {
            m_pMainWnd->DestroyWindow();
        }
        return true;
    });
    if (!ended) m_exitCode = kExitAfterException;
    return Guarded(kExitAfterException, [this] { return ExitInstance(); });
}

int CWinApp::ExitInstance() { return m_exitCode; }
