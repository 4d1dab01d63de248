// Files written by independent tools (ImageMagick, netpbm, libtiff's tools,
// libjpeg-turbo's tools, Pillow) load to the pixels those tools read back;
// files this library writes read back correctly in those tools.
#include <gtest/gtest.h>

#include "tests/imageload/Support.h"

using namespace iltest;
using il::Format;
using il::Status;

namespace {

const std::string kConvert = "/usr/bin/convert";
const std::string kPython = "/usr/bin/python3";
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
    Colors c;
    c.width = width;
    c.height = height;
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
    Colors c;
    c.width = width;
    c.height = height;
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

class Interop : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir_.Path(name); }

    // Writes the reference as PPM and returns its path.
    std::string Ppm(const Colors& colors, const std::string& name = "ref.ppm")
    {
        WritePpm(Path(name), colors);
        return Path(name);
    }

    // Loads a file a tool wrote and compares it with what a reading tool
    // (ImageMagick unless told) makes of the same file.
    void ExpectLoadsLikeTool(Format format, const std::string& file, int expectedBits, int tolerance = 0,
                             std::string reader = kMagickToPnm)
    {
        SCOPED_TRACE(file);
        Bytes dib, bytes = ReadFile(file);
        EXPECT_EQ(il::DetectFormat({bytes.data(), bytes.size()}, file.substr(file.rfind('.')).c_str()), format);
        ASSERT_EQ(DecodeAs(format, bytes, dib), Status::Ok);
        EXPECT_EQ(BitsOf(dib), expectedBits);
        reader.replace(reader.find("IN"), 2, "'" + file + "'");
        reader.replace(reader.find("OUT"), 3, "'" + Path("tool.ppm") + "'");
        ASSERT_TRUE(RunTool(reader)) << reader;
        Colors tool = ReadPnm(Path("tool.ppm"));
        ASSERT_FALSE(tool.pixels.empty());
        EXPECT_LE(MaxChannelError(ColorsOf(dib), tool), tolerance);
    }

    // Saves a synthetic picture and reads it back with a tool command that
    // writes PPM or PGM to out.pnm.
    void ExpectToolReads(Format format, int bits, const std::string& toolCommand, int tolerance = 0)
    {
        SCOPED_TRACE(std::string(ExtensionOf(format)) + " " + std::to_string(bits) + " bits via " + toolCommand);
        Bytes dib = MakeDib(bits, 37, 23), file;
        ASSERT_EQ(EncodeAs(format, dib, file, 100), Status::Ok);
        std::string in = Path(std::string("ours.") + ExtensionOf(format)), out = Path("out.pnm");
        WriteFile(in, file);
        std::string command = toolCommand;
        command.replace(command.find("IN"), 2, "'" + in + "'");
        command.replace(command.find("OUT"), 3, "'" + out + "'");
        ASSERT_TRUE(RunTool(command)) << command;
        Colors tool = ReadPnm(out);
        ASSERT_FALSE(tool.pixels.empty());
        EXPECT_LE(MaxChannelError(ColorsOf(dib), tool), tolerance);
    }

    ScratchDir dir_;
};

}  // namespace

// ---- BMP ------------------------------------------------------------------

TEST_F(Interop, BmpFromNetpbmAtEachPaletteDepthAndTrueColour)
{
    std::string two = Ppm(Reference(2), "two.ppm"), sixteen = Ppm(Reference(16), "sixteen.ppm"),
                many = Ppm(Reference(200), "many.ppm"), smooth = Ppm(Reference(0), "smooth.ppm");
    ASSERT_TRUE(RunTool("ppmtobmp -bpp 1 " + two + " > " + Path("1.bmp")));
    ASSERT_TRUE(RunTool("ppmtobmp -bpp 4 " + sixteen + " > " + Path("4.bmp")));
    ASSERT_TRUE(RunTool("ppmtobmp -bpp 8 " + many + " > " + Path("8.bmp")));
    ASSERT_TRUE(RunTool("ppmtobmp -os2 -bpp 8 " + many + " > " + Path("os2.bmp")));
    ASSERT_TRUE(RunTool("ppmtobmp -bpp 24 " + smooth + " > " + Path("24.bmp")));
    ExpectLoadsLikeTool(Format::Bmp, Path("1.bmp"), 1);
    ExpectLoadsLikeTool(Format::Bmp, Path("4.bmp"), 4);
    ExpectLoadsLikeTool(Format::Bmp, Path("8.bmp"), 8);
    ExpectLoadsLikeTool(Format::Bmp, Path("os2.bmp"), 8);
    ExpectLoadsLikeTool(Format::Bmp, Path("24.bmp"), 24);
}

TEST_F(Interop, BmpVariantsFromImageMagick)
{
    std::string many = Ppm(Reference(200), "many.ppm"), sixteen = Ppm(Reference(16), "sixteen.ppm"),
                smooth = Ppm(Reference(0), "smooth.ppm");
    ASSERT_TRUE(RunTool(kConvert + " " + many + " -type Palette -compress RLE BMP3:" + Path("rle8.bmp")));
    ASSERT_TRUE(RunTool(kConvert + " " + sixteen + " -type Palette -colors 16 -compress RLE BMP3:" + Path("rle4.bmp")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -define bmp:subtype=RGB565 " + Path("565.bmp")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -define bmp:subtype=RGB555 " + Path("555.bmp")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -alpha set -channel A -fx 'i/w' +channel " + Path("argb.bmp")));
    ExpectLoadsLikeTool(Format::Bmp, Path("rle8.bmp"), 8);
    ExpectLoadsLikeTool(Format::Bmp, Path("rle4.bmp"), BitsOf(ReadFile(Path("rle4.bmp"))) == 4 ? 4 : 8);
    ExpectLoadsLikeTool(Format::Bmp, Path("565.bmp"), 24, kFiveBitWidening);
    ExpectLoadsLikeTool(Format::Bmp, Path("555.bmp"), 16, kFiveBitWidening);
    ExpectLoadsLikeTool(Format::Bmp, Path("argb.bmp"), 32);
}

namespace {

// A run-length BMP built byte by byte; palette entry i is (i, 2i, 3i).
Bytes RleBmp(int bits, uint32_t width, uint32_t height, const Bytes& runs)
{
    const uint32_t colours = 1u << bits, offset = 14 + 40 + 4 * colours;
    Bytes f(offset, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, offset + static_cast<uint32_t>(runs.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    f[26] = 1;
    f[28] = static_cast<uint8_t>(bits);
    put32(30, bits == 8 ? 1 : 2);   // RLE8, RLE4
    put32(34, static_cast<uint32_t>(runs.size()));
    put32(46, colours);
    for (uint32_t i = 0; i < colours; ++i) {
        f[54 + 4 * i] = static_cast<uint8_t>(3 * i);
        f[55 + 4 * i] = static_cast<uint8_t>(2 * i);
        f[56 + 4 * i] = static_cast<uint8_t>(i);
    }
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

TEST_F(Interop, GifFromImageMagickAndNetpbm)
{
    ASSERT_TRUE(RunTool(kConvert + " " + Ppm(Reference(2), "two.ppm") + " " + Path("2.gif")));
    ASSERT_TRUE(RunTool(kConvert + " " + Ppm(Reference(16), "sixteen.ppm") + " " + Path("16.gif")));
    ASSERT_TRUE(RunTool(kConvert + " " + Ppm(Reference(200), "many.ppm") + " -interlace GIF " + Path("interlaced.gif")));
    ASSERT_TRUE(RunTool("pamtogif " + Path("many.ppm") + " > " + Path("netpbm.gif")));
    ASSERT_TRUE(RunTool("pamtogif -interlace " + Path("sixteen.ppm") + " > " + Path("netpbm-interlaced.gif")));
    ExpectLoadsLikeTool(Format::Gif, Path("2.gif"), 1);
    ExpectLoadsLikeTool(Format::Gif, Path("16.gif"), 4);
    ExpectLoadsLikeTool(Format::Gif, Path("interlaced.gif"), 8);
    ExpectLoadsLikeTool(Format::Gif, Path("netpbm.gif"), 8);
    ExpectLoadsLikeTool(Format::Gif, Path("netpbm-interlaced.gif"), 4);
}

// Legal but rare: no tool of ours writes them, so a script of the tests does.
TEST_F(Interop, GifWithLzwMinimumCodeSizesNineToElevenLoadsAsPillowReadsIt)
{
    for (int codeSize : {8, 9, 10, 11}) {
        std::string gif = Path("code" + std::to_string(codeSize) + ".gif");
        ASSERT_TRUE(RunTool(kPython + " " + TEST_TOOLS_DIR "/make_wide_code_gif.py " + std::to_string(codeSize) +
                            " 37 23 " + gif));
        ExpectLoadsLikeTool(Format::Gif, gif, 8, 0, kPillowToPnm);
    }
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
        ASSERT_TRUE(RunTool(kPython + " " + TEST_TOOLS_DIR "/make_wide_code_gif.py " + std::to_string(c.codeSize) +
                            " " + std::to_string(c.shown.size()) + " 1 " + gif + " " + std::to_string(c.colours) +
                            " " + std::to_string(c.background) + " " + c.codes));
        Bytes dib;
        ASSERT_EQ(DecodeAs(Format::Gif, ReadFile(gif), dib), Status::Ok);
        Colors loaded = ColorsOf(dib);
        for (uint32_t x = 0; x < c.shown.size(); ++x) {
            const int i = c.shown[x];  // the script's colour i
            EXPECT_EQ(loaded.At(x, 0).r, i * 53 % 256) << "pixel " << x;
            EXPECT_EQ(loaded.At(x, 0).b, 255 - i) << "pixel " << x;
        }
    }
}

TEST_F(Interop, GifAnimationGivesItsFirstFrame)
{
    ASSERT_TRUE(RunTool(kConvert + " -delay 10 " + Ppm(Reference(16), "a.ppm") + " " + Ppm(Reference(2), "b.ppm") + " " +
                    Path("anim.gif")));
    ExpectLoadsLikeTool(Format::Gif, Path("anim.gif"), 4);
}

TEST_F(Interop, GifFrameSmallerThanItsScreenSitsAtItsOffset)
{
    // Pillow is told nothing of the offset; giftopnm places frames on the screen.
    ASSERT_TRUE(RunTool(kConvert + " -size 30x20 xc:blue -fill red -draw 'rectangle 5,4 14,9' " + Path("base.gif")));
    ASSERT_TRUE(RunTool(kConvert + " -size 10x6 xc:red -repage 30x20+5+4 " + Path("frame.gif")));
    Bytes dib;
    ASSERT_EQ(DecodeAs(Format::Gif, ReadFile(Path("frame.gif")), dib), Status::Ok);
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
    for (int bits : {16, 24, 32}) {
        // Deep pictures are quantised: compare with our own reading instead.
        Bytes dib = MakeDib(bits, 37, 23), file, again;
        ASSERT_EQ(EncodeAs(Format::Gif, dib, file), Status::Ok);
        ASSERT_EQ(DecodeAs(Format::Gif, file, again), Status::Ok);
        WriteFile(Path("deep.gif"), file);
        ASSERT_TRUE(RunTool("giftopnm " + Path("deep.gif") + " > " + Path("deep.ppm")));
        EXPECT_EQ(MaxChannelError(ColorsOf(again), ReadPnm(Path("deep.ppm"))), 0);
    }
}

// ---- PCX ------------------------------------------------------------------

TEST_F(Interop, PcxFromNetpbmInEachLayout)
{
    ASSERT_TRUE(RunTool("ppmtopcx " + Ppm(Reference(2), "two.ppm") + " > " + Path("1.pcx")));
    ASSERT_TRUE(RunTool("ppmtopcx " + Ppm(Reference(16), "sixteen.ppm") + " > " + Path("planes.pcx")));
    ASSERT_TRUE(RunTool("ppmtopcx -packed " + Path("sixteen.ppm") + " > " + Path("packed.pcx")));
    ASSERT_TRUE(RunTool("ppmtopcx " + Ppm(Reference(200), "many.ppm") + " > " + Path("8.pcx")));
    ASSERT_TRUE(RunTool("ppmtopcx -24bit " + Ppm(Reference(0), "smooth.ppm") + " > " + Path("24.pcx")));
    ASSERT_TRUE(RunTool("ppmtopcx -24bit " + Ppm(RunLengthBands(), "bands.ppm") + " > " + Path("bands.pcx")));
    // Two-colour files carry their colours in the header table, which netpbm
    // honours and ImageMagick ignores (it shows black and white).
    ExpectLoadsLikeTool(Format::Pcx, Path("1.pcx"), 1, 0, "pcxtoppm IN > OUT");
    ExpectLoadsLikeTool(Format::Pcx, Path("planes.pcx"), 4);
    ExpectLoadsLikeTool(Format::Pcx, Path("packed.pcx"), 4);
    ExpectLoadsLikeTool(Format::Pcx, Path("8.pcx"), 8);
    ExpectLoadsLikeTool(Format::Pcx, Path("24.pcx"), 24);
    ExpectLoadsLikeTool(Format::Pcx, Path("bands.pcx"), 24);
}

TEST_F(Interop, PcxFromImageMagickAndPillow)
{
    ASSERT_TRUE(RunTool(kConvert + " " + Ppm(Reference(0), "smooth.ppm") + " " + Path("im24.pcx")));
    ASSERT_TRUE(RunTool(kConvert + " " + Ppm(Reference(200), "many.ppm") + " -type Palette " + Path("im8.pcx")));
    ASSERT_TRUE(RunTool(kPython + " -c \"from PIL import Image; Image.open('" + Path("smooth.ppm") + "').save('" +
                    Path("pil.pcx") + "')\""));
    ExpectLoadsLikeTool(Format::Pcx, Path("im24.pcx"), 24);
    ExpectLoadsLikeTool(Format::Pcx, Path("im8.pcx"), 8);
    ExpectLoadsLikeTool(Format::Pcx, Path("pil.pcx"), 24);
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
    WriteFile(Path("bw.pcx"), file);
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
    std::string smooth = Ppm(Reference(0), "smooth.ppm"), many = Ppm(Reference(200), "many.ppm");
    ASSERT_TRUE(RunTool("ppmtotga -rgb " + smooth + " > " + Path("rle24.tga")));
    ASSERT_TRUE(RunTool("ppmtotga -rgb -norle " + smooth + " > " + Path("raw24.tga")));
    ASSERT_TRUE(RunTool("ppmtotga -cmap " + many + " > " + Path("cmap.tga")));
    ASSERT_TRUE(RunTool("ppmtotga -mono " + smooth + " > " + Path("grey.tga")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -alpha set -channel A -fx 'j/h' +channel " + Path("im32.tga")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -compress RLE " + Path("imrle.tga")));
    ASSERT_TRUE(RunTool(kPython + " -c \"from PIL import Image; Image.open('" + smooth + "').convert('RGBA').save('" +
                    Path("pil32.tga") + "')\""));
    ASSERT_TRUE(RunTool(kPython + " -c \"from PIL import Image; Image.open('" + smooth + "').save('" + Path("pil.tga") +
                    "', compression='tga_rle')\""));
    ExpectLoadsLikeTool(Format::Tga, Path("rle24.tga"), 24, 0, kPillowToPnm);
    ExpectLoadsLikeTool(Format::Tga, Path("raw24.tga"), 24, 0, kPillowToPnm);
    ExpectLoadsLikeTool(Format::Tga, Path("cmap.tga"), 8, 0, kPillowToPnm);
    ExpectLoadsLikeTool(Format::Tga, Path("grey.tga"), 8, 0, kPillowToPnm);
    ExpectLoadsLikeTool(Format::Tga, Path("im32.tga"), 32, 0, kPillowToPnm);
    ExpectLoadsLikeTool(Format::Tga, Path("imrle.tga"), 24, 0, kPillowToPnm);
    ExpectLoadsLikeTool(Format::Tga, Path("pil.tga"), 24, 0, kPillowToPnm);
    ExpectLoadsLikeTool(Format::Tga, Path("pil32.tga"), 32, 0, kPillowToPnm);
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

TEST_F(Interop, JpegFromLibjpegToolsImageMagickAndPillow)
{
    std::string smooth = Ppm(Reference(0), "smooth.ppm");
    ASSERT_TRUE(RunTool("cjpeg -quality 90 " + smooth + " > " + Path("base.jpg")));
    ASSERT_TRUE(RunTool("cjpeg -progressive " + smooth + " > " + Path("prog.jpg")));
    ASSERT_TRUE(RunTool("cjpeg -grayscale " + smooth + " > " + Path("grey.jpg")));
    ASSERT_TRUE(RunTool("cjpeg -restart 1 -optimize " + smooth + " > " + Path("restart.jpg")));
    ASSERT_TRUE(RunTool(kPython + " -c \"from PIL import Image; Image.open('" + smooth + "').save('" + Path("pil.jpg") +
                    "', quality=80, subsampling=1)\""));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -colorspace CMYK " + Path("cmyk.jpg")));
    // The same decoder underlies both: only rounding in the upsampling differs.
    ExpectLoadsLikeTool(Format::Jpg, Path("base.jpg"), 24, 2);
    ExpectLoadsLikeTool(Format::Jpg, Path("prog.jpg"), 24, 2);
    ExpectLoadsLikeTool(Format::Jpg, Path("grey.jpg"), 8, 1);
    ExpectLoadsLikeTool(Format::Jpg, Path("restart.jpg"), 24, 2);
    ExpectLoadsLikeTool(Format::Jpg, Path("pil.jpg"), 24, 2);
    ExpectLoadsLikeTool(Format::Jpg, Path("cmyk.jpg"), 24, 3);
}

// Damage that libjpeg-turbo only warns about: we show what djpeg shows.
TEST_F(Interop, JpegWithRecoverableDamageLoadsAsDjpegShowsIt)
{
    std::string smooth = Ppm(Reference(0, 64, 48), "smooth.ppm");
    ASSERT_TRUE(RunTool("cjpeg -quality 90 " + smooth + " > " + Path("base.jpg")));
    const Bytes base = ReadFile(Path("base.jpg"));
    auto marker = [&](uint8_t code) {
        for (size_t i = 2; i + 1 < base.size(); ++i)
            if (base[i] == 0xff && base[i + 1] == code) return i;
        return size_t{0};
    };
    const size_t dqt = marker(0xdb), sos = marker(0xda);
    ASSERT_TRUE(dqt != 0 && sos != 0);
    const size_t scan = sos + 2 + (base[sos + 2] << 8 | base[sos + 3]);

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
        WriteFile(Path(c.name), c.bytes);
        // djpeg ends with status 2 after a warning.
        ExpectLoadsLikeTool(Format::Jpg, Path(c.name), 24, 0, "djpeg -pnm IN > OUT || [ $? -eq 2 ]");
    }
}

TEST_F(Interop, JpegWeWriteReadsInDjpegAndImageMagick)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        // Our own decoder is the reference for the lossy part; the tools
        // must read the same pixels from our file.
        Bytes dib = MakeDib(bits, 37, 23), file, again;
        ASSERT_EQ(EncodeAs(Format::Jpg, dib, file, 90), Status::Ok);
        ASSERT_EQ(DecodeAs(Format::Jpg, file, again), Status::Ok);
        WriteFile(Path("ours.jpg"), file);
        ASSERT_TRUE(RunTool("djpeg -pnm " + Path("ours.jpg") + " > " + Path("djpeg.ppm")));
        EXPECT_EQ(MaxChannelError(ColorsOf(again), ReadPnm(Path("djpeg.ppm"))), 0) << bits;
        ASSERT_TRUE(RunTool(kConvert + " " + Path("ours.jpg") + " ppm:" + Path("im.ppm")));
        EXPECT_LE(MaxChannelError(ColorsOf(again), ReadPnm(Path("im.ppm"))), 2) << bits;
    }
}

// ---- TIFF -----------------------------------------------------------------

TEST_F(Interop, TiffFromImageMagickInEachDepth)
{
    std::string smooth = Ppm(Reference(0), "smooth.ppm"), many = Ppm(Reference(200), "many.ppm");
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -compress None " + Path("rgb.tif")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -depth 16 -compress Zip " + Path("rgb16.tif")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -colorspace Gray -depth 8 " + Path("grey.tif")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -colorspace Gray -depth 16 " + Path("grey16.tif")));
    ASSERT_TRUE(RunTool(kConvert + " " + many + " -type Palette -compress LZW " + Path("palette.tif")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -threshold 50% -depth 1 -compress Group4 " + Path("bilevel.tif")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -alpha set -channel A -fx 'i/w' +channel " + Path("rgba.tif")));
    ASSERT_TRUE(RunTool(kConvert + " " + smooth + " -endian MSB " + Path("motorola.tif")));
    ExpectLoadsLikeTool(Format::Tif, Path("rgb.tif"), 24);
    ExpectLoadsLikeTool(Format::Tif, Path("rgb16.tif"), 24, 1);
    ExpectLoadsLikeTool(Format::Tif, Path("grey.tif"), 8);
    ExpectLoadsLikeTool(Format::Tif, Path("grey16.tif"), 8, 1);
    ExpectLoadsLikeTool(Format::Tif, Path("palette.tif"), 8);
    ExpectLoadsLikeTool(Format::Tif, Path("bilevel.tif"), 1);
    ExpectLoadsLikeTool(Format::Tif, Path("rgba.tif"), 32);
    ExpectLoadsLikeTool(Format::Tif, Path("motorola.tif"), 24);
}

TEST_F(Interop, TiffFromLibtiffToolsInOtherLayouts)
{
    ASSERT_TRUE(RunTool(kConvert + " " + Ppm(Reference(0), "smooth.ppm") + " -compress None " + Path("plain.tif")));
    ASSERT_TRUE(RunTool("tiffcp -c packbits " + Path("plain.tif") + " " + Path("packbits.tif")));
    ASSERT_TRUE(RunTool("tiffcp -c zip -p separate " + Path("plain.tif") + " " + Path("planes.tif")));
    ASSERT_TRUE(RunTool("tiffcp -t -w 16 -l 16 " + Path("plain.tif") + " " + Path("tiled.tif")));
    ASSERT_TRUE(RunTool("tiffcp -c jpeg:90 -r 16 " + Path("plain.tif") + " " + Path("jpeg.tif")));
    ExpectLoadsLikeTool(Format::Tif, Path("packbits.tif"), 24);
    ExpectLoadsLikeTool(Format::Tif, Path("planes.tif"), 24);
    ExpectLoadsLikeTool(Format::Tif, Path("tiled.tif"), 24);
    ExpectLoadsLikeTool(Format::Tif, Path("jpeg.tif"), 24, 3);
}

TEST_F(Interop, TiffWeWriteReadsInLibtiffToolsNetpbmAndImageMagick)
{
    // tifftopnm blends an alpha sample over black, so 32-bit pictures are
    // judged by ImageMagick alone.
    for (int bits : {1, 4, 8, 16, 24}) ExpectToolReads(Format::Tif, bits, "tifftopnm IN > OUT");
    for (int bits : {1, 4, 8, 16, 24, 32}) ExpectToolReads(Format::Tif, bits, kMagickToPnm);
    Bytes dib = MakeDib(24, 37, 23), file;
    ASSERT_EQ(EncodeAs(Format::Tif, dib, file), Status::Ok);
    WriteFile(Path("check.tif"), file);
    EXPECT_TRUE(RunTool("tiffinfo -D " + Path("check.tif")));
}
