#include "BrowserLaunch.h"

#include <windows.h>

#include "ModuleGlobals.h"

namespace {

// Until the browser window exists, the thread only tells the host that the
// browser has ended, which keeps the host's open-and-return cycle working.
DWORD WINAPI BrowserThreadMain(void*)
{
    PostBrowseExit();
    return 0;
}

HANDLE g_hBrowserThread;

}  // namespace

int StartBrowserThread()
{
    HANDLE thread = CreateThread(nullptr, 0, BrowserThreadMain, nullptr, 0, nullptr);
    if (thread == nullptr)
        return 0;
    if (g_hBrowserThread != nullptr)
        CloseHandle(g_hBrowserThread);
    g_hBrowserThread = thread;
    return static_cast<int>(reinterpret_cast<intptr_t>(thread));
}
