#include "ThemeViewer.h"

#include "WindowPicture.h"
#include "theme/ImageWindow.h"

ThemeViewer::ThemeViewer(const ViewOptions& options) : m_options(options) {
    FillPageSequence(options.folder, options.pages);
}

ThemeViewer::~ThemeViewer() = default;

bool ThemeViewer::OpenFirstPage() {
    GoNext();
    if (CurrentPage() == nullptr) return false;
    StartRunOnProgressPage();
    return true;
}

void ThemeViewer::SetCurrentPage(CImageWindow* page) {
    // A run reports to its own page only, which may be about to go.
    if (m_run && (page == nullptr || m_run->Page() != &page->Progress())) m_run.reset();
    WizardHost::SetCurrentPage(page);
}

void ThemeViewer::OnPageCommand(int windowId, int position, int clickAction, const std::string& identifier,
                                CImageWindow* page, const std::string& fileName) {
    const CImageWindow* before = CurrentPage();
    WizardHost::OnPageCommand(windowId, position, clickAction, identifier, page, fileName);
    if (CurrentPage() != before) StartRunOnProgressPage();
}

void ThemeViewer::OnFinishCommand() { ::PostQuitMessage(0); }

void ThemeViewer::StartRunOnProgressPage() {
    CImageWindow* page = CurrentPage();
    if (page == nullptr || page->FileName() != CImageWindow::kProgressPageFile) return;
    m_run = std::make_unique<SimulatedRun>(page->Progress(), m_options.progress);
    m_run->Start();
}

bool ThemeViewer::WritePicture(const std::string& path) {
    CImageWindow* page = CurrentPage();
    if (page == nullptr) return false;
    if (m_run) m_run->RunToStop();
    // Everything waiting to be painted is painted before the pixels are read.
    ::RedrawWindow(page->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    const int length = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring widePath(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath.data(), length);
    widePath.resize(widePath.size() - 1);
    return WindowPicture::SaveOwnWindow(page->m_hWnd, widePath);
}
