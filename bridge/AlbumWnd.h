// The browser's main frame: menu bar and toolbar of IDR_ALBUM over the one
// album view. Closing it tells the host and ends the browser thread.
#pragma once

#include "framework/CmdUI.h"
#include "framework/Frame.h"

class CAlbumWnd : public CFrameWnd {
public:
    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnAlbumReturn();

protected:
    int OnCreate(CREATESTRUCTA* cs) override;
    BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context) override;
    void OnClose() override;

private:
    static const CommandEntry<CAlbumWnd> s_commands[];
};
