// A stand-in for the browser library whose thread goes on after it posted
// its exit message, as a thread still freeing what it held would, for
// STAND_IN_LINGER_MS (INFINITE: a thread that never ends): it writes
// "browser thread ended" into the host's log (the file of the host's
// --log "FILE") as its last act, so that a test can see whether the host
// sampled and checked its heaps only after that. Built once for each
// lingering (tests/operator/CMakeLists.txt).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ImageBrowse.h"

namespace {

constexpr DWORD kLingerMs = STAND_IN_LINGER_MS;

std::string HostLogPath()
{
    const std::string line = GetCommandLineA();
    const std::string option = "--log \"";
    const size_t start = line.find(option);
    if (start == std::string::npos)
        return std::string();
    const size_t from = start + option.size();
    return line.substr(from, line.find('"', from) - from);
}

DWORD WINAPI Run(void* hostWnd)
{
    PostMessageA(static_cast<HWND>(hostWnd), UM_BROWSE_EXIT, BROWSE_EXIT_WPARAM, 0);
    Sleep(kLingerMs);
    if (FILE* log = std::fopen(HostLogPath().c_str(), "a")) {
        std::fputs("browser thread ended\n", log);
        std::fclose(log);
    }
    return 0;
}

}  // namespace

extern "C" __declspec(dllexport) void __cdecl SetImageBrowsePath(void*, const char*, int, int, BrowseSettings) {}

extern "C" __declspec(dllexport) int __cdecl LoadImageBrowse(void*, int hostWnd)
{
    HANDLE thread = CreateThread(nullptr, 0, Run, reinterpret_cast<void*>(static_cast<intptr_t>(hostWnd)), 0, nullptr);
    if (thread == nullptr)
        return 0;
    CloseHandle(thread);
    return 1;
}
