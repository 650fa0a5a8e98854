#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <utility>

#include "Resample.h"

// Colours, fonts and owned GDI objects for the form framework.

using TColor = COLORREF;
constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clMaroon = RGB(128, 0, 0);
constexpr TColor clNavy = RGB(0, 0, 128);
constexpr TColor clWhite = RGB(255, 255, 255);
// Not a colour: the control takes its parent's.
constexpr TColor clParent = 0xFF000000;
// Not a colour: nothing is see-through.
constexpr TColor clNone = 0x1FFFFFFF;

// Owns one GDI object and deletes it when it goes.
template <class Handle>
class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(Handle handle) : m_handle(handle) {}
    TGdiObject(TGdiObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    ~TGdiObject() { Reset(); }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (m_handle != nullptr) ::DeleteObject(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};

// A font as a layout gives it: the face, the height of the characters in pixels at
// 96 dpi (not points, and without the line's internal leading), colour and
// character set.
struct TFont {
    std::wstring Name;
    int Height = 0;
    TColor Color = clBlack;
    BYTE Charset = DEFAULT_CHARSET;

    bool Empty() const { return Name.empty(); }
    // The font at that DPI: its height grows with it.
    TGdiObject<HFONT> Create(int dpi) const;
};

// A device-independent bitmap: a decoded picture, or button pictures.
class TBitmap {
public:
    // Rows top-down, three bytes a pixel (blue, green, red), `stride` bytes a row.
    static std::shared_ptr<TBitmap> FromBgr(int width, int height, const BYTE* pixels, size_t stride);
    // A bitmap resource of the program.
    static std::shared_ptr<TBitmap> FromResource(const wchar_t* name);
    // Premultiplied pixels, for drawing with their see-through parts (AlphaBlend).
    static std::shared_ptr<TBitmap> FromPixels(const TPixels& pixels);

    // A part's pixels, opaque.
    TPixels Pixels(const RECT& part) const;

    HBITMAP Handle() const { return m_bitmap.Get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    // A top-down section of 24 or 32 bits a pixel; its pixels are left to the caller.
    static std::shared_ptr<TBitmap> CreateSection(int width, int height, WORD bitCount, void*& bits);

    TGdiObject<HBITMAP> m_bitmap;
    int m_width = 0;
    int m_height = 0;
};

// A memory device context with a bitmap selected, for copying a bitmap's pixels.
class TBitmapSource {
public:
    TBitmapSource(HDC compatibleWith, const TBitmap& bitmap);
    ~TBitmapSource();
    TBitmapSource(const TBitmapSource&) = delete;
    TBitmapSource& operator=(const TBitmapSource&) = delete;
    HDC Dc() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
