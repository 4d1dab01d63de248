// Paging, selection, mode and command rules of the album, and what rename
// and delete do to its list, without windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
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
    EXPECT_EQ((AlbumList{"f0.jpg", "door.jpg", "f2.jpg"}), album.m_arrNames);
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

}

// Zoomed in, an arrow moves the view over the picture while the picture
// reaches past the view's edge that way; elsewhere it does nothing, never
// another picture, and its rule says so: the rule is what the move does.
TEST(AlbumArrowKeys, ZoomedInTheyMoveTheViewOnlyWhereThePictureReachesPastTheViewThatWay)
{
    using Move = CAlbumState::MoveResult (CAlbumState::*)();
    using Rule = bool (CAlbumState::*)() const;
    const struct {
        const char* name;
        Move move;
        Rule rule;
    } arrows[] = {{"Left", &CAlbumState::MoveLeft, &CAlbumState::CanMoveLeft},
                  {"Right", &CAlbumState::MoveRight, &CAlbumState::CanMoveRight},
                  {"Up", &CAlbumState::MoveUp, &CAlbumState::CanMoveUp},
                  {"Down", &CAlbumState::MoveDown, &CAlbumState::CanMoveDown}};
    const struct {
        const char* what;
        int width, height, scale;
        int panX, panY;             // view pixels, before the arrows
        bool left, right, up, down; // the view moves that way
    } cases[] = {
        {"a 4K picture at 1, in the middle", 3840, 2160, 1, 0, 0, true, true, true, true},
        {"at its top-left corner", 3840, 2160, 1, 100000, 100000, false, true, false, true},
        {"at its bottom-right corner", 3840, 2160, 1, -100000, -100000, true, false, true, false},
        {"wider than the view, lower than it", 1920, 200, 2, 0, 0, true, true, false, false},
        {"higher than the view, narrower than it", 200, 1920, 2, 0, 0, false, false, true, true},
        {"smaller than the view on both sides", 352, 288, 2, 0, 0, false, false, false, false},
    };
    for (const auto& c : cases) {
        for (size_t a = 0; a < 4; ++a) {
            SCOPED_TRACE(std::string(c.what) + ": " + arrows[a].name);
            CAlbumState album = AlbumOf(5);
            album.ShowCellAlone(2);
            album.m_zoom.Show(c.width, c.height, FitIntoBox(c.width, c.height, CellBox{1024, 690, 6}), 1024, 690);
            while (album.m_zoom.Scale() < c.scale)
                ASSERT_TRUE(album.m_zoom.ZoomIn(album.m_zoom.Centre()));
            album.m_zoom.Pan(c.panX, c.panY);
            const bool moves = a == 0 ? c.left : a == 1 ? c.right : a == 2 ? c.up : c.down;
            const ZoomRegion before = album.m_zoom.Region();
            EXPECT_EQ(moves, (album.*arrows[a].rule)());
            EXPECT_EQ(static_cast<int>(moves ? CAlbumState::Moved::View : CAlbumState::Moved::Nothing),
                      static_cast<int>((album.*arrows[a].move)().moved));
            const ZoomRegion after = album.m_zoom.Region();
            EXPECT_EQ(moves, after.left != before.left || after.top != before.top);
            EXPECT_EQ(2, album.m_nCurrent) << "the same picture";
            EXPECT_EQ(c.scale, album.m_zoom.Scale());
        }
    }
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

// The album following its folder: lists of pictures of several patterns,
// each name's run from its extension, as a list build makes them.
namespace {

const char* const kRunExtensions[] = {".bmp", ".gif", ".pcx", ".tga", ".jpg", ".tif"};

unsigned RunsOfName(const std::string& name)
{
    for (int run = 0; run < ALBUM_RUNS; ++run)
        if (name.size() > 4 && name.compare(name.size() - 4, 4, kRunExtensions[run]) == 0)
            return 1u << run;
    return 0;
}

int RunOfName(const std::string& name)
{
    for (int run = 0; run < ALBUM_RUNS; ++run)
        if (RunsOfName(name) == 1u << run)
            return run;
    return -1;
}

const char kFolder[] = "C:\\album";

// As a list build makes it: the entries, then their runs.
CAlbumState AlbumWith(const std::vector<std::string>& names)
{
    CAlbumState album;
    album.ResetList();
    int runLengths[ALBUM_RUNS] = {};
    for (const std::string& name : names) {
        album.AppendFile(std::string(kFolder) + "\\" + name, name);
        ++runLengths[RunOfName(name)];
    }
    album.IndexRuns(runLengths);
    album.ShowLastPage();
    return album;
}

std::vector<std::string> Names(const char* stem, int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(stem + std::to_string(i) + ".jpg");
    return names;
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// There now, as a picture of its extension's pattern.
FolderChange There(const std::string& name, const std::string& renamedFrom = "")
{
    return FolderChange{name, RunsOfName(name), renamedFrom};
}
// Gone, or there under a name that is no picture's.
FolderChange Gone(const std::string& name, const std::string& renamedFrom = "")
{
    return FolderChange{name, 0, renamedFrom};
}

std::string InFolder(const std::string& name) { return std::string(kFolder) + "\\" + name; }

}  // namespace

// Each row: an album, the picture made current (shown alone or selected on
// its page), the changes as the folder has them, and then the list, the
// current picture, the page shown in multi mode and whether the screen
// must be painted again.
TEST(AlbumFollowsFolder, ChangesKeepTheCurrentPictureAndItsPage)
{
    const std::vector<std::string> j10 = Names("j", 10);
    const struct {
        const char* what;
        std::vector<std::string> list;
        bool single;
        int current;
        std::vector<FolderChange> changes;
        std::vector<std::string> after;
        int currentAfter;
        std::string currentName;
        bool shownChanged;
    } rows[] = {
        {"a tenth picture on a one-page album joins the next page", Names("j", 9), false, 0, {There("j9.jpg")},
         j10, 0, "j0.jpg", false},
        {"a picture arriving on the last page shows in its cell", j10, false, 9, {There("new.jpg")},
         Joined(j10, {"new.jpg"}), 9, "j9.jpg", true},
        {"a BMP joins the end of the BMP run, before the JPG pictures", Joined({"b0.bmp"}, Names("j", 9)), false, 9,
         {There("b1.bmp")}, Joined({"b0.bmp", "b1.bmp"}, Names("j", 9)), 10, "j8.jpg", true},
        {"a picture before the current one went: the current one moves back a page", j10, false, 9, {Gone("j0.jpg")},
         {j10.begin() + 1, j10.end()}, 8, "j9.jpg", true},
        {"the current picture went inside its page: the next takes its place", Names("j", 5), false, 3,
         {Gone("j3.jpg")}, {"j0.jpg", "j1.jpg", "j2.jpg", "j4.jpg"}, 3, "j4.jpg", true},
        {"the current picture went alone on the last page: the last of the page before", j10, false, 9,
         {Gone("j9.jpg")}, Names("j", 9), 8, "j8.jpg", true},
        {"in name order, a picture arriving takes its place by name", Names("j", 5), false, 3, {There("j11.jpg")},
         {"j0.jpg", "j1.jpg", "j11.jpg", "j2.jpg", "j3.jpg", "j4.jpg"}, 4, "j3.jpg", true},
        {"in name order, letters compare as capitals: _ comes after them", {"ab.jpg", "b.jpg"}, false, 0,
         {There("a_.jpg")}, {"ab.jpg", "a_.jpg", "b.jpg"}, 0, "ab.jpg", true},
        {"in name order, case does not count", {"aa.jpg", "Ac.jpg"}, false, 1, {There("AB.jpg")},
         {"aa.jpg", "AB.jpg", "Ac.jpg"}, 2, "Ac.jpg", true},
        {"in name order, a rename takes its new name's place and stays current", Names("j", 5), false, 2,
         {Gone("j2.jpg"), There("door.jpg", "j2.jpg")}, {"door.jpg", "j0.jpg", "j1.jpg", "j3.jpg", "j4.jpg"}, 0,
         "door.jpg", true},
        {"in name order, a rename further on moves the others back", Names("j", 5), false, 3,
         {Gone("j1.jpg"), There("k.jpg", "j1.jpg")}, {"j0.jpg", "j2.jpg", "j3.jpg", "j4.jpg", "k.jpg"}, 2, "j3.jpg",
         true},
        {"in creation order, a picture arriving joins the end of its run", {"j5.jpg", "j2.jpg"}, false, 0,
         {There("j3.jpg")}, {"j5.jpg", "j2.jpg", "j3.jpg"}, 0, "j5.jpg", true},
        {"in creation order, a rename keeps the place", {"k.jpg", "j1.jpg", "j2.jpg"}, false, 1,
         {Gone("j1.jpg"), There("door.jpg", "j1.jpg")}, {"k.jpg", "door.jpg", "j2.jpg"}, 1, "door.jpg", true},
        {"a rename in case only keeps the picture under its new name", Names("j", 3), false, 1,
         {Gone("j1.jpg"), There("J1.jpg", "j1.jpg")}, {"j0.jpg", "J1.jpg", "j2.jpg"}, 1, "J1.jpg", true},
        {"a picture gone under its name in another case leaves", Names("j", 3), false, 0, {Gone("J2.JPG")},
         {"j0.jpg", "j1.jpg"}, 0, "j0.jpg", true},
        {"a rename into another pattern leaves its run for the other's end", {"b0.bmp", "j0.jpg", "j1.jpg"}, false, 2,
         {Gone("j1.jpg"), There("j1.bmp", "j1.jpg")}, {"b0.bmp", "j1.bmp", "j0.jpg"}, 2, "j0.jpg", true},
        {"a temporary file renamed into a picture name arrives", {"j0.jpg", "j1.jpg"}, false, 0,
         {Gone("snap.tmp"), There("snap.jpg", "snap.tmp")}, {"j0.jpg", "j1.jpg", "snap.jpg"}, 0, "j0.jpg", true},
        {"a picture renamed out of the patterns goes", Names("j", 3), false, 0,
         {Gone("j1.jpg"), Gone("j1.txt", "j1.jpg")}, {"j0.jpg", "j2.jpg"}, 0, "j0.jpg", true},
        {"an old name written anew is no rename", {"j0.jpg", "j1.jpg"}, false, 1,
         {There("j0.jpg"), There("k.jpg", "j0.jpg")}, {"j0.jpg", "j1.jpg", "k.jpg"}, 1, "j1.jpg", true},
        {"a picture shown written again is painted again", j10, false, 9, {There("j9.jpg")}, j10, 9, "j9.jpg", true},
        {"a picture not shown written again changes nothing", j10, false, 9, {There("j0.jpg")}, j10, 9, "j9.jpg",
         false},
        {"a name that is no picture changes nothing", j10, false, 9, {There("notes.txt"), Gone("old.txt")}, j10, 9,
         "j9.jpg", false},
        {"alone: a picture arriving before it keeps it shown", {"b0.bmp", "j0.jpg", "j1.jpg"}, true, 2,
         {There("b1.bmp")}, {"b0.bmp", "b1.bmp", "j0.jpg", "j1.jpg"}, 3, "j1.jpg", false},
        {"alone: the picture shown went, the next one is shown", Names("j", 3), true, 1, {Gone("j1.jpg")},
         {"j0.jpg", "j2.jpg"}, 1, "j2.jpg", true},
        {"alone: renamed, it stays shown under its new name", Names("j", 3), true, 1,
         {Gone("j1.jpg"), There("gate.jpg", "j1.jpg")}, {"gate.jpg", "j0.jpg", "j2.jpg"}, 0, "gate.jpg", true},
        {"a name whose short name is of another pattern is in both runs", {"j0.jpg"}, false, 0,
         {FolderChange{"x.tif", 1u << 0 | 1u << 5, ""}}, {"x.tif", "j0.jpg", "x.tif"}, 1, "j0.jpg", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CAlbumState album = AlbumWith(row.list);
        album.m_nPageTop = row.current - row.current % ALBUM_PAGE_SIZE;
        if (row.single)
            album.ShowCellAlone(row.current % ALBUM_PAGE_SIZE);
        else
            album.SelectCell(row.current % ALBUM_PAGE_SIZE);
        ASSERT_TRUE(album.FollowsChanges());

        EXPECT_EQ(row.shownChanged, album.ApplyFolderChanges(row.changes, kFolder));
        EXPECT_EQ(AlbumList(row.after.begin(), row.after.end()), album.m_arrNames);
        ExpectListsAgree(album);
        EXPECT_EQ(row.currentAfter, album.m_nCurrent);
        EXPECT_EQ(row.currentName, album.CurrentName());
        EXPECT_EQ(row.single, album.IsSingleMode());
        if (row.single) {
            EXPECT_EQ(InFolder(row.currentName), album.m_strCurrent);
        } else {
            EXPECT_EQ(row.currentAfter - row.currentAfter % ALBUM_PAGE_SIZE, album.m_nPageTop);
            EXPECT_EQ(row.currentAfter % ALBUM_PAGE_SIZE, album.m_nCellSel);
        }
        // And the index found every name where it now is.
        for (size_t i = 0; i < album.m_arrNames.size(); ++i)
            EXPECT_NE(0u, album.ListedRuns(album.m_arrNames[i])) << album.m_arrNames[i];
    }
}

// The rules follow the new count at once.
TEST(AlbumFollowsFolder, ATenthPictureOnAOnePageAlbumOpensTheWayForward)
{
    CAlbumState album = AlbumWith(Names("j", 9));
    EXPECT_FALSE(album.CanPageForward());
    album.ApplyFolderChanges({There("j9.jpg")}, kFolder);
    EXPECT_TRUE(album.CanPageForward());
    EXPECT_FALSE(album.CanPageBack());
    album.ApplyFolderChanges({Gone("j9.jpg")}, kFolder);
    EXPECT_FALSE(album.CanPageForward());
}

TEST(AlbumFollowsFolder, TheFirstPictureOfAnEmptiedAlbumIsShownAlsoAlone)
{
    for (const bool single : {false, true}) {
        CAlbumState album = AlbumWith({"j0.jpg"});
        if (single)
            album.ShowCellAlone(0);
        album.RemoveCurrent();
        ASSERT_EQ(0, album.Count());
        EXPECT_TRUE(album.ApplyFolderChanges({There("j5.jpg")}, kFolder)) << single;
        EXPECT_EQ(0, album.m_nCurrent) << single;
        EXPECT_EQ(InFolder("j5.jpg"), album.m_strCurrent) << single;
        EXPECT_TRUE(album.HasCurrent()) << single;
    }
}

// The delete and rename commands change the list too: the changes the
// folder then reports of them find the list already as it is, and later
// ones find every name where it now stands.
TEST(AlbumFollowsFolder, TheFileCommandsOwnChangesAreAlreadyThere)
{
    // Whether the index of names was made before the commands or after.
    for (const bool lookedUpBefore : {false, true}) {
        SCOPED_TRACE(lookedUpBefore ? "looked up before" : "not looked up before");
        CAlbumState album = AlbumWith(Names("j", 5));
        if (lookedUpBefore)
            album.ListedRuns("j0.jpg");
        album.SelectCell(2);
        album.ReplaceCurrentName("door.jpg");
        album.ApplyFolderChanges({Gone("j2.jpg"), There("door.jpg", "j2.jpg")}, kFolder);
        EXPECT_EQ((AlbumList{"door.jpg", "j0.jpg", "j1.jpg", "j3.jpg", "j4.jpg"}), album.m_arrNames);
        EXPECT_EQ(0, album.m_nCurrent);
        album.SelectCell(2);
        album.RemoveCurrent();
        EXPECT_FALSE(album.ApplyFolderChanges({Gone("j1.jpg")}, kFolder));
        EXPECT_EQ((AlbumList{"door.jpg", "j0.jpg", "j3.jpg", "j4.jpg"}), album.m_arrNames);
        album.ApplyFolderChanges({Gone("j3.jpg"), There("j5.jpg")}, kFolder);
        EXPECT_EQ((AlbumList{"door.jpg", "j0.jpg", "j4.jpg", "j5.jpg"}), album.m_arrNames);
        ExpectListsAgree(album);
    }
}

// Many changes in a row, against a plain model of the rules: each run's
// names in the order they came, a rename within a run in place. The index
// must find every name where the lists have it after each change.
TEST(AlbumFollowsFolder, ALongRunOfChangesKeepsTheListAsAPlainModelDoes)
{
    // Forty names in three runs, as a list build gives them.
    std::vector<std::vector<std::string>> model(ALBUM_RUNS);
    for (int i = 0; i < 40; ++i)
        model[static_cast<size_t>(i % 3 * 2)].push_back("n" + std::to_string(i) + kRunExtensions[i % 3 * 2]);
    std::vector<std::string> initial;
    for (const auto& run : model)
        initial.insert(initial.end(), run.begin(), run.end());
    CAlbumState album = AlbumWith(initial);
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    int made = 100;
    for (int step = 0; step < 2000; ++step) {
        std::vector<std::string> listed;
        for (const auto& run : model)
            listed.insert(listed.end(), run.begin(), run.end());
        const unsigned what = next(3);
        if (what == 0 || listed.empty()) {         // arrives
            const std::string name = "n" + std::to_string(made++) + kRunExtensions[next(ALBUM_RUNS)];
            album.ApplyFolderChanges({There(name)}, kFolder);
            model[static_cast<size_t>(RunOfName(name))].push_back(name);
        } else {
            const std::string old = listed[next(static_cast<unsigned>(listed.size()))];
            auto& run = model[static_cast<size_t>(RunOfName(old))];
            const auto at = std::find(run.begin(), run.end(), old);
            if (what == 1) {                        // goes
                album.ApplyFolderChanges({Gone(old)}, kFolder);
                run.erase(at);
            } else {                                // renamed within its pattern
                const std::string name = "n" + std::to_string(made++) + old.substr(old.size() - 4);
                album.ApplyFolderChanges({Gone(old), There(name, old)}, kFolder);
                *at = name;
            }
        }
        std::vector<std::string> expected;
        for (const auto& run : model)
            expected.insert(expected.end(), run.begin(), run.end());
        ASSERT_EQ(AlbumList(expected.begin(), expected.end()), album.m_arrNames) << "step " << step;
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(1u << RunOfName(expected[i]), album.ListedRuns(expected[i])) << "step " << step;
    }
    ExpectListsAgree(album);
}

// Another program makes, removes and renames pictures (also in case only)
// in a folder that lists its names in name order: after every change the
// list is what a fresh listing of the folder gives (each pattern's names
// ordered as the file system orders them, capitals for letters), and the
// current picture stays current while it is there.
TEST(AlbumFollowsFolder, InNameOrderTheListStaysAsAFreshListingOfTheFolder)
{
    std::mt19937 random(20261209);
    const std::string letters = "aBc_Z09.-";
    auto nameOf = [&](int run) {
        std::string name;
        for (int i = 1 + static_cast<int>(random() % 4); i > 0; --i)
            name += letters[random() % letters.size()];
        return name + kRunExtensions[run];
    };
    auto capitals = [](std::string name) {
        for (char& c : name)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return name;
    };
    // The folder: its names by run, as the file system tells them apart.
    std::vector<std::map<std::string, std::string>> folder(ALBUM_RUNS);
    auto freshListing = [&] {
        std::vector<std::string> listed;
        for (const auto& run : folder)
            for (const auto& entry : run)
                listed.push_back(entry.second);
        return listed;
    };
    for (int i = 0; i < 30; ++i) {
        const int run = static_cast<int>(random() % 3) * 2;
        const std::string name = nameOf(run);
        folder[static_cast<size_t>(run)].emplace(capitals(name), name);
    }
    CAlbumState album = AlbumWith(freshListing());
    for (int step = 0; step < 3000; ++step) {
        const std::vector<std::string> listed = freshListing();
        const int current = listed.empty() ? -1 : static_cast<int>(random() % listed.size());
        if (current >= 0) {
            album.m_nPageTop = current - current % ALBUM_PAGE_SIZE;
            album.SelectCell(current % ALBUM_PAGE_SIZE);
        }
        const std::string currentName = current >= 0 ? listed[static_cast<size_t>(current)] : "";
        const unsigned what = listed.empty() ? 0 : random() % 4;
        std::vector<FolderChange> changes;
        std::string renamedTo;
        if (what == 0) {                                    // arrives
            const int run = static_cast<int>(random() % ALBUM_RUNS);
            const std::string name = nameOf(run);
            if (!folder[static_cast<size_t>(run)].emplace(capitals(name), name).second)
                continue;
            changes = {There(name)};
        } else {
            const std::string old = listed[random() % listed.size()];
            auto& run = folder[static_cast<size_t>(RunOfName(old))];
            run.erase(capitals(old));
            if (what == 1) {                                // goes
                changes = {Gone(old)};
            } else {                                        // renamed within its pattern
                std::string name = what == 2 ? nameOf(RunOfName(old)) : old;
                if (what == 3)                              // in case only
                    for (char& c : name)
                        c = static_cast<char>(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c)
                                                                                           : std::toupper(c));
                name.replace(name.size() - 4, 4, old.substr(old.size() - 4));
                if (!run.emplace(capitals(name), name).second) {
                    run.emplace(capitals(old), old);
                    continue;
                }
                changes = {Gone(old), There(name, old)};
                if (old == currentName)
                    renamedTo = name;
            }
        }
        album.ApplyFolderChanges(changes, kFolder);
        const std::vector<std::string> expected = freshListing();
        ASSERT_EQ(AlbumList(expected.begin(), expected.end()), album.m_arrNames) << "step " << step;
        const std::string stillCurrent = renamedTo.empty() ? currentName : renamedTo;
        if (std::find(expected.begin(), expected.end(), stillCurrent) != expected.end()) {
            ASSERT_EQ(stillCurrent, album.CurrentName()) << "step " << step;
        }
    }
    ExpectListsAgree(album);
}

// Windows may report a file that went by its short name, which the list
// does not keep: only a walk of the folder can tell which one went.
TEST(AlbumFollowsFolder, APictureGoneUnderAShortNameNoEntryBearsNeedsAWalk)
{
    const CAlbumState album = AlbumWith({"01way-2001-07-05-13.57.36-00.jpg", "AB~1.jpg", "j0.jpg"});
    const struct {
        const char* what;
        std::vector<FolderChange> changes;
        bool needsWalk;
    } rows[] = {
        {"removed by its short name", {Gone("01WAY-~1.JPG")}, true},
        {"renamed from its short name", {Gone("01WAY-~1.JPG"), There("door.jpg", "01WAY-~1.JPG")}, true},
        {"short names of the other patterns", {Gone("X~1.TIF"), Gone("PCX~12.pcx")}, true},
        {"a long name of that shape that is listed", {Gone("ab~1.JPG")}, false},
        {"a long name that went (the list's own delete)", {Gone("j9.jpg")}, false},
        {"the short name of no picture", {Gone("NOTES~1.TXT"), Gone("X~1.JPE")}, false},
        {"a name with a tilde that no short name has", {Gone("a~b.jpg"), Gone("longer-than-8~1.jpg")}, false},
        {"there under a short name: looked up by it", {There("01WAY-~1.jpg")}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.needsWalk, album.NeedsWalk(row.changes)) << row.what;
}

// The chooser's stand-in for its folder is no entry of any run: the list is
// not a folder's until it is built again.
TEST(AlbumFollowsFolder, TheChoosersStandInStopsTheChangesUntilTheNextBuild)
{
    CAlbumState album = AlbumWith(Names("j", 3));
    album.PointAtFolder("D:\\DataPic\\2010-12-21\\03", "01way-2001-07-05-13.57.36-00.jpg");
    EXPECT_FALSE(album.FollowsChanges());
    EXPECT_FALSE(album.ApplyFolderChanges({There("j9.jpg")}, kFolder));
    EXPECT_EQ(4, album.Count());
    album.ResetList();
    EXPECT_TRUE(album.FollowsChanges());
}

// After a walk of the folder (its changes were lost): the mode stays, the
// current picture stays current where it is still listed, else its place
// goes as after a delete.
TEST(AlbumFollowsFolder, ARebuildKeepsThePlace)
{
    const std::vector<std::string> j12 = Names("j", 12);
    const struct {
        const char* what;
        bool single;
        int current;
        std::vector<std::string> rebuilt;
        int currentAfter;
        std::string currentName;
    } rows[] = {
        {"still listed, further on", false, 4, Joined({"b0.bmp", "b1.bmp"}, Names("j", 12)), 6, "j4.jpg"},
        {"still listed alone, further back", true, 11, {j12.begin() + 3, j12.end()}, 8, "j11.jpg"},
        {"gone: the one now in its place", false, 4, {"j0.jpg", "j1.jpg", "j2.jpg", "j3.jpg", "j5.jpg", "j6.jpg"}, 4,
         "j5.jpg"},
        {"gone with all after it: the new last one", true, 10, Names("j", 3), 2, "j2.jpg"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CAlbumState album = AlbumWith(Names("j", 12));
        album.m_nPageTop = row.current - row.current % ALBUM_PAGE_SIZE;
        if (row.single)
            album.ShowCellAlone(row.current % ALBUM_PAGE_SIZE);
        else
            album.SelectCell(row.current % ALBUM_PAGE_SIZE);
        AlbumList paths;
        int runLengths[ALBUM_RUNS] = {};
        for (const std::string& name : row.rebuilt) {
            paths.push_back(InFolder(name));
            ++runLengths[RunOfName(name)];
        }
        album.ReplaceListKeepingPlace(std::move(paths), AlbumList(row.rebuilt.begin(), row.rebuilt.end()), runLengths);
        EXPECT_EQ(AlbumList(row.rebuilt.begin(), row.rebuilt.end()), album.m_arrNames);
        EXPECT_EQ(row.single, album.IsSingleMode());
        EXPECT_EQ(row.currentAfter, album.m_nCurrent);
        EXPECT_EQ(row.currentName, album.CurrentName());
        if (row.single) {
            EXPECT_EQ(InFolder(row.currentName), album.m_strCurrent);
        } else {
            EXPECT_EQ(row.currentAfter - row.currentAfter % ALBUM_PAGE_SIZE, album.m_nPageTop);
        }
        EXPECT_TRUE(album.FollowsChanges());
    }
}

// Marks: which names are marked, in list order.
namespace {

std::vector<std::string> MarkedNames(const CAlbumState& album)
{
    std::vector<std::string> names;
    for (int index : album.MarkedIndices())
        names.push_back(album.m_arrNames[static_cast<size_t>(index)]);
    return names;
}

std::vector<std::string> NamesOf(const std::vector<int>& indices)
{
    std::vector<std::string> names;
    for (int i : indices)
        names.push_back("j" + std::to_string(i) + ".jpg");
    return names;
}

}  // namespace

// Each row: what the operator does on an album of twenty pictures shown on
// its first page, the marks then, and the picture then current. The clicks
// select as a plain click does; Shift+click marks from the picture last
// clicked or marked, also on another page.
TEST(AlbumMarks, ClicksKeysAndPagingMarkAndKeepTheMarks)
{
    using Actions = void (*)(CAlbumState&);
    const struct {
        const char* what;
        Actions act;
        std::vector<int> marked;
        int current;
    } rows[] = {
        {"Ctrl+click marks, again unmarks", [](CAlbumState& a) { a.ToggleMarkOfCell(2); a.ToggleMarkOfCell(4); a.ToggleMarkOfCell(2); },
         {4}, 2},
        {"Shift+click marks from the picture clicked before, across a page",
         [](CAlbumState& a) { a.SelectCell(7); a.PageNext(); a.MarkToCell(3); }, {7, 8, 9, 10, 11, 12}, 12},
        {"Shift+click backwards, and again from the same picture",
         [](CAlbumState& a) { a.PageNext(); a.SelectCell(4); a.PagePrev(); a.MarkToCell(6); a.MarkToCell(8); },
         {6, 7, 8, 9, 10, 11, 12, 13}, 8},
        {"Shift+click without a click before marks from the selected picture", [](CAlbumState& a) { a.MarkToCell(2); },
         {0, 1, 2}, 2},
        {"Insert marks and moves to the next cell, onto the next page",
         [](CAlbumState& a) { a.SelectCell(7); a.ToggleMarkAndMoveOn(); a.ToggleMarkAndMoveOn(); a.ToggleMarkAndMoveOn(); },
         {7, 8, 9}, 10},
        {"Insert on the last picture marks it and stays",
         [](CAlbumState& a) { a.PageLast(); a.SelectCell(1); a.ToggleMarkAndMoveOn(); }, {19}, 19},
        {"Insert alone marks and shows the next picture",
         [](CAlbumState& a) { a.ShowCellAlone(3); a.ToggleMarkAndMoveOn(); a.ToggleMarkAndMoveOn(); }, {3, 4}, 5},
        {"Ctrl+A marks every picture of the album", [](CAlbumState& a) { a.ToggleMarkOfCell(1); a.MarkAll(); },
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 1},
        {"Esc clears them", [](CAlbumState& a) { a.MarkAll(); a.ClearMarks(); }, {}, 0},
        {"paging, the picture alone and automatic browse keep them",
         [](CAlbumState& a) {
             a.ToggleMarkOfCell(5);
             a.PageLast();
             a.ShowCellAlone(0);
             a.MultiShow();
             a.ToggleAutoShow();
             a.AutoShowStep();
             a.PageNext();
         },
         {5}, 9},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CAlbumState album = AlbumWith(Names("j", 20));
        album.PageFirst();
        row.act(album);
        EXPECT_EQ(NamesOf(row.marked), MarkedNames(album));
        EXPECT_EQ(static_cast<int>(row.marked.size()), album.MarkedCount());
        EXPECT_EQ(row.current, album.m_nCurrent);
        for (int i = 0; i < album.Count(); ++i)
            EXPECT_EQ(std::count(row.marked.begin(), row.marked.end(), i) != 0, album.IsMarked(i)) << i;
    }
}

TEST(AlbumMarks, EscClearsThemOnAPageOnly)
{
    CAlbumState album = AlbumWith(Names("j", 5));
    EXPECT_FALSE(album.CanClearMarks());
    album.ToggleMarkOfCell(1);
    EXPECT_TRUE(album.CanClearMarks());
    album.ShowCellAlone(1);
    EXPECT_FALSE(album.CanClearMarks());    // Esc goes back to the page
}

// A mark follows its file: a picture that goes leaves the marks, a renamed
// one keeps its mark (also into another pattern), a list built again keeps
// the marks of the pictures still listed, and another folder's list none.
TEST(AlbumMarks, FollowTheirFilesThroughTheFoldersChanges)
{
    const std::vector<std::string> bj = {"b0.bmp", "j0.jpg", "j1.jpg", "j2.jpg"};
    using Change = void (*)(CAlbumState&);
    const struct {
        const char* what;
        Change change;
        std::vector<std::string> marked;
    } rows[] = {
        {"a marked picture removed", [](CAlbumState& a) { a.ApplyFolderChanges({Gone("j1.jpg")}, kFolder); },
         {"b0.bmp"}},
        {"renamed within its pattern",
         [](CAlbumState& a) { a.ApplyFolderChanges({Gone("j1.jpg"), There("door.jpg", "j1.jpg")}, kFolder); },
         {"b0.bmp", "door.jpg"}},
        {"renamed into another pattern, the old name's change after the new one's",
         [](CAlbumState& a) { a.ApplyFolderChanges({There("j1.bmp", "j1.jpg"), Gone("j1.jpg")}, kFolder); },
         {"b0.bmp", "j1.bmp"}},
        {"renamed into another pattern, the old name's change first",
         [](CAlbumState& a) { a.ApplyFolderChanges({Gone("j1.jpg"), There("j1.bmp", "j1.jpg")}, kFolder); },
         {"b0.bmp", "j1.bmp"}},
        {"renamed out of the patterns",
         [](CAlbumState& a) { a.ApplyFolderChanges({Gone("j1.jpg"), Gone("j1.txt", "j1.jpg")}, kFolder); },
         {"b0.bmp"}},
        {"renamed by the rename command",
         [](CAlbumState& a) { a.SelectCell(2); a.ReplaceCurrentName("gate.jpg"); }, {"b0.bmp", "gate.jpg"}},
        {"deleted by the delete command", [](CAlbumState& a) { a.SelectCell(0); a.RemoveCurrent(); }, {"j1.jpg"}},
        {"a walk of the folder", [](CAlbumState& a) {
             a.ReplaceListKeepingPlace({InFolder("b0.bmp"), InFolder("j2.jpg")}, {"b0.bmp", "j2.jpg"}, {1, 0, 0, 0, 1, 0});
         },
         {"b0.bmp"}},
        {"the same folder listed again", [](CAlbumState& a) {
             a.ResetList();
             for (const char* name : {"b0.bmp", "j0.jpg", "j1.jpg"})
                 a.AppendFile(InFolder(name), name);
             a.IndexRuns({1, 0, 0, 0, 2, 0});
         },
         {"b0.bmp", "j1.jpg"}},
        {"another folder listed", [](CAlbumState& a) {
             a.ResetList();
             a.AppendFile("D:\\other\\b0.bmp", "b0.bmp");
             a.IndexRuns({1, 0, 0, 0, 0, 0});
         },
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CAlbumState album = AlbumWith(bj);
        album.ToggleMarkOfCell(0);
        album.ToggleMarkOfCell(2);
        row.change(album);
        EXPECT_EQ(row.marked, MarkedNames(album));
        EXPECT_EQ(static_cast<int>(row.marked.size()), album.MarkedCount());
    }
}

// Delete marked takes the pictures that went out one by one: the current
// picture stays current, or gives way as after a delete, and the page
// follows it.
TEST(AlbumMarks, DeletedMarkedPicturesLeaveTheSelectionAsDeleteDoes)
{
    const struct {
        const char* what;
        int current;
        std::vector<int> deleted;
        std::string currentName;
        int top;
    } rows[] = {
        {"the current one went: the next after the run", 4, {4, 5}, "j6.jpg", 0},
        {"the last ones went: the new last, on the page before", 9, {9, 10, 11}, "j8.jpg", 0},
        {"others before it went: it stays, further back", 11, {0, 1, 2}, "j11.jpg", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CAlbumState album = AlbumWith(Names("j", 12));
        album.m_nPageTop = row.current - row.current % ALBUM_PAGE_SIZE;
        album.SelectCell(row.current % ALBUM_PAGE_SIZE);
        for (int index : row.deleted)
            album.RemoveListed(InFolder("j" + std::to_string(index) + ".jpg"));
        EXPECT_EQ(12 - static_cast<int>(row.deleted.size()), album.Count());
        EXPECT_EQ(row.currentName, album.CurrentName());
        EXPECT_EQ(row.top, album.m_nPageTop);
        EXPECT_EQ(album.m_nPageTop + album.m_nCellSel, album.m_nCurrent);
        ExpectListsAgree(album);
    }
}
