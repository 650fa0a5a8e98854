#pragma once
#include "../framework/Controls.h"

// An etched frame (FRAME); the inside is left to what lies beneath.
class CMyEdge : public CStatic {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_PAINT) return CStatic::WindowProc(message, wParam, lParam);
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(m_hWnd, &paint);
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        ::DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
        ::EndPaint(m_hWnd, &paint);
        return 0;
    }
};
