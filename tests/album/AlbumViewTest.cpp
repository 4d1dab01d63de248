// The real frame and view driven by messages: the frame as it opens, the
// command rules in menu and toolbar, single mode, the automatic-browse
// timer, the command gate, keys that do nothing, and closing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "bridge/ModuleGlobals.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/album/AlbumViewFixture.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/OwnThreads.h"

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
// command table applies them to menu and toolbar alike.
TEST_F(AlbumViewTest, MenuAndToolbarFollowTheRulesOfThePageCommands)
{
    OpenWith(10);   // the last page, at 9, holds one picture
    const struct {
        UINT id;
        bool onLastPage, onFirstPage;
    } rows[] = {{ID_PAGE_NEXT, false, true},  {ID_PAGE_LAST, false, true}, {ID_PAGE_PREV, true, false},
                {ID_PAGE_FIRST, true, false}, {ID_AUTO_SHOW, true, true},  {ID_MULTI_SHOW, false, false}};
    for (const auto& row : rows)
        ExpectEnabled(row.id, row.onLastPage, "last page");
    browser.Command(ID_PAGE_PREV);
    ASSERT_EQ(0, View().m_nPageTop);
    for (const auto& row : rows)
        ExpectEnabled(row.id, row.onFirstPage, "first page");
    browser.Command(ID_PAGE_LAST);
    EXPECT_EQ(9, View().m_nPageTop);
}

TEST_F(AlbumViewTest, ADoubleClickShowsTheCellAloneWhereClicksDoNothingUntilMultiShow)
{
    OpenWith(20);
    browser.Command(ID_PAGE_PREV);
    DoubleClick(CellCentre(4));
    EXPECT_EQ(1, View().m_bSingle);
    EXPECT_EQ(13, View().m_nCurrent);
    ExpectEnabled(ID_MULTI_SHOW, true, "single");
    ExpectEnabled(ID_FILE_OPEN, false, "single");

    DoubleClick(MAKELPARAM(40, 40));
    EXPECT_EQ(13, View().m_nCurrent) << "clicks and double clicks are ignored in single mode";

    browser.Command(ID_MULTI_SHOW);
    EXPECT_EQ(0, View().m_bSingle);
    EXPECT_EQ(4, View().m_nCellSel);
    ExpectEnabled(ID_MULTI_SHOW, false, "multi");
    ExpectEnabled(ID_FILE_OPEN, true, "multi");
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

int g_lettersSeen;
LRESULT CALLBACK CountLetterKeys(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_KEYDOWN &&
        (msg->wParam == 'O' || msg->wParam == 'P'))
        ++g_lettersSeen;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(AlbumViewTest, CtrlOAndCtrlPDoNothing)
{
    OpenWith(3);
    g_lettersSeen = 0;
    // Proof that the keys really reach the browser's thread.
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, CountLetterKeys, nullptr, GetCurrentThreadId());
    SetForegroundWindow(browser.Frame());
    SetFocus(browser.ViewWindow());
    browser.Pump();
    ModalDriver driver;     // no step: any dialog that opens is a failure
    driver.Start();
    for (BYTE key : {BYTE('O'), BYTE('P')}) {
        INPUT keys[4] = {};
        for (INPUT& k : keys)
            k.type = INPUT_KEYBOARD;
        keys[0].ki.wVk = VK_CONTROL;
        keys[1].ki.wVk = key;
        keys[2].ki.wVk = key;
        keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
        keys[3].ki.wVk = VK_CONTROL;
        keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(4, keys, sizeof keys[0]);
        browser.PumpFor(300);
    }
    driver.Finish();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(2, g_lettersSeen);
    EXPECT_TRUE(driver.Unexpected().empty()) << driver.Unexpected().front();
    EXPECT_TRUE(IsWindow(browser.Frame()));
    EXPECT_EQ(0, View().m_bSingle);
}

TEST(AlbumThreadStart, AFrameThatCannotBeLoadedStillPostsOneExitMessage)
{
    HostWindow host;
    // A module without the browser's resources: the frame cannot load.
    FwInitModule(GetModuleHandleA("kernel32.dll"));
    g_hHostWnd = host.Handle();
    const unsigned long threads = OwnThreadCount();
    CAlbumThread* thread = new CAlbumThread;
    ASSERT_TRUE(thread->Start());
    // Once the thread has ended, a second message would be queued too.
    EXPECT_TRUE(PumpUntilOwnThreadsAtMost(threads, 10000));
    EXPECT_EQ(1, host.ExitCount());
    FwInitModule(GetModuleHandleA(nullptr));
}

}  // namespace
