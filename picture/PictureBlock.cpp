#include "picture/PictureBlock.h"

#include "ImageLoad.h"
#include "imageload/block/DibBlock.h"
#include "picture/NearestResample.h"
#include "picture/Picture.h"

#include <cstdint>
#include <cstring>

namespace picture {

namespace {

// Largest block a resize asks for: every size and offset then fits a signed
// 32-bit int, and so does the header's pixel data size field.
constexpr std::uint64_t kMaxBlockBytes = 0x7FFFFFFF;

// Headers, colour table and rows of a new block, or 0 when the block would
// not fit kMaxBlockBytes. Divides instead of multiplying so that no product
// of a huge width and height overflows.
std::uint64_t ResizedBlockBytes(int bitCount, int colours, int width, int height)
{
    const std::uint64_t fixed = dib::kHeadersBytes + 4 * static_cast<std::uint64_t>(colours);
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(dib::RowBytes64(bitCount, width));
    if (fixed > kMaxBlockBytes)
        return 0;
    if (height > 0 && rowBytes > (kMaxBlockBytes - fixed) / static_cast<std::uint64_t>(height))
        return 0;
    return fixed + rowBytes * static_cast<std::uint64_t>(height);
}

HGLOBAL CallLoader(int fileType, const char* path)
{
    switch (fileType) {
    case IL_TYPE_BMP: return LoadBMP(path);
    case IL_TYPE_GIF: return LoadGIF(path);
    case IL_TYPE_PCX: return LoadPCX(path);
    case IL_TYPE_TGA: return LoadTGA(path);
    case IL_TYPE_JPG: return LoadJPG(path);
    case IL_TYPE_TIF: return LoadTIF(path);
    default: return nullptr;
    }
}

// Drawing and resampling trust the header's sizes, so a block that claims
// more than it holds is refused before anything reads its pixels. A block
// that cannot be locked is let through: every later operation stops at the
// lock, so nothing can be read from it.
bool HoldsWellFormedBlock(HGLOBAL block)
{
    const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(block));
    if (bytes == nullptr)
        return true;
    const bool wellFormed = dib::IsWellFormed(bytes, GlobalSize(block));
    GlobalUnlock(block);
    return wellFormed;
}

}  // namespace

HGLOBAL LoadBlock(const char* path, int* fileType, int* status)
{
    *fileType = FileType(path);
    return LoadBlockOfType(*fileType, path, status);
}

HGLOBAL LoadBlockOfType(int fileType, const char* path, int* status)
{
    // A number outside the table names no loader: the file is as
    // unrecognised as with 0.
    if (fileType < IL_TYPE_BMP || fileType > IL_TYPE_TIF) {
        *status = PIC_ERR_FILE_TYPE;
        return nullptr;
    }
    HGLOBAL block = CallLoader(fileType, path);
    if (block == nullptr) {
        *status = GetLastPicLibError();
        return nullptr;
    }
    if (!HoldsWellFormedBlock(block)) {
        GlobalFree(block);
        *status = PIC_ERR_LAYOUT;
        return nullptr;
    }
    *status = PIC_OK;
    return block;
}

Facts ReadFacts(const BYTE* block)
{
    Facts facts;
    facts.width = dib::ReadI32(block + dib::kWidthOffset);
    facts.height = dib::ReadI32(block + dib::kHeightOffset);
    facts.planes = dib::ReadU16(block + dib::kPlanesOffset);
    facts.bitCount = dib::ReadU16(block + dib::kBitCountOffset);
    facts.colours = static_cast<int>(dib::ColourCount(facts.bitCount, facts.planes));
    return facts;
}

int PaletteBytes(const Facts& facts)
{
    return facts.bitCount <= 8 ? 4 * facts.colours : 0;
}

HGLOBAL ResizedBlock(const BYTE* old, int newWidth, int newHeight, int* status)
{
    const Facts facts = ReadFacts(old);
    *status = PIC_ERR_ALLOC;
    const std::uint64_t blockBytes = ResizedBlockBytes(facts.bitCount, facts.colours, newWidth, newHeight);
    HGLOBAL block = blockBytes == 0 ? nullptr
        : GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(blockBytes));
    if (block == nullptr)
        return nullptr;
    *status = PIC_ERR_LOCK;
    BYTE* fresh = static_cast<BYTE*>(GlobalLock(block));
    if (fresh == nullptr) {
        GlobalFree(block);
        return nullptr;
    }

    const std::size_t tableBytes = 4 * static_cast<std::size_t>(facts.colours);
    const std::size_t newRowBytes = static_cast<std::size_t>(dib::RowBytes64(facts.bitCount, newWidth));
    std::memcpy(fresh, old, dib::kHeadersBytes + tableBytes);
    dib::WriteI32(fresh + dib::kWidthOffset, newWidth);
    dib::WriteI32(fresh + dib::kHeightOffset, newHeight);
    dib::WriteU32(fresh + dib::kImageSizeOffset, static_cast<std::uint32_t>(newRowBytes * newHeight));

    // The source's own header gives its size and so its stride: the block
    // was checked against that header at load (or written by this code).
    const dib::SourceRows source{
        old + dib::kHeadersBytes + tableBytes,
        static_cast<std::size_t>(dib::RowBytes64(facts.bitCount, facts.width < 0 ? 0 : facts.width)),
        facts.width, facts.height};
    const dib::TargetRows target{fresh + dib::kHeadersBytes + tableBytes, newRowBytes, newWidth, newHeight};
    dib::ResampleNearest(source, target, facts.bitCount);

    GlobalUnlock(block);
    *status = PIC_OK;
    return block;
}

HGLOBAL WidenedTo32Bits(const BYTE* old)
{
    const Facts facts = ReadFacts(old);
    if (facts.bitCount != 24)
        return nullptr;
    const std::uint64_t blockBytes = ResizedBlockBytes(32, 0, facts.width, facts.height);
    HGLOBAL block = blockBytes == 0 ? nullptr : GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(blockBytes));
    BYTE* fresh = block != nullptr ? static_cast<BYTE*>(GlobalLock(block)) : nullptr;
    if (fresh == nullptr) {
        if (block != nullptr)
            GlobalFree(block);
        return nullptr;
    }
    const std::size_t oldStride = static_cast<std::size_t>(dib::RowBytes64(24, facts.width));
    const std::size_t newStride = static_cast<std::size_t>(dib::RowBytes64(32, facts.width));
    std::memcpy(fresh, old, dib::kHeadersBytes);
    dib::WriteU16(fresh + dib::kBitCountOffset, 32);
    dib::WriteU32(fresh + dib::kImageSizeOffset, static_cast<std::uint32_t>(newStride * facts.height));
    dib::WriteU32(fresh + dib::kColoursUsedOffset, 0);
    for (int y = 0; y < facts.height; ++y) {
        const BYTE* from = old + dib::kHeadersBytes + oldStride * y;
        BYTE* to = fresh + dib::kHeadersBytes + newStride * y;
        for (int x = 0; x < facts.width; ++x, from += 3, to += 4) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = 0;
        }
    }
    GlobalUnlock(block);
    return block;
}

int DrawBlock(HDC dc, const BYTE* block, int x, int y)
{
    const Facts facts = ReadFacts(block);
    return StretchDIBits(dc, x, y, facts.width, facts.height, 0, 0, facts.width, facts.height,
                         block + dib::kHeadersBytes + PaletteBytes(facts),
                         reinterpret_cast<const BITMAPINFO*>(block + dib::kFileHeaderBytes), DIB_RGB_COLORS,
                         SRCCOPY);
}

}  // namespace picture
