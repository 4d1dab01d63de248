#include "framework/ToolBar.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "framework/CmdUI.h"
#include "framework/FwResource.h"
#include "framework/Module.h"
#include "framework/Window.h"

namespace {
const UINT_PTR kSubclassId = 1;
}

CToolBar::~CToolBar()
{
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
    if (m_hBitmap != nullptr)
        DeleteObject(m_hBitmap);
}

BOOL CToolBar::CreateEx(HWND parent, DWORD controlStyle, DWORD barStyle, UINT id)
{
    // Whoever places the bar sizes it, and draws its borders.
    const DWORD style = controlStyle | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
    m_hWnd = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), FwModule(), nullptr);
    if (m_hWnd == nullptr)
        return FALSE;
    // Forget the window when it goes, whoever destroys it.
    if (!SetWindowSubclass(m_hWnd, Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        return FALSE;
    }
    m_dwStyle = barStyle;
    SendMessageA(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Commands and notifications go to the parent, also once the bar
    // stands in another window.
    SendMessageA(m_hWnd, TB_SETPARENT, reinterpret_cast<WPARAM>(parent), 0);
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
        m_separators.push_back(command == 0);
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
    Measure();
    return TRUE;
}

void CToolBar::Measure()
{
    const DWORD size = static_cast<DWORD>(SendMessageA(m_hWnd, TB_GETBUTTONSIZE, 0, 0));
    m_buttonSize = SIZE{LOWORD(size), HIWORD(size)};
    // A separator across a column is as high as the control makes it.
    LayOutAsColumn(std::vector<bool>(m_separators.size(), true));
    const auto separator = std::find(m_separators.begin(), m_separators.end(), true);
    RECT item = {0, 0, 0, 0};
    if (separator != m_separators.end())
        SendMessageA(m_hWnd, TB_GETITEMRECT, separator - m_separators.begin(), reinterpret_cast<LPARAM>(&item));
    m_separatorHeight = item.bottom - item.top;
    LayOutAsRow();
    m_rowExtent = Extent();
}

SIZE CToolBar::Extent() const
{
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

void CToolBar::LayOutAsRow()
{
    ApplyLayout(false, std::vector<bool>(m_separators.size(), false));
}

void CToolBar::LayOutAsColumn(const std::vector<bool>& wrapAfter)
{
    ApplyLayout(true, wrapAfter);
}

void CToolBar::ApplyLayout(bool column, const std::vector<bool>& wrapAfter)
{
    const LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    SetWindowLongA(m_hWnd, GWL_STYLE, column ? style | CCS_VERT : style & ~CCS_VERT);
    const int count = static_cast<int>(SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        SendMessageA(m_hWnd, TB_GETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
        const bool wrap = static_cast<size_t>(i) < wrapAfter.size() && wrapAfter[static_cast<size_t>(i)];
        const BYTE state = wrap ? (info.fsState | TBSTATE_WRAP) : (info.fsState & ~TBSTATE_WRAP);
        if (state == info.fsState)
            continue;
        info.fsState = state;
        SendMessageA(m_hWnd, TB_SETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageA(m_hWnd, TB_AUTOSIZE, 0, 0);
}

LRESULT CALLBACK CToolBar::Subclass(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(wnd, Subclass, kSubclassId);
        reinterpret_cast<CToolBar*>(self)->m_hWnd = nullptr;
    }
    return DefSubclassProc(wnd, msg, wParam, lParam);
}
