// The host opens the browser again and again; each opening shows the
// browser's frame and ends with exactly one UM_BROWSE_EXIT carrying
// wParam 3, and nothing is left behind, also when the toolbar was moved
// and floats at the close. `make test` runs twenty openings, four of them
// with the host under the heap validation of the test run, the others with
// a copy outside it whose memory figures say something; scripts/soak.sh
// sets SNAP_SOAK_OPENINGS for the long run. Stand-in browsers show how the
// host waits for the browser's threads, and copies of the host under each
// heap flag where the quarantine of freed blocks is on.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/operator/AlbumFolder.h"
#include "tests/operator/BrowserScreen.h"
#include "tests/operator/HostProcess.h"
#include "tests/operator/ResourceTrend.h"
#include "tests/support/RealInput.h"

namespace {

// How long a drop may take to show, under the heap validation of the tests
// on a busy machine.
const DWORD kMoveWaitMs = 20000;
// The openings of the first host, which runs under the heap validation
// when the test run has it: each way of opening and closing once.
const int kValidatedOpenings = 4;

int Openings()
{
    const char* wanted = std::getenv("SNAP_SOAK_OPENINGS");
    return std::max(wanted != nullptr ? std::atoi(wanted) : 20, kValidatedOpenings + 8);
}

// Drags the toolbar by its gripper to the frame's left edge, where it docks
// upright, then by its gripper into the middle, where it floats.
void MoveTheToolbarToFloat(HWND frame, int opening)
{
    const RealInput hands;
    RECT client, bar;
    GetClientRect(frame, &client);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    GetWindowRect(GetDlgItem(frame, AFX_IDW_TOOLBAR), &bar);
    const POINT middle = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    hands.Drag(POINT{bar.left + 5, (bar.top + bar.bottom) / 2}, POINT{client.left + 4, middle.y});
    ASSERT_TRUE(WaitUntil(
        [&] {
            GetWindowRect(GetDlgItem(frame, AFX_IDW_TOOLBAR), &bar);
            return bar.bottom - bar.top > bar.right - bar.left;
        },
        kMoveWaitMs))
        << "docked at the left, opening " << opening;
    hands.Drag(POINT{(bar.left + bar.right) / 2, bar.top + 5}, middle);
    ASSERT_TRUE(WaitUntil([&] { return GetDlgItem(frame, AFX_IDW_TOOLBAR) == nullptr; }, kMoveWaitMs))
        << "floating, opening " << opening;
}

// Opens and closes the browser through the started host until it ends:
// every other opening closes with the toolbar floating, through File >
// Exit; the others by the first toolbar button ("Return") and by Exit in
// turn. Each opening logs one load and one exit message, and nothing else
// goes wrong.
void OpenAndClose(HostProcess& host, int openings)
{
    for (int opening = 0; opening < openings; ++opening) {
        BrowserScreen screen;
        ASSERT_TRUE(screen.Attach(20000)) << "opening " << opening;
        HWND frame = screen.Frame();
        if (opening % 2 == 1) {
            MoveTheToolbarToFloat(frame, opening);
            ASSERT_FALSE(testing::Test::HasFatalFailure());
        }
        if (opening % 4 == 0)
            ASSERT_TRUE(screen.Press(ID_ALBUM_RETURN)) << "opening " << opening;
        else
            screen.Choose(ID_ALBUM_RETURN);
        ASSERT_TRUE(WaitUntil([frame] { return !IsWindow(frame); }, 10000)) << "opening " << opening;
    }
    EXPECT_TRUE(host.EndedWell(openings));
}

std::string HostArguments(const AlbumFolder& album, int openings)
{
    return "--open --quit-after-close --open-count " + std::to_string(openings) + " --folder \"" + album.Path() +
           "\"";
}

TEST(HostOpenClose, EachOpeningPostsOneExitAndLeavesNoObjectsOrMemoryBehind)
{
    AlbumFolder album("openclose");
    ASSERT_EQ(9u, album.CopySnapshots(9).size());
    {
        HostProcess validated;
        ASSERT_TRUE(validated.Start(HostArguments(album, kValidatedOpenings)));
        OpenAndClose(validated, kValidatedOpenings);
        // The run's claim that it checks the host's heap is true.
        const char* checked = std::getenv("SNAP_HEAP_CHECK");
        if (checked != nullptr && std::string(checked) == "1") {
            EXPECT_EQ(1, validated.CountLines("heap-flags 0x70"));
        }
    }
    ASSERT_FALSE(testing::Test::HasFatalFailure());

    // The counts come from a host outside the validation, whose memory
    // moves by a few KB an opening once the first openings have filled the
    // system's caches. A picture left behind at each close adds 100 KB an
    // opening or more (the view's picture object, about 300 KB here).
    const int openings = Openings() - kValidatedOpenings;
    HostProcess measured;
    ASSERT_TRUE(measured.StartOutsideHeapValidation(HostArguments(album, openings)));
    OpenAndClose(measured, openings);
    EXPECT_EQ(1, measured.CountLines("heap-flags 0x0")) << "the figures are those of an unchecked heap";
    const std::vector<ResourceSample> samples = measured.ResourceSamples();
    ASSERT_EQ(static_cast<size_t>(openings), samples.size());
    ExpectFlat("openings", samples, std::min(19, openings / 4), 50);
}

std::string StandIn(const std::string& folder)
{
    return HostProcess::BinFolder() + "\\" + folder + "\\ImageBrowse.dll";
}

// A browser whose thread goes on after its exit message (a stand-in
// library, bin/lingering): the host samples its resources and checks its
// heaps only once that thread has ended, since the heap walk would meet
// the thread freeing memory.
TEST(HostOpenClose, SamplesAndChecksTheHeapOnlyOnceTheBrowsersThreadHasEnded)
{
    HostProcess host;
    ASSERT_TRUE(host.StartWithBrowser(StandIn("lingering"), "--open --quit-after-close"));
    ASSERT_TRUE(host.WaitForExit(30000));
    const std::vector<std::string> lines = host.LogLines();
    const size_t ended = std::find(lines.begin(), lines.end(), "browser thread ended") - lines.begin();
    const size_t sampled = std::find_if(lines.begin(), lines.end(),
                                        [](const std::string& line) { return line.rfind("resources ", 0) == 0; }) -
                           lines.begin();
    ASSERT_LT(sampled, lines.size()) << "the host sampled nothing";
    EXPECT_LT(ended, sampled) << "sampled while the browser's thread ran (log lines " << ended << " and " << sampled
                              << ")";
}

// The host written in C against the public headers alone opens the
// browser and gets its one exit message.
TEST(HostOpenClose, TheCHostGetsItsExitMessage)
{
    AlbumFolder album("chost");
    ASSERT_EQ(3u, album.CopySnapshots(3).size());
    HostProcess host;
    ASSERT_TRUE(host.StartCHost(album.Path()));
    BrowserScreen screen;
    ASSERT_TRUE(screen.Attach(20000));
    screen.Choose(ID_ALBUM_RETURN);
    ASSERT_TRUE(host.WaitForExit(30000));
    EXPECT_EQ(0u, host.ExitCode()) << "1: no exit message, or another wParam";
}

// The host reads the version blocks of both libraries, which the build
// fills from the source tree's one version number.
TEST(HostOpenClose, BothLibrariesCarryTheSourcesVersion)
{
    HostProcess host;
    ASSERT_TRUE(host.Start("--versions"));
    ASSERT_TRUE(host.WaitForExit(30000));
    std::vector<std::string> versions;
    for (const std::string& line : host.LogLines())
        if (line.rfind("version ", 0) == 0)
            versions.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"version ImageBrowse.dll " SNAP_SOURCE_VERSION,
                                        "version ImageLoad.dll " SNAP_SOURCE_VERSION}),
              versions);
}

// A browser thread that never ends (bin/endless) fails the host's run past
// its limit, named by where it started, and the host neither hangs nor
// walks the heaps under it.
TEST(HostOpenClose, ABrowserThreadThatNeverEndsFailsTheRunByName)
{
    HostProcess host;
    ASSERT_TRUE(host.StartWithBrowser(StandIn("endless"), "--open --quit-after-close --thread-limit 1000"));
    ASSERT_TRUE(host.WaitForExit(30000)) << "the host waits for the thread for ever";
    EXPECT_EQ(3u, host.ExitCode());
    int named = 0;
    for (const std::string& line : host.LogLines()) {
        named += line.rfind("browser thread never ended: thread ", 0) == 0 &&
                 line.find(" in ImageBrowse.dll") != std::string::npos;
        EXPECT_NE(0u, line.rfind("resources ", 0)) << "sampled beside a running thread";
    }
    EXPECT_EQ(1, named);
}

// The quarantine of freed blocks, and with it the heap checks' self-test
// (a write into freed blocks that only the quarantine keeps from reuse),
// only where the test run asks for it and the flags have free checking: a
// host started under a debugger gets the flags but not the run's word, and
// tail or parameter checks alone keep no freed block back. A copy of the
// host under a name of its own, whose flags the registry sets here.
TEST(HostHeapChecks, TheQuarantineAndItsSelfTestOnlyWhereTheRunAsksAndFreeChecksAreOn)
{
    struct Case {
        DWORD flags;
        bool runAsks;
        bool quarantine;
    };
    const Case cases[] = {
        {0x70, true, true},
        {0x70, false, false},   // a debugger's flags
        {0x10, true, false},    // tail checks alone
        {0x40, true, false},    // parameter checks alone
    };
    const char kProgram[] = "SnapHostHeapFlags.exe";
    const std::string key =
        std::string("Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\") + kProgram;
    char asked[8] = "";
    const bool runAsked = GetEnvironmentVariableA("SNAP_HEAP_CHECK", asked, sizeof asked) > 0;
    for (const Case& c : cases) {
        HKEY options = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                                 nullptr, &options, nullptr));
        RegSetValueExA(options, "GlobalFlag", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&c.flags), sizeof c.flags);
        RegCloseKey(options);
        SetEnvironmentVariableA("SNAP_HEAP_CHECK", c.runAsks ? "1" : nullptr);
        HostProcess host;
        const bool started = host.StartCopy(kProgram, StandIn("prompt"), "--open --quit-after-close");
        SetEnvironmentVariableA("SNAP_HEAP_CHECK", runAsked ? asked : nullptr);
        ASSERT_TRUE(started);
        char flags[32];
        std::snprintf(flags, sizeof flags, "heap-flags 0x%lx", c.flags);
        const std::string what = std::string(flags) + (c.runAsks ? " asked for" : " not asked for");
        ASSERT_TRUE(host.WaitForExit(30000)) << what;
        EXPECT_EQ(0u, host.ExitCode()) << what;
        EXPECT_EQ(1, host.CountLines(flags)) << what << ": the flags took";
        EXPECT_EQ(c.quarantine ? 1 : 0, host.CountLines("heap self-test ran")) << what;
        EXPECT_EQ(c.quarantine ? 1 : 0, host.CountLines("heap damaged by the heap guard's self-test")) << what;
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
}

}  // namespace
