// Finds the browser's frame in another process and closes it the way an
// operator does: the first toolbar button, or File > Exit.
#pragma once

#include <windows.h>

// Waits for a visible browser frame; null on timeout.
HWND WaitForBrowserFrame(DWORD milliseconds);
// Waits until the given window is gone.
bool WaitForWindowGone(HWND wnd, DWORD milliseconds);
// Presses the first toolbar button (the door: "Return").
void PressReturnButton(HWND frame);
// Chooses the menu item with the given command, as a click on it does.
void ChooseMenuCommand(HWND frame, UINT id);
