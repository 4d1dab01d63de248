// BMP: Windows and OS/2 headers, 1 to 32 bits, RLE4/RLE8 and bit fields.
#include <cstring>

#include "imageload/core/ByteReader.h"
#include "imageload/core/ByteWriter.h"
#include "imageload/core/Codecs.h"

namespace il {

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

// One colour channel described by a bit mask, scaled to 8 bits.
class MaskChannel {
public:
    explicit MaskChannel(uint32_t mask) : mask_(mask)
    {
        if (!mask) return;
        while (!((mask >> shift_) & 1)) ++shift_;
        uint32_t top = mask >> shift_;
        while (top) {
            ++width_;
            top >>= 1;
        }
        max_ = width_ >= 32 ? 0xffffffffull : ((1ull << width_) - 1);
    }
    bool Present() const { return mask_ != 0; }
    uint8_t Extract(uint32_t pixel) const
    {
        if (!mask_) return 0;
        uint64_t v = (pixel & mask_) >> shift_;
        return static_cast<uint8_t>((v * 255 + max_ / 2) / max_);
    }

private:
    uint32_t mask_;
    int shift_ = 0;
    int width_ = 0;
    uint64_t max_ = 1;
};

struct BmpHeader {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    int bits = 0;
    uint32_t compression = kRgb;
    uint32_t colorsUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0};
    bool topDown = false;
    size_t paletteOffset = 0;
    size_t paletteEntries = 0;
    size_t paletteEntrySize = 4;
    size_t pixelOffset = 0;
};

bool IsOs2V2(uint32_t size) { return size == 16 || size == 64; }

BmpHeader ReadHeader(ByteReader& r)
{
    BmpHeader h;
    if (r.U8() != 'B' || r.U8() != 'M') Fail(Status::Corrupt);
    r.Skip(8);
    uint32_t offBits = r.U32();
    h.headerSize = r.U32();
    if (h.headerSize == 12) {
        h.width = r.U16();
        h.height = static_cast<int16_t>(r.U16());
        r.U16();
        h.bits = r.U16();
        h.paletteEntrySize = 3;
    } else if (h.headerSize >= 16 && h.headerSize <= 124) {
        // Fields a short header leaves out read as zero.
        uint8_t fields[124] = {};
        std::memcpy(fields, r.Take(h.headerSize - 4), h.headerSize - 4);
        ByteReader f(fields, sizeof fields);
        h.width = f.S32();
        h.height = f.S32();
        f.U16();
        h.bits = f.U16();
        h.compression = f.U32();
        f.Skip(12);
        h.colorsUsed = f.U32();
        f.U32();
        for (uint32_t& m : h.masks) m = f.U32();
        if (IsOs2V2(h.headerSize) && h.compression >= kBitFields) Fail(Status::Unsupported);
    } else {
        Fail(Status::Corrupt);
    }
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) Fail(Status::Corrupt);
    h.topDown = h.height < 0;
    if (h.topDown) h.height = -h.height;

    size_t after = r.Position();
    bool fieldsFollow = h.headerSize == 40 && (h.compression == kBitFields || h.compression == kAlphaBitFields);
    if (fieldsFollow) {
        int count = h.compression == kAlphaBitFields ? 4 : 3;
        for (int i = 0; i < count; ++i) h.masks[i] = r.U32();
        after = r.Position();
    }
    h.paletteOffset = after;
    if (h.bits <= 8) {
        size_t full = size_t{1} << h.bits;
        h.paletteEntries = (h.colorsUsed > 0 && h.colorsUsed < full) ? h.colorsUsed : full;
    }
    h.pixelOffset = offBits ? offBits : after + h.paletteEntries * h.paletteEntrySize;
    if (h.pixelOffset < after || h.pixelOffset > r.Size()) Fail(Status::Corrupt);
    // Colour tables that run into the pixels are cut short; missing entries are black.
    size_t room = (h.pixelOffset - after) / h.paletteEntrySize;
    if (offBits && h.paletteEntries > room) h.paletteEntries = room;
    return h;
}

void CheckVariant(const BmpHeader& h)
{
    switch (h.compression) {
    case kRgb:
        if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
            Fail(Status::Unsupported);
        break;
    case kRle8:
    case kRle4:
        if (h.bits != (h.compression == kRle8 ? 8 : 4)) Fail(Status::Corrupt);
        if (h.topDown) Fail(Status::Corrupt);
        break;
    case kBitFields:
    case kAlphaBitFields:
        if (h.bits != 16 && h.bits != 32) Fail(Status::Corrupt);
        break;
    default:
        Fail(Status::Unsupported);
    }
}

bool IsPlain555(const BmpHeader& h)
{
    return h.masks[0] == 0x7c00 && h.masks[1] == 0x03e0 && h.masks[2] == 0x001f;
}

bool IsPlain8888(const BmpHeader& h)
{
    return h.masks[0] == 0xff0000 && h.masks[1] == 0xff00 && h.masks[2] == 0xff;
}

// Depth of the block: the file's own, except bit fields the block cannot
// express, which become 24 bits (32 when there is an alpha mask).
int OutputBits(const BmpHeader& h)
{
    if (h.compression != kBitFields && h.compression != kAlphaBitFields) return h.bits;
    if (h.bits == 16 && IsPlain555(h) && !h.masks[3]) return 16;
    if (h.bits == 32 && IsPlain8888(h)) return 32;
    return h.masks[3] ? 32 : 24;
}

void ReadPalette(ByteReader& r, const BmpHeader& h, DibWriter& w)
{
    r.Seek(h.paletteOffset);
    for (size_t i = 0; i < h.paletteEntries; ++i) {
        const uint8_t* e = r.Take(h.paletteEntrySize);
        w.SetPaletteEntry(i, {e[2], e[1], e[0], 0});
    }
}

void ConvertFieldsRow(const BmpHeader& h, const uint8_t* src, uint8_t* dst, int outBits)
{
    MaskChannel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
    int bytesIn = h.bits / 8, bytesOut = outBits / 8;
    for (int32_t x = 0; x < h.width; ++x) {
        const uint8_t* s = src + x * bytesIn;
        uint32_t v = bytesIn == 2 ? static_cast<uint32_t>(s[0] | (s[1] << 8))
                                  : static_cast<uint32_t>(s[0] | (s[1] << 8) | (s[2] << 16)) |
                                        (static_cast<uint32_t>(s[3]) << 24);
        uint8_t* d = dst + x * bytesOut;
        d[0] = blue.Extract(v);
        d[1] = green.Extract(v);
        d[2] = red.Extract(v);
        if (bytesOut == 4) d[3] = alpha.Extract(v);
    }
}

void ReadUncompressed(ByteReader& r, const BmpHeader& h, DibWriter& w)
{
    const DibLayout& l = w.Layout();
    size_t srcStride = static_cast<size_t>(((static_cast<uint64_t>(h.width) * h.bits + 31) / 32) * 4);
    size_t used = static_cast<size_t>((static_cast<uint64_t>(h.width) * h.bits + 7) / 8);
    r.Seek(h.pixelOffset);
    bool convert = l.bits != h.bits || (h.compression != kRgb && !(IsPlain555(h) || IsPlain8888(h)));
    for (uint32_t i = 0; i < l.height; ++i) {
        const uint8_t* src = r.Take(srcStride);
        uint32_t y = h.topDown ? i : l.height - 1 - i;
        if (convert)
            ConvertFieldsRow(h, src, w.Row(y), l.bits);
        else
            std::memcpy(w.Row(y), src, used);
    }
}

// Run-length pictures, bottom row first; pixels the runs skip keep index 0.
// Only the end-of-picture code ends the data: running out of bytes before it
// means the file was cut short.
class RleDecoder {
public:
    RleDecoder(const BmpHeader& h, DibWriter& w) : h_(h), w_(w) {}

    void Run(ByteReader& r)
    {
        r.Seek(h_.pixelOffset);
        for (;;) {
            uint8_t count = r.U8(), value = r.U8();
            if (count) {
                for (int i = 0; i < count; ++i) Put(h_.bits == 8 ? value : ((i & 1) ? value & 15 : value >> 4));
                continue;
            }
            switch (value) {
            case 0:
                x_ = 0;
                ++y_;
                break;
            case 1:
                return;
            case 2:
                x_ += r.U8();
                y_ += r.U8();
                break;
            default: {
                size_t bytes = h_.bits == 8 ? value : (value + 1u) / 2;
                const uint8_t* p = r.Take(bytes);
                for (int i = 0; i < value; ++i)
                    Put(h_.bits == 8 ? p[i] : ((i & 1) ? p[i / 2] & 15 : p[i / 2] >> 4));
                if (bytes & 1) r.U8();
            }
            }
        }
    }

private:
    void Put(uint8_t index)
    {
        if (x_ < static_cast<uint32_t>(h_.width) && y_ < w_.Layout().height) {
            uint8_t* row = w_.Row(w_.Layout().height - 1 - y_);
            if (h_.bits == 8)
                row[x_] = index;
            else
                row[x_ / 2] |= (x_ & 1) ? index : static_cast<uint8_t>(index << 4);
        }
        ++x_;
    }

    const BmpHeader& h_;
    DibWriter& w_;
    uint32_t x_ = 0, y_ = 0;
};

}  // namespace

Status DecodeBmp(Bytes file, DibAllocator& out, uint64_t maxPixels)
{
    return Guarded([&] {
        ByteReader r(file.data, file.size);
        BmpHeader h = ReadHeader(r);
        CheckVariant(h);
        DibLayout layout = DibLayout::For(static_cast<uint32_t>(h.width), static_cast<uint32_t>(h.height),
                                          OutputBits(h), maxPixels);
        DibWriter w(layout, out);
        w.ClearPixels();
        if (h.bits <= 8) ReadPalette(r, h, w);
        if (h.compression == kRle8 || h.compression == kRle4)
            RleDecoder(h, w).Run(r);
        else
            ReadUncompressed(r, h, w);
    });
}

Status EncodeBmp(Bytes dib, std::vector<uint8_t>& out)
{
    out.clear();
    Status s = Guarded([&] {
        DibView view(dib.data, dib.size);
        size_t tableBytes = 4 * view.PaletteEntries();
        size_t pixelOffset = dib::kHeadersBytes + tableBytes;
        size_t pixelBytes = view.Stride() * view.Height();
        out.reserve(pixelOffset + pixelBytes);
        ByteWriter bw(out);
        bw.U8('B');
        bw.U8('M');
        bw.U32(static_cast<uint32_t>(pixelOffset + pixelBytes));
        bw.U32(0);
        bw.U32(static_cast<uint32_t>(pixelOffset));
        bw.U32(dib::kInfoHeaderBytes);
        bw.U32(view.Width());
        bw.U32(view.Height());
        bw.U16(1);
        bw.U16(view.Bits());
        bw.U32(kRgb);
        bw.U32(static_cast<uint32_t>(pixelBytes));
        bw.Append(dib.data + dib::kXResolutionOffset, 8);  // resolution as the block has it
        bw.U32(static_cast<uint32_t>(view.PaletteEntries()));
        bw.U32(0);
        bw.Append(dib.data + dib::kColourTableOffset, tableBytes);
        bw.Append(view.Row(view.Height() - 1), pixelBytes);  // the stored rows, bottom first
    });
    if (s != Status::Ok) out.clear();
    return s;
}

}  // namespace il
