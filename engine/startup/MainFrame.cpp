#include "MainFrame.h"

#include "../framework/FileStatus.h"
#include "../product/ProductContext.h"
#include "../theme/ImageWindow.h"

CMainFrame::CMainFrame(RemovalLog& log) : m_run(*this, log) {}
CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate(LPCREATESTRUCTA createStruct) {
    if (CFrameWnd::OnCreate(createStruct) == -1) return -1;
    if (!m_run.ConfirmRemoval()) return -1;
    StartUninstall();
    return 0;
}

void CMainFrame::StartUninstall() {
    if (!m_run.Prepare()) return;
    const ProductContext& product = TheProduct();
    // A theme with the progress page shows it in every mode, silent included.
    UninstallPage* page = nullptr;
    if (HasFileStatus(product.themeFolder + CImageWindow::kProgressPageFile))
        if (CImageWindow* window = OpenPage(product.themeFolder, CImageWindow::kProgressPageFile, 0, 0))
            page = &window->Progress();
    m_run.UsePage(page);
    SetTimer(kStartTimer, kStartDelayMs);
}

void CMainFrame::OnTimer(UINT_PTR id) {
    if (id != kStartTimer) return;
    KillTimer(kStartTimer);
    m_run.Run();
}

void CMainFrame::OnFinishCommand() { m_run.OnFinishCommand(); }
