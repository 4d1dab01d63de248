#include "framework/Thread.h"

#include "framework/Window.h"

namespace {

// The calling thread's framework object, in a system TLS slot: a
// thread_local of the runtime would allocate per thread and not free that
// for threads the system starts.
class CurrentThreadSlot {
public:
    CurrentThreadSlot() : m_slot(TlsAlloc()) {}
    ~CurrentThreadSlot() { TlsFree(m_slot); }
    CWinThread* Get() const { return static_cast<CWinThread*>(TlsGetValue(m_slot)); }
    void Set(CWinThread* thread) const { TlsSetValue(m_slot, thread); }

private:
    DWORD m_slot;
};
const CurrentThreadSlot g_currentThread;

// Messages after which the thread's state cannot have changed for the
// command rules, so they need no new idle pass.
bool IsIdleMessage(const MSG& msg)
{
    return msg.message != WM_PAINT && msg.message != 0x0118 /* WM_SYSTIMER: caret blink */ &&
           msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE;
}
}  // namespace

CWinThread* FwGetThread()
{
    return g_currentThread.Get();
}

CWinThread::~CWinThread()
{
    if (g_currentThread.Get() == this)
        g_currentThread.Set(nullptr);
    if (m_hThread != nullptr)
        CloseHandle(m_hThread);
}

bool CWinThread::Start()
{
    // Created suspended so that the handle is stored before the thread can
    // delete the object.
    m_hThread = CreateThread(nullptr, 0, ThreadEntry, this, CREATE_SUSPENDED, nullptr);
    if (m_hThread == nullptr) {
        delete this;
        return false;
    }
    ResumeThread(m_hThread);
    return true;
}

void CWinThread::BindToCurrentThread()
{
    g_currentThread.Set(this);
}

DWORD WINAPI CWinThread::ThreadEntry(void* param)
{
    CWinThread* self = static_cast<CWinThread*>(param);
    g_currentThread.Set(self);
    int code = self->RunInstance();
    g_currentThread.Set(nullptr);
    delete self;
    return static_cast<DWORD>(code);
}

int CWinThread::RunInstance()
{
    try {
        if (InitInstance())
            Run();
    } catch (...) {
        // Out of memory while starting, say: what was made goes now, and
        // ExitInstance still runs, as after any other failed start.
        DestroyMainWindow();
    }
    try {
        return ExitInstance();
    } catch (...) {
        return -1;
    }
}

void CWinThread::DestroyMainWindow()
{
    if (m_pMainWnd == nullptr)
        return;
    HWND wnd = m_pMainWnd->m_hWnd;
    m_pMainWnd = nullptr;
    if (wnd != nullptr)
        ::DestroyWindow(wnd);
}

BOOL CWinThread::OnIdle(LONG count)
{
    if (count == 0) {
        if (auto* target = dynamic_cast<CIdleUpdate*>(m_pMainWnd))
            target->OnIdleUpdateCmdUI();
    }
    return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* msg)
{
    return m_pMainWnd != nullptr && m_pMainWnd->PreTranslateMessage(msg);
}

int CWinThread::Run()
{
    bool idle = true;
    LONG idleCount = 0;
    MSG msg;
    for (;;) {
        while (idle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = false;
        }
        do {
            if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
                return static_cast<int>(msg.wParam);
            if (!PreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (IsIdleMessage(msg)) {
                idle = true;
                idleCount = 0;
            }
        } while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}
