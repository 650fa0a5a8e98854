#pragma once
#include <memory>
#include <string>

#include "SimulatedRun.h"
#include "ViewOptions.h"
#include "wizard/WizardHost.h"

// The wizard of a theme author's pages: the sequence given on the command line,
// moved through as norvexec would move through it; the progress page runs a
// simulated removal while it is the current page; Finish and Cancel end the
// program's message loop.
class ThemeViewer : public WizardHost {
public:
    explicit ThemeViewer(const ViewOptions& options);
    ~ThemeViewer() override;

    // Opens the first page of the sequence; false when it could not be shown.
    bool OpenFirstPage();
    // The current page, painted and with its run at its stop, as a PNG file.
    bool WritePicture(const std::string& path);

    void SetCurrentPage(CImageWindow* page) override;
    // The DPI asked for on the command line, whatever the monitor.
    int PageDpi(int monitorDpi) const override { return m_options.dpi > 0 ? m_options.dpi : monitorDpi; }
    void OnPageCommand(int windowId, int position, int clickAction, const std::string& identifier,
                       CImageWindow* page, const std::string& fileName) override;
    void OnFinishCommand() override;

private:
    void StartRunOnProgressPage();

    const ViewOptions& m_options;
    std::unique_ptr<SimulatedRun> m_run;
};
