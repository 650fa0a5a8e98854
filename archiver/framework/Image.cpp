#include "Image.h"

TImage::TImage(TComponent* Owner, TWinControl* Parent) : TWinControl(Owner, Parent) {
    RegisterWindowClass(L"TImage");
    CreateHandle(L"TImage", WS_VISIBLE);
}

void TImage::SetPicture(std::shared_ptr<TBitmap> picture) {
    m_picture = std::move(picture);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TImage::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (m_picture == nullptr) {
        ::FillRect(dc, &client, BackgroundBrush());
        return;
    }
    TBitmapSource source(dc, *m_picture);
    // Halftone keeps a picture shrunk to half its size smooth instead of dotted.
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, 0, 0, client.right, client.bottom, source.Dc(), 0, 0, m_picture->Width(), m_picture->Height(),
                 SRCCOPY);
}

LRESULT TImage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(Handle(), &paint);
        Paint(dc);
        ::EndPaint(Handle(), &paint);
        return 0;
    }
    }
    return TWinControl::WindowProc(message, wParam, lParam);
}
