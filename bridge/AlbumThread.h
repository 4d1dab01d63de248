// The browser's user-interface thread: creates the frame, runs the message
// loop, and tells the host once that the browser has ended.
#pragma once

#include "framework/Thread.h"

class CAlbumThread : public CWinThread {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

    // Posts UM_BROWSE_EXIT to the host the first time it is called.
    void NotifyHostOnce();

private:
    bool m_bHostNotified = false;
};
