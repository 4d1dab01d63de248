#include "imageload/core/JpegIndex.h"

#include <algorithm>
#include <cstring>

#include "imageload/core/JpegScan.h"

namespace il {

namespace {

using namespace jpeg;

// ---- the notes -------------------------------------------------------------

// At most kNotesPerRow notes a row, four MCUs apart at least.
constexpr uint32_t kNotesPerRow = 32;

uint32_t Stride(const Frame& frame)
{
    return std::max(4u, (frame.mcusPerRow + kNotesPerRow - 1) / kNotesPerRow);
}

uint32_t NotesPerRow(const Frame& frame)
{
    return (frame.mcusPerRow + Stride(frame) - 1) / Stride(frame);
}

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
        return EntryAt(index, static_cast<size_t>(row + 1) * NotesPerRow(frame));
    return EntryAt(index, static_cast<size_t>(row) * NotesPerRow(frame) + column / Stride(frame));
}

// The notes and the file's headers, checked against each other.
bool ReadNotes(Bytes file, Bytes index, Frame& frame)
{
    if (index.size < 4 * kHeaderWords || U32At(index.data) != kMagic || U32At(index.data + 4) != file.size)
        return false;
    if (!ReadHeaders(file, frame) || U32At(index.data + 8) != HeaderHash(file, frame.dataStart) ||
        U32At(index.data + 12) != frame.rows || U32At(index.data + 16) != frame.dataStart)
        return false;
    const size_t notes = static_cast<size_t>(frame.rows) * NotesPerRow(frame) + 1;
    if (index.size != 4 * kHeaderWords + kEntryBytes * notes)
        return false;
    for (size_t note = 0; note < notes; ++note)
        if (EntryAt(index, note).place.byte > file.size || EntryAt(index, note).place.bit > 7)
            return false;
    return true;
}

// ---- cutting a band out ----------------------------------------------------


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

bool IndexJpeg(Bytes file, std::vector<uint8_t>& index, const volatile long* stop)
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
        if (stop != nullptr && *stop != 0)
            return false;
        for (uint32_t mcu = 0; mcu < frame.mcusPerRow; ++mcu) {
            if (mcu % Stride(frame) == 0)
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

namespace {

// The rows [first, last) and MCU columns [left, right) of a band.
struct BandPlan {
    uint32_t first, last, left, right;
};

// One row and one column of MCUs more on each side of the rectangle, where
// the picture has them; columns from a note to a note. False when the
// rectangle is not in the picture, and when the band would begin at the
// top, whole: the file itself is as quick.
bool PlanBand(const Frame& frame, const JpegRect& wanted, BandPlan* plan)
{
    if (wanted.width == 0 || wanted.height == 0 || wanted.x + wanted.width > frame.width ||
        wanted.y + wanted.height > frame.height)
        return false;
    uint32_t first = wanted.y / frame.rowHeight, last = (wanted.y + wanted.height + frame.rowHeight - 1) / frame.rowHeight;
    first = first > 0 ? first - 1 : 0;
    last = std::min(last + 1, frame.rows);
    uint32_t left = wanted.x / frame.mcuWidth, right = (wanted.x + wanted.width + frame.mcuWidth - 1) / frame.mcuWidth;
    left = left > 0 ? left - 1 : 0;
    left -= left % Stride(frame);
    right = std::min(right + 1 + (Stride(frame) - (right + 1) % Stride(frame)) % Stride(frame), frame.mcusPerRow);
    *plan = {first, last, left, right};
    return !(first == 0 && left == 0 && right == frame.mcusPerRow);
}

// Bytes past a band's last note that its last bits may reach: the byte the
// note points into and a stuffed zero after a 0xFF.
constexpr size_t kBandTail = 4;

}  // namespace

size_t NotedHeadBytes(Bytes index)
{
    return index.size >= 4 * kHeaderWords && U32At(index.data) == kMagic ? U32At(index.data + 16) : 0;
}

bool NotedBandBytes(Bytes file, Bytes index, const JpegRect& wanted, size_t* from, size_t* to)
{
    Frame frame;
    BandPlan plan;
    if (!ReadNotes(file, index, frame) || !PlanBand(frame, wanted, &plan))
        return false;
    *from = NoteOf(index, frame, plan.first, plan.left).place.byte;
    *to = std::min(file.size, NoteOf(index, frame, plan.last - 1, plan.right).place.byte + kBandTail);
    return *from <= *to;
}

bool CutJpegBand(Bytes file, Bytes index, const JpegRect& wanted, JpegBand& band)
{
    Frame frame;
    BandPlan plan;
    if (!ReadNotes(file, index, frame) || !PlanBand(frame, wanted, &plan))
        return false;
    const uint32_t first = plan.first, last = plan.last, left = plan.left, right = plan.right;
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
