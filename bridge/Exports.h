// The browser's two entry points, exported by name with the C calling
// convention.
#pragma once

#include "BrowseSettings.h"

extern "C" {
__declspec(dllexport) void __cdecl SetImageBrowsePath(void* reserved, const char* path,
                                                      int nInitialChannel, int bAllChannels,
                                                      BrowseSettings settings);
__declspec(dllexport) int __cdecl LoadImageBrowse(void* reserved, int hostWnd);
}

// Copies a path into a fixed buffer. A null path or one that does not fit
// leaves the buffer empty, so that the album opens in the current directory
// instead of a cut path that could name another folder.
void CopyBrowsePath(char* dest, size_t destBytes, const char* path);
