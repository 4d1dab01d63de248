#include "imageload/core/JpegScan.h"

#include <cstring>

namespace il {
namespace jpeg {

namespace {

uint32_t BigEndian16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 8 | p[1];
}

bool BuildTable(const uint8_t* counts, const uint8_t* values, int total, HuffmanTable& t)
{
    t = HuffmanTable();
    std::memcpy(t.symbols, values, static_cast<size_t>(total));
    int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        t.valueOffset[length] = index - code;
        for (int i = 0; i < counts[length - 1]; ++i, ++index, ++code) {
            if (code >= (1 << length))
                return false;   // more codes than the length allows
            const uint8_t symbol = values[index];
            t.code[symbol] = static_cast<uint16_t>(code);
            t.codeLength[symbol] = static_cast<uint8_t>(length);
            if (length <= kLookBits) {
                const int shift = kLookBits - length;
                for (int fill = 0; fill < (1 << shift); ++fill) {
                    t.lookLength[(code << shift) | fill] = static_cast<uint8_t>(length);
                    t.lookSymbol[(code << shift) | fill] = symbol;
                }
            }
        }
        t.maxCode[length] = counts[length - 1] != 0 ? code - 1 : -1;
        code <<= 1;
    }
    t.present = true;
    return true;
}

bool ReadHuffmanTables(const uint8_t* p, size_t length, Frame& frame)
{
    while (length > 0) {
        if (length < 17)
            return false;
        const int cls = p[0] >> 4, id = p[0] & 15;
        int total = 0;
        for (int i = 0; i < 16; ++i)
            total += p[1 + i];
        if (cls > 1 || id > 3 || total > 256 || length < 17u + total)
            return false;
        if (!BuildTable(p + 1, p + 17, total, cls == 0 ? frame.dc[id] : frame.ac[id]))
            return false;
        p += 17 + total;
        length -= 17 + total;
    }
    return true;
}

bool ReadFrameHeader(const uint8_t* p, size_t length, size_t heightAt, Frame& frame)
{
    if (length < 6 || p[0] != 8)
        return false;
    frame.height = BigEndian16(p + 1);
    frame.width = BigEndian16(p + 3);
    frame.heightAt = heightAt;
    const int count = p[5];
    if (count < 1 || count > 4 || length < 6u + 3u * count || frame.width == 0 || frame.height == 0)
        return false;
    for (int i = 0; i < count; ++i) {
        const uint8_t* c = p + 6 + 3 * i;
        const int h = c[1] >> 4, v = c[1] & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4)
            return false;
        frame.components.push_back({c[0], h, v, 0, 0});
    }
    return true;
}

// One scan holding every component, the whole spectrum, no successive
// approximation: a baseline scan.
bool ReadScanHeader(const uint8_t* p, size_t length, Frame& frame)
{
    if (length < 1)
        return false;
    const size_t count = p[0];
    if (count != frame.components.size() || length != 4 + 2 * count)
        return false;
    for (size_t i = 0; i < count; ++i) {
        Component& c = frame.components[i];
        if (p[1 + 2 * i] != c.id)
            return false;   // in another order than the frame's
        c.dcTable = p[2 + 2 * i] >> 4;
        c.acTable = p[2 + 2 * i] & 15;
        if (c.dcTable > 3 || c.acTable > 3 || !frame.dc[c.dcTable].present || !frame.ac[c.acTable].present)
            return false;
    }
    const uint8_t* spectrum = p + 1 + 2 * count;
    return spectrum[0] == 0 && spectrum[1] == 63 && spectrum[2] == 0;
}

// How the scan's MCUs lie: one component is coded block by block, several
// in MCUs of each one's sampling factors.
bool LayOutScan(Frame& frame)
{
    int hMax = 1, vMax = 1;
    for (const Component& c : frame.components) {
        hMax = std::max(hMax, c.h);
        vMax = std::max(vMax, c.v);
    }
    if (frame.components.size() == 1) {
        if (frame.components[0].h != 1 || frame.components[0].v != 1)
            return false;
        hMax = vMax = 1;
    }
    frame.rowHeight = 8u * static_cast<uint32_t>(vMax);
    frame.mcuWidth = 8u * static_cast<uint32_t>(hMax);
    frame.mcusPerRow = (frame.width + frame.mcuWidth - 1) / frame.mcuWidth;
    frame.rows = (frame.height + frame.rowHeight - 1) / frame.rowHeight;
    return true;
}

}  // namespace

bool ReadHeaders(Bytes file, Frame& frame)
{
    const uint8_t* d = file.data;
    if (file.size < 4 || d[0] != 0xff || d[1] != 0xd8)
        return false;
    size_t pos = 2;
    bool haveFrame = false;
    for (;;) {
        if (pos + 2 > file.size || d[pos] != 0xff)
            return false;
        while (pos + 2 < file.size && d[pos + 1] == 0xff)
            ++pos;  // fill bytes, the marker's byte kept in the file
        const uint8_t marker = d[pos + 1];
        if (marker == 0x01) {
            pos += 2;   // TEM stands alone: the decoder reads no length after it
            continue;
        }
        if (pos + 4 > file.size)
            return false;
        const size_t length = BigEndian16(d + pos + 2);
        if (length < 2 || pos + 2 + length > file.size)
            return false;
        const uint8_t* body = d + pos + 4;
        const size_t bodyLength = length - 2;
        switch (marker) {
        case 0xc0:  // baseline
        case 0xc1:  // extended, Huffman
            if (haveFrame || !ReadFrameHeader(body, bodyLength, pos + 5, frame))
                return false;
            haveFrame = true;
            break;
        case 0xc4:
            if (!ReadHuffmanTables(body, bodyLength, frame))
                return false;
            break;
        case 0xdd:  // a restart interval other than none
            if (bodyLength < 2 || BigEndian16(body) != 0)
                return false;
            break;
        case 0xda:
            if (!haveFrame || !ReadScanHeader(body, bodyLength, frame) || !LayOutScan(frame))
                return false;
            frame.dataStart = pos + 2 + length;
            return true;
        default:
            // Progressive, lossless, arithmetic-coded and hierarchical
            // frames, and markers that stand alone, are not noted; nor is
            // 0xFF00, which the decoder skips as stray bytes, not a segment.
            if ((marker >= 0xc2 && marker <= 0xcf) || marker == 0x00 || marker == 0xd8 || marker == 0xd9 ||
                (marker >= 0xd0 && marker <= 0xd7) || marker == 0xdc || marker == 0xde)
                return false;
            break;
        }
        pos += 2 + length;
    }
}

int Extend(uint32_t value, int size)
{
    return size == 0 ? 0 : value < (1u << (size - 1)) ? static_cast<int>(value) - (1 << size) + 1 : static_cast<int>(value);
}

bool WalkBlock(EntropyReader& in, const HuffmanTable& dc, const HuffmanTable& ac, int* difference)
{
    int size = 0;
    uint32_t bits = 0;
    if (!in.Decode(dc, &size) || size > 11 || !in.Get(size, &bits))
        return false;
    *difference = Extend(bits, size);
    for (int k = 1; k < 64;) {
        int symbol = 0;
        if (!in.Decode(ac, &symbol))
            return false;
        const int run = symbol >> 4, acSize = symbol & 15;
        if (acSize == 0) {
            if (run != 15)
                return true;    // end of block
            k += 16;
            continue;
        }
        k += run;
        if (k > 63 || !in.Skip(acSize))
            return false;
        ++k;
    }
    return true;
}

int BlocksPerMcu(const Frame& frame, const Component& c)
{
    return frame.components.size() == 1 ? 1 : c.h * c.v;
}


}  // namespace jpeg
}  // namespace il
