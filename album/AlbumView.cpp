#include "album/AlbumView.h"

#include <direct.h>
#include <windowsx.h>

#include <new>

#include "album/AlbumCommands.h"
#include "album/AlbumFolderList.h"
#include "bridge/ModuleGlobals.h"
#include "picture/Picture.h"
#include "res/resource.h"

int g_nAutoShowInterval = 1000;

// Every command the view handles, its handler and its rule.
#define ALBUM_VIEW_ROW(id, handler, enabled, checked) {id, &CAlbumView::handler, enabled, checked},
const CommandEntry<CAlbumView> CAlbumView::s_commands[] = {ALBUM_VIEW_COMMANDS(ALBUM_VIEW_ROW)};
#undef ALBUM_VIEW_ROW

CAlbumView::CAlbumView()
{
    m_pPicture = new (std::nothrow) CPicture;
    // The album still lists and pages without it; nothing is drawn or saved.
    if (m_pPicture == nullptr)
        FwMessageBox("Can not to display image !");
}

CAlbumView::~CAlbumView()
{
    delete m_pPicture;
    m_pPicture = nullptr;
}

CView* CAlbumView::CreateObject()
{
    return new CAlbumView;
}

BOOL CAlbumView::OnCmdMsg(UINT id, CCmdUI* ui)
{
    return DispatchCommand(this, s_commands, id, ui);
}

int CAlbumView::OnCreate()
{
    if (Default() == -1)
        return -1;
    // A folder that cannot be entered leaves the current directory, which
    // the list is then built from.
    _chdir(g_szBrowsePath);
    SendCommand(ID_ALBUM_REFRESH);
    return 0;
}

void CAlbumView::SendCommand(UINT id)
{
    SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void CAlbumView::RepaintIf(bool changed)
{
    if (changed)
        Invalidate(TRUE);
}

void CAlbumView::Travel(int direction)
{
    if (direction != m_nTravel)
        m_cells.CancelReadAhead();
    m_nTravel = direction;
}

void CAlbumView::StartAfresh()
{
    m_cells.CancelReadAhead();
    m_nTravel = 1;
}

void CAlbumView::OnAlbumRefresh()
{
    StartAfresh();
    ResetList();
    CAlbumFolderList::List(m_arrPaths, m_arrNames);
    ShowLastPage();
    // Also when nothing was found, so that pictures of a folder that has
    // become empty do not stay on the screen.
    Invalidate(TRUE);
}

void CAlbumView::OnPageNext()
{
    Travel(1);
    RepaintIf(PageNext());
}

void CAlbumView::OnPagePrev()
{
    Travel(-1);
    RepaintIf(PagePrev());
}

void CAlbumView::OnPageFirst()
{
    Travel(-1);
    RepaintIf(PageFirst());
}

void CAlbumView::OnPageLast()
{
    Travel(1);
    RepaintIf(PageLast());
}

void CAlbumView::OnMultiShow()
{
    if (m_bSingle)
        StartAfresh();
    RepaintIf(MultiShow());
}

void CAlbumView::OnAutoShow()
{
    if (ToggleAutoShow())
        SetTimer(ID_TIMER_AUTOSHOW, static_cast<UINT>(g_nAutoShowInterval));
    else
        KillTimer(ID_TIMER_AUTOSHOW);
}

void CAlbumView::OnTimer()
{
    Travel(1);
    if (AutoShowStep() == Step::Repaint)
        Invalidate(TRUE);
    else
        SendCommand(ID_PAGE_NEXT);
}

void CAlbumView::OnLButtonDown(int x, int y)
{
    if (m_bSingle)
        return;
    int cell = HitTest(x, y);
    if (cell >= 0)
        RedrawCells(SelectCell(cell));
    Default();
}

void CAlbumView::OnLButtonDblClk(int x, int y)
{
    if (m_bSingle)
        return;
    int cell = HitTest(x, y);
    if (cell >= 0) {
        StartAfresh();
        ShowCellAlone(cell);
        Invalidate(TRUE);
    }
    Default();
}

LRESULT CAlbumView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        m_nScreenBits = ScreenBitsPerPixel();
        return OnCreate();
    case WM_ERASEBKGND:
        if (PaintsOwnBackground())
            return 1;
        return Default();
    case WM_SIZE:
        FitCellBudget();
        return Default();
    case WM_DISPLAYCHANGE:
        // Passed on by the frame: the system tells top-level windows only.
        m_nScreenBits = ScreenBitsPerPixel();
        Invalidate(TRUE);
        return Default();
    case WM_LBUTTONDOWN:
        OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_TIMER:
        OnTimer();
        return 0;
    case UM_SHOW_DAY_FOLDER:
        ShowDayFolder(reinterpret_cast<const char*>(lParam), wParam != 0);
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(reinterpret_cast<HWND>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    default:
        return CView::WindowProc(msg, wParam, lParam);
    }
}
