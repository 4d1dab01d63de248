// The small tool window a floating bar stands in: a caption to drag it by
// (and to double-click, which docks the bar again) and no close box, since
// nothing could bring a closed bar back. Owned by the frame, it goes with
// it, and it follows the frame's enabling: while a modal dialog or message
// box disables the frame, the floating bar's buttons cannot be pressed.
#pragma once

#include <windows.h>

#include "framework/Window.h"

class CDockSite;

// Sent by a frame to the windows it owns when it is enabled or disabled
// (wParam: TRUE when enabled); floating windows follow it.
UINT FwFloatStatusMessage();

class CFloatingFrame : public CWnd {
public:
    explicit CFloatingFrame(CDockSite* site) : m_pSite(site) {}

    // Creates the window at rc on the screen, owned by the frame; disabled
    // to begin with when the frame is.
    bool Create(HWND frame, const RECT& rc);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The window deletes its object.
    void PostNcDestroy() override { delete this; }

private:
    // The site the bar belongs to, until this window goes; then the site
    // has forgotten the window and this object the site.
    CDockSite* m_pSite;
};
