// The album's keys: each command's row in album/AlbumCommands.h names its
// keys as the menus show them ("Ctrl+O", "PgDn", "Esc|Enter": several keys
// of one command apart by "|", the first the one its menu items show). From
// those names come the key table, the menus' labels (checked against the
// resources) and the tests. Pure: the key codes are the system's
// virtual-key codes, stated here as numbers.
#pragma once

#include <string>
#include <vector>

class CAlbumState;

struct AlbumKey {
    int code;       // the system's virtual-key code
    bool ctrl;      // with Ctrl held down; Shift does not matter

    bool operator==(const AlbumKey& other) const { return code == other.code && ctrl == other.ctrl; }
};

// The codes of the keys that have no letter of their own (the system's
// VK_ values; the Windows build checks them against its headers).
namespace albumkey {
constexpr int kEnter = 0x0D, kEscape = 0x1B, kSpace = 0x20, kPageUp = 0x21, kPageDown = 0x22, kEnd = 0x23,
              kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28, kDelete = 0x2E,
              kNumPlus = 0x6B, kNumMinus = 0x6D, kF1 = 0x70, kPlus = 0xBB, kMinus = 0xBD,
              kInsert = 0x2D;
}

// One key by its menu name; false when the name is not a key.
bool ParseKeyName(const std::string& name, AlbumKey* key);
// Every key of a row's names ("" or null: none).
std::vector<AlbumKey> KeysOfNames(const char* names);
// What a menu item of the command shows after its tab: the first name.
std::string MenuKeyLabel(const char* names);

// The command a key gives in the album's state: of the rows that name the
// key, the first whose rule enables it; 0 when none does or no row names
// the key, and the key is then the focused window's (a focused toolbar
// button takes Space and Enter).
unsigned CommandOfKey(const CAlbumState& state, AlbumKey key);
// Whether some row that names the key gives a command for which test is
// true, whatever the rules say now.
bool KeyMayGive(AlbumKey key, bool (*test)(unsigned id));
// The key names of a command's row ("" for a command without keys or an
// identifier no row has).
const char* KeyNamesOf(unsigned id);
