#include "framework/DockSite.h"

#include <utility>

#include "framework/DockDrag.h"
#include "framework/FloatingFrame.h"
#include "framework/ToolBar.h"

namespace {

DockRect FromRect(const RECT& rc)
{
    return DockRect{rc.left, rc.top, rc.right, rc.bottom};
}

RECT ToRect(const DockRect& rc)
{
    return RECT{rc.left, rc.top, rc.right, rc.bottom};
}

RECT ScreenRectOf(HWND wnd)
{
    RECT rc;
    GetWindowRect(wnd, &rc);
    return rc;
}

// The work area of the frame's monitor: what a maximised frame shows.
RECT WorkAreaOf(HWND frame)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromWindow(frame, MONITOR_DEFAULTTONEAREST), &info))
        return ScreenRectOf(frame);
    return info.rcWork;
}

}  // namespace

CDockSite::~CDockSite()
{
    if (m_pDrag != nullptr)
        m_pDrag->SiteGone();
    // Normally the floating window went with the frame that owns it.
    if (m_hFloating != nullptr)
        ::DestroyWindow(m_hFloating);
}

bool CDockSite::Create(HWND frame, CToolBar& bar, std::function<void()> relayout)
{
    if (!m_gripper.Attach(bar.m_hWnd))
        return false;
    m_hFrame = frame;
    m_pBar = &bar;
    m_relayout = std::move(relayout);
    m_side = m_lastDocked = SideOfStyle(bar.GetBarStyle());
    // The non-client area follows the gripper.
    SetWindowPos(bar.m_hWnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    return true;
}

bool CDockSite::CanDockAt(DockSide side) const
{
    return (m_pBar->DockingStyle() & m_frameSides & AlignFlagOf(side)) != 0;
}

DockRect CDockSite::DockAreaOnScreen() const
{
    RECT client;
    GetClientRect(m_hFrame, &client);
    MapWindowPoints(m_hFrame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return Intersection(FromRect(client), FromRect(WorkAreaOf(m_hFrame)));
}

ColumnLayout CDockSite::ColumnFor(long edgeLength) const
{
    const RECT nc = CDockGripper::Borders(DockSide::Left);
    const SIZE button = m_pBar->ButtonSize();
    return WrapColumn(m_pBar->Separators(), DockSize{button.cx, button.cy}, m_pBar->SeparatorHeight(),
                      edgeLength - nc.top - nc.bottom);
}

long CDockSite::Thickness(DockSide side, long edgeLength) const
{
    const RECT nc = CDockGripper::Borders(side);
    if (IsVertical(side))
        return ColumnFor(edgeLength).extent.cx + nc.left + nc.right;
    return m_pBar->RowExtent().cy + nc.top + nc.bottom;
}

void CDockSite::TakeRoom(RECT* client)
{
    if (m_pBar == nullptr || m_pBar->m_hWnd == nullptr || m_side == DockSide::Floating)
        return;
    // The visible part of the client area, in client coordinates.
    RECT work = WorkAreaOf(m_hFrame);
    MapWindowPoints(nullptr, m_hFrame, reinterpret_cast<POINT*>(&work), 2);
    const DockRect area = Intersection(FromRect(*client), FromRect(work));
    const bool vertical = IsVertical(m_side);
    const long edgeLength = vertical ? area.bottom - area.top : area.right - area.left;
    if (vertical)
        m_pBar->LayOutAsColumn(ColumnFor(edgeLength).wrapAfter);
    else
        m_pBar->LayOutAsRow();
    DockRect rest = FromRect(*client);
    const RECT bar = ToRect(TakeEdge(&rest, area, m_side, Thickness(m_side, edgeLength)));
    *client = ToRect(rest);
    MoveWindow(m_pBar->m_hWnd, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, TRUE);
}

SIZE CDockSite::FloatingWindowSize() const
{
    const SIZE row = m_pBar->RowExtent();
    const RECT nc = CDockGripper::Borders(DockSide::Floating);
    RECT rc = {0, 0, row.cx + nc.left + nc.right, row.cy + nc.top + nc.bottom};
    AdjustWindowRectEx(&rc, WS_POPUP | WS_CAPTION, FALSE, WS_EX_TOOLWINDOW);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

HWND CDockSite::DraggedWindow() const
{
    return m_side == DockSide::Floating ? m_hFloating : m_pBar->m_hWnd;
}

DockTarget CDockSite::TargetAt(POINT at, POINT grab, bool ctrl) const
{
    const DockRect area = DockAreaOnScreen();
    const SIZE floating = FloatingWindowSize();
    DockDrop drop = {};
    drop.at = DockPoint{at.x, at.y};
    drop.dockArea = area;
    drop.rowThickness = Thickness(DockSide::Top, area.right - area.left);
    drop.columnThickness = Thickness(DockSide::Left, area.bottom - area.top);
    for (DockSide side : {DockSide::Top, DockSide::Bottom, DockSide::Left, DockSide::Right})
        if (CanDockAt(side))
            drop.sides |= AlignFlagOf(side);
    drop.ctrl = ctrl;
    drop.floatingSize = DockSize{floating.cx, floating.cy};
    drop.grab = DockPoint{grab.x, grab.y};
    drop.keepWithin = FromRect(ScreenRectOf(m_hFrame));
    return DockTargetFor(drop);
}

void CDockSite::Drop(const DockTarget& target)
{
    if (target.side == DockSide::Floating)
        FloatAt(POINT{target.rect.left, target.rect.top});
    else
        DockAt(target.side);
}

void CDockSite::Drag(POINT start)
{
    CDockDrag(*this, start).Run();
}

void CDockSite::DockAt(DockSide side)
{
    if (side == DockSide::Floating || !CanDockAt(side) || m_pBar->m_hWnd == nullptr)
        return;
    if (m_side == DockSide::Floating) {
        SetParent(m_pBar->m_hWnd, m_hFrame);
        if (m_hFloating != nullptr)
            ::DestroyWindow(m_hFloating);
    }
    m_side = m_lastDocked = side;
    SetWindowPos(m_pBar->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE);
    m_relayout();
    InvalidateRect(m_pBar->m_hWnd, nullptr, TRUE);
}

void CDockSite::FloatAt(POINT topLeft)
{
    if (m_pBar->m_hWnd == nullptr)
        return;
    const SIZE size = FloatingWindowSize();
    const DockRect wanted = {topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy};
    const RECT rc = ToRect(KeptWithin(wanted, FromRect(ScreenRectOf(m_hFrame))));
    m_lastFloat = POINT{rc.left, rc.top};
    m_bFloated = true;
    if (m_side == DockSide::Floating && m_hFloating != nullptr) {
        SetWindowPos(m_hFloating, nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    CFloatingFrame* floating = new CFloatingFrame(this);
    if (!floating->Create(m_hFrame, rc)) {
        delete floating;
        return;     // it stays docked
    }
    m_hFloating = floating->m_hWnd;
    SetParent(m_pBar->m_hWnd, m_hFloating);
    m_side = DockSide::Floating;
    m_pBar->LayOutAsRow();
    const RECT nc = CDockGripper::Borders(DockSide::Floating);
    const SIZE row = m_pBar->RowExtent();
    SetWindowPos(m_pBar->m_hWnd, nullptr, 0, 0, row.cx + nc.left + nc.right, row.cy + nc.top + nc.bottom,
                 SWP_FRAMECHANGED | SWP_NOZORDER);
    ShowWindow(m_hFloating, SW_SHOWNOACTIVATE);
    m_relayout();
}

void CDockSite::ToggleDocking()
{
    if (m_side == DockSide::Floating) {
        DockAt(m_lastDocked);
        return;
    }
    const RECT docked = ScreenRectOf(m_pBar->m_hWnd);
    const DockPoint at = FloatingOrigin(m_bFloated, DockPoint{m_lastFloat.x, m_lastFloat.y},
                                        DockPoint{docked.left, docked.top});
    FloatAt(POINT{at.x, at.y});
}

void CDockSite::FloatingGone(HWND floating)
{
    if (floating == m_hFloating)
        m_hFloating = nullptr;
}
