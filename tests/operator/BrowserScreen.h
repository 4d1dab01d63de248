// What an operator sees of the browser in another process and what he can
// do to it: the frame title, the colours of the grid's cells, the toolbar's
// buttons, clicks and double clicks on cells, the chooser. The browser's
// windows belong to the host process: messages carry no pointers but to a
// record placed in the host's memory (HostRecord).
#pragma once

#include "tests/support/CellColours.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/WaitUntil.h"

#include <windows.h>

#include <map>
#include <string>

// The frame's title in multi mode.
constexpr char kMultiTitle[] = "Image browse";

// Pictures on the last page of an album of count pictures.
inline int OnLastPage(size_t count)
{
    return count % 9 == 0 ? 9 : static_cast<int>(count % 9);
}

// A control's text asked of the control itself: the window text of another
// process's control is only its creation text.
std::string ControlTextOf(HWND dialog, int id);

// A record in the host's memory for the common controls' messages that
// fill a structure, which no one carries across processes.
class HostRecord {
public:
    // Room for a record of up to size bytes in the process of the window.
    HostRecord(HWND wnd, SIZE_T size);
    ~HostRecord();
    HostRecord(const HostRecord&) = delete;
    HostRecord& operator=(const HostRecord&) = delete;

    // Sends the message with the record, filled from and read back into
    // *local; false when the host's memory could not be reached.
    template <typename Record>
    bool Send(HWND wnd, UINT message, WPARAM wParam, Record* local, LRESULT* result = nullptr)
    {
        SIZE_T moved = 0;
        if (m_remote == nullptr || sizeof(Record) > m_size ||
            !WriteProcessMemory(m_process, m_remote, local, sizeof(Record), &moved))
            return false;
        LRESULT r = SendMessageA(wnd, message, wParam, reinterpret_cast<LPARAM>(m_remote));
        if (result != nullptr)
            *result = r;
        return ReadProcessMemory(m_process, m_remote, local, sizeof(Record), &moved) != 0;
    }

private:
    HANDLE m_process = nullptr;
    SIZE_T m_size;
    void* m_remote = nullptr;
};

class BrowserScreen {
public:
    // Waits for the browser's frame and its first paint; false on timeout.
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
    // The choice while the driver plays its steps on the windows it opens;
    // false when a step found no window or a window beyond them came.
    bool ChooseWithDialogs(UINT command, ModalDriver& dialogs) const;
    // A click on the toolbar button of the command once it is enabled;
    // false when it is not within kButtonWaitMs.
    bool Press(UINT command);
    static const DWORD kButtonWaitMs = 10000;
    bool ButtonEnabled(UINT command) const;
    bool ButtonChecked(UINT command) const;
    // Waits until the button's enabled state is the wanted one.
    bool WaitForButton(UINT command, bool enabled, DWORD milliseconds) const;
    // Waits for the date-and-camera chooser; null on timeout.
    HWND WaitForChooser(DWORD milliseconds) const;

    RECT Cell(int cell) const;
    void ClickCell(int cell) const;
    void DoubleClickCell(int cell) const;

    // The colour of the cell's fill just inside its frame.
    COLORREF CellFill(int cell) const;
    // Whether the cell shows a picture: its centre differs from both fills.
    bool CellShowsPicture(int cell) const;
    // The cells of the page that show a picture.
    int PicturesShown() const;
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
