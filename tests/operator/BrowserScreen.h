// What an operator sees of the browser in another process and what he can
// do to it: the frame title, the colours of the grid's cells, the toolbar's
// buttons, clicks and double clicks on cells. Everything goes through
// messages that carry no pointers, since the browser's windows belong to
// the host process.
#pragma once

#include "tests/support/CellColours.h"
#include "tests/support/WaitUntil.h"

#include <windows.h>

#include <map>
#include <string>


class BrowserScreen {
public:
    // Waits for the browser's frame; false on timeout.
    bool Attach(DWORD milliseconds);

    HWND Frame() const { return m_frame; }
    HWND View() const { return m_view; }
    DWORD Thread() const { return m_thread; }

    std::string Title() const;
    // Waits until the title is the given text; false on timeout.
    bool WaitForTitle(const std::string& title, DWORD milliseconds) const;
    // Waits until the title is anything but the given text.
    bool WaitForTitleOtherThan(const std::string& title, DWORD milliseconds) const;

    // A menu choice: a posted command without a control handle.
    void Choose(UINT command) const;
    // A click on the toolbar button of the command once it is enabled;
    // false when it is not within kButtonWaitMs.
    bool Press(UINT command);
    static const DWORD kButtonWaitMs = 10000;
    bool ButtonEnabled(UINT command) const;
    bool ButtonChecked(UINT command) const;
    // Waits until the button's enabled state is the wanted one.
    bool WaitForButton(UINT command, bool enabled, DWORD milliseconds) const;

    RECT Cell(int cell) const;
    void ClickCell(int cell) const;
    void DoubleClickCell(int cell) const;
    // The right mouse button released over the view: the context menu request.
    void RightClickCentre() const;

    // The colour of the cell's fill just inside its frame.
    COLORREF CellFill(int cell) const;
    // Whether the cell shows a picture: its centre differs from both fills.
    bool CellShowsPicture(int cell) const;
    // Waits until the cell's fill is the wanted colour.
    bool WaitForCellFill(int cell, COLORREF colour, DWORD milliseconds) const;
    // Waits until the cell is empty (neither fill) or filled, as wanted.
    bool WaitForCellFilled(int cell, bool filled, DWORD milliseconds) const;
    // The cell's colours, for failure messages.
    std::string Describe(int cell) const;
    // Waits until the browser's thread has handled what was posted to it.
    void Settle() const;

private:
    COLORREF ViewPixel(int x, int y) const;
    bool LocateButtons();

    HWND m_frame = nullptr;
    HWND m_view = nullptr;
    HWND m_toolbar = nullptr;
    DWORD m_thread = 0;
    std::map<UINT, POINT> m_buttonCentres;
};
