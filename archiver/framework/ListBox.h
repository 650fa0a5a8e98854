#pragma once
#include <string>

#include "Control.h"

// The platform's list box (List Box reference), one column of text items.
class TListBox : public TWinControl {
public:
    TListBox(TComponent* Owner, TWinControl* Parent);

    void AddItem(const std::wstring& text);
    void Clear();
    int Count() const;
    std::wstring Item(int index) const;
    // The layout's height, at 96 dpi.
    void SetItemHeight(int height);

protected:
    void ScaleChanged(int previousDpi) override;

private:
    int m_itemHeight = 0;
};
