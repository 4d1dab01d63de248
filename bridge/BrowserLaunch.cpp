#include "bridge/BrowserLaunch.h"

#include <cstdint>
#include <new>

#include "bridge/AlbumThread.h"

int StartBrowserThread()
{
    CAlbumThread* thread = new (std::nothrow) CAlbumThread;
    if (thread == nullptr)
        return 0;
    // The thread owns the object from here; it is only a token to the host.
    if (!thread->Start())
        return 0;
    return static_cast<int>(reinterpret_cast<intptr_t>(thread));
}
