#include "MyStatic.h"

#include <cstdio>
#include <vector>

#include "../framework/FileStatus.h"
#include "../framework/GdiObject.h"
#include "../framework/MessageBox.h"
#include "PictureFile.h"
#include "PictureLimits.h"
#include "SmoothScale.h"

namespace {
// Theme numbers 0 to 7 ("IDI_EXCLAMATION" ... "IDI_FOLDER") to icon resources.
constexpr int kIconResources[CMyStatic::kBuiltInIcons] = {141, 132, 135, 133, 134, 138, 137, 136};
constexpr const char* kIconNames[CMyStatic::kBuiltInIcons] = {"IDI_EXCLAMATION", "IDI_INFO",    "IDI_ERROR",
                                                              "IDI_TYPICAL",     "IDI_MINIMAL", "IDI_CUSTOM",
                                                              "IDI_SETUP",       "IDI_FOLDER"};
}  // namespace

CMyStatic::CMyStatic() : m_backColor(::GetSysColor(COLOR_BTNFACE)) {}

CMyStatic::~CMyStatic() {
    if (m_ownIcon) ::DestroyIcon(m_icon);
}

int CMyStatic::IconResource(int number) {
    return number >= 0 && number < kBuiltInIcons ? kIconResources[number] : 0;
}

int CMyStatic::IconNumber(const std::string& name) {
    for (int number = 0; number < kBuiltInIcons; ++number)
        if (name == kIconNames[number]) return number;
    return -1;
}

void CMyStatic::LoadPicture(const std::string& path, int percent, int dpi) {
    m_picture = ComPtr<IPicture>();
    m_himetric = m_pixels = m_drawn = SIZE{};
    m_resampled.Reset();
    if (!HasFileStatus(path)) {
        std::vector<char> text(path.size() + 32);
        std::snprintf(text.data(), text.size(), "File not found: (%s)", path.c_str());
        AppMessageBox(text.data(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!AdmitPicture(path, percent, dpi)) return;
    int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring widePath(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, path.c_str(), -1, widePath.data(), length);
    ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicturePath(widePath.data(), nullptr, 0, 0, IID_IPicture, picture.ReceiveVoid())) ||
        !picture)
        return;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    ScreenDC screen;
    m_himetric = {width, height};
    m_pixels = {static_cast<LONG>(HimetricToPixels(width, ::GetDeviceCaps(screen, LOGPIXELSX))),
                static_cast<LONG>(HimetricToPixels(height, ::GetDeviceCaps(screen, LOGPIXELSY)))};
    m_drawn = m_pixels;
    m_picture = std::move(picture);
    if (m_hWnd != nullptr) Invalidate();
}

void CMyStatic::SetPictureSize(SIZE drawn) {
    if (drawn.cx == m_drawn.cx && drawn.cy == m_drawn.cy) return;
    m_drawn = drawn;
    m_resampled.Reset();
    if (m_hWnd != nullptr) Invalidate();
}

void CMyStatic::SetIconNumber(int number) {
    m_iconMode = true;
    const bool known = IconResource(number) != 0;
    if (known) m_iconNumber = number;
    ShowIcon(known);
}

void CMyStatic::SetIconSize(int pixels) {
    if (pixels == m_iconSize) return;
    m_iconSize = pixels;
    if (m_iconNumber >= 0) ShowIcon(true);
}

void CMyStatic::ShowIcon(bool load) {
    const HICON previous = m_ownIcon && load ? m_icon : nullptr;
    if (load) {
        // At the system's icon size the program's shared icon serves; any other
        // size is made from the resource's best image, as an icon of this control's own.
        const auto resource = MAKEINTRESOURCEA(IconResource(m_iconNumber));
        m_ownIcon = m_iconSize != ::GetSystemMetrics(SM_CXICON);
        m_icon = m_ownIcon ? static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), resource, IMAGE_ICON,
                                                             m_iconSize, m_iconSize, LR_DEFAULTCOLOR))
                           : ::LoadIconA(::GetModuleHandleA(nullptr), resource);
        m_ownIcon = m_ownIcon && m_icon != nullptr;
    }
    SendMessage(STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_icon));
    SetIcon(m_icon);
    // Only now does the window no longer hold the icon it had.
    if (previous != nullptr) ::DestroyIcon(previous);
    Invalidate();
}

void CMyStatic::SetBackColor(COLORREF color) {
    m_backColor = color;
    m_resampled.Reset();
    Invalidate();
}

LRESULT CMyStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        OnPaint();
        return 0;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

void CMyStatic::RenderPicture(HDC dc, int x, int y) const {
    // Pictures are stored bottom-up: start at the HIMETRIC height, go up.
    m_picture->Render(dc, x, y, m_pixels.cx, m_pixels.cy, 0, m_himetric.cy, m_himetric.cx, -m_himetric.cy, nullptr);
}

void CMyStatic::OnPaint() {
    PaintDC dc(m_hWnd);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (m_iconMode) {
        BrushHandle background(::CreateSolidBrush(m_backColor));
        ::FillRect(dc, &client, background);
        if (m_icon != nullptr)
            ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(m_icon), 0, 0, 0, m_iconSize, m_iconSize,
                         DST_ICON);
    } else if (m_picture && (m_drawn.cx != m_pixels.cx || m_drawn.cy != m_pixels.cy)) {
        DrawResampled(dc);
    } else if (m_picture) {
        OLE_HANDLE palette = 0;
        HPALETTE previousPalette = nullptr;
        if (SUCCEEDED(m_picture->get_hPal(&palette)) && palette != 0) {
            previousPalette = ::SelectPalette(dc, reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(palette)), FALSE);
            ::RealizePalette(dc);
        }
        DWORD attributes = 0;
        if (FAILED(m_picture->get_Attributes(&attributes)) || (attributes & PICTURE_TRANSPARENT)) {
            // Off screen over the background colour, then copied in one piece.
            BitmapHandle canvas(RenderOverBackground(dc));
            CopyBitmap(dc, canvas, m_pixels);
        } else {
            RenderPicture(dc, 0, 0);
        }
        if (previousPalette != nullptr) ::SelectPalette(dc, previousPalette, FALSE);
    }
}

void CMyStatic::DrawResampled(HDC dc) {
    // Rendered as a transparent picture is drawn, then resampled once for every paint to come.
    if (!m_resampled) {
        BitmapHandle canvas(RenderOverBackground(dc));
        m_resampled.Reset(SmoothScaled(canvas, m_drawn));
    }
    CopyBitmap(dc, m_resampled, m_drawn);
}

HBITMAP CMyStatic::RenderOverBackground(HDC dc) const {
    MemoryDC memory(dc);
    if (!memory) return nullptr;
    BitmapHandle canvas(::CreateCompatibleBitmap(dc, m_pixels.cx, m_pixels.cy));
    if (!canvas) return nullptr;
    {
        SelectedObject drawn(memory, canvas);
        RECT area = {0, 0, m_pixels.cx, m_pixels.cy};
        BrushHandle background(::CreateSolidBrush(m_backColor));
        ::FillRect(memory, &area, background);
        RenderPicture(memory, 0, 0);
    }
    return canvas.Release();
}

void CMyStatic::CopyBitmap(HDC dc, HBITMAP bitmap, SIZE size) {
    if (bitmap == nullptr) return;
    MemoryDC memory(dc);
    if (!memory) return;
    SelectedObject copied(memory, bitmap);
    ::BitBlt(dc, 0, 0, size.cx, size.cy, memory, 0, 0, SRCCOPY);
}

SIZE CMyStatic::LoadLinePicture(const std::string& path, int dpi) {
    // Without a readable picture the control has no size. A variant made for
    // a larger scaling stands for the named picture: the layout keeps the
    // named picture's size.
    const PictureChoice choice = ChoosePictureFile(path, dpi);
    if (HasFileStatus(choice.path)) LoadPicture(choice.path, choice.percent, dpi);
    return {::MulDiv(m_pixels.cx, 100, choice.percent), ::MulDiv(m_pixels.cy, 100, choice.percent)};
}

void CMyStatic::Placed(const RECT& rect, int) { SetPictureSize({rect.right - rect.left, rect.bottom - rect.top}); }

void CBitmapPicture::ApplyRow(const AppliedRow& row, const PageLends&) {
    if (row.property != "BackColor") return;
    // "0 - ..." stands for the button face, as an empty value does.
    const bool face = row.value.empty() || row.value.find("0 -") != std::string::npos;
    SetBackColor(ThemeFile::ResolvedColor(face ? "COLOR_BTNFACE" : row.value));
}

void CIconPicture::ApplyRow(const AppliedRow& row, const PageLends& page) {
    if (row.property == "Icon File:") {
        if (row.value.compare(0, 3, "IDI") == 0) {
            SetIconNumber(IconNumber(row.value));
        } else if (!row.value.empty()) {
            // An icon without a file row names no file: nothing to load or report.
            LoadPicture(row.value, 100, page.dpi);
            SizeIconFile(page.dpi);
        }
        Invalidate();
    } else if (row.property == "BackColor:") {
        SetBackColor(ThemeFile::ResolvedColor(row.value));
    }
}

void CIconPicture::Placed(const RECT&, int dpi) {
    SetIconSize(ThemeFile::AtDpi(kIconPixels, dpi));
    SizeIconFile(dpi);
}

void CIconPicture::SizeIconFile(int dpi) {
    // An icon file shown instead of a built-in icon scales as a picture.
    if (PictureLoaded())
        SetPictureSize({ThemeFile::AtDpi(PicturePixels().cx, dpi), ThemeFile::AtDpi(PicturePixels().cy, dpi)});
}
