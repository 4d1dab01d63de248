#include "tests/support/ResizedBlock.h"

#include <cstring>

#include "imageload/block/DibBlock.h"
#include "picture/NearestResample.h"

std::vector<std::uint8_t> ResizedLikeThePicture(const std::uint8_t* block, std::size_t size, int width, int height)
{
    const int oldWidth = dib::ReadI32(block + dib::kWidthOffset);
    const int oldHeight = dib::ReadI32(block + dib::kHeightOffset);
    if (width == oldWidth && height == oldHeight)
        return std::vector<std::uint8_t>(block, block + size);
    const int bits = dib::ReadU16(block + dib::kBitCountOffset);
    const std::size_t tableBytes = 4 * static_cast<std::size_t>(dib::ColourCount(bits, dib::ReadU16(block + dib::kPlanesOffset)));
    const std::size_t rowBytes = static_cast<std::size_t>(dib::RowBytes64(bits, width));
    std::vector<std::uint8_t> fresh(dib::kHeadersBytes + tableBytes + rowBytes * static_cast<std::size_t>(height), 0);
    std::memcpy(fresh.data(), block, dib::kHeadersBytes + tableBytes);
    dib::WriteI32(fresh.data() + dib::kWidthOffset, width);
    dib::WriteI32(fresh.data() + dib::kHeightOffset, height);
    dib::WriteU32(fresh.data() + dib::kImageSizeOffset, static_cast<std::uint32_t>(rowBytes * height));
    const dib::SourceRows source{block + dib::kHeadersBytes + tableBytes,
                                 static_cast<std::size_t>(dib::RowBytes64(bits, oldWidth)), oldWidth, oldHeight};
    const dib::TargetRows target{fresh.data() + dib::kHeadersBytes + tableBytes, rowBytes, width, height};
    dib::ResampleNearest(source, target, bits);
    return fresh;
}
