// The host recording into the album's folder while the album is open: for
// an hour in make soak (scripts/soak.sh sets SNAP_SOAK_MINUTES), for twenty
// seconds in make test.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/operator/AlbumFolder.h"
#include "tests/operator/OperatorSession.h"
#include "tests/operator/ResourceTrend.h"

namespace {

// The host records while the album is open: this test, another process,
// writes a snapshot into the album's folder every second and removes the
// oldest it wrote every ten, for SNAP_SOAK_MINUTES (20 seconds unless set),
// while automatic browse pages through the folder. The album grows by nine
// names in ten seconds, under a megabyte an hour; its objects, threads and
// memory stay flat, and at the end its last page is the folder's.
TEST(Soak, ArrivalsAndRemovalsWhileTheAlbumIsOpenStayFlat)
{
    const char* wanted = std::getenv("SNAP_SOAK_MINUTES");
    const double minutes = wanted != nullptr ? std::atof(wanted) : 20.0 / 60;
    const int periodMs = minutes >= 10 ? 60000 : 1000;
    const std::vector<std::string> snapshots = SampleSnapshots(".jpg");
    ASSERT_GE(snapshots.size(), 2u);
    // Three pages from the start: what the album keeps around the page it
    // shows is as much as it will be.
    AlbumFolder album("soakwatch");
    for (size_t i = 0; i < 27; ++i)
        ASSERT_TRUE(album.CopyIn(snapshots[i % snapshots.size()], "old" + std::to_string(i) + ".jpg"));
    OperatorSession session;
    ASSERT_TRUE(session.OpenOutsideHeapValidation(album.Path(), "--sample-every " + std::to_string(periodMs)));
    ASSERT_TRUE(session.Screen().Press(ID_AUTO_SHOW));
    ASSERT_TRUE(WaitUntil([&] { return session.Screen().ButtonChecked(ID_AUTO_SHOW); }, 5000));

    const DWORD end = GetTickCount() + static_cast<DWORD>(minutes * 60000);
    int written = 0, removed = 0;
    for (DWORD next = GetTickCount(); static_cast<int>(end - next) > 0; next += 1000) {
        const DWORD now = GetTickCount();
        if (static_cast<int>(next - now) > 0)
            Sleep(next - now);
        char name[32];
        wsprintfA(name, "snap%06d.jpg", written);
        ASSERT_TRUE(album.CopyIn(snapshots[static_cast<size_t>(written) % snapshots.size()], name));
        if (++written % 10 == 0) {
            wsprintfA(name, "snap%06d.jpg", removed++);
            ASSERT_TRUE(DeleteFileA(album.PathOf(name).c_str()));
        }
    }
    EXPECT_TRUE(session.HostAlive());
    ASSERT_TRUE(session.Screen().Press(ID_AUTO_SHOW));
    ASSERT_TRUE(WaitUntil([&] { return !session.Screen().ButtonChecked(ID_AUTO_SHOW); }, 5000));
    ASSERT_TRUE(session.Screen().Press(ID_PAGE_LAST));
    const size_t files = FilesIn(album.Path()).size();
    EXPECT_TRUE(WaitUntil([&] { return session.Screen().PicturesShown() == OnLastPage(files); }, 10000))
        << session.Screen().PicturesShown() << " pictures shown of " << files;
    EXPECT_TRUE(session.ExitAndFinish());
    std::vector<ResourceSample> samples = session.Host().ResourceSamples();
    samples.pop_back();   // the sample after the exit has no browser
    ExpectFlat("arrivals and removals", samples, std::max<size_t>(2, samples.size() / 6), 50.0 * periodMs / 1000);
}

}  // namespace
