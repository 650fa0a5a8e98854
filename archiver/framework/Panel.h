#pragma once
#include "CustomControl.h"

// A raised panel in its own colour that holds other controls.
class TPanel : public TCustomControl {
public:
    TPanel(TComponent* Owner, TWinControl* Parent)
        : TCustomControl(Owner, Parent, L"TPanel", WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT) {}

protected:
    void Paint(HDC dc) override {
        EraseBackground(dc);
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
    }
};
