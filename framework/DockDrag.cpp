#include "framework/DockDrag.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "framework/DockSite.h"
#include "framework/DragOutline.h"

namespace {
const int kDockingOutline = 1;
const int kFloatingOutline = 4;
}

CDockDrag::CDockDrag(CDockSite& site, POINT start) : m_pSite(&site), m_start(start)
{
    site.m_pDrag = this;
    // Where the floating window would hang from the pointer: as the bar is
    // grabbed now, within the floating window's size.
    RECT grabbed;
    GetWindowRect(site.DraggedWindow(), &grabbed);
    const SIZE floating = site.FloatingWindowSize();
    m_grab.x = std::min<LONG>(start.x - grabbed.left, floating.cx - 1);
    m_grab.y = std::min<LONG>(start.y - grabbed.top, floating.cy - 1);
}

CDockDrag::~CDockDrag()
{
    if (m_pSite != nullptr)
        m_pSite->m_pDrag = nullptr;
}

void CDockDrag::Run()
{
    HWND capture = m_pSite->DraggedWindow();
    CDragOutline outline(m_pSite->FrameWindow());
    SetCapture(capture);
    bool dragging = false, cancelled = false;
    POINT last = m_start;
    MSG msg;
    while (m_pSite != nullptr && GetCapture() == capture) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        const POINT at = {GET_X_LPARAM(GetMessagePos()), GET_Y_LPARAM(GetMessagePos())};
        switch (msg.message) {
        case WM_MOUSEMOVE:
            if (cancelled || (!dragging && std::abs(at.x - m_start.x) < GetSystemMetrics(SM_CXDRAG) &&
                              std::abs(at.y - m_start.y) < GetSystemMetrics(SM_CYDRAG)))
                break;
            dragging = true;
            last = at;
            ShowTarget(outline, at);
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.wParam == VK_ESCAPE) {
                ReleaseCapture();
                return;
            }
            if (msg.wParam == VK_CONTROL && dragging && !cancelled)
                ShowTarget(outline, last);
            break;
        case WM_RBUTTONDOWN:
            // Cancelled; the capture stays until the right button comes up.
            outline.Hide();
            cancelled = true;
            break;
        case WM_RBUTTONUP:
            if (cancelled) {
                ReleaseCapture();
                return;
            }
            break;
        case WM_LBUTTONUP:
            if (cancelled)
                break;
            outline.Hide();
            ReleaseCapture();
            if (dragging)
                m_pSite->Drop(TargetAt(at));
            return;
        default: {
            // Whatever else runs paints with the outline taken away.
            const bool shown = outline.Shown();
            outline.Hide();
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            if (shown && m_pSite != nullptr)
                ShowTarget(outline, last);
            break;
        }
        }
    }
}

DockTarget CDockDrag::TargetAt(POINT at) const
{
    // The key as the thread saw it, or as it is now when the key went to
    // another window.
    const bool ctrl = GetKeyState(VK_CONTROL) < 0 || GetAsyncKeyState(VK_CONTROL) < 0;
    return m_pSite->TargetAt(at, m_grab, ctrl);
}

void CDockDrag::ShowTarget(CDragOutline& outline, POINT at) const
{
    const DockTarget target = TargetAt(at);
    const RECT rc = {target.rect.left, target.rect.top, target.rect.right, target.rect.bottom};
    outline.Show(rc, target.side == DockSide::Floating ? kFloatingOutline : kDockingOutline);
}
