#include "FormLayout.h"

#include "Bevel.h"
#include "Edit.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "ListBox.h"
#include "ListView.h"
#include "Panel.h"
#include "ProgressBar.h"
#include "SpeedButton.h"

namespace {
TWinControl* CreateControl(TForm& form, TWinControl* parent, const TControlLayout& layout,
                           const std::shared_ptr<TBitmap>& glyphs) {
    switch (layout.Kind) {
    case TControlKind::Label: return new TLabel(&form, parent, layout.Alignment);
    case TControlKind::Bevel: return new TBevel(&form, parent);
    case TControlKind::ProgressBar: return new TProgressBar(&form, parent);
    case TControlKind::Panel: return new TPanel(&form, parent);
    case TControlKind::Image: return new TImage(&form, parent);
    case TControlKind::ListView: return new TListView(&form, parent);
    case TControlKind::ListBox: return new TListBox(&form, parent);
    case TControlKind::Edit: return new TEdit(&form, parent);
    case TControlKind::SpeedButton: {
        auto* button = new TSpeedButton(&form, parent);
        if (layout.Glyph >= 0 && glyphs != nullptr) button->SetGlyph(glyphs, layout.Glyph);
        if (layout.OnClick != nullptr) form.WireEvent(button->OnClick, layout.OnClick);
        return button;
    }
    }
    throw Exception(std::string("Unknown kind of control ") + layout.Name);
}
}  // namespace

void LoadLayout(TForm& form, const TControlLayout* begin, const TControlLayout* end,
                const std::shared_ptr<TBitmap>& glyphs) {
    for (const TControlLayout* layout = begin; layout != end; ++layout) {
        TWinControl* parent = layout->Parent != nullptr ? form.Find<TWinControl>(layout->Parent) : &form;
        TWinControl* control = CreateControl(form, parent, *layout, glyphs);
        control->Name = layout->Name;
        if (!layout->Font.Empty()) control->SetFont(layout->Font);
        if (layout->Color != clParent) control->SetColor(layout->Color);
        control->SetBounds(layout->Left, layout->Top, layout->Width, layout->Height);
        if (layout->Caption != nullptr) control->SetText(layout->Caption);
        if (!layout->Visible) control->SetVisible(false);
    }
}
