// The album's messages from the module's string table, in the language the
// resources were chosen in.
#pragma once

#include <windows.h>

#include <string>

// The string with "%s", if any, replaced by text and "%d", if any, by
// number; no fixed buffer holds the result, so long paths are shown whole.
std::string MessageWith(UINT id, const std::string& text = std::string(), int number = 0);
