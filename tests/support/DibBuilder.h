// Picture blocks built for tests, in the layout the picture library writes
// (imageload/block/DibBlock.h). Pure C++: native and Windows tests use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A well-formed block: both headers, a zeroed colour table (2^bits entries
// for 1, 4 and 8 bits), zeroed rows, then extraBytes more zeros. Empty for
// a shape no block can have.
std::vector<std::uint8_t> BlankDib(int width, int height, int bits, std::size_t extraBytes = 0);
// Colour table entry index of such a block, as 0xRRGGBB.
void SetDibColour(std::vector<std::uint8_t>& block, std::size_t index, std::uint32_t rgb);
// Where its rows start (bottom row first).
std::size_t DibPixelOffset(const std::vector<std::uint8_t>& block);
