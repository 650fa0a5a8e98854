#pragma once
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "../framework/ComPtr.h"
#include "../framework/Controls.h"
#include "../framework/Dpi.h"
#include "../framework/GdiObject.h"
#include "PageControl.h"

// Pictures (BITMAP, HOVER) and icons (ICON) of a page, drawn by the control
// itself at its top-left corner, at the size the page gives (on a screen of 96
// dpi: the picture's own size and 32 x 32), never stretched to the control.
// A HOVER is one as created: the picture of its theme line, taking no rows.
class CMyStatic : public PageControlOn<CStatic> {
public:
    static constexpr int kBuiltInIcons = 8;
    static constexpr int kIconPixels = 32;  // at 96 dpi

    CMyStatic();
    ~CMyStatic() override;

    // A missing file is reported in a message box, and so is one too large to
    // be drawn at `dpi` (made for `percent` of 96 dpi: a copy for a larger
    // scaling); an unreadable one is not. Each leaves the control without a picture.
    void LoadPicture(const std::string& path, int percent = 100, int dpi = kDesignDpi);
    // The size the picture is drawn at, its own pixel size until the page says
    // otherwise; another size is drawn resampled smoothly.
    void SetPictureSize(SIZE drawn);
    // One of the program's eight icons, by its theme number (0 to 7).
    void SetIconNumber(int number);
    // The built-in icons' size; the icon shown is loaded again at that size.
    void SetIconSize(int pixels);
    void SetBackColor(COLORREF color);

    bool PictureLoaded() const { return static_cast<bool>(m_picture); }
    SIZE PictureHimetric() const { return m_himetric; }
    SIZE PicturePixels() const { return m_pixels; }
    SIZE PictureDrawnSize() const { return m_drawn; }
    bool IconMode() const { return m_iconMode; }
    HICON Icon() const { return m_icon; }
    int IconSize() const { return m_iconSize; }
    COLORREF BackColor() const { return m_backColor; }

    // The icon resource of a theme number, 0 outside 0 to 7.
    static int IconResource(int number);
    // The theme number of a built-in icon's name ("IDI_SETUP" 6), -1 for none.
    static int IconNumber(const std::string& name);

    // Its size is its picture's: the file made for the DPI, where the theme has one.
    SIZE LoadLinePicture(const std::string& path, int dpi) override;
    void Placed(const RECT& rect, int dpi) override;
    // A button named by what a click on it does, or a decorative picture.
    void Describe(Annotation& annotation, const PageContext& page) override { DescribePicture(annotation, page); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void RenderPicture(HDC dc, int x, int y) const;
    void DrawResampled(HDC dc);
    // The picture at its own size over the background colour, in a bitmap the caller owns.
    HBITMAP RenderOverBackground(HDC dc) const;
    // To the control's top-left corner.
    static void CopyBitmap(HDC dc, HBITMAP bitmap, SIZE size);
    // Hands the icon to the window, loaded anew at the icon size first when asked.
    void ShowIcon(bool load);

    bool m_iconMode = false;
    int m_iconNumber = -1;
    int m_iconSize = kIconPixels;
    HICON m_icon = nullptr;
    bool m_ownIcon = false;  // loaded at a size other than the system's, and destroyed here
    COLORREF m_backColor;
    ComPtr<IPicture> m_picture;
    SIZE m_himetric{};
    SIZE m_pixels{};
    SIZE m_drawn{};
    BitmapHandle m_resampled;  // the picture at its drawn size, over the background colour
};

// BITMAP: a picture over a background of the theme's colour.
class CBitmapPicture : public CMyStatic {
public:
    void ApplyRow(const AppliedRow& row, const PageLends& page) override;
};

// ICON: one of the built-in icons, or an icon file, 32 x 32 at 96 dpi, over a
// background of the theme's colour.
class CIconPicture : public CMyStatic {
public:
    void ApplyRow(const AppliedRow& row, const PageLends& page) override;
    SIZE LoadLinePicture(const std::string& path, int dpi) override { return {}; }
    void Placed(const RECT& rect, int dpi) override;

private:
    void SizeIconFile(int dpi);
};
