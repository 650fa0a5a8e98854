#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Accessible.h"
#include "Component.h"
#include "Dpi.h"
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

    // The place in the parent's client area as laid out for 96 dpi: the control
    // stands there scaled to its form's DPI.
    void SetBounds(int left, int top, int width, int height);
    // Where it stands, in pixels of the parent's client area.
    RECT BoundsRect() const;
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    // A control disabled under the keyboard focus first hands it to the next
    // control of the Tab order: the focus is never left nowhere.
    void SetEnabled(bool enabled);
    // Whether the keyboard focus is on the control or inside it.
    bool Focused() const;

    // For assistive technology (Accessible.h): the name as it is when a client
    // asks, where the window's text says nothing or too little; a live region,
    // read out when AnnounceChange says its content changed.
    void SetAccessibleName(std::function<std::wstring()> name);
    void SetLiveRegion();
    void AnnounceChange() const;

    // The control's own font, or its parent's while it has none.
    const TFont& Font() const;
    void SetFont(const TFont& font);
    // The background: the control's own colour, or its parent's (clParent).
    TColor Color() const;
    void SetColor(TColor color);
    HBRUSH BackgroundBrush();
    // What the control shows: its colours, or the system's window colours in high contrast.
    TColor ShownColor() const;
    TColor ShownTextColor() const;

    // The DPI the control is laid out for: its form's.
    virtual int Dpi() const;
    // A measure of the layout at the control's DPI.
    int Scaled(int designPixels) const { return ScaleToDpi(designPixels, Dpi()); }
    // The form's DPI changed: the control's place and font follow, its own
    // measures, and its children.
    void ChangeScale(int previousDpi);

    // The system's colours or high contrast changed: colours the control gave its
    // window follow. The form passes it to every control.
    virtual void ColorsChanged() {}

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
    // Measures of the control's own (columns, item heights) follow a new DPI.
    virtual void ScaleChanged(int previousDpi) {}
    // A control of the window took the keyboard focus (WM_SETFOCUS); the form keeps it.
    virtual void ControlFocused(HWND control) {
        if (m_parent != nullptr) m_parent->ControlFocused(control);
    }
    HFONT FontHandle() const;

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    static HWND NotifyingChild(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    void Place();

    TWinControl* m_parent;
    HWND m_handle = nullptr;
    TBounds m_bounds;
    WNDPROC m_previousProc = nullptr;
    TFont m_font;
    TGdiObject<HFONT> m_fontHandle;
    TColor m_color = clParent;
    TGdiObject<HBRUSH> m_brush;
    std::unique_ptr<TAccessibleFacts> m_accessible;  // made at the first use
};
