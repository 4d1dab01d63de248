#include "framework/View.h"

#include "framework/Frame.h"

namespace {
const char* const kViewClass = "FwView";
}

BOOL CView::Create(HWND parentFrame, UINT id)
{
    // The view accepts double clicks and paints its background white. Its
    // layout follows the client size, so a size change repaints it whole:
    // a repaint of the uncovered strips only would leave the old layout
    // on screen beside the new one.
    const UINT style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    if (!RegisterWindowClass(kViewClass, style, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr))
        return FALSE;
    RECT rc = {0, 0, 0, 0};
    return CreateEx(0, kViewClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rc, parentFrame,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

CFrameWnd* CView::GetParentFrame() const
{
    return dynamic_cast<CFrameWnd*>(CWnd::FromHandle(GetParent()));
}

LRESULT CView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        CPaintDC dc(m_hWnd);
        OnDraw(&dc);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        SetFocus(m_hWnd);
        return MA_ACTIVATE;
    default:
        return CWnd::WindowProc(msg, wParam, lParam);
    }
}

void CView::PostNcDestroy()
{
    delete this;
}
