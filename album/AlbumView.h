// The album's one view: lists the pictures of the current directory and
// follows the page, selection and mode commands, clicks, double clicks and
// the automatic-browse timer.
#pragma once

#include "AlbumState.h"
#include "CmdUI.h"
#include "View.h"

// Milliseconds between two automatic-browse steps.
extern int g_nAutoShowInterval;

class CAlbumView : public CView, public CAlbumState {
public:
    CAlbumView();
    ~CAlbumView() override;

    // Factory for the frame's creation context.
    static CView* CreateObject();

    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnDraw(CDC* dc) override;

    // Command handlers.
    void OnAlbumRefresh();
    void OnPageNext();
    void OnPagePrev();
    void OnPageFirst();
    void OnPageLast();
    void OnMultiShow();
    void OnAutoShow();
    // The shared update rule of every command in the table.
    void OnUpdateCommand(CCmdUI* ui);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    int OnCreate();
    void OnLButtonDown(int x, int y);
    void OnLButtonDblClk(int x, int y);
    void OnTimer();
    void SendCommand(UINT id);
    void RepaintIf(bool changed);

    static const CommandEntry<CAlbumView> s_commands[];
};
