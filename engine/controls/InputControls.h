#pragma once
#include "../framework/Controls.h"
#include "PageControl.h"

// The page's standard input and list controls. Nothing in the engine fills or
// reads them: a text box takes typing, a combo box opens an empty list, a tree
// is empty, and only the progress page moves a bar.

// TEXTBOX: its rows are kept and change nothing; named "IDC_SETTINGS", it
// reads from the right and tells its parent nothing.
class CEditBox : public PageControlOn<CEdit> {
public:
    void ApplyIdentifier(const std::string& identifier, const PageLends& page) override;
    bool TakesFocus() const override { return true; }
    void Describe(Annotation& annotation, const PageContext& page) override { DescribeInput(annotation, page); }
};

// COMBOBOX: its window is as high as its dropped list; the page's table keeps its closed box.
class CMyComboItem : public PageControlOn<CComboBox> {
public:
    RECT Registered(const RECT& rect, int dpi) override;
    bool TakesFocus() const override { return true; }
    void Describe(Annotation& annotation, const PageContext& page) override { DescribeInput(annotation, page); }
};

// TREEVIEW
class CMyTreeView : public PageControlOn<CTreeCtrl> {
public:
    bool TakesFocus() const override { return true; }
    void Describe(Annotation& annotation, const PageContext& page) override { DescribeInput(annotation, page); }
};

// PROGRESS: named by the label before it; on the progress page by its status line (CProgressPage).
class CMyProgress : public PageControlOn<CProgressCtrl> {
public:
    void Describe(Annotation& annotation, const PageContext& page) override { DescribeInput(annotation, page); }
};

// RICHTEXT: a background colour only repaints it.
class CMyRichText : public PageControlOn<CRichEditCtrl> {
public:
    void ApplyColor(const std::string& value, int which) override;
    bool TakesFocus() const override { return true; }
    void Describe(Annotation& annotation, const PageContext& page) override { DescribeInput(annotation, page); }
};

// What the platform needs before the first window of these classes: the
// common controls registered (bar, tree) and the rich-edit library loaded.
// Each is done once per process; false when the platform refuses.
bool PrepareCommonControls();
bool PrepareRichEdit();
