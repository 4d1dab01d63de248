// The picture block that the picture library hands out and takes, and that
// the browser's picture object reads: a BMP file image in memory (14-byte
// file header, 40-byte information header, colour table, pixel rows bottom
// row first, each padded to 4 bytes). Its offsets, little-endian access,
// row and table sizes computed without overflow, the size limit, and the
// one rule of what a well-formed block is. Pure C++: both libraries and
// the native tests build it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dib {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kHeadersBytes = kFileHeaderBytes + kInfoHeaderBytes;

constexpr std::size_t kFileSizeOffset = 2;
constexpr std::size_t kPixelOffsetOffset = 10;
constexpr std::size_t kInfoSizeOffset = 14;
constexpr std::size_t kWidthOffset = 18;
constexpr std::size_t kHeightOffset = 22;
constexpr std::size_t kPlanesOffset = 26;
constexpr std::size_t kBitCountOffset = 28;
constexpr std::size_t kCompressionOffset = 30;
constexpr std::size_t kImageSizeOffset = 34;
constexpr std::size_t kXResolutionOffset = 38;
constexpr std::size_t kYResolutionOffset = 42;
constexpr std::size_t kColoursUsedOffset = 46;
constexpr std::size_t kColourTableOffset = kHeadersBytes;

// Pictures above this many pixels are refused before anything is allocated:
// width x height x 4 stays within 256 MiB, which a 32-bit process can hold.
constexpr std::uint64_t kMaxPixels = 64ull * 1024 * 1024;

inline std::uint16_t ReadU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t ReadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t ReadI32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(ReadU32(p));
}

inline void WriteU16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void WriteU32(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
    p[3] = static_cast<std::uint8_t>(value >> 24);
}

inline void WriteI32(std::uint8_t* p, std::int32_t value)
{
    WriteU32(p, static_cast<std::uint32_t>(value));
}

// The bit counts a block may have: 1, 4, 8, 16, 24 and 32.
bool IsSupportedBitCount(int bitCount);

// Bytes of one stored row: the packed pixels rounded up to a multiple of 4.
// Bit counts other than 1, 4, 16, 24 and 32 count one byte per pixel.
// Computed in 64 bits so that no width overflows; negative widths give -1.
std::int64_t RowBytes64(int bitCount, std::int64_t width);

// Colour count from bit count and planes: 2^bits, times 2^(planes-1) when
// planes > 1, and 0 for 16 bits or more. -1 when it would not fit in an int.
std::int64_t ColourCount(int bitCount, int planes);

// The sizes of a picture in a block.
struct Shape {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bits = 0;
    std::size_t stride = 0;             // bytes per row
    std::size_t paletteEntries = 0;     // colour table entries
    std::size_t pixelOffset = 0;        // where the rows start
    std::size_t totalSize = 0;          // headers, table and rows
};

// Why a shape cannot be made.
enum class ShapeError { None, BitCount, Empty, TooLarge };

// The shape of a new picture of one plane, with a full table of 2^bits
// entries for 1, 4 and 8 bits; refused when a side is 0, over 2^31 - 1, or
// the pixels are more than maxPixels or kMaxPixels.
ShapeError ShapeFor(std::uint32_t width, std::uint32_t height, int bits, std::uint64_t maxPixels, Shape* shape);

// The one rule of a well-formed block of blockBytes bytes, which is what
// the library writes and what may be drawn, resampled and saved without
// reading outside it: "BM", a 40-byte information header, a width and a
// height above 0, a supported bit count, no compression, at most kMaxPixels
// pixels, and room for the headers, the colour table (ColourCount entries)
// and every row. Fills *shape when it holds.
bool ReadShape(const std::uint8_t* block, std::size_t blockBytes, Shape* shape);
bool IsWellFormed(const std::uint8_t* block, std::size_t blockBytes);

// Writes both headers of a block of the shape (resolution 72 dpi, colours
// used = table entries) and zeroes its colour table.
void WriteHeaders(std::uint8_t* block, const Shape& shape);

}  // namespace dib
