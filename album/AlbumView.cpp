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
#define ALBUM_VIEW_ROW(id, handler, enabled, checked, keys) {id, &CAlbumView::handler, enabled, checked},
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
    // Before the rule is asked, too: it follows the zoom.
    if (ActsByZoom(id))
        MeasureBeforeInput();
    return DispatchCommand(this, s_commands, id, ui);
}

bool CAlbumView::ActsByZoom(UINT id)
{
    switch (id) {
    case ID_ZOOM_IN:
    case ID_ZOOM_OUT:
    case ID_ZOOM_FIT:
    case ID_ZOOM_ACTUAL:
    case ID_MOVE_LEFT:
    case ID_MOVE_RIGHT:
    case ID_MOVE_UP:
    case ID_MOVE_DOWN:
        return true;
    default:
        return false;
    }
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
    // Watched before the walk, so that nothing written meanwhile is missed.
    WatchCurrentFolder();
    ResetList();
    int runLengths[ALBUM_RUNS] = {};
    CAlbumFolderList::List(m_arrPaths, m_arrNames, &runLengths);
    IndexRuns(runLengths);
    m_strListFolder = CAlbumFolderList::CurrentFolder();
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

void CAlbumView::OnSingleShow()
{
    // As a double click on the selected cell.
    StartAfresh();
    ShowCellAlone(m_nCellSel);
    Invalidate(TRUE);
}

void CAlbumView::ShowMove(const MoveResult& result, int direction)
{
    switch (result.moved) {
    case Moved::Cell:
        RedrawCells(result.previousCell);   // as a click: the two cells only
        break;
    case Moved::Page:
    case Moved::Picture:
        Travel(direction);
        Invalidate(TRUE);
        break;
    case Moved::View:
        Invalidate(FALSE);
        break;
    case Moved::Nothing:
        break;
    }
}

void CAlbumView::OnMoveLeft()
{
    ShowMove(MoveLeft(), -1);
}

void CAlbumView::OnMoveRight()
{
    ShowMove(MoveRight(), 1);
}

void CAlbumView::OnMoveUp()
{
    ShowMove(MoveUp(), -1);
}

void CAlbumView::OnMoveDown()
{
    ShowMove(MoveDown(), 1);
}

void CAlbumView::RepaintZoom(bool changed)
{
    // The zoomed picture covers the view or paints around itself.
    if (changed)
        Invalidate(FALSE);
}

void CAlbumView::OnZoomIn()
{
    if (!RefusesZoom())
        RepaintZoom(m_zoom.ZoomIn(ZoomAnchor()));
}

void CAlbumView::OnZoomOut()
{
    RepaintZoom(m_zoom.ZoomOut(ZoomAnchor()));
}

void CAlbumView::OnZoomFit()
{
    RepaintZoom(m_zoom.Fit());
}

void CAlbumView::OnZoomActual()
{
    if (!RefusesZoom())
        RepaintZoom(m_zoom.ShowActualSize(ZoomAnchor()));
}

// The command passes the gate as a key's would; the pointer is its anchor
// for as long as it runs.
void CAlbumView::ZoomAtPointer(UINT id, POINT at)
{
    m_bZoomAtPointer = true;
    m_ptZoomPointer = ZoomPoint{at.x, at.y};
    SendCommand(id);
    m_bZoomAtPointer = false;
}

// Down (toward the operator) is forward; with Ctrl held the wheel zooms at
// the pointer.
void CAlbumView::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    const bool ctrl = (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0;
    const int notches = m_wheel.Turn(GET_WHEEL_DELTA_WPARAM(wParam), ctrl);
    POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(m_hWnd, &at);
    for (int n = 0; n < (notches < 0 ? -notches : notches); ++n) {
        if (ctrl)
            ZoomAtPointer(notches > 0 ? ID_ZOOM_IN : ID_ZOOM_OUT, at);
        else
            SendCommand(notches > 0 ? ID_PAGE_PREV : ID_PAGE_NEXT);
    }
}

void CAlbumView::OnMouseMove(int x, int y)
{
    const int dx = x - m_ptPan.x, dy = y - m_ptPan.y;
    m_ptPan = POINT{x, y};
    if (m_zoom.Pan(dx, dy)) {
        Invalidate(FALSE);
        UpdateWindow(m_hWnd);
    }
}

void CAlbumView::EndPan()
{
    if (!m_bPanning)
        return;
    m_bPanning = false;
    ReleaseCapture();
}

// A hand while the picture alone can be moved.
bool CAlbumView::OnSetCursor(UINT hitTest)
{
    if (hitTest != HTCLIENT || !m_bSingle || !m_zoom.CanPan())
        return false;
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    return true;
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

void CAlbumView::OnMarkToggle()
{
    const MoveResult result = ToggleMarkAndMoveOn();
    if (m_bSingle || result.moved != Moved::Cell)
        Invalidate(TRUE);   // also when nothing moved: the mark changed
    else
        RedrawCells(result.previousCell);
    if (result.moved == Moved::Page || result.moved == Moved::Picture)
        Travel(1);
}

void CAlbumView::OnMarkAll()
{
    RepaintIf(MarkAll());
}

void CAlbumView::OnMarksClear()
{
    RepaintIf(ClearMarks());
}

void CAlbumView::OnLButtonDown(int x, int y, UINT keys)
{
    if (m_bSingle) {
        MeasureBeforeInput();
        // Alone, the button takes hold of a zoomed picture larger than the view.
        if (m_zoom.CanPan()) {
            m_bPanning = true;
            m_ptPan = POINT{x, y};
            SetCapture(m_hWnd);
        }
        return;
    }
    const int index = PaintedIndexAt(x, y);
    // With Ctrl the cell's mark changes with the selection, the two cells
    // only; with Shift the marks of a run that may reach other cells.
    if (index >= 0 && (keys & MK_SHIFT) != 0 && (keys & MK_CONTROL) == 0) {
        MarkTo(index);
        Invalidate(TRUE);
    } else if (index >= 0) {
        const int pageTop = m_nPageTop;
        const int previous = (keys & MK_CONTROL) != 0 ? ToggleMarkAt(index) : SelectIndex(index);
        if (m_nPageTop == pageTop)
            RedrawCells(previous);
        else
            Invalidate(TRUE);
    }
    Default();
}

void CAlbumView::RememberPainted(int end)
{
    m_paintedPaths.assign(m_arrPaths.begin() + m_nPageTop, m_arrPaths.begin() + end);
    m_nPaintedTop = m_nPageTop;
}

int CAlbumView::PaintedIndexAt(int x, int y) const
{
    for (size_t k = 0; k < m_paintedPaths.size() && k < ALBUM_PAGE_SIZE; ++k) {
        const CellRect& rc = m_rcCell[k];
        if (rc.left < x && x < rc.right && rc.top < y && y < rc.bottom)
            return IndexOfPath(m_paintedPaths[k], m_nPaintedTop + static_cast<int>(k));
    }
    return -1;
}

void CAlbumView::OnLButtonDblClk(int x, int y, UINT keys)
{
    // A Ctrl or Shift double click is a marking click (its first click
    // marked); only a plain double click shows the picture alone.
    if (m_bSingle || (keys & (MK_CONTROL | MK_SHIFT)) != 0)
        return;
    const int index = PaintedIndexAt(x, y);
    if (index >= 0) {
        StartAfresh();
        SelectIndex(index);
        ShowCellAlone(m_nCurrent - m_nPageTop);
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
        OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), static_cast<UINT>(wParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), static_cast<UINT>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        if (m_bPanning)
            OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return Default();
    case WM_LBUTTONUP:
        EndPan();
        return Default();
    case WM_CAPTURECHANGED:
        m_bPanning = false;
        return Default();
    case WM_SETCURSOR:
        return OnSetCursor(LOWORD(lParam)) ? TRUE : Default();
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam, lParam);
        return 0;
    case WM_TIMER:
        if (wParam == ID_TIMER_ZOOM_RETRY) {
            KillTimer(ID_TIMER_ZOOM_RETRY);
            Invalidate(FALSE);
            return 0;
        }
        OnTimer();
        return 0;
    case UM_FOLDER_CHANGED:
        OnFolderChanged();
        return 0;
    case UM_EXPORT_DONE:
        OnExportDone();
        return 0;
    case WM_DESTROY:
        m_watch.Stop();
        m_pExport.reset();  // cancelled and joined
        return CView::WindowProc(msg, wParam, lParam);
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
