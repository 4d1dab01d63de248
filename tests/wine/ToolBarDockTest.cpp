// The toolbar dragged with the real mouse: docked at each edge of the
// frame, floating in its own window and back, by double clicks, with Ctrl
// held; the view follows the room the bar leaves (its cells painted and hit
// where they now are) and the buttons keep their states and commands.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/Canvas.h"
#include "tests/support/CellColours.h"
#include "tests/support/Gripper.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestPictures.h"

namespace {


enum class Edge { Top, Bottom, Left, Right };

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
    RECT FrameClient() const
    {
        RECT rc;
        GetClientRect(browser.Frame(), &rc);
        MapWindowPoints(browser.Frame(), nullptr, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    static RECT WindowRect(HWND wnd)
    {
        RECT rc;
        GetWindowRect(wnd, &rc);
        return rc;
    }
    // A point on the docked bar's gripper.
    POINT Gripper() const { return GripperOf(Bar()); }
    // A point on the floating window's caption.
    POINT Caption() const
    {
        const RECT window = WindowRect(FloatingWindow());
        RECT client;
        GetClientRect(FloatingWindow(), &client);
        MapWindowPoints(FloatingWindow(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        return POINT{(window.left + window.right) / 2, (window.top + client.top) / 2};
    }
    POINT NearEdge(Edge edge) const
    {
        const RECT f = FrameClient();
        const POINT centre = {(f.left + f.right) / 2, (f.top + f.bottom) / 2};
        switch (edge) {
        case Edge::Top: return POINT{centre.x, f.top + 4};
        case Edge::Bottom: return POINT{centre.x, f.bottom - 4};
        case Edge::Left: return POINT{f.left + 4, centre.y};
        case Edge::Right: return POINT{f.right - 4, centre.y};
        }
        return centre;
    }
    POINT Middle() const
    {
        const RECT f = FrameClient();
        return POINT{(f.left + f.right) / 2, (f.top + f.bottom) / 2};
    }
    RealInput Hands() { return RealInput([this] { browser.Pump(); }); }

    bool ButtonEnabled(UINT command) const
    {
        return (SendMessageA(Bar(), TB_GETSTATE, command, 0) & TBSTATE_ENABLED) != 0;
    }
    // The second button sits below the first (a column) or beside it (a row).
    bool ButtonsInAColumn() const
    {
        RECT first, second;
        SendMessageA(Bar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
        SendMessageA(Bar(), TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
        return second.top >= first.bottom && second.left == first.left;
    }
    // The view holds the rest of the frame's client area, repainted and
    // hit tested at the size it now has.
    void ExpectTheViewFillsTheRest(const char* where)
    {
        SCOPED_TRACE(where);
        browser.Pump();
        const RECT f = FrameClient(), bar = WindowRect(Bar()), view = WindowRect(browser.ViewWindow());
        const LONG frameArea = (f.right - f.left) * (f.bottom - f.top);
        const LONG barArea = FloatingWindow() != nullptr ? 0 : (bar.right - bar.left) * (bar.bottom - bar.top);
        EXPECT_EQ(frameArea - barArea, (view.right - view.left) * (view.bottom - view.top));
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

TEST_F(ToolBarDockTest, DraggedByItsGripperTheBarDocksAtEachEdgeInItsOrientation)
{
    const struct {
        Edge edge;
        const char* name;
        bool column;
        LONG RECT::*side;   // the frame's edge the bar lies on
    } edges[] = {{Edge::Left, "left", true, &RECT::left}, {Edge::Bottom, "bottom", false, &RECT::bottom},
                 {Edge::Right, "right", true, &RECT::right}, {Edge::Top, "top", false, &RECT::top}};
    for (const auto& e : edges) {
        SCOPED_TRACE(e.name);
        Hands().Drag(Gripper(), NearEdge(e.edge));
        ASSERT_EQ(nullptr, FloatingWindow());
        const RECT f = FrameClient(), bar = WindowRect(Bar());
        EXPECT_EQ(f.*e.side, bar.*e.side);
        if (e.column)
            EXPECT_EQ(f.bottom - f.top, bar.bottom - bar.top) << "along the whole edge";
        else
            EXPECT_EQ(f.right - f.left, bar.right - bar.left) << "along the whole edge";
        EXPECT_EQ(e.column, ButtonsInAColumn());
        ExpectTheViewFillsTheRest(e.name);
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
    EXPECT_FALSE(ButtonsInAColumn());
    ExpectTheViewFillsTheRest("floating");

    // A floating button still runs its command, through the same gate.
    RECT first;
    const LRESULT index = SendMessageA(Bar(), TB_COMMANDTOINDEX, ID_PAGE_FIRST, 0);
    SendMessageA(Bar(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&first));
    MapWindowPoints(Bar(), nullptr, reinterpret_cast<POINT*>(&first), 2);
    Hands().Click(POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2});
    EXPECT_EQ(0, browser.View()->m_nPageTop);
    browser.Pump();
    EXPECT_FALSE(ButtonEnabled(ID_PAGE_PREV));

    Hands().Drag(Caption(), NearEdge(Edge::Left));
    EXPECT_EQ(nullptr, FloatingWindow());
    EXPECT_FALSE(IsWindow(floating));
    EXPECT_EQ(FrameClient().left, WindowRect(Bar()).left);
    EXPECT_TRUE(ButtonsInAColumn());
}

TEST_F(ToolBarDockTest, ADoubleClickSwitchesBetweenTheLastDockedPlaceAndFloating)
{
    Hands().Drag(Gripper(), NearEdge(Edge::Right));
    ASSERT_EQ(FrameClient().right, WindowRect(Bar()).right);
    Hands().DoubleClick(Gripper());
    ASSERT_NE(nullptr, FloatingWindow());
    Hands().DoubleClick(Caption());
    EXPECT_EQ(nullptr, FloatingWindow());
    EXPECT_EQ(FrameClient().right, WindowRect(Bar()).right) << "back where it was docked";
    EXPECT_TRUE(ButtonsInAColumn());
}

TEST_F(ToolBarDockTest, WithCtrlHeldTheBarFloatsEvenAtAnEdge)
{
    Hands().Drag(Gripper(), NearEdge(Edge::Bottom), true);
    EXPECT_NE(nullptr, FloatingWindow());
    ExpectTheViewFillsTheRest("floating at the bottom edge");
}

TEST_F(ToolBarDockTest, ClosingWithTheBarFloatingPostsOneExitAndTakesTheFloatingWindowAlong)
{
    Hands().Drag(Gripper(), Middle());
    HWND floating = FloatingWindow();
    ASSERT_NE(nullptr, floating);
    browser.Command(ID_ALBUM_RETURN);
    EXPECT_FALSE(IsWindow(browser.Frame()));
    EXPECT_FALSE(IsWindow(floating));
    EXPECT_EQ(1, host.ExitCount());
}

}  // namespace
