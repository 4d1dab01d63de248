#include "framework/Window.h"

#include <cstdio>
#include <exception>

#include "framework/CmdUI.h"
#include "framework/FwResource.h"
#include "framework/Module.h"
#include "framework/Thread.h"

namespace {
const char* const kObjectProperty = "FwWindowObject";

// A handler that failed leaves a line in the debugger output, for a field
// report to show; the operator sees nothing. Written without allocating:
// the failure may have been a lack of memory.
void ReportFailedHandler(HWND wnd, UINT msg, const char* what)
{
    char className[64] = "";
    GetClassNameA(wnd, className, sizeof className);
    char text[512];
    snprintf(text, sizeof text, "FwWindow: the handler of message 0x%04X in a window of class \"%s\" failed: %s\n",
             msg, className, what);
    OutputDebugStringA(text);
}
}  // namespace

CWnd::~CWnd()
{
    // A window whose object goes first must not call back into it.
    if (m_hWnd != nullptr) {
        RemovePropA(m_hWnd, kObjectProperty);
        HWND wnd = m_hWnd;
        m_hWnd = nullptr;
        ::DestroyWindow(wnd);
    }
}

CWnd* CWnd::FromHandle(HWND wnd)
{
    return wnd != nullptr ? static_cast<CWnd*>(GetPropA(wnd, kObjectProperty)) : nullptr;
}

bool CWnd::RegisterWindowClass(const char* name, UINT style, HBRUSH background, HCURSOR cursor)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = StaticWindowProc;
    wc.hInstance = FwModule();
    wc.hCursor = cursor != nullptr ? cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return FwRegisterClass(wc);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rc,
                    HWND parent, HMENU menuOrId)
{
    m_bCreating = true;
    HWND wnd = CreateWindowExA(exStyle, className, title, style, rc.left, rc.top, rc.right - rc.left,
                               rc.bottom - rc.top, parent, menuOrId, FwModule(), this);
    m_bCreating = false;
    return wnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, msg, wParam, lParam);
}

void CWnd::Invalidate(BOOL erase) const
{
    ::InvalidateRect(m_hWnd, nullptr, erase);
}

void CWnd::SetWindowText(const char* text) const
{
    ::SetWindowTextA(m_hWnd, text);
}

std::string CWnd::GetWindowText() const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = ::GetWindowTextA(m_hWnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(got));
    return text;
}

void CWnd::GetClientRect(RECT* rc) const
{
    ::GetClientRect(m_hWnd, rc);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse) const
{
    return ::SetTimer(m_hWnd, id, elapse, nullptr);
}

BOOL CWnd::KillTimer(UINT_PTR id) const
{
    return ::KillTimer(m_hWnd, id);
}

BOOL CWnd::OnCmdMsg(UINT, CCmdUI*)
{
    return FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND) {
        OnCommand(wParam, lParam);
        return 0;
    }
    return Default();
}

LRESULT CWnd::Default()
{
    return DefWindowProcA(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

void CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    UINT id = LOWORD(wParam);
    CProbeCmdUI probe(id);
    if (OnCmdMsg(id, &probe) && !probe.m_bEnabled)
        return;
    OnCmdMsg(id, nullptr);
}

// A handler may destroy its own window (Exit sends WM_CLOSE from inside
// WM_COMMAND; the preview's buttons destroy the preview), and the handlers
// that dispatched it are still on the stack and return into this object.
// So the object outlives its window until the outermost handler returns;
// only then does PostNcDestroy run.
LRESULT CWnd::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND wnd = m_hWnd;
    MSG saved = m_current;
    m_current = MSG{wnd, msg, wParam, lParam, 0, {0, 0}};
    ++m_nDispatchDepth;
    LRESULT result = 0;
    bool failed = true;
    try {
        result = WindowProc(msg, wParam, lParam);
        failed = false;
    } catch (const std::exception& e) {
        ReportFailedHandler(wnd, msg, e.what());
    } catch (...) {
        ReportFailedHandler(wnd, msg, "an exception of unknown type");
    }
    if (failed) {
        // Nothing may unwind through the system's frames. A window whose
        // creation failed half-way is not created at all.
        if (msg == WM_NCCREATE)
            result = FALSE;
        else if (msg == WM_CREATE)
            result = -1;
        else
            result = DefWindowProcA(wnd, msg, wParam, lParam);
    }
    m_current = saved;
    --m_nDispatchDepth;
    return result;
}

void CWnd::WindowGone()
{
    m_hWnd = nullptr;
    // A window that dies while being created leaves its object to the
    // creator, who learns of the failure from CreateEx.
    if (m_bCreating)
        return;
    if (m_nDispatchDepth > 0) {
        m_bGonePending = true;
        return;
    }
    PostNcDestroy();
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWnd* self = FromHandle(wnd);
    if (self == nullptr && msg == WM_NCCREATE) {
        self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self != nullptr) {
            self->m_hWnd = wnd;
            SetPropA(wnd, kObjectProperty, self);
        }
    }
    if (self == nullptr)
        return DefWindowProcA(wnd, msg, wParam, lParam);

    LRESULT result = self->Dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        RemovePropA(wnd, kObjectProperty);
        self->WindowGone();
    } else if (self->m_bGonePending && self->m_nDispatchDepth == 0) {
        // The last handler that was running when the window went.
        self->m_bGonePending = false;
        self->PostNcDestroy();
    }
    return result;
}

int FwMessageBox(const char* text, UINT type)
{
    CWinThread* thread = FwGetThread();
    HWND owner = thread != nullptr && thread->m_pMainWnd != nullptr ? thread->m_pMainWnd->m_hWnd : nullptr;
    // Without an owner the box must still block the whole thread.
    const std::string caption = FwString(AFX_IDS_APP_TITLE);
    return MessageBoxA(owner, text, caption.c_str(), owner != nullptr ? type : type | MB_TASKMODAL);
}
