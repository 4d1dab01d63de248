// Module globals written by the two exports and read by the browser thread.
#pragma once

#include <windows.h>

#include "BrowseSettings.h"
#include "resource.h"

constexpr WPARAM BROWSE_EXIT_WPARAM = 3;    // with UM_BROWSE_EXIT
constexpr size_t BROWSE_PATH_BYTES = 260;

extern char g_szBrowsePath[BROWSE_PATH_BYTES];
extern int g_nInitialChannel;
extern int g_bAllChannels;
extern SettingsArea g_settings;
extern HWND g_hHostWnd;
extern HINSTANCE g_hModule;                 // this library: every resource is loaded from it

// Tells the host that the browser has ended or failed to start.
void PostBrowseExit();
