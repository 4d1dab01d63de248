/* ImageBrowse: the snapshot-album browser that a host program loads. This
 * header is all a host needs: the settings record it hands over, the two
 * entry points and the message it receives when the browser ends.
 *
 * Use, from the host's user-interface thread:
 *   1. SetImageBrowsePath(NULL, folder, initialChannel, allChannels, record)
 *   2. LoadImageBrowse(NULL, (int)(INT_PTR)hostWindow) returns at once; the browser
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
 * GetProcAddress finds them by name, in the 32-bit and the 64-bit library
 * alike. Ship ImageBrowse.dll with ImageLoad.dll of the same architecture
 * beside it. Strings are 8-bit, in the system code page. The header
 * compiles as C (C99 and later) and as C++. */
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

/* The record's layout: the same in 32-bit and 64-bit processes (it holds
 * no pointers). Channel entry i lies at BROWSE_CHANNEL_OFFSET + 1312 i;
 * entries 0 to 19 have their number, name and flag inside the record,
 * later ones read as unnamed and not enabled. The host's current channel,
 * counted from 1, is the 32-bit integer at BROWSE_CURRENT_CHANNEL_OFFSET
 * (inside the reserved tail of entry 15). Nothing else of the record is
 * read. */
#define BROWSE_SETTINGS_BYTES 25456
#define BROWSE_CHANNEL_OFFSET 36
#define BROWSE_CHANNEL_COUNT 80
#define BROWSE_CHANNELS_IN_RECORD 20
#define BROWSE_CURRENT_CHANNEL_OFFSET 20996

/* One camera channel as the host describes it (1312 bytes). */
typedef struct ChannelEntry {
    int32_t nFolderChannel;     /* day-folder channel number, counted from 0 */
    char szName[396];           /* zero-terminated; empty when unnamed */
    int32_t bEnabled;           /* non-zero when the channel is in use */
    unsigned char reserved[908];
} ChannelEntry;

/* The settings record, passed by value. */
typedef struct BrowseSettings {
    unsigned char bytes[BROWSE_SETTINGS_BYTES];
} BrowseSettings;

/* The layout checked when the header is compiled, in C and in C++. */
#if defined(__cplusplus)
#define BROWSE_LAYOUT_CHECK(condition, name) static_assert(condition, #name)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define BROWSE_LAYOUT_CHECK(condition, name) _Static_assert(condition, #name)
#else
#define BROWSE_LAYOUT_CHECK(condition, name) typedef char browse_layout_##name[(condition) ? 1 : -1]
#endif
BROWSE_LAYOUT_CHECK(sizeof(ChannelEntry) == 1312, channel_entry_is_1312_bytes);
BROWSE_LAYOUT_CHECK(offsetof(ChannelEntry, szName) == 4, channel_name_at_4);
BROWSE_LAYOUT_CHECK(offsetof(ChannelEntry, bEnabled) == 400, channel_flag_at_400);
BROWSE_LAYOUT_CHECK(sizeof(BrowseSettings) == BROWSE_SETTINGS_BYTES, record_is_25456_bytes);
BROWSE_LAYOUT_CHECK(BROWSE_CHANNEL_OFFSET + 1312 * (BROWSE_CHANNELS_IN_RECORD - 1) + 400 + 4 <= BROWSE_SETTINGS_BYTES,
                    entry_19_lies_in_the_record);
BROWSE_LAYOUT_CHECK(BROWSE_CURRENT_CHANNEL_OFFSET + 4 <= BROWSE_SETTINGS_BYTES, current_channel_lies_in_the_record);
#undef BROWSE_LAYOUT_CHECK

#ifdef _WIN32
#ifdef __cplusplus
extern "C" {
#endif
/* reserved: not used. path: the album folder. nInitialChannel: the
 * chooser's preselected row when bAllChannels is non-zero. bAllChannels:
 * non-zero to offer all 80 channels instead of the enabled ones. */
void __cdecl SetImageBrowsePath(void* reserved, const char* path, int nInitialChannel, int bAllChannels,
                                BrowseSettings settings);
/* reserved: not used. hostWnd: the window that receives UM_BROWSE_EXIT,
 * as (int)(INT_PTR)hwnd (a window handle keeps its meaning in 32 bits in a
 * 64-bit process too). Returns non-zero when the browser's thread was
 * started. */
int __cdecl LoadImageBrowse(void* reserved, int hostWnd);
#ifdef __cplusplus
}
#endif

/* For hosts that load the library with GetProcAddress. */
typedef void(__cdecl* SetImageBrowsePathFn)(void*, const char*, int, int, BrowseSettings);
typedef int(__cdecl* LoadImageBrowseFn)(void*, int);
#endif /* _WIN32 */

#endif /* IMAGEBROWSE_H */
