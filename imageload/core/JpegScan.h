// The parts of a baseline JPEG that its compressed data is read and written
// by (JpegIndex): the frame and scan headers with their Huffman tables, the
// compressed data read and written bit by bit (the stuffed zero after each
// 0xFF byte taken out and put in), and the walk over one block's codes.
// Only one scan of 8-bit Huffman-coded data that holds every component, the
// whole spectrum at once, without restart markers, is read.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imageload/core/Codecs.h"

namespace il {
namespace jpeg {

// One Huffman table: canonical codes from the DHT segment, a lookup of the
// codes up to kLookBits long, and the code of each symbol for writing.
constexpr int kLookBits = 9;

struct HuffmanTable {
    bool present = false;
    uint8_t lookLength[1 << kLookBits] = {};    // 0: the code is longer
    uint8_t lookSymbol[1 << kLookBits] = {};
    int32_t maxCode[17] = {};                   // largest code of each length, -1 when none
    int32_t valueOffset[17] = {};
    uint8_t symbols[256] = {};
    uint16_t code[256] = {};
    uint8_t codeLength[256] = {};               // 0: the symbol has no code
};

struct Component {
    int id;
    int h, v;
    int dcTable, acTable;
};

struct Frame {
    uint32_t width = 0, height = 0;
    size_t heightAt = 0;        // the SOF's height field
    size_t dataStart = 0;       // the first byte of the scan's compressed data
    std::vector<Component> components;
    HuffmanTable dc[4], ac[4];
    // The coding of the scan: MCUs per row of iMCUs, rows, and an MCU's
    // size in pixels.
    uint32_t mcusPerRow = 0, rows = 0, rowHeight = 0, mcuWidth = 0;
};

// The headers up to the first scan; false for any layout but one baseline
// scan of 8-bit Huffman-coded data without restart markers.
bool ReadHeaders(Bytes file, Frame& frame);
// Blocks of a component in each MCU: one when the scan holds one component.
int BlocksPerMcu(const Frame& frame, const Component& c);

// A place in the compressed data: a byte of the file and a bit of it, from
// its most significant.
struct BitPlace {
    uint32_t byte;
    uint8_t bit;
};

// Reads the compressed data bit by bit, stuffed bytes removed; stops at a
// marker or the end of the file.
class EntropyReader {
public:
    EntropyReader(Bytes file, BitPlace from) : m_data(file.data), m_size(file.size), m_pos(from.byte)
    {
        Fill();
        if (from.bit > 0 && !Skip(from.bit))
            m_failed = true;
    }

    bool Failed() const { return m_failed; }

    // Where the next bit is read from.
    BitPlace Place() const
    {
        if (m_nBits == 0)
            return {static_cast<uint32_t>(m_pos), 0};
        const unsigned unread = (static_cast<unsigned>(m_nBits) + 7) / 8;
        return {m_loadedAt[(m_nLoaded - unread) % kKept], static_cast<uint8_t>((8 - m_nBits % 8) % 8)};
    }

    bool Get(int count, uint32_t* value)
    {
        if (m_nBits < count) {
            Fill();
            if (m_nBits < count)
                return Fail();
        }
        m_nBits -= count;
        *value = (m_buffer >> m_nBits) & ((1u << count) - 1);
        return true;
    }
    bool Skip(int count)
    {
        uint32_t ignored;
        return Get(count, &ignored);
    }

    // One symbol of a table.
    bool Decode(const HuffmanTable& t, int* symbol)
    {
        if (m_nBits < 16)
            Fill();
        const int available = std::min(m_nBits, kLookBits);
        const uint32_t look = available > 0 ? ((m_buffer >> (m_nBits - available)) << (kLookBits - available)) &
                                                  ((1u << kLookBits) - 1)
                                            : 0;
        const int length = t.lookLength[look];
        if (length != 0) {
            if (length > m_nBits)
                return Fail();
            m_nBits -= length;
            *symbol = t.lookSymbol[look];
            return true;
        }
        uint32_t code = 0;
        for (int l = 1; l <= 16; ++l) {
            uint32_t bit;
            if (!Get(1, &bit))
                return false;
            code = code << 1 | bit;
            if (static_cast<int32_t>(code) <= t.maxCode[l] && t.maxCode[l] >= 0 &&
                static_cast<int32_t>(code) + t.valueOffset[l] >= 0 && l > kLookBits) {
                *symbol = t.symbols[static_cast<int32_t>(code) + t.valueOffset[l]];
                return true;
            }
        }
        return Fail();
    }

private:
    static constexpr unsigned kKept = 8;

    bool Fail()
    {
        m_failed = true;
        return false;
    }

    void Fill()
    {
        while (m_nBits <= 24 && m_pos < m_size) {
            uint8_t byte = m_data[m_pos];
            const uint32_t at = static_cast<uint32_t>(m_pos);
            if (byte == 0xff) {
                if (m_pos + 1 >= m_size || m_data[m_pos + 1] != 0x00)
                    return;     // a marker: the end of the data
                m_pos += 2;
            } else {
                ++m_pos;
            }
            m_buffer = m_buffer << 8 | byte;
            m_nBits += 8;
            m_loadedAt[m_nLoaded++ % kKept] = at;
        }
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos;
    uint32_t m_buffer = 0;
    int m_nBits = 0;
    uint32_t m_loadedAt[kKept] = {};
    unsigned m_nLoaded = 0;
    bool m_failed = false;
};

// A DC difference or AC value of `size` bits as the code gives it.
int Extend(uint32_t value, int size);
// Reads one block's codes; its DC difference goes to *difference.
bool WalkBlock(EntropyReader& in, const HuffmanTable& dc, const HuffmanTable& ac, int* difference);

// Writes compressed data: bits from the most significant, 0xFF stuffed.
class EntropyWriter {
public:
    explicit EntropyWriter(std::vector<uint8_t>& out) : m_out(out) {}

    // Up to 16 bits.
    void Put(uint32_t bits, int count)
    {
        m_buffer = m_buffer << count | (bits & ((1u << count) - 1));
        m_nBits += count;
        while (m_nBits >= 8) {
            m_nBits -= 8;
            const uint8_t byte = static_cast<uint8_t>(m_buffer >> m_nBits);
            m_out.push_back(byte);
            if (byte == 0xff)
                m_out.push_back(0x00);
        }
    }
    // Eight bits.
    void PutByte(uint8_t byte)
    {
        m_buffer = m_buffer << 8 | byte;
        const uint8_t out = static_cast<uint8_t>(m_buffer >> m_nBits);
        m_out.push_back(out);
        if (out == 0xff)
            m_out.push_back(0x00);
    }
    // Pads the last byte with ones, as encoders do.
    void Finish()
    {
        if (m_nBits != 0)
            Put((1u << (8 - m_nBits)) - 1, 8 - m_nBits);
    }

private:
    std::vector<uint8_t>& m_out;
    uint32_t m_buffer = 0;
    int m_nBits = 0;
};

}  // namespace jpeg
}  // namespace il
