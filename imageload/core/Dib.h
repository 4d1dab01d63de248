// The picture block every loader produces and every saver takes: a BMP file
// image (14-byte file header, 40-byte information header, a full colour table
// of 2^bits entries for 1, 4 and 8 bits, uncompressed rows bottom row first,
// each padded to 4 bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imageload/block/DibBlock.h"
#include "imageload/core/Status.h"

namespace il {

constexpr uint64_t kMaxPixels = dib::kMaxPixels;

struct Rgba {
    uint8_t r, g, b, a;
};

// Where a decoder's block lives. The DLL hands out global memory, the tests
// and benchmarks a plain buffer; the decoder writes straight into it.
class DibAllocator {
public:
    virtual ~DibAllocator() = default;
    // Returns storage for bytes or null when there is no memory.
    virtual uint8_t* Allocate(size_t bytes) = 0;
};

class VectorAllocator : public DibAllocator {
public:
    uint8_t* Allocate(size_t bytes) override;
    std::vector<uint8_t> block;
};

// Sizes of a picture of a given shape (dib::ShapeFor), checked against
// kMaxPixels and for overflow before anyone allocates.
struct DibLayout : dib::Shape {
    static DibLayout For(uint32_t width, uint32_t height, int bits, uint64_t maxPixels);
    // The same without exceptions: Ok and the layout, or why not.
    static Status TryFor(uint32_t width, uint32_t height, int bits, uint64_t maxPixels, DibLayout& layout);
};

// Allocates the block for a layout, writes both headers and gives access to
// the colour table and to rows counted from the top of the picture.
class DibWriter {
public:
    // Throws CodecError(NoMemory) when the allocator has no room.
    DibWriter(const DibLayout& layout, DibAllocator& allocator);
    // The same without exceptions, for code that runs between libjpeg calls:
    // returns the block with both headers written (colour table zeroed), or null.
    static uint8_t* CreateBlock(const DibLayout& layout, DibAllocator& allocator);

    const DibLayout& Layout() const { return layout_; }
    uint8_t* Row(uint32_t yFromTop) const { return pixels_ + (layout_.height - 1 - yFromTop) * layout_.stride; }
    void SetPaletteEntry(size_t index, Rgba c);
    void SetGreyPalette();
    // Clears the pixel area so that rows a decoder leaves unwritten are
    // defined (palette index 0, or black).
    void ClearPixels();

private:
    DibLayout layout_;
    uint8_t* block_;
    uint8_t* pixels_;
};

// A block handed to a saver, checked by the block rule (dib::ReadShape)
// before any pixel is touched.
class DibView {
public:
    // Fails with NoPicture when the bytes are not a well-formed block.
    DibView(const uint8_t* block, size_t size);

    uint32_t Width() const { return layout_.width; }
    uint32_t Height() const { return layout_.height; }
    int Bits() const { return layout_.bits; }
    size_t Stride() const { return layout_.stride; }
    // The entries a pixel can name: the table, at most 2^bits of it.
    size_t PaletteEntries() const;
    Rgba PaletteEntry(size_t index) const;
    const uint8_t* Row(uint32_t yFromTop) const
    {
        return block_ + layout_.pixelOffset + (layout_.height - 1 - yFromTop) * layout_.stride;
    }
    // Palette index of pixel x of a 1, 4 or 8-bit row.
    uint8_t IndexAt(const uint8_t* row, uint32_t x) const;
    // Any depth, as colour; the fourth byte of a 32-bit pixel is its alpha.
    Rgba PixelAt(const uint8_t* row, uint32_t x) const;
    // Whether a palette picture's table is the grey ramp 0..255.
    bool IsGreyRamp() const;

private:
    dib::Shape layout_;
    const uint8_t* block_;
};

// 5-5-5 components to 8 bits, replicating the high bits so white stays white.
inline uint8_t Expand5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

}  // namespace il
