#pragma once
#include "Wnd.h"

// Frame-only style bit: the frame's title names the document. It lives in the low
// word of the style, which the platform leaves to window classes, and is removed
// before the window is created.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

// A top-level frame: LoadFrame creates it from a resource id (title string and
// icon) and runs OnCreate synchronously.
class CFrameWnd : public CWnd {
public:
    BOOL LoadFrame(UINT resourceId, DWORD style, CWnd* parent = nullptr, void* context = nullptr);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // 0 lets creation go on, -1 makes it fail.
    virtual int OnCreate(LPCREATESTRUCTA createStruct);
    virtual void OnTimer(UINT_PTR id);
    // True when the command was handled.
    virtual bool OnCommand(WORD id, WORD notifyCode, HWND control);
};
