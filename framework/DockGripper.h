// The non-client frame of a bar that a dock site holds: a thin border all
// round and, docked, a strip before the first button with the gripper (two
// raised lines) to take the bar by. A press on the gripper starts a drag; a
// second press soon after is a double click, which floats the bar, since
// the toolbar control's class may not take double clicks itself.
#pragma once

#include <windows.h>

#include "framework/DockGeometry.h"

class CDockSite;

class CDockGripper {
public:
    explicit CDockGripper(CDockSite& site) : m_site(site) {}
    ~CDockGripper();
    CDockGripper(const CDockGripper&) = delete;
    CDockGripper& operator=(const CDockGripper&) = delete;

    // Takes over the non-client messages of the bar's window.
    bool Attach(HWND bar);
    // The thickness of each edge of the frame, for a bar at a side.
    static RECT Borders(DockSide side);

private:
    static LRESULT CALLBACK Subclass(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnNcCalcSize(RECT* rc) const;
    void OnNcPaint() const;
    bool OnGripper(POINT screen) const;
    void OnGripperPressed(POINT screen);

    CDockSite& m_site;
    HWND m_hWnd = nullptr;
    // The last press on the gripper, for a double click.
    DWORD m_lastPress = 0;
    POINT m_lastPoint = {0, 0};
};
