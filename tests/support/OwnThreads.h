// The threads of the test's own process, so that a test can wait for the
// browser's thread to have ended: whatever that thread posted is then in
// the queue, and a message that did not come will not come any more.
#pragma once

#include <windows.h>

#include "host/ProcessResources.h"

// Dispatches this thread's messages until the process has no more than
// `count` threads, then what is left in the queue; false when threads were
// still running after the given time.
bool PumpUntilOwnThreadsAtMost(unsigned long count, DWORD milliseconds);
