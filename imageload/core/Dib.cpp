#include "Dib.h"

#include <cstring>
#include <new>

namespace il {

namespace {

void Put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

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
    if (!IsBlockBitCount(bits)) return Status::Unsupported;
    if (width == 0 || height == 0) return Status::Corrupt;
    if (width > 0x7fffffffu || height > 0x7fffffffu) return Status::TooLarge;
    uint64_t pixels = static_cast<uint64_t>(width) * height;
    if (pixels > maxPixels || pixels > kMaxPixels) return Status::TooLarge;
    l.width = width;
    l.height = height;
    l.bits = bits;
    l.stride = static_cast<size_t>(((static_cast<uint64_t>(width) * bits + 31) / 32) * 4);
    l.paletteEntries = bits <= 8 ? (size_t{1} << bits) : 0;
    l.pixelOffset = kHeadersSize + 4 * l.paletteEntries;
    l.totalSize = l.pixelOffset + l.stride * height;
    return Status::Ok;
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
    std::memset(h, 0, layout.pixelOffset);
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, static_cast<uint32_t>(layout.totalSize));
    Put32(h + 10, static_cast<uint32_t>(layout.pixelOffset));
    uint8_t* info = h + kFileHeaderSize;
    Put32(info + 0, kInfoHeaderSize);
    Put32(info + 4, layout.width);
    Put32(info + 8, layout.height);
    Put16(info + 12, 1);
    Put16(info + 14, static_cast<uint16_t>(layout.bits));
    Put32(info + 20, static_cast<uint32_t>(layout.stride * layout.height));
    Put32(info + 24, 2835);  // 72 dpi, as most writers put it
    Put32(info + 28, 2835);
    Put32(info + 32, static_cast<uint32_t>(layout.paletteEntries));
    return h;
}

void DibWriter::SetPaletteEntry(size_t index, Rgba c)
{
    if (index >= layout_.paletteEntries) return;
    uint8_t* e = block_ + kHeadersSize + 4 * index;
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
    if (!block || size < kHeadersSize || block[0] != 'B' || block[1] != 'M') Fail(Status::NoPicture);
    const uint8_t* info = block + kFileHeaderSize;
    int32_t width = static_cast<int32_t>(Get32(info + 4));
    int32_t height = static_cast<int32_t>(Get32(info + 8));
    int bits = Get16(info + 14);
    if (Get32(info) != kInfoHeaderSize || width <= 0 || height <= 0 || Get16(info + 12) != 1 ||
        !IsBlockBitCount(bits) || Get32(info + 16) != 0)
        Fail(Status::NoPicture);
    try {
        layout_ = DibLayout::For(static_cast<uint32_t>(width), static_cast<uint32_t>(height), bits, kMaxPixels);
    } catch (const CodecError&) {
        Fail(Status::NoPicture);
    }
    if (size < layout_.totalSize) Fail(Status::NoPicture);
}

Rgba DibView::PaletteEntry(size_t index) const
{
    const uint8_t* e = block_ + kHeadersSize + 4 * index;
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
        unsigned v = Get16(row + 2 * x);
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
