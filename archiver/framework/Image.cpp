#include "Image.h"

void TImage::SetPicture(std::shared_ptr<TBitmap> picture) {
    m_picture = std::move(picture);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TImage::Paint(HDC dc) {
    if (m_picture == nullptr) {
        EraseBackground(dc);
        return;
    }
    RECT client{};
    ::GetClientRect(Handle(), &client);
    TBitmapSource source(dc, *m_picture);
    // Halftone keeps a picture shrunk to half its size smooth instead of dotted.
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, 0, 0, client.right, client.bottom, source.Dc(), 0, 0, m_picture->Width(), m_picture->Height(),
                 SRCCOPY);
}
