// Where a toolbar stands: docked along an edge of its frame (a row at the
// top and bottom, a column at the left and right, wrapped into as many
// columns as the edge needs) or floating in a small window of its own.
// Dragged by its gripper, or the floating window by its caption, the bar
// docks at the edge it is dropped near or floats where it is dropped (Ctrl
// held: anywhere); a double click on either switches between the last
// docked place and floating. The rules are DockGeometry's; this site
// measures, moves the windows and tells the frame to lay out again.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/DockGeometry.h"
#include "framework/DockGripper.h"
#include "framework/FrameBar.h"

class CDockDrag;
class CToolBar;

class CDockSite : public CFrameBar {
public:
    CDockSite() = default;
    ~CDockSite();
    CDockSite(const CDockSite&) = delete;
    CDockSite& operator=(const CDockSite&) = delete;

    // Takes the bar, a child of the frame's window, docked at the edge its
    // style names. relayout lays the frame out again once the bar moved.
    bool Create(HWND frame, CToolBar& bar, std::function<void()> relayout);
    // The edges of the frame (CBRS_ALIGN_ flags) that take a bar; the bar
    // docks where both it and the frame allow.
    void EnableDocking(DWORD sides) { m_frameSides = sides & CBRS_ALIGN_ANY; }

    DockSide Side() const { return m_side; }
    // Docks the bar at an edge, or floats it with the floating window's
    // top-left corner at a point of the screen (kept within the frame).
    void DockAt(DockSide side);
    void FloatAt(POINT topLeft);
    // Between the last docked place and floating (a double click).
    void ToggleDocking();
    // The floating window, or null while docked.
    HWND FloatingWindow() const { return m_hFloating; }

    void TakeRoom(RECT* client) override;

private:
    // The gripper, the floating window and the drag act on the site.
    friend class CDockGripper;
    friend class CFloatingFrame;
    friend class CDockDrag;

    // Drags the bar from a point of the screen; the site may be gone when
    // this returns.
    void Drag(POINT start);
    // Where a drop at a point would put the bar.
    DockTarget TargetAt(POINT at, POINT grab, bool ctrl) const;
    void Drop(const DockTarget& target);
    // The window the operator holds: the bar, or its floating window.
    HWND DraggedWindow() const;
    HWND FrameWindow() const { return m_hFrame; }
    // The floating window's outer size around the bar.
    SIZE FloatingWindowSize() const;
    // The floating window is being destroyed, by the site or from outside.
    void FloatingGone(HWND floating);

    bool CanDockAt(DockSide side) const;
    // The part of the frame's client area that is on the screen, in
    // screen coordinates: a maximised frame's edges lie beyond it.
    DockRect DockAreaOnScreen() const;
    // The bar's column for an edge of the given length, and its thickness
    // across an edge.
    ColumnLayout ColumnFor(long edgeLength) const;
    long Thickness(DockSide side, long edgeLength) const;

    HWND m_hFrame = nullptr;
    CToolBar* m_pBar = nullptr;
    std::function<void()> m_relayout;
    CDockGripper m_gripper{*this};
    DWORD m_frameSides = 0;
    DockSide m_side = DockSide::Top;
    DockSide m_lastDocked = DockSide::Top;
    bool m_bFloated = false;        // m_lastFloat holds where it floated
    POINT m_lastFloat = {0, 0};
    HWND m_hFloating = nullptr;
    CDockDrag* m_pDrag = nullptr;   // the drag running, told when the site goes
};
