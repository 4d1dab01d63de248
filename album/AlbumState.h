// What the album shows of its file list: the page of nine in multi mode,
// the selected cell, the current picture, single or multi mode, automatic
// browse, and the rules that enable and check the album's commands. Pure
// logic: the view applies the results to the screen.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "album/AlbumListIndex.h"
#include "album/AlbumMarks.h"
#include "album/FileNameRules.h"
#include "album/zoom/Zoom.h"

constexpr int ALBUM_PAGE_SIZE = 9;

struct CellRect {
    int32_t left, top, right, bottom;
};

// One name's change in the album's folder, as the folder has it now. A
// rename is two changes: the old name's (gone) and the new name's, which
// says where it came from.
struct FolderChange {
    std::string name;
    // The runs the name belongs in now, bit r for run r (AlbumListIndex.h);
    // 0 when it is gone or names no picture.
    unsigned runs = 0;
    // Not empty: the name was renamed from this one.
    std::string renamedFrom;
};

class CAlbumState {
public:
    int Count() const { return static_cast<int>(m_arrPaths.size()); }

    // Empties the list and resets page, selection and mode; automatic
    // browse and the current path are kept.
    void ResetList();
    // Appends an entry at the end of the list, of no run: the list follows
    // its folder's changes again after IndexRuns.
    void AppendFile(const std::string& path, const std::string& name);
    // After a list build into the two lists: how many entries each run holds.
    void IndexRuns(const int (&runLengths)[ALBUM_RUNS]);
    // After a list build: the first cell of the last page. False (and no
    // page computed) when the list is empty.
    bool ShowLastPage();

    // Page commands; true when the state changed and wants a repaint.
    bool PageNext();
    bool PagePrev();
    bool PageFirst();
    bool PageLast();
    // Back to multi mode on the page of the picture last shown alone.
    bool MultiShow();

    // The filled cell under (x, y), strictly inside its rectangle, or -1.
    int HitTest(int x, int y) const;
    // A click selects cell k of the page; returns the previous cell.
    int SelectCell(int k);
    // Makes the entry at index current (in multi mode its page is shown);
    // returns the previous cell.
    int SelectIndex(int index);
    // The list index of the entry of that path, or -1; hint is where it
    // was last seen.
    int IndexOfPath(const std::string& path, int hint) const;
    // A double click shows cell k alone, fitted.
    void ShowCellAlone(int k);

    // The arrow keys. On a page they move the selection a cell or a row,
    // and past the page's first or last cell (or row) onto the previous or
    // next page, in the same column where that page has one. Alone they
    // show the previous or next picture, or move the view over a zoomed
    // picture (at its edge that way, nothing). What changed: nothing, the selection within the page (the
    // previous cell is given), the page, the picture, or the zoomed view.
    enum class Moved { Nothing, Cell, Page, Picture, View };
    struct MoveResult {
        Moved moved;
        int previousCell;
    };
    MoveResult MoveLeft() { return MoveBy(-1, 0); }
    MoveResult MoveRight() { return MoveBy(1, 0); }
    MoveResult MoveUp() { return MoveBy(0, -1); }
    MoveResult MoveDown() { return MoveBy(0, 1); }

    // Automatic browse. Toggle returns the new flag.
    bool ToggleAutoShow();
    enum class Step { Repaint, SendNext };
    // One step: wraps to the start (Repaint) or asks for the next page or
    // picture (SendNext).
    Step AutoShowStep();

    // The file commands act on entry m_nCurrent; false when there is none.
    bool HasCurrent() const { return 0 <= m_nCurrent && m_nCurrent < Count(); }
    const std::string& CurrentName() const;
    const std::string& CurrentPath() const;
    // After a rename: the entry's name becomes newName and its path the old
    // folder followed by newName; m_strCurrent follows. It keeps its place,
    // or in a list in name order takes its new name's (and in multi mode
    // the page follows it).
    void ReplaceCurrentName(const std::string& newName, LeadBytePredicate isLead = nullptr);
    // The chooser moved the album to folder: page 0, and the folder is the
    // current entry, appended under the given name, until the next list build.
    void PointAtFolder(const std::string& folder, const std::string& name);
    // After a delete: the entry goes from both lists, and the current
    // picture becomes the one that moved into its place or, when the last
    // one went, the new last one (on the previous page when it was alone on
    // its page).
    void RemoveCurrent();

    // The album follows its folder (album/watch). Whether changes can be
    // applied one by one; false while the list is not a folder's list as
    // built (the chooser's stand-in) or its index could not be kept.
    bool FollowsChanges() const { return m_index.Valid(); }
    // The runs that list the name, bit r for run r.
    unsigned ListedRuns(const std::string& name) const;
    // Whether the changes name a picture that only a walk of the folder
    // can find: one gone under a short name (01WAY-~1.JPG) that no entry
    // bears; the list keeps the names, not their short names.
    bool NeedsWalk(const std::vector<FolderChange>& changes) const;
    // Applies the changes in their order, names matched as the file system
    // matches them (without regard to case). Where the list is in name
    // order (as NTFS lists), a new picture takes its place by name and a
    // renamed one moves to its new name's place; elsewhere a new one joins
    // the end of its run and a rename keeps its place: where a new walk of
    // the folder would list them. A picture that went leaves the list (the
    // current one as after a delete); one written again stays. New paths are folder, a backslash and the name. The current
    // picture stays current, and in multi mode the page shown is the one
    // that holds it. Returns whether what is shown changed: the pictures or
    // names of the page, the picture shown alone, or a file shown that was
    // written again.
    bool ApplyFolderChanges(const std::vector<FolderChange>& changes, const std::string& folder);
    // The list built again from the folder replaces the old one (moved in);
    // the mode stays, the current picture stays current where it is still
    // listed, and otherwise its place goes as after a delete.
    void ReplaceListKeepingPlace(AlbumList&& paths, AlbumList&& names, const int (&runLengths)[ALBUM_RUNS]);

    // What is worth having prepared around what is shown, as list indices.
    // In multi mode, whole pages; in single mode, single pictures.
    // Ahead: the page or picture next in the direction of travel (+1 or
    // -1), wrapping to the start while automatic browse runs, as its steps
    // do; when there is none that way, the one the other way; empty when
    // there is neither.
    std::vector<int> IndicesAhead(int travel) const;
    // Kept: the page or picture shown and those on both sides, and in
    // single mode also the page of the picture shown (multi mode returns to it).
    std::vector<int> IndicesAround() const;

    // The rules of the album's commands (album/AlbumCommands.h). Paging
    // forward and back, per page in multi mode and per picture alone.
    bool CanPageForward() const;
    bool CanPageBack() const;
    bool IsSingleMode() const { return m_bSingle != 0; }
    bool IsMultiMode() const { return m_bSingle == 0; }
    bool IsAutoShowing() const { return m_bAutoShow != 0; }
    // Rename, delete, wallpaper and export: not while automatic browse runs.
    bool CanChangeCurrentFile() const;
    // The arrow keys: a cell, page or picture that way, or, zoomed in, the
    // view can move over the picture that way.
    bool CanMoveLeft() const;
    bool CanMoveRight() const;
    bool CanMoveUp() const;
    bool CanMoveDown() const;
    // Enter on a page: the selected picture alone.
    bool CanShowAlone() const { return IsMultiMode() && HasCurrent(); }
    // The zoom of a picture shown alone (m_zoom knows it once it was painted).
    bool CanZoomIn() const { return IsSingleMode() && m_zoom.CanZoomIn(); }
    bool CanZoomOut() const { return IsSingleMode() && m_zoom.CanZoomOut(); }
    bool CanShowActualSize() const { return IsSingleMode() && m_zoom.CanShowActualSize(); }

    // Marks. A mark belongs to a picture's path: it follows the picture
    // through paging, modes and the folder's changes, and goes when the
    // picture leaves the list.
    bool IsMarked(int index) const { return m_marks.Has(PathAt(index)); }
    int MarkedCount() const { return m_marks.Count(); }
    bool HasMarks() const { return !m_marks.Empty(); }
    // The marked entries in list order.
    std::vector<int> MarkedIndices() const;
    // Ctrl+click: cell k is selected as by a click and its mark toggled;
    // returns the previous cell.
    int ToggleMarkOfCell(int k);
    // The same for the entry at a list index (the click's picture as painted).
    int ToggleMarkAt(int index);
    // Shift+click: every picture from the last one clicked or marked (the
    // selected one when that is no longer listed) to cell k is marked, also
    // across pages, and cell k is selected; returns the previous cell.
    int MarkToCell(int k);
    int MarkTo(int index);
    // Insert: the current picture's mark toggled, then the next picture
    // (the next cell on a page).
    MoveResult ToggleMarkAndMoveOn();
    // Ctrl+A and Esc; true when a mark changed.
    bool MarkAll();
    bool ClearMarks() { return m_marks.Clear(); }
    bool CanClearMarks() const { return IsMultiMode() && HasMarks(); }
    // Delete marked: as delete, with marks, and not while automatic browse runs.
    bool CanDeleteMarked() const { return !m_bAutoShow && HasMarks(); }
    // After a picture of the list was deleted: its entries go, and the
    // current picture gives way as after a delete.
    void RemoveListed(const std::string& path);

    // Index of the first cell of the last page: N - r, r = N mod 9 or 9.
    static int LastPageTop(int count);

    AlbumList m_arrNames;
    AlbumList m_arrPaths;
    int32_t m_nPageTop = 0;
    int32_t m_nCurrent = 0;
    int32_t m_nCellSel = 0;
    std::string m_strCurrent;
    std::string m_strSaveName;
    int32_t m_bSingle = 0;
    int32_t m_bAutoShow = 0;
    CellRect m_rcCell[ALBUM_PAGE_SIZE] = {};
    // The zoom of the picture shown alone: kept while paging to pictures of
    // the same size, back to the fit on a page, a refresh, the chooser and
    // a picture chosen alone.
    CZoom m_zoom;

private:
    const std::string& PathAt(int index) const;
    // In multi mode the page and cell follow the current picture.
    void FollowCurrent();
    void InsertInRun(int run, const std::string& path, const std::string& name);
    // The entry at index is now name at path (it moves where its name belongs).
    void RenameEntry(int index, const std::string& name, const std::string& path);
    void RemoveAt(int index);
    // The paths of the page shown, or of the picture shown alone.
    std::vector<std::string> ShownPaths() const;
    bool IsShown(int index) const;
    int ShownIndex() const;
    int StepSize() const;
    // The page top or picture one step in the direction of travel, or -1.
    int Neighbour(int travel) const;
    int FilledCells(int top) const;
    MoveResult MoveBy(int dx, int dy);
    MoveResult MoveOnPage(int dx, int dy);
    bool CanMoveOnPage(int dx, int dy) const;
    bool CanMoveAlone(int dx, int dy) const;

    // The entry a Shift+click marks from: its path, and where it was.
    int AnchorIndex() const;
    std::unordered_set<std::string> MarkedRenames(const std::vector<FolderChange>& changes,
                                                  const std::string& folder) const;
    void SetAnchor(int index);

    CAlbumListIndex m_index;
    CAlbumMarks m_marks;
    std::string m_strAnchor;
    int m_nAnchor = -1;
};
