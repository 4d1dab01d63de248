// The exported entry points and the globals they fill.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "bridge/Exports.h"
#include "bridge/ModuleGlobals.h"
#include "tests/support/OwnThreads.h"

namespace {

std::unique_ptr<BrowseSettings> ZeroRecord()
{
    return std::make_unique<BrowseSettings>();
}

void Configure(const char* path, const BrowseSettings& record, int initial = 0, int all = 0)
{
    SetImageBrowsePath(nullptr, path, initial, all, record);
}

TEST(SetImageBrowsePath, KeepsA259CharacterPathWholeAndAShorterOneLeavesNoTrace)
{
    auto record = ZeroRecord();
    std::string longPath = "C:\\" + std::string(256, 'a');
    ASSERT_EQ(259u, longPath.size());
    Configure(longPath.c_str(), *record);
    EXPECT_EQ(longPath, g_szBrowsePath);

    Configure("D:\\DataPic", *record);
    EXPECT_STREQ("D:\\DataPic", g_szBrowsePath);
}

TEST(SetImageBrowsePath, APathThatDoesNotFitOrANullPathLeavesTheCurrentDirectory)
{
    auto record = ZeroRecord();
    Configure("D:\\DataPic", *record);
    std::string tooLong = "C:\\" + std::string(257, 'b');
    ASSERT_EQ(260u, tooLong.size());
    Configure(tooLong.c_str(), *record);
    EXPECT_STREQ("", g_szBrowsePath);   // never a cut path naming another folder

    Configure("D:\\DataPic", *record);
    Configure(nullptr, *record);
    EXPECT_STREQ("", g_szBrowsePath);
}

TEST(SetImageBrowsePath, CopiesTheRecordAndTheIntegersAndKeepsTheTailZero)
{
    auto record = ZeroRecord();
    std::memset(record->bytes, 0x5A, sizeof record->bytes);
    int32_t current = 4;
    std::memcpy(record->bytes + 20996, &current, 4);
    Configure("x", *record, 7, 1);
    EXPECT_EQ(7, g_nInitialChannel);
    EXPECT_EQ(1, g_bAllChannels);
    EXPECT_EQ(4, g_settings.CurrentChannel());
    EXPECT_EQ(0x5A5A5A5A, g_settings.channels[19].bEnabled);
    for (int i = 20; i < BROWSE_CHANNEL_COUNT; ++i) {
        EXPECT_EQ(0, g_settings.channels[i].nFolderChannel) << i;
        EXPECT_EQ('\0', g_settings.channels[i].szName[0]) << i;
        EXPECT_EQ(0, g_settings.channels[i].bEnabled) << i;
    }

    // Each call replaces every value of the previous one.
    Configure("y", *ZeroRecord(), 0, 0);
    EXPECT_EQ(0, g_nInitialChannel);
    EXPECT_EQ(0, g_bAllChannels);
    EXPECT_EQ(0, g_settings.channels[0].bEnabled);
}

// A window that counts the exit messages it receives.
struct ExitCounter {
    static int count;
    static WPARAM lastWParam;
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == UM_BROWSE_EXIT) {
            ++count;
            lastWParam = wParam;
            return 0;
        }
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
};
int ExitCounter::count;
WPARAM ExitCounter::lastWParam;

// The test run checks every Windows program's heap (scripts/heap-check.sh);
// this one stands for all that the checks are really on.
TEST(HeapCheck, IsOnWhenTheTestRunSaysSo)
{
    const char* checked = std::getenv("SNAP_HEAP_CHECK");
    if (checked == nullptr || std::string(checked) != "1")
        GTEST_SKIP() << "this run does not check the heap";
    using GlobalFlagsFn = ULONG(NTAPI*)();
    auto flags = reinterpret_cast<GlobalFlagsFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetNtGlobalFlags")));
    ASSERT_NE(nullptr, flags);
    EXPECT_EQ(0x70u, flags() & 0xF0u) << "tail, free and parameter checks, whole heaps validated after each test";
}

TEST(LoadImageBrowse, ReturnsAtOnceAndTheHostReceivesExactlyOneExitPerOpening)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ExitCounter::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ExitCounter";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND host = CreateWindowA("ExitCounter", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, host);

    const unsigned long threads = OwnThreadCount();
    for (int opening = 1; opening <= 3; ++opening) {
        int thread = LoadImageBrowse(nullptr, static_cast<int>(reinterpret_cast<intptr_t>(host)));
        EXPECT_NE(0, thread);
        EXPECT_EQ(host, g_hHostWnd);
        // Once the browser's thread has ended, all it posted is queued.
        EXPECT_TRUE(PumpUntilOwnThreadsAtMost(threads, 10000));
        EXPECT_EQ(opening, ExitCounter::count);
        EXPECT_EQ(3u, ExitCounter::lastWParam);
    }
    DestroyWindow(host);
}

}  // namespace
