// The browser's copy of the host's settings record: the record followed by
// room for all 80 channel entries, zero beyond the record, so that entries
// 20 to 79 read as number 0, no name, not enabled.
#pragma once

#include <cstring>

#include "ImageBrowse.h"

struct SettingsArea {
    unsigned char head[BROWSE_CHANNEL_OFFSET];
    ChannelEntry channels[BROWSE_CHANNEL_COUNT];

    // The host's current channel, counted from 1.
    int32_t CurrentChannel() const
    {
        int32_t value;
        std::memcpy(&value, reinterpret_cast<const unsigned char*>(this) + BROWSE_CURRENT_CHANNEL_OFFSET,
                    sizeof value);
        return value;
    }
};
static_assert(sizeof(SettingsArea) == 104996, "the settings area is 104996 bytes");
static_assert(offsetof(SettingsArea, channels) == BROWSE_CHANNEL_OFFSET, "channel records start at 36");
