#include "tests/support/BrowserOnThisThread.h"

#include <windows.h>
#include <commctrl.h>
#include <direct.h>

#include <cstdio>

#include "album/AlbumKeys.h"
#include "bridge/Exports.h"
#include "bridge/ModuleGlobals.h"
#include "res/resource.h"
#include "tests/support/FileTree.h"
#include "tests/support/RealInput.h"

int HostWindow::s_exits;

HostWindow::HostWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TestHostWindow";
    RegisterClassA(&wc);
    m_hWnd = CreateWindowA("TestHostWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    s_exits = 0;
}

HostWindow::~HostWindow()
{
    DestroyWindow(m_hWnd);
}

LRESULT CALLBACK HostWindow::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == UM_BROWSE_EXIT && wParam == BROWSE_EXIT_WPARAM) {
        ++s_exits;
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

bool BrowserOnThisThread::Open(const std::string& folder, HWND host)
{
    static BrowseSettings record;   // zeroed
    SetImageBrowsePath(nullptr, folder.c_str(), 0, 0, record);
    g_hHostWnd = host;
    m_pThread = new CAlbumThread;
    m_pThread->BindToCurrentThread();
    if (!m_pThread->InitInstance())
        return false;
    m_frame = m_pThread->m_pMainWnd->m_hWnd;
    Pump();
    return true;
}

void BrowserOnThisThread::Close()
{
    if (m_frame != nullptr && IsWindow(m_frame))
        SendMessageA(m_frame, WM_CLOSE, 0, 0);
    Pump();
    m_frame = nullptr;
}

BrowserOnThisThread::~BrowserOnThisThread()
{
    Close();
    Exit();
    delete m_pThread;
}

void BrowserOnThisThread::Exit()
{
    if (m_pThread != nullptr && !m_bExited) {
        m_bExited = true;
        m_pThread->ExitInstance();
    }
}

void BrowserOnThisThread::Pump()
{
    while (DispatchOne()) {
    }
    if (m_pThread != nullptr)
        m_pThread->OnIdle(0);
}

bool BrowserOnThisThread::DispatchOne()
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    // The loop of a real browser thread ends here and runs ExitInstance.
    if (msg.message == WM_QUIT) {
        Exit();
        return true;
    }
    // As the thread's own loop (CWinThread::Run) does: the keys first.
    if (m_pThread == nullptr || !m_pThread->PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void BrowserOnThisThread::PumpFor(DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    Pump();
}

bool BrowserOnThisThread::PumpUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    // Asked after every message: a queue that a timer keeps filling may
    // never run empty.
    DWORD end = GetTickCount() + milliseconds;
    for (;;) {
        while (DispatchOne())
            if (condition())
                return true;
        if (m_pThread != nullptr)
            m_pThread->OnIdle(0);
        if (condition())
            return true;
        if (static_cast<int>(end - GetTickCount()) <= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void BrowserOnThisThread::Command(UINT id)
{
    PostMessageA(m_frame, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
}

UINT BrowserOnThisThread::MenuItemState(UINT id)
{
    HMENU bar = GetMenu(m_frame);
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        HMENU popup = GetSubMenu(bar, i);
        if (GetMenuState(popup, id, MF_BYCOMMAND) == static_cast<UINT>(-1))
            continue;
        SendMessageA(m_frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(i, FALSE));
        return GetMenuState(popup, id, MF_BYCOMMAND);
    }
    return static_cast<UINT>(-1);
}

HWND BrowserOnThisThread::ToolBar() const
{
    return GetDlgItem(m_frame, AFX_IDW_TOOLBAR);
}

LRESULT BrowserOnThisThread::ButtonState(UINT id)
{
    Pump();
    return SendMessageA(ToolBar(), TB_GETSTATE, id, 0);
}

std::string CurrentDirectory()
{
    char dir[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, dir);
    return dir;
}

std::string GetWindowTextA(HWND wnd)
{
    char text[1024] = "";
    ::GetWindowTextA(wnd, text, sizeof text);
    return text;
}

void BrowserOnThisThread::PressKey(const char* name)
{
    AlbumKey key = {0, false};
    if (!ParseKeyName(name, &key)) {
        std::fprintf(stderr, "no key named %s\n", name);
        return;
    }
    RealInput([this] { Pump(); }).Press(static_cast<WORD>(key.code), key.ctrl);
}
