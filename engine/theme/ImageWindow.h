#pragma once
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../controls/ControlTypes.h"
#include "../controls/PageControl.h"
#include "../framework/Dialog.h"
#include "../framework/Dpi.h"
#include "../framework/FocusKeeper.h"
#include "../framework/GdiObject.h"
#include "ControlTable.h"
#include "ProgressPage.h"
#include "WindowSettings.h"

class PageHost;

// The skinned window that shows one page of a theme: its look from the theme's
// "MAINWINDOW" keys, its controls from the "INFO" lines and "DADOS" rows. Each
// control takes its own rows (CPageControl); loaded from "uninstall.lcd", the
// page is prepared as the progress page (CProgressPage), which is what the run
// is handed.
class CImageWindow : public CDialog {
public:
    static constexpr int kFirstWindowId = 3000;
    static constexpr int kLastClickId = 3030;  // controls after the 31st send no clicks
    static constexpr UINT_PTR kPageTimer = 1;
    static constexpr char kProgressPageFile[] = "uninstall.lcd";

    // Where a property goes to the window itself rather than to a control.
    static constexpr int kWindow = -1;

    explicit CImageWindow(PageHost* host);
    ~CImageWindow() override;

    // An empty hidden pop-up with caption and system menu, without parent.
    BOOL Create(HWND parent = nullptr);

    void LoadPage(const std::string& folder, const std::string& fileName, int pageIndex, int pageCount);
    // Takes the page's DPI (from its host, for the monitor it is on), then reads the file.
    void LoadThemeFile(const std::string& path);
    void ResetPage();
    // A width or height that is missing, 0 or negative gives the page the size
    // that holds its controls.
    void PlaceWindow();
    void SetBackgroundImage(const std::string& path);

    // Control table (controls are created by the Add operations below, from the
    // line's rectangle at 96 dpi; the table holds them at the page's DPI).
    int ParseControlLine(const std::string& line);
    int AddControlRecord(const RECT& rect, int windowId, const std::string& picturePath, const std::string& type,
                         int poolIndex, int sequence);
    void ApplyLoadedProperties();
    // Stores the value as the row of the control at the table position and
    // lets the control apply it; at kWindow (or any position without a
    // control) the window property numbered `row` takes it.
    void ApplyProperty(int position, std::string_view name, const std::string& value, int row);
    // which 0: text colour, 1: background colour, of the control at the table
    // position or of the window.
    void ApplyColor(int position, const std::string& value, int which);
    int FindClickAction(int position) const { return m_table.FindClickAction(position); }
    int FindControlByName(const std::string& identifier) const { return m_table.FindControlByName(identifier); }
    int FindPoolIndex(int windowId) const { return m_table.FindPoolIndex(windowId); }
    int FindRecordByWindowId(int windowId) const { return m_table.FindRecordByWindowId(windowId); }

    // One entry per control type; all go through AddControl and the type table.
    void AddButton(const RECT& r) { AddControl(ControlKind::Button, r); }
    void AddBitmap(const RECT& r, const std::string& picture) { AddControl(ControlKind::Bitmap, r, picture); }
    void AddText(const RECT& r) { AddControl(ControlKind::Text, r); }
    void AddRect(const RECT& r) { AddControl(ControlKind::Rect, r); }
    void AddHover(const RECT& r, const std::string& picture) { AddControl(ControlKind::Hover, r, picture); }
    void AddTextBox(const RECT& r) { AddControl(ControlKind::TextBox, r); }
    void AddComboBox(const RECT& r) { AddControl(ControlKind::ComboBox, r); }
    void AddRadio(const RECT& r) { AddControl(ControlKind::Radio, r); }
    void AddHotspot(const RECT& r) { AddControl(ControlKind::Hotspot, r); }
    void AddAnimation(const RECT& r) { AddControl(ControlKind::Animation, r); }
    void AddProgress(const RECT& r) { AddControl(ControlKind::Progress, r); }
    void AddListView(const RECT& r) { AddControl(ControlKind::ListView, r); }
    void AddGroupBox(const RECT& r) { AddControl(ControlKind::GroupBox, r); }
    void AddIcon(const RECT& r) { AddControl(ControlKind::Icon, r); }
    void AddTreeView(const RECT& r) { AddControl(ControlKind::TreeView, r); }
    void AddFrame(const RECT& r) { AddControl(ControlKind::Frame, r); }
    void AddRichText(const RECT& r) { AddControl(ControlKind::RichText, r); }
    void AddCheckBox(const RECT& r) { AddControl(ControlKind::CheckBox, r); }

    // The progress page and the run's reports (the run calls these from its worker).
    void SetupProgressPage() { m_progress.Setup(); }
    void ShowStatusText(const std::string& text, UninstallPage::StatusTarget target) {
        m_progress.ShowStatusText(text, target);
    }
    void SetProgressRange(int total) { m_progress.SetProgressRange(total); }
    void SetProgressPosition(int position) { m_progress.SetProgressPosition(position); }
    void EnableCancel() { m_progress.EnableCancel(); }
    void ShowCompletion() { m_progress.ShowCompletion(); }
    CProgressPage& Progress() { return m_progress; }
    const CProgressPage& Progress() const { return m_progress; }

    // Clicks of the controls with window identifiers 3000 to 3030 go to the
    // host, which gives them their meaning. After "IDC_BACK" or "IDC_NEXT" the
    // page ends itself when the host shows another.
    void OnControlCommand(int windowId);
    // An ended page is hidden, takes no more clicks and waits for its host to
    // destroy it, which the host must not do while one of its handlers runs.
    bool Ended() const { return m_ended; }
    bool HandlingCommand() const { return m_commandDepth > 0; }

    // The controls the theme named; a name the page lacks changes nothing. A
    // control disabled under the keyboard focus hands it on (FocusRefuge) and
    // has it back when enabled again.
    void EnableNamed(const char* identifier, bool enable);
    void CheckNamed(const char* identifier, bool check) const;
    // The text of the control with the window identifier (none for -1), repainted.
    void SetControlText(int windowId, const std::string& text) const;

    // The keyboard. The page moves Tab and Shift+Tab through the controls that
    // take the focus, in reading order (ReadingOrder.h), and the arrow keys
    // between the two radio buttons of a pair its host names, pressing the one
    // they reach; its windows keep the order they were made in.
    // The controls that take the focus now (shown and enabled), in reading order.
    std::vector<HWND> FocusOrder() const;
    // When the page is shown: "IDC_NEXT" when it can take the focus, else the
    // first control of the focus order, else the page itself.
    void FocusFirstControl();
    // Where the focus goes from a control about to be disabled: the one before
    // it in the focus order, else the one after, else the page.
    HWND FocusRefuge(HWND leaving) const;
    // The control takes the focus, its text selected when it is a text box,
    // and the focus cue shows from now on, as after any key of the keyboard.
    void FocusControl(HWND control, bool byKeyboard = false);

    // What the page holds, for the program's flow, tools and tests.
    const ControlTable& Table() const { return m_table; }
    const WindowSettings& Settings() const { return m_settings; }
    CWnd* ControlObject(int position) const;
    const std::string& FileName() const { return m_fileName; }
    const std::string& ThemePath() const { return m_themePath; }
    int PageIndex() const { return m_pageIndex; }
    int PageCount() const { return m_pageCount; }
    // Every pixel measure of the page is its theme's at 96 dpi scaled to this.
    int Dpi() const { return m_dpi; }
    int PictureFlag() const { return m_pictureFlag; }
    SIZE PictureSize() const { return m_pictureSize; }
    HBRUSH BackgroundBrush() const { return m_backgroundBrush; }
    const std::string& BackgroundColorText() const { return m_backgroundColorText; }
    HFONT PageFontHandle() const { return m_pageFont ? m_pageFont->Get() : nullptr; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter never reaches the page or its controls, so it never presses the
    // default button; then the page's own Tab and arrow keys; then the usual
    // dialog keys.
    bool PreTranslateMessage(MSG* msg) override;

private:
    // Tab, Shift+Tab and the arrow keys as the page moves them; false for a key left to the dialog's handling.
    bool NavigateByKeyboard(const MSG& msg);
    // The focus cue hidden after a click or at the start, shown after a key (WM_UPDATEUISTATE's parameter).
    static WPARAM CuesByLastInput();
    // The page keeps its cue state and answers WM_QUERYUISTATE for its controls
    // (Wine keeps none); the focused control is drawn again when it changes.
    void NoteCueChange(WPARAM change);
    LRESULT CueState();
    // The page's child that holds the window (itself, or a window inside it), or null.
    HWND PageChildOf(HWND window) const;
    // Names, roles and decorative marks for assistive technology, once the controls are built.
    void DescribeControls();
    // What a click on the control does, in the word of a button ("Next"), for its name.
    std::string CommandOf(int position) const;
    // The system's colours or high contrast changed: everything is drawn again.
    void OnSystemColorsChanged();

    struct Pool {
        int count = 0;
        std::array<std::unique_ptr<CPageControl>, kPoolSize> objects;
    };

    void AddControl(ControlKind kind, const RECT& line, const std::string& picturePath = {});
    // The control's rectangle at the page's DPI by its type's size rule, once
    // the control has loaded what its size depends on.
    RECT PlaceControl(const ControlType& type, const RECT& line, const std::string& picturePath,
                      CPageControl& control) const;
    // Each control placed again, with its fonts, at the page's DPI.
    void LayOutControls();
    // A row of the control's record under the property name of its step.
    void ApplyLoadStep(int position, const LoadStep& step);
    CPageControl* PageControl(int position) const;
    PageLends Lends() const;
    SIZE AtPageDpi(SIZE designSize) const;
    // The DPI the page takes on a monitor of that DPI: its host decides.
    int DpiFor(int monitorDpi) const;
    // Lays the loaded page out again at another DPI, in the rectangle suggested
    // or, without one, where its theme places it.
    void ApplyDpi(int dpi, const RECT* suggested);
    void BuildPageFont();
    SIZE UsableSize() const;
    void ClearControls();
    void BuildControls(int total);
    void ApplyWindowProperty(int number, const std::string& value);
    void SetBackgroundColor(const std::string& value);
    // Ends the page the way a dialog ends on OK.
    void EndPage();
    void OnPaint();

    PageHost* m_host;
    ControlTable m_table;
    std::array<Pool, static_cast<size_t>(ControlPool::Count)> m_pools;
    int m_nextWindowId = kFirstWindowId;
    int m_sequence = 0;
    int m_pageIndex = 0;
    int m_pageCount = 0;
    std::string m_fileName;
    std::string m_themePath;
    std::string m_themeFolder;
    WindowSettings m_settings;
    int m_dpi = kDesignDpi;

    std::string m_backgroundColorText = "COLOR_BTNFACE";
    BrushHandle m_backgroundBrush;
    BitmapHandle m_picture;
    SIZE m_pictureSize{};
    int m_pictureFlag = 0;
    std::shared_ptr<FontHandle> m_pageFont;  // built by the host, shared

    CProgressPage m_progress{*this};
    FocusKeeper m_focusKeeper{[this](HWND leaving) { return FocusRefuge(leaving); }};
    bool m_ended = false;
    bool m_focusCuesHidden = true;
    int m_commandDepth = 0;  // click handlers of this page running, nested ones included
};
