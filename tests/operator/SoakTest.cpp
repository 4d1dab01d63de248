// Automatic browse through the host in multi and in single mode, with the
// host logging its GDI and user objects and private memory at a fixed
// period; every count must stay flat. The host runs outside the heap
// validation, which would move the memory figures (automatic browse under
// it: AlbumViewTest.AutomaticBrowseWrapsInBothModesAndSurvivesARefresh).
// `make test` runs 30 seconds of each; scripts/soak.sh sets
// SNAP_SOAK_MINUTES for the long ones. (The openings and closings are
// HostOpenCloseTest's, files arriving while the album is open
// RecordingSoakTest's.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/operator/AlbumFolder.h"
#include "tests/operator/OperatorSession.h"
#include "tests/operator/ResourceTrend.h"

namespace {

double EnvNumber(const char* name, double fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr ? std::atof(text) : fallback;
}

// Automatic browse over JPEG snapshots for SNAP_SOAK_MINUTES, one sample a
// minute in the long run (every second, a step, in the short one).
void AutomaticBrowse(bool single)
{
    double minutes = EnvNumber("SNAP_SOAK_MINUTES", 0.5);
    int periodMs = minutes >= 10 ? 60000 : 1000;
    AlbumFolder album(single ? "soaksingle" : "soakmulti");
    int copied = 0;
    for (const std::string& path : SampleSnapshots(".jpg"))
        for (int copy = 0; copy < 5; ++copy)
            copied += album.CopyIn(path, std::to_string(copy) + path.substr(path.rfind('\\') + 1)) ? 1 : 0;
    ASSERT_GE(copied, 10);
    OperatorSession session;
    ASSERT_TRUE(session.OpenOutsideHeapValidation(album.Path(), "--sample-every " + std::to_string(periodMs)));
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
    // The first samples come while the browser opens. A thumbnail that each
    // step of nine left behind would add at least 100 KB a step, a picture
    // shown alone 400 KB; what the album keeps around the picture shown
    // moves by a picture or so from sample to sample.
    ExpectFlat(single ? "automatic browse, single mode" : "automatic browse, multi mode", samples,
               std::max<size_t>(2, samples.size() / 6),
               (single ? 200.0 : 50.0) * periodMs / 1000);
}

TEST(Soak, AutomaticBrowseInMultiModeStaysFlat) { AutomaticBrowse(false); }
TEST(Soak, AutomaticBrowseInSingleModeStaysFlat) { AutomaticBrowse(true); }

}  // namespace
