#pragma once
#include <windows.h>

#include <memory>
#include <span>
#include <string_view>

class CPageControl;

// The eighteen control types a theme line can name, in the order a line's type
// word is tested.
enum class ControlKind {
    Button, Bitmap, Text, Rect, Hover, TextBox, ComboBox, Radio, Hotspot,
    Animation, Progress, ListView, GroupBox, Icon, TreeView, Frame, RichText, CheckBox,
    Count
};

// Every type draws its objects from a pool of its own, except BITMAP and HOVER,
// which share one.
enum class ControlPool {
    Buttons, GroupBoxes, Radios, CheckBoxes, Texts, Rects, Hotspots, Animations, ListViews,
    Frames, Pictures, Icons, TextBoxes, Combos, Trees, Progress, RichTexts,
    Count
};
constexpr int kPoolSize = 15;

enum class SizeRule { Minimum, Icon32, Picture };
enum class FontUse { None, PageFont, TakePageFont };

// One row applied when a page loads: the property name it is applied under and
// the row it comes from. Two names are steps of their own: "identifier" (row 0
// renames the control) and "font" (face, size, bold, italic from four rows).
struct LoadStep {
    std::string_view property;
    int row;
};
constexpr std::string_view kIdentifierStep = "identifier";
constexpr std::string_view kFontStep = "font";

struct ControlType {
    ControlKind kind;
    const char* keyword;
    ControlPool pool;
    const char* windowClass;
    DWORD style;
    int heightThreshold;  // SizeRule::Minimum only
    SizeRule sizeRule;
    const char* caption;  // "%i" is the pool count plus one; null: none
    FontUse font;
    const char* recordName;  // "%i" is the pool index plus one
    // Extras, after the window exists; the class takes those of its own.
    DWORD addedExStyle;       // with a frame change
    UINT buttonStyle;         // replaces the creation style's button type
    const char* backColor;    // labels: initial background, written as a theme writes a colour
    const char* align;        // labels: initial alignment
    bool registerAfterWindow; // the combo box registers its closed height
    bool (*prepare)();        // once before the first window of the class
    std::unique_ptr<CPageControl> (*make)();
    std::span<const LoadStep> loadSteps;
};

const ControlType& ControlTypeOf(ControlKind kind);
// The type a line's keyword names exactly (case matters), or null.
const ControlType* FindControlType(std::string_view keyword);
