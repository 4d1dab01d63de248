// The toolbar moved with the real mouse, one gesture of each kind: dragged
// by its gripper to an edge and into the middle, back by its floating
// window's caption, switched by double clicks, floated with Ctrl held, a
// drag cancelled by the right button and a drag held while the frame
// closes. The view takes what the bar leaves (painted and hit where it now
// is), every button stays on the screen, and the floating bar follows the
// frame's enabling. Which edge a drop picks, where a docked bar stands and
// how a column wraps are rules of the dock geometry, tested as tables in
// tests/framework.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>
#include <string>

#include "album/FileNameRules.h"
#include "bridge/AlbumWnd.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/Canvas.h"
#include "tests/support/CellColours.h"
#include "tests/support/Gripper.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestPictures.h"

namespace {

// While a watch runs, the blocks its thread deletes are kept as they were
// instead of freed, each with a copy taken at its delete, so that a write
// into one afterwards (through a pointer that outlived its object) shows.
// The system's heap check cannot see a write that happens only after
// reading back the old value, which its fill pattern has replaced.
struct KeptBlock {
    void* block;
    void* copy;
    size_t size;
};
KeptBlock g_kept[4096];
int g_nKept = 0;
DWORD g_watchingThread = 0;

class FreedBlockWatch {
public:
    FreedBlockWatch() { g_watchingThread = GetCurrentThreadId(); }
    ~FreedBlockWatch()
    {
        g_watchingThread = 0;
        for (int i = 0; i < g_nKept; ++i) {
            std::free(g_kept[i].block);
            std::free(g_kept[i].copy);
        }
        g_nKept = 0;
    }
    int WrittenAfterDelete() const
    {
        int written = 0;
        for (int i = 0; i < g_nKept; ++i)
            written += std::memcmp(g_kept[i].block, g_kept[i].copy, g_kept[i].size) != 0;
        return written;
    }
};

}  // namespace

void* operator new(std::size_t size)
{
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    if (p != nullptr && GetCurrentThreadId() == g_watchingThread && g_nKept < 4096) {
        const size_t size = _msize(p);
        if (void* copy = std::malloc(size)) {
            std::memcpy(copy, p, size);
            g_kept[g_nKept++] = {p, copy, size};
            return;
        }
    }
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

enum class Edge { Bottom, Left };

RECT WindowRect(HWND wnd)
{
    RECT rc;
    GetWindowRect(wnd, &rc);
    return rc;
}

// The part of a rectangle of the screen that is on the screen.
RECT OnScreen(RECT rc)
{
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&rc, &rc, &screen);
    return rc;
}

RECT ClientOnScreen(HWND wnd)
{
    RECT rc;
    GetClientRect(wnd, &rc);
    MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

class ToolBarDockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FwInitModule(GetModuleHandleA(nullptr));
        // Two full pages: the album opens on the second, so that paging
        // back is possible and paging on is not.
        for (int i = 0; i < 18; ++i)
            ASSERT_TRUE(WriteSolidBmp(folder.PathOf("p" + std::to_string(i) + ".bmp"), 64, 48, 24, RGB(20, 120, 40)));
        ASSERT_TRUE(browser.Open(folder.Path(), host.Handle()));
    }

    CDockSite& Dock() const { return static_cast<CAlbumWnd*>(CWnd::FromHandle(browser.Frame()))->ToolBarDock(); }
    HWND Bar() const
    {
        // Docked, the bar is the frame's child; floating, the floating window's.
        HWND docked = GetDlgItem(browser.Frame(), AFX_IDW_TOOLBAR);
        return docked != nullptr ? docked : GetDlgItem(FloatingWindow(), AFX_IDW_TOOLBAR);
    }
    HWND FloatingWindow() const
    {
        HWND found = nullptr;
        while ((found = FindWindowExA(nullptr, found, "FwMiniDockFrame", nullptr)) != nullptr)
            if (GetWindowThreadProcessId(found, nullptr) == GetCurrentThreadId())
                return found;
        return nullptr;
    }
    // A point on the docked bar's gripper.
    POINT Gripper() const { return GripperOf(Bar()); }
    // A point on the floating window's caption.
    POINT Caption() const
    {
        const RECT window = WindowRect(FloatingWindow()), client = ClientOnScreen(FloatingWindow());
        return POINT{(window.left + window.right) / 2, (window.top + client.top) / 2};
    }
    POINT NearEdge(Edge edge) const
    {
        const RECT f = OnScreen(ClientOnScreen(browser.Frame()));
        return edge == Edge::Left ? POINT{f.left + 4, (f.top + f.bottom) / 2} : POINT{(f.left + f.right) / 2, f.bottom - 4};
    }
    POINT Middle() const
    {
        const RECT f = ClientOnScreen(browser.Frame());
        return POINT{(f.left + f.right) / 2, (f.top + f.bottom) / 2};
    }
    POINT ButtonCentre(UINT command) const
    {
        RECT rc;
        SendMessageA(Bar(), TB_GETITEMRECT, SendMessageA(Bar(), TB_COMMANDTOINDEX, command, 0),
                     reinterpret_cast<LPARAM>(&rc));
        MapWindowPoints(Bar(), nullptr, reinterpret_cast<POINT*>(&rc), 2);
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    RealInput Hands() { return RealInput([this] { browser.Pump(); }); }

    bool ButtonEnabled(UINT command) const
    {
        return (SendMessageA(Bar(), TB_GETSTATE, command, 0) & TBSTATE_ENABLED) != 0;
    }
    // Every slot lies inside the part of the bar's client area that is on
    // the screen.
    void ExpectEveryButtonOnTheBar(const std::string& where)
    {
        SCOPED_TRACE(where);
        const RECT visible = OnScreen(ClientOnScreen(Bar()));
        const int count = static_cast<int>(SendMessageA(Bar(), TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            RECT item, inside;
            SendMessageA(Bar(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
            MapWindowPoints(Bar(), nullptr, reinterpret_cast<POINT*>(&item), 2);
            IntersectRect(&inside, &item, &visible);
            EXPECT_TRUE(EqualRect(&inside, &item)) << "slot " << i;
        }
    }
    // The view holds the rest of the frame's client area, repainted and
    // hit tested at the size it now has.
    void ExpectTheViewFillsTheRest(const char* where)
    {
        SCOPED_TRACE(where);
        browser.Pump();
        const RECT view = WindowRect(browser.ViewWindow());
        RECT covered = view, overlap;
        if (FloatingWindow() == nullptr) {
            const RECT bar = WindowRect(Bar());
            EXPECT_FALSE(IntersectRect(&overlap, &bar, &view)) << "the view beside the bar";
            UnionRect(&covered, &view, &bar);
        }
        const RECT shown = OnScreen(ClientOnScreen(browser.Frame())), coveredShown = OnScreen(covered);
        EXPECT_TRUE(EqualRect(&shown, &coveredShown)) << "bar and view fill the frame";
        RECT client;
        GetClientRect(browser.ViewWindow(), &client);
        const int w = client.right / 3, h = client.bottom / 3;
        const Canvas shot = Canvas::OfClient(browser.ViewWindow());
        EXPECT_TRUE(IsCellFill(shot.At(w + 5 + 3, h + 5 + 3))) << "cell 4 painted where it now is";
        EXPECT_TRUE(IsCellFill(shot.At(2 * w + 5 + 3, 2 * h + 5 + 3))) << "cell 8";
        const LPARAM centre = MAKELPARAM(w + w / 2, h + h / 2);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONUP, 0, centre);
        EXPECT_EQ(4, browser.View()->m_nCellSel) << "a click hits the cell under it";
        browser.Pump();
        EXPECT_TRUE(ButtonEnabled(ID_PAGE_PREV));
        EXPECT_FALSE(ButtonEnabled(ID_PAGE_NEXT));
    }

    TempFolder folder{"dock"};
    HostWindow host;
    BrowserOnThisThread browser;
};

TEST_F(ToolBarDockTest, DraggedToAnEdgeTheBarDocksThereAndEveryButtonStaysOnTheScreen)
{
    Hands().Drag(Gripper(), NearEdge(Edge::Left));
    ASSERT_EQ(nullptr, FloatingWindow());
    EXPECT_EQ(static_cast<int>(DockSide::Left), static_cast<int>(Dock().Side()));
    EXPECT_EQ(0, WindowRect(Bar()).left);
    ExpectTheViewFillsTheRest("left");

    // At every edge, on this 1024 x 768 screen and in a frame maximised the
    // same way on an 800 x 600 one: a column too tall for the edge wraps.
    for (const SIZE screen : {SIZE{1024, 768}, SIZE{800, 600}}) {
        const RECT frame = WindowRect(browser.Frame());
        SetWindowPos(browser.Frame(), nullptr, frame.left, frame.top, frame.right - frame.left - 1024 + screen.cx,
                     frame.bottom - frame.top - 768 + screen.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        for (DockSide side : {DockSide::Left, DockSide::Right, DockSide::Top, DockSide::Bottom}) {
            Dock().DockAt(side);
            browser.Pump();
            ExpectEveryButtonOnTheBar(std::to_string(screen.cx) + " wide, side " + std::to_string(static_cast<int>(side)));
        }
    }
}

TEST_F(ToolBarDockTest, DroppedInTheMiddleTheBarFloatsWorksThereAndIsDraggedBackByItsCaption)
{
    Hands().Drag(Gripper(), Middle());
    HWND floating = FloatingWindow();
    ASSERT_NE(nullptr, floating);
    EXPECT_EQ(floating, GetParent(Bar()));
    const LONG style = GetWindowLongA(floating, GWL_STYLE);
    EXPECT_NE(0, style & WS_CAPTION);
    EXPECT_EQ(0, style & WS_SYSMENU) << "no close box";
    ExpectTheViewFillsTheRest("floating");

    // A floating button still runs its command, through the same gate.
    Hands().Click(ButtonCentre(ID_PAGE_FIRST));
    EXPECT_EQ(0, browser.View()->m_nPageTop);
    browser.Pump();
    EXPECT_FALSE(ButtonEnabled(ID_PAGE_PREV));

    Hands().Drag(Caption(), NearEdge(Edge::Left));
    EXPECT_EQ(nullptr, FloatingWindow());
    EXPECT_FALSE(IsWindow(floating));
    EXPECT_EQ(static_cast<int>(DockSide::Left), static_cast<int>(Dock().Side()));
    EXPECT_EQ(0, WindowRect(Bar()).left);
}

TEST_F(ToolBarDockTest, ADoubleClickSwitchesBetweenTheLastDockedPlaceAndFloating)
{
    Dock().DockAt(DockSide::Right);
    Hands().DoubleClick(Gripper());
    ASSERT_NE(nullptr, FloatingWindow());
    Hands().DoubleClick(Caption());
    EXPECT_EQ(nullptr, FloatingWindow());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), WindowRect(Bar()).right) << "back where it was docked";
}

TEST_F(ToolBarDockTest, WithCtrlHeldTheBarFloatsEvenAtAnEdge)
{
    Hands().Drag(Gripper(), NearEdge(Edge::Bottom), true);
    EXPECT_NE(nullptr, FloatingWindow());
}

TEST_F(ToolBarDockTest, ARightClickCancelsADragAndOpensNoMenu)
{
    // In single mode a right click on the view opens the picture's menu.
    RECT view;
    GetClientRect(browser.ViewWindow(), &view);
    SendMessageA(browser.ViewWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(view.right / 2, view.bottom / 2));
    browser.Pump();
    ASSERT_EQ(1, browser.View()->m_bSingle);
    ModalDriver driver;     // any popup menu is reported as unexpected
    driver.Start();
    const POINT middle = Middle();
    Hands().DragHolding(Gripper(), middle, [middle] { RealInput::RightClickAt(middle); });
    driver.Finish();
    for (const std::string& stray : driver.Unexpected())
        ADD_FAILURE() << "unexpected: " << stray;
    EXPECT_EQ(nullptr, FloatingWindow());
    EXPECT_EQ(static_cast<int>(DockSide::Top), static_cast<int>(Dock().Side()));
}

// A modal question disables the frame and with it the floating bar, so
// that nothing moves the album under the question (the answer acts on the
// file it named even then: DeleteTest).
TEST_F(ToolBarDockTest, WhileTheDeleteQuestionIsOpenTheFloatingBarDoesNothing)
{
    Dock().FloatAt(POINT{40, 60});      // clear of the question in the middle
    ASSERT_NE(nullptr, FloatingWindow());
    const POINT back = ButtonCentre(ID_PAGE_PREV), autoShow = ButtonCentre(ID_AUTO_SHOW);
    ASSERT_EQ(9, browser.View()->m_nCurrent);
    const std::string named = browser.View()->m_arrPaths[9];
    const std::string name = browser.View()->m_arrNames[9];
    std::string question;
    ModalDriver driver;
    driver.OnDialog([&](HWND box) {
        question = modal::MessageText(box);
        RealInput().Click(back);
        RealInput().Click(autoShow);
        modal::Press(box, IDYES);
    });
    driver.Start();
    browser.Command(ID_IMAGE_DELETE);
    driver.Finish();
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_EQ(DeleteQuestion(name), question);
    EXPECT_EQ(0, browser.View()->m_bAutoShow) << "automatic browse started under the question";
    EXPECT_FALSE(FileExists(named));
    EXPECT_EQ(17u, FilesIn(folder.Path()).size()) << "exactly the file named went";
    browser.Pump();
    EXPECT_TRUE(IsWindowEnabled(FloatingWindow())) << "enabled again with the frame";
}

// The floating window, the drag and the site go with the frame, and none
// of them writes into another afterwards.
TEST_F(ToolBarDockTest, ClosingTheFrameWhileTheFloatingBarIsDraggedEndsTheDrag)
{
    Dock().FloatAt(POINT{40, 60});
    HWND floating = FloatingWindow(), frame = browser.Frame();
    ASSERT_NE(nullptr, floating);
    {
        FreedBlockWatch watch;
        Hands().DragHolding(Caption(), Middle(), [frame] {
            PostMessageA(frame, WM_CLOSE, 0, 0);
            Sleep(300);
        });
        EXPECT_EQ(0, watch.WrittenAfterDelete());
    }
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(floating));
    EXPECT_EQ(1, host.ExitCount());
}

TEST_F(ToolBarDockTest, AFloatingWindowDestroyedFromOutsideIsForgotten)
{
    Dock().FloatAt(POINT{40, 60});
    ASSERT_NE(nullptr, Dock().FloatingWindow());
    DestroyWindow(Dock().FloatingWindow());
    EXPECT_EQ(nullptr, Dock().FloatingWindow());
}

}  // namespace
