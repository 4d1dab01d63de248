// Waiting for a condition with a bound, for tests that watch windows of
// another thread or process.
#pragma once

#include <windows.h>

// Waits up to the time given for a condition polled every 20 ms; true as
// soon as it holds.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    for (;;) {
        if (condition())
            return true;
        if (static_cast<int>(end - GetTickCount()) <= 0)
            return false;
        Sleep(20);
    }
}
