// The settings record the host passes to SetImageBrowsePath, and the
// browser's zero-padded copy of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// One camera channel as the host describes it (1312 bytes).
struct ChannelEntry {
    int32_t nFolderChannel;     // day-folder channel number, counted from 0
    char szName[396];           // zero-terminated; empty when unnamed
    int32_t bEnabled;           // non-zero when the channel is in use
    unsigned char reserved[908];
};
static_assert(sizeof(ChannelEntry) == 1312, "ChannelEntry is 1312 bytes");
static_assert(offsetof(ChannelEntry, szName) == 4, "name at offset 4");
static_assert(offsetof(ChannelEntry, bEnabled) == 400, "enabled flag at offset 400");

// The record exactly as the host passes it, by value.
constexpr size_t BROWSE_SETTINGS_BYTES = 25456;
struct BrowseSettings {
    unsigned char bytes[BROWSE_SETTINGS_BYTES];
};
static_assert(sizeof(BrowseSettings) == BROWSE_SETTINGS_BYTES, "BrowseSettings is 25456 bytes");

constexpr int CHANNEL_COUNT = 80;
constexpr size_t SETTINGS_HEAD_BYTES = 36;
constexpr size_t CURRENT_CHANNEL_OFFSET = 20996;

// The browser's copy: the host's head followed by room for 80 channel
// records. The host's record covers only its start; the rest stays zero,
// so entries 20 to 79 read as number 0, no name, not enabled.
struct SettingsArea {
    unsigned char head[SETTINGS_HEAD_BYTES];
    ChannelEntry channels[CHANNEL_COUNT];

    // The host's current channel, counted from 1. It lies inside the
    // reserved tail of channel record 15.
    int32_t CurrentChannel() const
    {
        int32_t value;
        std::memcpy(&value, reinterpret_cast<const unsigned char*>(this) + CURRENT_CHANNEL_OFFSET,
                    sizeof value);
        return value;
    }
};
static_assert(sizeof(SettingsArea) == 104996, "the settings area is 104996 bytes");
static_assert(offsetof(SettingsArea, channels) == 36, "channel records start at 36");
static_assert(CURRENT_CHANNEL_OFFSET + 4 <= BROWSE_SETTINGS_BYTES, "current channel lies in the host's record");
