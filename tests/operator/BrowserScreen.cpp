#include "tests/operator/BrowserScreen.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "res/resource.h"

namespace {

bool NearColour(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

BOOL CALLBACK FindChooser(HWND wnd, LPARAM found)
{
    char cls[16];
    GetClassNameA(wnd, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(wnd) && GetDlgItem(wnd, IDC_DATE) != nullptr) {
        *reinterpret_cast<HWND*>(found) = wnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::string ControlTextOf(HWND dialog, int id)
{
    char text[512] = "";
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

HostRecord::HostRecord(HWND wnd, SIZE_T size) : m_size(size)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(wnd, &processId);
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (m_process != nullptr)
        m_remote = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
}

HostRecord::~HostRecord()
{
    if (m_remote != nullptr)
        VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    if (m_process != nullptr)
        CloseHandle(m_process);
}

bool BrowserScreen::Attach(DWORD milliseconds)
{
    auto shown = [this] {
        m_frame = FindWindowA("FwFrame", nullptr);
        return m_frame != nullptr && IsWindowVisible(m_frame);
    };
    if (!WaitUntil(shown, milliseconds))
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
    PostMessageA(m_frame, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    Settle();
}

bool BrowserScreen::ChooseWithDialogs(UINT command, ModalDriver& dialogs) const
{
    dialogs.Start();
    Choose(command);
    dialogs.Finish();
    for (const std::string& text : dialogs.Unexpected())
        std::printf("unexpected after command %u: %s\n", command, text.c_str());
    return dialogs.StepsDone() == dialogs.StepCount() && dialogs.Unexpected().empty();
}

bool BrowserScreen::LocateButtons()
{
    HostRecord record(m_toolbar, sizeof(TBBUTTON) + sizeof(RECT));
    int count = static_cast<int>(SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        RECT rc = {};
        if (!record.Send(m_toolbar, TB_GETBUTTON, i, &button) || !record.Send(m_toolbar, TB_GETITEMRECT, i, &rc))
            return false;
        if ((button.fsStyle & BTNS_SEP) == 0)
            m_buttonCentres[button.idCommand] = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    return !m_buttonCentres.empty();
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

HWND BrowserScreen::WaitForChooser(DWORD milliseconds) const
{
    HWND chooser = nullptr;
    WaitUntil(
        [&] {
            EnumThreadWindows(m_thread, FindChooser, reinterpret_cast<LPARAM>(&chooser));
            return chooser != nullptr;
        },
        milliseconds);
    return chooser;
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

int BrowserScreen::PicturesShown() const
{
    int shown = 0;
    for (int cell = 0; cell < 9; ++cell)
        shown += CellShowsPicture(cell) ? 1 : 0;
    return shown;
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
    // they check, such as the paint that follows. A command that closed the
    // browser took the toolbar with it.
    SendMessageTimeoutA(m_toolbar, TB_SETANCHORHIGHLIGHT, TRUE, 0, SMTO_NORMAL, kButtonWaitMs, nullptr);
    PostMessageA(m_toolbar, TB_SETANCHORHIGHLIGHT, FALSE, 0);
    WaitUntil(
        [this] {
            DWORD_PTR anchored = TRUE;
            SendMessageTimeoutA(m_toolbar, TB_GETANCHORHIGHLIGHT, 0, 0, SMTO_NORMAL, kButtonWaitMs, &anchored);
            return anchored == FALSE || !IsWindow(m_toolbar);
        },
        kButtonWaitMs);
}
