#include "host/HeapCheck.h"

#include <windows.h>

#include <vector>

namespace {

// FLG_HEAP_ENABLE_TAIL_CHECK | FLG_HEAP_ENABLE_FREE_CHECK | FLG_HEAP_VALIDATE_PARAMETERS
constexpr ULONG kHeapCheckFlags = 0x70;

}  // namespace

bool HeapChecksOn()
{
    using GlobalFlagsFn = ULONG(NTAPI*)();
    auto flags = reinterpret_cast<GlobalFlagsFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetNtGlobalFlags")));
    return flags != nullptr && (flags() & kHeapCheckFlags) != 0;
}

unsigned DamagedHeaps()
{
    std::vector<HANDLE> heaps(64);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = GetProcessHeaps(count, heaps.data());
    }
    unsigned damaged = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i)
        if (!HeapValidate(heaps[i], 0, nullptr))
            ++damaged;
    return damaged;
}
