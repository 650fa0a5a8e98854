#include "ImageWindow.h"

#include <algorithm>

#include "../controls/InputControls.h"
#include "../controls/MyButton.h"
#include "../controls/MyRadioButton.h"
#include "../controls/MyStatic.h"
#include "../controls/NewLabel.h"
#include "../framework/ProgramEnd.h"
#include "../framework/SystemMetrics.h"
#include "../product/LanguageText.h"
#include "../product/ProductContext.h"
#include "ControlLine.h"
#include "PageHost.h"
#include "PictureFile.h"
#include "ThemeFont.h"

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

constexpr const char* kWindowKeys[] = {"idcname", "caption", "bkimage", "border", "startup", "bkcolor",
                                       "width", "height", "soundfile", "minwindow", "maxwindow", "closewindow",
                                       "fontname", "fontsize", "fontbold", "fontitalic"};

class DepthScope {
public:
    explicit DepthScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthScope() { --m_depth; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

private:
    int& m_depth;
};

// Only the exact word "No" turns a font switch off.
int FlagFromSwitch(const std::string& value) { return value == "No" ? 0 : kFlagSet; }

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

CWnd* CImageWindow::PoolObject(ControlPool pool, int index) const {
    if (index < 0 || index >= kPoolSize) return nullptr;
    return m_pools[static_cast<size_t>(pool)].objects[static_cast<size_t>(index)].get();
}

CWnd* CImageWindow::ControlObject(int position) const {
    if (position < 0 || position >= m_table.Count()) return nullptr;
    const ControlType* type = FindControlType(m_table[position].type);
    return type != nullptr ? PoolObject(type->pool, m_table[position].poolIndex) : nullptr;
}

void CImageWindow::LoadPage(const std::string& folder, const std::string& fileName, int pageIndex, int pageCount) {
    if (m_host != nullptr) m_host->SetCurrentPage(this);
    m_currentType = "WINDOW";
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
    m_selected = -1;
    // Targets of an earlier load would name controls that are gone.
    m_progressPoolIndex = m_infoWindowId = m_static1WindowId = -1;
}

void CImageWindow::ResetPage() {
    ClearControls();
    m_currentType = "WINDOW";
    SetBackgroundColor("COLOR_BTNFACE");
    Invalidate();
}

int CImageWindow::DpiFor(int monitorDpi) const {
    return m_host != nullptr ? m_host->PageDpi(monitorDpi) : monitorDpi;
}

void CImageWindow::LoadThemeFile(const std::string& path) {
    m_dpi = DpiFor(WindowDpi(m_hWnd));
    m_completed = false;
    m_themePath = path;
    m_themeFolder = ThemeFile::FolderOf(path);
    ResetPage();

    std::string values[std::size(kWindowKeys)];
    for (size_t i = 0; i < std::size(kWindowKeys); ++i) values[i] = ThemeFile::ReadValue(path, "MAINWINDOW", kWindowKeys[i]);
    WindowSettings& s = m_settings;
    s = WindowSettings{};
    s.width = ThemeFile::Number(values[6]);
    s.height = ThemeFile::Number(values[7]);
    s.fontName = values[12];
    s.fontSize = values[13];
    s.fontBold = values[14];
    s.fontItalic = values[15];

    // Window properties 0 to 9, in the order they are applied.
    const std::string properties[] = {values[0], values[1], values[5], values[3],  ThemeFile::WithoutBraces(values[2]),
                                      ThemeFile::WithoutBraces(values[8]), values[4], values[9], values[10], values[11]};
    for (int number = 0; number < static_cast<int>(std::size(properties)); ++number)
        ApplyWindowProperty(number, properties[number]);

    BuildPageFont();

    const int total = ThemeFile::Number(ThemeFile::ReadTotal(path));
    if (total > 0) {
        BuildControls(total);
        m_selected = -1;
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

void CImageWindow::BuildControls(int total) {
    for (int k : ThemeFile::ControlKeysInOrder(m_themePath, total)) {
        // Once the table is full no later line can add a control.
        if (m_table.Full()) break;
        const int before = m_table.Count();
        const int controlKey = ParseControlLine(ThemeFile::ReadValue(m_themePath, "INFO", std::to_string(k)));
        if (m_table.Count() == before) continue;  // no control: its rows have nowhere to go
        ReadControlRows(m_table[0], m_themePath, controlKey, m_themeFolder);
    }
    ApplyLoadedProperties();
}

int CImageWindow::ParseControlLine(const std::string& line) {
    const ControlLine parsed = ControlLine::Parse(line, m_themeFolder);
    if (parsed.type != nullptr) AddControl(parsed.type->kind, parsed.rect, parsed.picturePath);
    return parsed.controlKey;
}

int CImageWindow::AddControlRecord(const RECT& rect, int windowId, const std::string& picturePath,
                                   const std::string& type, int poolIndex, int sequence) {
    const int last = m_table.Insert(NewControlRecord(type, rect, windowId, poolIndex, sequence, picturePath));
    if (last < 0) return -1;
    m_selected = 0;
    m_currentType = type;
    return last;
}

void CImageWindow::ApplyLoadedProperties() {
    for (int position = 0; position < m_table.Count(); ++position) {
        m_selected = position;
        ControlRecord& record = m_table[position];
        m_currentType = record.type;
        const ControlType* type = FindControlType(record.type);
        if (type == nullptr) continue;
        // A control without rows keeps the name its type gave it.
        TakeIdentifierFromRows(record, *type);
        for (const LoadStep& step : type->loadSteps) {
            const std::string property = step.property;
            if (property == "identifier") {
                continue;
            } else if (property == "font") {
                ApplyControlFont(position, step.row);
            } else {
                ApplyProperty(property, record.rows[static_cast<size_t>(step.row)].value, step.row);
            }
        }
        ApplyIdentifierRules(record);
    }
}

void CImageWindow::ApplyControlFont(int position, int firstRow) {
    const ControlRecord& record = m_table[position];
    auto row = [&record, firstRow](int i) -> const std::string& {
        return record.rows[static_cast<size_t>(firstRow + i)].value;
    };
    CWnd* control = ControlObject(position);
    if ((record.type != "BUTTON" && record.type != "TEXT") || control == nullptr) return;
    const LOGFONTA font = ThemeFontDescription(row(0), FontHeightForPoints(ThemeFile::Number(row(1)), m_dpi),
                                               FlagFromSwitch(row(2)), FlagFromSwitch(row(3)));
    if (record.type == "BUTTON")
        static_cast<CMyButton*>(control)->SetTextFont(font);
    else
        static_cast<CNewLabel*>(control)->SetTextFont(font);
}

void CImageWindow::ApplyIdentifierRules(const ControlRecord& record) {
    CWnd* control = ControlObject(m_selected);
    if (control == nullptr) return;
    const std::string& name = record.identifier;
    if (record.type == "BUTTON") {
        if (name == "IDC_NEXT") control->ModifyStyle(0, BS_DEFPUSHBUTTON, SWP_FRAMECHANGED);
        if (m_pageIndex == 0 && name == "IDC_BACK") control->EnableWindow(FALSE);
        if (m_pageIndex >= m_pageCount - 1 && (name == "IDC_BACK" || name == "IDCANCEL")) control->EnableWindow(FALSE);
    } else if (record.type == "TEXTBOX" && name == "IDC_SETTINGS") {
        control->ModifyStyleEx(0, WS_EX_RIGHT | WS_EX_NOPARENTNOTIFY, SWP_FRAMECHANGED);
    }
}

void CImageWindow::ApplyProperty(const std::string& name, const std::string& value, int row) {
    if (m_selected < 0 || m_selected >= m_table.Count()) {
        m_currentType = "WINDOW";
        ApplyWindowProperty(row, value);
        return;
    }
    ControlRecord& record = m_table[m_selected];
    const bool storable = row >= 0 && row < ControlRecord::kMaxRows;
    std::string stored = value;
    if (storable) record.rows[static_cast<size_t>(row)].value = stored;
    CWnd* control = ControlObject(m_selected);
    if (control == nullptr) return;
    const std::string& type = m_currentType;
    // The type decides the control's class: labels for TEXT, pictures for ICON and BITMAP.
    auto label = [control] { return static_cast<CNewLabel*>(control); };
    auto picture = [control] { return static_cast<CMyStatic*>(control); };
    auto isAny = [&type](std::initializer_list<const char*> types) {
        return std::any_of(types.begin(), types.end(), [&type](const char* t) { return type == t; });
    };

    if (name == "BackColor" && isAny({"TEXT", "RECT", "GROUPBOX", "CHECKBOX", "RADIO"})) {
        if (stored.empty()) stored = "COLOR_BTNFACE";
        if (storable) record.rows[static_cast<size_t>(row)].value = stored;
        ApplyColor(stored, 1);
    } else if (type == "BUTTON" && name == "Caption") {
        control->SetWindowText(ExpandTextTokens(value).c_str());
    } else if (type == "TEXT" && name == "Caption") {
        control->SetWindowText(ExpandProductTokens(value).c_str());
        control->Invalidate();
    } else if (type == "TEXT" && name == "Text Align") {
        static const char* const kAlignments[] = {"Center", "Left", "Right"};
        const int digit = ThemeFile::FirstDigit(value);
        if (digit < 3) label()->SetAlign(kAlignments[digit]);
        control->Invalidate();
    } else if (type == "TEXT" && name == "Text Color") {
        ApplyColor(value, 0);
    } else if (type == "TEXT" && name == "URL Link") {
        if (value == "Yes") {
            label()->SetLink(true);
            record.rows[3].value = "0,0,255";
        } else {
            label()->SetLink(false);
        }
    } else if ((type == "GROUPBOX" && name == "Caption") || (isAny({"RADIO", "CHECKBOX"}) && name == "Text")) {
        control->SetWindowText(value.c_str());
    } else if ((type == "LISTVIEW" && name == "Style") || (type == "ANIMATION" && name == "Style:")) {
        const int digit = ThemeFile::FirstDigit(value);
        if (digit == 0) control->ModifyStyle(WS_BORDER, 0);
        if (digit == 1) control->ModifyStyle(0, WS_BORDER);
        if (type == "LISTVIEW") control->Invalidate();
    } else if (type == "ICON" && name == "Icon File:") {
        if (value.compare(0, 3, "IDI") == 0) {
            picture()->SetIconNumber(CMyStatic::IconNumber(value));
        } else if (!value.empty()) {
            // An icon without a file row names no file: nothing to load or report.
            picture()->LoadPicture(value, 100, m_dpi);
            picture()->SetPictureSize(AtPageDpi(picture()->PicturePixels()));
        }
        control->Invalidate();
    } else if (type == "ICON" && name == "BackColor:") {
        picture()->SetBackColor(ThemeFile::Color(ThemeFile::ResolveColorText(value)));
    } else if (type == "BITMAP" && name == "BackColor") {
        const bool face = value.empty() || value.find("0 -") != std::string::npos;
        picture()->SetBackColor(ThemeFile::Color(ThemeFile::ResolveColorText(face ? "COLOR_BTNFACE" : value)));
    }
    // TEXTBOX "Text", "Password", "Read Only" and every other pair: stored only.
}

void CImageWindow::ApplyColor(const std::string& value, int which) {
    const std::string colorText = ThemeFile::ResolveColorText(value);
    const std::string& type = m_currentType;
    if (type == "WINDOW") {
        if (which == 1) SetBackgroundColor(value);
        return;
    }
    CWnd* control = ControlObject(m_selected);
    if (control == nullptr) return;
    if (which == 0) {
        if (type == "TEXT") {
            static_cast<CNewLabel*>(control)->SetTextColor(ThemeFile::Color(colorText));
            control->Invalidate();
        }
        return;
    }
    if (type == "TEXT" || type == "RECT") {
        const ThemeFile::Background back = ThemeFile::LabelBackground(colorText);
        static_cast<CNewLabel*>(control)->SetBackColor(back.color, back.filled);
    } else if (type == "GROUPBOX") {
        static_cast<CMyButton*>(control)->SetBackColor(ThemeFile::Color(colorText));
    } else if (type == "RADIO" || type == "CHECKBOX") {
        static_cast<CMyRadioButton*>(control)->SetBackColor(ThemeFile::Color(colorText));
    } else if (type != "RICHTEXT") {
        return;
    }
    control->Invalidate();
}

void CImageWindow::SetBackgroundColor(const std::string& value) {
    m_backgroundColorText = value.empty() ? std::string("COLOR_BTNFACE") : value;
    m_backgroundBrush.Reset(::CreateSolidBrush(ThemeFile::Color(ThemeFile::ResolveColorText(m_backgroundColorText))));
    if (m_hWnd != nullptr) Invalidate();
}

void CImageWindow::ApplyWindowProperty(int number, const std::string& value) {
    WindowSettings& s = m_settings;
    switch (number) {
    case 0:
        s.idcName = value;
        break;
    case 1:
        s.caption = ExpandTextTokens(value);
        SetWindowText(s.caption.c_str());
        break;
    case 2:
        s.bkColor = value.empty() ? std::string("COLOR_BTNFACE") : value;
        SetBackgroundColor(s.bkColor);
        break;
    case 3: {
        s.border = value;
        const int digit = ThemeFile::FirstDigit(value);
        if (digit == 0) ModifyStyle(WS_BORDER, 0);
        if (digit == 1) ModifyStyle(0, WS_BORDER);
        break;
    }
    case 4:
        s.bkImage = value;
        SetBackgroundImage(value);
        break;
    case 5:
        s.soundFile = value;
        break;
    case 6:
        s.startup = value;
        break;
    case 7:
        s.minWindow = value;
        ModifyStyle(value == "Yes" ? 0 : WS_MINIMIZEBOX, value == "Yes" ? WS_MINIMIZEBOX : 0);
        break;
    case 8:
        s.maxWindow = value;
        ModifyStyle(value == "Yes" ? 0 : WS_MAXIMIZEBOX, value == "Yes" ? WS_MAXIMIZEBOX : 0);
        break;
    case 9:
        s.closeWindow = value;
        ModifyStyle(value == "Yes" ? 0 : WS_SYSMENU, value == "Yes" ? WS_SYSMENU : 0);
        break;
    default:
        return;
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
    ::MoveWindow(m_hWnd, ThemeFile::Saturate(left), ThemeFile::Saturate(top), ThemeFile::Saturate(width),
                 ThemeFile::Saturate(height), TRUE);
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
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    if (m_pictureFlag == kFlagSet && m_picture) {
        RECT outer;
        ::GetWindowRect(m_hWnd, &outer);
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ previous = ::SelectObject(memory, m_picture);
        ::SetStretchBltMode(dc, COLORONCOLOR);
        ::StretchBlt(dc, 0, 0, outer.right - outer.left, outer.bottom - outer.top, memory, 0, 0, m_pictureSize.cx,
                     m_pictureSize.cy, SRCCOPY);
        ::SelectObject(memory, previous);
        ::DeleteDC(memory);
    }
    ::EndPaint(m_hWnd, &paint);
}

void CImageWindow::ApplyDpi(int dpi, const RECT* suggested) {
    m_dpi = dpi;
    BuildPageFont();
    for (int position = 0; position < m_table.Count(); ++position) {
        ControlRecord& record = m_table[position];
        const ControlType* type = FindControlType(record.type);
        CWnd* control = ControlObject(position);
        if (type == nullptr || control == nullptr) continue;
        RECT rect = PlaceControl(*type, record.line, record.picturePath, control);
        ::MoveWindow(control->m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
        GivePageFont(*type, control);
        for (const LoadStep& step : type->loadSteps)
            if (std::string(step.property) == "font") ApplyControlFont(position, step.row);
        rect = RegisteredRect(*type, rect, control);
        record.left = rect.left, record.top = rect.top, record.right = rect.right, record.bottom = rect.bottom;
    }
    SetBackgroundImage(m_settings.bkImage);
    if (suggested != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        PlaceWindow();
    }
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CImageWindow::ShowStatusText(const std::string& text, StatusTarget target) {
    const std::string expanded = ExpandTextTokens(text);
    SetControlText(target == kInfoText ? m_infoWindowId : m_static1WindowId, expanded);
    Invalidate();
}

void CImageWindow::SetControlText(int windowId, const std::string& text) const {
    if (windowId < 0) return;
    HWND control = ::GetDlgItem(m_hWnd, windowId);
    ::SetWindowTextA(control, text.c_str());
    ::InvalidateRect(control, nullptr, TRUE);
}

void CImageWindow::SetProgressRange(int total) {
    if (auto* bar = static_cast<CMyProgress*>(PoolObject(ControlPool::Progress, m_progressPoolIndex)))
        bar->SetRange(total);
}

void CImageWindow::SetProgressPosition(int position) {
    if (auto* bar = static_cast<CMyProgress*>(PoolObject(ControlPool::Progress, m_progressPoolIndex)))
        bar->SetPos(position);
}

void CImageWindow::EnableNamed(const char* identifier, bool enable) const {
    const int windowId = FindControlByName(identifier);
    if (windowId >= 0) ::EnableWindow(::GetDlgItem(m_hWnd, windowId), enable);
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
        if (id == IDCANCEL && m_completed) {
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
