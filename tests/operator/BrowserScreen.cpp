#include "tests/operator/BrowserScreen.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "res/resource.h"
#include "tests/operator/BrowserWindow.h"

namespace {

bool NearColour(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

}  // namespace

bool BrowserScreen::Attach(DWORD milliseconds)
{
    m_frame = WaitForBrowserFrame(milliseconds);
    if (m_frame == nullptr)
        return false;
    m_thread = GetWindowThreadProcessId(m_frame, nullptr);
    m_toolbar = GetDlgItem(m_frame, AFX_IDW_TOOLBAR);
    m_view = GetDlgItem(m_frame, AFX_IDW_PANE_FIRST);
    m_buttonCentres.clear();
    // The first paint sets the title; before it the view is not drawn yet.
    bool painted = WaitUntil([this] { return !Title().empty(); }, milliseconds);
    return m_view != nullptr && m_toolbar != nullptr && painted;
}

std::string BrowserScreen::Title() const
{
    // WM_GETTEXT is copied between processes; GetWindowText of another
    // process's window would not ask the window.
    char text[1024] = "";
    SendMessageTimeoutA(m_frame, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                        nullptr);
    return text;
}

bool BrowserScreen::WaitForTitle(const std::string& title, DWORD milliseconds) const
{
    return WaitUntil([&] { return Title() == title; }, milliseconds);
}

bool BrowserScreen::WaitForTitleOtherThan(const std::string& title, DWORD milliseconds) const
{
    return WaitUntil([&] { return Title() != title; }, milliseconds);
}

void BrowserScreen::Choose(UINT command) const
{
    ChooseMenuCommand(m_frame, command);
    Settle();
}

// The toolbar is hot-tracked: a pointer moved over an enabled button makes
// it the hot item, which the toolbar reports by value. Sweeping the pointer
// along the buttons' middle line finds the enabled buttons' extents without
// reading rectangles out of the other process; the disabled ones follow
// from them, all buttons being one size and all separators another.
bool BrowserScreen::LocateButtons()
{
    DWORD size = static_cast<DWORD>(SendMessageA(m_toolbar, TB_GETBUTTONSIZE, 0, 0));
    int buttonWidth = LOWORD(size), y = HIWORD(size) / 2 + 2;
    RECT bar;
    GetClientRect(m_toolbar, &bar);
    std::map<int, int> lefts;   // index -> first x where the button is hot
    for (int x = 0; x < bar.right; ++x) {
        SendMessageA(m_toolbar, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        int hot = static_cast<int>(SendMessageA(m_toolbar, TB_GETHOTITEM, 0, 0));
        if (hot >= 0 && lefts.find(hot) == lefts.end())
            lefts[hot] = x;
    }
    SendMessageA(m_toolbar, WM_MOUSELEAVE, 0, 0);
    if (lefts.empty())
        return false;

    int count = static_cast<int>(SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0));
    std::vector<UINT> commandAt(static_cast<size_t>(count), 0);   // 0: a separator
    std::vector<UINT> commands;
    for (UINT c = ID_BROWSER_COMMAND_FIRST; c <= ID_BROWSER_COMMAND_LAST; ++c)
        commands.push_back(c);
    for (UINT c = ID_FILE_OPEN; c <= ID_FILE_PRINT_PREVIEW; ++c)
        commands.push_back(c);
    for (UINT c : commands) {
        int index = static_cast<int>(SendMessageA(m_toolbar, TB_COMMANDTOINDEX, c, 0));
        if (index >= 0 && index < count)
            commandAt[static_cast<size_t>(index)] = c;
    }
    // The separator width from the first and last buttons found.
    int first = lefts.begin()->first, last = lefts.rbegin()->first;
    int buttons = 0, separators = 0;
    for (int i = first; i < last; ++i)
        (commandAt[static_cast<size_t>(i)] != 0 ? buttons : separators) += 1;
    int separatorWidth = separators > 0 ? (lefts[last] - lefts[first] - buttons * buttonWidth) / separators : 8;

    int left = lefts[first];
    for (int i = first - 1; i >= 0; --i)
        left -= commandAt[static_cast<size_t>(i)] != 0 ? buttonWidth : separatorWidth;
    for (int i = 0; i < count; ++i) {
        UINT c = commandAt[static_cast<size_t>(i)];
        if (c != 0)
            m_buttonCentres[c] = {left + buttonWidth / 2, y};
        left += c != 0 ? buttonWidth : separatorWidth;
    }
    return true;
}

bool BrowserScreen::Press(UINT command)
{
    if (m_buttonCentres.empty() && !LocateButtons())
        return false;
    auto found = m_buttonCentres.find(command);
    if (found == m_buttonCentres.end())
        return false;
    // The operator clicks once the button lights up: the browser enables it
    // when idle, after it painted what the last command showed, and a click
    // on a greyed button does nothing.
    if (!WaitForButton(command, true, kButtonWaitMs))
        return false;
    LPARAM at = MAKELPARAM(found->second.x, found->second.y);
    PostMessageA(m_toolbar, WM_MOUSEMOVE, 0, at);
    PostMessageA(m_toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(m_toolbar, WM_LBUTTONUP, 0, at);
    Settle();
    return true;
}

bool BrowserScreen::ButtonEnabled(UINT command) const
{
    LRESULT state = SendMessageA(m_toolbar, TB_GETSTATE, command, 0);
    return state >= 0 && (state & TBSTATE_ENABLED) != 0;
}

bool BrowserScreen::ButtonChecked(UINT command) const
{
    LRESULT state = SendMessageA(m_toolbar, TB_GETSTATE, command, 0);
    return state >= 0 && (state & TBSTATE_CHECKED) != 0;
}

bool BrowserScreen::WaitForButton(UINT command, bool enabled, DWORD milliseconds) const
{
    return WaitUntil([&] { return ButtonEnabled(command) == enabled; }, milliseconds);
}

RECT BrowserScreen::Cell(int cell) const
{
    RECT client;
    GetClientRect(m_view, &client);
    int w = client.right / 3, h = client.bottom / 3;
    int col = cell % 3, row = cell / 3;
    RECT rc = {col * w + 5, row * h + 5, col * w + w, row * h + 5 + h - 25};
    return rc;
}

void BrowserScreen::ClickCell(int cell) const
{
    RECT rc = Cell(cell);
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageA(m_view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(m_view, WM_LBUTTONUP, 0, at);
    Settle();
}

void BrowserScreen::DoubleClickCell(int cell) const
{
    RECT rc = Cell(cell);
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageA(m_view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(m_view, WM_LBUTTONUP, 0, at);
    PostMessageA(m_view, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(m_view, WM_LBUTTONUP, 0, at);
    Settle();
}

void BrowserScreen::RightClickCentre() const
{
    RECT rc;
    GetClientRect(m_view, &rc);
    POINT at = {rc.right / 2, rc.bottom / 2};
    ClientToScreen(m_view, &at);
    PostMessageA(m_view, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_view), MAKELPARAM(at.x, at.y));
}

COLORREF BrowserScreen::ViewPixel(int x, int y) const
{
    // The view's pixels belong to the host process; the screen holds them.
    POINT at = {x, y};
    ClientToScreen(m_view, &at);
    x = at.x;
    y = at.y;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 1, 1, screen, x, y, SRCCOPY);
    COLORREF colour = GetPixel(memory, 0, 0);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return colour;
}

COLORREF BrowserScreen::CellFill(int cell) const
{
    // Inside the bevel (inset 2) and well outside the thumbnail (margin 50).
    RECT rc = Cell(cell);
    return ViewPixel(rc.left + 8, rc.top + 8);
}

bool BrowserScreen::CellShowsPicture(int cell) const
{
    // A snapshot is not one flat colour, and parts of it (a sky) may come
    // close to a fill: look for a few points inside the thumbnail area
    // (margin 50) that are neither fill nor white.
    RECT rc = Cell(cell);
    int found = 0;
    for (int row = 1; row <= 5; ++row) {
        for (int col = 1; col <= 5; ++col) {
            int x = rc.left + 50 + (rc.right - rc.left - 100) * col / 6;
            int y = rc.top + 50 + (rc.bottom - rc.top - 100) * row / 6;
            COLORREF c = ViewPixel(x, y);
            if (!NearColour(c, kCellFill) && !NearColour(c, kSelectedCellFill) && !NearColour(c, RGB(255, 255, 255)))
                ++found;
        }
    }
    return found >= 3;
}

bool BrowserScreen::WaitForCellFill(int cell, COLORREF colour, DWORD milliseconds) const
{
    return WaitUntil([&] { return NearColour(CellFill(cell), colour); }, milliseconds);
}

bool BrowserScreen::WaitForCellFilled(int cell, bool filled, DWORD milliseconds) const
{
    return WaitUntil(
        [&] {
            COLORREF c = CellFill(cell);
            bool isFilled = NearColour(c, kCellFill) || NearColour(c, kSelectedCellFill);
            return isFilled == filled;
        },
        milliseconds);
}

std::string BrowserScreen::Describe(int cell) const
{
    RECT rc = Cell(cell);
    char text[128];
    std::snprintf(text, sizeof text, "cell %d fill %06lx centre %06lx", cell, CellFill(cell),
                  ViewPixel((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    return text;
}

void BrowserScreen::Settle() const
{
    // The browser's thread handles what is posted to it in the order it was
    // posted, so a mark posted behind the input shows when the input has
    // been handled: the toolbar's anchor highlight, a flag of its hot
    // tracking that the browser never uses, set by a sent message (handled
    // at once) and cleared by a posted one. Callers still wait for what
    // they check, such as the paint that follows.
    SendMessageTimeoutA(m_toolbar, TB_SETANCHORHIGHLIGHT, TRUE, 0, SMTO_NORMAL, kButtonWaitMs, nullptr);
    PostMessageA(m_toolbar, TB_SETANCHORHIGHLIGHT, FALSE, 0);
    WaitUntil(
        [this] {
            DWORD_PTR anchored = TRUE;
            SendMessageTimeoutA(m_toolbar, TB_GETANCHORHIGHLIGHT, 0, 0, SMTO_NORMAL, kButtonWaitMs, &anchored);
            return anchored == FALSE;
        },
        kButtonWaitMs);
}
