// A frame window loaded from a resource identifier (its menu bar) that
// creates one view from a creation context, lays out its toolbar and the
// view, and routes commands: to the active view first, then to itself.
#pragma once

#include "framework/Thread.h"
#include "framework/ToolBar.h"
#include "framework/Window.h"

class CView;

// What the frame needs to make its view: a factory for the view's class.
struct CCreateContext {
    CView* (*m_pNewView)() = nullptr;
};

class CFrameWnd : public CWnd, public CIdleUpdate {
public:
    // Creates the window with the menu of resourceId; once created, the
    // frame deletes itself when its window is destroyed. False when the
    // menu or the window cannot be made; the object is then the caller's.
    BOOL LoadFrame(UINT resourceId, DWORD style, HWND parent, CCreateContext* context);
    CView* CreateView(CCreateContext* context, UINT id);
    void SetActiveView(CView* view, BOOL notify = TRUE);
    CView* GetActiveView() const { return m_pActiveView; }
    // Places a docked toolbar along its edge and the view in the rest.
    virtual void RecalcLayout(BOOL notify = TRUE);
    // The edges (CBRS_ALIGN_ flags) at which bars may dock.
    void EnableDocking(DWORD sides) { m_dockSides = sides & CBRS_ALIGN_ANY; }
    DWORD DockingSides() const { return m_dockSides; }

    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnIdleUpdateCmdUI() override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual int OnCreate(CREATESTRUCTA* cs);
    virtual BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context);
    virtual void OnClose();
    void PostNcDestroy() override;
    // Updates the items of a popup menu that is about to open.
    void OnInitMenuPopup(HMENU popup);

    CToolBar m_wndToolBar;

private:
    CView* m_pActiveView = nullptr;
    CCreateContext* m_pCreateContext = nullptr;
    DWORD m_dockSides = 0;
};
