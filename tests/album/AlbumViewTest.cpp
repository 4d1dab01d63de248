// The real frame and view driven by messages: list building, paging in
// both modes, clicks, automatic browse, command rules in menus and toolbar,
// the command gate, and closing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "bridge/ModuleGlobals.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/OwnThreads.h"

namespace {

class AlbumViewTest : public ::testing::Test {
protected:
    void SetUp() override { FwInitModule(GetModuleHandleA(nullptr)); }

    void OpenWith(int files)
    {
        for (int i = 0; i < files; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "snap%03d.jpg", i);
            folder.Touch(name);
        }
        ASSERT_TRUE(browser.Open(folder.Path(), host.Handle()));
    }
    CAlbumView& View() { return *browser.View(); }
    // The centre of cell k as the last paint laid it out.
    LPARAM CellCentre(int k)
    {
        browser.Pump();
        const CellRect& rc = View().m_rcCell[k];
        return MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    void Click(LPARAM at)
    {
        SendMessageA(browser.ViewWindow(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONUP, 0, at);
    }
    void DoubleClick(LPARAM at)
    {
        Click(at);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONUP, 0, at);
    }
    bool MenuEnabled(UINT id) { return !(browser.MenuItemState(id) & (MF_GRAYED | MF_DISABLED)); }
    bool ButtonEnabled(UINT id) { return (browser.ButtonState(id) & TBSTATE_ENABLED) != 0; }
    void ExpectEnabled(UINT id, bool enabled, const char* what)
    {
        EXPECT_EQ(enabled, MenuEnabled(id)) << what << " menu " << std::hex << id;
        EXPECT_EQ(enabled, ButtonEnabled(id)) << what << " button " << std::hex << id;
    }

    TempFolder folder;
    HostWindow host;
    BrowserOnThisThread browser;
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
    EXPECT_EQ(folder.Path(), CurrentDirectory());
    // The view fills the frame below the toolbar.
    RECT frameClient, view, bar;
    GetClientRect(frame, &frameClient);
    GetWindowRect(browser.ViewWindow(), &view);
    GetWindowRect(browser.ToolBar(), &bar);
    EXPECT_EQ(bar.bottom, view.top);
    EXPECT_EQ(frameClient.right, view.right - view.left);
}

TEST_F(AlbumViewTest, ListsSixPassesInOrderIgnoringCaseAndSkippingOtherNames)
{
    for (const char* name : {"z.tif", "f.JPG", "t.tga", "p.PCX", "g.gif", "c.Bmp", "a.bmp", "B.BMP", "e.jpeg",
                             "readme.txt", "snap.jpg.bak"})
        folder.Touch(name);
    folder.MakeFolder("x.jpg");     // a folder named like a picture is listed too
    ASSERT_TRUE(browser.Open(folder.Path(), host.Handle()));

    const std::vector<std::string>& names = View().m_arrNames;
    ASSERT_EQ(9u, names.size());
    std::vector<std::string> bmps(names.begin(), names.begin() + 3);
    std::sort(bmps.begin(), bmps.end());
    EXPECT_EQ((std::vector<std::string>{"B.BMP", "a.bmp", "c.Bmp"}), bmps);
    EXPECT_EQ("g.gif", names[3]);
    EXPECT_EQ("p.PCX", names[4]);
    EXPECT_EQ("t.tga", names[5]);
    std::vector<std::string> jpgs(names.begin() + 6, names.begin() + 8);
    std::sort(jpgs.begin(), jpgs.end());
    EXPECT_EQ((std::vector<std::string>{"f.JPG", "x.jpg"}), jpgs);
    EXPECT_EQ("z.tif", names[8]);
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(folder.Path() + "\\" + names[i], View().m_arrPaths[i]);
}

struct FolderCase {
    int files;
    int pageTop;
    bool next, prev;
};

TEST_F(AlbumViewTest, PageCommandsFollowTheirRulesInMenuAndToolbar)
{
    const FolderCase cases[] = {{0, 0, false, false},  {1, 0, false, false},  {9, 0, false, false},
                                {10, 9, false, true},  {18, 9, false, true},  {19, 18, false, true},
                                {20, 18, false, true}, {27, 18, false, true}};
    for (const FolderCase& c : cases) {
        TempFolder own;
        for (int i = 0; i < c.files; ++i)
            own.Touch("p" + std::to_string(i) + ".bmp");
        BrowserOnThisThread b;
        ASSERT_TRUE(b.Open(own.Path(), host.Handle()));
        CAlbumView& view = *b.View();
        std::string what = std::to_string(c.files) + " files";
        EXPECT_EQ(c.pageTop, view.m_nPageTop) << what;
        EXPECT_EQ(c.pageTop, view.m_nCurrent) << what;
        EXPECT_EQ(0, view.m_nCellSel) << what;
        auto enabled = [&](UINT id) {
            bool menu = !(b.MenuItemState(id) & MF_GRAYED);
            bool button = (b.ButtonState(id) & TBSTATE_ENABLED) != 0;
            EXPECT_EQ(menu, button) << what << " " << std::hex << id;
            return menu;
        };
        EXPECT_EQ(c.next, enabled(ID_PAGE_NEXT)) << what;
        EXPECT_EQ(c.next, enabled(ID_PAGE_LAST)) << what;
        EXPECT_EQ(c.prev, enabled(ID_PAGE_PREV)) << what;
        EXPECT_EQ(c.prev, enabled(ID_PAGE_FIRST)) << what;
        EXPECT_EQ(c.files > 0, enabled(ID_AUTO_SHOW)) << what;
        EXPECT_FALSE(enabled(ID_MULTI_SHOW)) << what;
        // Walk back to the first page and forward again.
        int pages = c.pageTop / 9;
        for (int i = 0; i < pages; ++i)
            b.Command(ID_PAGE_PREV);
        EXPECT_EQ(0, view.m_nPageTop) << what;
        if (c.files > 9) {
            EXPECT_TRUE(enabled(ID_PAGE_NEXT)) << what;
            EXPECT_FALSE(enabled(ID_PAGE_FIRST)) << what;
        }
        b.Command(ID_PAGE_LAST);
        EXPECT_EQ(c.pageTop, view.m_nPageTop) << what;
        b.Close();
    }
}

TEST_F(AlbumViewTest, ClicksHitOnlyInsideFilledCellsAsPaintingLaidThemOut)
{
    OpenWith(14);   // last page at 9 with five pictures
    Click(CellCentre(1));
    EXPECT_EQ(1, View().m_nCellSel);
    EXPECT_EQ(10, View().m_nCurrent);
    EXPECT_EQ(View().m_arrPaths[10], View().m_strCurrent);
    const CellRect rc = View().m_rcCell[4];
    const int midX = (rc.left + rc.right) / 2, midY = (rc.top + rc.bottom) / 2;
    Click(MAKELPARAM(rc.left, midY));       // on cell 4's left border line
    Click(MAKELPARAM(rc.right, midY));      // on its right border line
    Click(MAKELPARAM(midX, rc.top));        // on its top border line
    Click(MAKELPARAM(midX, rc.bottom));     // on its bottom border line
    Click(MAKELPARAM(rc.right + 2, midY));  // between cells 4 and 5
    EXPECT_EQ(1, View().m_nCellSel);
    // Cell 5 is empty on a page of five: nothing to hit where it would be.
    Click(MAKELPARAM(rc.right + (rc.right - rc.left) / 2, midY));
    EXPECT_EQ(1, View().m_nCellSel);
    Click(MAKELPARAM(rc.left + 1, midY));   // just inside
    EXPECT_EQ(4, View().m_nCellSel);
    EXPECT_EQ(13, View().m_nCurrent);
}

TEST_F(AlbumViewTest, DoubleClickNextAndMultiShowFollowTheList)
{
    OpenWith(20);
    browser.Command(ID_PAGE_PREV);
    ASSERT_EQ(9, View().m_nPageTop);
    DoubleClick(CellCentre(4));
    EXPECT_EQ(1, View().m_bSingle);
    EXPECT_EQ(13, View().m_nCurrent);
    EXPECT_EQ(View().m_arrPaths[13], View().m_strCurrent);
    ExpectEnabled(ID_MULTI_SHOW, true, "single");
    ExpectEnabled(ID_FILE_OPEN, false, "single");

    // Clicks and double clicks are ignored in single mode.
    DoubleClick(MAKELPARAM(40, 40));
    EXPECT_EQ(13, View().m_nCurrent);

    browser.Command(ID_PAGE_NEXT);
    EXPECT_EQ(14, View().m_nCurrent);
    EXPECT_EQ(View().m_arrPaths[14], View().m_strCurrent);
    browser.Command(ID_MULTI_SHOW);
    EXPECT_EQ(0, View().m_bSingle);
    EXPECT_EQ(9, View().m_nPageTop);
    EXPECT_EQ(5, View().m_nCellSel);
    ExpectEnabled(ID_MULTI_SHOW, false, "multi");
    ExpectEnabled(ID_FILE_OPEN, true, "multi");
}

TEST_F(AlbumViewTest, AutomaticBrowseWrapsInBothModesAndSurvivesARefresh)
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

    HWND view = browser.ViewWindow();
    std::vector<int> tops;
    for (int i = 0; i < 4; ++i) {
        SendMessageA(view, WM_TIMER, ID_TIMER_AUTOSHOW, 0);
        tops.push_back(View().m_nPageTop);
    }
    EXPECT_EQ((std::vector<int>{0, 9, 18, 0}), tops);

    DoubleClick(CellCentre(1));
    ASSERT_EQ(1, View().m_nCurrent);
    std::vector<int> shown;
    for (int i = 0; i < 20; ++i) {
        SendMessageA(view, WM_TIMER, ID_TIMER_AUTOSHOW, 0);
        shown.push_back(View().m_nCurrent);
    }
    EXPECT_EQ(19, shown[17]);
    EXPECT_EQ(0, shown[18]);
    EXPECT_EQ(1, shown[19]);

    // A refresh goes back to multi mode on the last page; the timer runs
    // on. Started again at a short interval, and handled at once without a
    // pass through the queue, so that no step comes before the checks.
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

TEST_F(AlbumViewTest, DisabledCommandsAreDroppedAlsoAsCommandMessages)
{
    OpenWith(9);
    Click(CellCentre(3));
    ASSERT_EQ(3, View().m_nCellSel);
    // First page is disabled on the only page: its handler would reset the
    // selection if it ran.
    SendMessageA(browser.ViewWindow(), WM_COMMAND, ID_PAGE_FIRST, 0);
    browser.Command(ID_PAGE_FIRST);
    EXPECT_EQ(3, View().m_nCellSel);
}

TEST_F(AlbumViewTest, AutomaticBrowseCannotStartOnAnEmptyFolder)
{
    OpenWith(0);
    SendMessageA(browser.ViewWindow(), WM_COMMAND, ID_AUTO_SHOW, 0);
    browser.Command(ID_AUTO_SHOW);
    EXPECT_EQ(0, View().m_bAutoShow);
}

TEST_F(AlbumViewTest, TheFirstToolbarButtonAndExitEachPostOneExitMessage)
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

    TempFolder other;
    BrowserOnThisThread again;
    ASSERT_TRUE(again.Open(other.Path(), host.Handle()));
    again.Command(ID_ALBUM_RETURN);
    EXPECT_FALSE(IsWindow(again.Frame()));
    EXPECT_EQ(2, host.ExitCount());
}

TEST_F(AlbumViewTest, ForwardPageMovesLikeTheRightArrowAndNextPageLikeTheLeftArrow)
{
    OpenWith(27);   // last page at 18
    HMENU operation = GetSubMenu(GetMenu(browser.Frame()), 1);
    UINT forwardItem = GetMenuItemID(operation, 1);   // "&Forward page"
    UINT nextItem = GetMenuItemID(operation, 2);      // "&Next page"
    TBBUTTON left = {}, right = {};
    SendMessageA(browser.ToolBar(), TB_GETBUTTON, 8, reinterpret_cast<LPARAM>(&left));     // slot 9
    SendMessageA(browser.ToolBar(), TB_GETBUTTON, 10, reinterpret_cast<LPARAM>(&right));   // slot 11

    browser.Command(nextItem);
    EXPECT_EQ(9, View().m_nPageTop);
    PostMessageA(browser.Frame(), WM_COMMAND, static_cast<WPARAM>(left.idCommand),
                 reinterpret_cast<LPARAM>(browser.ToolBar()));
    browser.Pump();
    EXPECT_EQ(0, View().m_nPageTop);
    browser.Command(forwardItem);
    EXPECT_EQ(9, View().m_nPageTop);
    PostMessageA(browser.Frame(), WM_COMMAND, static_cast<WPARAM>(right.idCommand),
                 reinterpret_cast<LPARAM>(browser.ToolBar()));
    browser.Pump();
    EXPECT_EQ(18, View().m_nPageTop);
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
