#pragma once
#include <memory>
#include <string>

#include "../framework/GdiObject.h"

class CImageWindow;

// What a page window needs of the program that shows it: the page font, built
// by the host and shared with the pages that use it, and word of which page is
// current. The uninstaller's main frame is one host; a tool that previews
// themes can be another.
class PageHost {
public:
    virtual ~PageHost() = default;

    // A page window calls this when it starts loading.
    virtual void SetCurrentPage(CImageWindow* page) { m_currentPage = page; }
    CImageWindow* CurrentPage() const { return m_currentPage; }

    // A click on a page control, with the control's window identifier, table
    // position, click action number (-1 for none) and identifier, and the page
    // with its file name. A plain host ignores it; a wizard gives it its meaning.
    virtual void OnPageCommand(int windowId, int position, int clickAction, const std::string& identifier,
                               CImageWindow* page, const std::string& fileName) {}

    // The other control of a pair that the arrow keys move between (the
    // licence and scope choices of a wizard), empty for none.
    virtual std::string ArrowPartner(const std::string& identifier) const { return {}; }
    // What a click on a control with the identifier and click action does, in
    // a word a button would carry ("Next"), empty for nothing: the name of a
    // picture that acts as a button.
    virtual std::string CommandName(const std::string& identifier, int clickAction) const { return {}; }

    // The DPI a page lays itself out for, given its monitor's: that one, unless
    // the host shows pages as a monitor of another DPI would (a preview).
    virtual int PageDpi(int monitorDpi) const { return monitorDpi; }

    // Builds the page font from the theme's settings and makes it the current
    // one. A height of 0 means: from the size in points at the page's DPI. A
    // page keeps the font it took alive after a newer one replaces it here.
    void BuildPageFont(const std::string& face, int height, int boldFlag, int italicFlag, int size, int dpi);
    std::shared_ptr<FontHandle> PageFont() const { return m_pageFont; }
    int PageFontBold() const { return m_fontBold; }
    int PageFontItalic() const { return m_fontItalic; }

private:
    CImageWindow* m_currentPage = nullptr;
    std::shared_ptr<FontHandle> m_pageFont;
    int m_fontBold = 0;
    int m_fontItalic = 0;
};
