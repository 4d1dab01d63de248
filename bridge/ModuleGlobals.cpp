#include "bridge/ModuleGlobals.h"

char g_szBrowsePath[BROWSE_PATH_BYTES];
int g_nInitialChannel;
int g_bAllChannels;
SettingsArea g_settings;
HWND g_hHostWnd;
CAlbumView* g_pAlbumView;

void PostBrowseExit()
{
    PostMessageA(g_hHostWnd, UM_BROWSE_EXIT, BROWSE_EXIT_WPARAM, 0);
}
