// The stand-in host's settings: read from a small text file, turned into the
// settings record that the browser receives.
#pragma once

#include <string>
#include <vector>

#include "ImageBrowse.h"

struct HostChannel {
    int index = 0;              // position in the host's channel table, 0 to 79
    int folderChannel = 0;      // day-folder channel number, counted from 0
    bool enabled = false;
    std::string name;
};

struct HostSettings {
    std::string folder;         // "{today}" stands for today's date as YYYY-MM-DD
    int currentChannel = 1;     // counted from 1
    int initialChannel = 0;     // chooser row in the all-channels mode
    bool allChannels = false;
    std::vector<HostChannel> channels;

    // The defaults: four enabled channels, today's folder of channel 01 on D:.
    static HostSettings Defaults();

    // Reads "key = value" lines; '#' starts a comment. Unknown keys and bad
    // lines are reported in *error and the rest is kept.
    static HostSettings Parse(const std::string& text, std::string* error);

    // The folder with "{today}" replaced by the given date.
    std::string FolderFor(int year, int month, int day) const;

    // The 25456-byte record handed to SetImageBrowsePath. Only entries 0 to
    // 19 have room in it; later entries are dropped.
    BrowseSettings BuildRecord() const;
};
