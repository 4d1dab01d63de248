// The browser's main frame: menu bar and toolbar of IDR_ALBUM over the one
// album view. Closing it tells the host and ends the browser thread.
#pragma once

#include "framework/CmdUI.h"
#include "framework/DockSite.h"
#include "framework/Frame.h"
#include "framework/ToolBar.h"

class CAlbumWnd : public CFrameWnd, public CIdleUpdate {
public:
    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnIdleUpdateCmdUI() override;
    void OnAlbumReturn();

    // Where the toolbar stands: docked at an edge or floating.
    CDockSite& ToolBarDock() { return m_toolBarDock; }

protected:
    int OnCreate(CREATESTRUCTA* cs) override;
    BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context) override;
    void OnClose() override;

private:
    static const CommandEntry<CAlbumWnd> s_commands[];

    CToolBar m_wndToolBar;
    // Declared after the bar, so that it lets the bar go first.
    CDockSite m_toolBarDock;
};
