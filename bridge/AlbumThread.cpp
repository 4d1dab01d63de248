#include "bridge/AlbumThread.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "bridge/AlbumWnd.h"
#include "album/zoom/JpegNotes.h"
#include "bridge/ModuleGlobals.h"
#include "res/resource.h"

namespace {
// The browser covers the host's video without a title bar; the menu bar
// stays. (The mask is 0xFF37FFFF.)
const LONG kNoCaptionMask = static_cast<LONG>(~(WS_CAPTION | WS_SYSMENU));
// Milliseconds the thread's end waits at most for walks told to stop.
const DWORD kStoppedWalksWait = 2000;
}

BOOL CAlbumThread::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);

    std::unique_ptr<CAlbumWnd> created(new CAlbumWnd);
    // An overlapped window without thick border, minimise or maximise box.
    if (!created->LoadFrame(IDR_ALBUM, WS_OVERLAPPED, nullptr, nullptr))
        return FALSE;   // ExitInstance tells the host
    // From here the window owns its object.
    CAlbumWnd* frame = created.release();
    m_pMainWnd = frame;
    ShowWindow(frame->m_hWnd, SW_SHOWMAXIMIZED);
    LONG style = GetWindowLongA(frame->m_hWnd, GWL_STYLE);
    SetWindowLongA(frame->m_hWnd, GWL_STYLE, style & kNoCaptionMask);
    // Let the system lay out the frame without its caption at once.
    SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(frame->m_hWnd);
    return TRUE;
}

int CAlbumThread::ExitInstance()
{
    // The windows are gone: a walk of a zoomed JPEG's file that was told to
    // stop ends within a few milliseconds, before the host may unload us.
    CJpegNotes::WaitForStoppedWalks(kStoppedWalksWait);
    NotifyHostOnce();
    return CWinThread::ExitInstance();
}

void CAlbumThread::NotifyHostOnce()
{
    if (m_bHostNotified)
        return;
    m_bHostNotified = true;
    PostBrowseExit();
}
