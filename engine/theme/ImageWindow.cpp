#include "ImageWindow.h"

#include <algorithm>

#include "../controls/PictureFile.h"
#include "../controls/ThemeFont.h"
#include "../framework/DecimalNumber.h"
#include "../framework/ProgramEnd.h"
#include "../product/LanguageText.h"
#include "../product/ProductContext.h"
#include "PageHost.h"

namespace {
// The page's own template: a pop-up with caption, system menu and dialog frame,
// "MS Sans Serif" 8, title "Dialog", 186 x 90 dialog units, no controls. The
// theme replaces all of it but the font.
struct PageTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass;
    wchar_t title[7];
    WORD pointSize;
    wchar_t face[14];
};

const DLGTEMPLATE* PageDialogTemplate() {
    alignas(DWORD) static const PageTemplate page = {
        {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 0, 186, 90},
        0, 0, L"Dialog", 8, L"MS Sans Serif"};
    return &page.header;
}

class DepthScope {
public:
    explicit DepthScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthScope() { --m_depth; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

private:
    int& m_depth;
};

// Themes count a 25-pixel caption into the window's height.
constexpr int kThemeCaption = 25;
constexpr int kBottomMargin = 35;  // above the screen's bottom edge, for startups 4 and 5
// A page without a size of its own: around its controls, never smaller than this.
constexpr int kUsableMargin = 12;
constexpr SIZE kUsableMinimum = {240, 160};
}  // namespace

CImageWindow::CImageWindow(PageHost* host) : m_host(host) {}

CImageWindow::~CImageWindow() {
    // The host would otherwise name a page that is gone.
    if (m_host != nullptr && m_host->CurrentPage() == this) m_host->SetCurrentPage(nullptr);
}

BOOL CImageWindow::Create(HWND parent) {
    if (!CreateIndirect(PageDialogTemplate(), parent)) return FALSE;
    // The page scales itself, its controls and their fonts when its DPI changes.
    LeaveDpiChangesToDialog(m_hWnd);
    return TRUE;
}

void CImageWindow::LoadPage(const std::string& folder, const std::string& fileName, int pageIndex, int pageCount) {
    if (m_host != nullptr) m_host->SetCurrentPage(this);
    KillTimer(kPageTimer);
    ClearControls();
    m_pageIndex = pageIndex;
    m_pageCount = pageCount;
    if (m_host != nullptr) m_pageFont = m_host->PageFont();
    SetBackgroundColor("COLOR_BTNFACE");
    m_picture.Reset();
    m_pictureFlag = 0;
    m_fileName = fileName;
    LoadThemeFile(folder + fileName);
    PlaceWindow();
    if (fileName == kProgressPageFile) SetupProgressPage();
}

void CImageWindow::ClearControls() {
    // The windows go with their objects; a page loaded twice keeps none of the first.
    for (Pool& pool : m_pools) {
        for (auto& object : pool.objects) object.reset();
        pool.count = 0;
    }
    m_table.Clear();
    m_nextWindowId = kFirstWindowId;
    m_sequence = 0;
    m_progress.ForgetTargets();
}

void CImageWindow::ResetPage() {
    ClearControls();
    SetBackgroundColor("COLOR_BTNFACE");
    Invalidate();
}

int CImageWindow::DpiFor(int monitorDpi) const {
    return m_host != nullptr ? m_host->PageDpi(monitorDpi) : monitorDpi;
}

void CImageWindow::LoadThemeFile(const std::string& path) {
    m_dpi = DpiFor(WindowDpi(m_hWnd));
    m_progress.ForgetCompletion();
    m_themePath = path;
    m_themeFolder = ThemeFile::FolderOf(path);
    ResetPage();
    const WindowSettings read = ReadWindowSettings(path);
    m_settings = read;
    for (int number = 0; number < kWindowProperties; ++number)
        ApplyWindowProperty(number, read.*(FindWindowProperty(number)->text));
    BuildPageFont();
    const int total = ThemeFile::Number(ThemeFile::ReadTotal(path));
    if (total > 0) {
        BuildControls(total);
        Invalidate();
    }
}

void CImageWindow::BuildPageFont() {
    const WindowSettings& s = m_settings;
    if (m_host != nullptr) {
        m_host->BuildPageFont(s.fontName.substr(0, ThemeFile::kMaxFaceName), 0, FlagFromSwitch(s.fontBold),
                              FlagFromSwitch(s.fontItalic), ThemeFile::Number(s.fontSize), m_dpi);
        m_pageFont = m_host->PageFont();
    }
    if (m_pageFont) SetFont(m_pageFont->Get());
}

void CImageWindow::SetBackgroundColor(const std::string& value) {
    m_backgroundColorText = value.empty() ? std::string("COLOR_BTNFACE") : value;
    m_backgroundBrush.Reset(::CreateSolidBrush(ThemeFile::ResolvedColor(m_backgroundColorText)));
    if (m_hWnd != nullptr) Invalidate();
}

void CImageWindow::ApplyWindowProperty(int number, const std::string& value) {
    const WindowKey* key = FindWindowProperty(number);
    if (key == nullptr) return;
    std::string& setting = m_settings.*(key->text);
    setting = value;
    switch (key->effect) {
    case WindowEffect::Kept:
        break;
    case WindowEffect::Title:
        setting = ExpandTextTokens(setting);
        SetWindowText(setting.c_str());
        break;
    case WindowEffect::BackgroundColor:
        if (setting.empty()) setting = "COLOR_BTNFACE";
        SetBackgroundColor(setting);
        break;
    case WindowEffect::BackgroundImage:
        SetBackgroundImage(setting);
        break;
    case WindowEffect::Border:
        SetBorderByDigit(*this, setting);
        break;
    case WindowEffect::StyleIfYes:
        ModifyStyle(setting == "Yes" ? 0 : key->style, setting == "Yes" ? key->style : 0);
        break;
    }
    ModifyStyleEx(0, WS_EX_APPWINDOW);
}

void CImageWindow::PlaceWindow() {
    // Heights in themes include a 25-pixel caption; a smaller one leaves the
    // page shorter by the difference. The caption is the one the system draws.
    const int caption = CaptionBarHeightAt(WindowDpi(m_hWnd));
    const int themeCaption = ThemeFile::AtDpi(kThemeCaption, m_dpi);
    const SIZE usable = m_settings.width > 0 && m_settings.height > 0 ? SIZE{} : UsableSize();
    long long width = usable.cx, height = usable.cy;
    if (m_settings.width > 0) width = ThemeFile::AtDpi(m_settings.width, m_dpi);
    if (m_settings.height > 0)
        height = static_cast<long long>(ThemeFile::AtDpi(m_settings.height, m_dpi)) -
                 (caption < themeCaption ? themeCaption - caption : 0);
    const long long bottomMargin = ThemeFile::AtDpi(kBottomMargin, m_dpi);
    const long long screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const long long screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    long long left = 0, top = 0;
    switch (ThemeFile::Number(m_settings.startup.substr(0, 2))) {
    case 0:
        left = screenWidth / 2 - width / 2;
        top = screenHeight / 2 - height / 2;
        break;
    case 2:
        break;
    case 3:
        left = screenWidth - width;
        break;
    case 4:
        top = screenHeight - height - bottomMargin;
        break;
    case 5:
        left = screenWidth - width;
        top = screenHeight - height - bottomMargin;
        break;
    default:
        return;
    }
    ::MoveWindow(m_hWnd, SaturateToInt(left), SaturateToInt(top), SaturateToInt(width), SaturateToInt(height), TRUE);
}

SIZE CImageWindow::UsableSize() const {
    // Every control's right and bottom edge inside, with a margin; no larger than the screen.
    const SIZE screen{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    long long right = 0, bottom = 0;
    for (int position = 0; position < m_table.Count(); ++position) {
        right = std::max<long long>(right, m_table[position].right);
        bottom = std::max<long long>(bottom, m_table[position].bottom);
    }
    const int margin = ThemeFile::AtDpi(kUsableMargin, m_dpi);
    const SIZE client{static_cast<LONG>(std::min<long long>(right + margin, screen.cx)),
                      static_cast<LONG>(std::min<long long>(bottom + margin, screen.cy))};
    const SIZE outer = WindowSizeFor(client, static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)),
                                     static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)), WindowDpi(m_hWnd));
    const SIZE minimum = AtPageDpi(kUsableMinimum);
    return {std::min(std::max(outer.cx, minimum.cx), screen.cx), std::min(std::max(outer.cy, minimum.cy), screen.cy)};
}

SIZE CImageWindow::AtPageDpi(SIZE designSize) const {
    return {ThemeFile::AtDpi(designSize.cx, m_dpi), ThemeFile::AtDpi(designSize.cy, m_dpi)};
}

void CImageWindow::SetBackgroundImage(const std::string& path) {
    // Brought to the page's scaling before it is stretched over the window as at
    // 96 dpi. A file that cannot be decoded, or is too large, leaves the page
    // without a picture, like a missing one.
    SIZE size{};
    m_picture.Reset(LoadBackgroundPicture(path, m_dpi, &size));
    m_pictureSize = size;
    m_pictureFlag = m_picture ? kFlagSet : 0;
    if (m_hWnd != nullptr) Invalidate();
}

void CImageWindow::OnPaint() {
    PaintDC dc(m_hWnd);
    if (m_pictureFlag != kFlagSet || !m_picture) return;
    RECT outer;
    ::GetWindowRect(m_hWnd, &outer);
    MemoryDC memory(dc);
    SelectedObject picture(memory, m_picture);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, 0, 0, outer.right - outer.left, outer.bottom - outer.top, memory, 0, 0, m_pictureSize.cx,
                 m_pictureSize.cy, SRCCOPY);
}

void CImageWindow::ApplyDpi(int dpi, const RECT* suggested) {
    m_dpi = dpi;
    BuildPageFont();
    LayOutControls();
    SetBackgroundImage(m_settings.bkImage);
    if (suggested != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        PlaceWindow();
    }
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CImageWindow::SetControlText(int windowId, const std::string& text) const {
    if (windowId < 0) return;
    HWND control = ::GetDlgItem(m_hWnd, windowId);
    ::SetWindowTextA(control, text.c_str());
    ::InvalidateRect(control, nullptr, TRUE);
}

void CImageWindow::EnableNamed(const char* identifier, bool enable) {
    const int windowId = FindControlByName(identifier);
    if (windowId >= 0) m_focusKeeper.Enable(::GetDlgItem(m_hWnd, windowId), enable);
}

void CImageWindow::CheckNamed(const char* identifier, bool check) const {
    const int windowId = FindControlByName(identifier);
    if (windowId >= 0) ::CheckDlgButton(m_hWnd, windowId, check ? BST_CHECKED : BST_UNCHECKED);
}

void CImageWindow::OnControlCommand(int windowId) {
    // Clicks queued before the page ended (a second click on Next) find it hidden.
    if (m_ended) return;
    const int position = FindRecordByWindowId(windowId);
    if (position < 0) return;
    DepthScope running(m_commandDepth);
    // Copies: what runs below may load pages and pump messages.
    const std::string identifier = m_table[position].identifier;
    const std::string fileName = m_fileName;
    const int clickAction = FindClickAction(position);
    if (m_host == nullptr) return;
    m_host->OnPageCommand(windowId, position, clickAction, identifier, this, fileName);
    // Only when the host put another page in its place: ending the page with
    // nothing after it would leave the program running with no window to use.
    if (identifier != "IDC_BACK" && identifier != "IDC_NEXT") return;
    const CImageWindow* current = m_host->CurrentPage();
    if (current != nullptr && current != this && ::IsWindowVisible(current->m_hWnd)) EndPage();
}

void CImageWindow::EndPage() {
    // The page's controls keep their state themselves: nothing to exchange.
    m_ended = true;
    ::EndDialog(m_hWnd, IDOK);
}

bool CImageWindow::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
        (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd)))
        return true;
    if (NavigateByKeyboard(*msg)) return true;
    return CDialog::PreTranslateMessage(msg);
}

LRESULT CImageWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORDLG:
        if (m_backgroundBrush) return reinterpret_cast<LRESULT>(m_backgroundBrush.Get());
        break;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        OnSystemColorsChanged();
        break;
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE:
        // The cues as the last input decides: Wine shows them whatever it was.
        if (LOWORD(wParam) == UIS_INITIALIZE) wParam = CuesByLastInput();
        NoteCueChange(wParam);
        break;
    case WM_QUERYUISTATE:
        return CueState();
    case WM_CLOSE:
        // Closing a page ends the program, whatever the page.
        AbortProgram();
        return 0;
    case WM_DPICHANGED: {
        // Moved to a monitor of another DPI: the system suggests where the page
        // keeps its place at the new size.
        const int dpi = DpiFor(LOWORD(wParam));
        if (dpi != m_dpi) ApplyDpi(dpi, reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        // Escape, once the page is complete, is the way out a page without a
        // usable Cancel still has.
        if (id == IDCANCEL && m_progress.Completed()) {
            AbortProgram();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0 && id >= kFirstWindowId && id <= kLastClickId) {
            OnControlCommand(id);
            return 0;
        }
        break;
    }
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
