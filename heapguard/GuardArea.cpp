// The memory of the process's one quarantine, kept by the program and found
// by every module of ours through the program's export (HeapGuard.cpp).
// Only programs link this (through the heap checks, host/), so that a
// shipped library exports nothing of it; what another process can name or
// write never holds it.
#include <windows.h>

#include <cstddef>

namespace {

INIT_ONCE g_made = INIT_ONCE_STATIC_INIT;
void* g_pArea = nullptr;
std::size_t g_areaBytes = 0;

BOOL CALLBACK MakeArea(PINIT_ONCE, PVOID bytes, PVOID*)
{
    g_pArea = VirtualAlloc(nullptr, *static_cast<std::size_t*>(bytes), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    g_areaBytes = g_pArea != nullptr ? *static_cast<std::size_t*>(bytes) : 0;
    return TRUE;
}

}  // namespace

// Zero-filled at first (an unlocked, empty quarantine), made by the first
// module that asks, which may be a library loaded before the program's own
// start-up code has run. A module that wants more than the first asked
// for gets none.
extern "C" __declspec(dllexport) void* __cdecl SnapHeapGuardArea(std::size_t bytes)
{
    InitOnceExecuteOnce(&g_made, MakeArea, &bytes, nullptr);
    return bytes <= g_areaBytes ? g_pArea : nullptr;
}
