#include "Label.h"

namespace {
DWORD AlignmentStyle(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taRightJustify: return SS_RIGHT;
    case TAlignment::taCenter: return SS_CENTER;
    case TAlignment::taLeftJustify: break;
    }
    return SS_LEFT;
}
}  // namespace

TLabel::TLabel(TComponent* Owner, TWinControl* Parent, TAlignment alignment) : TWinControl(Owner, Parent) {
    // File names may hold "&", which is no mnemonic here.
    CreateHandle(L"Static", WS_VISIBLE | SS_NOPREFIX | SS_PATHELLIPSIS | AlignmentStyle(alignment));
}
