// The album's keys as its command rows name them, without windows: every
// name is a key, and which command a key gives on a page and alone. What
// each command then does is its rule's and handler's (AlbumStateTest, and
// the real keys under Wine in tests/album/KeysAndZoomTest).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "album/AlbumCommands.h"
#include "album/AlbumKeys.h"

namespace {

AlbumKey Key(const char* name)
{
    AlbumKey key = {0, false};
    EXPECT_TRUE(ParseKeyName(name, &key)) << name;
    return key;
}

TEST(AlbumKeys, EveryNameOfEveryRowIsAKey)
{
#define CHECK_ROW(id, handler, enabled, checked, keys)                                                       \
    {                                                                                                        \
        const std::string names = keys;                                                                      \
        const size_t count = names.empty() ? 0 : 1 + std::count(names.begin(), names.end(), '|');             \
        EXPECT_EQ(count, KeysOfNames(keys).size()) << #id << ": " << names;                                  \
    }
    ALBUM_VIEW_COMMANDS(CHECK_ROW)
#undef CHECK_ROW
}

TEST(AlbumKeys, NamesAreTheKeysTheMenusShow)
{
    const struct {
        const char* name;
        int code;
        bool ctrl;
    } keys[] = {
        {"Ctrl+O", 'O', true},          {"PgDn", albumkey::kPageDown, false}, {"F5", albumkey::kF1 + 4, false},
        {"F12", albumkey::kF1 + 11, false}, {"Num +", albumkey::kNumPlus, false}, {"-", albumkey::kMinus, false},
        {"1", '1', false},              {"Del", albumkey::kDelete, false},
    };
    for (const auto& k : keys) {
        const AlbumKey key = Key(k.name);
        EXPECT_EQ(k.code, key.code) << k.name;
        EXPECT_EQ(k.ctrl, key.ctrl) << k.name;
    }
    AlbumKey none;
    for (const char* notAKey : {"", "Ctrl+", "F13", "F0", "Delete key", "o"})
        EXPECT_FALSE(ParseKeyName(notAKey, &none)) << notAKey;
    EXPECT_EQ("Esc", MenuKeyLabel(KeyNamesOf(ID_MULTI_SHOW)));
    EXPECT_EQ("", MenuKeyLabel(KeyNamesOf(ID_FILE_PRINT_PREVIEW)));
}

// A key names one command, or two where the mode decides (Enter); a key no
// row names gives none, and neither does one whose command the rules
// disable: that key is the focused window's (Space and Enter press a
// focused toolbar button).
TEST(AlbumKeys, AKeyGivesItsRowsCommandWhereItsRuleEnablesIt)
{
    const struct {
        const char* key;
        unsigned onPage, alone, empty;
    } cases[] = {
        {"Enter", ID_SINGLE_SHOW, ID_MULTI_SHOW, 0},  {"Esc", 0, ID_MULTI_SHOW, 0},
        {"Space", ID_AUTO_SHOW, ID_AUTO_SHOW, 0},     {"Left", ID_MOVE_LEFT, ID_MOVE_LEFT, 0},
        {"PgDn", 0, ID_PAGE_NEXT, 0},                 {"Ctrl+O", ID_FILE_OPEN, 0, ID_FILE_OPEN},
        {"Ctrl+S", ID_FILE_SAVE_AS, ID_FILE_SAVE_AS, 0}, {"F5", ID_ALBUM_REFRESH, ID_ALBUM_REFRESH, ID_ALBUM_REFRESH},
        {"Num -", 0, 0, 0},                           {"O", 0, 0, 0},
        {"Ctrl+Left", 0, 0, 0},
    };
    CAlbumState album;
    for (int i = 0; i < 12; ++i)
        album.AppendFile("C:\\a\\f" + std::to_string(i) + ".jpg", "f" + std::to_string(i) + ".jpg");
    album.ShowLastPage();
    CAlbumState alone = album;
    alone.ShowCellAlone(1);
    const CAlbumState empty;
    for (const auto& c : cases) {
        AlbumKey key = {0, false};
        ParseKeyName(c.key, &key);
        EXPECT_EQ(c.onPage, CommandOfKey(album, key)) << c.key << " on a page";
        EXPECT_EQ(c.alone, CommandOfKey(alone, key)) << c.key << " alone";
        EXPECT_EQ(c.empty, CommandOfKey(empty, key)) << c.key << " on an empty album";
    }
}

}  // namespace
