// The priority of a cell worker's thread: below normal while it reads
// ahead, so that the host's own threads and the window thread go first;
// normal while it prepares a cell the window thread waits for. Made on the
// worker's own thread; Raise may be called from any thread. Without
// Windows (the native tests) it does nothing.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

class CThreadPriority {
public:
    enum Level { Normal, Background };

    CThreadPriority()
    {
#ifdef _WIN32
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &m_thread,
                        THREAD_SET_INFORMATION | THREAD_QUERY_INFORMATION, FALSE, 0);
#endif
    }
    ~CThreadPriority()
    {
#ifdef _WIN32
        if (m_thread != nullptr)
            CloseHandle(m_thread);
#endif
    }
    CThreadPriority(const CThreadPriority&) = delete;
    CThreadPriority& operator=(const CThreadPriority&) = delete;

    void Set(Level level)
    {
#ifdef _WIN32
        if (m_thread != nullptr)
            SetThreadPriority(m_thread, level == Background ? THREAD_PRIORITY_BELOW_NORMAL : THREAD_PRIORITY_NORMAL);
#else
        (void)level;
#endif
    }
    void Raise() { Set(Normal); }

private:
#ifdef _WIN32
    HANDLE m_thread = nullptr;
#endif
};
