// The window base: a C++ object per window. The object is attached when
// the window is created (from the creation parameters) and every message
// reaches its WindowProc, which unpacks the parameters and calls named
// handlers.
#pragma once

#include <windows.h>

#include <string>

class CCmdUI;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object attached to a window of this framework, or null.
    static CWnd* FromHandle(HWND wnd);

    // Registers (once) a class whose windows are run by this framework.
    static bool RegisterWindowClass(const char* name, UINT style, HBRUSH background, HCURSOR cursor);
    // Creates the window for this object. On failure the object stays the
    // caller's to delete, even if the system had begun creating a window.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rc,
                  HWND parent, HMENU menuOrId);
    BOOL DestroyWindow();

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void Invalidate(BOOL erase = TRUE) const;
    void SetWindowText(const char* text) const;
    std::string GetWindowText() const;
    void GetClientRect(RECT* rc) const;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const;
    BOOL KillTimer(UINT_PTR id) const;
    HWND GetParent() const { return ::GetParent(m_hWnd); }

    // Offers a command to this window: runs its update rule when ui is
    // given, else its handler. True when the window knows the command.
    virtual BOOL OnCmdMsg(UINT id, CCmdUI* ui);
    // Sees each message of its thread's loop before it is translated and
    // dispatched (the thread asks its main window): keys that act wherever
    // the focus is. True when the message was handled here.
    virtual BOOL PreTranslateMessage(MSG* msg);

    HWND m_hWnd = nullptr;

protected:
    // Each class handles its messages here and passes the rest to its base.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The default processing of the message being handled.
    LRESULT Default();

    // A command message: dropped silently when its rule disables it.
    virtual void OnCommand(WPARAM wParam, LPARAM lParam);
    // Called once the window is gone and none of this object's handlers
    // is still running; frames and views delete themselves here.
    virtual void PostNcDestroy() {}

private:
    static LRESULT CALLBACK StaticWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    // The window has been destroyed: ends the object now, or when the
    // outermost of its handlers returns.
    void WindowGone();

    MSG m_current = {};
    bool m_bCreating = false;
    int m_nDispatchDepth = 0;       // handlers of this object on the stack
    bool m_bGonePending = false;    // destroyed while a handler ran
};

// Shows a modal message box owned by the calling thread's main window,
// with the application's title (AFX_IDS_APP_TITLE) as caption. Returns the
// button chosen.
int FwMessageBox(const char* text, UINT type = MB_OK);
