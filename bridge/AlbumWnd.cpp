#include "bridge/AlbumWnd.h"

#include <windows.h>
#include <commctrl.h>

#include "album/AlbumKeys.h"
#include "album/AlbumView.h"
#include "bridge/AlbumThread.h"
#include "bridge/ModuleGlobals.h"
#include "res/resource.h"

// Last: its macros would rename the framework's own members.
#include <windowsx.h>

const CommandEntry<CAlbumWnd> CAlbumWnd::s_commands[] = {
    {ID_ALBUM_RETURN, &CAlbumWnd::OnAlbumReturn, nullptr, nullptr},
};

BOOL CAlbumWnd::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (CFrameWnd::OnCmdMsg(id, ui))
        return TRUE;
    return DispatchCommand(this, s_commands, id, ui);
}

// The album's key codes are the system's.
static_assert(albumkey::kEnter == VK_RETURN && albumkey::kEscape == VK_ESCAPE && albumkey::kSpace == VK_SPACE &&
                  albumkey::kPageUp == VK_PRIOR && albumkey::kPageDown == VK_NEXT && albumkey::kEnd == VK_END &&
                  albumkey::kHome == VK_HOME && albumkey::kLeft == VK_LEFT && albumkey::kUp == VK_UP &&
                  albumkey::kRight == VK_RIGHT && albumkey::kDown == VK_DOWN && albumkey::kDelete == VK_DELETE &&
                  albumkey::kNumPlus == VK_ADD && albumkey::kNumMinus == VK_SUBTRACT && albumkey::kF1 == VK_F1 &&
                  albumkey::kPlus == VK_OEM_PLUS && albumkey::kMinus == VK_OEM_MINUS &&
                  albumkey::kInsert == VK_INSERT,
              "virtual-key codes");

// A modal dialog or message box of the browser disables the frame and runs
// a loop of its own: its keys stay its own.
BOOL CAlbumWnd::PreTranslateMessage(MSG* msg)
{
    if (g_pAlbumView == nullptr || !IsWindowEnabled(m_hWnd) || !IsBrowserWindow(msg->hwnd))
        return FALSE;
    switch (msg->message) {
    case WM_KEYDOWN:
        return TranslateKey(msg->wParam);
    case WM_SYSKEYDOWN:
        // Without Alt held, a key that no window had the focus for.
        return (msg->lParam & (1 << 29)) == 0 ? TranslateKey(msg->wParam) : FALSE;
    case WM_MOUSEWHEEL:
        return RouteWheel(*msg);
    default:
        return FALSE;
    }
}

bool CAlbumWnd::IsBrowserWindow(HWND wnd) const
{
    const HWND root = wnd != nullptr ? GetAncestor(wnd, GA_ROOT) : nullptr;
    return root != nullptr && (root == m_hWnd || root == m_toolBarDock.FloatingWindow());
}

BOOL CAlbumWnd::TranslateKey(WPARAM virtualKey)
{
    const AlbumKey key = {static_cast<int>(virtualKey), GetKeyState(VK_CONTROL) < 0};
    // The zoom's rules need the size of the picture shown alone, which a
    // key that comes before its paint (Enter then +) must not miss.
    if (KeyMayGive(key, &CAlbumView::ActsByZoom))
        g_pAlbumView->MeasureBeforeKey();
    const UINT id = CommandOfKey(*g_pAlbumView, key);
    if (id == 0)
        return FALSE;
    SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return TRUE;
}

BOOL CAlbumWnd::RouteWheel(const MSG& msg)
{
    RECT frame;
    GetWindowRect(m_hWnd, &frame);
    const POINT at = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (!PtInRect(&frame, at))
        return FALSE;
    ::SendMessageA(g_pAlbumView->m_hWnd, WM_MOUSEWHEEL, msg.wParam, msg.lParam);
    return TRUE;
}

int CAlbumWnd::OnCreate(CREATESTRUCTA* cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    const DWORD controlStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS;
    const DWORD barStyle =
        CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC;
    if (!m_wndToolBar.CreateEx(m_hWnd, controlStyle, barStyle, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_ALBUM))
        return -1;
    // Docked at the top to begin with; the operator may move it to any edge
    // or let it float.
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    m_toolBarDock.EnableDocking(CBRS_ALIGN_ANY);
    if (!m_toolBarDock.Create(m_hWnd, m_wndToolBar, [this] { RecalcLayout(); }))
        return -1;
    AddBar(&m_toolBarDock);
    RecalcLayout();
    return 0;
}

void CAlbumWnd::OnIdleUpdateCmdUI()
{
    // While a modal window is open the buttons stay as they were.
    if (m_wndToolBar.m_hWnd != nullptr && IsWindowEnabled(m_hWnd))
        m_wndToolBar.UpdateButtons(this);
}

BOOL CAlbumWnd::OnCreateClient(CREATESTRUCTA* cs, CCreateContext*)
{
    CCreateContext context;
    context.m_pNewView = &CAlbumView::CreateObject;
    g_pAlbumView = static_cast<CAlbumView*>(CreateView(&context, AFX_IDW_PANE_FIRST));
    if (g_pAlbumView != nullptr) {
        ShowWindow(g_pAlbumView->m_hWnd, SW_SHOW);
        g_pAlbumView->OnInitialUpdate();
        SetActiveView(g_pAlbumView, TRUE);
        RecalcLayout(TRUE);
    }
    // Without a view the frame opens with an empty client area.
    return CFrameWnd::OnCreateClient(cs, nullptr);
}

void CAlbumWnd::OnAlbumReturn()
{
    SendMessage(WM_CLOSE);
}

void CAlbumWnd::OnClose()
{
    // Take the windows down, so that the view releases what it holds; the
    // thread's loop then ends with its main window and the thread's exit
    // tells the host. Telling the host only once the windows are gone
    // keeps the next opening, which the host may start at once, from
    // meeting this frame's teardown: under Wine a menu loaded by the new
    // browser thread could be destroyed by the old frame's.
    DestroyWindow();
}
