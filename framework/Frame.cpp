#include "framework/Frame.h"

#include "framework/CmdUI.h"
#include "framework/FloatingFrame.h"
#include "framework/FwResource.h"
#include "framework/Module.h"
#include "framework/View.h"

namespace {
const char* const kFrameClass = "FwFrame";

// Tells the top-level windows that a frame owns of its enabling.
struct FloatStatus {
    HWND frame;
    BOOL enabled;
};

BOOL CALLBACK SendFloatStatus(HWND wnd, LPARAM lParam)
{
    const auto* status = reinterpret_cast<const FloatStatus*>(lParam);
    if (GetWindow(wnd, GW_OWNER) == status->frame)
        SendMessageA(wnd, FwFloatStatusMessage(), status->enabled, 0);
    return TRUE;
}
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, HWND parent, CCreateContext* context)
{
    if (!RegisterWindowClass(kFrameClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr))
        return FALSE;
    HMENU menu = LoadMenuA(FwModule(), MAKEINTRESOURCEA(resourceId));
    if (menu == nullptr)
        return FALSE;
    m_pCreateContext = context;
    RECT rc = {static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT), 0, 0};
    rc.right = rc.left;
    rc.bottom = rc.top;
    if (!CreateEx(0, kFrameClass, "", style, rc, parent, menu)) {
        // A menu goes with its window; this one may never have had one.
        if (IsMenu(menu))
            DestroyMenu(menu);
        m_pCreateContext = nullptr;
        return FALSE;
    }
    m_pCreateContext = nullptr;
    return TRUE;
}

CView* CFrameWnd::CreateView(CCreateContext* context, UINT id)
{
    if (context == nullptr || context->m_pNewView == nullptr)
        return nullptr;
    CView* view = context->m_pNewView();
    if (view == nullptr)
        return nullptr;
    if (!view->Create(m_hWnd, id)) {
        delete view;
        return nullptr;
    }
    return view;
}

void CFrameWnd::SetActiveView(CView* view, BOOL)
{
    m_pActiveView = view;
    if (view != nullptr)
        SetFocus(view->m_hWnd);
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_hWnd == nullptr)
        return;
    RECT rc;
    GetClientRect(&rc);
    for (CFrameBar* bar : m_bars)
        bar->TakeRoom(&rc);
    if (m_pActiveView != nullptr && m_pActiveView->m_hWnd != nullptr)
        MoveWindow(m_pActiveView->m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

BOOL CFrameWnd::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (m_pActiveView != nullptr && m_pActiveView->OnCmdMsg(id, ui))
        return TRUE;
    return CWnd::OnCmdMsg(id, ui);
}

void CFrameWnd::OnEnable(BOOL enabled)
{
    FloatStatus status = {m_hWnd, enabled};
    EnumThreadWindows(GetCurrentThreadId(), SendFloatStatus, reinterpret_cast<LPARAM>(&status));
}

void CFrameWnd::OnInitMenuPopup(HMENU popup)
{
    int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        UINT id = GetMenuItemID(popup, i);
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;   // separators and sub-popups
        CMenuCmdUI ui(popup, static_cast<UINT>(i), id);
        if (!OnCmdMsg(id, &ui))
            ui.Enable(FALSE);   // nobody handles it: it cannot be chosen
    }
}

int CFrameWnd::OnCreate(CREATESTRUCTA* cs)
{
    return OnCreateClient(cs, m_pCreateContext) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(CREATESTRUCTA*, CCreateContext* context)
{
    if (context != nullptr && context->m_pNewView != nullptr) {
        CView* view = CreateView(context, AFX_IDW_PANE_FIRST);
        if (view == nullptr)
            return FALSE;
        SetActiveView(view);
    }
    return TRUE;
}

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_SIZE:
        RecalcLayout();
        return 0;
    case WM_ENABLE:
        OnEnable(static_cast<BOOL>(wParam));
        return 0;
    case WM_DISPLAYCHANGE:
        // The system tells top-level windows only; the view draws for the
        // screen's depth.
        if (m_pActiveView != nullptr && m_pActiveView->m_hWnd != nullptr)
            ::SendMessageA(m_pActiveView->m_hWnd, msg, wParam, lParam);
        return Default();
    case WM_SETFOCUS:
        if (m_pActiveView != nullptr && m_pActiveView->m_hWnd != nullptr)
            SetFocus(m_pActiveView->m_hWnd);
        return 0;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam))
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY: {
        m_pActiveView = nullptr;
        // Take the menu down now, while its handle is surely ours: left to
        // the window's own teardown, Wine may destroy the handle after it
        // has been given to a menu that another thread of the process just loaded.
        if (HMENU menu = GetMenu(m_hWnd)) {
            SetMenu(m_hWnd, nullptr);
            DestroyMenu(menu);
        }
        CWinThread* thread = FwGetThread();
        if (thread != nullptr && thread->m_pMainWnd == this) {
            thread->m_pMainWnd = nullptr;
            PostQuitMessage(0);
        }
        return Default();
    }
    default:
        return CWnd::WindowProc(msg, wParam, lParam);
    }
}
