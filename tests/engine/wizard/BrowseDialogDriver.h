#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "support/DialogWindow.h"

class CPathDialog;

// Generous, since a loaded machine has been seen to stall a box for five seconds;
// every wait ends as soon as its condition holds.
constexpr DWORD kDriverWaitMs = 20000;

// The folder browser of this process, driven from a second thread as a user would:
// the path box filled, OK clicked, the message boxes above it read and answered.
class BrowseDialogDriver : public DialogWindow {
public:
    explicit BrowseDialogDriver(HWND dialog = nullptr) : DialogWindow(dialog) {}
    // The visible browse dialog of the process (0: this one), recognised by its
    // folder tree.
    static BrowseDialogDriver WaitFor(DWORD timeoutMs = kDriverWaitMs, DWORD processId = 0);

    HWND Item(int id) const { return ::GetDlgItem(Handle(), id); }
    HWND PathEdit() const;
    std::string Typed() const;
    // The box's text once it is not empty: on a cold Wine the tree may still be
    // taking in the folder it was asked to select when the dialog shows.
    std::string WaitTyped(DWORD timeoutMs = kDriverWaitMs) const;
    bool OkEnabled() const { return ::IsWindowEnabled(Item(IDOK)) != FALSE; }
    bool IsOpen() const { return ::IsWindow(Handle()) && ::IsWindowVisible(Handle()); }

    // The box's change notice is handled before this returns.
    void Type(const std::string& text) const;
    // Selects the item with this text among those under the tree's root.
    bool SelectTopItem(const std::string& text) const;
    // Posted, so that a message box the click opens does not block this thread.
    void ClickOk() const { ::PostMessageA(Item(IDOK), BM_CLICK, 0, 0); }
    // The message box owned by the dialog.
    DialogWindow WaitForMessage(DWORD timeoutMs = kDriverWaitMs) const;
    // The dialog's thread has the keyboard focus in the path box.
    bool WaitFocusInPathEdit(DWORD timeoutMs = kDriverWaitMs) const;
    // Answers any message box and cancels the dialog, so a failed script never
    // leaves the chooser running.
    void Abandon() const;
};

// Runs the chooser on this thread while `script` acts on its dialog from another;
// the chooser's result.
int RunWithDriver(CPathDialog& chooser, const std::function<void(BrowseDialogDriver&)>& script);
