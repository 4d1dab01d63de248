// What the picture object's Resize (picture/Picture.cpp) makes of a block:
// headers and colour table copied, width, height and pixel data size
// rewritten, rows zeroed and filled by the resampling kernel; the block
// unchanged when the size is its own. Pure C++, for the tests, benchmarks
// and fuzz targets that hold the picture library's fitted decode to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

std::vector<std::uint8_t> ResizedLikeThePicture(const std::uint8_t* block, std::size_t size, int width, int height);
