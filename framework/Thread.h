// A user-interface thread: InitInstance creates its windows, Run pumps
// messages with idle processing until the thread's main window is gone,
// ExitInstance runs last, then the object deletes itself.
#pragma once

#include <windows.h>

class CWnd;

class CWinThread {
public:
    CWinThread() = default;
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts the thread on this heap object, which the thread then owns.
    // False when the thread could not be started (the object is deleted).
    bool Start();
    // Makes the calling thread this object's thread without starting a new
    // one, for a caller that pumps the messages itself (tests).
    void BindToCurrentThread();

    // Creates the thread's windows; non-zero on success. On failure the
    // thread runs ExitInstance and ends.
    virtual BOOL InitInstance() = 0;
    // The last call on the thread; its result is the thread's exit code.
    virtual int ExitInstance() { return 0; }
    // Called while the queue is empty; more calls follow while it returns
    // TRUE. The default brings the main window's toolbar up to date.
    virtual BOOL OnIdle(LONG count);
    // The loop's first look at a message, before it is translated and
    // dispatched: the main window's (CWnd::PreTranslateMessage). True when
    // it was handled there. A loop that pumps this thread's messages
    // instead of Run calls it too.
    BOOL PreTranslateMessage(MSG* msg);

    CWnd* m_pMainWnd = nullptr;

protected:
    // The message loop; returns when WM_QUIT arrives.
    int Run();

private:
    static DWORD WINAPI ThreadEntry(void* self);
    // InitInstance, Run and ExitInstance; ExitInstance runs whatever the
    // others threw. Returns the thread's exit code.
    int RunInstance();
    void DestroyMainWindow();
    HANDLE m_hThread = nullptr;
};

// The framework thread object of the calling thread, or null.
CWinThread* FwGetThread();

// Windows that take part in idle updating implement this.
class CIdleUpdate {
public:
    virtual ~CIdleUpdate() = default;
    virtual void OnIdleUpdateCmdUI() = 0;
};
