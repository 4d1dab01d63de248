#include "heapguard/HeapGuard.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr ULONG kFreeCheckFlag = 0x20;      // FLG_HEAP_ENABLE_FREE_CHECK
constexpr DWORD kInUse = 0x45535531;        // the mark of a block in use
constexpr DWORD kHeld = 0x444C4831;         // the mark of a block held back
constexpr unsigned char kFill = 0xDB;
constexpr std::uint32_t kFillWord = 0xDBDBDBDBu;
constexpr unsigned kSlots = 65536;
constexpr std::size_t kHeldBytes = 16u << 20;
// Larger blocks (pixel rows, pictures, print bands) go at once: filling,
// holding and checking them made the test programs that print or paint
// several times slower, fresh memory being mapped for each new one.
constexpr DWORD kLargestHeld = 64u << 10;
// Blocks leaving at one free, checked and freed once the lock is let go.
constexpr unsigned kLeavingAtOnce = 32;
// Damage found when blocks left, described at the next check.
constexpr unsigned kNotesKept = 8;
// Set to 1 by the test run (scripts/heap-check.sh).
constexpr char kTestRunVariable[] = "SNAP_HEAP_CHECK";
constexpr char kAreaExport[] = "SnapHeapGuardArea";

// Before every block of the quarantine's kind: its mark and size, and the
// module that freed it. Sixteen bytes keep the runtime's alignment.
struct BlockHead {
    DWORD mark;
    DWORD bytes;
    HMODULE freedBy;
#ifndef _WIN64
    DWORD unused;   // where a module handle takes four bytes
#endif
};
static_assert(sizeof(BlockHead) == 16, "the head keeps the block's alignment");

BlockHead HeadOf(DWORD mark, DWORD bytes, HMODULE freedBy)
{
    BlockHead head = {};
    head.mark = mark;
    head.bytes = bytes;
    head.freedBy = freedBy;
    return head;
}

// A held block, with its size kept apart from its head, which a stray
// write may reach.
struct HeldBlock {
    BlockHead* block;
    DWORD bytes;
};

enum class Damage { Written, HeadWritten, FreedTwice };

// What was found: where a held block was written (the first byte that
// changed), or a block freed twice; its size and who freed it.
struct DamageNote {
    Damage what;
    DWORD bytes;
    DWORD at;
    HMODULE freedBy;
};

// One quarantine for every module of the process: a ring of held blocks,
// oldest first, and the damage found as blocks left since the last check.
// Its memory is the program's (HeapGuardArea), never a named object that
// another process could make first and fill.
struct Quarantine {
    SRWLOCK lock;
    unsigned first;
    unsigned count;
    std::size_t heldBytes;
    unsigned found;
    unsigned notes;
    DamageNote note[kNotesKept];
    HeldBlock held[kSlots];
};

std::atomic<Quarantine*> g_pQuarantine{nullptr};
std::atomic<bool> g_bDecided{false};
INIT_ONCE g_decide = INIT_ONCE_STATIC_INIT;

bool FreeCheckingOn()
{
    using GlobalFlagsFn = ULONG(NTAPI*)();
    auto flags = reinterpret_cast<GlobalFlagsFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetNtGlobalFlags")));
    return flags != nullptr && (flags() & kFreeCheckFlag) != 0;
}

// The flag alone is no request: Windows sets it for every process started
// under a debugger, a host among them. The test run says so too, in the
// environment it gives the programs it starts.
bool TestRunAsksForIt()
{
    char value[4];
    return GetEnvironmentVariableA(kTestRunVariable, value, sizeof value) == 1 && value[0] == '1';
}

// The program's quarantine, through the area its executable exports: a
// library of ours in a program that keeps none (a host of its own) holds
// no blocks back.
Quarantine* OpenQuarantine()
{
    using AreaFn = void*(__cdecl*)(std::size_t);
    auto area = reinterpret_cast<AreaFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), kAreaExport)));
    return area != nullptr ? static_cast<Quarantine*>(area(sizeof(Quarantine))) : nullptr;
}

BOOL CALLBACK Decide(PINIT_ONCE, PVOID, PVOID*)
{
    g_pQuarantine.store(FreeCheckingOn() && TestRunAsksForIt() ? OpenQuarantine() : nullptr);
    g_bDecided.store(true);
    return TRUE;
}

Quarantine* TheQuarantine()
{
    if (!g_bDecided.load(std::memory_order_acquire))
        InitOnceExecuteOnce(&g_decide, Decide, nullptr, nullptr);
    return g_pQuarantine.load(std::memory_order_relaxed);
}

HMODULE ThisModule()
{
    return reinterpret_cast<HMODULE>(&__ImageBase);
}

// Where a held block no longer holds what its free left: false when it is
// intact.
bool FindDamage(const HeldBlock& held, DamageNote* note)
{
    const BlockHead* block = held.block;
    *note = {Damage::HeadWritten, held.bytes, 0, nullptr};
    if (block->mark != kHeld || block->bytes != held.bytes)
        return true;
    note->freedBy = block->freedBy;
    const auto* bytes = reinterpret_cast<const unsigned char*>(block + 1);
    DWORD at = 0;
    for (; at + 4 <= held.bytes; at += 4) {
        std::uint32_t word;
        std::memcpy(&word, bytes + at, 4);
        if (word != kFillWord)
            break;
    }
    for (; at < held.bytes; ++at) {
        if (bytes[at] != kFill) {
            note->what = Damage::Written;
            note->at = at;
            return true;
        }
    }
    return false;
}

// Fills a freed block, or one found written, as its free left it.
void Refill(BlockHead* block, DWORD bytes, HMODULE freedBy)
{
    *block = HeadOf(kHeld, bytes, freedBy);
    std::memset(block + 1, kFill, bytes);
}

void Note(Quarantine* q, const DamageNote& note)
{
    AcquireSRWLockExclusive(&q->lock);
    if (q->notes < kNotesKept)
        q->note[q->notes++] = note;
    ++q->found;
    ReleaseSRWLockExclusive(&q->lock);
}

// A block that leaves the quarantine: checked, then freed.
void Leave(Quarantine* q, const HeldBlock& held)
{
    DamageNote note;
    if (FindDamage(held, &note))
        Note(q, note);
    std::free(held.block);
}

// Holds a freed block, and lets the oldest go while the ring is full or
// holds too much.
void Hold(Quarantine* q, const HeldBlock& held)
{
    HeldBlock leaving[kLeavingAtOnce];
    unsigned left = 0;
    AcquireSRWLockExclusive(&q->lock);
    while (left < kLeavingAtOnce && q->count > 0 &&
           (q->count == kSlots || q->heldBytes + held.bytes > kHeldBytes)) {
        leaving[left++] = q->held[q->first];
        q->heldBytes -= q->held[q->first].bytes;
        q->first = (q->first + 1) % kSlots;
        --q->count;
    }
    q->held[(q->first + q->count) % kSlots] = held;
    ++q->count;
    q->heldBytes += held.bytes;
    ReleaseSRWLockExclusive(&q->lock);
    for (unsigned i = 0; i < left; ++i)
        Leave(q, leaving[i]);
}

const char* FileNameOf(HMODULE module, char* path)
{
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return "?";
    const char* name = path;
    for (const char* c = path; *c != '\0'; ++c)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    return name;
}

void Report(const DamageNote& note)
{
    char program[MAX_PATH], module[MAX_PATH], text[400];
    const char* programName = FileNameOf(nullptr, program);
    const char* moduleName = FileNameOf(note.freedBy, module);
    const unsigned long bytes = note.bytes, at = note.at;
    switch (note.what) {
    case Damage::Written:
        std::snprintf(text, sizeof text, "heap guard: %s: a block of %lu bytes freed by %s was written at byte %lu after its free\n",
                      programName, bytes, moduleName, at);
        break;
    case Damage::HeadWritten:
        std::snprintf(text, sizeof text, "heap guard: %s: the head of a held block of %lu bytes was written after its free\n",
                      programName, bytes);
        break;
    case Damage::FreedTwice:
        std::snprintf(text, sizeof text, "heap guard: %s: %s freed a block twice, or one operator new did not make\n",
                      programName, moduleName);
        break;
    }
    OutputDebugStringA(text);
}

}  // namespace

bool HeapGuardOn()
{
    return TheQuarantine() != nullptr;
}

void* HeapGuardAllocate(std::size_t bytes)
{
    if (bytes == 0)
        bytes = 1;
    if (TheQuarantine() == nullptr)
        return std::malloc(bytes);
    if (bytes > MAXDWORD - sizeof(BlockHead))
        return nullptr;
    auto* block = static_cast<BlockHead*>(std::malloc(sizeof(BlockHead) + bytes));
    if (block == nullptr)
        return nullptr;
    *block = HeadOf(kInUse, static_cast<DWORD>(bytes), nullptr);
    return block + 1;
}

void HeapGuardRelease(void* pointer)
{
    if (pointer == nullptr)
        return;
    Quarantine* q = TheQuarantine();
    if (q == nullptr) {
        std::free(pointer);
        return;
    }
    BlockHead* block = static_cast<BlockHead*>(pointer) - 1;
    if (block->mark != kInUse) {
        // Freed twice, or its head overwritten: noted, and left alone.
        Note(q, {Damage::FreedTwice, 0, 0, ThisModule()});
        return;
    }
    const DWORD bytes = block->bytes;
    if (bytes > kLargestHeld) {
        block->mark = kHeld;   // a second free of it is still seen while it is not reused
        std::free(block);
        return;
    }
    Refill(block, bytes, ThisModule());
    Hold(q, {block, bytes});
}

std::size_t HeapGuardSize(const void* pointer)
{
    if (TheQuarantine() == nullptr)
        return _msize(const_cast<void*>(pointer));
    return (static_cast<const BlockHead*>(pointer) - 1)->bytes;
}

unsigned HeapGuardCheck()
{
    Quarantine* q = TheQuarantine();
    if (q == nullptr)
        return 0;
    DamageNote found[kNotesKept * 2];
    unsigned described = 0;
    AcquireSRWLockExclusive(&q->lock);
    unsigned count = q->found;
    for (unsigned i = 0; i < q->notes; ++i)
        found[described++] = q->note[i];
    q->found = q->notes = 0;
    for (unsigned i = 0; i < q->count; ++i) {
        const HeldBlock& held = q->held[(q->first + i) % kSlots];
        DamageNote note;
        if (!FindDamage(held, &note))
            continue;
        ++count;
        if (described < kNotesKept * 2)
            found[described++] = note;
        Refill(held.block, held.bytes, note.freedBy);   // reported once
    }
    ReleaseSRWLockExclusive(&q->lock);
    for (unsigned i = 0; i < described; ++i)
        Report(found[i]);
    if (count > described) {
        char program[MAX_PATH], text[400];
        std::snprintf(text, sizeof text, "heap guard: %s: and %u more blocks written after their free\n",
                      FileNameOf(nullptr, program), count - described);
        OutputDebugStringA(text);
    }
    return count;
}
