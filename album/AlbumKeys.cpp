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
    {"Num -", albumkey::kNumMinus}, {"Ins", albumkey::kInsert},
};

// A digit or capital letter is its own code; F1 to F12 follow each other.
// Reads the name in place: a key is looked up at every key press.
int CodeOfName(const char* name, size_t length)
{
    for (const NamedKey& named : kNamedKeys)
        if (std::strlen(named.name) == length && std::strncmp(name, named.name, length) == 0)
            return named.code;
    if (length == 1 && ((name[0] >= '0' && name[0] <= '9') || (name[0] >= 'A' && name[0] <= 'Z')))
        return name[0];
    if ((length == 2 || length == 3) && name[0] == 'F' && name[1] >= '1' && name[1] <= '9') {
        const int n = length == 2 ? name[1] - '0'
                                  : (name[2] >= '0' && name[2] <= '9' ? 10 * (name[1] - '0') + name[2] - '0' : 0);
        if (n >= 1 && n <= 12)
            return albumkey::kF1 + n - 1;
    }
    return 0;
}

bool ParseKeyName(const char* name, size_t length, AlbumKey* key)
{
    const size_t prefix = sizeof kCtrl - 1;
    const bool ctrl = length > prefix && std::strncmp(name, kCtrl, prefix) == 0;
    const int code = ctrl ? CodeOfName(name + prefix, length - prefix) : CodeOfName(name, length);
    if (code == 0)
        return false;
    *key = AlbumKey{code, ctrl};
    return true;
}

// Calls f with each name of a row's names.
template <class F>
void ForEachName(const char* names, F f)
{
    if (names == nullptr)
        return;
    for (const char* from = names; *from != '\0';) {
        const char* bar = std::strchr(from, '|');
        const size_t length = bar != nullptr ? static_cast<size_t>(bar - from) : std::strlen(from);
        f(from, length);
        from += length + (bar != nullptr ? 1 : 0);
    }
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
    bool has = false;
    ForEachName(row.keys, [&](const char* name, size_t length) {
        AlbumKey named = {0, false};
        has = has || (ParseKeyName(name, length, &named) && named == key);
    });
    return has;
}

}  // namespace

bool ParseKeyName(const std::string& name, AlbumKey* key)
{
    return ParseKeyName(name.data(), name.size(), key);
}

std::vector<AlbumKey> KeysOfNames(const char* names)
{
    std::vector<AlbumKey> keys;
    ForEachName(names, [&](const char* name, size_t length) {
        AlbumKey key = {0, false};
        if (ParseKeyName(name, length, &key))
            keys.push_back(key);
    });
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
    for (const KeyRow& row : kRows)
        if (RowHasKey(row, key) && (row.enabled == nullptr || (state.*row.enabled)()))
            return row.id;
    return 0;
}

bool KeyMayGive(AlbumKey key, bool (*test)(unsigned id))
{
    for (const KeyRow& row : kRows)
        if (RowHasKey(row, key) && test(row.id))
            return true;
    return false;
}

const char* KeyNamesOf(unsigned id)
{
    for (const KeyRow& row : kRows)
        if (row.id == id)
            return row.keys;
    return "";
}
