#include "imageload/core/Dib.h"

#include <cstring>
#include <new>

namespace il {

uint8_t* VectorAllocator::Allocate(size_t bytes)
{
    try {
        block.assign(bytes, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return block.data();
}

DibLayout DibLayout::For(uint32_t width, uint32_t height, int bits, uint64_t maxPixels)
{
    DibLayout l;
    Status s = TryFor(width, height, bits, maxPixels, l);
    if (s != Status::Ok) Fail(s);
    return l;
}

Status DibLayout::TryFor(uint32_t width, uint32_t height, int bits, uint64_t maxPixels, DibLayout& l)
{
    switch (dib::ShapeFor(width, height, bits, maxPixels, &l)) {
    case dib::ShapeError::None:
        return Status::Ok;
    case dib::ShapeError::BitCount:
        return Status::Unsupported;
    case dib::ShapeError::Empty:
        return Status::Corrupt;
    case dib::ShapeError::TooLarge:
        break;
    }
    return Status::TooLarge;
}

DibWriter::DibWriter(const DibLayout& layout, DibAllocator& allocator) : layout_(layout)
{
    block_ = CreateBlock(layout, allocator);
    if (!block_) Fail(Status::NoMemory);
    pixels_ = block_ + layout.pixelOffset;
}

uint8_t* DibWriter::CreateBlock(const DibLayout& layout, DibAllocator& allocator)
{
    uint8_t* h = allocator.Allocate(layout.totalSize);
    if (!h) return nullptr;
    dib::WriteHeaders(h, layout);
    return h;
}

void DibWriter::SetPaletteEntry(size_t index, Rgba c)
{
    if (index >= layout_.paletteEntries) return;
    uint8_t* e = block_ + dib::kColourTableOffset + 4 * index;
    e[0] = c.b;
    e[1] = c.g;
    e[2] = c.r;
    e[3] = 0;
}

void DibWriter::SetGreyPalette()
{
    size_t n = layout_.paletteEntries;
    for (size_t i = 0; i < n; ++i) {
        uint8_t v = static_cast<uint8_t>(n > 1 ? i * 255 / (n - 1) : 0);
        SetPaletteEntry(i, {v, v, v, 0});
    }
}

void DibWriter::ClearPixels() { std::memset(pixels_, 0, layout_.stride * layout_.height); }

DibView::DibView(const uint8_t* block, size_t size) : block_(block)
{
    if (!dib::ReadShape(block, size, &layout_)) Fail(Status::NoPicture);
}

size_t DibView::PaletteEntries() const
{
    const size_t named = layout_.bits <= 8 ? (size_t{1} << layout_.bits) : 0;
    return layout_.paletteEntries < named ? layout_.paletteEntries : named;
}

Rgba DibView::PaletteEntry(size_t index) const
{
    const uint8_t* e = block_ + dib::kColourTableOffset + 4 * index;
    return {e[2], e[1], e[0], 255};
}

uint8_t DibView::IndexAt(const uint8_t* row, uint32_t x) const
{
    switch (layout_.bits) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0f) : (row[x >> 1] >> 4);
    default:
        return row[x];
    }
}

Rgba DibView::PixelAt(const uint8_t* row, uint32_t x) const
{
    switch (layout_.bits) {
    case 16: {
        unsigned v = dib::ReadU16(row + 2 * x);
        return {Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), 255};
    }
    case 24:
        return {row[3 * x + 2], row[3 * x + 1], row[3 * x], 255};
    case 32:
        return {row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]};
    default:
        return PaletteEntry(IndexAt(row, x));
    }
}

bool DibView::IsGreyRamp() const
{
    if (layout_.bits != 8) return false;
    for (size_t i = 0; i < 256; ++i) {
        Rgba c = PaletteEntry(i);
        if (c.r != i || c.g != i || c.b != i) return false;
    }
    return true;
}

}  // namespace il
