#pragma once
#include "Control.h"

// A raised panel in its own colour that holds other controls.
class TPanel : public TWinControl {
public:
    TPanel(TComponent* Owner, TWinControl* Parent);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
