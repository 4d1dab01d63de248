#include "host/HostSettings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

namespace {

std::string Trim(const std::string& s)
{
    size_t begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return std::string();
    size_t end = s.find_last_not_of(" \t\r\n");
    return s.substr(begin, end - begin + 1);
}

bool ParseInt(const std::string& text, int* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0')
        return false;
    *value = static_cast<int>(v);
    return true;
}

// "channel = <index> <folder number> <enabled 0/1> [name...]"
bool ParseChannel(const std::string& value, HostChannel* channel)
{
    std::istringstream in(value);
    std::string index, folder, enabled;
    if (!(in >> index >> folder >> enabled))
        return false;
    int enabledFlag = 0;
    if (!ParseInt(index, &channel->index) || !ParseInt(folder, &channel->folderChannel) ||
        !ParseInt(enabled, &enabledFlag))
        return false;
    if (channel->index < 0 || channel->index >= BROWSE_CHANNEL_COUNT)
        return false;
    channel->enabled = enabledFlag != 0;
    std::string rest;
    std::getline(in, rest);
    channel->name = Trim(rest);
    return true;
}

void Note(std::string* error, int lineNumber, const std::string& what)
{
    if (error != nullptr)
        *error += "line " + std::to_string(lineNumber) + ": " + what + "\n";
}

}  // namespace

HostSettings HostSettings::Defaults()
{
    HostSettings s;
    s.folder = "D:\\DataPic\\{today}\\01";
    static const char* const names[] = {"Front gate", "Car park", "Lobby", "Loading bay"};
    for (int i = 0; i < 4; ++i)
        s.channels.push_back(HostChannel{i, i, true, names[i]});
    return s;
}

HostSettings HostSettings::Parse(const std::string& text, std::string* error)
{
    HostSettings s = Defaults();
    bool channelsGiven = false;
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        line = Trim(line);
        if (line.empty())
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) {
            Note(error, lineNumber, "expected key = value");
            continue;
        }
        std::string key = Trim(line.substr(0, eq));
        std::string value = Trim(line.substr(eq + 1));
        int number = 0;
        if (key == "folder") {
            s.folder = value;
        } else if (key == "current_channel" && ParseInt(value, &number)) {
            s.currentChannel = number;
        } else if (key == "initial_channel" && ParseInt(value, &number)) {
            s.initialChannel = number;
        } else if (key == "all_channels" && ParseInt(value, &number)) {
            s.allChannels = number != 0;
        } else if (key == "channel") {
            HostChannel channel;
            if (!ParseChannel(value, &channel)) {
                Note(error, lineNumber, "channel needs: index folder-number enabled [name]");
                continue;
            }
            if (!channelsGiven) {
                s.channels.clear();     // a file that lists channels replaces the defaults
                channelsGiven = true;
            }
            s.channels.push_back(channel);
        } else {
            Note(error, lineNumber, "unknown key or bad value: " + key);
        }
    }
    return s;
}

std::string HostSettings::FolderFor(int year, int month, int day) const
{
    std::string result = folder;
    const std::string token = "{today}";
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
    for (size_t at = result.find(token); at != std::string::npos; at = result.find(token))
        result.replace(at, token.size(), date);
    return result;
}

BrowseSettings HostSettings::BuildRecord() const
{
    BrowseSettings record = {};
    for (const HostChannel& c : channels) {
        if (c.index < 0 || c.index >= BROWSE_CHANNELS_IN_RECORD)
            continue;   // the browser reads entries beyond the record as empty
        ChannelEntry entry = {};
        entry.nFolderChannel = c.folderChannel;
        std::snprintf(entry.szName, sizeof entry.szName, "%s", c.name.c_str());
        entry.bEnabled = c.enabled ? 1 : 0;
        // The last entry of the record is cut by its end.
        const size_t at = BROWSE_CHANNEL_OFFSET + sizeof entry * static_cast<size_t>(c.index);
        std::memcpy(record.bytes + at, &entry, std::min(sizeof entry, sizeof record.bytes - at));
    }
    // After the entries: it lies in the reserved tail of entry 15.
    int32_t current = currentChannel;
    std::memcpy(record.bytes + BROWSE_CURRENT_CHANNEL_OFFSET, &current, sizeof current);
    return record;
}
