// Long runs through the host: many openings and closings, and automatic
// browse in multi and in single mode, with the host logging its GDI and
// user objects and private memory at a fixed period; every count must stay
// flat. `make test` runs short versions; scripts/soak.sh sets
// SNAP_SOAK_OPENINGS and SNAP_SOAK_MINUTES for the long ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/AlbumFolder.h"
#include "tests/e2e/BrowserWindow.h"
#include "tests/e2e/OperatorSession.h"
#include "tests/support/RealInput.h"

namespace {

double EnvNumber(const char* name, double fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr ? std::atof(text) : fallback;
}

// Compares the samples after warming up with the first warm one and prints
// the start and end of each count.
void ExpectFlat(const char* run, const std::vector<ResourceSample>& samples, size_t warmUp)
{
    ASSERT_GT(samples.size(), warmUp + 1) << run;
    const ResourceSample& start = samples[warmUp];
    const ResourceSample& end = samples.back();
    std::printf("soak: %s samples=%u gdi %ld -> %ld, user %ld -> %ld, private %ld -> %ld KB, threads %ld -> %ld\n",
                run, static_cast<unsigned>(samples.size()), start.gdi, end.gdi, start.user, end.user,
                start.privateKb, end.privateKb, start.threads, end.threads);
    EXPECT_GT(start.gdi, 0) << run;
    EXPECT_GT(start.threads, 0) << run;
    long maxGdi = 0, maxUser = 0, maxKb = 0, maxThreads = 0;
    for (size_t i = warmUp; i < samples.size(); ++i) {
        maxGdi = std::max(maxGdi, samples[i].gdi);
        maxUser = std::max(maxUser, samples[i].user);
        maxKb = std::max(maxKb, samples[i].privateKb);
        maxThreads = std::max(maxThreads, samples[i].threads);
    }
    EXPECT_LE(maxGdi - start.gdi, 4) << run;
    EXPECT_LE(maxUser - start.user, 2) << run;
    if (!HostProcess::MemoryIsHeapChecked()) {
        EXPECT_LE(maxKb - start.privateKb, 2048) << run;
    }
    EXPECT_EQ(start.threads, maxThreads) << run;
}

TEST(Soak, OpeningsAndClosingsLeaveTheHostFlat)
{
    int openings = static_cast<int>(EnvNumber("SNAP_SOAK_OPENINGS", 30));
    AlbumFolder album("soakopen");
    ASSERT_EQ(9u, album.CopySnapshots(9).size());
    HostProcess host;
    ASSERT_TRUE(host.Start("--open --quit-after-close --open-count " + std::to_string(openings) + " --folder \"" +
                           album.Path() + "\""));
    for (int opening = 0; opening < openings; ++opening) {
        HWND frame = WaitForBrowserFrame(20000);
        ASSERT_NE(nullptr, frame) << "opening " << opening;
        ChooseMenuCommand(frame, ID_ALBUM_RETURN);
        ASSERT_TRUE(WaitForWindowGone(frame, 10000)) << "opening " << opening;
    }
    ASSERT_TRUE(host.WaitForExit(30000));
    EXPECT_EQ(openings, host.CountLines("exit 3 0"));
    ExpectFlat("openings", host.ResourceSamples(), std::min<size_t>(19, static_cast<size_t>(openings) / 3));
}

// The toolbar docked at the left, then floating, when the browser closes;
// fifty times.
TEST(Soak, OpeningsWithTheToolbarMovedAndFloatingAtCloseLeaveTheHostFlat)
{
    const int openings = 50;
    AlbumFolder album("soakdock");
    ASSERT_EQ(9u, album.CopySnapshots(9).size());
    HostProcess host;
    ASSERT_TRUE(host.Start("--open --quit-after-close --open-count " + std::to_string(openings) + " --folder \"" +
                           album.Path() + "\""));
    const RealInput hands;
    for (int opening = 0; opening < openings; ++opening) {
        HWND frame = WaitForBrowserFrame(20000);
        ASSERT_NE(nullptr, frame) << "opening " << opening;
        RECT client, bar;
        GetClientRect(frame, &client);
        MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
        GetWindowRect(GetDlgItem(frame, AFX_IDW_TOOLBAR), &bar);
        const POINT middle = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
        hands.Drag(POINT{bar.left + 5, (bar.top + bar.bottom) / 2}, POINT{client.left + 4, middle.y});
        ASSERT_TRUE(WaitUntil([&] {
            GetWindowRect(GetDlgItem(frame, AFX_IDW_TOOLBAR), &bar);
            return bar.bottom - bar.top > bar.right - bar.left;
        }, 5000)) << "docked at the left, opening " << opening;
        hands.Drag(POINT{(bar.left + bar.right) / 2, bar.top + 5}, middle);
        ASSERT_TRUE(WaitUntil([&] { return GetDlgItem(frame, AFX_IDW_TOOLBAR) == nullptr; }, 5000))
            << "floating, opening " << opening;
        ChooseMenuCommand(frame, ID_ALBUM_RETURN);
        ASSERT_TRUE(WaitForWindowGone(frame, 10000)) << "opening " << opening;
    }
    ASSERT_TRUE(host.WaitForExit(30000));
    EXPECT_EQ(openings, host.CountLines("exit 3 0"));
    ExpectFlat("openings with the toolbar floating", host.ResourceSamples(), 19);
}

// Automatic browse over JPEG snapshots for SNAP_SOAK_MINUTES, one sample a
// minute in the long run (every six seconds in the short one).
void AutomaticBrowse(bool single)
{
    double minutes = EnvNumber("SNAP_SOAK_MINUTES", 0.3);
    int periodMs = minutes >= 10 ? 60000 : 6000;
    AlbumFolder album(single ? "soaksingle" : "soakmulti");
    std::string source = NewestSampleDayFolder();
    int copied = 0;
    for (const std::string& name : FilesIn(source))
        if (lstrcmpiA(name.substr(name.size() - 4).c_str(), ".jpg") == 0)
            for (int copy = 0; copy < 5; ++copy)
                copied += album.CopyIn(source + "\\" + name, std::to_string(copy) + name) ? 1 : 0;
    ASSERT_GE(copied, 10);
    OperatorSession session;
    ASSERT_TRUE(session.Open(album.Path(), "--sample-every " + std::to_string(periodMs)));
    if (single) {
        session.Screen().DoubleClickCell(0);
        ASSERT_TRUE(session.Screen().WaitForTitleOtherThan("Image browse", 5000));
    }
    ASSERT_TRUE(session.Screen().Press(ID_AUTO_SHOW));
    ASSERT_TRUE(WaitUntil([&] { return session.Screen().ButtonChecked(ID_AUTO_SHOW); }, 5000));
    Sleep(static_cast<DWORD>(minutes * 60000));
    EXPECT_TRUE(session.HostAlive());
    ASSERT_TRUE(session.Screen().Press(ID_AUTO_SHOW));
    EXPECT_TRUE(session.ExitAndFinish());
    std::vector<ResourceSample> samples = session.Host().ResourceSamples();
    samples.pop_back();   // the sample after the exit has no browser
    ExpectFlat(single ? "automatic browse, single mode" : "automatic browse, multi mode", samples, 1);
}

TEST(Soak, AutomaticBrowseInMultiModeStaysFlat) { AutomaticBrowse(false); }
TEST(Soak, AutomaticBrowseInSingleModeStaysFlat) { AutomaticBrowse(true); }

}  // namespace
