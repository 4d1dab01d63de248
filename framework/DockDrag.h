// Drags a bar from a point of the screen until the left button goes up:
// an outline follows the pointer, thick where the bar would float and thin
// where it would dock, and the drop docks or floats the bar. A press that
// does not move changes nothing; Esc or the right button cancel, and the
// right button's release is taken too, so that it reaches no window.
#pragma once

#include <windows.h>

#include "framework/DockGeometry.h"

class CDockSite;
class CDragOutline;

class CDockDrag {
public:
    // Registers with the site, which tells the drag when it goes first.
    CDockDrag(CDockSite& site, POINT start);
    ~CDockDrag();
    CDockDrag(const CDockDrag&) = delete;
    CDockDrag& operator=(const CDockDrag&) = delete;

    void Run();
    // The site is gone (the frame closed while the drag ran): the loop
    // ends without touching it.
    void SiteGone() { m_pSite = nullptr; }

private:
    DockTarget TargetAt(POINT at) const;
    void ShowTarget(CDragOutline& outline, POINT at) const;

    CDockSite* m_pSite;
    POINT m_start;
    POINT m_grab = {0, 0};
};
