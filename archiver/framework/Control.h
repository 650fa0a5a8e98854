#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "Component.h"
#include "Graphics.h"

enum class TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// A control that owns one window. Its window is a real child window of its parent
// control's (a form's is top-level), so the keyboard, screen readers and automation
// reach it. Messages of the window reach WindowProc; the notifications a child
// sends its parent (commands, WM_NOTIFY, colours, owner drawing) are handed back to
// the child's own object, which is where per-control behaviour lives.
class TWinControl : public TComponent {
public:
    TWinControl(TComponent* Owner, TWinControl* Parent);
    ~TWinControl() override;

    HWND Handle() const { return m_handle; }
    TWinControl* Parent() const { return m_parent; }
    HWND DialogOwner() const override { return m_handle != nullptr ? ::GetAncestor(m_handle, GA_ROOT) : nullptr; }

    // In the parent's client coordinates.
    void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const;
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // The control's own font, or its parent's while it has none.
    const TFont& Font() const;
    void SetFont(const TFont& font);
    // The background: the control's own colour, or its parent's (clParent).
    TColor Color() const;
    void SetColor(TColor color);
    HBRUSH BackgroundBrush();

    // The control bound to a window handle, or null.
    static TWinControl* FromHandle(HWND hwnd);

protected:
    // A window class of the program's own, drawn by its control's WindowProc.
    static void RegisterWindowClass(const wchar_t* className);
    // Makes the window at zero size and binds it; the layout sets the rest.
    void CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle = 0);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification about this control that its parent received: true when the
    // control handled it, with the result to return.
    virtual bool Notified(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Fills the client area with the background; the answer to WM_ERASEBKGND.
    LRESULT EraseBackground(HDC dc);
    // The font changed; controls that draw their own text follow it here.
    virtual void FontChanged() {}
    HFONT FontHandle() const;

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    static HWND NotifyingChild(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    TWinControl* m_parent;
    HWND m_handle = nullptr;
    WNDPROC m_previousProc = nullptr;
    TFont m_font;
    TGdiObject<HFONT> m_fontHandle;
    TColor m_color = clParent;
    TGdiObject<HBRUSH> m_brush;
};
