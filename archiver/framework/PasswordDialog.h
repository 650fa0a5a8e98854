#pragma once
#include <windows.h>

#include <string>

#include "Component.h"

// A small modal dialog that asks for a password: a prompt, a masked edit box and
// two buttons. Made from a template in memory (Dialog Boxes reference), so that
// it is an ordinary dialog to the keyboard and to automation.
class TPasswordDialog : public TComponent {
public:
    explicit TPasswordDialog(TComponent* Owner) : TComponent(Owner) {}

    std::wstring Caption;
    std::wstring Prompt;
    std::wstring OkCaption = L"OK";
    std::wstring CancelCaption = L"Cancel";
    // What was typed, once Execute returned true.
    std::wstring Password;

    // Shows the dialog owned by the window (which waits meanwhile); false when
    // the user cancels, or when the program is ending.
    bool Execute(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
