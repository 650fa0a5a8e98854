#pragma once
#include "Control.h"

// A one-line text box.
class TEdit : public TWinControl {
public:
    TEdit(TComponent* Owner, TWinControl* Parent) : TWinControl(Owner, Parent) {
        CreateHandle(L"Edit", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    }
};
