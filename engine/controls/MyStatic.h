#pragma once
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "../framework/ComPtr.h"
#include "../framework/Controls.h"

// Pictures (BITMAP, HOVER) and icons (ICON) of a page, drawn by the control
// itself at its top-left corner, never stretched.
class CMyStatic : public CStatic {
public:
    static constexpr int kBuiltInIcons = 8;

    CMyStatic();

    // A missing file is reported in a message box; an unreadable one is not.
    void LoadPicture(const std::string& path);
    // One of the program's eight icons, by its theme number (0 to 7).
    void SetIconNumber(int number);
    void SetBackColor(COLORREF color);

    bool PictureLoaded() const { return static_cast<bool>(m_picture); }
    SIZE PictureHimetric() const { return m_himetric; }
    SIZE PicturePixels() const { return m_pixels; }
    bool IconMode() const { return m_iconMode; }
    HICON Icon() const { return m_icon; }
    COLORREF BackColor() const { return m_backColor; }

    // The icon resource of a theme number, 0 outside 0 to 7.
    static int IconResource(int number);
    // The theme number of a built-in icon's name ("IDI_SETUP" 6), -1 for none.
    static int IconNumber(const std::string& name);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void RenderPicture(HDC dc, int x, int y) const;

    bool m_iconMode = false;
    HICON m_icon = nullptr;  // shared resource icon, never destroyed
    COLORREF m_backColor;
    ComPtr<IPicture> m_picture;
    SIZE m_himetric{};
    SIZE m_pixels{};
};
