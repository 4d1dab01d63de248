#include "album/AlbumKeys.h"

#include <cstring>

#include "album/AlbumCommands.h"

namespace {

const char kCtrl[] = "Ctrl+";

struct NamedKey {
    const char* name;
    int code;
};

const NamedKey kNamedKeys[] = {
    {"Enter", albumkey::kEnter}, {"Esc", albumkey::kEscape},    {"Space", albumkey::kSpace},
    {"PgUp", albumkey::kPageUp}, {"PgDn", albumkey::kPageDown}, {"End", albumkey::kEnd},
    {"Home", albumkey::kHome},   {"Left", albumkey::kLeft},     {"Up", albumkey::kUp},
    {"Right", albumkey::kRight}, {"Down", albumkey::kDown},     {"Del", albumkey::kDelete},
    {"+", albumkey::kPlus},      {"-", albumkey::kMinus},       {"Num +", albumkey::kNumPlus},
    {"Num -", albumkey::kNumMinus},
};

// A digit or capital letter is its own code; F1 to F12 follow each other.
int CodeOfName(const std::string& name)
{
    for (const NamedKey& named : kNamedKeys)
        if (name == named.name)
            return named.code;
    if (name.size() == 1 && ((name[0] >= '0' && name[0] <= '9') || (name[0] >= 'A' && name[0] <= 'Z')))
        return name[0];
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F' &&
        name.find_first_not_of("0123456789", 1) == std::string::npos) {
        const int n = std::stoi(name.substr(1));
        if (n >= 1 && n <= 12)
            return albumkey::kF1 + n - 1;
    }
    return 0;
}

struct KeyRow {
    unsigned id;
    bool (CAlbumState::*enabled)() const;
    const char* keys;
};

#define ALBUM_KEY_ROW(id, handler, enabled, checked, keys) {id, enabled, keys},
const KeyRow kRows[] = {ALBUM_VIEW_COMMANDS(ALBUM_KEY_ROW)};
#undef ALBUM_KEY_ROW

bool RowHasKey(const KeyRow& row, AlbumKey key)
{
    for (const AlbumKey& named : KeysOfNames(row.keys))
        if (named == key)
            return true;
    return false;
}

}  // namespace

bool ParseKeyName(const std::string& name, AlbumKey* key)
{
    const size_t prefix = sizeof kCtrl - 1;
    const bool ctrl = name.size() > prefix && name.compare(0, prefix, kCtrl) == 0;
    const int code = CodeOfName(ctrl ? name.substr(prefix) : name);
    if (code == 0)
        return false;
    *key = AlbumKey{code, ctrl};
    return true;
}

std::vector<AlbumKey> KeysOfNames(const char* names)
{
    std::vector<AlbumKey> keys;
    if (names == nullptr)
        return keys;
    const std::string all = names;
    for (size_t from = 0; from < all.size();) {
        size_t bar = all.find('|', from);
        if (bar == std::string::npos)
            bar = all.size();
        AlbumKey key;
        if (ParseKeyName(all.substr(from, bar - from), &key))
            keys.push_back(key);
        from = bar + 1;
    }
    return keys;
}

std::string MenuKeyLabel(const char* names)
{
    if (names == nullptr)
        return std::string();
    const char* bar = std::strchr(names, '|');
    return bar != nullptr ? std::string(names, bar) : std::string(names);
}

unsigned CommandOfKey(const CAlbumState& state, AlbumKey key)
{
    unsigned first = 0;
    for (const KeyRow& row : kRows) {
        if (!RowHasKey(row, key))
            continue;
        if (row.enabled == nullptr || (state.*row.enabled)())
            return row.id;
        if (first == 0)
            first = row.id;
    }
    return first;
}

const char* KeyNamesOf(unsigned id)
{
    for (const KeyRow& row : kRows)
        if (row.id == id)
            return row.keys;
    return "";
}
