// The real frame and view driven by messages: the frame as it opens, the
// command rules in menu and toolbar, single mode, the automatic-browse
// timer, the command gate, and closing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "res/resource.h"
#include "tests/album/AlbumViewFixture.h"

namespace {

class AlbumViewTest : public AlbumViewFixture {
protected:
    void ExpectEnabled(UINT id, bool enabled, const char* what)
    {
        EXPECT_EQ(enabled, !(browser.MenuItemState(id) & (MF_GRAYED | MF_DISABLED))) << what << " menu " << id;
        EXPECT_EQ(enabled, (browser.ButtonState(id) & TBSTATE_ENABLED) != 0) << what << " button " << id;
    }
};

TEST_F(AlbumViewTest, OpensMaximisedWithoutCaptionWithMenuAndEighteenToolbarSlots)
{
    OpenWith(3);
    HWND frame = browser.Frame();
    EXPECT_TRUE(IsZoomed(frame));
    LONG style = GetWindowLongA(frame, GWL_STYLE);
    EXPECT_EQ(0, style & WS_CAPTION);
    EXPECT_EQ(0, style & WS_SYSMENU);
    EXPECT_NE(nullptr, GetMenu(frame));
    EXPECT_EQ(18, SendMessageA(browser.ToolBar(), TB_BUTTONCOUNT, 0, 0));
    // The bar's slots as the resource lays them out (tests/resources): slot
    // 9 pages back, like the left arrow on it, and slot 11 forward.
    TBBUTTON left = {}, right = {};
    SendMessageA(browser.ToolBar(), TB_GETBUTTON, 8, reinterpret_cast<LPARAM>(&left));
    SendMessageA(browser.ToolBar(), TB_GETBUTTON, 10, reinterpret_cast<LPARAM>(&right));
    EXPECT_EQ(ID_PAGE_PREV, left.idCommand);
    EXPECT_EQ(ID_PAGE_NEXT, right.idCommand);
    EXPECT_EQ(folder.Path(), CurrentDirectory());
}

// The rules themselves are tested natively (AlbumStateTest); here the
// command table applies them to menu and toolbar alike, on the last page,
// the first page and the first picture shown alone.
TEST_F(AlbumViewTest, MenuAndToolbarFollowTheRulesOfTheirCommandsAndClicksDoNothingInSingleMode)
{
    OpenWith(10);   // the last page, at 9, holds one picture
    const struct {
        UINT id;
        bool onLastPage, onFirstPage, alone;
    } rows[] = {{ID_PAGE_NEXT, false, true, true},   {ID_PAGE_LAST, false, true, true},
                {ID_PAGE_PREV, true, false, false},  {ID_PAGE_FIRST, true, false, false},
                {ID_AUTO_SHOW, true, true, true},    {ID_MULTI_SHOW, false, false, true},
                {ID_FILE_OPEN, true, true, false}};
    for (const auto& row : rows)
        ExpectEnabled(row.id, row.onLastPage, "last page");
    browser.Command(ID_PAGE_PREV);
    ASSERT_EQ(0, View().m_nPageTop);
    for (const auto& row : rows)
        ExpectEnabled(row.id, row.onFirstPage, "first page");
    DoubleClick(CellCentre(4));
    ASSERT_EQ(1, View().m_bSingle);
    EXPECT_EQ(4, View().m_nCurrent);
    browser.Command(ID_PAGE_FIRST);
    for (const auto& row : rows)
        ExpectEnabled(row.id, row.alone, "alone");

    DoubleClick(CellCentre(4));
    EXPECT_EQ(0, View().m_nCurrent) << "clicks and double clicks are ignored in single mode";
    browser.Command(ID_MULTI_SHOW);
    EXPECT_EQ(0, View().m_bSingle);
}

// Where the steps wrap in either mode is a rule tested natively
// (AlbumStateTest); here the timer drives them, also after a refresh.
TEST_F(AlbumViewTest, AutomaticBrowseStepsOnItsTimerAndSurvivesARefresh)
{
    // The steps come from the test alone until the refresh: the real timer
    // would step whenever a pump runs past its interval.
    struct SavedInterval {
        const int interval = g_nAutoShowInterval;
        ~SavedInterval() { g_nAutoShowInterval = interval; }
    } saved;
    g_nAutoShowInterval = 60000;
    OpenWith(20);
    browser.Command(ID_AUTO_SHOW);
    EXPECT_EQ(1, View().m_bAutoShow);
    EXPECT_TRUE(browser.MenuItemState(ID_AUTO_SHOW) & MF_CHECKED);
    EXPECT_TRUE(browser.ButtonState(ID_AUTO_SHOW) & TBSTATE_CHECKED);

    std::vector<int> tops;
    for (int i = 0; i < 4; ++i) {
        SendMessageA(browser.ViewWindow(), WM_TIMER, ID_TIMER_AUTOSHOW, 0);
        tops.push_back(View().m_nPageTop);
    }
    EXPECT_EQ((std::vector<int>{0, 9, 18, 0}), tops);

    // A refresh goes back to multi mode on the last page; the timer runs
    // on. Started again at a short interval, and handled at once without a
    // pass through the queue, so that no step comes before the checks.
    DoubleClick(CellCentre(1));
    browser.Command(ID_AUTO_SHOW);
    ASSERT_EQ(0, View().m_bAutoShow);
    g_nAutoShowInterval = 100;
    SendMessageA(browser.Frame(), WM_COMMAND, ID_AUTO_SHOW, 0);
    SendMessageA(browser.Frame(), WM_COMMAND, ID_ALBUM_REFRESH, 0);
    EXPECT_EQ(0, View().m_bSingle);
    EXPECT_EQ(18, View().m_nPageTop);
    EXPECT_EQ(1, View().m_bAutoShow);
    EXPECT_TRUE(browser.PumpUntil([&] { return View().m_nPageTop == 0; }, 10000)) << "wrapped by a real step";

    browser.Command(ID_AUTO_SHOW);
    EXPECT_EQ(0, View().m_bAutoShow);
    EXPECT_FALSE(browser.ButtonState(ID_AUTO_SHOW) & TBSTATE_CHECKED);
    const int stoppedAt = View().m_nPageTop;
    browser.PumpFor(5 * g_nAutoShowInterval);   // no step comes any more
    EXPECT_EQ(stoppedAt, View().m_nPageTop);
}

// A disabled command's handler never runs, whether the command comes as a
// menu choice to the frame or as a message straight to the view.
TEST_F(AlbumViewTest, DisabledCommandsAreDroppedAlsoAsCommandMessages)
{
    OpenWith(0);
    SendMessageA(browser.ViewWindow(), WM_COMMAND, ID_AUTO_SHOW, 0);
    browser.Command(ID_AUTO_SHOW);
    EXPECT_EQ(0, View().m_bAutoShow);
}

// "Exit" in the menu is the same command (tests/resources).
TEST_F(AlbumViewTest, TheFirstToolbarButtonClosesTheFrameAndPostsOneExitMessage)
{
    OpenWith(2);
    HMENU menu = GetMenu(browser.Frame());
    RECT button;
    HWND bar = browser.ToolBar();
    SendMessageA(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(bar, WM_LBUTTONUP, 0, at);
    browser.Pump();
    EXPECT_FALSE(IsWindow(browser.Frame()));
    EXPECT_FALSE(IsMenu(menu)) << "the frame's menu goes with it";
    EXPECT_EQ(1, host.ExitCount());
}

}  // namespace
