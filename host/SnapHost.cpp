// SnapHost: stands in for the surveillance application that loads the
// browser. Its window shows a moving "live video"; the Snapshots command
// hands the browser its settings and opens it, and the video comes back
// when the browser posts UM_BROWSE_EXIT.
//
// Command line (for tests and the demo):
//   --settings FILE   settings file (default: SnapHost.ini beside the exe)
//   --folder PATH     album folder, overrides the settings file
//   --open            open the browser at start
//   --open-count N    open it again after each return until N openings
//   --quit-after-close  quit when the browser has returned the last time
//   --log FILE        append "load <result>" and "exit <wParam> <lParam>" lines,
//                     a "resources ..." line once the browser's thread ended
//                     (and "heap damaged by ..." when its heap checks found
//                     damage then, or in their self-test at start), and the
//                     process's heap checking flags at start ("heap self-test
//                     ran" after them where the quarantine is on)
//   --sample-every MS  also log the process's resources every MS milliseconds
//   --versions        log "version <library> <a.b.c.d>" for the two libraries
//                     beside the exe (their version blocks), and end
//   --thread-limit MS  how long after the browser's exit message its threads
//                     may run (default 60000); past it the host logs each
//                     one still running ("browser thread never ended: thread
//                     ID started at ADDRESS in MODULE") and quits with code 3
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/HeapCheck.h"
#include "host/HostSettings.h"
#include "host/ProcessResources.h"
#include "ImageBrowse.h"

namespace {

constexpr UINT_PTR VIDEO_TIMER = 1;
constexpr UINT_PTR SAMPLE_TIMER = 2;
constexpr UINT_PTR SETTLE_TIMER = 3;
// The browser's thread ends a moment after its exit message (on a busy
// machine under the heap checks of the tests, within seconds); one still
// running this long after it never ends.
constexpr DWORD kDefaultThreadLimitMs = 60000;
constexpr int kThreadNeverEndedCode = 3;
constexpr UINT kSettlePollMs = 10;
constexpr int ID_SNAPSHOTS = 100;
constexpr int ID_QUIT = 101;


struct OpeningThread {
    unsigned long id;
    HANDLE handle;
};

struct HostState {
    HostSettings settings;
    std::string logPath;
    bool openAtStart = false;
    bool quitAfterClose = false;
    bool versionsOnly = false;
    int openCount = 1;          // openings wanted in this run (with --open)
    int sampleEveryMs = 0;      // periodic resource samples for soak runs
    int openingsDone = 0;
    bool browserOpen = false;
    std::vector<OpeningThread> openingThreads;   // the threads the opening started
    DWORD exitTick = 0;
    DWORD threadLimitMs = kDefaultThreadLimitMs;
    int exitCode = 0;
    HMODULE browser = nullptr;
    SetImageBrowsePathFn setPath = nullptr;
    LoadImageBrowseFn load = nullptr;
    HWND mainWnd = nullptr;
    HWND videoWnd = nullptr;
    HWND button = nullptr;
    unsigned frame = 0;
};

HostState g_host;

void Log(const char* format, ...)
{
    if (g_host.logPath.empty())
        return;
    FILE* f = std::fopen(g_host.logPath.c_str(), "a");
    if (f == nullptr)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputc('\n', f);
    std::fclose(f);
}

std::string ExeFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    size_t slash = s.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

bool ReadFile(const std::string& path, std::string* text)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text->append(buffer, n);
    std::fclose(f);
    return true;
}

bool LoadBrowserLibrary()
{
    std::string path = ExeFolder() + "\\ImageBrowse.dll";
    g_host.browser = LoadLibraryA(path.c_str());
    if (g_host.browser == nullptr) {
        Log("error load-library %lu", GetLastError());
        return false;
    }
    g_host.setPath = reinterpret_cast<SetImageBrowsePathFn>(
        reinterpret_cast<void*>(GetProcAddress(g_host.browser, "SetImageBrowsePath")));
    g_host.load = reinterpret_cast<LoadImageBrowseFn>(
        reinterpret_cast<void*>(GetProcAddress(g_host.browser, "LoadImageBrowse")));
    if (g_host.setPath == nullptr || g_host.load == nullptr) {
        Log("error exports-missing");
        return false;
    }
    return true;
}

void ShowVideo(bool show)
{
    ShowWindow(g_host.videoWnd, show ? SW_SHOW : SW_HIDE);
    if (show)
        SetTimer(g_host.videoWnd, VIDEO_TIMER, 40, nullptr);
    else
        KillTimer(g_host.videoWnd, VIDEO_TIMER);
    EnableMenuItem(GetMenu(g_host.mainWnd), ID_SNAPSHOTS, show ? MF_ENABLED : MF_GRAYED);
    EnableWindow(g_host.button, show);
}

// Keeps a handle to each thread of the process that was not there before:
// right after LoadImageBrowse returns, that is the browser's thread (which
// ends only after its own workers). A thread that has ended already is
// not kept.
void KeepNewThreads(const std::vector<unsigned long>& before)
{
    for (unsigned long id : OwnThreadIds()) {
        if (std::find(before.begin(), before.end(), id) != before.end())
            continue;
        if (HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id))
            g_host.openingThreads.push_back({id, thread});
    }
}

void ForgetOpeningThreads()
{
    for (const OpeningThread& thread : g_host.openingThreads)
        CloseHandle(thread.handle);
    g_host.openingThreads.clear();
}

// True once every thread the opening started has ended; their handles then go.
bool OpeningThreadsEnded()
{
    for (const OpeningThread& thread : g_host.openingThreads)
        if (WaitForSingleObject(thread.handle, 0) == WAIT_TIMEOUT)
            return false;
    ForgetOpeningThreads();
    return true;
}

void OpenBrowser()
{
    if (g_host.browserOpen || g_host.load == nullptr)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string folder = g_host.settings.FolderFor(now.wYear, now.wMonth, now.wDay);
    BrowseSettings record = g_host.settings.BuildRecord();
    g_host.setPath(nullptr, folder.c_str(), g_host.settings.initialChannel,
                   g_host.settings.allChannels ? 1 : 0, record);
    ShowVideo(false);
    g_host.browserOpen = true;
    ++g_host.openingsDone;
    const std::vector<unsigned long> before = OwnThreadIds();
    int result = g_host.load(nullptr, static_cast<int>(reinterpret_cast<intptr_t>(g_host.mainWnd)));
    KeepNewThreads(before);
    Log("load %d", result != 0 ? 1 : 0);
    if (result == 0) {
        ForgetOpeningThreads();   // no thread of the browser's, and no message, comes
        g_host.browserOpen = false;
        ShowVideo(true);
    }
}

// The process's GDI and user objects, private memory and threads, so that a
// test can see whether openings leave anything behind.
void LogResources()
{
    ProcessResources r = SampleProcessResources();
    Log("resources gdi=%lu user=%lu private=%lu threads=%lu", r.gdiObjects, r.userObjects, r.privateKb,
        r.threads);
}

// The browser posts its exit message from its own thread just before that
// thread ends; the thread's stack and what it frees on the way out are
// still counted for a moment. So the host waits for the thread to be gone
// before it samples and before it opens the browser again.
void OnBrowseExit(WPARAM wParam, LPARAM lParam)
{
    Log("exit %u %ld", static_cast<unsigned>(wParam), static_cast<long>(lParam));
    g_host.browserOpen = false;
    ShowVideo(true);
    g_host.exitTick = GetTickCount();
    SetTimer(g_host.mainWnd, SETTLE_TIMER, kSettlePollMs, nullptr);
}

// The heap checkpoint: every heap validated and the quarantine checked, at
// a moment when no other thread of the process frees memory.
void CheckHeaps(const char* moment)
{
    if (HeapChecksOn() && DamagedHeaps() != 0) {
        Log("heap damaged by %s", moment);
        ReportHeapDamage(moment);
    }
}

void OnBrowserThreadSettled()
{
    LogResources();
    char moment[64];
    std::snprintf(moment, sizeof moment, "the end of opening %d", g_host.openingsDone);
    CheckHeaps(moment);
    if (g_host.openAtStart && g_host.openingsDone < g_host.openCount) {
        OpenBrowser();
    } else if (g_host.quitAfterClose) {
        PostMessageA(g_host.mainWnd, WM_CLOSE, 0, 0);
    }
}

// A thread of the opening that outlived the limit fails the run, named,
// instead of hanging it: the host names each one still running and quits.
// It neither samples nor walks the heaps, which such a thread may be
// changing.
void OnThreadsNeverEnded()
{
    KillTimer(g_host.mainWnd, SETTLE_TIMER);
    for (const OpeningThread& thread : g_host.openingThreads)
        if (WaitForSingleObject(thread.handle, 0) == WAIT_TIMEOUT)
            Log("browser thread never ended: %s", DescribeThread(thread.id).c_str());
    ForgetOpeningThreads();
    g_host.exitCode = kThreadNeverEndedCode;
    PostMessageA(g_host.mainWnd, WM_CLOSE, 0, 0);
}

// Waits for the browser's thread to be gone, up to the limit: while it
// runs, it may free memory while the heaps are walked, and Wine's checks
// would then take a block being freed for a damaged one. (Counting the
// process's threads does not tell: the system's dialogs leave threads of
// their own behind.)
void OnSettleTimer()
{
    if (!OpeningThreadsEnded()) {
        if (GetTickCount() - g_host.exitTick >= g_host.threadLimitMs)
            OnThreadsNeverEnded();
        return;
    }
    KillTimer(g_host.mainWnd, SETTLE_TIMER);
    OnBrowserThreadSettled();
}

// The "live video": a scene that moves every frame, so a screenshot shows
// whether the browser covers it.
void PaintVideo(HWND wnd, HDC dc)
{
    RECT rc;
    GetClientRect(wnd, &rc);
    HBRUSH sky = CreateSolidBrush(RGB(40, 60, 90));
    FillRect(dc, &rc, sky);
    DeleteObject(sky);
    int w = rc.right > 0 ? rc.right : 1;
    int x = static_cast<int>((g_host.frame * 7) % static_cast<unsigned>(w));
    RECT car = {x, rc.bottom * 2 / 3, x + 120, rc.bottom * 2 / 3 + 50};
    HBRUSH red = CreateSolidBrush(RGB(200, 40, 30));
    FillRect(dc, &car, red);
    DeleteObject(red);
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[64];
    std::snprintf(text, sizeof text, "LIVE  CH01  %04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 12, 12, text, static_cast<int>(std::strlen(text)));
}

LRESULT CALLBACK VideoProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER:
        ++g_host.frame;
        InvalidateRect(wnd, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        PaintVideo(wnd, dc);
        EndPaint(wnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

void LayOut(HWND wnd)
{
    RECT rc;
    GetClientRect(wnd, &rc);
    MoveWindow(g_host.button, 8, 8, 120, 28, TRUE);
    MoveWindow(g_host.videoWnd, 0, 44, rc.right, rc.bottom - 44 > 0 ? rc.bottom - 44 : 0, TRUE);
}

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        HINSTANCE inst = reinterpret_cast<CREATESTRUCTA*>(lParam)->hInstance;
        g_host.button = CreateWindowA("BUTTON", "Snapshots", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0,
                                      0, wnd, reinterpret_cast<HMENU>(ID_SNAPSHOTS), inst, nullptr);
        g_host.videoWnd = CreateWindowA("SnapHostVideo", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, wnd, nullptr,
                                        inst, nullptr);
        return 0;
    }
    case WM_SIZE:
        LayOut(wnd);
        return 0;
    case WM_TIMER:
        if (wParam == SAMPLE_TIMER)
            LogResources();
        else if (wParam == SETTLE_TIMER)
            OnSettleTimer();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_SNAPSHOTS)
            OpenBrowser();
        else if (LOWORD(wParam) == ID_QUIT)
            PostMessageA(wnd, WM_CLOSE, 0, 0);
        return 0;
    case UM_BROWSE_EXIT:
        OnBrowseExit(wParam, lParam);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

void ParseCommandLine(int argc, char** argv, std::string* settingsPath, std::string* folder)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--settings" && hasValue)
            *settingsPath = argv[++i];
        else if (arg == "--folder" && hasValue)
            *folder = argv[++i];
        else if (arg == "--log" && hasValue)
            g_host.logPath = argv[++i];
        else if (arg == "--sample-every" && hasValue)
            g_host.sampleEveryMs = std::atoi(argv[++i]);
        else if (arg == "--thread-limit" && hasValue)
            g_host.threadLimitMs = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--open-count" && hasValue)
            g_host.openCount = std::atoi(argv[++i]);
        else if (arg == "--open")
            g_host.openAtStart = true;
        else if (arg == "--quit-after-close")
            g_host.quitAfterClose = true;
        else if (arg == "--versions")
            g_host.versionsOnly = true;
    }
}

// The file version of a library beside the exe as its version block has
// it, "a.b.c.d"; empty when it has none.
std::string FileVersionOf(const char* library)
{
    const std::string path = ExeFolder() + "\\" + library;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0)
        return std::string();
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixedSize < sizeof *fixed)
        return std::string();
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned{HIWORD(fixed->dwFileVersionMS)},
                  unsigned{LOWORD(fixed->dwFileVersionMS)}, unsigned{HIWORD(fixed->dwFileVersionLS)},
                  unsigned{LOWORD(fixed->dwFileVersionLS)});
    return text;
}

HMENU BuildMenu()
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, ID_SNAPSHOTS, "&Snapshots");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, ID_QUIT, "&Quit");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&Video");
    AppendMenuA(bar, MF_STRING, ID_SNAPSHOTS, "S&napshots");
    return bar;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string settingsPath = ExeFolder() + "\\SnapHost.ini";
    std::string folder;
    ParseCommandLine(argc, argv, &settingsPath, &folder);
    std::string text, errors;
    g_host.settings = ReadFile(settingsPath, &text) ? HostSettings::Parse(text, &errors) : HostSettings::Defaults();
    if (!errors.empty())
        Log("settings %s", errors.c_str());
    // Whether Windows' heap checks run in this process (the tests turn them
    // on by program name): tests that measure memory need to know.
    using GlobalFlagsFn = ULONG(NTAPI*)();
    if (auto flags = reinterpret_cast<GlobalFlagsFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetNtGlobalFlags"))))
        Log("heap-flags 0x%lx", flags());
    if (RunHeapSelfTest([] { CheckHeaps(kSelfTestMoment); }))
        Log("heap self-test ran");
    if (g_host.versionsOnly) {
        for (const char* library : {"ImageBrowse.dll", "ImageLoad.dll"})
            Log("version %s %s", library, FileVersionOf(library).c_str());
        return 0;
    }
    if (!folder.empty())
        g_host.settings.folder = folder;

    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA video = {};
    video.lpfnWndProc = VideoProc;
    video.hInstance = inst;
    video.hCursor = LoadCursor(nullptr, IDC_ARROW);
    video.lpszClassName = "SnapHostVideo";
    WNDCLASSA main = {};
    main.lpfnWndProc = MainProc;
    main.hInstance = inst;
    main.hCursor = LoadCursor(nullptr, IDC_ARROW);
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    main.lpszClassName = "SnapHostMain";
    if (!RegisterClassA(&video) || !RegisterClassA(&main))
        return 1;

    g_host.mainWnd = CreateWindowA("SnapHostMain", "SnapHost - live video", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 800, 600, nullptr, BuildMenu(), inst, nullptr);
    if (g_host.mainWnd == nullptr)
        return 1;
    ShowWindow(g_host.mainWnd, SW_SHOWMAXIMIZED);
    UpdateWindow(g_host.mainWnd);
    ShowVideo(true);
    if (g_host.sampleEveryMs > 0)
        SetTimer(g_host.mainWnd, SAMPLE_TIMER, static_cast<UINT>(g_host.sampleEveryMs), nullptr);

    bool loaded = LoadBrowserLibrary();
    if (g_host.openAtStart && loaded)
        OpenBrowser();
    else if (g_host.openAtStart && g_host.quitAfterClose)
        PostMessageA(g_host.mainWnd, WM_CLOSE, 0, 0);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // Like the real host, keep the library loaded for the life of the
    // process: the browser thread may still be finishing after its exit
    // message arrived.
    return loaded ? g_host.exitCode : 2;
}
