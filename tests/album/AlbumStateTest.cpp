// Paging, selection, mode and command rules of the album, without windows.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "album/AlbumState.h"

namespace {

CAlbumState AlbumOf(int files)
{
    CAlbumState album;
    album.ResetList();
    for (int i = 0; i < files; ++i)
        album.AppendFile("C:\\album\\f" + std::to_string(i) + ".jpg", "f" + std::to_string(i) + ".jpg");
    album.ShowLastPage();
    return album;
}

// Cells laid out 100 pixels apart, each 90 x 90.
void LayCells(CAlbumState* album)
{
    for (int k = 0; k < ALBUM_PAGE_SIZE; ++k)
        album->m_rcCell[k] = {k % 3 * 100, k / 3 * 100, k % 3 * 100 + 90, k / 3 * 100 + 90};
}

TEST(AlbumListBuild, SelectsTheFirstCellOfTheLastPage)
{
    const struct { int files, top; } cases[] = {{1, 0}, {9, 0}, {10, 9}, {18, 9}, {19, 18}, {20, 18}, {27, 18}};
    for (const auto& c : cases) {
        CAlbumState album = AlbumOf(c.files);
        EXPECT_EQ(c.top, album.m_nPageTop) << c.files;
        EXPECT_EQ(c.top, album.m_nCurrent) << c.files;
        EXPECT_EQ(0, album.m_nCellSel) << c.files;
        EXPECT_EQ(0, album.m_bSingle) << c.files;
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
    EXPECT_FALSE(album.IsSingleMode());
    EXPECT_TRUE(album.IsMultiMode());           // the chooser
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

TEST(AlbumPaging, MultiModeRulesFollowThePageTop)
{
    CAlbumState nine = AlbumOf(9);
    EXPECT_FALSE(nine.CanPageForward());
    EXPECT_FALSE(nine.CanPageBack());

    CAlbumState ten = AlbumOf(10);
    EXPECT_TRUE(ten.CanPageBack());
    EXPECT_FALSE(ten.CanPageForward());
    EXPECT_FALSE(ten.PageNext());
    EXPECT_TRUE(ten.PagePrev());
    EXPECT_EQ(0, ten.m_nPageTop);
    EXPECT_TRUE(ten.CanPageForward());
    EXPECT_TRUE(ten.PageNext());
    EXPECT_EQ(9, ten.m_nPageTop);
    EXPECT_EQ(9, ten.m_nCurrent);
}

TEST(AlbumPaging, EveryPageCommandSelectsTheFirstCell)
{
    CAlbumState album = AlbumOf(27);
    album.SelectCell(5);
    EXPECT_TRUE(album.PageFirst());
    EXPECT_EQ(0, album.m_nCellSel);
    EXPECT_EQ(0, album.m_nCurrent);
    album.SelectCell(4);
    EXPECT_TRUE(album.PageLast());
    EXPECT_EQ(18, album.m_nPageTop);
    EXPECT_EQ(0, album.m_nCellSel);
    album.SelectCell(2);
    EXPECT_FALSE(album.PageNext());     // nothing after the last page...
    EXPECT_EQ(0, album.m_nCellSel);     // ...but the selection is reset all the same
}

TEST(AlbumSingleMode, DoubleClickNextAndBackToMultiFollowTheList)
{
    CAlbumState album = AlbumOf(20);
    album.PagePrev();                   // page at 9
    album.ShowCellAlone(4);
    EXPECT_EQ(1, album.m_bSingle);
    EXPECT_EQ(13, album.m_nCurrent);
    EXPECT_EQ("C:\\album\\f13.jpg", album.m_strCurrent);
    EXPECT_FALSE(album.IsMultiMode());
    EXPECT_TRUE(album.IsSingleMode());
    EXPECT_TRUE(album.PageNext());
    EXPECT_EQ(14, album.m_nCurrent);
    EXPECT_EQ("C:\\album\\f14.jpg", album.m_strCurrent);
    EXPECT_TRUE(album.MultiShow());
    EXPECT_EQ(0, album.m_bSingle);
    EXPECT_EQ(9, album.m_nPageTop);
    EXPECT_EQ(5, album.m_nCellSel);
    EXPECT_FALSE(album.MultiShow());    // already in multi mode
}

TEST(AlbumSingleMode, EndsOfTheListDisableTheirCommands)
{
    CAlbumState album = AlbumOf(5);
    album.ShowCellAlone(4);
    EXPECT_FALSE(album.CanPageForward());
    EXPECT_TRUE(album.CanPageBack());
    EXPECT_TRUE(album.PageFirst());
    EXPECT_EQ("C:\\album\\f0.jpg", album.m_strCurrent);
    EXPECT_FALSE(album.CanPageBack());
    EXPECT_TRUE(album.PageLast());
    EXPECT_EQ(4, album.m_nCurrent);
    EXPECT_EQ("C:\\album\\f4.jpg", album.m_strCurrent);
}

TEST(AlbumHitTest, BordersAndEmptyCellsHitNothing)
{
    CAlbumState album = AlbumOf(14);    // last page at 9 holds 5 pictures
    LayCells(&album);
    EXPECT_EQ(0, album.HitTest(45, 45));
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

TEST(AlbumAutoShow, WrapsPagesInMultiMode)
{
    CAlbumState album = AlbumOf(20);    // starts on the last page, at 18
    std::vector<int> tops;
    for (int step = 0; step < 5; ++step) {
        if (album.AutoShowStep() == CAlbumState::Step::SendNext)
            album.PageNext();
        tops.push_back(album.m_nPageTop);
    }
    EXPECT_EQ((std::vector<int>{0, 9, 18, 0, 9}), tops);
}

TEST(AlbumAutoShow, WrapsPicturesInSingleMode)
{
    CAlbumState album = AlbumOf(3);
    album.ShowCellAlone(1);
    std::vector<int> shown;
    for (int step = 0; step < 5; ++step) {
        if (album.AutoShowStep() == CAlbumState::Step::SendNext)
            album.PageNext();
        shown.push_back(album.m_nCurrent);
    }
    EXPECT_EQ((std::vector<int>{2, 0, 1, 2, 0}), shown);
    EXPECT_EQ("C:\\album\\f0.jpg", album.m_strCurrent);
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

}  // namespace
