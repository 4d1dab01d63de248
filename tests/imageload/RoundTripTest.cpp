// Every depth a loader produces, saved by every saver and loaded again.
#include <gtest/gtest.h>

#include "tests/imageload/Support.h"

using namespace iltest;
using il::Format;
using il::Status;

namespace {

// A loader's output: the synthetic block after a pass through the BMP reader.
Bytes LoaderOutput(int bits)
{
    Bytes file, dib;
    EXPECT_EQ(EncodeAs(Format::Bmp, MakeDib(bits, 37, 23), file), Status::Ok);
    EXPECT_EQ(DecodeAs(Format::Bmp, file, dib), Status::Ok);
    return dib;
}

}  // namespace

// The depth each saver's file loads back as, the largest channel difference
// (alpha too where it loads back as 32 bits) and the mean one. giflib's
// median cut works on 5-bit channels: on this noisy pattern a channel moves
// by about 10 on average. JPEG at quality 95 with full-resolution colour
// moves a channel by at most 24 on this hard-edged pattern and by about 3
// on average.
TEST(RoundTrip, EverySaverKeepsTheColoursOfEveryDepth)
{
    const struct {
        Format format;
        int bits, loadedBits, maxError;
        double meanError;
    } cases[] = {
        {Format::Bmp, 1, 1, 0, 0},    {Format::Bmp, 4, 4, 0, 0},    {Format::Bmp, 8, 8, 0, 0},
        {Format::Bmp, 16, 16, 0, 0},  {Format::Bmp, 24, 24, 0, 0},  {Format::Bmp, 32, 32, 0, 0},
        {Format::Pcx, 1, 1, 0, 0},    {Format::Pcx, 4, 4, 0, 0},    {Format::Pcx, 8, 8, 0, 0},
        {Format::Pcx, 16, 24, 0, 0},  {Format::Pcx, 24, 24, 0, 0},  {Format::Pcx, 32, 32, 0, 0},
        {Format::Tga, 1, 1, 0, 0},    {Format::Tga, 4, 4, 0, 0},    {Format::Tga, 8, 8, 0, 0},
        {Format::Tga, 16, 16, 0, 0},  {Format::Tga, 24, 24, 0, 0},  {Format::Tga, 32, 32, 0, 0},
        {Format::Tif, 1, 1, 0, 0},    {Format::Tif, 4, 4, 0, 0},    {Format::Tif, 8, 8, 0, 0},
        {Format::Tif, 16, 24, 0, 0},  {Format::Tif, 24, 24, 0, 0},  {Format::Tif, 32, 32, 0, 0},
        {Format::Gif, 1, 1, 0, 0},    {Format::Gif, 4, 4, 0, 0},    {Format::Gif, 8, 8, 0, 0},
        {Format::Gif, 16, 8, 64, 12}, {Format::Gif, 24, 8, 64, 12}, {Format::Gif, 32, 8, 64, 12},
        {Format::Jpg, 1, 24, 24, 4},  {Format::Jpg, 4, 24, 24, 4},  {Format::Jpg, 8, 24, 24, 4},
        {Format::Jpg, 16, 24, 24, 4}, {Format::Jpg, 24, 24, 24, 4}, {Format::Jpg, 32, 24, 24, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(ExtensionOf(c.format)) + " from " + std::to_string(c.bits) + " bits");
        const Bytes dib = LoaderOutput(c.bits), untouched = dib;
        Bytes file, again;
        ASSERT_EQ(EncodeAs(c.format, dib, file), Status::Ok);
        EXPECT_EQ(dib, untouched) << "the saver changed the block";
        ASSERT_EQ(DecodeAs(c.format, file, again), Status::Ok);
        EXPECT_EQ(BitsOf(again), c.loadedBits);
        EXPECT_LE(MaxChannelError(ColorsOf(dib), ColorsOf(again), c.loadedBits == 32), c.maxError);
        EXPECT_LE(MeanChannelError(ColorsOf(dib), ColorsOf(again)), c.meanError);
        EXPECT_TRUE(c.format != Format::Bmp || again == dib) << "a BMP keeps the block's very bytes";
    }
}

// 16-bit 5-5-5 with under 256 distinct colours: no quantisation needed.
TEST(RoundTrip, GifOfADeepPictureWithFewColoursIsExact)
{
    Bytes dib = MakeDib(16, 12, 10), file, again;
    ASSERT_EQ(EncodeAs(Format::Gif, dib, file), Status::Ok);
    ASSERT_EQ(DecodeAs(Format::Gif, file, again), Status::Ok);
    EXPECT_EQ(BitsOf(again), 8);
    EXPECT_EQ(MaxChannelError(ColorsOf(dib), ColorsOf(again)), 0);
}

// A TIFF keeps the very block; a JPEG at quality 100 stays within 8.
TEST(RoundTrip, GreyPicturesStayEightBitGrey)
{
    for (Format format : {Format::Tif, Format::Jpg}) {
        SCOPED_TRACE(ExtensionOf(format));
        Bytes dib = MakeDib(8, 40, 30), file, again;
        for (uint32_t i = 0; i < 256; ++i) SetDibColour(dib, i, i * 0x010101u);
        ASSERT_EQ(EncodeAs(format, dib, file, 100), Status::Ok);
        ASSERT_EQ(DecodeAs(format, file, again), Status::Ok);
        EXPECT_EQ(BitsOf(again), 8);
        EXPECT_LE(MaxChannelError(ColorsOf(dib), ColorsOf(again)), format == Format::Tif ? 0 : 8);
        EXPECT_TRUE(format != Format::Tif || again == dib) << "a TIFF keeps the block's very bytes";
    }
}

TEST(RoundTrip, JpegQualityFromOneToHundredSetsTheSizeOthersAreRefused)
{
    Bytes dib = LoaderOutput(24), best, poor, refused;
    ASSERT_EQ(EncodeAs(Format::Jpg, dib, best, 100), Status::Ok);
    ASSERT_EQ(EncodeAs(Format::Jpg, dib, poor, 10), Status::Ok);
    EXPECT_LT(poor.size(), best.size() / 2);
    EXPECT_EQ(EncodeAs(Format::Jpg, dib, refused, 0), Status::Unsupported);
    EXPECT_EQ(EncodeAs(Format::Jpg, dib, refused, 101), Status::Unsupported);
    EXPECT_TRUE(refused.empty());
}
