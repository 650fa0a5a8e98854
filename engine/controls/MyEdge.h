#pragma once
#include "../framework/Accessible.h"
#include "../framework/Controls.h"
#include "../framework/GdiObject.h"
#include "PageControl.h"

// An etched frame (FRAME); the inside is left to what lies beneath.
class CMyEdge : public PageControlOn<CStatic> {
public:
    void Describe(Annotation& annotation, const PageContext&) override { annotation.Decorative(*this); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_PAINT) return CStatic::WindowProc(message, wParam, lParam);
        PaintDC dc(m_hWnd);
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        ::DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
        return 0;
    }
};
