#pragma once
#include <memory>
#include <string>

#include "../framework/FrameWnd.h"
#include "../wizard/WizardHost.h"

class CImageWindow;
class CNVEngine;
class UninstallPage;

// The hidden main frame. Its creation asks for confirmation and arms the run;
// its timer runs the removal and then ends the program in one of three ways.
// It owns the page the user watches and the page's font. As a wizard host it
// has a page sequence, which the uninstall never fills: Next and Back open
// nothing, and the progress page stays to the end.
class CMainFrame : public CFrameWnd, public WizardHost {
public:
    static constexpr UINT_PTR kStartTimer = 1;
    static constexpr UINT kStartDelayMs = 500;

    CMainFrame();
    ~CMainFrame() override;

    // The page reported a click on its "IDC_FINISH" control.
    void OnFinishCommand() override;

protected:
    int OnCreate(LPCREATESTRUCTA createStruct) override;
    void OnTimer(UINT_PTR id) override;

private:
    bool ConfirmRemoval();
    void StartUninstall();
    void FinishUninstall();

    UninstallPage* m_page = nullptr;
    // The registered install folder: a folder chosen on a page later is not
    // the one the removal takes away.
    std::string m_installFolder;
    std::unique_ptr<CNVEngine> m_engine;
};
