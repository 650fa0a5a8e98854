#pragma once
#include <memory>
#include <string>

#include "Control.h"

class TForm;

enum class TControlKind : uint8_t { Label, Bevel, ProgressBar, Panel, Image, ListView, ListBox, SpeedButton, Edit };

// One control of a form's layout, as the form's designer would have placed it.
struct TControlLayout {
    const char* Name;
    TControlKind Kind;
    const char* Parent;  // null: the form
    int Left, Top, Width, Height;
    const wchar_t* Caption;
    TFont Font;        // no name: the parent's
    TColor Color;      // clParent: the parent's
    TAlignment Alignment;
    bool Visible;
    int Glyph;           // a button's picture in the form's strip, or -1
    const char* OnClick;  // the published handler of a button, or null
};

// Creates the controls in order (a parent before its children, as listed), each
// owned by the form and named, and wires the events the layout names.
void LoadLayout(TForm& form, const TControlLayout* begin, const TControlLayout* end,
                const std::shared_ptr<TBitmap>& glyphs);
