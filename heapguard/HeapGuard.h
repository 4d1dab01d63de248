// A quarantine for freed blocks, which closes the blind window of Windows'
// free checking. With the checks on for a program (GlobalFlag 0x20, which
// the test run sets by program name) and the test run's word for it
// (SNAP_HEAP_CHECK=1 in the environment; the flag alone is set for any
// process started under a debugger), in a program that keeps the
// quarantine's memory (GuardArea.cpp: the host and the test programs),
// Wine fills a freed block and keeps it
// from reuse only for the next 1,024 frees of its heap; a write into it
// after that is never reported. In such a process the operator new and
// delete of every module of ours (the two libraries, the host, the test
// programs) come here: a freed block of up to 64 KB (an object, a string, a
// list's node or array: where a pointer that outlived its object writes)
// is filled with a pattern and held back, in one quarantine for all the
// modules of the process, until 65,536 later frees or 16 MB of held blocks
// push it out; it is checked when it leaves and at every checkpoint
// (HeapGuardCheck). Larger blocks (pixel rows, pictures) are freed at once,
// under the system's own checks only. Without it a block is the
// runtime's malloc and free, behind one test of a value read once.
#pragma once

#include <cstddef>

// True when this process holds freed blocks in the quarantine.
bool HeapGuardOn();
// A block of at least one byte; null when there is no memory for it.
void* HeapGuardAllocate(std::size_t bytes);
// Frees a block of HeapGuardAllocate (null does nothing); with the
// quarantine, fills it and holds it back.
void HeapGuardRelease(void* block);
// The number of bytes a block of HeapGuardAllocate was asked for (at
// least): for tests that keep a copy of what they free.
std::size_t HeapGuardSize(const void* block);
// Checks every held block and reports, on the debug channel and naming the
// program, each written since its free, found now or when it left the
// quarantine since the last check. The number found; 0 without the
// quarantine.
unsigned HeapGuardCheck();
