#include "Graphics.h"

#include <algorithm>
#include <cstring>

#include "Dpi.h"

namespace {
BITMAPINFO TopDown(int width, int height, WORD bitCount) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
}  // namespace

TGdiObject<HFONT> TFont::Create(int dpi) const {
    LOGFONTW font{};
    font.lfHeight = -ScaleToDpi(Height, dpi);  // negative: the characters' own height
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = Charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    Name.copy(font.lfFaceName, LF_FACESIZE - 1);
    return TGdiObject<HFONT>(::CreateFontIndirectW(&font));
}

std::shared_ptr<TBitmap> TBitmap::CreateSection(int width, int height, WORD bitCount, void*& bits) {
    BITMAPINFO info = TopDown(width, height, bitCount);
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    auto result = std::make_shared<TBitmap>();
    result->m_bitmap.Reset(bitmap);
    result->m_width = width;
    result->m_height = height;
    return result;
}

std::shared_ptr<TBitmap> TBitmap::FromBgr(int width, int height, const BYTE* pixels, size_t stride) {
    void* bits = nullptr;
    auto result = CreateSection(width, height, 24, bits);
    if (result == nullptr) return nullptr;
    const size_t dibStride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    for (int row = 0; row < height; ++row)
        std::memcpy(static_cast<BYTE*>(bits) + dibStride * row, pixels + stride * row, static_cast<size_t>(width) * 3);
    return result;
}

std::shared_ptr<TBitmap> TBitmap::FromPixels(const TPixels& pixels) {
    void* bits = nullptr;
    auto result = CreateSection(pixels.Width, pixels.Height, 32, bits);
    if (result != nullptr) std::memcpy(bits, pixels.Bgra.data(), pixels.Bgra.size());
    return result;
}

TPixels TBitmap::Pixels(const RECT& part) const {
    TPixels whole{m_width, m_height, std::vector<uint8_t>(static_cast<size_t>(m_width) * m_height * 4)};
    BITMAPINFO info = TopDown(m_width, m_height, 32);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, m_bitmap.Get(), 0, static_cast<UINT>(m_height), whole.Bgra.data(), &info,
                                 DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != m_height) return {};
    const RECT inside{std::max(part.left, 0L), std::max(part.top, 0L), std::min(part.right, static_cast<LONG>(m_width)),
                      std::min(part.bottom, static_cast<LONG>(m_height))};
    if (inside.right <= inside.left || inside.bottom <= inside.top) return {};
    TPixels result{inside.right - inside.left, inside.bottom - inside.top, {}};
    for (LONG row = inside.top; row < inside.bottom; ++row) {
        const auto begin = whole.Bgra.begin() + (static_cast<ptrdiff_t>(row) * m_width + inside.left) * 4;
        result.Bgra.insert(result.Bgra.end(), begin, begin + static_cast<ptrdiff_t>(result.Width) * 4);
    }
    for (size_t at = 3; at < result.Bgra.size(); at += 4) result.Bgra[at] = 255;
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
