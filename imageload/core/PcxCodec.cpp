// PCX: run-length coded planes. Reads 1-bit (1 to 4 planes), 2 and 4-bit
// (1 plane), 8-bit (1 plane with the trailing 256-colour table, 3 planes as
// RGB, 4 planes as RGBA).
#include <algorithm>
#include <cstring>

#include "imageload/core/ByteReader.h"
#include "imageload/core/ByteWriter.h"
#include "imageload/core/Codecs.h"

namespace il {

namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kTrailingPaletteSize = 769;  // 0x0C then 256 RGB triples

struct PcxHeader {
    int version = 0;
    int bitsPerPlane = 0;
    int planes = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    size_t bytesPerLine = 0;
    const uint8_t* egaPalette = nullptr;
};

PcxHeader ReadHeader(ByteReader& r)
{
    PcxHeader h;
    if (r.U8() != 0x0a) Fail(Status::Corrupt);
    h.version = r.U8();
    if (r.U8() != 1) Fail(Status::Unsupported);  // only run-length coding exists in practice
    h.bitsPerPlane = r.U8();
    uint16_t xmin = r.U16(), ymin = r.U16(), xmax = r.U16(), ymax = r.U16();
    r.Skip(4);
    h.egaPalette = r.Take(48);
    r.U8();
    h.planes = r.U8();
    h.bytesPerLine = r.U16();
    r.Seek(kHeaderSize);
    if (xmax < xmin || ymax < ymin) Fail(Status::Corrupt);
    h.width = xmax - xmin + 1u;
    h.height = ymax - ymin + 1u;
    return h;
}

int OutputBits(const PcxHeader& h)
{
    if (h.bitsPerPlane == 1 && h.planes == 1) return 1;
    if (h.bitsPerPlane == 1 && h.planes >= 2 && h.planes <= 4) return 4;
    if ((h.bitsPerPlane == 2 || h.bitsPerPlane == 4) && h.planes == 1) return 4;
    if (h.bitsPerPlane == 8 && h.planes == 1) return 8;
    if (h.bitsPerPlane == 8 && h.planes == 3) return 24;
    if (h.bitsPerPlane == 8 && h.planes == 4) return 32;
    Fail(Status::Unsupported);
}

void SetHeaderPalette(const PcxHeader& h, DibWriter& w, size_t entries)
{
    const uint8_t* p = h.egaPalette;
    // Two-colour files often leave the header table empty: show them black on white.
    bool empty = std::all_of(p, p + 6, [](uint8_t v) { return v == 0; });
    if (entries == 2 && empty) {
        w.SetPaletteEntry(0, {0, 0, 0, 0});
        w.SetPaletteEntry(1, {255, 255, 255, 0});
        return;
    }
    for (size_t i = 0; i < entries; ++i) w.SetPaletteEntry(i, {p[3 * i], p[3 * i + 1], p[3 * i + 2], 0});
}

// Decodes the run-length stream one scan line (all planes) at a time; a run
// may carry over into the next line. A photograph's stream is mostly bytes
// below 0xC0, which stand for themselves, and short runs, at places no
// branch predictor foresees: in bright parts nearly every byte is a run of
// one, its count byte before it. So the stream goes in blocks of 64 bytes
// that begin at a run or a literal: masks mark the bytes with both top
// bits set and, among them, the ones that count a run rather than being a
// run's value; the runs are then taken from the mask one by one, the
// literals between them stored eight bytes at a time and a short run as
// eight copies of its value. Near the ends of the line and of the data the
// bytes go one by one.
class RunReader {
public:
    RunReader(const uint8_t* data, size_t size) : next_(data), end_(data + size) {}

    void Line(uint8_t* out, size_t size)
    {
        uint8_t* to = out;
        uint8_t* const full = out + size;
        to = Fill(to, full);
        const uint8_t* from = next_;
        while (to < full) {
            // A block reads up to 32 bytes past its end (the literal stores).
            const uint8_t* stop = end_ - from >= static_cast<std::ptrdiff_t>(kBlock + 32) ? Block(from, to, full) : from;
            if (stop == from) {
                if (from == end_) Fail(Status::Corrupt);
                const uint8_t code = *from++;
                if ((code & 0xc0) != 0xc0) {
                    *to++ = code;
                    continue;
                }
                if (from == end_) Fail(Status::Corrupt);  // a run's count without its value
                value_ = *from++;
                pending_ = code & 0x3fu;
            } else {
                from = stop;
            }
            to = Fill(to, full);
        }
        next_ = from;
    }

private:
    static constexpr unsigned kBlock = 64;

    // Bit i is set when byte i of the block has both top bits set.
    static uint64_t HighBytes(const uint8_t* block)
    {
        uint64_t high = 0;
        for (unsigned i = 0; i < kBlock; i += 8) {
            uint64_t eight;
            std::memcpy(&eight, block + i, 8);
            const uint64_t tops = eight & (eight << 1) & 0x8080808080808080ull;
            // Gathers the eight top bits into one byte, byte 0's lowest.
            high |= ((tops * 0x0002040810204081ull) >> 56) << i;
        }
        return high;
    }

    // Of the high bytes of a block that begins at a token, those that count
    // a run: in each stretch of high bytes, the first and every other one
    // after it (the others are values), found without a loop by the
    // carries of one addition, as escape characters are found.
    static uint64_t RunCounts(uint64_t high)
    {
        const uint64_t even = 0x5555555555555555ull;
        const uint64_t follows = high << 1;
        const uint64_t oddStarts = high & ~even & ~follows;
        const uint64_t startsOnEven = (oddStarts + high) << 1;
        const uint64_t values = (even ^ startsOnEven) & follows;
        return high & ~values;
    }

    // Decodes the block at from while the line has room and the runs end
    // inside it; returns where it stopped (a long run left pending).
    const uint8_t* Block(const uint8_t* from, uint8_t*& to, const uint8_t* full)
    {
        uint64_t runs = RunCounts(HighBytes(from));
        unsigned at = 0;
        for (;;) {
            const unsigned run = runs ? static_cast<unsigned>(__builtin_ctzll(runs)) : kBlock;
            const unsigned literals = run - at;
            if (static_cast<size_t>(full - to) < literals + 40) return from + at;
            // Most stretches of literals are short: four stores take them
            // without a branch that depends on their length.
            for (unsigned i = 0; i < 32; i += 8) std::memcpy(to + i, from + at + i, 8);
            for (unsigned i = 32; i < literals; i += 8) std::memcpy(to + i, from + at + i, 8);
            to += literals;
            if (run >= kBlock - 1) return from + run;  // the block's end, or a run whose value lies beyond it
            const unsigned count = from[run] & 0x3fu;
            const uint8_t value = from[run + 1];
            at = run + 2;
            runs &= runs - 1;
            if (count > 8) {
                pending_ = count;
                value_ = value;
                return from + at;
            }
            const uint64_t copies = value * 0x0101010101010101ull;
            std::memcpy(to, &copies, 8);
            to += count;
        }
    }

    // Writes what is left of a run, as far as the line goes.
    uint8_t* Fill(uint8_t* to, uint8_t* full)
    {
        const size_t n = std::min(pending_, static_cast<size_t>(full - to));
        if (n > 0) std::memset(to, value_, n);  // a line of no planes has no storage
        pending_ -= n;
        return to + n;
    }

    const uint8_t* next_;
    const uint8_t* end_;
    size_t pending_ = 0;
    uint8_t value_ = 0;
};

void ComposeRow(const PcxHeader& h, const uint8_t* line, uint8_t* row, int outBits)
{
    const size_t bpl = h.bytesPerLine;
    switch (outBits) {
    case 1:
    case 8:
        std::memcpy(row, line, (static_cast<size_t>(h.width) * outBits + 7) / 8);
        break;
    case 24: {
        // Planes red, green, blue into blue, green, red.
        const uint8_t *red = line, *green = line + bpl, *blue = line + 2 * bpl;
        for (uint32_t x = 0; x < h.width; ++x) {
            row[3 * x] = blue[x];
            row[3 * x + 1] = green[x];
            row[3 * x + 2] = red[x];
        }
        break;
    }
    case 32: {
        const uint8_t *red = line, *green = line + bpl, *blue = line + 2 * bpl, *alpha = line + 3 * bpl;
        for (uint32_t x = 0; x < h.width; ++x) {
            row[4 * x] = blue[x];
            row[4 * x + 1] = green[x];
            row[4 * x + 2] = red[x];
            row[4 * x + 3] = alpha[x];
        }
        break;
    }
    default:  // 4-bit result from 1-bit planes or packed 2/4-bit pixels
        for (uint32_t x = 0; x < h.width; ++x) {
            unsigned index = 0;
            if (h.bitsPerPlane == 1) {
                for (int p = 0; p < h.planes; ++p) index |= ((line[p * bpl + x / 8] >> (7 - x % 8)) & 1u) << p;
            } else if (h.bitsPerPlane == 2) {
                index = (line[x / 4] >> (6 - 2 * (x % 4))) & 3u;
            } else {
                index = (line[x / 2] >> (x % 2 ? 0 : 4)) & 15u;
            }
            row[x / 2] |= static_cast<uint8_t>(x % 2 ? index : index << 4);
        }
    }
}

}  // namespace

Status DecodePcx(Bytes file, DibAllocator& out, uint64_t maxPixels)
{
    return Guarded([&] {
        ByteReader r(file.data, file.size);
        PcxHeader h = ReadHeader(r);
        int bits = OutputBits(h);
        DibLayout layout = DibLayout::For(h.width, h.height, bits, maxPixels);
        if (h.bytesPerLine * 8 < static_cast<size_t>(h.width) * h.bitsPerPlane) Fail(Status::Corrupt);
        size_t dataEnd = file.size;
        const uint8_t* trailing = nullptr;
        if (bits == 8) {
            // Version 5 files keep their colours after the pixels; without them
            // the file is cut short. Older ones are taken as grey.
            if (file.size >= kHeaderSize + kTrailingPaletteSize &&
                file.data[file.size - kTrailingPaletteSize] == 0x0c) {
                trailing = file.data + file.size - kTrailingPaletteSize + 1;
                dataEnd = file.size - kTrailingPaletteSize;
            } else if (h.version >= 5) {
                Fail(Status::Corrupt);
            }
        }
        DibWriter w(layout, out);
        w.ClearPixels();
        if (bits == 8 && trailing) {
            for (size_t i = 0; i < 256; ++i) w.SetPaletteEntry(i, {trailing[3 * i], trailing[3 * i + 1], trailing[3 * i + 2], 0});
        } else if (bits == 8) {
            w.SetGreyPalette();
        } else if (bits <= 4) {
            SetHeaderPalette(h, w, layout.paletteEntries);
        }
        RunReader runs(file.data + kHeaderSize, dataEnd - kHeaderSize);
        std::vector<uint8_t> line(h.bytesPerLine * h.planes);
        for (uint32_t y = 0; y < h.height; ++y) {
            runs.Line(line.data(), line.size());
            ComposeRow(h, line.data(), w.Row(y), bits);
        }
    });
}

namespace {

void PackLine(const uint8_t* line, size_t size, ByteWriter& bw)
{
    size_t i = 0;
    while (i < size) {
        uint8_t v = line[i];
        size_t run = 1;
        while (i + run < size && run < 63 && line[i + run] == v) ++run;
        if (run > 1 || (v & 0xc0) == 0xc0) bw.U8(0xc0 | static_cast<unsigned>(run));
        bw.U8(v);
        i += run;
    }
}

}  // namespace

// Writes 1-bit pictures as one plane, 4-bit as four 1-bit planes (the
// 16-colour layout every reader knows), 8-bit as one plane with the trailing
// colour table, 16 and 24-bit as three 8-bit planes, 32-bit as four.
Status EncodePcx(Bytes dib, std::vector<uint8_t>& out)
{
    out.clear();
    Status s = Guarded([&] {
        DibView v(dib.data, dib.size);
        if (v.Width() > 65535 || v.Height() > 65535) Fail(Status::TooLarge);
        int bitsPerPlane = v.Bits() == 1 || v.Bits() == 4 ? 1 : 8;
        int planes = v.Bits() == 4 ? 4 : v.Bits() == 32 ? 4 : v.Bits() > 8 ? 3 : 1;
        size_t bpl = (static_cast<size_t>(v.Width()) * bitsPerPlane + 7) / 8;
        bpl += bpl & 1;  // lines are an even number of bytes
        if (bpl > 65535) Fail(Status::TooLarge);
        ByteWriter bw(out);
        bw.U8(0x0a);
        bw.U8(5);
        bw.U8(1);
        bw.U8(bitsPerPlane);
        bw.U16(0);
        bw.U16(0);
        bw.U16(v.Width() - 1);
        bw.U16(v.Height() - 1);
        bw.U16(72);
        bw.U16(72);
        for (size_t i = 0; i < 16; ++i) {
            Rgba c = i < v.PaletteEntries() && v.Bits() < 8 ? v.PaletteEntry(i) : Rgba{0, 0, 0, 0};
            bw.U8(c.r);
            bw.U8(c.g);
            bw.U8(c.b);
        }
        bw.U8(0);
        bw.U8(planes);
        bw.U16(static_cast<unsigned>(bpl));
        bw.U16(1);
        bw.Zeros(kHeaderSize - 70);
        std::vector<uint8_t> line(bpl * planes);
        for (uint32_t y = 0; y < v.Height(); ++y) {
            std::fill(line.begin(), line.end(), 0);
            const uint8_t* row = v.Row(y);
            if (v.Bits() == 1 || v.Bits() == 8) {
                std::memcpy(line.data(), row, (static_cast<size_t>(v.Width()) * v.Bits() + 7) / 8);
            } else if (v.Bits() == 4) {
                for (uint32_t x = 0; x < v.Width(); ++x) {
                    uint8_t index = v.IndexAt(row, x);
                    for (int p = 0; p < 4; ++p)
                        if ((index >> p) & 1) line[p * bpl + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                }
            } else {
                for (uint32_t x = 0; x < v.Width(); ++x) {
                    Rgba c = v.PixelAt(row, x);
                    line[x] = c.r;
                    line[bpl + x] = c.g;
                    line[2 * bpl + x] = c.b;
                    if (planes == 4) line[3 * bpl + x] = c.a;
                }
            }
            for (int p = 0; p < planes; ++p) PackLine(line.data() + p * bpl, bpl, bw);
        }
        if (v.Bits() == 8) {
            bw.U8(0x0c);
            for (size_t i = 0; i < 256; ++i) {
                Rgba c = v.PaletteEntry(i);
                bw.U8(c.r);
                bw.U8(c.g);
                bw.U8(c.b);
            }
        }
    });
    if (s != Status::Ok) out.clear();
    return s;
}

}  // namespace il
