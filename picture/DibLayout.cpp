#include "DibLayout.h"

namespace dib {

bool IsSupportedBitCount(int bitCount)
{
    switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        return true;
    default:
        return false;
    }
}

std::int64_t RowBytes64(int bitCount, std::int64_t width)
{
    if (width < 0)
        return -1;
    std::int64_t packed;
    switch (bitCount) {
    case 1: packed = (width + 7) / 8; break;
    case 4: packed = (width + 1) / 2; break;
    case 16: packed = 2 * width; break;
    case 24: packed = 3 * width; break;
    case 32: packed = 4 * width; break;
    default: packed = width; break;
    }
    return (packed + 3) / 4 * 4;
}

std::int64_t ColourCount(int bitCount, int planes)
{
    if (bitCount >= 16)
        return 0;
    if (bitCount < 0)
        return -1;
    int exponent = bitCount + (planes > 1 ? planes - 1 : 0);
    if (exponent > 30)
        return -1;
    return std::int64_t{1} << exponent;
}

bool IsWellFormed(const std::uint8_t* block, std::size_t blockBytes)
{
    if (block == nullptr || blockBytes < kHeadersBytes)
        return false;
    if (ReadU32(block + kInfoSizeOffset) != kInfoHeaderBytes)
        return false;
    const std::int64_t width = ReadI32(block + kWidthOffset);
    const std::int64_t height = ReadI32(block + kHeightOffset);
    const int planes = ReadU16(block + kPlanesOffset);
    const int bitCount = ReadU16(block + kBitCountOffset);
    if (width <= 0 || height <= 0 || !IsSupportedBitCount(bitCount))
        return false;
    if (ReadU32(block + kCompressionOffset) != 0)
        return false;
    const std::int64_t colours = ColourCount(bitCount, planes);
    if (colours < 0)
        return false;
    const std::uint64_t headerAndTable = kHeadersBytes + 4 * static_cast<std::uint64_t>(colours);
    if (headerAndTable > blockBytes)
        return false;
    // Divided rather than multiplied: a row of a 2^31-pixel width times a
    // 2^31-row height would not fit in 64 bits.
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(RowBytes64(bitCount, width));
    return static_cast<std::uint64_t>(height) <= (blockBytes - headerAndTable) / rowBytes;
}

}  // namespace dib
