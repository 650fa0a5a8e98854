#pragma once
#include "Control.h"

// Static text in the font's colour on the parent's background. A path too long
// for the label loses its middle to an ellipsis instead of its end.
class TLabel : public TWinControl {
public:
    TLabel(TComponent* Owner, TWinControl* Parent, TAlignment alignment);
};
