#include "MainFrame.h"

#include "../framework/MessageBox.h"
#include "../startup/ProductContext.h"
#include "FileStatus.h"
#include "Trace.h"

int CMainFrame::OnCreate(LPCREATESTRUCTA createStruct) {
    if (CFrameWnd::OnCreate(createStruct) == -1) return -1;
    m_pageIndex = -1;
    StartUninstall();
    return 0;
}

void CMainFrame::StartUninstall() {
    if (!HasFileStatus(TheProduct().uninstallLogPath)) {
        AppMessageBox(m_hWnd, "Uninstallation information not found. Norvane can't uninstall this software",
                      "Norvane", MB_OK | MB_ICONINFORMATION);
        QuitProgram();
        return;
    }
    QuitProgram();
}
