#pragma once
#include <memory>

#include "CustomControl.h"
#include "ScaledPicture.h"

// A picture drawn stretched smoothly over the whole control.
class TImage : public TCustomControl {
public:
    TImage(TComponent* Owner, TWinControl* Parent) : TCustomControl(Owner, Parent, L"TImage", WS_VISIBLE) {}

    void SetPicture(std::shared_ptr<TBitmap> picture);
    const TBitmap* Picture() const { return m_picture.get(); }

protected:
    void Paint(HDC dc) override;

private:
    std::shared_ptr<TBitmap> m_picture;
    TScaledPicture m_drawn;
};
