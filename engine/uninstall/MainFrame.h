#pragma once
#include <memory>

#include "../framework/FrameWnd.h"
#include "../theme/PageHost.h"

class CImageWindow;
class CNVEngine;
class UninstallPage;

// The hidden main frame. Its creation asks for confirmation and arms the run;
// its timer runs the removal and then ends the program in one of three ways.
// It owns the page the user watches and the page's font.
class CMainFrame : public CFrameWnd, public PageHost {
public:
    static constexpr UINT_PTR kStartTimer = 1;
    static constexpr UINT kStartDelayMs = 500;

    CMainFrame();
    ~CMainFrame() override;

    // The page reported a click on its "IDC_FINISH" control.
    void OnFinishCommand();

    int m_pageIndex = 0;

protected:
    int OnCreate(LPCREATESTRUCTA createStruct) override;
    void OnTimer(UINT_PTR id) override;

private:
    bool ConfirmRemoval();
    void StartUninstall();
    void FinishUninstall();

    std::unique_ptr<CImageWindow> m_pageWindow;
    UninstallPage* m_page = nullptr;
    std::unique_ptr<CNVEngine> m_engine;
};
