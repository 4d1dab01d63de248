// A frame window loaded from a resource identifier (its menu bar) that
// creates one view from a creation context, lays out the bars along its
// edges and the view, and routes commands: to the active view first, then
// to itself.
#pragma once

#include <vector>

#include "framework/FrameBar.h"
#include "framework/Thread.h"
#include "framework/Window.h"

class CView;

// What the frame needs to make its view: a factory for the view's class.
struct CCreateContext {
    CView* (*m_pNewView)() = nullptr;
};

class CFrameWnd : public CWnd {
public:
    // Creates the window with the menu of resourceId; once created, the
    // frame deletes itself when its window is destroyed. False when the
    // menu or the window cannot be made; the object is then the caller's.
    BOOL LoadFrame(UINT resourceId, DWORD style, HWND parent, CCreateContext* context);
    CView* CreateView(CCreateContext* context, UINT id);
    void SetActiveView(CView* view, BOOL notify = TRUE);
    CView* GetActiveView() const { return m_pActiveView; }
    // Lets each bar take its room off the client area, in the order they
    // were added, and places the view in the rest.
    virtual void RecalcLayout(BOOL notify = TRUE);
    // A bar along the frame's edges; it must live as long as the window.
    void AddBar(CFrameBar* bar) { m_bars.push_back(bar); }

    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual int OnCreate(CREATESTRUCTA* cs);
    virtual BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context);
    virtual void OnClose();
    void PostNcDestroy() override;
    // Updates the items of a popup menu that is about to open.
    void OnInitMenuPopup(HMENU popup);
    // The frame was enabled or disabled (a modal window came or went): the
    // windows floating beside it follow.
    void OnEnable(BOOL enabled);

private:
    CView* m_pActiveView = nullptr;
    CCreateContext* m_pCreateContext = nullptr;
    std::vector<CFrameBar*> m_bars;
};
