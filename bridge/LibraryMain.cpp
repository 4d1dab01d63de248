// Load and unload of the browser library. Static objects are constructed by
// the runtime before DllMain sees DLL_PROCESS_ATTACH.
#include <windows.h>

#include "framework/Module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        // Every window class and resource of the browser comes from this
        // library (FwModule), never from the host's executable.
        FwInitModule(instance);
        break;
    case DLL_PROCESS_DETACH:
        // Only when the library is unloaded: when the process ends, the
        // browser thread may have been stopped inside the window manager
        // holding its lock, and unregistering a class would then wait for
        // ever. The system takes the classes down with the process.
        if (reserved == nullptr)
            FwUnregisterClasses();
        break;
    default:
        // Thread attach and detach carry nothing of the library's own.
        break;
    }
    return TRUE;
}
