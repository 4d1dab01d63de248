// What a frame knows of a bar along its edges: the room the bar takes off
// the frame's client area when the frame lays out. Where the bar stands
// and why is the bar's own business.
#pragma once

#include <windows.h>

class CFrameBar {
public:
    // Places the bar within client (the frame's client coordinates) and
    // takes its room off it; a bar that stands elsewhere takes none.
    virtual void TakeRoom(RECT* client) = 0;

protected:
    ~CFrameBar() = default;
};
