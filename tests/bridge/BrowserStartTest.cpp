// The browser's start when memory runs out. This program replaces the
// allocation operator so that one chosen allocation fails; every
// allocation of the browser thread's start fails in turn, and whatever
// fails, the host receives exactly one exit message and no exception
// reaches it.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "bridge/Exports.h"
#include "bridge/ModuleGlobals.h"
#include "heapguard/HeapGuard.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/FileTree.h"
#include "tests/support/OwnThreads.h"
#include "tests/support/TestPictures.h"

namespace {

// With a target set, allocation number g_failAt (counted from 0) among those
// of threads other than the spared one throws std::bad_alloc.
std::atomic<long> g_failAt{-1};
std::atomic<long> g_counted{0};
std::atomic<DWORD> g_sparedThread{0};

bool FailThisAllocation()
{
    if (g_failAt.load() < 0 || GetCurrentThreadId() == g_sparedThread.load())
        return false;
    return g_counted.fetch_add(1) == g_failAt.load();
}

}  // namespace

// On the heap checks' own allocation, so that the quarantine of the test
// run holds what is freed.
void* operator new(std::size_t size)
{
    if (FailThisAllocation())
        throw std::bad_alloc();
    if (void* p = HeapGuardAllocate(size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { HeapGuardRelease(p); }
void operator delete(void* p, std::size_t) noexcept { HeapGuardRelease(p); }

namespace {

class BrowserStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i)
            WriteSolidBmp(m_folder.PathOf("p" + std::to_string(i) + ".bmp"), 64, 48, 24, RGB(200, 30, 30));
        static BrowseSettings record;
        SetImageBrowsePath(nullptr, m_folder.Path().c_str(), 0, 0, record);
    }
    void TearDown() override { Disarm(); }
    static void Arm(long failAt, DWORD spared)
    {
        g_counted = 0;
        g_sparedThread = spared;
        g_failAt = failAt;
    }
    static void Disarm() { g_failAt = -1; }
    int Load() { return LoadImageBrowse(nullptr, static_cast<int>(reinterpret_cast<intptr_t>(m_host.Handle()))); }

    // Pumps until the browser has ended: a browser that came up anyway is
    // closed, and a message box of the failure (a picture object that could
    // not be made is reported) is answered. False when it never ended.
    bool RunUntilExit(DWORD timeout = 20000)
    {
        bool closing = false;
        DWORD end = GetTickCount() + timeout;
        while (m_host.ExitCount() == 0 && static_cast<int>(end - GetTickCount()) > 0) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            if (HWND box = BrowserWindow("#32770"))
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            HWND frame = BrowserWindow("FwFrame");
            if (!closing && frame != nullptr && IsWindowVisible(frame)) {
                closing = true;
                PostMessageA(frame, WM_CLOSE, 0, 0);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        // Once the browser's thread has ended, a second message would be
        // queued too.
        PumpUntilOwnThreadsAtMost(m_threads, timeout);
        return m_host.ExitCount() > 0;
    }
    // A top-level window of the given class that another thread of this
    // process (the browser's) owns.
    static HWND BrowserWindow(const char* className)
    {
        for (HWND wnd = nullptr; (wnd = FindWindowExA(nullptr, wnd, className, nullptr)) != nullptr;) {
            DWORD process = 0;
            if (GetWindowThreadProcessId(wnd, &process) != GetCurrentThreadId() && process == GetCurrentProcessId())
                return wnd;
        }
        return nullptr;
    }

    HostWindow m_host;
    TempFolder m_folder{"bst"};
    const unsigned long m_threads = CountOwnThreads();   // before any browser thread
};

TEST_F(BrowserStartTest, AnAllocationThatFailsInTheExportReturnsZeroAndPostsNothing)
{
    Arm(0, 0);
    int token = -1;
    EXPECT_NO_THROW(token = Load());
    Disarm();
    EXPECT_EQ(0, token);
    EXPECT_FALSE(RunUntilExit(500));
}

TEST_F(BrowserStartTest, EachAllocationOfTheStartFailingInTurnEndsInExactlyOneExitMessage)
{
    const long kMostAllocations = 400;
    long failAt = 0;
    for (; failAt < kMostAllocations; ++failAt) {
        m_host.ResetCount();
        Arm(failAt, GetCurrentThreadId());
        ASSERT_NE(0, Load()) << "allocation " << failAt;
        EXPECT_TRUE(RunUntilExit()) << "allocation " << failAt;
        EXPECT_EQ(1, m_host.ExitCount()) << "allocation " << failAt;
        const bool failed = g_counted.load() > failAt;
        Disarm();
        if (!failed)
            break;  // every allocation of a whole opening succeeded
    }
    std::printf("an opening makes %ld allocations, each failed once\n", failAt);
    EXPECT_LT(failAt, kMostAllocations) << "an opening makes more allocations than this test tries";
    EXPECT_GT(failAt, 10) << "the start makes fewer allocations than expected: is the operator replaced?";
}

}  // namespace
