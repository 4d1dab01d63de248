// Paging, selection, mode and command rules of the album, and what rename
// and delete do to its list, without windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "album/AlbumState.h"

namespace {

std::string PathOf(int i) { return "C:\\album\\f" + std::to_string(i) + ".jpg"; }

CAlbumState AlbumOf(int files)
{
    CAlbumState album;
    album.ResetList();
    for (int i = 0; i < files; ++i)
        album.AppendFile(PathOf(i), "f" + std::to_string(i) + ".jpg");
    album.ShowLastPage();
    return album;
}

// The two lists still describe the same files, in the same order.
void ExpectListsAgree(const CAlbumState& album)
{
    ASSERT_EQ(album.m_arrNames.size(), album.m_arrPaths.size());
    for (size_t i = 0; i < album.m_arrNames.size(); ++i)
        EXPECT_EQ("C:\\album\\" + album.m_arrNames[i], album.m_arrPaths[i]) << i;
}

TEST(AlbumListBuild, SelectsTheFirstCellOfTheLastPage)
{
    const struct { int files, top; } cases[] = {{1, 0}, {9, 0}, {10, 9}, {18, 9}, {19, 18}, {20, 18}, {27, 18}};
    for (const auto& c : cases) {
        CAlbumState album = AlbumOf(c.files);
        EXPECT_EQ(c.top, album.m_nPageTop) << c.files;
        EXPECT_EQ(c.top, album.m_nCurrent) << c.files;
        EXPECT_EQ(0, album.m_nCellSel) << c.files;
    }
}

TEST(AlbumListBuild, AnEmptyFolderComputesNoPageAndDisablesEverythingThatNeedsAPicture)
{
    CAlbumState album = AlbumOf(0);
    EXPECT_EQ(0, album.m_nPageTop);
    EXPECT_EQ(0, album.m_nCurrent);
    EXPECT_FALSE(album.CanPageForward());
    EXPECT_FALSE(album.CanPageBack());
    EXPECT_FALSE(album.HasCurrent());           // save as, automatic browse
    EXPECT_FALSE(album.CanChangeCurrentFile());
    EXPECT_FALSE(album.PageLast());     // never a page top of -9
    EXPECT_EQ(0, album.m_nPageTop);
}

TEST(AlbumListBuild, RebuildingKeepsAutomaticBrowseAndTheCurrentPathButLeavesSingleMode)
{
    CAlbumState album = AlbumOf(12);
    album.ShowCellAlone(1);
    album.ToggleAutoShow();
    album.ResetList();
    album.AppendFile("C:\\b\\x.bmp", "x.bmp");
    album.ShowLastPage();
    EXPECT_EQ(0, album.m_bSingle);
    EXPECT_EQ(1, album.m_bAutoShow);
    EXPECT_EQ("C:\\album\\f10.jpg", album.m_strCurrent);
}

// A page command from a page (or from a picture shown alone): whether it
// moved, where the album is then, and which ways it may go on. In multi mode
// every page command selects the first cell, also one that moves nowhere.
TEST(AlbumPaging, PageCommandsMoveByPageOrByPictureAloneAndSelectTheFirstCell)
{
    using Command = bool (CAlbumState::*)();
    const struct {
        int files, shown;
        bool alone;
        Command command;
        bool moved;
        int at;     // the page top, or the picture shown alone
        bool forward, back;
    } cases[] = {
        {9, 0, false, &CAlbumState::PageNext, false, 0, false, false},
        {10, 9, false, &CAlbumState::PageNext, false, 9, false, true},
        {10, 9, false, &CAlbumState::PagePrev, true, 0, true, false},
        {10, 0, false, &CAlbumState::PageNext, true, 9, false, true},
        {27, 18, false, &CAlbumState::PageFirst, true, 0, true, false},
        {27, 0, false, &CAlbumState::PageLast, true, 18, false, true},
        {27, 18, false, &CAlbumState::PageNext, false, 18, false, true},
        {5, 4, true, &CAlbumState::PageFirst, true, 0, true, false},
        {5, 4, true, &CAlbumState::PageNext, false, 4, false, true},
        {5, 0, true, &CAlbumState::PageLast, true, 4, false, true},
        {20, 13, true, &CAlbumState::PageNext, true, 14, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.files) + " files, from " + std::to_string(c.shown));
        CAlbumState album = AlbumOf(c.files);
        album.m_nPageTop = album.m_nCurrent = c.shown - c.shown % ALBUM_PAGE_SIZE;
        if (c.alone)
            album.ShowCellAlone(c.shown % ALBUM_PAGE_SIZE);
        else    // the fifth cell, or the last where the page holds fewer
            album.SelectCell(std::min(4, c.files - c.shown - 1));
        EXPECT_EQ(c.moved, (album.*c.command)());
        if (c.alone || c.moved) {
            EXPECT_EQ(c.at, album.m_nCurrent);
        }
        if (c.alone) {
            EXPECT_EQ(PathOf(c.at), album.m_strCurrent);
        } else {
            EXPECT_EQ(c.at, album.m_nPageTop);
            EXPECT_EQ(0, album.m_nCellSel);
        }
        EXPECT_EQ(c.forward, album.CanPageForward());
        EXPECT_EQ(c.back, album.CanPageBack());
    }
}

TEST(AlbumSingleMode, ADoubleClickShowsTheCellAloneAndMultiShowReturnsToItsPage)
{
    CAlbumState album = AlbumOf(20);
    album.PagePrev();                   // page at 9
    album.ShowCellAlone(4);
    EXPECT_EQ(1, album.m_bSingle);
    EXPECT_EQ(13, album.m_nCurrent);
    EXPECT_EQ(PathOf(13), album.m_strCurrent);
    EXPECT_TRUE(album.IsSingleMode() && !album.IsMultiMode());
    album.PageNext();
    EXPECT_TRUE(album.MultiShow());
    EXPECT_TRUE(album.IsMultiMode() && !album.IsSingleMode());
    EXPECT_EQ(9, album.m_nPageTop);
    EXPECT_EQ(5, album.m_nCellSel);
    EXPECT_FALSE(album.MultiShow());    // already in multi mode
}

TEST(AlbumHitTest, BordersAndEmptyCellsHitNothing)
{
    CAlbumState album = AlbumOf(14);    // last page at 9 holds 5 pictures
    for (int k = 0; k < ALBUM_PAGE_SIZE; ++k)   // 100 pixels apart, each 90 x 90
        album.m_rcCell[k] = {k % 3 * 100, k / 3 * 100, k % 3 * 100 + 90, k / 3 * 100 + 90};
    EXPECT_EQ(0, album.HitTest(45, 45));
    EXPECT_EQ(0, album.HitTest(1, 45));      // just inside
    EXPECT_EQ(4, album.HitTest(145, 145));
    EXPECT_EQ(-1, album.HitTest(0, 45));     // on the left border
    EXPECT_EQ(-1, album.HitTest(90, 45));    // on the right border
    EXPECT_EQ(-1, album.HitTest(45, 0));     // on the top border
    EXPECT_EQ(-1, album.HitTest(45, 90));    // on the bottom border
    EXPECT_EQ(-1, album.HitTest(95, 45));    // between two cells
    EXPECT_EQ(-1, album.HitTest(245, 145));  // cell 5 of a page of five
    EXPECT_EQ(-1, AlbumOf(0).HitTest(45, 45));
}

TEST(AlbumClick, SelectsTheCellAndReportsThePreviousOne)
{
    CAlbumState album = AlbumOf(20);
    album.PagePrev();
    EXPECT_EQ(0, album.SelectCell(3));
    EXPECT_EQ(12, album.m_nCurrent);
    EXPECT_EQ("C:\\album\\f12.jpg", album.m_strCurrent);
    EXPECT_EQ(3, album.SelectCell(7));
}

// Pages from the last page at 18 of 20 pictures; pictures from the second
// of three shown alone.
TEST(AlbumAutoShow, WrapsPagesInMultiModeAndPicturesInSingleMode)
{
    for (const bool single : {false, true}) {
        CAlbumState album = AlbumOf(single ? 3 : 20);
        if (single)
            album.ShowCellAlone(1);
        std::vector<int> shown;
        for (int step = 0; step < 5; ++step) {
            if (album.AutoShowStep() == CAlbumState::Step::SendNext)
                album.PageNext();
            shown.push_back(single ? album.m_nCurrent : album.m_nPageTop);
        }
        const std::vector<int> expected = single ? std::vector<int>{2, 0, 1, 2, 0} : std::vector<int>{0, 9, 18, 0, 9};
        EXPECT_EQ(expected, shown);
        if (single) {
            EXPECT_EQ(PathOf(0), album.m_strCurrent);
        }
    }
}

TEST(AlbumAutoShow, DisablesTheFileCommandsAndChecksItsOwn)
{
    CAlbumState album = AlbumOf(4);
    EXPECT_TRUE(album.CanChangeCurrentFile());
    EXPECT_FALSE(album.IsAutoShowing());
    EXPECT_TRUE(album.ToggleAutoShow());
    EXPECT_FALSE(album.CanChangeCurrentFile());     // rename, delete, wallpaper, export
    EXPECT_TRUE(album.HasCurrent());                // save as
    EXPECT_TRUE(album.IsAutoShowing());
    EXPECT_FALSE(album.ToggleAutoShow());
    EXPECT_FALSE(album.IsAutoShowing());
}

// What the album reads ahead and keeps prepared: the first index of each
// page in multi mode (each page is read whole), pictures in single mode.
TEST(AlbumReadAhead, FollowsTheDirectionOfTravelAndWrapsOnlyWithAutomaticBrowse)
{
    const struct {
        int files, shown;
        bool single, autoShow;
        int travel;
        std::vector<int> ahead;
        std::set<int> around;
    } cases[] = {
        {27, 9, false, false, +1, {18}, {0, 9, 18}},
        {27, 9, false, false, -1, {0}, {0, 9, 18}},
        {27, 18, false, false, +1, {9}, {9, 18}},      // nothing forward: the other way
        {27, 18, false, true, +1, {0}, {0, 9, 18}},    // automatic browse wraps
        {27, 0, false, true, -1, {9}, {0, 9}},
        {9, 0, false, true, +1, {}, {0}},
        {20, 12, true, false, +1, {13}, {9, 10, 11, 12, 13, 14, 15, 16, 17}},  // its page too
        {20, 19, true, true, +1, {0}, {0, 18, 19}},
        {20, 0, true, false, -1, {1}, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        CAlbumState album = AlbumOf(c.files);
        if (c.single) {
            album.m_nPageTop = c.shown - c.shown % ALBUM_PAGE_SIZE;
            album.ShowCellAlone(c.shown % ALBUM_PAGE_SIZE);
        } else {
            album.m_nPageTop = album.m_nCurrent = c.shown;
        }
        if (c.autoShow)
            album.ToggleAutoShow();
        const int step = c.single ? 1 : ALBUM_PAGE_SIZE;
        std::vector<int> ahead;
        for (int i : album.IndicesAhead(c.travel))
            if (i % step == 0)
                ahead.push_back(i);
        std::set<int> around;
        for (int i : album.IndicesAround())
            if (i % step == 0)
                around.insert(i);
        EXPECT_EQ(c.ahead, ahead) << c.files << " files, shown " << c.shown;
        EXPECT_EQ(c.around, around) << c.files << " files, shown " << c.shown;
    }
}

TEST(AlbumRename, ReplacesTheCurrentEntryInPlaceInBothLists)
{
    CAlbumState album = AlbumOf(3);
    album.SelectCell(1);
    album.ReplaceCurrentName("door.jpg");
    EXPECT_EQ((std::vector<std::string>{"f0.jpg", "door.jpg", "f2.jpg"}), album.m_arrNames);
    EXPECT_EQ("C:\\album\\door.jpg", album.m_strCurrent);
    EXPECT_EQ(1, album.m_nCurrent);
    EXPECT_EQ(1, album.m_nCellSel);
    EXPECT_EQ(0, album.m_nPageTop);
    ExpectListsAgree(album);
}

TEST(AlbumRename, KeepsAFolderWhoseTwoByteNameEndsInABackslashByte)
{
    CAlbumState album;
    // "\x95\x5C" is one character whose second byte is the backslash code
    // (code page 936: lead bytes 0x81 to 0xFE).
    album.AppendFile("C:\\\x95\x5C\\gate.jpg", "gate.jpg");
    album.ReplaceCurrentName("door.jpg", [](unsigned char c) { return c >= 0x81 && c <= 0xFE; });
    EXPECT_EQ("C:\\\x95\x5C\\door.jpg", album.m_arrPaths[0]);
}

// The current picture becomes the one that moved into its place or, when
// the last one went, the new last one, on the previous page when it was
// alone on its page; back in multi mode, the page is that picture's.
TEST(AlbumDelete, TheCurrentPictureGivesWayToItsSuccessorElseToTheNewLast)
{
    const struct {
        const char* what;
        int files, shown;
        bool single;
        int current, file, pageTop;
    } cases[] = {
        {"alone on the last page", 10, 9, false, 8, 8, 0},
        {"inside a page", 5, 3, false, 3, 4, 0},
        {"the last of a partial page", 5, 4, false, 3, 3, 0},
        {"the last picture alone", 5, 4, true, 3, 3, 0},
        {"the first picture alone", 5, 0, true, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CAlbumState album = AlbumOf(c.files);
        if (c.single)
            album.ShowCellAlone(c.shown % ALBUM_PAGE_SIZE);
        else
            album.SelectCell(c.shown % ALBUM_PAGE_SIZE);
        album.RemoveCurrent();
        EXPECT_EQ(c.files - 1, album.Count());
        EXPECT_EQ(c.single, album.IsSingleMode());
        EXPECT_EQ(c.current, album.m_nCurrent);
        EXPECT_EQ(PathOf(c.file), album.m_strCurrent);
        EXPECT_EQ(PathOf(c.file), album.m_arrPaths[static_cast<size_t>(c.current)]);
        ExpectListsAgree(album);
        album.MultiShow();
        EXPECT_EQ(c.pageTop, album.m_nPageTop);
        EXPECT_EQ(c.current - c.pageTop, album.m_nCellSel);
    }
}

TEST(AlbumDelete, TheOnlyPictureLeavesAnEmptyAlbumInEitherMode)
{
    for (int single : {0, 1}) {
        CAlbumState album = AlbumOf(1);
        if (single)
            album.ShowCellAlone(0);
        album.RemoveCurrent();
        EXPECT_TRUE(album.m_arrNames.empty() && album.m_arrPaths.empty()) << single;
        EXPECT_EQ("", album.m_strCurrent) << single;
        EXPECT_EQ(0, album.m_nCurrent) << single;
        EXPECT_EQ(0, album.m_nPageTop) << single;
        EXPECT_EQ(0, album.m_nCellSel) << single;
        EXPECT_FALSE(album.HasCurrent()) << single;
        EXPECT_FALSE(album.CanChangeCurrentFile()) << single;
    }
    CAlbumState album = AlbumOf(3);
    album.m_nCurrent = 3;   // no current picture: nothing is removed
    album.RemoveCurrent();
    EXPECT_EQ(3, album.Count());
}

// An arrow key on a page: where the selection goes, whether the page turns,
// and that the key's rule offers exactly the moves that go somewhere.
TEST(AlbumArrowKeys, MoveTheSelectionByCellAndRowAndOntoTheNextOrPreviousPage)
{
    using Move = CAlbumState::MoveResult (CAlbumState::*)();
    using Rule = bool (CAlbumState::*)() const;
    const Move left = &CAlbumState::MoveLeft, right = &CAlbumState::MoveRight, up = &CAlbumState::MoveUp,
               down = &CAlbumState::MoveDown;
    using Moved = CAlbumState::Moved;
    const struct {
        const char* what;
        int files, top, cell;
        Move move;
        Moved moved;
        int toTop, toCell;
    } cases[] = {
        {"left within the page", 27, 9, 4, left, Moved::Cell, 9, 3},
        {"left from the first cell: the previous page's last", 27, 9, 0, left, Moved::Page, 0, 8},
        {"left from the very first picture", 27, 0, 0, left, Moved::Nothing, 0, 0},
        {"right within the page", 14, 9, 3, right, Moved::Cell, 9, 4},
        {"right from the last cell: the next page's first", 27, 9, 8, right, Moved::Page, 18, 0},
        {"right from the very last picture", 14, 9, 4, right, Moved::Nothing, 9, 4},
        {"up a row", 27, 9, 4, up, Moved::Cell, 9, 1},
        {"up from the first row: the previous page's last row, same column", 27, 9, 1, up, Moved::Page, 0, 7},
        {"up from the first page's first row", 27, 0, 2, up, Moved::Nothing, 0, 2},
        {"down a row", 27, 9, 4, down, Moved::Cell, 9, 7},
        {"down from the last row: the next page, same column", 27, 9, 7, down, Moved::Page, 18, 1},
        {"down onto a next page too short for the column: its last cell", 20, 9, 8, down, Moved::Page, 18, 1},
        {"down onto a shorter row: its last cell", 14, 9, 2, down, Moved::Cell, 9, 4},
        {"down from the last row of the last page", 14, 9, 4, down, Moved::Nothing, 9, 4},
        {"any way on an empty album", 0, 0, 0, right, Moved::Nothing, 0, 0},
    };
    const std::pair<Move, Rule> rules[] = {{left, &CAlbumState::CanMoveLeft}, {right, &CAlbumState::CanMoveRight},
                                           {up, &CAlbumState::CanMoveUp}, {down, &CAlbumState::CanMoveDown}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CAlbumState album = AlbumOf(c.files);
        album.m_nPageTop = c.top;
        album.SelectCell(c.cell);
        for (const auto& rule : rules) {
            if (rule.first == c.move) {
                EXPECT_EQ(c.moved != Moved::Nothing, (album.*rule.second)());
            }
        }
        const CAlbumState::MoveResult result = (album.*c.move)();
        EXPECT_EQ(static_cast<int>(c.moved), static_cast<int>(result.moved));
        EXPECT_EQ(c.toTop, album.m_nPageTop);
        EXPECT_EQ(c.toCell, album.m_nCellSel);
        EXPECT_EQ(c.toTop + c.toCell, album.m_nCurrent);
        if (c.moved != Moved::Nothing) {
            EXPECT_EQ(PathOf(c.toTop + c.toCell), album.m_strCurrent) << "the file commands act on it";
        }
        if (c.moved == Moved::Cell) {
            EXPECT_EQ(c.cell, result.previousCell) << "the cell to repaint beside the new one";
        }
    }
}

// Alone, the arrows page by picture; on a zoomed picture larger than the
// view they move the view over it instead.
TEST(AlbumArrowKeys, AloneTheyShowThePreviousOrNextPictureOrMoveTheZoomedView)
{
    CAlbumState album = AlbumOf(5);
    album.ShowCellAlone(0);
    EXPECT_FALSE(album.CanMoveLeft());
    EXPECT_FALSE(album.CanMoveUp());
    EXPECT_EQ(CAlbumState::Moved::Picture, album.MoveDown().moved);
    EXPECT_EQ(CAlbumState::Moved::Picture, album.MoveRight().moved);
    EXPECT_EQ(2, album.m_nCurrent);
    EXPECT_EQ(PathOf(2), album.m_strCurrent);
    EXPECT_EQ(CAlbumState::Moved::Picture, album.MoveUp().moved);
    EXPECT_EQ(1, album.m_nCurrent);

    album.m_zoom.Show(3840, 2160, FitIntoBox(3840, 2160, CellBox{1024, 690, 6}), 1024, 690);
    album.m_zoom.ZoomIn(album.m_zoom.Centre());
    EXPECT_TRUE(album.CanMoveLeft());
    EXPECT_EQ(CAlbumState::Moved::View, album.MoveLeft().moved);
    EXPECT_EQ(1, album.m_nCurrent) << "the same picture";
}

// The zoom belongs to the picture shown alone: paging keeps it (a picture
// of another size drops it when painted, tests/album/ZoomTest), the page,
// a refresh, the chooser and a picture chosen alone start fitted.
TEST(AlbumZoom, PagingKeepsItThePageARefreshTheChooserAndAPictureChosenAloneDropIt)
{
    const CellFit fit = FitIntoBox(3840, 2160, CellBox{1024, 690, 6});
    auto zoomedAlone = [&](CAlbumState& album) {
        album.ShowCellAlone(1);
        EXPECT_FALSE(album.CanZoomIn()) << "not painted yet";
        album.m_zoom.Show(3840, 2160, fit, 1024, 690);
        EXPECT_TRUE(album.CanZoomIn());
        album.m_zoom.ZoomIn(album.m_zoom.Centre());
        EXPECT_TRUE(album.CanZoomOut());
        EXPECT_FALSE(album.CanShowActualSize()) << "one to one already";
    };
    CAlbumState album = AlbumOf(5);
    zoomedAlone(album);
    album.PageNext();
    album.PagePrev();
    album.AutoShowStep();
    EXPECT_TRUE(album.m_zoom.IsZoomed());

    const struct {
        const char* what;
        void (*drop)(CAlbumState&);
    } drops[] = {
        {"the page", [](CAlbumState& a) { a.MultiShow(); }},
        {"a refresh", [](CAlbumState& a) { a.ResetList(); }},
        {"the chooser", [](CAlbumState& a) { a.PointAtFolder("C:\\other", "other"); }},
        {"a picture chosen alone", [](CAlbumState& a) { a.ShowCellAlone(2); }},
    };
    for (const auto& d : drops) {
        CAlbumState again = AlbumOf(5);
        zoomedAlone(again);
        d.drop(again);
        EXPECT_FALSE(again.m_zoom.IsZoomed()) << d.what;
        EXPECT_FALSE(again.CanZoomIn()) << d.what;
    }
}

}  // namespace
