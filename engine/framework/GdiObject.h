#pragma once
#include <windows.h>

// Owns one GDI object (font, brush, bitmap, palette). A new object replaces and
// releases the previous one; an object must not be selected into a device
// context when its owner lets it go (SelectedObject below sees to that).
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
    // The caller owns the object from now on.
    Handle Release() {
        Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
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

// A memory device context like another one, deleted on scope exit.
class MemoryDC {
public:
    explicit MemoryDC(HDC like) : m_dc(::CreateCompatibleDC(like)) {}
    ~MemoryDC() {
        if (m_dc != nullptr) ::DeleteDC(m_dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    operator HDC() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// An object selected into a device context for a scope: the one it replaced
// is selected again on scope exit, so that the object may be released and the
// context deleted. A null object selects nothing.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_previous(dc != nullptr && object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (m_previous != nullptr) ::SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A window's painting, from BeginPaint to EndPaint on scope exit.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::BeginPaint(hwnd, &m_paint)) {}
    ~PaintDC() { ::EndPaint(m_hwnd, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    operator HDC() const { return m_dc; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};
