// The exported entry points and the globals they fill.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "bridge/Exports.h"
#include "bridge/ModuleGlobals.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/OwnThreads.h"

namespace {

const BrowseSettings kZeroRecord = {};

// Each row after the one before it: a path that does not fit, or none,
// leaves the current directory, never a cut path naming another folder.
TEST(SetImageBrowsePath, KeepsAPathOf259CharactersWholeAndNoneThatDoesNotFit)
{
    const std::string fits = "C:\\" + std::string(256, 'a'), tooLong = "C:\\" + std::string(257, 'b');
    const struct {
        const char* path;
        const char* kept;
    } cases[] = {{fits.c_str(), fits.c_str()},
                 {"D:\\DataPic", "D:\\DataPic"},
                 {tooLong.c_str(), ""},
                 {"D:\\DataPic", "D:\\DataPic"},
                 {nullptr, ""}};
    for (const auto& c : cases) {
        SetImageBrowsePath(nullptr, c.path, 0, 0, kZeroRecord);
        EXPECT_STREQ(c.kept, g_szBrowsePath) << (c.path != nullptr ? std::strlen(c.path) : 0) << " characters";
    }
}

TEST(SetImageBrowsePath, CopiesTheRecordAndTheIntegersAndKeepsTheTailZero)
{
    auto record = std::make_unique<BrowseSettings>();
    std::memset(record->bytes, 0x5A, sizeof record->bytes);
    int32_t current = 4;
    std::memcpy(record->bytes + 20996, &current, 4);
    SetImageBrowsePath(nullptr, "x", 7, 1, *record);
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
    SetImageBrowsePath(nullptr, "y", 0, 0, kZeroRecord);
    EXPECT_EQ(0, g_nInitialChannel);
    EXPECT_EQ(0, g_bAllChannels);
    EXPECT_EQ(0, g_settings.channels[0].bEnabled);
}

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

// This program holds none of the browser's resources: its frame cannot be
// loaded, and the thread still ends with exactly one exit message.
TEST(LoadImageBrowse, ReturnsAtOnceAndTheHostReceivesExactlyOneExitPerOpening)
{
    HostWindow host;
    const unsigned long threads = CountOwnThreads();
    for (int opening = 1; opening <= 3; ++opening) {
        int thread = LoadImageBrowse(nullptr, static_cast<int>(reinterpret_cast<intptr_t>(host.Handle())));
        EXPECT_NE(0, thread);
        EXPECT_EQ(host.Handle(), g_hHostWnd);
        // Once the browser's thread has ended, all it posted is queued.
        EXPECT_TRUE(PumpUntilOwnThreadsAtMost(threads, 10000));
        EXPECT_EQ(opening, host.ExitCount()) << "exit messages of wParam 3";
    }
}

}  // namespace
