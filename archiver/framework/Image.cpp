#include "Image.h"

void TImage::SetPicture(std::shared_ptr<TBitmap> picture) {
    m_picture = std::move(picture);
    m_drawn = m_picture != nullptr ? TScaledPicture(*m_picture, {0, 0, m_picture->Width(), m_picture->Height()}, clNone)
                                   : TScaledPicture();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TImage::Paint(HDC dc) {
    if (m_drawn.Empty()) {
        EraseBackground(dc);
        return;
    }
    RECT client{};
    ::GetClientRect(Handle(), &client);
    m_drawn.Draw(dc, 0, 0, client.right, client.bottom);
}
