#include "bridge/Exports.h"

#include <cstring>

#include "bridge/BrowserLaunch.h"
#include "bridge/ModuleGlobals.h"

void CopyBrowsePath(char* dest, size_t destBytes, const char* path)
{
    dest[0] = '\0';
    if (path == nullptr)
        return;
    size_t length = strnlen(path, destBytes);
    if (length >= destBytes)
        return;
    std::memcpy(dest, path, length + 1);
}

extern "C" void __cdecl SetImageBrowsePath(void* /*reserved*/, const char* path, int nInitialChannel,
                                           int bAllChannels, BrowseSettings settings)
{
    CopyBrowsePath(g_szBrowsePath, sizeof g_szBrowsePath, path);
    g_nInitialChannel = nInitialChannel;
    std::memcpy(&g_settings, settings.bytes, sizeof settings.bytes);
    g_bAllChannels = bAllChannels;
}

extern "C" int __cdecl LoadImageBrowse(void* /*reserved*/, int hostWnd)
{
    g_hHostWnd = reinterpret_cast<HWND>(static_cast<intptr_t>(hostWnd));
    // Nothing may unwind into the host; a browser that did not start is 0.
    try {
        return StartBrowserThread();
    } catch (...) {
        return 0;
    }
}
