// Files written by independent tools (ImageMagick, netpbm, libtiff's tools,
// libjpeg-turbo's tools, Pillow) load to the pixels those tools read back;
// files this library writes read back correctly in those tools.
#include <gtest/gtest.h>

#include "tests/imageload/Support.h"

using namespace iltest;
using il::Format;
using il::Status;

namespace {

// Readers that turn a file into a binary PPM; IN and OUT are replaced.
const char* const kMagickToPnm = "/usr/bin/convert IN[0] -alpha off -depth 8 ppm:OUT";
const char* const kPillowToPnm =
    "/usr/bin/python3 -c \"import sys; from PIL import Image; Image.open(sys.argv[1]).convert('RGB').save(sys.argv[2], 'PPM')\" IN OUT";
// 5-bit channels widen by bit replication here and by rounding elsewhere:
// the two differ by at most one level.
const int kFiveBitWidening = 1;

// A reference picture with exactly `colors` distinct colours (all of them
// used), or a smooth many-coloured one when colors is 0.
Colors Reference(int colors, uint32_t width = 45, uint32_t height = 31)
{
    Colors c{width, height, 24, {}};
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            if (colors == 0) {
                c.pixels.push_back({static_cast<uint8_t>(x * 5), static_cast<uint8_t>(y * 8),
                                    static_cast<uint8_t>((x + y) * 3), 255});
            } else {
                uint32_t i = (x + y * width) % static_cast<uint32_t>(colors);
                c.pixels.push_back({static_cast<uint8_t>(i * 53 % 256), static_cast<uint8_t>(i * 29 % 256),
                                    static_cast<uint8_t>(255 - i), 255});
            }
        }
    return c;
}

// Bands of what makes a run-length stream hard: a flat bright band (runs
// of 63), bright noise (a byte of its own run nearly every other byte),
// dark noise (long stretches of literals) and steps of 1 to 12 equal
// pixels (every short run length), over rows long enough for decoders that
// work in blocks.
Colors RunLengthBands(uint32_t width = 333, uint32_t height = 9)
{
    Colors c{width, height, 24, {}};
    std::vector<uint8_t> steps;
    for (uint32_t step = 0; steps.size() < width; ++step) steps.insert(steps.end(), step % 12 + 1, 0xc0 + step * 37 % 64);
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            noise = noise * 1103515245 + 12345;
            const uint8_t n = static_cast<uint8_t>(noise >> 16);
            switch (x * 4 / width) {
            case 0: c.pixels.push_back({200, 200, 200, 255}); break;
            case 1: c.pixels.push_back({static_cast<uint8_t>(192 | n), static_cast<uint8_t>(192 | (n >> 2)), 255, 255}); break;
            case 2: c.pixels.push_back({static_cast<uint8_t>(n & 0x7f), static_cast<uint8_t>(n >> 1), 7, 255}); break;
            default: c.pixels.push_back({steps[x], steps[x], static_cast<uint8_t>(steps[x] ^ y), 255});
            }
        }
    return c;
}

// A file a tool writes, run in the scratch folder where the reference
// pictures are (two.ppm, sixteen.ppm, many.ppm, smooth.ppm, bands.ppm):
// the depth it must load as (0: the depth the file declares), and the
// largest channel difference from what the reading tool makes of it.
struct ToolFile {
    const char* name;
    const char* command;
    int bits;
    int tolerance = 0;
    const char* reader = kMagickToPnm;
};

class Interop : public ::testing::Test {
protected:
    void SetUp() override
    {
        WritePpm(Path("two.ppm"), Reference(2));
        WritePpm(Path("sixteen.ppm"), Reference(16));
        WritePpm(Path("many.ppm"), Reference(200));
        WritePpm(Path("smooth.ppm"), Reference(0));
        WritePpm(Path("bands.ppm"), RunLengthBands());
    }

    std::string Path(const std::string& name) const { return dir_.Path(name); }

    // Loads a file a tool wrote and compares it with what a reading tool
    // (ImageMagick unless told) makes of the same file.
    void ExpectLoadsLikeTool(Format format, const std::string& file, int expectedBits, int tolerance = 0,
                             const char* reader = kMagickToPnm)
    {
        SCOPED_TRACE(file);
        Bytes dib, bytes = ReadBytes(file);
        EXPECT_EQ(il::DetectFormat({bytes.data(), bytes.size()}, file.substr(file.rfind('.')).c_str()), format);
        ASSERT_EQ(DecodeAs(format, bytes, dib), Status::Ok);
        EXPECT_EQ(BitsOf(dib), expectedBits != 0 ? expectedBits : BitsOf(bytes));
        ASSERT_TRUE(RunTool(reader, file, Path("tool.ppm"))) << reader;
        Colors tool = ReadPnm(Path("tool.ppm"));
        ASSERT_FALSE(tool.pixels.empty());
        EXPECT_LE(MaxChannelError(ColorsOf(dib), tool), tolerance);
    }

    void ExpectEachLoadsLikeTool(Format format, const std::vector<ToolFile>& files)
    {
        for (const ToolFile& f : files) {
            ASSERT_TRUE(RunTool("cd '" + Path("") + "' && " + f.command)) << f.command;
            ExpectLoadsLikeTool(format, Path(f.name), f.bits, f.tolerance, f.reader);
        }
    }

    // Saves a synthetic picture and reads it back with a tool command that
    // writes PPM or PGM to out.pnm. Where the saver loses colours (lossy),
    // our own decoder is the reference: the tool must read the same pixels
    // from our file.
    void ExpectToolReads(Format format, int bits, const std::string& toolCommand, int tolerance = 0,
                         bool lossy = false)
    {
        SCOPED_TRACE(std::string(ExtensionOf(format)) + " " + std::to_string(bits) + " bits via " + toolCommand);
        Bytes dib = MakeDib(bits, 37, 23), file;
        ASSERT_EQ(EncodeAs(format, dib, file, 100), Status::Ok);
        ASSERT_TRUE(!lossy || DecodeAs(format, file, dib) == Status::Ok);
        std::string in = Path(std::string("ours.") + ExtensionOf(format)), out = Path("out.pnm");
        WriteBytes(in, file);
        ASSERT_TRUE(RunTool(toolCommand, in, out)) << toolCommand;
        Colors tool = ReadPnm(out);
        ASSERT_FALSE(tool.pixels.empty());
        EXPECT_LE(MaxChannelError(ColorsOf(dib), tool), tolerance);
    }

    ScratchDir dir_;
};

}  // namespace

// ---- BMP ------------------------------------------------------------------

TEST_F(Interop, BmpFromNetpbmAndImageMagick)
{
    const std::vector<ToolFile> files = {
        {"1.bmp", "ppmtobmp -bpp 1 two.ppm > 1.bmp", 1},
        {"4.bmp", "ppmtobmp -bpp 4 sixteen.ppm > 4.bmp", 4},
        {"8.bmp", "ppmtobmp -bpp 8 many.ppm > 8.bmp", 8},
        {"os2.bmp", "ppmtobmp -os2 -bpp 8 many.ppm > os2.bmp", 8},
        {"24.bmp", "ppmtobmp -bpp 24 smooth.ppm > 24.bmp", 24},
        {"rle8.bmp", "/usr/bin/convert many.ppm -type Palette -compress RLE BMP3:rle8.bmp", 8},
        // 4 or 8 bits, as ImageMagick chooses.
        {"rle4.bmp", "/usr/bin/convert sixteen.ppm -type Palette -colors 16 -compress RLE BMP3:rle4.bmp", 0},
        {"565.bmp", "/usr/bin/convert smooth.ppm -define bmp:subtype=RGB565 565.bmp", 24, kFiveBitWidening},
        {"555.bmp", "/usr/bin/convert smooth.ppm -define bmp:subtype=RGB555 555.bmp", 16, kFiveBitWidening},
        {"argb.bmp", "/usr/bin/convert smooth.ppm -alpha set -channel A -fx 'i/w' +channel argb.bmp", 32},
    };
    ExpectEachLoadsLikeTool(Format::Bmp, files);
}

namespace {

// A run-length BMP built byte by byte; palette entry i is (i, 2i, 3i).
Bytes RleBmp(int bits, uint32_t width, uint32_t height, const Bytes& runs)
{
    Bytes f = BlankDib(static_cast<int>(width), static_cast<int>(height), bits);
    f.resize(DibPixelOffset(f));
    for (uint32_t i = 0; i < (1u << bits); ++i) SetDibColour(f, i, i << 16 | (2 * i & 0xff) << 8 | (3 * i & 0xff));
    dib::WriteU32(&f[dib::kFileSizeOffset], static_cast<uint32_t>(f.size() + runs.size()));
    dib::WriteU32(&f[dib::kCompressionOffset], bits == 8 ? 1 : 2);  // RLE8, RLE4
    dib::WriteU32(&f[dib::kImageSizeOffset], static_cast<uint32_t>(runs.size()));
    f.insert(f.end(), runs.begin(), runs.end());
    return f;
}

void ExpectIndices(const Bytes& bmp, const std::vector<std::vector<int>>& rowsFromTop)
{
    Bytes dib;
    ASSERT_EQ(DecodeAs(Format::Bmp, bmp, dib), Status::Ok);
    Colors c = ColorsOf(dib);
    for (uint32_t y = 0; y < rowsFromTop.size(); ++y)
        for (uint32_t x = 0; x < rowsFromTop[y].size(); ++x)
            EXPECT_EQ(c.At(x, y).r, rowsFromTop[y][x]) << x << "," << y;
}

}  // namespace

// An absolute run that fills an odd number of bytes is padded to a word;
// the pad byte is no code.
TEST(BmpRunLength, OddAbsoluteRunsSkipTheirPadByte)
{
    ExpectIndices(RleBmp(8, 5, 2,
                         {0x00, 0x03, 1, 2, 3, 0x00,    // bottom row: absolute 1 2 3, pad
                          0x02, 4,                      // two of 4
                          0x00, 0x00,                   // end of row
                          0x05, 7,                      // top row: five of 7
                          0x00, 0x01}),                 // end of picture
                  {{7, 7, 7, 7, 7}, {1, 2, 3, 4, 4}});
    ExpectIndices(RleBmp(4, 7, 2,
                         {0x00, 0x05, 0x12, 0x34, 0x50, 0x00,   // absolute 1 2 3 4 5 in 3 bytes, pad
                          0x02, 0x66,                           // two of 6
                          0x00, 0x00,
                          0x00, 0x03, 0x9a, 0xb0,               // absolute 9 10 11 in 2 bytes, no pad
                          0x04, 0x2c,                           // 2 12 2 12
                          0x00, 0x01}),
                  {{9, 10, 11, 2, 12, 2, 12}, {1, 2, 3, 4, 5, 6, 6}});
}

TEST_F(Interop, BmpWeWriteReadsInNetpbmAndImageMagick)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        int tolerance = bits == 16 ? kFiveBitWidening : 0;
        ExpectToolReads(Format::Bmp, bits, "bmptopnm IN > OUT", tolerance);
        ExpectToolReads(Format::Bmp, bits, kMagickToPnm, tolerance);
    }
}

// ---- GIF ------------------------------------------------------------------

// GIFs no tool of ours writes, by a script of the tests (a literal, for the table rows).
#define WIDE_CODE_GIF "/usr/bin/python3 " TEST_TOOLS_DIR "/make_wide_code_gif.py "

TEST_F(Interop, GifFromImageMagickNetpbmAndAScriptOfOurs)
{
    const std::vector<ToolFile> files = {
        {"2.gif", "/usr/bin/convert two.ppm 2.gif", 1},
        {"16.gif", "/usr/bin/convert sixteen.ppm 16.gif", 4},
        {"interlaced.gif", "/usr/bin/convert many.ppm -interlace GIF interlaced.gif", 8},
        {"netpbm.gif", "pamtogif many.ppm > netpbm.gif", 8},
        {"netpbm-interlaced.gif", "pamtogif -interlace sixteen.ppm > netpbm-interlaced.gif", 4},
        // An animation gives its first frame.
        {"anim.gif", "/usr/bin/convert -delay 10 sixteen.ppm two.ppm anim.gif", 4},
        // LZW minimum code sizes of 9 to 11 are legal but rare: no tool of
        // ours writes them, so a script of the tests does.
        {"code8.gif", WIDE_CODE_GIF "8 37 23 code8.gif", 8, 0, kPillowToPnm},
        {"code9.gif", WIDE_CODE_GIF "9 37 23 code9.gif", 8, 0, kPillowToPnm},
        {"code10.gif", WIDE_CODE_GIF "10 37 23 code10.gif", 8, 0, kPillowToPnm},
        {"code11.gif", WIDE_CODE_GIF "11 37 23 code11.gif", 8, 0, kPillowToPnm},
    };
    ExpectEachLoadsLikeTool(Format::Gif, files);
}

// A pixel code that names no colour of the table shows the background
// colour: just past the table's end, and codes of 256 and above, which
// giflib hands over as bytes.
TEST_F(Interop, GifPixelCodesOutsideTheColourTableShowTheBackground)
{
    const struct {
        int codeSize, colours, background;
        const char* codes;
        std::vector<int> shown;  // colour index each code shows
    } cases[] = {
        {2, 2, 0, "0,1,2,3", {0, 1, 0, 0}},
        {9, 4, 2, "0,1,2,3,256,257,300,511", {0, 1, 2, 3, 2, 2, 2, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codes);
        const std::string gif = Path("outside.gif");
        ASSERT_TRUE(RunTool(WIDE_CODE_GIF + std::to_string(c.codeSize) + " " + std::to_string(c.shown.size()) + " 1 " +
                            gif + " " + std::to_string(c.colours) + " " + std::to_string(c.background) + " " + c.codes));
        Bytes dib;
        ASSERT_EQ(DecodeAs(Format::Gif, ReadBytes(gif), dib), Status::Ok);
        Colors loaded = ColorsOf(dib);
        for (uint32_t x = 0; x < c.shown.size(); ++x) {
            const int i = c.shown[x];  // the script's colour i
            EXPECT_EQ(loaded.At(x, 0).r, i * 53 % 256) << "pixel " << x;
            EXPECT_EQ(loaded.At(x, 0).b, 255 - i) << "pixel " << x;
        }
    }
}

TEST_F(Interop, GifFrameSmallerThanItsScreenSitsAtItsOffset)
{
    // Pillow is told nothing of the offset; giftopnm places frames on the screen.
    ASSERT_TRUE(RunTool("/usr/bin/convert -size 10x6 xc:red -repage 30x20+5+4 " + Path("frame.gif")));
    Bytes dib;
    ASSERT_EQ(DecodeAs(Format::Gif, ReadBytes(Path("frame.gif")), dib), Status::Ok);
    Colors c = ColorsOf(dib);
    ASSERT_EQ(c.width, 30u);
    ASSERT_EQ(c.height, 20u);
    EXPECT_EQ(c.At(5, 4).r, 255);
    EXPECT_EQ(c.At(14, 9).r, 255);
}

TEST_F(Interop, GifWeWriteReadsInNetpbmAndImageMagick)
{
    for (int bits : {1, 4, 8}) {
        ExpectToolReads(Format::Gif, bits, "giftopnm IN > OUT");
        ExpectToolReads(Format::Gif, bits, kMagickToPnm);
    }
    // Deep pictures are quantised.
    for (int bits : {16, 24, 32}) ExpectToolReads(Format::Gif, bits, "giftopnm IN > OUT", 0, true);
}

// ---- PCX ------------------------------------------------------------------

TEST_F(Interop, PcxFromNetpbmImageMagickAndPillow)
{
    const std::vector<ToolFile> files = {
        // Two-colour files carry their colours in the header table, which
        // netpbm honours and ImageMagick ignores (it shows black and white).
        {"1.pcx", "ppmtopcx two.ppm > 1.pcx", 1, 0, "pcxtoppm IN > OUT"},
        {"planes.pcx", "ppmtopcx sixteen.ppm > planes.pcx", 4},
        {"packed.pcx", "ppmtopcx -packed sixteen.ppm > packed.pcx", 4},
        {"8.pcx", "ppmtopcx many.ppm > 8.pcx", 8},
        {"24.pcx", "ppmtopcx -24bit smooth.ppm > 24.pcx", 24},
        {"bands.pcx", "ppmtopcx -24bit bands.ppm > bands.pcx", 24},
        {"im24.pcx", "/usr/bin/convert smooth.ppm im24.pcx", 24},
        {"im8.pcx", "/usr/bin/convert many.ppm -type Palette im8.pcx", 8},
        {"pil.pcx", "/usr/bin/python3 -c \"from PIL import Image; Image.open('smooth.ppm').save('pil.pcx')\"", 24},
    };
    ExpectEachLoadsLikeTool(Format::Pcx, files);
}

TEST_F(Interop, PcxWeWriteReadsInNetpbmAndImageMagick)
{
    for (int bits : {1, 4, 8, 16, 24}) ExpectToolReads(Format::Pcx, bits, "pcxtoppm IN > OUT");
    for (int bits : {4, 8, 16, 24, 32}) ExpectToolReads(Format::Pcx, bits, kMagickToPnm);
}

TEST_F(Interop, PcxBlackAndWhiteReadsTheSameEverywhere)
{
    Bytes dib = MakeDib(1, 37, 23), file;
    std::fill_n(dib.begin() + 54, 4, 0);
    std::fill_n(dib.begin() + 58, 3, 255);
    ASSERT_EQ(EncodeAs(Format::Pcx, dib, file), Status::Ok);
    WriteBytes(Path("bw.pcx"), file);
    // ImageMagick shows such files inverted; netpbm and Pillow agree with us.
    ExpectLoadsLikeTool(Format::Pcx, Path("bw.pcx"), 1, 0, kPillowToPnm);
    ExpectLoadsLikeTool(Format::Pcx, Path("bw.pcx"), 1, 0, "pcxtoppm IN > OUT");
}

// ---- TGA ------------------------------------------------------------------

// ImageMagick 6.9 here stores TGA rows top first under a bottom-first
// descriptor (and reads them back the same way), unlike netpbm and Pillow,
// so TGA files are judged by Pillow and netpbm.
TEST_F(Interop, TgaFromNetpbmImageMagickAndPillow)
{
    const std::vector<ToolFile> files = {
        {"rle24.tga", "ppmtotga -rgb smooth.ppm > rle24.tga", 24, 0, kPillowToPnm},
        {"raw24.tga", "ppmtotga -rgb -norle smooth.ppm > raw24.tga", 24, 0, kPillowToPnm},
        {"cmap.tga", "ppmtotga -cmap many.ppm > cmap.tga", 8, 0, kPillowToPnm},
        {"grey.tga", "ppmtotga -mono smooth.ppm > grey.tga", 8, 0, kPillowToPnm},
        {"im32.tga", "/usr/bin/convert smooth.ppm -alpha set -channel A -fx 'j/h' +channel im32.tga", 32, 0,
         kPillowToPnm},
        {"imrle.tga", "/usr/bin/convert smooth.ppm -compress RLE imrle.tga", 24, 0, kPillowToPnm},
        {"pil.tga", "/usr/bin/python3 -c \"from PIL import Image; Image.open('smooth.ppm').save('pil.tga', compression='tga_rle')\"",
         24, 0, kPillowToPnm},
        {"pil32.tga", "/usr/bin/python3 -c \"from PIL import Image; Image.open('smooth.ppm').convert('RGBA').save('pil32.tga')\"",
         32, 0, kPillowToPnm},
    };
    ExpectEachLoadsLikeTool(Format::Tga, files);
}

// A colour map may start past entry 0; the pixels name entries by their
// place in the whole map. No tool here writes one.
TEST(TgaColourMap, StartingPastEntryZeroKeepsTheIndicesOfThePixels)
{
    const Bytes tga = {0, 1, 1,             // no identification, a colour map, colour-mapped
                       2, 0, 2, 0, 24,      // the map: first entry 2, 2 entries of 24 bits
                       0, 0, 0, 0,          // origin
                       2, 0, 1, 0, 8, 0,    // 2 x 1, 8-bit indices, bottom row first
                       10, 20, 30,          // entry 2, blue green red
                       40, 50, 60,          // entry 3
                       3, 2};               // the pixels
    Bytes dib;
    ASSERT_EQ(DecodeAs(Format::Tga, tga, dib), Status::Ok);
    Colors c = ColorsOf(dib);
    EXPECT_EQ(c.At(0, 0).r, 60);
    EXPECT_EQ(c.At(0, 0).b, 40);
    EXPECT_EQ(c.At(1, 0).r, 30);
    EXPECT_EQ(c.At(1, 0).b, 10);
}

// The descriptor's two order bits, raw and run-length coded, with a run
// that goes on into the next row. No tool here writes the right-to-left
// orders.
TEST(TgaOrders, EachOfTheFourCornersRawAndRunLengthCoded)
{
    const uint8_t a = 10, b = 20, c = 30, d = 40;  // red of the pixels in file order
    const struct {
        uint8_t descriptor;
        uint8_t topLeft, topRight, bottomLeft, bottomRight;
    } cases[] = {
        {0x00, c, d, a, b},  // from the bottom left
        {0x10, d, c, b, a},  // from the bottom right
        {0x20, a, b, c, d},  // from the top left
        {0x30, b, a, d, c},  // from the top right
    };
    for (const auto& o : cases) {
        Bytes raw = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, o.descriptor,
                     0, 0, a, 0, 0, b, 0, 0, c, 0, 0, d};
        Bytes runs = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, o.descriptor,
                      0x82, 0, 0, a,           // a three times, into the second row
                      0x00, 0, 0, d};          // d once
        for (const Bytes& tga : {raw, runs}) {
            SCOPED_TRACE(std::string(tga[2] == 10 ? "run-length" : "raw") + " descriptor " + std::to_string(o.descriptor));
            Bytes dib;
            ASSERT_EQ(DecodeAs(Format::Tga, tga, dib), Status::Ok);
            Colors got = ColorsOf(dib);
            const bool coded = tga[2] == 10;
            auto expect = [&](uint8_t file) { return coded && (file == b || file == c) ? a : file; };
            EXPECT_EQ(got.At(0, 0).r, expect(o.topLeft));
            EXPECT_EQ(got.At(1, 0).r, expect(o.topRight));
            EXPECT_EQ(got.At(0, 1).r, expect(o.bottomLeft));
            EXPECT_EQ(got.At(1, 1).r, expect(o.bottomRight));
        }
    }
}

TEST_F(Interop, TgaWeWriteReadsInNetpbmAndPillow)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) ExpectToolReads(Format::Tga, bits, kPillowToPnm, bits == 16 ? kFiveBitWidening : 0);
    for (int bits : {8, 24}) ExpectToolReads(Format::Tga, bits, "tgatoppm IN > OUT");
}

// ---- JPEG -----------------------------------------------------------------

// The same decoder underlies both: only rounding in the upsampling differs.
TEST_F(Interop, JpegFromLibjpegToolsImageMagickAndPillow)
{
    const std::vector<ToolFile> files = {
        {"base.jpg", "cjpeg -quality 90 smooth.ppm > base.jpg", 24, 2},
        {"prog.jpg", "cjpeg -progressive smooth.ppm > prog.jpg", 24, 2},
        {"grey.jpg", "cjpeg -grayscale smooth.ppm > grey.jpg", 8, 1},
        {"restart.jpg", "cjpeg -restart 1 -optimize smooth.ppm > restart.jpg", 24, 2},
        {"pil.jpg", "/usr/bin/python3 -c \"from PIL import Image; Image.open('smooth.ppm').save('pil.jpg', quality=80, subsampling=1)\"",
         24, 2},
        {"cmyk.jpg", "/usr/bin/convert smooth.ppm -colorspace CMYK cmyk.jpg", 24, 3},
    };
    ExpectEachLoadsLikeTool(Format::Jpg, files);
}

// Damage that libjpeg-turbo only warns about: we show what djpeg shows.
TEST_F(Interop, JpegWithRecoverableDamageLoadsAsDjpegShowsIt)
{
    WritePpm(Path("64x48.ppm"), Reference(0, 64, 48));
    ASSERT_TRUE(RunTool("cjpeg -quality 90 " + Path("64x48.ppm") + " > " + Path("base.jpg")));
    const Bytes base = ReadBytes(Path("base.jpg"));
    const size_t dqt = FindMarker(base, 0xdb), scan = FirstScanData(base);
    ASSERT_TRUE(dqt != 0 && scan != 0);

    Bytes extraneous = base;    // stray bytes before a marker
    extraneous.insert(extraneous.begin() + static_cast<std::ptrdiff_t>(dqt), {0x00, 0x11, 0x22});
    Bytes jfifVersion = base;   // a JFIF header of an unknown major version
    jfifVersion[11] = 9;
    Bytes cutInScan(base.begin(), base.begin() + static_cast<std::ptrdiff_t>((scan + base.size()) / 2));
    Bytes strayMarker = base;   // a restart marker where none belongs
    strayMarker[scan + 40] = 0xff;
    strayMarker[scan + 41] = 0xd3;
    const struct {
        const char* name;
        const Bytes& bytes;
    } cases[] = {{"extraneous.jpg", extraneous}, {"jfif9.jpg", jfifVersion}, {"cut.jpg", cutInScan},
                 {"marker.jpg", strayMarker}};
    for (const auto& c : cases) {
        WriteBytes(Path(c.name), c.bytes);
        // djpeg ends with status 2 after a warning.
        ExpectLoadsLikeTool(Format::Jpg, Path(c.name), 24, 0, "djpeg -pnm IN > OUT || [ $? -eq 2 ]");
    }
}

TEST_F(Interop, JpegWeWriteReadsInDjpegAndImageMagick)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        ExpectToolReads(Format::Jpg, bits, "djpeg -pnm IN > OUT", 0, true);
        ExpectToolReads(Format::Jpg, bits, kMagickToPnm, 2, true);
    }
}

// ---- TIFF -----------------------------------------------------------------

TEST_F(Interop, TiffFromImageMagickAndLibtiffToolsInEachDepthAndLayout)
{
    const std::vector<ToolFile> files = {
        {"rgb.tif", "/usr/bin/convert smooth.ppm -compress None rgb.tif", 24},
        {"rgb16.tif", "/usr/bin/convert smooth.ppm -depth 16 -compress Zip rgb16.tif", 24, 1},
        {"grey.tif", "/usr/bin/convert smooth.ppm -colorspace Gray -depth 8 grey.tif", 8},
        {"grey16.tif", "/usr/bin/convert smooth.ppm -colorspace Gray -depth 16 grey16.tif", 8, 1},
        {"palette.tif", "/usr/bin/convert many.ppm -type Palette -compress LZW palette.tif", 8},
        {"bilevel.tif", "/usr/bin/convert smooth.ppm -threshold 50% -depth 1 -compress Group4 bilevel.tif", 1},
        {"rgba.tif", "/usr/bin/convert smooth.ppm -alpha set -channel A -fx 'i/w' +channel rgba.tif", 32},
        {"motorola.tif", "/usr/bin/convert smooth.ppm -endian MSB motorola.tif", 24},
        {"packbits.tif", "tiffcp -c packbits rgb.tif packbits.tif", 24},
        {"planes.tif", "tiffcp -c zip -p separate rgb.tif planes.tif", 24},
        {"tiled.tif", "tiffcp -t -w 16 -l 16 rgb.tif tiled.tif", 24},
        {"jpeg.tif", "tiffcp -c jpeg:90 -r 16 rgb.tif jpeg.tif", 24, 3},
    };
    ExpectEachLoadsLikeTool(Format::Tif, files);
}

TEST_F(Interop, TiffWeWriteReadsInLibtiffToolsNetpbmAndImageMagick)
{
    // tifftopnm blends an alpha sample over black, so 32-bit pictures are
    // judged by ImageMagick alone.
    for (int bits : {1, 4, 8, 16, 24}) ExpectToolReads(Format::Tif, bits, "tifftopnm IN > OUT");
    for (int bits : {1, 4, 8, 16, 24, 32}) ExpectToolReads(Format::Tif, bits, kMagickToPnm);
    Bytes dib = MakeDib(24, 37, 23), file;
    ASSERT_EQ(EncodeAs(Format::Tif, dib, file), Status::Ok);
    WriteBytes(Path("check.tif"), file);
    EXPECT_TRUE(RunTool("tiffinfo -D " + Path("check.tif")));
}
