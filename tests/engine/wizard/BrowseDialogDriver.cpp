#include "BrowseDialogDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

#include "wizard/PathDialog.h"

namespace {
// A visible dialog of the process: the browse dialog (by its folder tree), or with an owner the box it owns.
HWND WaitForDialog(DWORD process, HWND owner, DWORD timeoutMs) {
    struct Search {
        DWORD process;
        HWND owner, found;
    } search{process, owner, nullptr};
    for (DWORD start = ::GetTickCount();; ::Sleep(20)) {
        ::EnumWindows([](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            DWORD process = 0;
            ::GetWindowThreadProcessId(hwnd, &process);
            char className[32] = {};
            ::GetClassNameA(hwnd, className, sizeof className);
            const bool match = process == s->process && std::string(className) == "#32770" && ::IsWindowVisible(hwnd) &&
                               (s->owner == nullptr ? ::GetDlgItem(hwnd, CPathDialog::kFolderTreeId) != nullptr
                                                    : ::GetWindow(hwnd, GW_OWNER) == s->owner);
            if (match) s->found = hwnd;
            return !match;
        }, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || ::GetTickCount() - start > timeoutMs) return search.found;
    }
}
}  // namespace

BrowseDialogDriver BrowseDialogDriver::WaitFor(DWORD timeoutMs, DWORD processId) {
    return BrowseDialogDriver(WaitForDialog(processId != 0 ? processId : ::GetCurrentProcessId(), nullptr, timeoutMs));
}

HWND BrowseDialogDriver::PathEdit() const { return Item(CPathDialog::kPathEditId); }

std::string BrowseDialogDriver::Typed() const { return ItemText(CPathDialog::kPathEditId); }

std::string BrowseDialogDriver::WaitTyped(DWORD timeoutMs) const {
    std::string text;
    for (DWORD start = ::GetTickCount(); (text = Typed()).empty() && ::GetTickCount() - start < timeoutMs;)
        ::Sleep(20);
    return text;
}

void BrowseDialogDriver::Type(const std::string& text) const {
    ::SendMessageA(PathEdit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool BrowseDialogDriver::SelectTopItem(const std::string& text) const {
    HWND tree = Item(CPathDialog::kFolderTreeId);
    auto next = [tree](UINT relation, HTREEITEM from) {
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
    };
    for (HTREEITEM item = next(TVGN_CHILD, next(TVGN_ROOT, nullptr)); item != nullptr; item = next(TVGN_NEXT, item)) {
        char label[MAX_PATH] = {};
        TVITEMA query{};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = label;
        query.cchTextMax = sizeof label;
        if (::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)) && text == label)
            return ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != FALSE;
    }
    return false;
}

DialogWindow BrowseDialogDriver::WaitForMessage(DWORD timeoutMs) const {
    DWORD process = 0;
    ::GetWindowThreadProcessId(Handle(), &process);
    return DialogWindow(WaitForDialog(process, Handle(), timeoutMs));
}

bool BrowseDialogDriver::WaitFocusInPathEdit(DWORD timeoutMs) const {
    DWORD thread = ::GetWindowThreadProcessId(Handle(), nullptr);
    DWORD lastNudge = 0;
    for (DWORD start = ::GetTickCount();; ::Sleep(20)) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (::GetGUIThreadInfo(thread, &info)) {
            if (info.hwndFocus == PathEdit()) return true;
            // Without a window manager Wine now and then leaves no window active when a
            // message box closes; the user would click the dialog, which then gives the
            // focus back to the item it last had.
            if (info.hwndActive == nullptr && ::GetTickCount() - lastNudge > 500) {
                ::SetForegroundWindow(Handle());
                lastNudge = ::GetTickCount();
            }
        }
        if (::GetTickCount() - start > timeoutMs) return false;
    }
}

void BrowseDialogDriver::Abandon() const {
    for (int attempt = 0; attempt < 5 && IsOpen(); ++attempt) {
        if (DialogWindow box = WaitForMessage(0)) {
            box.Press(box.HasItem(IDNO) ? IDNO : IDOK);
            box.WaitClosed(kDriverWaitMs);
            continue;
        }
        Press(IDCANCEL);
        WaitClosed(kDriverWaitMs);
    }
}

int RunWithDriver(CPathDialog& chooser, const std::function<void(BrowseDialogDriver&)>& script) {
    std::thread driver([&script] {
        BrowseDialogDriver dialog = BrowseDialogDriver::WaitFor();
        if (!dialog) {
            ADD_FAILURE() << "the browse dialog did not appear";
            return;
        }
        script(dialog);
        dialog.Abandon();
    });
    int result = chooser.RunChooser();
    driver.join();
    return result;
}
