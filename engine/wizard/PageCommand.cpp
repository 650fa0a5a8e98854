// Clicks on a page's controls: what each fixed identifier does when pressed.
#include "../theme/ImageWindow.h"
#include "AbortProgram.h"

void CImageWindow::OnControlCommand(int windowId) {
    const int position = FindRecordByWindowId(windowId);
    if (position < 0) return;
    const std::string& identifier = m_table[position].identifier;
    if (identifier == "IDCANCEL") {
        AbortProgram();
        return;
    }
    // Navigation (IDC_NEXT, IDC_BACK, IDC_FINISH, click actions), the licence
    // and scope pairs and IDC_BROWSE belong to the wizard flow, which has no
    // pages to move between in an uninstall.
}
