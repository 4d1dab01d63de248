// The album's one view: lists the pictures of the current directory and
// follows the page, selection, mode and zoom commands (from menus, toolbar
// and keys), clicks, double clicks, the wheel, a drag over a zoomed
// picture and the automatic-browse timer.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "album/AlbumBrushes.h"
#include "album/AlbumState.h"
#include "album/WheelNotches.h"
#include "album/cells/AlbumCells.h"
#include "album/zoom/ZoomedPicture.h"
#include "album/watch/FolderWatch.h"
#include "album/export/ExportJob.h"

#include <memory>
#include "framework/CmdUI.h"
#include "framework/View.h"

class CFrameWnd;
class CPicture;

// Milliseconds between two automatic-browse steps.
extern int g_nAutoShowInterval;
// Bytes of the system's record of the folder's changes between two reads
// of the watch: 64 KB, about 2,000 names.
extern int g_nFolderChangeBufferBytes;
// The save dialog's type choice, counted from 1 in filter order. It lives
// as long as the module, so a reopened browser preselects the last
// confirmed type.
extern int g_nSaveFilterIndex;

class CAlbumView : public CView, public CAlbumState {
public:
    // Whether a command acts on the zoom or by it (its rule follows it).
    static bool ActsByZoom(UINT id);
    // A key that may give such a command measures the picture shown alone
    // first, as the command itself would, so that the rule asked for the
    // key knows the picture's size.
    void MeasureBeforeKey() { MeasureBeforeInput(); }
    CAlbumView();
    ~CAlbumView() override;

    // Factory for the frame's creation context.
    static CView* CreateObject();

    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnDraw(CDC* dc) override;

    // Navigation (AlbumView.cpp).
    void OnAlbumRefresh();
    void OnPageNext();
    void OnPagePrev();
    void OnPageFirst();
    void OnPageLast();
    void OnMultiShow();
    void OnAutoShow();
    // The keys' own commands: the selected picture alone, the arrow moves
    // and the zoom of a picture shown alone.
    void OnSingleShow();
    void OnMoveLeft();
    void OnMoveRight();
    void OnMoveUp();
    void OnMoveDown();
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomFit();
    void OnZoomActual();
    // Marks: Insert, Ctrl+A and Esc on a page (AlbumView.cpp).
    void OnMarkToggle();
    void OnMarkAll();
    void OnMarksClear();

    // The commands on the current picture (AlbumFileCommands.cpp).
    void OnFileSaveAs();
    void OnImageRename();
    void OnImageDelete();
    void OnSetWallpaper();
    void OnExportNewBmp();
    void OnContextMenu(HWND from, int screenX, int screenY);
    // The commands on the marked pictures (AlbumMarkedCommands.cpp).
    void OnExportMarked();
    void OnDeleteMarked();
    // Whether an export runs (tests).
    bool IsExporting() const { return m_pExport != nullptr; }

    // The date-and-camera chooser, and what it does to the album.
    void OnFileOpen();
    void ShowDayFolder(const char* folder, bool refreshInSingleMode);

    // Painting (AlbumPaint.cpp).
    // Draws one picture fitted into rc; true when its file could be read.
    bool DrawPicture(const char* path, CDC* dc, const RECT* rc, int margin, int cell);
    void RedrawCells(int previousCell);
    // Waits until nothing is being prepared (tests and benchmarks).
    bool WaitForPreparedCells(DWORD milliseconds) { return m_cells.WaitIdle(std::chrono::milliseconds(milliseconds)); }
    unsigned CellsPrepared() const { return m_cells.Prepared(); }
    const CAlbumCells& Cells() const { return m_cells; }
    // What the view holds of a zoomed picture, in bytes, and the wait for
    // its notes (benchmarks).
    std::size_t ZoomedBytes() const { return m_zoomed.Bytes(); }
    void WaitForZoomNotes() { m_zoomed.WaitForNotes(); }
    // How often the list followed changes of its folder (tests).
    unsigned FolderUpdates() const { return m_nFolderUpdates; }

    CAlbumBrushes m_brushes;
    CPicture* m_pPicture = nullptr;     // owned; null when none could be made
    int32_t m_nImgWidth = 0;
    int32_t m_nImgHeight = 0;
    int32_t m_nImgColors = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    int OnCreate();
    // A click acts on the picture painted under the pointer, wherever an
    // update of the list (applied before the click came to be handled)
    // has put it since.
    void OnLButtonDown(int x, int y, UINT keys);
    void OnLButtonDblClk(int x, int y, UINT keys);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    // A drag with the left button moves a zoomed picture.
    void OnMouseMove(int x, int y);
    void EndPan();
    bool OnSetCursor(UINT hitTest);
    void OnTimer();
    void SendCommand(UINT id);
    void RepaintIf(bool changed);
    // The operator now travels forward (+1) or back (-1); a turn drops
    // what was being read ahead.
    void Travel(int direction);
    // What was read ahead is of no use after a new list or a change of mode.
    void StartAfresh();
    bool DrawCell(CDC* dc, const RECT& rc, const CellKey* key, int cell);
    // A picture shown alone paints the view's background itself, around the
    // picture, instead of the erase before the paint (DrawCell).
    bool PaintsOwnBackground() const { return m_bSingle && m_pPicture != nullptr; }
    void SetFrameTitle(CFrameWnd* frame, const std::string& title);
    // The page as last painted, up to list index end.
    void RememberPainted(int end);
    // The list index of the picture painted in the cell under (x, y), or -1.
    int PaintedIndexAt(int x, int y) const;
    // The frame's title for what is shown: the path of the picture alone or
    // the album's name, and the count of marks when there are any.
    std::string TitleWithMarks(const std::string& title) const;
    void PrepareAround(const CellBox& box);
    // The cells' budget follows the view's size (AlbumPaint.cpp).
    void FitCellBudget();
    // Repaints what an arrow key moved.
    void ShowMove(const MoveResult& result, int direction);
    // The picture alone on the screen: fitted, or zoomed when the zoom
    // still holds for it.
    void DrawAlone(CDC* dc, const RECT& client);
    CZoomedPicture::Rendered DrawZoomed(CDC* dc, const RECT& client, const CellKey& key, int width, int height);
    // The fitted cell of the picture alone tells the zoom the picture's size
    // and fit (AlbumPaint.cpp). Null when the file is gone, and when the
    // cell could not be made for a reason that may pass: the zoom is left
    // as it was then.
    CAlbumCells::Ptr MeasureAlone(const RECT& client, CellKey* key, bool* present);
    // An input that acts on the zoom or by it acts on the picture shown
    // alone as it is now: one made current since the last paint (a page
    // step, Enter) is measured first.
    void MeasureBeforeInput();
    // A picture that is not a JPEG is held whole while zoomed; one larger
    // than the host can spare stays fitted and says so.
    bool RefusesZoom();
    void DrawZoomRefusal(CDC* dc);
    void ReleaseZoomed();
    // A zoomed picture whose file could not be read for a moment keeps its
    // zoom and what the screen shows, and is read again soon.
    void RetryZoomSoon();
    void RepaintZoom(bool changed);
    // Where a zoom step keeps the picture still: the pointer for the
    // wheel, else the view's centre.
    ZoomPoint ZoomAnchor() const { return m_bZoomAtPointer ? m_ptZoomPointer : m_zoom.Centre(); }
    void ZoomAtPointer(UINT id, POINT at);

    // Following the folder (AlbumFolderSync.cpp). The watch moves to the
    // current directory, the folder the list is about to be built from.
    void WatchCurrentFolder();
    void OnFolderChanged();
    // What the folder's changes mean for the list, name by name; false when
    // only a walk of the folder can tell.
    bool ResolveChanges(const CFolderChanges& changes, std::vector<FolderChange>* resolved) const;
    void RebuildKeepingPlace();

    // The export's end, posted by its thread: the outcome told.
    void OnExportDone();
    // Deletes a picture's file as the delete command does: empty when done,
    // else the reason it stays.
    static std::string DeletePictureFile(const std::string& path);
    std::vector<ExportSource> MarkedExportSources() const;

    static const CommandEntry<CAlbumView> s_commands[];

    // After everything its workers might use: they stop before any of it
    // goes.
    CAlbumCells m_cells;
    int m_nTravel = 1;
    // The screen's depth, part of every cell's key: read when the view is
    // made and again when the display changes, not at every paint.
    int m_nScreenBits = 32;
    // The frame's title as this view last set it: asking the window for
    // its text at every paint costs more than the paint of a cached cell.
    std::string m_strFrameTitle;
    CWheelNotches m_wheel;
    bool m_bZoomAtPointer = false;
    ZoomPoint m_ptZoomPointer = {0, 0};
    bool m_bPanning = false;
    POINT m_ptPan = {0, 0};
    CZoomedPicture m_zoomed;
    // The cell the zoom was last measured from, and its key.
    CAlbumCells::Ptr m_pMeasured;
    CellKey m_measuredKey;
    // The picture whose zoom was refused as too large.
    std::string m_strZoomRefused;
    // The paths of the page's cells as last painted on the screen, and
    // the list index of the first.
    std::vector<std::string> m_paintedPaths;
    int m_nPaintedTop = 0;
    // The folder the list was built from, as its paths begin.
    std::string m_strListFolder;
    unsigned m_nFolderUpdates = 0;
    // The export running, if any; it ends (cancelled) before the window goes.
    std::unique_ptr<CExportJob> m_pExport;
    // Stopped when the window goes (WM_DESTROY), and at the latest as the
    // first member to go: its thread uses nothing else of the view.
    CFolderWatch m_watch;
};
