// The day-and-camera chooser's calendar, as tests reach it: the picker's
// drop-down month calendar and clicks posted to a window.
#pragma once

#include <windows.h>

// A left click at (x, y) of the window's client area, posted.
void PostClick(HWND wnd, int x, int y);
// The month calendar of the chooser's date picker; null while it is closed.
HWND ChooserCalendar(HWND chooser);
bool ChooserCalendarOpen(HWND chooser);
