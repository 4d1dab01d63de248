// Load and unload of the browser library. Static objects are constructed by
// the runtime before DllMain sees DLL_PROCESS_ATTACH.
#include <windows.h>

#include "ModuleGlobals.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_hModule = instance;
        break;
    case DLL_PROCESS_DETACH:
        break;
    default:
        // Thread attach and detach carry nothing of the library's own.
        break;
    }
    return TRUE;
}
