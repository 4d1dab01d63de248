#include "framework/ToolBar.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/CmdUI.h"
#include "framework/FwResource.h"
#include "framework/Module.h"
#include "framework/Window.h"

namespace {

// A button's state as its rule leaves it, cached until applied.
class CToolCmdUI : public CCmdUI {
public:
    explicit CToolCmdUI(UINT id) : CCmdUI(id) {}
    void Enable(BOOL on) override { m_bEnabled = on != FALSE; }
    void SetCheck(int check) override { m_bChecked = check != 0; }

    bool m_bEnabled = true;
    bool m_bChecked = false;
};

}  // namespace

CToolBar::~CToolBar()
{
    if (m_hWnd != nullptr && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    if (m_hBitmap != nullptr)
        DeleteObject(m_hBitmap);
}

BOOL CToolBar::Create(HWND parent, DWORD style, UINT id)
{
    m_hWnd = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), FwModule(), nullptr);
    if (m_hWnd == nullptr)
        return FALSE;
    SendMessageA(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
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
    Resize();
    return TRUE;
}

void CToolBar::UpdateButtons(CWnd* target)
{
    for (UINT command : m_commands) {
        if (command == 0)
            continue;
        CToolCmdUI ui(command);
        if (!target->OnCmdMsg(command, &ui))
            ui.m_bEnabled = false;  // a button nobody handles cannot be pressed
        LRESULT old = SendMessageA(m_hWnd, TB_GETSTATE, command, 0);
        if (old < 0)
            continue;
        BYTE state = static_cast<BYTE>(old) & ~(TBSTATE_ENABLED | TBSTATE_CHECKED);
        if (ui.m_bEnabled)
            state |= TBSTATE_ENABLED;
        if (ui.m_bChecked)
            state |= TBSTATE_CHECKED;
        if (state != static_cast<BYTE>(old))
            SendMessageA(m_hWnd, TB_SETSTATE, command, MAKELPARAM(state, 0));
    }
}

int CToolBar::Height() const
{
    RECT rc = {};
    if (m_hWnd != nullptr && IsWindowVisible(m_hWnd))
        GetWindowRect(m_hWnd, &rc);
    return rc.bottom - rc.top;
}

void CToolBar::Resize() const
{
    if (m_hWnd != nullptr)
        SendMessageA(m_hWnd, TB_AUTOSIZE, 0, 0);
}
