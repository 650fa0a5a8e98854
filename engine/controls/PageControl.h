#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "../framework/Controls.h"
#include "../framework/Dpi.h"
#include "../framework/GdiObject.h"
#include "ControlTypes.h"
#include "ThemeValues.h"

using ThemeFile::ControlRows;

class Annotation;

// What a page lends its controls while they take their rows and lay
// themselves out.
struct PageLends {
    int dpi = kDesignDpi;
    // The page's place in its host's sequence of pages.
    int pageIndex = 0;
    int pageCount = 0;
    std::shared_ptr<FontHandle> pageFont;
    // A caption's placeholders replaced: in both bracket forms, or in angle brackets only.
    std::string (*expandText)(const std::string& text) = nullptr;
    std::string (*expandProduct)(const std::string& text) = nullptr;
};

// One row applied to a control under the property name of its position.
struct AppliedRow {
    std::string_view property;
    int row;             // its position; a font starts there and takes four rows
    std::string& value;  // as the page keeps it: the control may keep what it made of it there
    ControlRows& rows;   // all of the control's rows, for a row that reads or changes others
};

// What the page knows of a control for assistive technology: the label just
// before it in reading order (null for none) and what a click on it does, in
// the word of a button ("Next"; empty for nothing).
struct PageContext {
    HWND label = nullptr;
    std::string command;
};

// A control of a page as the page sees it. The type table creates it and
// gives it its class, styles and caption; what its type does beyond that is
// its own: the rows it takes, what its identifier means, how it is laid out at
// the page's DPI. A property a type has no use for changes nothing.
class CPageControl {
public:
    virtual ~CPageControl() = default;
    virtual CControl& Control() = 0;

    // Once its window exists: the page font as its type takes it, then the
    // extras its type's table entry gives.
    virtual void UsePageFont(FontUse use, const PageLends& page);
    virtual void OnCreated(const ControlType& type) {}

    virtual void ApplyRow(const AppliedRow& row, const PageLends& page) {}
    // which 0: its text colour, 1: its background; a colour value as a theme writes it.
    virtual void ApplyColor(const std::string& value, int which) {}
    // What its identifier means on the page, once its rows are applied.
    virtual void ApplyIdentifier(const std::string& identifier, const PageLends& page) {}

    // Laid out at the page's DPI when it is created and again when the DPI
    // changes. A control whose size is its picture's loads the picture of its
    // theme line for the DPI and tells its size at 96 dpi (none by default);
    // then it learns its rectangle on the page.
    virtual SIZE LoadLinePicture(const std::string& path, int dpi) { return {}; }
    virtual void Placed(const RECT& rect, int dpi) {}
    // What the page's control table keeps of its rectangle.
    virtual RECT Registered(const RECT& rect, int dpi) { return rect; }

    // Whether the keyboard moves to it (Tab, the page's own order); the window's
    // tab-stop style stays as its type has it.
    virtual bool TakesFocus() const { return false; }
    // Whether its text names the input control after it.
    virtual bool IsLabel() const { return false; }
    // What it tells assistive technology beyond its window's text and class; by
    // default what the system tells.
    virtual void Describe(Annotation& annotation, const PageContext& page) {}

protected:
    // "BackColor": empty is kept as "COLOR_BTNFACE", then it is the background.
    void ApplyBackColorRow(std::string& value);
    // A picture or label: a button named by what a click on it does, when it
    // does something; otherwise decorative.
    void DescribePicture(Annotation& annotation, const PageContext& page);
    // An input control: named by the label before it.
    void DescribeInput(Annotation& annotation, const PageContext& page);
};

// A page control over one of the framework's control classes.
template <class Window>
class PageControlOn : public Window, public CPageControl {
public:
    CControl& Control() override { return *this; }
};

// A theme font from four rows, from `first` on: face, size in points, bold and
// italic switches.
LOGFONTA FontFromRows(const ControlRows& rows, int first, int dpi);
// A "Style" or "border" digit: 0 (also empty or not a digit) removes the thin
// border, 1 adds it, 2 to 9 leave it.
void SetBorderByDigit(const CWnd& window, std::string_view value);
