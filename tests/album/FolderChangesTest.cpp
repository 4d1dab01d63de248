// What the watch of the album's folder keeps of the system's notifications
// between two updates of the album: each name's last state in the order
// the names first changed, renames (also chained, undone or overtaken),
// and a bound on what it keeps.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "album/watch/FolderChanges.h"

namespace {

using Notification = std::pair<unsigned, std::wstring>;
constexpr unsigned kAdded = CFolderChanges::Added, kRemoved = CFolderChanges::Removed,
                   kModified = CFolderChanges::Modified, kOld = CFolderChanges::RenamedOld,
                   kNew = CFolderChanges::RenamedNew;

// name, there, renamed from
using Expected = std::vector<std::tuple<std::wstring, bool, std::wstring>>;

Expected EntriesOf(const CFolderChanges& changes)
{
    Expected entries;
    for (const CFolderChanges::Entry& entry : changes.Entries())
        entries.emplace_back(entry.name, entry.present, entry.renamedFrom);
    return entries;
}

}  // namespace

TEST(FolderChanges, KeepEachNamesLastStateAndWhereARenameCameFrom)
{
    const struct {
        const char* what;
        std::vector<Notification> notifications;
        Expected entries;
    } rows[] = {
        {"written in several goes: one arrival", {{kAdded, L"a.jpg"}, {kModified, L"a.jpg"}, {kModified, L"a.jpg"}},
         {{L"a.jpg", true, L""}}},
        {"in the order the names first changed", {{kAdded, L"c.jpg"}, {kAdded, L"a.jpg"}, {kModified, L"c.jpg"}},
         {{L"c.jpg", true, L""}, {L"a.jpg", true, L""}}},
        {"written and removed again: gone", {{kAdded, L"a.jpg"}, {kRemoved, L"a.jpg"}}, {{L"a.jpg", false, L""}}},
        {"removed and written anew: there", {{kRemoved, L"a.jpg"}, {kAdded, L"a.jpg"}}, {{L"a.jpg", true, L""}}},
        {"renamed", {{kOld, L"a.tmp"}, {kNew, L"a.jpg"}}, {{L"a.tmp", false, L""}, {L"a.jpg", true, L"a.tmp"}}},
        {"renamed twice: one rename from the first name",
         {{kOld, L"a.jpg"}, {kNew, L"b.jpg"}, {kOld, L"b.jpg"}, {kNew, L"c.jpg"}},
         {{L"a.jpg", false, L""}, {L"b.jpg", false, L""}, {L"c.jpg", true, L"a.jpg"}}},
        {"renamed and back: there as before", {{kOld, L"a.jpg"}, {kNew, L"b.jpg"}, {kOld, L"b.jpg"}, {kNew, L"a.jpg"}},
         {{L"a.jpg", true, L""}, {L"b.jpg", false, L""}}},
        {"renamed, and the old name written anew: no rename",
         {{kOld, L"a.jpg"}, {kNew, L"b.jpg"}, {kAdded, L"a.jpg"}},
         {{L"a.jpg", true, L""}, {L"b.jpg", true, L""}}},
        {"renamed, and the new name removed: both gone", {{kOld, L"a.jpg"}, {kNew, L"b.jpg"}, {kRemoved, L"b.jpg"}},
         {{L"a.jpg", false, L""}, {L"b.jpg", false, L""}}},
        {"an old name whose new name is not in the folder: gone",
         {{kOld, L"a.jpg"}, {kAdded, L"x.jpg"}, {kNew, L"y.jpg"}},
         {{L"a.jpg", false, L""}, {L"x.jpg", true, L""}, {L"y.jpg", true, L""}}},
    };
    for (const auto& row : rows) {
        CFolderChanges changes;
        for (const Notification& n : row.notifications)
            changes.Add(n.first, n.second);
        EXPECT_EQ(row.entries, EntriesOf(changes)) << row.what;
        EXPECT_FALSE(changes.IsLost()) << row.what;
    }
}

TEST(FolderChanges, MoreNamesThanKeptAreGivenUpForOneWalk)
{
    CFolderChanges changes;
    for (size_t i = 0; i < CFolderChanges::kMostNames; ++i)
        changes.Add(kAdded, L"s" + std::to_wstring(i) + L".jpg");
    changes.Add(kModified, L"s0.jpg");      // a name already kept costs nothing
    EXPECT_FALSE(changes.IsLost());
    changes.Add(kAdded, L"one-too-many.jpg");
    EXPECT_TRUE(changes.IsLost());
    EXPECT_TRUE(changes.Entries().empty());
    changes.Add(kAdded, L"later.jpg");
    EXPECT_TRUE(changes.Entries().empty());
    EXPECT_FALSE(changes.Empty());          // the album still has to look
}
