// Nearest-neighbour resampling of stored pixel rows (bottom row first).
// Row i of the target counted from the top shows source row (H * i) / h,
// column j shows source column (W * j) / w; both divisions truncate, so the
// top-left target pixel always comes from the top-left source pixel.
// Palette indices and whole pixels are copied, never blended.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dib {

struct SourceRows {
    const std::uint8_t* base;  // first stored row (the bottom one)
    std::size_t stride;        // at least RowBytes64(bitCount, width)
    int width;
    int height;
};

struct TargetRows {
    std::uint8_t* base;  // zero-filled: 1- and 4-bit pixels are OR-ed in
    std::size_t stride;
    int width;
    int height;
};

// Fills the target by the rule above for 1, 4, 8, 16, 24 and 32 bits per
// pixel; other bit counts, and a source without pixels, leave it zero.
// Products W * j and H * i are formed in 64 bits.
void ResampleNearest(const SourceRows& source, const TargetRows& target, int bitCount);

// The same rule transcribed pixel by pixel, one multiplication and one
// division per row and per pixel. It is the yardstick the fast version is
// measured and checked against, and its fallback when the column table
// cannot be allocated.
void ResampleNearestPlain(const SourceRows& source, const TargetRows& target, int bitCount);

}  // namespace dib
