// The page for assistive technology: what each control tells beyond its
// window's text and class (CPageControl::Describe), with the label before it
// in reading order and what a click on it does.
#include "../controls/PageControl.h"
#include "../framework/Accessible.h"
#include "ImageWindow.h"
#include "PageHost.h"
#include "ReadingOrder.h"

void CImageWindow::DescribeControls() {
    Annotation annotation;
    HWND label = nullptr;  // the last label read, until a control that takes the focus
    for (int position : ReadingOrder(m_table)) {
        CPageControl* control = PageControl(position);
        if (control == nullptr || control->Control().m_hWnd == nullptr) continue;
        control->Describe(annotation, {label, CommandOf(position)});
        if (control->IsLabel())
            label = control->Control().m_hWnd;
        else if (control->TakesFocus())
            label = nullptr;
    }
}

std::string CImageWindow::CommandOf(int position) const {
    if (m_host == nullptr) return {};
    const ControlRecord& record = m_table[position];
    // A picture keeps its numbered name; the identifier its theme wrote in row 0
    // still says what it stands for.
    std::string identifier = record.identifier;
    const ControlType* type = FindControlType(record.type);
    if (type != nullptr && !NamedByRows(*type) && record.rowCount > 0 && record.rows[0].value.rfind("ID", 0) == 0)
        identifier = record.rows[0].value;
    return m_host->CommandName(identifier, FindClickAction(position));
}

void CImageWindow::OnSystemColorsChanged() {
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
