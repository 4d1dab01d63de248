#include "tests/support/OwnThreads.h"

namespace {

void DispatchQueued()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

}  // namespace

bool PumpUntilOwnThreadsAtMost(unsigned long count, DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    for (;;) {
        DispatchQueued();
        if (CountOwnThreads() <= count) {
            DispatchQueued();
            return true;
        }
        if (static_cast<int>(end - GetTickCount()) <= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
