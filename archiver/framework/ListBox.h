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
    void SetItemHeight(int height);
};
