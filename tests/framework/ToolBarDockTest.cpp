// The toolbar moved with the real mouse, one gesture of each kind: dragged
// by its gripper to an edge and into the middle, back by its floating
// window's caption, switched by double clicks, floated with Ctrl held, a
// drag cancelled by the right button and a drag held while the frame
// closes. The view takes what the bar leaves, every button stays on the
// screen, and the floating bar follows the frame's enabling. Which edge a
// drop picks, where a docked bar stands and how a column wraps are rules of
// the dock geometry, tested as tables in tests/framework.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "album/FileNameRules.h"
#include "bridge/AlbumWnd.h"
#include "framework/Module.h"
#include "heapguard/HeapGuard.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/Gripper.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestPictures.h"

namespace {

// While a watch runs, the blocks its thread deletes are kept as they were,
// each with a copy taken at its delete, so that a write into one afterwards
// (through a pointer that outlived its object) shows. The system's heap
// check misses a write made only after reading back the old value, which
// its fill pattern has replaced.
struct KeptBlock {
    void* block;
    void* copy;
    size_t size;
};
std::vector<KeptBlock>* g_pKept = nullptr;
DWORD g_watchingThread = 0;

class FreedBlockWatch {
public:
    FreedBlockWatch()
    {
        g_pKept = &m_kept;
        g_watchingThread = GetCurrentThreadId();
    }
    ~FreedBlockWatch()
    {
        g_watchingThread = 0;
        for (const KeptBlock& kept : m_kept) {
            HeapGuardRelease(kept.block);
            std::free(kept.copy);
        }
    }
    int WrittenAfterDelete() const
    {
        int written = 0;
        for (const KeptBlock& kept : m_kept)
            written += std::memcmp(kept.block, kept.copy, kept.size) != 0;
        return written;
    }

private:
    std::vector<KeptBlock> m_kept;
};

}  // namespace

// On the heap checks' own allocation, so that the quarantine of the test
// run still holds what is freed outside a watch.
void* operator new(std::size_t size)
{
    if (void* p = HeapGuardAllocate(size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    const DWORD watching = g_watchingThread;
    if (p != nullptr && GetCurrentThreadId() == watching) {
        g_watchingThread = 0;   // the list's own growth is not kept
        const size_t size = HeapGuardSize(p);
        void* copy = std::malloc(size);
        std::memcpy(copy, p, size);
        g_pKept->push_back({p, copy, size});
        g_watchingThread = watching;
        return;
    }
    HeapGuardRelease(p);
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

// The part of a window's client area, or of any rectangle, on the screen.
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
    return OnScreen(rc);
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
    HWND Floating() const { return Dock().FloatingWindow(); }
    HWND Bar() const { return GetDlgItem(Floating() != nullptr ? Floating() : browser.Frame(), AFX_IDW_TOOLBAR); }
    int Side() const { return static_cast<int>(Dock().Side()); }
    POINT Gripper() const { return GripperOf(Bar()); }
    POINT Caption() const
    {
        const RECT window = WindowRect(Floating()), client = ClientOnScreen(Floating());
        return POINT{(window.left + window.right) / 2, (window.top + client.top) / 2};
    }
    POINT NearEdge(Edge edge) const
    {
        const RECT f = ClientOnScreen(browser.Frame());
        return edge == Edge::Left ? POINT{f.left + 4, (f.top + f.bottom) / 2} : POINT{(f.left + f.right) / 2, f.bottom - 4};
    }
    POINT Middle() const
    {
        const RECT f = ClientOnScreen(browser.Frame());
        return POINT{(f.left + f.right) / 2, (f.top + f.bottom) / 2};
    }
    RECT SlotOnScreen(int slot) const
    {
        RECT rc;
        SendMessageA(Bar(), TB_GETITEMRECT, slot, reinterpret_cast<LPARAM>(&rc));
        MapWindowPoints(Bar(), nullptr, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    POINT ButtonCentre(UINT command) const
    {
        const RECT rc = SlotOnScreen(static_cast<int>(SendMessageA(Bar(), TB_COMMANDTOINDEX, command, 0)));
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    RealInput Hands() { return RealInput([this] { browser.Pump(); }); }

    // The bar and the view share the frame's client area: the view's cells
    // follow its size (AlbumPaintTest).
    void ExpectTheViewFillsTheRest(const char* where)
    {
        RECT covered = WindowRect(browser.ViewWindow()), overlap;
        if (Floating() == nullptr) {
            const RECT bar = WindowRect(Bar()), view = covered;
            EXPECT_FALSE(IntersectRect(&overlap, &bar, &view)) << where;
            UnionRect(&covered, &view, &bar);
        }
        const RECT frame = ClientOnScreen(browser.Frame()), coveredShown = OnScreen(covered);
        EXPECT_TRUE(EqualRect(&frame, &coveredShown)) << where;
    }

    void CloseTheFrameWhileDragging(bool floating);

    TempFolder folder{"dock"};
    HostWindow host;
    BrowserOnThisThread browser;
};

TEST_F(ToolBarDockTest, DraggedToAnEdgeTheBarDocksThereAndEveryButtonStaysOnTheScreen)
{
    ExpectTheViewFillsTheRest("top");
    Hands().Drag(Gripper(), NearEdge(Edge::Left));
    EXPECT_EQ(static_cast<int>(DockSide::Left), Side());
    EXPECT_EQ(0, WindowRect(Bar()).left);
    ExpectTheViewFillsTheRest("left");

    // At every edge, on this 1024 x 768 screen and in a frame maximised the
    // same way on an 800 x 600 one, every slot lies inside the bar's
    // visible client area: a column too tall for its edge wraps.
    for (const SIZE screen : {SIZE{1024, 768}, SIZE{800, 600}}) {
        const RECT frame = WindowRect(browser.Frame());
        SetWindowPos(browser.Frame(), nullptr, frame.left, frame.top, frame.right - frame.left - 1024 + screen.cx,
                     frame.bottom - frame.top - 768 + screen.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        for (DockSide side : {DockSide::Left, DockSide::Right, DockSide::Top, DockSide::Bottom}) {
            Dock().DockAt(side);
            const RECT visible = ClientOnScreen(Bar());
            for (int slot = 0; slot < static_cast<int>(SendMessageA(Bar(), TB_BUTTONCOUNT, 0, 0)); ++slot) {
                RECT item = SlotOnScreen(slot), inside;
                IntersectRect(&inside, &item, &visible);
                EXPECT_TRUE(EqualRect(&inside, &item))
                    << screen.cx << " wide, side " << static_cast<int>(side) << ", slot " << slot;
            }
        }
    }
}

TEST_F(ToolBarDockTest, DroppedInTheMiddleTheBarFloatsWorksThereIsDraggedBackAndSwitchedByDoubleClicks)
{
    Hands().Drag(Gripper(), Middle());
    HWND floating = Floating();
    ASSERT_NE(nullptr, floating);
    EXPECT_EQ(floating, GetParent(Bar()));
    EXPECT_EQ(WS_CAPTION, GetWindowLongA(floating, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU)) << "no close box";
    ExpectTheViewFillsTheRest("floating");

    // A floating button still runs its command, through the same gate.
    Hands().Click(ButtonCentre(ID_PAGE_FIRST));
    EXPECT_EQ(0, browser.View()->m_nPageTop);
    EXPECT_FALSE(browser.ButtonState(ID_PAGE_PREV) & TBSTATE_ENABLED);

    Hands().Drag(Caption(), NearEdge(Edge::Left));
    EXPECT_FALSE(IsWindow(floating));
    EXPECT_EQ(static_cast<int>(DockSide::Left), Side());
    EXPECT_EQ(0, WindowRect(Bar()).left);

    // A double click switches between floating and the last docked place.
    Hands().DoubleClick(Gripper());
    ASSERT_NE(nullptr, Floating());
    Hands().DoubleClick(Caption());
    EXPECT_EQ(static_cast<int>(DockSide::Left), Side()) << "back where it was docked";
}

TEST_F(ToolBarDockTest, WithCtrlHeldTheBarFloatsEvenAtAnEdge)
{
    Hands().Drag(Gripper(), NearEdge(Edge::Bottom), true);
    EXPECT_NE(nullptr, Floating());
}

TEST_F(ToolBarDockTest, ARightClickCancelsADragAndOpensNoMenu)
{
    // In single mode a right click on the view opens the picture's menu.
    RECT view;
    GetClientRect(browser.ViewWindow(), &view);
    SendMessageA(browser.ViewWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(view.right / 2, view.bottom / 2));
    ASSERT_EQ(1, browser.View()->m_bSingle);
    ModalDriver driver;     // any popup menu is reported as unexpected
    driver.Start();
    const POINT middle = Middle();
    Hands().DragHolding(Gripper(), middle, [middle] { RealInput::RightClickAt(middle); });
    driver.Finish();
    for (const std::string& stray : driver.Unexpected())
        ADD_FAILURE() << "unexpected: " << stray;
    EXPECT_EQ(static_cast<int>(DockSide::Top), Side());
}

// A modal question disables the frame and with it the floating bar, so
// that nothing moves the album under the question (the answer acts on the
// file it named even then: FileCommandsTest).
TEST_F(ToolBarDockTest, WhileTheDeleteQuestionIsOpenTheFloatingBarDoesNothing)
{
    Dock().FloatAt(POINT{40, 60});      // clear of the question in the middle
    const POINT back = ButtonCentre(ID_PAGE_PREV), autoShow = ButtonCentre(ID_AUTO_SHOW);
    const std::string named = browser.View()->CurrentPath(), name = browser.View()->CurrentName();
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
    EXPECT_EQ(0, browser.View()->m_bAutoShow) << "automatic browse started under the question";
    EXPECT_EQ(DeleteQuestion(name), question);
    EXPECT_FALSE(FileExists(named));
    EXPECT_EQ(17u, FilesIn(folder.Path()).size()) << "exactly the file named went";
    EXPECT_TRUE(IsWindowEnabled(Floating())) << "enabled again with the frame";
}

// The frame closes in the middle of a drag, of the floating window by its
// caption or of the docked bar by its gripper: the drag ends, and nothing
// writes into the objects that went with the frame.
void ToolBarDockTest::CloseTheFrameWhileDragging(bool floating)
{
    if (floating)
        Dock().FloatAt(POINT{40, 60});
    HWND frame = browser.Frame(), dragged = floating ? Floating() : Bar();
    const POINT grip = floating ? Caption() : Gripper();
    {
        FreedBlockWatch watch;
        Hands().DragHolding(grip, Middle(), [frame] {
            PostMessageA(frame, WM_CLOSE, 0, 0);
            Sleep(300);
        });
        EXPECT_EQ(0, watch.WrittenAfterDelete()) << "a pointer outlived its object";
    }
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(dragged));
    EXPECT_EQ(1, host.ExitCount());
}

TEST_F(ToolBarDockTest, ClosingTheFrameWhileTheFloatingBarIsDraggedEndsTheDrag)
{
    CloseTheFrameWhileDragging(true);
}

TEST_F(ToolBarDockTest, ClosingTheFrameWhileTheDockedBarIsDraggedEndsTheDrag)
{
    CloseTheFrameWhileDragging(false);
}

TEST_F(ToolBarDockTest, AFloatingWindowDestroyedFromOutsideIsForgotten)
{
    Dock().FloatAt(POINT{40, 60});
    DestroyWindow(Floating());
    EXPECT_EQ(nullptr, Floating());
}

}  // namespace
