#pragma once
#include "../framework/FrameWnd.h"
#include "../uninstall/UninstallRun.h"
#include "../wizard/WizardHost.h"

// The hidden main frame, where the pieces meet: its creation asks for
// confirmation, opens the progress page when the theme has one and hands it to
// the run; its timer runs the removal. It owns the page the user watches and
// the page's font. As a wizard host it has a page sequence, which the
// uninstall never fills: Next and Back open nothing, and the progress page
// stays to the end.
class CMainFrame : public CFrameWnd, public WizardHost {
public:
    static constexpr UINT_PTR kStartTimer = 1;
    static constexpr UINT kStartDelayMs = 500;

    explicit CMainFrame(RemovalLog& log);
    ~CMainFrame() override;

    // Its creation failed because the user answered No to the question.
    bool RemovalDeclined() const { return m_run.Declined(); }

    // The page reported a click on its "IDC_FINISH" control.
    void OnFinishCommand() override;

protected:
    int OnCreate(LPCREATESTRUCTA createStruct) override;
    void OnTimer(UINT_PTR id) override;

private:
    void StartUninstall();

    CUninstallRun m_run;
};
