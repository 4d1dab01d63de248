// The browser's two entry points (declared in the public ImageBrowse.h and
// exported by name through ImageBrowse.def) and what they share.
#pragma once

#include <cstddef>

#include "ImageBrowse.h"

// Copies a path into a fixed buffer. A null path or one that does not fit
// leaves the buffer empty, so that the album opens in the current directory
// instead of a cut path that could name another folder.
void CopyBrowsePath(char* dest, size_t destBytes, const char* path);
