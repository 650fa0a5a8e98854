#include "SpeedButton.h"

namespace {
constexpr COLORREF kSeeThrough = RGB(255, 0, 255);
constexpr int kSpacing = 4;  // between the caption and the picture, at 96 dpi
}  // namespace

TSpeedButton::TSpeedButton(TComponent* Owner, TWinControl* Parent) : TWinControl(Owner, Parent) {
    CreateHandle(L"Button", WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW);
}

void TSpeedButton::SetGlyph(const std::shared_ptr<TBitmap>& strip, int index) {
    if (strip == nullptr || index < 0) return;
    m_glyphSize = strip->Height();
    m_glyph = TScaledPicture(*strip, {index * m_glyphSize, 0, (index + 1) * m_glyphSize, m_glyphSize}, kSeeThrough);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TSpeedButton::SetHot(bool hot) {
    if (m_hot == hot) return;
    m_hot = hot;
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT TSpeedButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_HAND)));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (!m_hot) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
            ::TrackMouseEvent(&track);
            SetHot(true);
        }
        break;
    case WM_MOUSELEAVE: SetHot(false); break;
    // Enter presses the focused button, as on any push button of a window that is
    // no dialog: the dialog keys would send it to the form as IDOK instead.
    case WM_GETDLGCODE: {
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        const LRESULT code = TWinControl::WindowProc(message, wParam, lParam);
        return key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN ? code | DLGC_WANTMESSAGE
                                                                                         : code;
    }
    case WM_KEYDOWN:
        // A held key presses once.
        if (wParam == VK_RETURN && (lParam & (1 << 30)) == 0) {
            ::SendMessageW(Handle(), BM_CLICK, 0, 0);
            return 0;
        }
        break;
    }
    return TWinControl::WindowProc(message, wParam, lParam);
}

bool TSpeedButton::Notified(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        // A drawn button reports a quick second click as a double click: it is a
        // second press, as on any push button.
        if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == BN_DOUBLECLICKED) {
            if (OnClick) OnClick(this);
            result = 0;
            return true;
        }
        return false;
    case WM_DRAWITEM:
        Paint(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return TWinControl::Notified(message, wParam, lParam, result);
}

void TSpeedButton::Paint(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT bounds = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    ::FillRect(dc, &bounds, BackgroundBrush());
    if (pressed)
        ::DrawEdge(dc, &bounds, BDR_SUNKENOUTER, BF_RECT);
    else if (m_hot && !disabled)
        ::DrawEdge(dc, &bounds, BDR_RAISEDINNER, BF_RECT);

    const std::wstring caption = Text();
    HGDIOBJ previousFont = ::SelectObject(dc, FontHandle());
    SIZE textSize{};
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &textSize);
    const int glyphSize = m_glyph.Empty() ? 0 : Scaled(m_glyphSize);
    const int spacing = Scaled(kSpacing);
    const int width = textSize.cx + (glyphSize > 0 ? spacing + glyphSize : 0);
    const int shift = pressed ? 1 : 0;
    const int left = bounds.left + (bounds.right - bounds.left - width) / 2 + shift;
    const int middle = (bounds.top + bounds.bottom) / 2 + shift;

    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, disabled ? ::GetSysColor(COLOR_GRAYTEXT) : ShownTextColor());
    ::TextOutW(dc, left, middle - textSize.cy / 2, caption.c_str(), static_cast<int>(caption.size()));
    ::SelectObject(dc, previousFont);

    if (glyphSize > 0) m_glyph.Draw(dc, left + textSize.cx + spacing, middle - glyphSize / 2, glyphSize, glyphSize);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus = bounds;
        ::InflateRect(&focus, -Scaled(3), -Scaled(3));
        ::DrawFocusRect(dc, &focus);
    }
}
