/* ImageBrowse: the snapshot-album browser that a host program loads. This
 * header is all a host needs: the settings record it hands over, the two
 * entry points and the message it receives when the browser ends.
 *
 * Use, from the host's user-interface thread:
 *   1. SetImageBrowsePath(NULL, folder, initialChannel, allChannels, record)
 *   2. LoadImageBrowse(NULL, (int)hostWindow) returns at once; the browser
 *      runs in a thread of its own, in a maximised window over the host's.
 *   3. When the browser ends (or could not start), it posts UM_BROWSE_EXIT
 *      with wParam BROWSE_EXIT_WPARAM and lParam 0 to hostWindow, exactly
 *      once per opening. LoadImageBrowse returning 0 means no thread was
 *      started and no message will come.
 * Open the browser again only after the message; never call either entry
 * point while it is open (the browser reads the settings without a lock).
 * Keep the library loaded for the life of the process: the browser's
 * thread may still be finishing when the message arrives.
 *
 * Both functions have undecorated C names and the C calling convention, so
 * GetProcAddress finds them by name. Ship ImageBrowse.dll with
 * ImageLoad.dll beside it. Strings are 8-bit, in the system code page. */
#ifndef IMAGEBROWSE_H
#define IMAGEBROWSE_H

#include <stddef.h>
#include <stdint.h>

/* Posted to the host window when the browser has ended. */
#define UM_BROWSE_EXIT 0x0803
#define BROWSE_EXIT_WPARAM 3

/* A path of up to 259 characters; a longer one (or NULL) leaves the browser
 * in the process's current directory. */
#define BROWSE_PATH_MAX 259

#ifdef __cplusplus

/* One camera channel as the host describes it (1312 bytes). */
struct ChannelEntry {
    int32_t nFolderChannel;     /* day-folder channel number, counted from 0 */
    char szName[396];           /* zero-terminated; empty when unnamed */
    int32_t bEnabled;           /* non-zero when the channel is in use */
    unsigned char reserved[908];
};
static_assert(sizeof(ChannelEntry) == 1312, "ChannelEntry is 1312 bytes");
static_assert(offsetof(ChannelEntry, szName) == 4, "name at offset 4");
static_assert(offsetof(ChannelEntry, bEnabled) == 400, "enabled flag at offset 400");

/* The settings record, passed by value. Channel entry i lies at
 * BROWSE_CHANNEL_OFFSET + 1312 i; entries 0 to 19 have their number, name
 * and flag inside the record, later ones read as unnamed and not enabled.
 * The host's current channel, counted from 1, is the 32-bit integer at
 * BROWSE_CURRENT_CHANNEL_OFFSET (inside the reserved tail of entry 15).
 * Nothing else of the record is read. */
constexpr size_t BROWSE_SETTINGS_BYTES = 25456;
constexpr size_t BROWSE_CHANNEL_OFFSET = 36;
constexpr int BROWSE_CHANNEL_COUNT = 80;
constexpr int BROWSE_CHANNELS_IN_RECORD = 20;
constexpr size_t BROWSE_CURRENT_CHANNEL_OFFSET = 20996;
struct BrowseSettings {
    unsigned char bytes[BROWSE_SETTINGS_BYTES];
};
static_assert(sizeof(BrowseSettings) == BROWSE_SETTINGS_BYTES, "BrowseSettings is 25456 bytes");
static_assert(BROWSE_CHANNEL_OFFSET + sizeof(ChannelEntry) * (BROWSE_CHANNELS_IN_RECORD - 1) +
                      offsetof(ChannelEntry, bEnabled) + 4 <= BROWSE_SETTINGS_BYTES,
              "entry 19's number, name and flag lie in the record");
static_assert(BROWSE_CURRENT_CHANNEL_OFFSET + 4 <= BROWSE_SETTINGS_BYTES, "current channel lies in the record");

#ifdef _WIN32
extern "C" {
/* reserved: not used. path: the album folder. nInitialChannel: the
 * chooser's preselected row when bAllChannels is non-zero. bAllChannels:
 * non-zero to offer all 80 channels instead of the enabled ones. */
void __cdecl SetImageBrowsePath(void* reserved, const char* path, int nInitialChannel, int bAllChannels,
                                BrowseSettings settings);
/* reserved: not used. hostWnd: the window that receives UM_BROWSE_EXIT.
 * Returns non-zero when the browser's thread was started. */
int __cdecl LoadImageBrowse(void* reserved, int hostWnd);
}

/* For hosts that load the library with GetProcAddress. */
using SetImageBrowsePathFn = void(__cdecl*)(void*, const char*, int, int, BrowseSettings);
using LoadImageBrowseFn = int(__cdecl*)(void*, int);
#endif /* _WIN32 */

#endif /* __cplusplus */

#endif /* IMAGEBROWSE_H */
