#pragma once
#include <memory>

#include "Control.h"

// A picture drawn stretched over the whole control.
class TImage : public TWinControl {
public:
    TImage(TComponent* Owner, TWinControl* Parent);

    void SetPicture(std::shared_ptr<TBitmap> picture);
    const TBitmap* Picture() const { return m_picture.get(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);

    std::shared_ptr<TBitmap> m_picture;
};
