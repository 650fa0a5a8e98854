#pragma once
#include "../framework/FrameWnd.h"

// The hidden main frame: its creation starts the uninstall run.
class CMainFrame : public CFrameWnd {
public:
    int m_pageIndex = 0;

protected:
    int OnCreate(LPCREATESTRUCTA createStruct) override;

private:
    void StartUninstall();
};
