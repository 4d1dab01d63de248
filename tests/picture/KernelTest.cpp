// The resampling kernel and the block checks, natively (and under the
// sanitizers in the sanitizer tree).
#include "imageload/block/DibBlock.h"
#include "picture/NearestResample.h"
#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

const int kBitCounts[] = {1, 4, 8, 16, 24, 32};

PixelGrid Resampled(const PixelGrid& source, int width, int height)
{
    PixelGrid target(source.Bits(), width, height);
    dib::ResampleNearest(source.AsSource(), target.AsTarget(), source.Bits());
    return target;
}

PixelGrid Marked(int bits, int width, int height)
{
    PixelGrid grid(bits, width, height);
    grid.FillWithMarks();
    return grid;
}

// Every target pixel (x, y) must equal the source pixel at (xs[x], ys[y]).
void ExpectSampled(const PixelGrid& source, const PixelGrid& target, const std::vector<int>& xs,
                   const std::vector<int>& ys)
{
    for (int y = 0; y < target.Height(); ++y)
        for (int x = 0; x < target.Width(); ++x)
            ASSERT_EQ(target.Get(x, y), source.Get(xs[x], ys[y]))
                << "bits " << source.Bits() << " at (" << x << ", " << y << ")";
}

void ExpectPaddingZero(const PixelGrid& grid)
{
    for (int y = 0; y < grid.Height(); ++y) {
        const std::uint8_t* row = grid.StoredRow(y);
        // Unused low bits of the last partly used byte.
        const int usedBits = grid.Width() * grid.Bits() % 8;
        if (usedBits != 0) {
            ASSERT_EQ(row[grid.PaddingStart() - 1] & ((1 << (8 - usedBits)) - 1), 0)
                << "bits " << grid.Bits() << " width " << grid.Width() << " row " << y;
        }
        for (std::size_t k = grid.PaddingStart(); k < grid.Stride(); ++k)
            ASSERT_EQ(row[k], 0) << "bits " << grid.Bits() << " width " << grid.Width() << " byte " << k;
    }
}

}  // namespace

// Against the test pictures' own stride, ((width * bits + 31) / 32) * 4.
TEST(RowBytes, FollowsTheTableAlignsToFourAndNeverOverflows)
{
    // Unknown depths count a byte per pixel.
    EXPECT_EQ(dib::RowBytes64(2, 5), 8);
    for (int bits : kBitCounts)
        for (int width = 0; width < 70; ++width)
            EXPECT_EQ(dib::RowBytes64(bits, width), PixelGrid(bits, width, 1).Stride()) << bits << " " << width;
    // The largest widths do not overflow; negative ones give -1.
    EXPECT_EQ(dib::RowBytes64(32, 0x7FFFFFFF), 4LL * 0x7FFFFFFF);
    EXPECT_EQ(dib::RowBytes64(24, 0x7FFFFFFF), (3LL * 0x7FFFFFFF + 3) / 4 * 4);
    EXPECT_EQ(dib::RowBytes64(8, -1), -1);
}

TEST(ColourCount, ByDepthAndPlanes)
{
    EXPECT_EQ(dib::ColourCount(1, 1), 2);
    EXPECT_EQ(dib::ColourCount(4, 1), 16);
    EXPECT_EQ(dib::ColourCount(8, 1), 256);
    EXPECT_EQ(dib::ColourCount(8, 2), 512);
    EXPECT_EQ(dib::ColourCount(16, 1), 0);
    EXPECT_EQ(dib::ColourCount(24, 3), 0);
    EXPECT_EQ(dib::ColourCount(8, 40), -1);
}

// Halving keeps every other pixel from the top left, doubling repeats each
// pixel twice across and down, 3 x 3 to 2 x 2 takes columns and rows 0 and
// 1. The marks tell every row and column apart: rows counted from the
// bottom, or 1-bit pixels taken from the least significant bit first, show.
TEST(Resample, SamplesColumnsAndRowsByTheRule)
{
    const struct {
        int from, to;
        std::vector<int> taken;
    } cases[] = {{4, 2, {0, 2}}, {2, 4, {0, 0, 1, 1}}, {3, 2, {0, 1}}};
    for (const auto& c : cases)
        for (int bits : kBitCounts) {
            const PixelGrid source = Marked(bits, c.from, c.from);
            const PixelGrid target = Resampled(source, c.to, c.to);
            ExpectSampled(source, target, c.taken, c.taken);
            ExpectPaddingZero(target);
        }
}

// Odd widths of 1 and 4 bits leave the last byte's unused low bits zero.
TEST(Resample, OddWidthsOfSmallPixelsLeaveTheUnusedBitsZero)
{
    for (int bits : {1, 4})
        for (int width = 1; width <= 40; ++width) {
            PixelGrid source(bits, 9, 3);
            std::fill(source.Bytes().begin(), source.Bytes().end(), 0xFF);
            const PixelGrid target = Resampled(source, width, 2);
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(target.Get(x, 1), (1u << bits) - 1) << bits << " bits, width " << width;
            ExpectPaddingZero(target);
        }
}

TEST(Resample, RowPaddingStaysZeroEvenWhenTheSourcePaddingIsNot)
{
    std::mt19937 random(7);
    for (int bits : kBitCounts)
        for (int width = 1; width <= 9; ++width) {
            PixelGrid source(bits, 7, 5);
            source.FillRandom(random);  // garbage in the source padding too
            ExpectPaddingZero(Resampled(source, width, 4));
        }
}

// Targets of no pixels, sources of no pixels and unknown depths.
TEST(Resample, WhatHasNoPixelsOrNoKnownDepthWritesNothing)
{
    for (int bits : kBitCounts) {
        const PixelGrid source = Marked(bits, 5, 5);
        std::vector<std::uint8_t> guard(64, 0);
        dib::ResampleNearest(source.AsSource(), {guard.data(), 0, 0, 7}, bits);
        dib::ResampleNearest(source.AsSource(), {guard.data(), 16, 3, 0}, bits);
        EXPECT_EQ(guard, std::vector<std::uint8_t>(64, 0));
    }
    PixelGrid target(8, 4, 4);
    const std::uint8_t none = 0;
    dib::ResampleNearest({&none, 0, 0, 3}, target.AsTarget(), 8);
    dib::ResampleNearest({&none, 4, 3, 0}, target.AsTarget(), 8);
    const PixelGrid source = Marked(8, 4, 4);
    dib::ResampleNearest(source.AsSource(), target.AsTarget(), 2);
    dib::ResampleNearest(source.AsSource(), target.AsTarget(), 12);
    EXPECT_EQ(target.Bytes(), std::vector<std::uint8_t>(target.Bytes().size(), 0));
}

// The plain transcription, checked against an index computation of its own
// with the same rule, so that the yardstick itself is sound.
TEST(Resample, PlainTranscriptionSamplesByTheRule)
{
    for (int bits : kBitCounts) {
        const PixelGrid source = Marked(bits, 13, 11);
        PixelGrid target(bits, 6, 17);
        dib::ResampleNearestPlain(source.AsSource(), target.AsTarget(), bits);
        std::vector<int> xs, ys;
        for (int j = 0; j < 6; ++j)
            xs.push_back(13 * j / 6);
        for (int i = 0; i < 17; ++i)
            ys.push_back(11 * i / 17);
        ExpectSampled(source, target, xs, ys);
    }
}

// The fast inner loops must be bit-identical to the plain transcription, at
// small sizes of every kind and at thumbnail and screen sizes. Source
// buffers are exactly as large as their rows, so an over-read of the top
// row shows under AddressSanitizer.
TEST(Resample, FastVersionIsBitIdenticalToThePlainTranscription)
{
    std::mt19937 random(2024);
    auto expectSame = [&random](int bits, int sourceWidth, int sourceHeight, int width, int height) {
        PixelGrid source(bits, sourceWidth, sourceHeight), fast(bits, width, height), plain(bits, width, height);
        source.FillRandom(random);
        dib::ResampleNearest(source.AsSource(), fast.AsTarget(), bits);
        dib::ResampleNearestPlain(source.AsSource(), plain.AsTarget(), bits);
        ASSERT_EQ(fast.Bytes(), plain.Bytes())
            << "bits " << bits << " " << sourceWidth << "x" << sourceHeight << " -> " << width << "x" << height;
    };
    const int sizes[] = {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 63, 64, 65, 100};
    for (int bits : kBitCounts) {
        for (int sourceWidth : sizes)
            for (int targetWidth : sizes)
                expectSame(bits, sourceWidth, 1 + static_cast<int>(random() % 40), targetWidth,
                           1 + static_cast<int>(random() % 40));
        for (auto size : {std::pair<int, int>{110, 52}, {337, 190}, {1010, 570}, {1283, 722}})
            expectSame(bits, 641, 361, size.first, size.second);
    }
}

// Pixels are moved four bytes at a time where they can be: nothing may land
// in a wide stride's spare bytes (a caller's choice, honoured) or after the
// last row, whatever the target held before, and a row's padding gets no
// pixel bytes.
TEST(Resample, WritesNothingOutsideTheTargetRows)
{
    std::mt19937 random(32);
    const std::uint8_t kUntouched = 0xEE;
    for (int bits : {8, 16, 24, 32})
        for (int targetWidth : {5, 16, 21, 64, 85, 129, 257}) {
            PixelGrid source(bits, 300, 7);
            source.FillRandom(random);
            PixelGrid plain(bits, targetWidth, 9);
            dib::ResampleNearestPlain(source.AsSource(), plain.AsTarget(), bits);

            const std::size_t rowBytes = plain.Stride();
            const std::size_t stride = rowBytes + 20;
            std::vector<std::uint8_t> target(stride * 9 + 64, kUntouched);
            dib::ResampleNearest(source.AsSource(), {target.data(), stride, targetWidth, 9}, bits);
            const std::size_t usedBytes = plain.PaddingStart();
            for (int row = 0; row < 9; ++row) {
                const std::uint8_t* written = target.data() + row * stride;
                ASSERT_EQ(0, std::memcmp(written, plain.Bytes().data() + row * rowBytes, usedBytes))
                    << "bits " << bits << " width " << targetWidth << " row " << row;
                for (std::size_t k = usedBytes; k < rowBytes; ++k)
                    ASSERT_TRUE(written[k] == 0 || written[k] == kUntouched) << "padding byte " << k;
                for (std::size_t k = rowBytes; k < stride; ++k)
                    ASSERT_EQ(written[k], kUntouched) << "bits " << bits << " width " << targetWidth << " byte " << k;
            }
            for (std::size_t k = stride * 9; k < target.size(); ++k)
                ASSERT_EQ(target[k], kUntouched) << "bits " << bits << " width " << targetWidth << " after the end";
        }
}

TEST(WellFormed, AcceptsExactBlocksOfEveryDepthAndRefusesBlocksThatBreakTheLayout)
{
    for (int bits : kBitCounts)
        for (int width : {1, 3, 17})
            EXPECT_TRUE(dib::IsWellFormed(BlankDib(width, 5, bits).data(), BlankDib(width, 5, bits).size()))
                << bits << " " << width;
    auto refused = [](std::vector<std::uint8_t> block, std::size_t size) {
        return !dib::IsWellFormed(block.data(), size);
    };
    const auto good = BlankDib(9, 4, 8);
    EXPECT_TRUE(refused(good, good.size() - 1)) << "one byte short";
    EXPECT_TRUE(refused(good, 53)) << "shorter than the headers";
    EXPECT_FALSE(dib::IsWellFormed(nullptr, 100));

    auto with = [&](std::size_t offset, std::uint32_t value) {
        auto block = good;
        dib::WriteU32(&block[offset], value);
        return block;
    };
    EXPECT_TRUE(refused(with(22, 0), good.size())) << "height 0";
    EXPECT_TRUE(refused(with(22, 0xFFFFFFFC), good.size())) << "top-down rows";
    EXPECT_TRUE(refused(with(18, 0), good.size())) << "width 0";
    EXPECT_TRUE(refused(with(18, 0x80000000), good.size())) << "negative width";
    EXPECT_TRUE(refused(with(30, 1), good.size())) << "RLE compression";
    EXPECT_TRUE(refused(with(30, 3), good.size())) << "bit fields";
    EXPECT_TRUE(refused(with(14, 124), good.size())) << "another information header";
    auto twoBits = good;
    twoBits[28] = 2;
    EXPECT_TRUE(refused(twoBits, good.size()));
    // Two planes double the colour table, which the block has no room for.
    auto twoPlanes = good;
    twoPlanes[26] = 2;
    EXPECT_TRUE(refused(twoPlanes, good.size()));
    EXPECT_FALSE(refused(twoPlanes, good.size() + 1024));
}

TEST(WellFormed, HugeSizesDoNotOverflowTheCheck)
{
    auto block = BlankDib(1, 1, 32);
    dib::WriteI32(&block[18], 0x7FFFFFFF);
    dib::WriteI32(&block[22], 0x7FFFFFFF);
    EXPECT_FALSE(dib::IsWellFormed(block.data(), block.size()));
    // 2^31 rows of 2^33 bytes would need about 2^64 bytes, more than any
    // block can claim.
    EXPECT_FALSE(dib::IsWellFormed(block.data(), std::numeric_limits<std::size_t>::max() / 2));
}
