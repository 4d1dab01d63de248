#include "picture/NearestResample.h"

#include "imageload/block/DibBlock.h"

#include <cstring>
#include <memory>
#include <new>

namespace dib {
namespace {

bool HasWork(const SourceRows& source, const TargetRows& target, int bitCount)
{
    return IsSupportedBitCount(bitCount) && source.width > 0 && source.height > 0 &&
           target.width > 0 && target.height > 0;
}

std::int64_t SourceRowFor(const SourceRows& source, const TargetRows& target, std::int64_t i)
{
    return source.height - 1 - (source.height * i) / target.height;
}

std::int64_t SourceColumnFor(const SourceRows& source, const TargetRows& target, std::int64_t j)
{
    return (source.width * j) / target.width;
}

// (total * k) / parts for consecutive k with a single division: the fast
// version's rows and columns. A division per pixel and per row, as the
// plain transcription does it, costs as much as moving the pixels.
class TruncatedSteps {
public:
    // total and parts are picture sizes (parts > 0) and k at most parts:
    // only the first product needs 64 bits, the steps fit 32.
    TruncatedSteps(std::int64_t total, std::int64_t parts, std::int64_t k = 0)
        : whole_(static_cast<std::uint32_t>(total / parts)), rest_(static_cast<std::uint32_t>(total % parts)),
          parts_(static_cast<std::uint32_t>(parts)), value_(static_cast<std::uint32_t>(total * k / parts)),
          remainder_(static_cast<std::uint32_t>(total * k % parts))
    {
    }

    std::int64_t Value() const { return value_; }

    void Next()
    {
        value_ += whole_;
        remainder_ += rest_;
        if (remainder_ >= parts_) {
            remainder_ -= parts_;
            ++value_;
        }
    }

    void Previous()
    {
        value_ -= whole_;
        if (remainder_ < rest_) {
            remainder_ += parts_ - rest_;
            --value_;
        } else {
            remainder_ -= rest_;
        }
    }

private:
    std::uint32_t whole_;
    std::uint32_t rest_;
    std::uint32_t parts_;
    std::uint32_t value_;
    std::uint32_t remainder_;  // (total * k) % parts
};

// ---- plain transcription ----------------------------------------------

void CopyPixelPlain(const std::uint8_t* from, std::uint8_t* to, std::int64_t sx, std::int64_t j,
                    int bitCount)
{
    switch (bitCount) {
    case 1: {
        const int bit = (from[sx / 8] >> (7 - sx % 8)) & 1;
        to[j / 8] |= static_cast<std::uint8_t>(bit << (7 - j % 8));
        break;
    }
    case 4: {
        const int nibble = (sx % 2 == 0) ? (from[sx / 2] >> 4) : (from[sx / 2] & 0x0F);
        to[j / 2] |= static_cast<std::uint8_t>(j % 2 == 0 ? nibble << 4 : nibble);
        break;
    }
    default: {
        const int bytes = bitCount / 8;
        std::memcpy(to + bytes * j, from + bytes * sx, bytes);
        break;
    }
    }
}

// ---- fast version -------------------------------------------------------
// One table entry per target column holds the source column (1 and 4 bits)
// or the source byte offset (whole-byte pixels); target rows that sample
// the same source row as the row above them are copied from it.

void SampleRow1(const std::uint8_t* from, std::uint8_t* to, const std::uint32_t* columns, int width)
{
    int j = 0;
    for (int byte = 0; j < width; ++byte) {
        unsigned packed = 0;
        for (int bit = 7; bit >= 0 && j < width; --bit, ++j) {
            const std::uint32_t sx = columns[j];
            packed |= ((from[sx >> 3] >> (7 - (sx & 7))) & 1u) << bit;
        }
        to[byte] = static_cast<std::uint8_t>(packed);
    }
}

void SampleRow4(const std::uint8_t* from, std::uint8_t* to, const std::uint32_t* columns, int width)
{
    auto nibbleAt = [from](std::uint32_t sx) -> unsigned {
        const unsigned byte = from[sx >> 1];
        return (sx & 1) ? (byte & 0x0Fu) : (byte >> 4);
    };
    int j = 0;
    for (; j + 1 < width; j += 2)
        to[j >> 1] = static_cast<std::uint8_t>((nibbleAt(columns[j]) << 4) | nibbleAt(columns[j + 1]));
    if (j < width)
        to[j >> 1] = static_cast<std::uint8_t>(nibbleAt(columns[j]) << 4);
}

void SampleRow8(const std::uint8_t* from, std::uint8_t* to, const std::uint32_t* offsets, int width)
{
    int j = 0;
    for (; j + 8 <= width; j += 8) {
        // Eight loads, one store: the store port is what limits a byte gather.
        std::uint64_t packed = 0;
        for (int k = 0; k < 8; ++k)
            packed |= static_cast<std::uint64_t>(from[offsets[j + k]]) << (8 * k);
        std::uint8_t bytes[8];
        for (int k = 0; k < 8; ++k)
            bytes[k] = static_cast<std::uint8_t>(packed >> (8 * k));
        std::memcpy(to + j, bytes, 8);
    }
    for (; j < width; ++j)
        to[j] = from[offsets[j]];
}

void SampleRow16(const std::uint8_t* from, std::uint8_t* to, const std::uint32_t* offsets, int width)
{
    for (int j = 0; j < width; ++j)
        std::memcpy(to + 2 * j, from + offsets[j], 2);
}

// Columns below wideColumns move four bytes at once: the fourth byte read
// lies inside the source row's stride, and the fourth byte written is
// overwritten by the next pixel. The rest, the last column always among
// them, move three bytes so that the row padding stays zero.
void SampleRow24(const std::uint8_t* from, std::uint8_t* to, const std::uint32_t* offsets, int width,
                 int wideColumns)
{
    int j = 0;
    for (; j < wideColumns; ++j)
        std::memcpy(to + 3 * j, from + offsets[j], 4);
    for (; j < width; ++j)
        std::memcpy(to + 3 * j, from + offsets[j], 3);
}

void SampleRow32(const std::uint8_t* from, std::uint8_t* to, const std::uint32_t* offsets, int width)
{
    for (int j = 0; j < width; ++j)
        std::memcpy(to + 4 * j, from + offsets[j], 4);
}

void SampleRowPortable(int bitCount, const std::uint8_t* from, std::uint8_t* to, const std::uint32_t* columns,
                       int width, int wide24)
{
    switch (bitCount) {
    case 1: SampleRow1(from, to, columns, width); break;
    case 4: SampleRow4(from, to, columns, width); break;
    case 8: SampleRow8(from, to, columns, width); break;
    case 16: SampleRow16(from, to, columns, width); break;
    case 24: SampleRow24(from, to, columns, width, wide24); break;
    case 32: SampleRow32(from, to, columns, width); break;
    }
}

int WideColumns24(const std::uint32_t* offsets, int width, std::size_t sourceStride)
{
    int wide = 0;
    while (wide < width - 1 && offsets[wide] + 4u <= sourceStride)
        ++wide;
    return wide;
}

// The source offset of each target pixel's first byte (1 and 4 bits: its
// source column). A source row is smaller than its block, and blocks stay
// below 4 GiB, so offsets fit 32 bits.
std::unique_ptr<std::uint32_t[]> SourceOffsets(const SourceRows& source, const TargetRows& target,
                                               std::uint32_t bytesPerPixel)
{
    std::unique_ptr<std::uint32_t[]> offsets(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(target.width)]);
    if (!offsets)
        return offsets;
    std::uint32_t* next = offsets.get();
    TruncatedSteps column(source.width, target.width);
    for (int j = 0; j < target.width; ++j, column.Next())
        *next++ = static_cast<std::uint32_t>(column.Value()) * bytesPerPixel;
    return offsets;
}

}  // namespace

void ResampleNearestPlain(const SourceRows& source, const TargetRows& target, int bitCount)
{
    if (!HasWork(source, target, bitCount))
        return;
    for (std::int64_t i = 0; i < target.height; ++i) {
        std::uint8_t* to = target.base + (target.height - 1 - i) * target.stride;
        const std::uint8_t* from = source.base + SourceRowFor(source, target, i) * source.stride;
        for (std::int64_t j = 0; j < target.width; ++j)
            CopyPixelPlain(from, to, SourceColumnFor(source, target, j), j, bitCount);
    }
}

void ResampleNearest(const SourceRows& source, const TargetRows& target, int bitCount)
{
    if (!HasWork(source, target, bitCount))
        return;
    std::unique_ptr<std::uint32_t[]> columns =
        SourceOffsets(source, target, bitCount >= 8 ? static_cast<std::uint32_t>(bitCount / 8) : 1u);
    if (!columns) {
        ResampleNearestPlain(source, target, bitCount);
        return;
    }
    const int wide24 = bitCount == 24 ? WideColumns24(columns.get(), target.width, source.stride) : 0;
    const std::size_t usedBytes = static_cast<std::size_t>(RowBytes64(bitCount, target.width));

    // Rows go in stored order, upwards in memory, which the processor's
    // prefetchers follow best; target row i counted from the top is
    // stored row height - 1 - i.
    TruncatedSteps rowFromTop(source.height, target.height, target.height - 1);
    std::int64_t previousSourceRow = -1;
    const std::uint8_t* previousTarget = nullptr;
    for (std::int64_t stored = 0; stored < target.height; ++stored, rowFromTop.Previous()) {
        std::uint8_t* to = target.base + stored * target.stride;
        const std::int64_t sourceRow = source.height - 1 - rowFromTop.Value();
        if (sourceRow == previousSourceRow) {
            std::memcpy(to, previousTarget, usedBytes);
        } else {
            SampleRowPortable(bitCount, source.base + sourceRow * source.stride, to, columns.get(), target.width,
                              wide24);
            previousSourceRow = sourceRow;
        }
        previousTarget = to;
    }
}

}  // namespace dib
