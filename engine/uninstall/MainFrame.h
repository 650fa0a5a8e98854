#pragma once
#include <memory>

#include "../framework/FrameWnd.h"

class CNVEngine;
class UninstallPage;

// The hidden main frame. Its creation asks for confirmation and arms the run;
// its timer runs the removal and then ends the program in one of three ways.
class CMainFrame : public CFrameWnd {
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

    UninstallPage* m_page = nullptr;
    std::unique_ptr<CNVEngine> m_engine;
};
