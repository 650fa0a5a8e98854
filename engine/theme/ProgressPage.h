#pragma once
#include <string>

#include "../product/UninstallPage.h"

class CImageWindow;
class CMyProgress;

// The uninstall progress page: a page window loaded from "uninstall.lcd" and
// prepared for the run, whose reports it shows on the controls the theme named
// ("IDC_PROGRESS1", "IDC_INFO", "IDC_STATIC1", "IDCANCEL"), up to its
// completed state. Until the page is prepared, and for a name the page lacks,
// the reports reach no control.
class CProgressPage : public UninstallPage {
public:
    explicit CProgressPage(CImageWindow& page) : m_page(page) {}

    // Next and Back disabled while the run goes on, the targets found, the
    // page's timer started.
    void Setup();
    // The targets named controls of an earlier load.
    void ForgetTargets();
    // A page loaded again starts uncompleted.
    void ForgetCompletion() { m_completed = false; }

    void ShowStatusText(const std::string& text, StatusTarget target) override;
    void SetProgressRange(int total) override;
    void SetProgressPosition(int position) override;
    void EnableCancel() override;
    // Without a Cancel whose clicks arrive, the page gets its close box; from
    // now on Escape closes the page as its close box does. The focus goes to
    // the closing button.
    void ShowCompletion() override;

    bool Completed() const { return m_completed; }
    int BarPoolIndex() const { return m_barPoolIndex; }
    int InfoWindowId() const { return m_infoWindowId; }
    int Static1WindowId() const { return m_static1WindowId; }

private:
    // Status lines as live regions, the bar named by the status line.
    void DescribeTargets();

    CImageWindow& m_page;
    CMyProgress* m_bar = nullptr;
    int m_barPoolIndex = -1;
    int m_infoWindowId = -1;
    int m_static1WindowId = -1;
    bool m_completed = false;
};
