// Where to take a docked toolbar to drag it: a point on its gripper, the
// strip before its first button (above it in a column, left of it in a
// row), in screen coordinates.
#pragma once

#include <windows.h>

inline POINT GripperOf(HWND bar)
{
    RECT rc;
    GetWindowRect(bar, &rc);
    const bool vertical = rc.bottom - rc.top > rc.right - rc.left;
    return vertical ? POINT{(rc.left + rc.right) / 2, rc.top + 5} : POINT{rc.left + 5, (rc.top + rc.bottom) / 2};
}
