// Module globals: written by the two exports (and the frame) and read by
// the browser thread. The lowest layer of the browser: everything else of
// it may use these, and they use nothing of it.
#pragma once

#include <windows.h>

#include "bridge/SettingsArea.h"

class CAlbumView;

constexpr size_t BROWSE_PATH_BYTES = BROWSE_PATH_MAX + 1;

extern char g_szBrowsePath[BROWSE_PATH_BYTES];
extern int g_nInitialChannel;
extern int g_bAllChannels;
extern SettingsArea g_settings;
extern HWND g_hHostWnd;
// The one album view, set when the frame creates it; never cleared, and
// not to be used once the host has been told of the end.
extern CAlbumView* g_pAlbumView;

// Tells the host that the browser has ended or failed to start.
void PostBrowseExit();
