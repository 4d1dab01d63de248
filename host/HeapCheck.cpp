#include "host/HeapCheck.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "heapguard/HeapGuard.h"

namespace {

// FLG_HEAP_ENABLE_TAIL_CHECK | FLG_HEAP_ENABLE_FREE_CHECK | FLG_HEAP_VALIDATE_PARAMETERS
constexpr ULONG kHeapCheckFlags = 0x70;
// Allocations and frees after the stray write: the system's checks see a
// freed block only for the next 1,024 frees of its heap.
constexpr int kSelfTestChurn = 100000;
// The blocks the self-test writes into after their free (tools/heap_reports.py
// wants the quarantine's report of each, at the byte written): an odd size,
// so that its last byte lies past the last whole word the check compares.
constexpr int kSelfTestFirstBlock = 64;
constexpr int kSelfTestLastBlock = 37;

const char* ProgramName(char* path)
{
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return "?";
    const char* name = path;
    for (const char* c = path; *c != '\0'; ++c)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    return name;
}

// "WHAT in PROGRAM" on the debug channel.
void Say(const char* what, const char* moment)
{
    char path[MAX_PATH], line[400];
    std::snprintf(line, sizeof line, "%s%s in %s\n", what, moment, ProgramName(path));
    OutputDebugStringA(line);
}

}  // namespace

const char kSelfTestMoment[] = "the heap guard's self-test";

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
    return damaged + HeapGuardCheck();
}

void ReportHeapDamage(const char* moment)
{
    Say("heap damaged by ", moment);
}

bool RunHeapSelfTest(void (*checkpoint)())
{
    // Only the quarantine keeps the blocks written here from reuse: with
    // the system's checks alone they are really free, and the writes would
    // damage the heap they test.
    if (!HeapGuardOn())
        return false;
    Say("heap guard self-test begins", "");
    char* first = new char[kSelfTestFirstBlock];
    char* last = new char[kSelfTestLastBlock];
    // Volatile, or the compiler drops a store into a block it knows freed.
    volatile char* strayFirst = first;
    volatile char* strayLast = last;
    delete[] first;
    delete[] last;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuse-after-free"
    strayFirst[0] = 'x';   // the stray writes: the first two bytes of one freed block,
    strayFirst[1] = 'y';
    strayLast[kSelfTestLastBlock - 1] = 'z';   // the last byte of another
#pragma GCC diagnostic pop
    for (int i = 0; i < kSelfTestChurn; ++i) {
        char* volatile block = new char[16 + i % 240];
        delete[] block;
    }
    checkpoint();
    Say("heap guard self-test ends", "");
    return true;
}
