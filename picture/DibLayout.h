// The in-memory picture block: a BMP file image (14-byte file header,
// 40-byte information header, colour table, pixel rows bottom row first,
// each row padded to 4 bytes). Offsets, little-endian field access and the
// checks that make a block safe to draw and resample. Pure C++: it builds
// natively so that the sanitizers see it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dib {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kHeadersBytes = kFileHeaderBytes + kInfoHeaderBytes;

constexpr std::size_t kFileSizeOffset = 2;
constexpr std::size_t kInfoSizeOffset = 14;
constexpr std::size_t kWidthOffset = 18;
constexpr std::size_t kHeightOffset = 22;
constexpr std::size_t kPlanesOffset = 26;
constexpr std::size_t kBitCountOffset = 28;
constexpr std::size_t kCompressionOffset = 30;
constexpr std::size_t kImageSizeOffset = 34;
constexpr std::size_t kColourTableOffset = kHeadersBytes;

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

// The bit counts whose rows the sampling rule knows how to copy.
bool IsSupportedBitCount(int bitCount);

// Bytes of one stored row: the packed pixels rounded up to a multiple of 4.
// Bit counts other than 1, 4, 16, 24 and 32 count one byte per pixel.
// Computed in 64 bits so that no width overflows; negative widths give -1.
std::int64_t RowBytes64(int bitCount, std::int64_t width);

// Colour count from bit count and planes: 2^bits, times 2^(planes-1) when
// planes > 1, and 0 for 16 bits or more. -1 when it would not fit in an int.
std::int64_t ColourCount(int bitCount, int planes);

// Whether a block of blockBytes bytes is a picture that can be drawn and
// resampled without reading outside it: a 40-byte information header,
// positive width and height, a supported bit count, no compression, and
// room for the headers, the colour table and every pixel row.
bool IsWellFormed(const std::uint8_t* block, std::size_t blockBytes);

}  // namespace dib
