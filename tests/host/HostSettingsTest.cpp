// The settings record as the host builds it and as the browser reads it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "bridge/SettingsArea.h"
#include "host/HostSettings.h"

namespace {

std::unique_ptr<SettingsArea> BrowserCopy(const BrowseSettings& record)
{
    auto area = std::make_unique<SettingsArea>();    // zeroed, as the browser's copy is
    std::memcpy(area.get(), record.bytes, sizeof record.bytes);
    return area;
}

TEST(SettingsRecord, ChannelRecordsAndCurrentChannelSitAtTheirOffsets)
{
    HostSettings s;
    s.channels.push_back(HostChannel{0, 7, true, "Gate"});
    s.channels.push_back(HostChannel{19, 3, true, "Yard"});
    s.currentChannel = 4;
    BrowseSettings record = s.BuildRecord();

    int32_t folder0, folder19, enabled19, current;
    std::memcpy(&folder0, record.bytes + 36, 4);
    std::memcpy(&folder19, record.bytes + 36 + 1312 * 19, 4);
    std::memcpy(&enabled19, record.bytes + 36 + 1312 * 19 + 400, 4);
    std::memcpy(&current, record.bytes + 20996, 4);
    EXPECT_EQ(7, folder0);
    EXPECT_STREQ("Gate", reinterpret_cast<const char*>(record.bytes + 36 + 4));
    EXPECT_EQ(3, folder19);
    EXPECT_STREQ("Yard", reinterpret_cast<const char*>(record.bytes + 36 + 1312 * 19 + 4));
    EXPECT_EQ(1, enabled19);
    EXPECT_EQ(4, current);
    EXPECT_EQ(4, BrowserCopy(record)->CurrentChannel());
}

TEST(SettingsRecord, EntriesBeyondTheHostsRecordReadAsUnnamedAndDisabled)
{
    HostSettings s;
    for (int i = 0; i < BROWSE_CHANNEL_COUNT; ++i)
        s.channels.push_back(HostChannel{i, i, true, "Camera " + std::to_string(i)});
    auto area = BrowserCopy(s.BuildRecord());
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(i, area->channels[i].nFolderChannel) << i;
        EXPECT_EQ("Camera " + std::to_string(i), area->channels[i].szName) << i;
        EXPECT_EQ(1, area->channels[i].bEnabled) << i;
    }
    for (int i = 20; i < BROWSE_CHANNEL_COUNT; ++i) {
        EXPECT_EQ(0, area->channels[i].nFolderChannel) << i;
        EXPECT_STREQ("", area->channels[i].szName) << i;
        EXPECT_EQ(0, area->channels[i].bEnabled) << i;
    }
}

TEST(HostSettingsFile, ParsesKeysAndReplacesDefaultChannels)
{
    std::string errors;
    HostSettings s = HostSettings::Parse(
        "# comment\n"
        "folder = E:\\DataPic\\{today}\\03\n"
        "current_channel = 3\n"
        "all_channels = 1\n"
        "initial_channel = 2\n"
        "channel = 1 1 1 Car park west\n"
        "channel = 3 2 0\n"
        "bogus line\n",
        &errors);
    EXPECT_EQ("E:\\DataPic\\2010-12-21\\03", s.FolderFor(2010, 12, 21));
    EXPECT_EQ(3, s.currentChannel);
    EXPECT_TRUE(s.allChannels);
    EXPECT_EQ(2, s.initialChannel);
    ASSERT_EQ(2u, s.channels.size());
    EXPECT_EQ("Car park west", s.channels[0].name);
    EXPECT_FALSE(s.channels[1].enabled);
    EXPECT_EQ("", s.channels[1].name);
    EXPECT_NE(std::string::npos, errors.find("line 8"));
}

TEST(HostSettingsFile, RejectsChannelIndexOutsideTheTable)
{
    std::string errors;
    HostSettings s = HostSettings::Parse("channel = 80 0 1 Far\n", &errors);
    EXPECT_EQ(4u, s.channels.size());     // defaults kept
    EXPECT_FALSE(errors.empty());
}

}  // namespace
