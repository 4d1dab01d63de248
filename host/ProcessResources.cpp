#include "host/ProcessResources.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

namespace {

// Wine answers GetGuiResources with 0. Its GDI handle table, which the
// process environment block points to as on Windows (from its own place in
// the 32-bit and the 64-bit block), holds one 24-byte entry per handle
// whose first 8 bytes are non-zero while the object lives; the table
// belongs to this process alone.
#ifdef _WIN64
constexpr size_t kPebGdiTable = 0xF8;
#else
constexpr size_t kPebGdiTable = 0x94;
#endif

unsigned long CountWineGdiObjects()
{
    const unsigned char* peb = reinterpret_cast<const unsigned char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    const unsigned char* table = *reinterpret_cast<const unsigned char* const*>(peb + kPebGdiTable);
    if (table == nullptr)
        return 0;
    const size_t entryBytes = 24, entries = 0x10000;
    unsigned long live = 0;
    for (size_t i = 0; i < entries; ++i) {
        unsigned long long object;
        memcpy(&object, table + i * entryBytes, sizeof object);
        live += object != 0 ? 1 : 0;
    }
    return live;
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<unsigned long*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND wnd, LPARAM count)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<unsigned long*>(count);
        EnumChildWindows(wnd, CountChild, count);
    }
    return TRUE;
}

// Without GetGuiResources the windows of the process stand for its user
// objects.
unsigned long CountOwnWindows()
{
    unsigned long count = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

unsigned long CountOwnThreads()
{
    return static_cast<unsigned long>(OwnThreadIds().size());
}

std::vector<unsigned long> OwnThreadIds()
{
    std::vector<unsigned long> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ids.push_back(entry.th32ThreadID);
    CloseHandle(snapshot);
    return ids;
}

ProcessResources SampleProcessResources()
{
    ProcessResources r;
    HANDLE self = GetCurrentProcess();
    r.gdiObjects = GetGuiResources(self, GR_GDIOBJECTS);
    if (r.gdiObjects == 0)
        r.gdiObjects = CountWineGdiObjects();
    r.userObjects = GetGuiResources(self, GR_USEROBJECTS);
    if (r.userObjects == 0)
        r.userObjects = CountOwnWindows();
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        SIZE_T bytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
        r.privateKb = static_cast<unsigned long>(bytes / 1024);
    }
    r.threads = CountOwnThreads();
    return r;
}
