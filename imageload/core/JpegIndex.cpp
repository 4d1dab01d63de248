#include "imageload/core/JpegIndex.h"

#include <algorithm>
#include <cstring>

namespace il {

namespace {

// ---- the frame and scan headers --------------------------------------------

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
    // Every how many MCUs of a row the notes say where the data is.
    uint32_t stride = 0, notesPerRow = 0;
};

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

constexpr uint32_t kNotesPerRow = 32;

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
    // At most kNotesPerRow notes a row, four MCUs apart at least.
    frame.stride = std::max(4u, (frame.mcusPerRow + kNotesPerRow - 1) / kNotesPerRow);
    frame.notesPerRow = (frame.mcusPerRow + frame.stride - 1) / frame.stride;
    return true;
}

// The headers up to the first scan; false for any layout but one baseline
// scan of 8-bit Huffman-coded data without restart markers.
bool ReadHeaders(Bytes file, Frame& frame)
{
    const uint8_t* d = file.data;
    if (file.size < 4 || d[0] != 0xff || d[1] != 0xd8)
        return false;
    size_t pos = 2;
    bool haveFrame = false;
    for (;;) {
        if (pos + 4 > file.size || d[pos] != 0xff)
            return false;
        while (pos + 4 <= file.size && d[pos + 1] == 0xff)
            ++pos;  // fill bytes
        const uint8_t marker = d[pos + 1];
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
            // frames, and markers that stand alone, are not noted.
            if ((marker >= 0xc2 && marker <= 0xcf) || marker == 0xd8 || marker == 0xd9 ||
                (marker >= 0xd0 && marker <= 0xd7) || marker == 0xdc || marker == 0xde)
                return false;
            break;
        }
        pos += 2 + length;
    }
}

// ---- the compressed data ---------------------------------------------------

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

int Extend(uint32_t value, int size)
{
    return size == 0 ? 0 : value < (1u << (size - 1)) ? static_cast<int>(value) - (1 << size) + 1 : static_cast<int>(value);
}

// Reads one block's codes; its DC difference goes to *dc.
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

// ---- the notes -------------------------------------------------------------

constexpr uint32_t kMagic = 0x3258494a;     // "JIX2"
constexpr size_t kHeaderWords = 5;          // magic, file size, header hash, rows, data start
constexpr size_t kEntryBytes = 16;          // byte, bit, three pads, four DC values

uint32_t HeaderHash(Bytes file, size_t end)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < end && i < file.size; ++i)
        hash = (hash ^ file.data[i]) * 16777619u;
    return hash;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t U32At(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// A note: where an MCU's data begins, and the DC values before it.
struct Entry {
    BitPlace place;
    int16_t dc[4];
};

void PutEntry(std::vector<uint8_t>& out, BitPlace place, const int* dc)
{
    PutU32(out, place.byte);
    out.push_back(place.bit);
    out.insert(out.end(), 3, 0);
    for (int i = 0; i < 4; ++i) {
        const uint16_t v = static_cast<uint16_t>(dc[i]);
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
}

Entry EntryAt(Bytes index, size_t note)
{
    const uint8_t* p = index.data + 4 * kHeaderWords + kEntryBytes * note;
    Entry e;
    e.place = {U32At(p), p[4]};
    for (int i = 0; i < 4; ++i)
        e.dc[i] = static_cast<int16_t>(p[8 + 2 * i] | p[9 + 2 * i] << 8);
    return e;
}

// The note of MCU column `column` (a multiple of the stride, or the row's
// end, which is where the next row begins) of a row.
Entry NoteOf(Bytes index, const Frame& frame, uint32_t row, uint32_t column)
{
    if (column >= frame.mcusPerRow)
        return EntryAt(index, static_cast<size_t>(row + 1) * frame.notesPerRow);
    return EntryAt(index, static_cast<size_t>(row) * frame.notesPerRow + column / frame.stride);
}

// The notes and the file's headers, checked against each other.
bool ReadNotes(Bytes file, Bytes index, Frame& frame)
{
    if (index.size < 4 * kHeaderWords || U32At(index.data) != kMagic || U32At(index.data + 4) != file.size)
        return false;
    if (!ReadHeaders(file, frame) || U32At(index.data + 8) != HeaderHash(file, frame.dataStart) ||
        U32At(index.data + 12) != frame.rows || U32At(index.data + 16) != frame.dataStart)
        return false;
    const size_t notes = static_cast<size_t>(frame.rows) * frame.notesPerRow + 1;
    if (index.size != 4 * kHeaderWords + kEntryBytes * notes)
        return false;
    for (size_t note = 0; note < notes; ++note)
        if (EntryAt(index, note).place.byte > file.size || EntryAt(index, note).place.bit > 7)
            return false;
    return true;
}

// ---- cutting a band out ----------------------------------------------------

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

// The DC difference of one more block on the way from *value to target,
// with a size the table codes; false when there is none.
bool NextDifference(const HuffmanTable& dc, int* value, int target, int* size, uint32_t* bits)
{
    const int remaining = target - *value;
    const int magnitude = remaining < 0 ? -remaining : remaining;
    int wanted = 0;
    while ((1 << wanted) <= magnitude)
        ++wanted;
    for (int s = std::min(wanted, 11); s >= 0; --s) {
        if (dc.codeLength[s] == 0 || (s == 0 && magnitude != 0))
            continue;
        const int step = s == 0 ? 0 : std::min(magnitude, (1 << s) - 1);
        const int difference = remaining < 0 ? -step : step;
        *size = s;
        *bits = difference >= 0 ? static_cast<uint32_t>(difference)
                                : static_cast<uint32_t>(difference + (1 << s) - 1);
        *value += difference;
        return true;
    }
    return false;
}

// A row of iMCUs of blocks that hold only DC differences, bringing each
// component's DC value from 0 (where a scan starts) to its value where the
// band starts; the band then decodes as it did in the file. Its own pixels
// are never shown.
bool WriteLeadingRow(const Frame& frame, uint32_t mcus, const int16_t* target, EntropyWriter& out)
{
    int value[4] = {0, 0, 0, 0};
    for (uint32_t mcu = 0; mcu < mcus; ++mcu) {
        for (size_t i = 0; i < frame.components.size(); ++i) {
            const Component& c = frame.components[i];
            const HuffmanTable& dc = frame.dc[c.dcTable];
            const HuffmanTable& ac = frame.ac[c.acTable];
            if (ac.codeLength[0] == 0)
                return false;   // no end-of-block code
            for (int b = 0; b < BlocksPerMcu(frame, c); ++b) {
                int size = 0;
                uint32_t bits = 0;
                if (!NextDifference(dc, &value[i], target[i], &size, &bits))
                    return false;
                out.Put(dc.code[size], dc.codeLength[size]);
                out.Put(bits, size);
                out.Put(ac.code[0], ac.codeLength[0]);
            }
        }
    }
    for (size_t i = 0; i < frame.components.size(); ++i)
        if (value[i] != target[i])
            return false;
    return true;
}

// Copies the compressed bits between two places of the file: the rest of
// the first byte, the bytes between (their stuffed zeros dropped, as the
// writer stuffs anew) and the head of the last.
bool CopyBits(Bytes file, BitPlace from, BitPlace to, EntropyWriter& out)
{
    const uint8_t* d = file.data;
    if (to.byte > file.size || (to.bit > 0 && to.byte >= file.size))
        return false;
    if (from.byte == to.byte) {
        if (to.bit < from.bit)
            return false;
        out.Put(static_cast<uint32_t>(d[from.byte] >> (8 - to.bit)), to.bit - from.bit);
        return true;
    }
    size_t pos = from.byte;
    auto take = [&]() {
        const uint8_t byte = d[pos];
        pos += byte == 0xff ? 2 : 1;
        return byte;
    };
    out.Put(take(), 8 - from.bit);
    while (pos < to.byte)
        out.PutByte(take());
    if (pos != to.byte)
        return false;
    if (to.bit > 0)
        out.Put(static_cast<uint32_t>(d[to.byte] >> (8 - to.bit)), to.bit);
    return true;
}

// Writes one block as read, its DC difference changed by adjust.
bool RewriteBlock(EntropyReader& in, const HuffmanTable& dc, const HuffmanTable& ac, int adjust, EntropyWriter& out)
{
    int size = 0;
    uint32_t bits = 0;
    if (!in.Decode(dc, &size) || size > 11 || !in.Get(size, &bits))
        return false;
    const int value = Extend(bits, size) + adjust;
    const int magnitude = value < 0 ? -value : value;
    int newSize = 0;
    while ((1 << newSize) <= magnitude)
        ++newSize;
    if (newSize > 11 || dc.codeLength[newSize] == 0)
        return false;
    out.Put(dc.code[newSize], dc.codeLength[newSize]);
    out.Put(value >= 0 ? static_cast<uint32_t>(value) : static_cast<uint32_t>(value + (1 << newSize) - 1), newSize);
    for (int k = 1; k < 64;) {
        int symbol = 0;
        if (!in.Decode(ac, &symbol))
            return false;
        out.Put(ac.code[symbol], ac.codeLength[symbol]);
        const int run = symbol >> 4, acSize = symbol & 15;
        if (acSize == 0) {
            if (run != 15)
                return true;
            k += 16;
            continue;
        }
        k += run;
        uint32_t extra = 0;
        if (k > 63 || !in.Get(acSize, &extra))
            return false;
        out.Put(extra, acSize);
        ++k;
    }
    return true;
}

// Copies a row's MCUs from one note to another. In the band they follow
// the previous row's MCUs up to `to` rather than the row's own before
// `from`, so the first block of each component has its DC difference
// taken from where the previous row left off.
bool CopySegment(Bytes file, const Frame& frame, const Entry& from, const Entry& to, const int16_t* before,
                 EntropyWriter& out)
{
    int adjust[4] = {0, 0, 0, 0};
    bool same = true;
    for (size_t i = 0; i < frame.components.size(); ++i) {
        adjust[i] = from.dc[i] - before[i];
        same = same && adjust[i] == 0;
    }
    if (same)
        return CopyBits(file, from.place, to.place, out);
    EntropyReader in(file, from.place);
    for (size_t i = 0; i < frame.components.size(); ++i) {
        const Component& c = frame.components[i];
        for (int b = 0; b < BlocksPerMcu(frame, c); ++b)
            if (!RewriteBlock(in, frame.dc[c.dcTable], frame.ac[c.acTable], b == 0 ? adjust[i] : 0, out))
                return false;
    }
    return !in.Failed() && CopyBits(file, in.Place(), to.place, out);
}

}  // namespace

bool IndexJpeg(Bytes file, std::vector<uint8_t>& index)
{
    index.clear();
    Frame frame;
    if (!ReadHeaders(file, frame))
        return false;
    std::vector<uint8_t> notes;
    PutU32(notes, kMagic);
    PutU32(notes, static_cast<uint32_t>(file.size));
    PutU32(notes, HeaderHash(file, frame.dataStart));
    PutU32(notes, frame.rows);
    PutU32(notes, static_cast<uint32_t>(frame.dataStart));
    EntropyReader in(file, {static_cast<uint32_t>(frame.dataStart), 0});
    int dc[4] = {0, 0, 0, 0};
    for (uint32_t row = 0; row < frame.rows; ++row) {
        for (uint32_t mcu = 0; mcu < frame.mcusPerRow; ++mcu) {
            if (mcu % frame.stride == 0)
                PutEntry(notes, in.Place(), dc);
            for (size_t i = 0; i < frame.components.size(); ++i) {
                const Component& c = frame.components[i];
                for (int b = 0; b < BlocksPerMcu(frame, c); ++b) {
                    int difference = 0;
                    if (!WalkBlock(in, frame.dc[c.dcTable], frame.ac[c.acTable], &difference))
                        return false;
                    dc[i] += difference;
                }
            }
        }
    }
    PutEntry(notes, in.Place(), dc);
    if (in.Failed())
        return false;
    index.swap(notes);
    return true;
}

bool NotedSize(Bytes file, Bytes index, uint32_t* width, uint32_t* height)
{
    Frame frame;
    if (!ReadNotes(file, index, frame))
        return false;
    *width = frame.width;
    *height = frame.height;
    return true;
}

bool CutJpegBand(Bytes file, Bytes index, const JpegRect& wanted, JpegBand& band)
{
    Frame frame;
    if (!ReadNotes(file, index, frame) || wanted.width == 0 || wanted.height == 0 ||
        wanted.x + wanted.width > frame.width || wanted.y + wanted.height > frame.height)
        return false;
    // One row and one column of MCUs more on each side, where the picture
    // has them; columns from a note to a note.
    uint32_t first = wanted.y / frame.rowHeight, last = (wanted.y + wanted.height + frame.rowHeight - 1) / frame.rowHeight;
    first = first > 0 ? first - 1 : 0;
    last = std::min(last + 1, frame.rows);
    uint32_t left = wanted.x / frame.mcuWidth, right = (wanted.x + wanted.width + frame.mcuWidth - 1) / frame.mcuWidth;
    left = left > 0 ? left - 1 : 0;
    left -= left % frame.stride;
    right = std::min(right + 1 + (frame.stride - (right + 1) % frame.stride) % frame.stride, frame.mcusPerRow);
    if (first == 0 && left == 0 && right == frame.mcusPerRow)
        return false;   // the band begins at the top, whole: the file itself is as quick
    const uint32_t width = (right == frame.mcusPerRow ? frame.width : right * frame.mcuWidth) - left * frame.mcuWidth;
    // Above the picture's top row there is nothing, and libjpeg upsamples
    // that row without a neighbour: a band there gets no leading row.
    const bool leading = first > 0;
    const uint32_t height =
        (leading ? frame.rowHeight : 0) + std::min(frame.height, last * frame.rowHeight) - first * frame.rowHeight;
    if (height > 0xffff || width > 0xffff)
        return false;
    const Entry start = NoteOf(index, frame, first, left), end = NoteOf(index, frame, last - 1, right);
    if (end.place.byte < start.place.byte)
        return false;
    // The headers, the leading row (a few bytes an MCU) and the band's data.
    band.file.reserve(frame.dataStart + 16 * frame.mcusPerRow + (end.place.byte - start.place.byte) + 16);
    band.file.assign(file.data, file.data + frame.dataStart);
    band.file[frame.heightAt] = static_cast<uint8_t>(height >> 8);
    band.file[frame.heightAt + 1] = static_cast<uint8_t>(height);
    band.file[frame.heightAt + 2] = static_cast<uint8_t>(width >> 8);
    band.file[frame.heightAt + 3] = static_cast<uint8_t>(width);
    EntropyWriter out(band.file);
    if (leading && !WriteLeadingRow(frame, right - left, start.dc, out))
        return false;
    if (left == 0 && right == frame.mcusPerRow) {
        if (!CopyBits(file, start.place, end.place, out))
            return false;
    } else {
        // Where the band's data begins, the decoder holds the DC values
        // the leading row brought it to, or 0 at a scan's start.
        static const int16_t kScanStart[4] = {0, 0, 0, 0};
        const int16_t* before = leading ? start.dc : kScanStart;
        Entry previousEnd = start;
        for (uint32_t row = first; row < last; ++row) {
            const Entry from = NoteOf(index, frame, row, left), to = NoteOf(index, frame, row, right);
            if (!CopySegment(file, frame, from, to, before, out))
                return false;
            previousEnd = to;
            before = previousEnd.dc;
        }
    }
    out.Finish();
    band.file.push_back(0xff);
    band.file.push_back(0xd9);
    band.width = width;
    band.skipRows = leading ? frame.rowHeight : 0;
    band.firstRow = first * frame.rowHeight;
    band.firstColumn = left * frame.mcuWidth;
    return true;
}

}  // namespace il
