// TGA: colour-mapped, true-colour and grey pictures, raw or run-length coded,
// in any of the four row and column orders.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imageload/core/ByteReader.h"
#include "imageload/core/ByteWriter.h"
#include "imageload/core/Codecs.h"

namespace il {

namespace {

enum TgaType { kMapped = 1, kTrueColor = 2, kGrey = 3, kRleFlag = 8 };

struct TgaHeader {
    uint8_t idLength = 0;
    uint8_t mapType = 0;
    uint8_t type = 0;
    uint16_t mapFirst = 0;
    uint16_t mapLength = 0;
    uint8_t mapEntryBits = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t depth = 0;
    uint8_t descriptor = 0;

    int BaseType() const { return type & ~kRleFlag; }
    bool Rle() const { return (type & kRleFlag) != 0; }
    bool RightToLeft() const { return (descriptor & 0x10) != 0; }
    bool TopToBottom() const { return (descriptor & 0x20) != 0; }
};

TgaHeader ReadHeader(ByteReader& r)
{
    TgaHeader h;
    h.idLength = r.U8();
    h.mapType = r.U8();
    h.type = r.U8();
    h.mapFirst = r.U16();
    h.mapLength = r.U16();
    h.mapEntryBits = r.U8();
    r.Skip(4);
    h.width = r.U16();
    h.height = r.U16();
    h.depth = r.U8();
    h.descriptor = r.U8();
    return h;
}

bool PlausibleHeader(const TgaHeader& h)
{
    int base = h.BaseType();
    if (base < kMapped || base > kGrey || (h.type & ~(kRleFlag | 3)) != 0) return false;
    if (h.mapType > 1 || h.width == 0 || h.height == 0) return false;
    if (h.descriptor & 0xc0) return false;
    switch (base) {
    case kMapped:
        return h.mapType == 1 && (h.depth == 8 || h.depth == 16) && h.mapLength > 0 &&
               (h.mapEntryBits == 15 || h.mapEntryBits == 16 || h.mapEntryBits == 24 || h.mapEntryBits == 32);
    case kTrueColor:
        return h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    default:
        return h.depth == 8 || h.depth == 16;
    }
}

Rgba ReadColor(const uint8_t* p, int bits)
{
    if (bits <= 16) {
        unsigned v = p[0] | (p[1] << 8);
        return {Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), 255};
    }
    return {p[2], p[1], p[0], static_cast<uint8_t>(bits == 32 ? p[3] : 255)};
}

// Depth of the block: a colour map of up to 2 or 16 entries keeps its small
// depth; grey+alpha pictures keep only the grey.
int OutputBits(const TgaHeader& h)
{
    switch (h.BaseType()) {
    case kMapped: {
        unsigned entries = static_cast<unsigned>(h.mapFirst) + h.mapLength;
        if (h.depth != 8) Fail(Status::Unsupported);
        return entries <= 2 ? 1 : entries <= 16 ? 4 : 8;
    }
    case kTrueColor:
        return h.depth == 15 ? 16 : h.depth;
    default:
        return 8;
    }
}

// Hands out the file's pixels a row at a time in file order: raw rows
// straight from the file, run-length rows decoded into a line of their own
// (a packet may run on into the next row).
class RowSource {
public:
    RowSource(ByteReader& r, size_t pixelBytes, uint32_t width, bool rle)
        : r_(r), bytes_(pixelBytes), rowBytes_(pixelBytes * width), rle_(rle)
    {
        if (rle_) line_.resize(rowBytes_);
    }

    const uint8_t* Next()
    {
        if (!rle_) return r_.Take(rowBytes_);
        size_t filled = 0;
        while (filled < rowBytes_) {
            if (!count_) {
                const uint8_t packet = r_.U8();
                count_ = (packet & 0x7f) + 1u;
                repeat_ = (packet & 0x80) != 0;
                if (repeat_) current_ = r_.Take(bytes_);
            }
            const size_t n = std::min<size_t>(count_, (rowBytes_ - filled) / bytes_);
            uint8_t* to = line_.data() + filled;
            if (repeat_) {
                for (size_t k = 0; k < n; ++k) std::memcpy(to + k * bytes_, current_, bytes_);
            } else {
                std::memcpy(to, r_.Take(n * bytes_), n * bytes_);
            }
            filled += n * bytes_;
            count_ -= static_cast<unsigned>(n);
        }
        return line_.data();
    }

private:
    ByteReader& r_;
    size_t bytes_;
    size_t rowBytes_;
    bool rle_;
    std::vector<uint8_t> line_;
    unsigned count_ = 0;
    bool repeat_ = false;
    const uint8_t* current_ = nullptr;
};

// One row of file pixels into the block's row, left to right or mirrored.
// Whole pixels of the block's own size are copied; the rest one by one.
void StoreRow(uint8_t* row, const uint8_t* pixels, uint32_t width, size_t pixelBytes, int outBits, bool mirrored)
{
    const size_t outBytes = static_cast<size_t>(outBits / 8);
    if (outBits >= 8 && outBits != 16 && outBytes == pixelBytes) {
        if (!mirrored) {
            std::memcpy(row, pixels, width * pixelBytes);
        } else {
            for (uint32_t j = 0; j < width; ++j) std::memcpy(row + (width - 1 - j) * outBytes, pixels + j * pixelBytes, outBytes);
        }
        return;
    }
    for (uint32_t j = 0; j < width; ++j) {
        const uint32_t x = mirrored ? width - 1 - j : j;
        const uint8_t* p = pixels + j * pixelBytes;
        switch (outBits) {
        case 1:
            if (p[0] & 1) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            break;
        case 4:
            row[x / 2] |= static_cast<uint8_t>(x % 2 ? (p[0] & 15) : (p[0] & 15) << 4);
            break;
        case 8:  // grey with alpha: the grey
            row[x] = p[0];
            break;
        default:  // 15 and 16 bits: 5-5-5, the attribute bit dropped
            row[2 * x] = p[0];
            row[2 * x + 1] = p[1] & 0x7f;
        }
    }
}

}  // namespace

bool LooksLikeTga(Bytes file)
{
    if (file.size < 18) return false;
    ByteReader r(file.data, file.size);
    return PlausibleHeader(ReadHeader(r));
}

Status DecodeTga(Bytes file, DibAllocator& out, uint64_t maxPixels)
{
    return Guarded([&] {
        ByteReader r(file.data, file.size);
        TgaHeader h = ReadHeader(r);
        if (!PlausibleHeader(h)) Fail(h.BaseType() > kGrey ? Status::Unsupported : Status::Corrupt);
        int bits = OutputBits(h);
        r.Skip(h.idLength);
        size_t entryBytes = (h.mapEntryBits + 7u) / 8;
        const uint8_t* map = h.mapType ? r.Take(entryBytes * h.mapLength) : nullptr;
        DibLayout layout = DibLayout::For(h.width, h.height, bits, maxPixels);
        DibWriter w(layout, out);
        w.ClearPixels();
        if (h.BaseType() == kMapped) {
            for (size_t i = 0; i < h.mapLength; ++i)
                w.SetPaletteEntry(h.mapFirst + i, ReadColor(map + i * entryBytes, h.mapEntryBits));
        } else if (h.BaseType() == kGrey) {
            w.SetGreyPalette();
        }
        const size_t pixelBytes = (h.depth + 7u) / 8;
        RowSource source(r, pixelBytes, h.width, h.Rle());
        for (uint32_t i = 0; i < h.height; ++i)
            StoreRow(w.Row(h.TopToBottom() ? i : h.height - 1 - i), source.Next(), h.width, pixelBytes, bits,
                     h.RightToLeft());
    });
}

// Writes raw (uncompressed) pictures, bottom row first: 1, 4 and 8-bit as
// colour-mapped with 8-bit indices and a 24-bit map of the block's table
// size, 16-bit as 15-bit true colour, 24-bit as 24-bit, 32-bit as 32-bit with
// 8 alpha bits.
Status EncodeTga(Bytes dib, std::vector<uint8_t>& out)
{
    out.clear();
    Status s = Guarded([&] {
        DibView v(dib.data, dib.size);
        if (v.Width() > 65535 || v.Height() > 65535) Fail(Status::TooLarge);
        bool mapped = v.Bits() <= 8;
        int depth = mapped ? 8 : v.Bits();
        ByteWriter bw(out);
        bw.U8(0);
        bw.U8(mapped ? 1 : 0);
        bw.U8(mapped ? kMapped : kTrueColor);
        bw.U16(0);
        bw.U16(mapped ? static_cast<unsigned>(v.PaletteEntries()) : 0);
        bw.U8(mapped ? 24 : 0);
        bw.U16(0);
        bw.U16(0);
        bw.U16(v.Width());
        bw.U16(v.Height());
        bw.U8(depth == 16 ? 16 : depth);
        bw.U8(depth == 32 ? 8 : 0);
        if (mapped) {
            for (size_t i = 0; i < v.PaletteEntries(); ++i) {
                Rgba c = v.PaletteEntry(i);
                bw.U8(c.b);
                bw.U8(c.g);
                bw.U8(c.r);
            }
        }
        size_t rowBytes = static_cast<size_t>(v.Width()) * depth / 8;
        out.reserve(out.size() + rowBytes * v.Height());
        std::vector<uint8_t> line(rowBytes);
        for (uint32_t i = 0; i < v.Height(); ++i) {
            const uint8_t* row = v.Row(v.Height() - 1 - i);
            if (mapped) {
                for (uint32_t x = 0; x < v.Width(); ++x) line[x] = v.IndexAt(row, x);
                bw.Append(line.data(), rowBytes);
            } else {
                bw.Append(row, rowBytes);
            }
        }
    });
    if (s != Status::Ok) out.clear();
    return s;
}

}  // namespace il
