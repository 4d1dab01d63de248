// The one client view of a frame. OnDraw paints it for the screen (and,
// with a printing context, for the printer and the print preview).
#pragma once

#include "Gdi.h"
#include "Window.h"

class CFrameWnd;

class CView : public CWnd {
public:
    BOOL Create(HWND parentFrame, UINT id);
    // Called once after the frame has created the view.
    virtual void OnInitialUpdate() {}
    virtual void OnDraw(CDC* dc) = 0;
    CFrameWnd* GetParentFrame() const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
};
