#include "PathDialog.h"

#include <cstdio>
#include <cstring>

#include "../framework/ComPtr.h"
#include "../framework/DrivePath.h"
#include "../framework/ExceptionBoundary.h"
#include "../framework/FocusReturn.h"
#include "../framework/MessageBox.h"
#include "../framework/WinApp.h"

namespace {
const char kInvalidFolder[] = "The folder:\n\n%s\n\nis invalid. Please reenter.";
const char kCannotCreate[] = "The folder:\n\n%s\n\ncan not be created. Please double check.";
const char kCreateQuestion[] = "The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?";

// The box sits in the band above the tree: 4 pixels clear of it, 23 high.
constexpr int kEditGap = 4;
constexpr int kEditHeight = 23;

}  // namespace

CPathDialog::CPathDialog(const char* caption, const char* title, const char* startingFolder, HWND parent)
    : m_title(title != nullptr ? title : ""), m_owner(parent != nullptr ? parent : MainWindowHandle()) {
    if (caption != nullptr) m_caption = caption;
    if (startingFolder != nullptr) m_startingFolder = startingFolder;
}

int CPathDialog::RunChooser() {
    ComPtr<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.Receive())) || !allocator) return IDCANCEL;

    m_accepted = false;
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = m_owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = m_title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    FocusReturn focus;
    LPITEMIDLIST item = ::SHBrowseForFolderA(&info);
    if (item != nullptr) allocator->Free(item);
    m_dialog = nullptr;
    return m_accepted ? IDOK : IDCANCEL;
}

int CALLBACK CPathDialog::BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
    CPathDialog* self = reinterpret_cast<CPathDialog*>(data);
    return Guarded(0, [&] {
        if (message == BFFM_INITIALIZED) self->OnInitialized(dialog);
        if (message == BFFM_SELCHANGED) self->OnSelectionChanged(dialog, reinterpret_cast<LPCITEMIDLIST>(lParam));
        return 0;
    });
}

void CPathDialog::OnInitialized(HWND dialog) {
    m_dialog = dialog;
    if (m_caption) ::SetWindowTextA(dialog, m_caption->c_str());
    m_sub.SubclassWindow(dialog);
    ::ShowWindow(::GetDlgItem(dialog, kStatusTextId), SW_HIDE);
    CreatePathEdit(dialog);

    if (!m_startingFolder) {
        char current[kFolderPathChars] = {};
        DWORD length = ::GetCurrentDirectoryA(sizeof current, current);
        if (length > 0 && length < sizeof current)
            ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(current));
    } else if (!m_startingFolder->empty()) {
        ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(m_startingFolder->c_str()));
    }
}

void CPathDialog::CreatePathEdit(HWND dialog) {
    HWND tree = ::GetDlgItem(dialog, kFolderTreeId);
    RECT screenBox{};
    if (tree == nullptr || !::GetWindowRect(tree, &screenBox)) return;
    screenBox.bottom = screenBox.top - kEditGap;
    screenBox.top = screenBox.bottom - kEditHeight;
    RECT box = screenBox;
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
    HWND edit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                  box.left, box.top, box.right - box.left, box.bottom - box.top, dialog,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPathEditId)),
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (edit == nullptr) return;
    // First in the z-order, so it is where typing starts; items it overlaps (the
    // instruction text reaches into its band) must leave it out when they paint.
    ::SetWindowPos(edit, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (HWND item = ::GetWindow(dialog, GW_CHILD); item != nullptr; item = ::GetWindow(item, GW_HWNDNEXT)) {
        RECT itemRect{}, overlap{};
        if (item != edit && ::GetWindowRect(item, &itemRect) && ::IntersectRect(&overlap, &itemRect, &screenBox))
            ::SetWindowLongPtrA(item, GWL_STYLE, ::GetWindowLongPtrA(item, GWL_STYLE) | WS_CLIPSIBLINGS);
    }
    ::ShowWindow(edit, SW_SHOW);
    ::SendMessageA(edit, WM_SETFONT, ::SendMessageA(dialog, WM_GETFONT, 0, 0), TRUE);
}

void CPathDialog::OnSelectionChanged(HWND dialog, LPCITEMIDLIST item) {
    // Only a folder with a drive path can be typed back and checked; network and
    // virtual items (the computer, the network) empty the box instead.
    char path[kFolderPathChars] = {};
    bool drivePath = item != nullptr && ::SHGetPathFromIDListA(item, path) && StartsWithDrive(path);
    if (!drivePath) path[0] = '\0';
    // Wine reports some shell folders (Documents) with a closing backslash, which
    // the checks refuse; only a drive root keeps it.
    size_t length = std::strlen(path);
    if (length > 3 && path[length - 1] == '\\') path[length - 1] = '\0';
    ::SendMessageA(dialog, BFFM_ENABLEOK, 0, drivePath ? TRUE : FALSE);
    ::SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    ::SetDlgItemTextA(dialog, kPathEditId, path);
}

int CPathDialog::ShowFolderMessage(const char* format, const char* path, UINT type) {
    int length = std::snprintf(nullptr, 0, format, path);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, format, path);
    // Owned by the browse dialog while it runs, so that it cannot be pressed again
    // underneath the message.
    return AppMessageBox(m_dialog != nullptr ? m_dialog : m_owner, text.c_str(), AppTitle(), type);
}

int CPathDialog::ValidateFolder(const char* path) {
    if (path == nullptr) path = "";
    int checked = MakeFolder(path, FolderMode::CheckOnly);
    if (checked != kFolderValid) return ShowRefusal(checked, path);
    if (FolderExists(path)) return 0;
    // Anything but a clear Yes, a box that could not be shown included, creates nothing.
    if (ShowFolderMessage(kCreateQuestion, path, MB_YESNO | MB_ICONQUESTION) != IDYES) return -1;
    int made = MakeFolder(path, FolderMode::Create);
    if (made != kFolderValid) return ShowRefusal(made, path);
    return 0;
}

int CPathDialog::ShowRefusal(int code, const char* path) {
    ShowFolderMessage(code == kFolderInvalid ? kInvalidFolder : kCannotCreate, path, MB_OK | MB_ICONEXCLAMATION);
    return code;
}
