#pragma once
#include "../framework/Controls.h"

// The page's standard input and list controls. Nothing in the engine fills or
// reads them: a text box takes typing, a combo box opens an empty list, a tree
// is empty, and only the progress page moves a bar.
class CEditBox : public CEdit {};       // TEXTBOX
class CMyComboItem : public CComboBox {};  // COMBOBOX
class CMyTreeView : public CTreeCtrl {};   // TREEVIEW
class CMyProgress : public CProgressCtrl {};  // PROGRESS
class CMyRichText : public CRichEditCtrl {};  // RICHTEXT

// What the platform needs before the first window of these classes: the
// common controls registered (bar, tree) and the rich-edit library loaded.
// Each is done once per process; false when the platform refuses.
bool PrepareCommonControls();
bool PrepareRichEdit();
