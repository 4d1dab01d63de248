// Runs the real browser frame and view on the test's own thread, over a
// temporary album folder, so that a test can drive them by messages and
// pump the queue itself.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "album/AlbumView.h"
#include "bridge/AlbumThread.h"
#include "bridge/AlbumWnd.h"
#include "bridge/ModuleGlobals.h"
#include "tests/support/FileTree.h"

// A hidden window that counts the exit messages the browser posts.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HWND Handle() const { return m_hWnd; }
    int ExitCount() const { return s_exits; }
    void ResetCount() { s_exits = 0; }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    static int s_exits;
    HWND m_hWnd;
};

class BrowserOnThisThread {
public:
    // Configures the browser for folder and opens it; false when the frame
    // could not be made.
    bool Open(const std::string& folder, HWND host);
    // Closes the frame as "Exit" does and pumps until it is gone.
    void Close();
    ~BrowserOnThisThread();

    HWND Frame() const { return m_frame; }
    CAlbumView* View() const { return g_pAlbumView; }
    HWND ViewWindow() const { return g_pAlbumView != nullptr ? g_pAlbumView->m_hWnd : nullptr; }

    // Posts a command as a menu choice does and handles it.
    void Command(UINT id);
    // Dispatches what is queued, then lets the thread fall idle once.
    void Pump();
    // Pumps for the given time (timers fire meanwhile).
    void PumpFor(DWORD milliseconds);
    // The key as the album's command rows name it ("Ctrl+A", "Ins"), pressed
    // and released with real input while this thread dispatches.
    void PressKey(const char* name);
    // Pumps until the condition holds; false when it did not within the
    // given time.
    bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds);
    // The state a menu item shows after its popup was opened.
    UINT MenuItemState(UINT id);
    // The state of a toolbar button after an idle pass.
    LRESULT ButtonState(UINT id);
    HWND ToolBar() const;

private:
    // Dispatches one queued message; false when there was none.
    bool DispatchOne();
    void Exit();

    CAlbumThread* m_pThread = nullptr;
    bool m_bExited = false;
    HWND m_frame = nullptr;
};

std::string CurrentDirectory();
std::string GetWindowTextA(HWND wnd);
