// The browser's main frame: menu bar and toolbar of IDR_ALBUM over the one
// album view. Closing it tells the host and ends the browser thread. Its
// thread's loop lets it see keys and the wheel first, so that they reach
// the album wherever the focus is in the browser.
#pragma once

#include "framework/CmdUI.h"
#include "framework/DockSite.h"
#include "framework/Frame.h"
#include "framework/ToolBar.h"

class CAlbumWnd : public CFrameWnd, public CIdleUpdate {
public:
    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnIdleUpdateCmdUI() override;
    void OnAlbumReturn();

    // Where the toolbar stands: docked at an edge or floating.
    CDockSite& ToolBarDock() { return m_toolBarDock; }

protected:
    int OnCreate(CREATESTRUCTA* cs) override;
    BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context) override;
    void OnClose() override;

private:
    // The frame, its children, and the toolbar's floating window with its
    // children; not the print preview, whose keys are its own.
    bool IsBrowserWindow(HWND wnd) const;
    // A key of the album's command rows issues its command through the
    // command gate, which drops a disabled one.
    BOOL TranslateKey(WPARAM virtualKey);
    // The system sends the wheel to the focus; the album takes it wherever
    // the pointer is over the frame.
    BOOL RouteWheel(const MSG& msg);

    static const CommandEntry<CAlbumWnd> s_commands[];

    CToolBar m_wndToolBar;
    // Declared after the bar, so that it lets the bar go first.
    CDockSite m_toolBarDock;
};
