#include "tests/support/ChooserCalendar.h"

#include <commctrl.h>

#include "res/resource.h"

void PostClick(HWND wnd, int x, int y)
{
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

HWND ChooserCalendar(HWND chooser)
{
    return reinterpret_cast<HWND>(SendDlgItemMessageA(chooser, IDC_DATE, DTM_GETMONTHCAL, 0, 0));
}

bool ChooserCalendarOpen(HWND chooser)
{
    HWND calendar = ChooserCalendar(chooser);
    return calendar != nullptr && IsWindowVisible(calendar);
}
