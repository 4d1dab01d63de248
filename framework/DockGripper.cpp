#include "framework/DockGripper.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "framework/DockSite.h"

namespace {
const int kBorder = 2;      // around the buttons
const int kGripper = 8;     // the strip that carries the gripper
const UINT_PTR kSubclassId = 2;
}

CDockGripper::~CDockGripper()
{
    if (m_hWnd != nullptr)
        RemoveWindowSubclass(m_hWnd, Subclass, kSubclassId);
}

bool CDockGripper::Attach(HWND bar)
{
    if (!SetWindowSubclass(bar, Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hWnd = bar;
    return true;
}

RECT CDockGripper::Borders(DockSide side)
{
    RECT nc = {kBorder, kBorder, kBorder, kBorder};
    if (side == DockSide::Floating)
        return nc;
    if (IsVertical(side))
        nc.top += kGripper;
    else
        nc.left += kGripper;
    return nc;
}

LRESULT CALLBACK CDockGripper::Subclass(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    // Nothing may unwind through the control's own frames.
    try {
        return reinterpret_cast<CDockGripper*>(self)->OnMessage(msg, wParam, lParam);
    } catch (...) {
        return DefSubclassProc(wnd, msg, wParam, lParam);
    }
}

LRESULT CDockGripper::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND wnd = m_hWnd;
    switch (msg) {
    case WM_NCCALCSIZE:
        OnNcCalcSize(wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                            : reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_NCPAINT:
        OnNcPaint();
        return 0;
    case WM_NCHITTEST:
        if (OnGripper(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return HTCAPTION;
        break;
    case WM_NCLBUTTONDOWN:
        if (wParam != HTCAPTION)
            break;
        // The drag may close the frame, and with it the bar, the site and
        // this object: nothing is touched after it.
        OnGripperPressed(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_NCLBUTTONDBLCLK:
        if (wParam != HTCAPTION)
            break;
        m_lastPress = 0;
        m_site.ToggleDocking();
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(wnd, Subclass, kSubclassId);
        m_hWnd = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(wnd, msg, wParam, lParam);
}

void CDockGripper::OnGripperPressed(POINT at)
{
    const DWORD now = static_cast<DWORD>(GetMessageTime());
    if (now - m_lastPress <= GetDoubleClickTime() &&
        std::abs(at.x - m_lastPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        std::abs(at.y - m_lastPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2) {
        m_lastPress = 0;
        m_site.ToggleDocking();
        return;
    }
    m_lastPress = now;
    m_lastPoint = at;
    m_site.Drag(at);
}

bool CDockGripper::OnGripper(POINT screen) const
{
    const DockSide side = m_site.Side();
    if (side == DockSide::Floating)
        return false;
    RECT window;
    GetWindowRect(m_hWnd, &window);
    const RECT nc = Borders(side);
    return IsVertical(side) ? screen.y - window.top < nc.top : screen.x - window.left < nc.left;
}

void CDockGripper::OnNcCalcSize(RECT* rc) const
{
    const RECT nc = Borders(m_site.Side());
    rc->left += nc.left;
    rc->top += nc.top;
    rc->right = std::max(rc->left, rc->right - nc.right);
    rc->bottom = std::max(rc->top, rc->bottom - nc.bottom);
}

void CDockGripper::OnNcPaint() const
{
    RECT window;
    GetWindowRect(m_hWnd, &window);
    OffsetRect(&window, -window.left, -window.top);
    RECT client = window;
    OnNcCalcSize(&client);
    HDC dc = GetWindowDC(m_hWnd);
    if (dc == nullptr)
        return;
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &window, GetSysColorBrush(COLOR_BTNFACE));
    const DockSide side = m_site.Side();
    if (side != DockSide::Floating) {
        // Two raised lines along the strip before the buttons.
        for (int line = 0; line < 2; ++line) {
            const int at = kBorder + 1 + 3 * line;
            RECT grip = IsVertical(side) ? RECT{kBorder + 2, at, window.right - kBorder - 2, at + 3}
                                         : RECT{at, kBorder + 2, at + 3, window.bottom - kBorder - 2};
            DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
        }
    }
    ReleaseDC(m_hWnd, dc);
}
