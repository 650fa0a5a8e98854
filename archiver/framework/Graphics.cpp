#include "Graphics.h"

#include <cstring>

TGdiObject<HFONT> TFont::Create() const {
    LOGFONTW font{};
    font.lfHeight = -Height;  // negative: the characters' own height
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = Charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    Name.copy(font.lfFaceName, LF_FACESIZE - 1);
    return TGdiObject<HFONT>(::CreateFontIndirectW(&font));
}

std::shared_ptr<TBitmap> TBitmap::FromBgr(int width, int height, const BYTE* pixels, size_t stride) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    const size_t dibStride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    for (int row = 0; row < height; ++row)
        std::memcpy(static_cast<BYTE*>(bits) + dibStride * row, pixels + stride * row, static_cast<size_t>(width) * 3);
    auto result = std::make_shared<TBitmap>();
    result->m_bitmap.Reset(bitmap);
    result->m_width = width;
    result->m_height = height;
    return result;
}

std::shared_ptr<TBitmap> TBitmap::FromResource(const wchar_t* name) {
    HANDLE image = ::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (image == nullptr) return nullptr;
    auto result = std::make_shared<TBitmap>();
    result->m_bitmap.Reset(static_cast<HBITMAP>(image));
    BITMAP header{};
    ::GetObjectW(image, sizeof header, &header);
    result->m_width = header.bmWidth;
    result->m_height = header.bmHeight;
    return result;
}

TBitmapSource::TBitmapSource(HDC compatibleWith, const TBitmap& bitmap)
    : m_dc(::CreateCompatibleDC(compatibleWith)), m_previous(::SelectObject(m_dc, bitmap.Handle())) {}

TBitmapSource::~TBitmapSource() {
    ::SelectObject(m_dc, m_previous);
    ::DeleteDC(m_dc);
}
