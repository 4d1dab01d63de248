// The host opens the browser again and again; each opening shows the
// browser's frame and ends with exactly one UM_BROWSE_EXIT carrying
// wParam 3, and nothing is left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "res/resource.h"
#include "tests/e2e/BrowserWindow.h"
#include "tests/e2e/HostProcess.h"

namespace {

// Opens the browser count times through the host, leaving it alternately
// by the first toolbar button and by File > Exit.
void OpenAndClose(HostProcess* host, int count)
{
    ASSERT_TRUE(host->Start("--open --open-count " + std::to_string(count) + " --quit-after-close"));
    for (int opening = 0; opening < count; ++opening) {
        HWND frame = WaitForBrowserFrame(20000);
        if (frame == nullptr) {
            std::vector<std::string> lines = host->LogLines();
            for (size_t i = lines.size() > 6 ? lines.size() - 6 : 0; i < lines.size(); ++i)
                std::printf("host log: %s\n", lines[i].c_str());
            HWND any = FindWindowA("FwFrame", nullptr);
            std::printf("frame %p visible %d host alive %d\n", static_cast<void*>(any), any ? IsWindowVisible(any) : -1,
                        WaitForSingleObject(host->Handle(), 0) == WAIT_TIMEOUT);
        }
        ASSERT_NE(nullptr, frame) << "opening " << opening;
        if (opening % 2 == 0)
            PressReturnButton(frame);
        else
            ChooseMenuCommand(frame, ID_ALBUM_RETURN);
        ASSERT_TRUE(WaitForWindowGone(frame, 10000)) << "opening " << opening;
    }
    ASSERT_TRUE(host->WaitForExit(30000)) << "host did not finish";
}

TEST(HostOpenClose, EachOpeningPostsExactlyOneExitMessageWithWParam3)
{
    HostProcess host;
    OpenAndClose(&host, 6);
    EXPECT_EQ(0u, host.ExitCode());
    EXPECT_EQ(6, host.CountLines("load 1"));
    EXPECT_EQ(6, host.CountLines("exit 3 0"));
    for (const std::string& line : host.LogLines())
        EXPECT_TRUE(line == "load 1" || line == "exit 3 0" || line.rfind("resources ", 0) == 0 ||
                    line.rfind("heap-flags ", 0) == 0)
            << line;
}

TEST(HostOpenClose, TwoHundredOpeningsLeaveNoObjectsOrMemoryBehind)
{
    const int openings = 200;
    HostProcess host;
    OpenAndClose(&host, openings);
    EXPECT_EQ(openings, host.CountLines("exit 3 0"));
    std::vector<ResourceSample> samples = host.ResourceSamples();
    ASSERT_EQ(static_cast<size_t>(openings), samples.size());
    // Compare the warmed-up openings with the later ones: caches of the
    // system fill during the first openings, and Wine's DC cache may keep
    // a few more objects later on. Memory moves by a few hundred kilobytes
    // from sample to sample under Wine, so its trend is read from averages: a
    // leak of a few kilobytes per opening would add up over 130 openings.
    const ResourceSample& early = samples[19];
    EXPECT_GT(early.gdi, 0);    // the count is real, not a stub's zero
    long maxGdi = 0, maxUser = 0, maxKb = 0, maxThreads = 0;
    for (size_t i = 19; i < samples.size(); ++i) {
        maxGdi = std::max(maxGdi, samples[i].gdi);
        maxUser = std::max(maxUser, samples[i].user);
        maxKb = std::max(maxKb, samples[i].privateKb);
        maxThreads = std::max(maxThreads, samples[i].threads);
    }
    auto averageKb = [&](size_t from, size_t to) {
        double sum = 0;
        for (size_t i = from; i < to; ++i)
            sum += samples[i].privateKb;
        return sum / static_cast<double>(to - from);
    };
    const double earlyKb = averageKb(20, 70), lateKb = averageKb(samples.size() - 50, samples.size());
    for (size_t i : {size_t(19), size_t(99), samples.size() - 1})
        std::printf("after opening %u: gdi=%ld user=%ld private=%ld KB threads=%ld\n",
                    static_cast<unsigned>(i + 1), samples[i].gdi, samples[i].user, samples[i].privateKb,
                    samples[i].threads);
    std::printf("private memory: %.0f KB on average over openings 21-70, %.0f KB over the last 50\n", earlyKb,
                lateKb);
    EXPECT_LE(maxGdi - early.gdi, 3);
    EXPECT_LE(maxUser - early.user, 0);
    if (HostProcess::MemoryIsHeapChecked()) {
        // The run's claim that the host is checked is true.
        EXPECT_EQ(1, host.CountLines("heap-flags 0x70"));
    } else {
        EXPECT_LE(lateKb - earlyKb, 512.0);
        EXPECT_LE(maxKb - early.privateKb, 2048);
    }
    EXPECT_EQ(early.threads, maxThreads);   // the browser's thread ends each time
}

}  // namespace
