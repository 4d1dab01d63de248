#include "framework/FloatingFrame.h"

#include <windowsx.h>

#include "framework/DockSite.h"

namespace {
const char* const kFloatingFrameClass = "FwMiniDockFrame";
}

UINT FwFloatStatusMessage()
{
    static const UINT message = RegisterWindowMessageA("FwFloatStatus");
    return message;
}

bool CFloatingFrame::Create(HWND frame, const RECT& rc)
{
    if (!RegisterWindowClass(kFloatingFrameClass, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE), nullptr))
        return false;
    const DWORD disabled = IsWindowEnabled(frame) ? 0 : WS_DISABLED;
    return CreateEx(WS_EX_TOOLWINDOW, kFloatingFrameClass, "", WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN | disabled,
                    rc, frame, nullptr) != FALSE;
}

LRESULT CFloatingFrame::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == FwFloatStatusMessage()) {
        EnableWindow(m_hWnd, wParam != FALSE);
        return 0;
    }
    switch (msg) {
    case WM_NCLBUTTONDOWN:
        if (wParam != HTCAPTION || m_pSite == nullptr)
            break;
        // The drag may close the frame, and with it this window and the
        // site: nothing of either is touched after it.
        m_pSite->Drag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_NCLBUTTONDBLCLK:
        if (wParam != HTCAPTION || m_pSite == nullptr)
            break;
        m_pSite->ToggleDocking();
        return 0;
    case WM_MOUSEACTIVATE:
        // The frame stays the active window.
        return MA_NOACTIVATE;
    case WM_CLOSE:
        return 0;
    case WM_NCDESTROY:
        if (m_pSite != nullptr)
            m_pSite->FloatingGone(m_hWnd);
        m_pSite = nullptr;
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
