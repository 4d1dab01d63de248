#include "tests/support/DibBuilder.h"

#include "imageload/block/DibBlock.h"

std::vector<std::uint8_t> BlankDib(int width, int height, int bits, std::size_t extraBytes)
{
    dib::Shape shape;
    if (width <= 0 || height <= 0 ||
        dib::ShapeFor(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), bits, dib::kMaxPixels,
                      &shape) != dib::ShapeError::None)
        return {};
    std::vector<std::uint8_t> block(shape.totalSize + extraBytes, 0);
    dib::WriteHeaders(block.data(), shape);
    return block;
}

void SetDibColour(std::vector<std::uint8_t>& block, std::size_t index, std::uint32_t rgb)
{
    std::uint8_t* entry = block.data() + dib::kColourTableOffset + 4 * index;
    entry[0] = static_cast<std::uint8_t>(rgb);
    entry[1] = static_cast<std::uint8_t>(rgb >> 8);
    entry[2] = static_cast<std::uint8_t>(rgb >> 16);
    entry[3] = 0;
}

std::size_t DibPixelOffset(const std::vector<std::uint8_t>& block)
{
    return dib::ReadU32(block.data() + dib::kPixelOffsetOffset);
}
