#include "imageload/block/DibBlock.h"

#include <cstring>

namespace dib {

namespace {
// 72 dots per inch, as most writers put it.
constexpr std::uint32_t kPixelsPerMetre = 2835;
}  // namespace

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

ShapeError ShapeFor(std::uint32_t width, std::uint32_t height, int bits, std::uint64_t maxPixels, Shape* shape)
{
    if (!IsSupportedBitCount(bits))
        return ShapeError::BitCount;
    if (width == 0 || height == 0)
        return ShapeError::Empty;
    if (width > 0x7fffffffu || height > 0x7fffffffu)
        return ShapeError::TooLarge;
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
    if (pixels > maxPixels || pixels > kMaxPixels)
        return ShapeError::TooLarge;
    shape->width = width;
    shape->height = height;
    shape->bits = bits;
    shape->stride = static_cast<std::size_t>(RowBytes64(bits, width));
    shape->paletteEntries = static_cast<std::size_t>(ColourCount(bits, 1));
    shape->pixelOffset = kHeadersBytes + 4 * shape->paletteEntries;
    shape->totalSize = shape->pixelOffset + shape->stride * height;
    return ShapeError::None;
}

bool ReadShape(const std::uint8_t* block, std::size_t blockBytes, Shape* shape)
{
    if (block == nullptr || blockBytes < kHeadersBytes || block[0] != 'B' || block[1] != 'M')
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
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPixels)
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
    if (static_cast<std::uint64_t>(height) > (blockBytes - headerAndTable) / rowBytes)
        return false;
    shape->width = static_cast<std::uint32_t>(width);
    shape->height = static_cast<std::uint32_t>(height);
    shape->bits = bitCount;
    shape->stride = static_cast<std::size_t>(rowBytes);
    shape->paletteEntries = static_cast<std::size_t>(colours);
    shape->pixelOffset = static_cast<std::size_t>(headerAndTable);
    shape->totalSize = static_cast<std::size_t>(headerAndTable + rowBytes * static_cast<std::uint64_t>(height));
    return true;
}

bool IsWellFormed(const std::uint8_t* block, std::size_t blockBytes)
{
    Shape shape;
    return ReadShape(block, blockBytes, &shape);
}

void WriteHeaders(std::uint8_t* block, const Shape& shape)
{
    std::memset(block, 0, shape.pixelOffset);
    block[0] = 'B';
    block[1] = 'M';
    WriteU32(block + kFileSizeOffset, static_cast<std::uint32_t>(shape.totalSize));
    WriteU32(block + kPixelOffsetOffset, static_cast<std::uint32_t>(shape.pixelOffset));
    WriteU32(block + kInfoSizeOffset, kInfoHeaderBytes);
    WriteU32(block + kWidthOffset, shape.width);
    WriteU32(block + kHeightOffset, shape.height);
    WriteU16(block + kPlanesOffset, 1);
    WriteU16(block + kBitCountOffset, static_cast<std::uint16_t>(shape.bits));
    WriteU32(block + kImageSizeOffset, static_cast<std::uint32_t>(shape.stride * shape.height));
    WriteU32(block + kXResolutionOffset, kPixelsPerMetre);
    WriteU32(block + kYResolutionOffset, kPixelsPerMetre);
    WriteU32(block + kColoursUsedOffset, static_cast<std::uint32_t>(shape.paletteEntries));
}

}  // namespace dib
