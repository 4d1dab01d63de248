// The fills of the album's cells as they are painted, for tests that read
// the screen or a printed page back.
#pragma once

#include <windows.h>

constexpr COLORREF kCellFill = RGB(166, 202, 240);
constexpr COLORREF kSelectedCellFill = RGB(202, 224, 184);

inline bool IsCellFill(COLORREF colour)
{
    return colour == kCellFill || colour == kSelectedCellFill;
}
