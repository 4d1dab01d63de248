// Every depth a loader produces, saved by every saver and loaded again.
#include <gtest/gtest.h>

#include "tests/imageload/Support.h"

using namespace iltest;
using il::Format;
using il::Status;

namespace {

const int kDepths[] = {1, 4, 8, 16, 24, 32};

// A loader's output: the synthetic block after a pass through the BMP reader.
Bytes LoaderOutput(int bits)
{
    Bytes file, dib;
    Bytes source = MakeDib(bits, 37, 23);
    EXPECT_EQ(EncodeAs(Format::Bmp, source, file), Status::Ok);
    EXPECT_EQ(DecodeAs(Format::Bmp, file, dib), Status::Ok);
    return dib;
}

struct Expectation {
    int loadedBits;
    int maxError;        // largest channel difference allowed
    bool keepsAlpha;
};

void CheckRoundTrip(Format format, int bits, Expectation expected)
{
    SCOPED_TRACE(std::string(ExtensionOf(format)) + " from " + std::to_string(bits) + " bits");
    Bytes dib = LoaderOutput(bits);
    Bytes untouched = dib;
    Bytes file, again;
    ASSERT_EQ(EncodeAs(format, dib, file), Status::Ok);
    EXPECT_EQ(dib, untouched) << "the saver changed the block";
    ASSERT_EQ(DecodeAs(format, file, again), Status::Ok);
    EXPECT_EQ(BitsOf(again), expected.loadedBits);
    EXPECT_LE(MaxChannelError(ColorsOf(dib), ColorsOf(again), expected.keepsAlpha), expected.maxError);
}

}  // namespace

TEST(RoundTripBmp, EveryDepthComesBackIdentical)
{
    for (int bits : kDepths) CheckRoundTrip(Format::Bmp, bits, {bits, 0, true});
}

TEST(RoundTripBmp, BlockBytesSurviveUnchanged)
{
    for (int bits : kDepths) {
        Bytes dib = LoaderOutput(bits), file, again;
        ASSERT_EQ(EncodeAs(Format::Bmp, dib, file), Status::Ok);
        ASSERT_EQ(DecodeAs(Format::Bmp, file, again), Status::Ok);
        EXPECT_EQ(again, dib) << bits << " bits";
    }
}

TEST(RoundTripPcx, EveryDepthKeepsItsColours)
{
    CheckRoundTrip(Format::Pcx, 1, {1, 0, false});
    CheckRoundTrip(Format::Pcx, 4, {4, 0, false});
    CheckRoundTrip(Format::Pcx, 8, {8, 0, false});
    CheckRoundTrip(Format::Pcx, 16, {24, 0, false});
    CheckRoundTrip(Format::Pcx, 24, {24, 0, false});
    CheckRoundTrip(Format::Pcx, 32, {32, 0, true});
}

TEST(RoundTripTga, EveryDepthKeepsItsColoursAndDepth)
{
    for (int bits : kDepths) CheckRoundTrip(Format::Tga, bits, {bits, 0, bits == 32});
}

TEST(RoundTripTif, EveryDepthKeepsItsColours)
{
    CheckRoundTrip(Format::Tif, 1, {1, 0, false});
    CheckRoundTrip(Format::Tif, 4, {4, 0, false});
    CheckRoundTrip(Format::Tif, 8, {8, 0, false});
    CheckRoundTrip(Format::Tif, 16, {24, 0, false});
    CheckRoundTrip(Format::Tif, 24, {24, 0, false});
    CheckRoundTrip(Format::Tif, 32, {32, 0, true});
}

TEST(RoundTripTif, GreyRampStaysGrey)
{
    Bytes dib = MakeDib(8, 19, 7);
    for (int i = 0; i < 256; ++i) std::fill_n(dib.begin() + 54 + 4 * i, 3, static_cast<uint8_t>(i));
    Bytes file, again;
    ASSERT_EQ(EncodeAs(Format::Tif, dib, file), Status::Ok);
    ASSERT_EQ(DecodeAs(Format::Tif, file, again), Status::Ok);
    EXPECT_EQ(again, dib);
}

TEST(RoundTripGif, PaletteDepthsAreExact)
{
    for (int bits : {1, 4, 8}) CheckRoundTrip(Format::Gif, bits, {bits, 0, false});
}

TEST(RoundTripGif, DeepPicturesWithFewColoursAreExact)
{
    // 16-bit 5-5-5 with under 256 distinct colours: no quantisation needed.
    Bytes dib = MakeDib(16, 12, 10), file, again;
    ASSERT_EQ(EncodeAs(Format::Gif, dib, file), Status::Ok);
    ASSERT_EQ(DecodeAs(Format::Gif, file, again), Status::Ok);
    EXPECT_EQ(BitsOf(again), 8);
    EXPECT_EQ(MaxChannelError(ColorsOf(dib), ColorsOf(again)), 0);
}

TEST(RoundTripGif, DeepPicturesAreQuantisedCloseTo256Colours)
{
    for (int bits : {16, 24, 32}) {
        SCOPED_TRACE(bits);
        Bytes dib = LoaderOutput(bits), file, again;
        ASSERT_EQ(EncodeAs(Format::Gif, dib, file), Status::Ok);
        ASSERT_EQ(DecodeAs(Format::Gif, file, again), Status::Ok);
        EXPECT_EQ(BitsOf(again), 8);
        // giflib's median cut works on 5-bit channels; on this noisy pattern
        // a channel moves by about 10 on average.
        EXPECT_LE(MeanChannelError(ColorsOf(dib), ColorsOf(again)), 12.0);
        EXPECT_LE(MaxChannelError(ColorsOf(dib), ColorsOf(again)), 64);
    }
}

TEST(RoundTripJpg, EveryDepthWithinTheStatedError)
{
    // At quality 95 with full-resolution colour, a channel moves by at most
    // 24 on this hard-edged pattern and by about 3 on average.
    for (int bits : kDepths) {
        SCOPED_TRACE(bits);
        Bytes dib = LoaderOutput(bits), file, again;
        ASSERT_EQ(EncodeAs(Format::Jpg, dib, file, 95), Status::Ok);
        ASSERT_EQ(DecodeAs(Format::Jpg, file, again), Status::Ok);
        EXPECT_EQ(BitsOf(again), 24);
        EXPECT_LE(MaxChannelError(ColorsOf(dib), ColorsOf(again)), 24);
        EXPECT_LE(MeanChannelError(ColorsOf(dib), ColorsOf(again)), 4.0);
    }
}

TEST(RoundTripJpg, GreyPicturesStayEightBitGrey)
{
    Bytes dib = MakeDib(8, 40, 30);
    for (int i = 0; i < 256; ++i) std::fill_n(dib.begin() + 54 + 4 * i, 3, static_cast<uint8_t>(i));
    Bytes file, again;
    ASSERT_EQ(EncodeAs(Format::Jpg, dib, file, 100), Status::Ok);
    ASSERT_EQ(DecodeAs(Format::Jpg, file, again), Status::Ok);
    EXPECT_EQ(BitsOf(again), 8);
    EXPECT_LE(MaxChannelError(ColorsOf(dib), ColorsOf(again)), 8);
}

TEST(RoundTripJpg, LowerQualityMakesSmallerFiles)
{
    Bytes dib = LoaderOutput(24), best, poor;
    ASSERT_EQ(EncodeAs(Format::Jpg, dib, best, 100), Status::Ok);
    ASSERT_EQ(EncodeAs(Format::Jpg, dib, poor, 10), Status::Ok);
    EXPECT_LT(poor.size(), best.size() / 2);
}

TEST(RoundTripJpg, QualityOutsideOneToHundredIsRefused)
{
    Bytes dib = LoaderOutput(24), file;
    EXPECT_EQ(EncodeAs(Format::Jpg, dib, file, 0), Status::Unsupported);
    EXPECT_EQ(EncodeAs(Format::Jpg, dib, file, 101), Status::Unsupported);
    EXPECT_TRUE(file.empty());
}
