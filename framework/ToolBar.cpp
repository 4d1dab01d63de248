#include "framework/ToolBar.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "framework/CmdUI.h"
#include "framework/Frame.h"
#include "framework/FwResource.h"
#include "framework/Module.h"
#include "framework/Window.h"

namespace {

const int kBorder = 2;      // around the buttons
const int kGripper = 8;     // the strip that carries the gripper
const int kThinOutline = 1;     // docking
const int kThickOutline = 4;    // floating
const char* const kMiniFrameClass = "FwMiniDockFrame";

bool IsVertical(DockSide side)
{
    return side == DockSide::Left || side == DockSide::Right;
}

DWORD AlignFlagOf(DockSide side)
{
    switch (side) {
    case DockSide::Top: return CBRS_ALIGN_TOP;
    case DockSide::Bottom: return CBRS_ALIGN_BOTTOM;
    case DockSide::Left: return CBRS_ALIGN_LEFT;
    case DockSide::Right: return CBRS_ALIGN_RIGHT;
    default: return 0;
    }
}

// The non-client thickness of each edge: the gripper strip before the
// buttons when docked, a thin border all round.
RECT NonClient(DockSide side)
{
    RECT nc = {kBorder, kBorder, kBorder, kBorder};
    if (side == DockSide::Floating)
        return nc;
    if (IsVertical(side))
        nc.top += kGripper;
    else
        nc.left += kGripper;
    return nc;
}

// The inverted outline of a rectangle, drawn on the frame's window (no
// child is clipped) and taken away by drawing it again. Everything the
// frame paints meanwhile is painted with the outline taken away.
class CDragOutline {
public:
    explicit CDragOutline(HWND frame) : m_frame(frame)
    {
        static const WORD kHalftone[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        m_pattern = CreateBitmap(8, 8, 1, 1, kHalftone);
        m_brush = CreatePatternBrush(m_pattern);
    }
    ~CDragOutline()
    {
        Hide();
        DeleteObject(m_brush);
        DeleteObject(m_pattern);
    }
    CDragOutline(const CDragOutline&) = delete;
    CDragOutline& operator=(const CDragOutline&) = delete;

    // rc: on the screen.
    void Show(const RECT& rc, int width)
    {
        Hide();
        m_rect = rc;
        m_width = width;
        Draw();
        m_shown = true;
    }
    void Hide()
    {
        if (m_shown)
            Draw();
        m_shown = false;
    }
    bool Shown() const { return m_shown; }

private:
    void Draw() const
    {
        RECT window;
        GetWindowRect(m_frame, &window);
        HDC dc = GetDCEx(m_frame, nullptr, DCX_WINDOW | DCX_CACHE);
        if (dc == nullptr)
            return;
        HGDIOBJ old = SelectObject(dc, m_brush);
        const int x = m_rect.left - window.left, y = m_rect.top - window.top;
        const int w = m_rect.right - m_rect.left, h = m_rect.bottom - m_rect.top, t = m_width;
        PatBlt(dc, x, y, w, t, PATINVERT);
        PatBlt(dc, x, y + h - t, w, t, PATINVERT);
        PatBlt(dc, x, y + t, t, h - 2 * t, PATINVERT);
        PatBlt(dc, x + w - t, y + t, t, h - 2 * t, PATINVERT);
        SelectObject(dc, old);
        ReleaseDC(m_frame, dc);
    }

    HWND m_frame;
    HBITMAP m_pattern;
    HBRUSH m_brush;
    RECT m_rect = {0, 0, 0, 0};
    int m_width = 0;
    bool m_shown = false;
};

// Moves a floating window's rectangle into the frame's window as far as it
// fits, so that its caption stays where the operator can take it.
RECT KeptOnScreen(RECT rc, HWND frame)
{
    RECT within;
    GetWindowRect(frame, &within);
    const LONG dx = rc.right > within.right ? within.right - rc.right : 0;
    const LONG dy = rc.bottom > within.bottom ? within.bottom - rc.bottom : 0;
    OffsetRect(&rc, dx, dy);
    OffsetRect(&rc, rc.left < within.left ? within.left - rc.left : 0, rc.top < within.top ? within.top - rc.top : 0);
    return rc;
}

}  // namespace

// The small tool window a floating bar lives in: a caption to drag it by
// and no close box, since nothing could bring a closed bar back. It
// belongs to the bar and goes with the frame that owns it.
class CMiniDockFrame : public CWnd {
public:
    explicit CMiniDockFrame(CToolBar& bar) : m_bar(bar) {}

    bool Create(HWND owner, const RECT& rc)
    {
        if (!RegisterWindowClass(kMiniFrameClass, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE), nullptr))
            return false;
        return CreateEx(WS_EX_TOOLWINDOW, kMiniFrameClass, "", WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, rc, owner,
                        nullptr) != FALSE;
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case WM_NCLBUTTONDOWN:
            if (wParam != HTCAPTION)
                break;
            m_bar.Drag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_NCLBUTTONDBLCLK:
            if (wParam != HTCAPTION)
                break;
            m_bar.ToggleDocking();
            return 0;
        case WM_MOUSEACTIVATE:
            // The browser's frame stays the active window.
            return MA_NOACTIVATE;
        case WM_CLOSE:
            return 0;
        default:
            break;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
    void PostNcDestroy() override
    {
        if (m_bar.m_pFloating == this)
            m_bar.m_pFloating = nullptr;
        delete this;
    }

private:
    CToolBar& m_bar;
};

// Drags a bar from a point of the screen until the button goes up: the
// outline follows, and the drop docks or floats the bar. A click that does
// not move changes nothing; Esc or the right button cancel.
class CDockDrag {
public:
    CDockDrag(CToolBar& bar, POINT start) : m_bar(bar), m_start(start)
    {
        // Where the floating window would hang from the pointer: as it is
        // grabbed now, within the floating window's size.
        RECT grabbed;
        GetWindowRect(bar.Side() == DockSide::Floating ? bar.FloatingWindow() : bar.m_hWnd, &grabbed);
        const SIZE floating = bar.FloatingWindowSize();
        m_grab.x = std::min<LONG>(start.x - grabbed.left, floating.cx - 1);
        m_grab.y = std::min<LONG>(start.y - grabbed.top, floating.cy - 1);
    }

    void Run()
    {
        HWND capture = m_bar.Side() == DockSide::Floating ? m_bar.FloatingWindow() : m_bar.m_hWnd;
        HWND frame = m_bar.m_pFrame->m_hWnd;
        CDragOutline outline(frame);
        SetCapture(capture);
        bool dragging = false;
        POINT last = m_start;
        MSG msg;
        while (GetCapture() == capture) {
            if (!GetMessageA(&msg, nullptr, 0, 0)) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            const POINT at = {GET_X_LPARAM(GetMessagePos()), GET_Y_LPARAM(GetMessagePos())};
            switch (msg.message) {
            case WM_MOUSEMOVE:
                if (!dragging && std::abs(at.x - m_start.x) < GetSystemMetrics(SM_CXDRAG) &&
                    std::abs(at.y - m_start.y) < GetSystemMetrics(SM_CYDRAG))
                    break;
                dragging = true;
                last = at;
                ShowTarget(outline, at);
                break;
            case WM_KEYDOWN:
            case WM_KEYUP:
                if (msg.wParam == VK_ESCAPE) {
                    ReleaseCapture();
                    return;
                }
                if (msg.wParam == VK_CONTROL && dragging)
                    ShowTarget(outline, last);
                break;
            case WM_RBUTTONDOWN:
                ReleaseCapture();
                return;
            case WM_LBUTTONUP:
                outline.Hide();
                ReleaseCapture();
                if (dragging)
                    Drop(at);
                return;
            default: {
                // Whatever else runs paints with the outline taken away.
                const bool shown = outline.Shown();
                outline.Hide();
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                if (shown && IsWindow(frame))
                    ShowTarget(outline, last);
                break;
            }
            }
        }
    }

private:
    struct Target {
        DockSide side;
        RECT rect;
    };

    // An edge of the frame when the pointer is within a bar's thickness of
    // it and Ctrl is up, else floating where the pointer is.
    Target TargetAt(POINT at) const
    {
        // The key as the thread saw it, or as it is now when the key went to
        // another window.
        const bool ctrl = GetKeyState(VK_CONTROL) < 0 || GetAsyncKeyState(VK_CONTROL) < 0;
        if (!ctrl) {
            const RECT f = m_bar.FrameClientOnScreen();
            const LONG row = m_bar.BarSize(DockSide::Top).cy, column = m_bar.BarSize(DockSide::Left).cx;
            const struct {
                DockSide side;
                LONG distance;
                LONG reach;
                RECT rect;
            } edges[] = {
                {DockSide::Top, at.y - f.top, row, {f.left, f.top, f.right, f.top + row}},
                {DockSide::Bottom, f.bottom - 1 - at.y, row, {f.left, f.bottom - row, f.right, f.bottom}},
                {DockSide::Left, at.x - f.left, column, {f.left, f.top, f.left + column, f.bottom}},
                {DockSide::Right, f.right - 1 - at.x, column, {f.right - column, f.top, f.right, f.bottom}},
            };
            const bool inside = at.x >= f.left && at.x < f.right && at.y >= f.top && at.y < f.bottom;
            Target nearest = {DockSide::Floating, {}};
            LONG distance = 0;
            for (const auto& edge : edges) {
                if (!inside || edge.distance >= edge.reach || !m_bar.CanDockAt(edge.side))
                    continue;
                if (nearest.side == DockSide::Floating || edge.distance < distance) {
                    nearest = {edge.side, edge.rect};
                    distance = edge.distance;
                }
            }
            if (nearest.side != DockSide::Floating)
                return nearest;
        }
        const SIZE size = m_bar.FloatingWindowSize();
        const POINT topLeft = {at.x - m_grab.x, at.y - m_grab.y};
        const RECT floating = {topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy};
        return Target{DockSide::Floating, KeptOnScreen(floating, m_bar.m_pFrame->m_hWnd)};
    }

    void ShowTarget(CDragOutline& outline, POINT at) const
    {
        const Target target = TargetAt(at);
        outline.Show(target.rect, target.side == DockSide::Floating ? kThickOutline : kThinOutline);
    }

    void Drop(POINT at)
    {
        const Target target = TargetAt(at);
        if (target.side == DockSide::Floating)
            m_bar.FloatAt(POINT{target.rect.left, target.rect.top});
        else
            m_bar.DockAt(target.side);
    }

    CToolBar& m_bar;
    POINT m_start;
    POINT m_grab = {0, 0};
};

CToolBar::CToolBar() = default;

CToolBar::~CToolBar()
{
    // The floating window normally went with the frame that owns it.
    if (m_pFloating != nullptr && m_pFloating->m_hWnd != nullptr)
        ::DestroyWindow(m_pFloating->m_hWnd);
    if (m_hWnd != nullptr && IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    if (m_hBitmap != nullptr)
        DeleteObject(m_hBitmap);
}

BOOL CToolBar::CreateEx(CFrameWnd* frame, DWORD controlStyle, DWORD barStyle, UINT id)
{
    m_pFrame = frame;
    // The bar places itself, and its own non-client area carries the
    // gripper and the borders.
    const DWORD style = controlStyle | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
    m_hWnd = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 0, 0, frame->m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), FwModule(), nullptr);
    if (m_hWnd == nullptr)
        return FALSE;
    m_side = m_lastDocked = (barStyle & CBRS_ALIGN_BOTTOM)  ? DockSide::Bottom
                            : (barStyle & CBRS_ALIGN_LEFT)  ? DockSide::Left
                            : (barStyle & CBRS_ALIGN_RIGHT) ? DockSide::Right
                                                            : DockSide::Top;
    SendMessageA(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Commands and notifications go to the frame, wherever the bar is.
    SendMessageA(m_hWnd, TB_SETPARENT, reinterpret_cast<WPARAM>(frame->m_hWnd), 0);
    if (!SetWindowSubclass(m_hWnd, Subclass, 1, reinterpret_cast<DWORD_PTR>(this))) {
        ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        return FALSE;
    }
    // The non-client area follows the subclass.
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT resourceId)
{
    HRSRC found = FindResourceA(FwModule(), MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(RT_TOOLBAR));
    HGLOBAL loaded = found != nullptr ? LoadResource(FwModule(), found) : nullptr;
    const WORD* data = loaded != nullptr ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    DWORD bytes = found != nullptr ? SizeofResource(FwModule(), found) : 0;
    // version, width, height, count, then one command per slot
    if (data == nullptr || bytes < 8 || data[0] != 1 || bytes < 8u + 2u * data[3])
        return FALSE;
    int width = data[1], height = data[2], count = data[3];

    m_hBitmap = CreateMappedBitmap(FwModule(), resourceId, 0, nullptr, 0);
    if (m_hBitmap == nullptr)
        return FALSE;

    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (int slot = 0; slot < count; ++slot) {
        UINT command = data[4 + slot];
        m_commands.push_back(command);
        TBBUTTON b = {};
        if (command == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = image++;
            b.idCommand = static_cast<int>(command);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
        b.iString = -1;
        buttons.push_back(b);
    }
    SendMessageA(m_hWnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    SendMessageA(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(width + 7, height + 7));
    TBADDBITMAP bitmap = {nullptr, reinterpret_cast<UINT_PTR>(m_hBitmap)};
    if (SendMessageA(m_hWnd, TB_ADDBITMAP, image, reinterpret_cast<LPARAM>(&bitmap)) < 0)
        return FALSE;
    if (!SendMessageA(m_hWnd, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())))
        return FALSE;
    MeasureExtents();
    SetOrientation(IsVertical(m_side));
    return TRUE;
}

void CToolBar::MeasureExtents()
{
    auto extent = [this] {
        SIZE size = {0, 0};
        const int count = static_cast<int>(SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            RECT item;
            if (SendMessageA(m_hWnd, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) {
                size.cx = std::max(size.cx, item.right);
                size.cy = std::max(size.cy, item.bottom);
            }
        }
        return size;
    };
    SetOrientation(true);
    m_columnExtent = extent();
    SetOrientation(false);
    m_rowExtent = extent();
}

void CToolBar::UpdateButtons(CWnd* target)
{
    for (UINT command : m_commands) {
        if (command == 0)
            continue;
        CProbeCmdUI ui(command);    // the rule's answer, applied below
        if (!target->OnCmdMsg(command, &ui))
            ui.m_bEnabled = false;  // a button nobody handles cannot be pressed
        LRESULT old = SendMessageA(m_hWnd, TB_GETSTATE, command, 0);
        if (old < 0)
            continue;
        BYTE state = static_cast<BYTE>(old) & ~(TBSTATE_ENABLED | TBSTATE_CHECKED);
        if (ui.m_bEnabled)
            state |= TBSTATE_ENABLED;
        if (ui.m_nCheck != 0)
            state |= TBSTATE_CHECKED;
        if (state != static_cast<BYTE>(old))
            SendMessageA(m_hWnd, TB_SETSTATE, command, MAKELPARAM(state, 0));
    }
}

void CToolBar::SetOrientation(bool vertical)
{
    LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    SetWindowLongA(m_hWnd, GWL_STYLE, vertical ? style | CCS_VERT : style & ~CCS_VERT);
    // One button a row makes the column; the separators turn with it.
    const int count = static_cast<int>(SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        SendMessageA(m_hWnd, TB_GETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
        const BYTE wrapped = vertical ? (info.fsState | TBSTATE_WRAP) : (info.fsState & ~TBSTATE_WRAP);
        if (wrapped == info.fsState)
            continue;
        info.fsState = wrapped;
        SendMessageA(m_hWnd, TB_SETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageA(m_hWnd, TB_AUTOSIZE, 0, 0);
}

SIZE CToolBar::BarSize(DockSide side) const
{
    const SIZE extent = IsVertical(side) ? m_columnExtent : m_rowExtent;
    const RECT nc = NonClient(side);
    return SIZE{extent.cx + nc.left + nc.right, extent.cy + nc.top + nc.bottom};
}

SIZE CToolBar::FloatingWindowSize() const
{
    const SIZE client = BarSize(DockSide::Floating);
    RECT rc = {0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&rc, WS_POPUP | WS_CAPTION, FALSE, WS_EX_TOOLWINDOW);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

RECT CToolBar::FrameClientOnScreen() const
{
    RECT rc;
    ::GetClientRect(m_pFrame->m_hWnd, &rc);
    MapWindowPoints(m_pFrame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool CToolBar::CanDockAt(DockSide side) const
{
    const DWORD flag = AlignFlagOf(side);
    return (m_dockable & flag) != 0 && (m_pFrame->DockingSides() & flag) != 0;
}

HWND CToolBar::FloatingWindow() const
{
    return m_pFloating != nullptr ? m_pFloating->m_hWnd : nullptr;
}

void CToolBar::PlaceIn(RECT* client)
{
    if (m_hWnd == nullptr || m_side == DockSide::Floating)
        return;
    const SIZE size = BarSize(m_side);
    RECT& rc = *client;
    const LONG width = rc.right - rc.left, height = rc.bottom - rc.top;
    switch (m_side) {
    case DockSide::Top:
        MoveWindow(m_hWnd, rc.left, rc.top, width, size.cy, TRUE);
        rc.top = std::min(rc.bottom, rc.top + size.cy);
        break;
    case DockSide::Bottom:
        MoveWindow(m_hWnd, rc.left, rc.bottom - size.cy, width, size.cy, TRUE);
        rc.bottom = std::max(rc.top, rc.bottom - size.cy);
        break;
    case DockSide::Left:
        MoveWindow(m_hWnd, rc.left, rc.top, size.cx, height, TRUE);
        rc.left = std::min(rc.right, rc.left + size.cx);
        break;
    case DockSide::Right:
        MoveWindow(m_hWnd, rc.right - size.cx, rc.top, size.cx, height, TRUE);
        rc.right = std::max(rc.left, rc.right - size.cx);
        break;
    case DockSide::Floating:
        break;
    }
}

void CToolBar::DockAt(DockSide side)
{
    if (side == DockSide::Floating) {
        FloatAt(m_lastFloat);
        return;
    }
    if (!CanDockAt(side) || m_hWnd == nullptr)
        return;
    if (m_side == DockSide::Floating) {
        SetParent(m_hWnd, m_pFrame->m_hWnd);
        HWND floating = FloatingWindow();
        m_pFloating = nullptr;  // the window deletes its object
        if (floating != nullptr)
            ::DestroyWindow(floating);
    }
    m_side = m_lastDocked = side;
    SetOrientation(IsVertical(side));
    SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE);
    m_pFrame->RecalcLayout();
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CToolBar::FloatAt(POINT topLeft)
{
    if (m_hWnd == nullptr)
        return;
    if (topLeft.x < 0 && topLeft.y < 0) {
        // Never floated yet: a little below and right of where it is.
        RECT now;
        GetWindowRect(m_hWnd, &now);
        topLeft = POINT{now.left + 40, now.top + 40};
    }
    const SIZE window = FloatingWindowSize();
    const RECT at = {topLeft.x, topLeft.y, topLeft.x + window.cx, topLeft.y + window.cy};
    const RECT rc = KeptOnScreen(at, m_pFrame->m_hWnd);
    m_lastFloat = POINT{rc.left, rc.top};
    if (m_side == DockSide::Floating && m_pFloating != nullptr) {
        SetWindowPos(m_pFloating->m_hWnd, nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    CMiniDockFrame* floating = new CMiniDockFrame(*this);
    if (!floating->Create(m_pFrame->m_hWnd, rc)) {
        delete floating;
        return;     // it stays docked
    }
    m_pFloating = floating;
    SetParent(m_hWnd, floating->m_hWnd);
    m_side = DockSide::Floating;
    SetOrientation(false);
    const SIZE client = BarSize(DockSide::Floating);
    SetWindowPos(m_hWnd, nullptr, 0, 0, client.cx, client.cy, SWP_FRAMECHANGED | SWP_NOZORDER);
    ShowWindow(floating->m_hWnd, SW_SHOWNOACTIVATE);
    m_pFrame->RecalcLayout();
}

void CToolBar::ToggleDocking()
{
    if (m_side == DockSide::Floating)
        DockAt(m_lastDocked);
    else
        FloatAt(m_lastFloat);
}

void CToolBar::Drag(POINT start)
{
    CDockDrag(*this, start).Run();
}

void CToolBar::OnNcCalcSize(RECT* rc) const
{
    const RECT nc = NonClient(m_side);
    rc->left += nc.left;
    rc->top += nc.top;
    rc->right = std::max(rc->left, rc->right - nc.right);
    rc->bottom = std::max(rc->top, rc->bottom - nc.bottom);
}

void CToolBar::OnNcPaint() const
{
    RECT window;
    GetWindowRect(m_hWnd, &window);
    OffsetRect(&window, -window.left, -window.top);
    RECT client = window;
    OnNcCalcSize(&client);
    HDC dc = GetWindowDC(m_hWnd);
    if (dc == nullptr)
        return;
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &window, GetSysColorBrush(COLOR_BTNFACE));
    if (m_side != DockSide::Floating) {
        // Two raised lines along the strip before the buttons.
        for (int line = 0; line < 2; ++line) {
            const int at = kBorder + 1 + 3 * line;
            RECT grip = IsVertical(m_side) ? RECT{kBorder + 2, at, window.right - kBorder - 2, at + 3}
                                           : RECT{at, kBorder + 2, at + 3, window.bottom - kBorder - 2};
            DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
        }
    }
    ReleaseDC(m_hWnd, dc);
}

LRESULT CALLBACK CToolBar::Subclass(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    // Nothing may unwind through the control's own frames.
    try {
        return reinterpret_cast<CToolBar*>(self)->OnMessage(msg, wParam, lParam);
    } catch (...) {
        return DefSubclassProc(wnd, msg, wParam, lParam);
    }
}

LRESULT CToolBar::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND wnd = m_hWnd;
    switch (msg) {
    case WM_NCCALCSIZE:
        OnNcCalcSize(wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                            : reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_NCPAINT:
        OnNcPaint();
        return 0;
    case WM_NCHITTEST: {
        if (m_side == DockSide::Floating)
            break;
        RECT window;
        GetWindowRect(wnd, &window);
        const POINT at = {GET_X_LPARAM(lParam) - window.left, GET_Y_LPARAM(lParam) - window.top};
        const bool onGripper = IsVertical(m_side) ? at.y < kBorder + kGripper : at.x < kBorder + kGripper;
        if (onGripper)
            return HTCAPTION;
        break;
    }
    case WM_NCLBUTTONDOWN: {
        if (wParam != HTCAPTION)
            break;
        const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        // The control's class may take no double clicks: a second click
        // soon and near enough is one.
        const DWORD now = static_cast<DWORD>(GetMessageTime());
        if (now - m_lastGripClick <= GetDoubleClickTime() &&
            std::abs(at.x - m_lastGripPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
            std::abs(at.y - m_lastGripPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2) {
            m_lastGripClick = 0;
            ToggleDocking();
            return 0;
        }
        m_lastGripClick = now;
        m_lastGripPoint = at;
        Drag(at);
        return 0;
    }
    case WM_NCLBUTTONDBLCLK:
        if (wParam != HTCAPTION)
            break;
        m_lastGripClick = 0;
        ToggleDocking();
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(wnd, Subclass, 1);
        m_hWnd = nullptr;
        return DefSubclassProc(wnd, msg, wParam, lParam);
    default:
        break;
    }
    return DefSubclassProc(wnd, msg, wParam, lParam);
}
