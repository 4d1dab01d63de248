// Small BMP files of one colour, written byte by byte, for tests that need
// real pictures of known size and depth.
#pragma once

#include <windows.h>

#include <string>

// bits: 1, 8 or 24. Palette pictures use colour index 1 everywhere, whose
// table entry is the given colour (index 0 is black).
bool WriteSolidBmp(const std::string& path, int width, int height, int bits, COLORREF colour);
