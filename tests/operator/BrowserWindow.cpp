#include "tests/operator/BrowserWindow.h"

#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"

HWND WaitForBrowserFrame(DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    do {
        HWND frame = FindWindowA("FwFrame", nullptr);
        if (frame != nullptr && IsWindowVisible(frame))
            return frame;
        Sleep(20);
    } while (static_cast<int>(end - GetTickCount()) > 0);
    return nullptr;
}

bool WaitForWindowGone(HWND wnd, DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    while (IsWindow(wnd)) {
        if (static_cast<int>(end - GetTickCount()) <= 0)
            return false;
        Sleep(10);
    }
    return true;
}

void PressReturnButton(HWND frame)
{
    HWND bar = GetDlgItem(frame, AFX_IDW_TOOLBAR);
    // TB_GETITEMRECT would write into the browser's process: the button
    // size, answered by value, locates the first button as well.
    DWORD size = static_cast<DWORD>(SendMessageA(bar, TB_GETBUTTONSIZE, 0, 0));
    int x = LOWORD(size) / 2, y = HIWORD(size) / 2 + 2;
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void ChooseMenuCommand(HWND frame, UINT id)
{
    // A menu choice arrives as a posted command without a control handle.
    PostMessageA(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}
