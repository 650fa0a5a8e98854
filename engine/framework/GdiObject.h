#pragma once
#include <windows.h>

// Owns one GDI object (font, brush, bitmap, palette). A new object replaces and
// releases the previous one; an object must not be selected into a device
// context when its owner lets it go.
template <class Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : m_handle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    void Reset(Handle handle = nullptr) {
        if (m_handle != nullptr && m_handle != handle) ::DeleteObject(m_handle);
        m_handle = handle;
    }
    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    Handle m_handle = nullptr;
};

using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using BitmapHandle = GdiObject<HBITMAP>;

// A device context of the screen for reading its resolution, released on scope exit.
class ScreenDC {
public:
    explicit ScreenDC(HWND hwnd = nullptr) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~ScreenDC() {
        if (m_dc != nullptr) ::ReleaseDC(m_hwnd, m_dc);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    operator HDC() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};
