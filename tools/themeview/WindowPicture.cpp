#include "WindowPicture.h"

#include <wincodec.h>

namespace WindowPicture {
namespace {
template <class Interface>
struct Com {
    Interface* p = nullptr;
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (p != nullptr) p->Release();
    }
    Interface** operator&() { return &p; }
    Interface* operator->() const { return p; }
};

// A device context's rectangle copied into a 24-bit picture.
bool CopyArea(HDC source, int left, int top, int width, int height, Pixels* pixels) {
    *pixels = Pixels{};
    if (source == nullptr || width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return false;
    HDC memory = ::CreateCompatibleDC(source);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    const BOOL copied = ::BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    ::GdiFlush();
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
    if (copied) {
        pixels->width = width;
        pixels->height = height;
        pixels->stride = (static_cast<UINT>(width) * 3 + 3) & ~3u;
        const auto* first = static_cast<const BYTE*>(bits);
        pixels->bytes.assign(first, first + static_cast<size_t>(pixels->stride) * static_cast<size_t>(height));
    }
    ::DeleteObject(bitmap);
    return copied != FALSE;
}
}  // namespace

bool WritePng(const std::wstring& path, int width, int height, const BYTE* pixels, UINT stride) {
    Com<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory))))
        return false;
    Com<IWICStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    return SUCCEEDED(factory->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
           SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR &&
           SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), stride, stride * static_cast<UINT>(height),
                                        const_cast<BYTE*>(pixels))) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

bool Save(const Pixels& pixels, const std::wstring& path) {
    return !pixels.bytes.empty() && WritePng(path, pixels.width, pixels.height, pixels.bytes.data(), pixels.stride);
}

bool CopyFromScreen(HWND window, Pixels* pixels) {
    RECT bounds{};
    if (!::GetWindowRect(window, &bounds)) return false;
    HDC screen = ::GetDC(nullptr);
    const bool copied =
        CopyArea(screen, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, pixels);
    ::ReleaseDC(nullptr, screen);
    return copied;
}

bool SaveFromScreen(HWND window, const std::wstring& path) {
    Pixels pixels;
    return CopyFromScreen(window, &pixels) && Save(pixels, path);
}

bool SaveOwnWindow(HWND window, const std::wstring& path) {
    RECT bounds{};
    if (!::GetWindowRect(window, &bounds)) return false;
    HDC dc = ::GetWindowDC(window);
    Pixels pixels;
    const bool saved = CopyArea(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top, &pixels) &&
                       Save(pixels, path);
    ::ReleaseDC(window, dc);
    return saved;
}

}  // namespace WindowPicture
