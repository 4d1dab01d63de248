// Untrusted bytes: truncated files at many cut points, empty and zero-filled
// files, huge declared sizes, wrong counts and offsets, and random damage.
// Each is refused with the right error and without touching memory it
// should not (the sanitizer tree runs this suite under ASan and UBSan).
#include <gtest/gtest.h>

#include <random>

#include "tests/imageload/Support.h"

using namespace iltest;
using il::Format;
using il::Status;

namespace {

const Format kFormats[] = {Format::Bmp, Format::Gif, Format::Pcx, Format::Tga, Format::Jpg, Format::Tif};

Bytes Encoded(Format format, int bits, uint32_t width = 29, uint32_t height = 17)
{
    Bytes file;
    EXPECT_EQ(EncodeAs(format, MakeDib(bits, width, height), file, 90), Status::Ok);
    return file;
}

Status Decoded(Format format, const Bytes& file)
{
    Bytes dib;
    return DecodeAs(format, file, dib);
}

// Cut points: every byte of the headers, then about 80 spread over the rest.
std::vector<size_t> CutPoints(size_t size)
{
    std::vector<size_t> cuts;
    for (size_t i = 0; i < std::min<size_t>(size, 160); ++i) cuts.push_back(i);
    for (size_t i = 160; i < size; i += std::max<size_t>(1, size / 80)) cuts.push_back(i);
    cuts.push_back(size - 1);
    return cuts;
}

size_t FindMarker(const Bytes& jpeg, uint8_t marker);

// Where a JPEG's first scan data begins.
size_t FirstScanData(const Bytes& jpeg)
{
    size_t sos = FindMarker(jpeg, 0xda);
    return sos + 2 + (jpeg[sos + 2] << 8 | jpeg[sos + 3]);
}

// Whether libjpeg-turbo's own tool shows a picture for the file (with a
// warning, exit status 2, when the data is cut short).
bool DjpegShows(const Bytes& jpeg, const ScratchDir& dir)
{
    WriteFile(dir.Path("cut.jpg"), jpeg);
    return RunTool("djpeg -pnm " + dir.Path("cut.jpg") + " > /dev/null 2>&1 || [ $? -eq 2 ]");
}

// Every cut is refused, except a JPEG cut inside its picture data: that
// shows what was decoded wherever djpeg shows it. A JPEG cut right after
// its first scan header, which djpeg shows as plain grey, is refused.
void ExpectEveryCutRefused(Format format, const Bytes& file, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_EQ(Decoded(format, file), Status::Ok) << "the whole file must load";
    ScratchDir dir;
    const size_t scanData = format == Format::Jpg ? FirstScanData(file) : file.size();
    std::vector<size_t> cuts = CutPoints(file.size());
    if (format == Format::Jpg) cuts.insert(cuts.end(), {scanData, scanData + 1});
    for (size_t cut : cuts) {
        Bytes part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
        const bool shown = cut > scanData && DjpegShows(part, dir);
        EXPECT_EQ(Decoded(format, part), shown ? Status::Ok : Status::Corrupt) << "cut at " << cut << " of " << file.size();
    }
}

void Put16(Bytes& b, size_t at, unsigned v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const Bytes& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// Sets a tag of a little-endian TIFF's first directory to a value.
void SetTiffTag(Bytes& tif, uint16_t tag, uint32_t value)
{
    size_t ifd = Get32(tif, 4);
    unsigned count = tif[ifd] | (tif[ifd + 1] << 8);
    for (unsigned i = 0; i < count; ++i) {
        size_t e = ifd + 2 + 12 * i;
        if ((tif[e] | (tif[e + 1] << 8)) != tag) continue;
        unsigned type = tif[e + 2] | (tif[e + 3] << 8);
        if (type == 3)
            Put16(tif, e + 8, value);
        else
            Put32(tif, e + 8, value);
        return;
    }
    ADD_FAILURE() << "no tag " << tag;
}

size_t FindMarker(const Bytes& jpeg, uint8_t marker)
{
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == marker) return i;
    ADD_FAILURE() << "no marker " << int(marker);
    return 0;
}

std::string ToolFile(const std::string& command, const ScratchDir& dir, const std::string& name)
{
    std::string ppm = dir.Path("src.ppm");
    Colors c;
    c.width = 33;
    c.height = 21;
    for (uint32_t i = 0; i < c.width * c.height; ++i)
        c.pixels.push_back({static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i / 3), static_cast<uint8_t>(i % 200), 255});
    WritePpm(ppm, c);
    std::string cmd = command;
    cmd.replace(cmd.find("IN"), 2, ppm);
    cmd.replace(cmd.find("OUT"), 3, dir.Path(name));
    EXPECT_TRUE(RunTool(cmd)) << cmd;
    return dir.Path(name);
}

}  // namespace

// ---- Truncation -----------------------------------------------------------

TEST(Truncated, OurOwnFilesAtEveryDepthAreRefusedAtEveryCut)
{
    for (Format format : kFormats)
        for (int bits : {1, 8, 24, 32})
            ExpectEveryCutRefused(format, Encoded(format, bits),
                                  std::string(ExtensionOf(format)) + " " + std::to_string(bits) + " bits");
}

TEST(Truncated, FilesOfOtherWritersAreRefusedAtEveryCut)
{
    ScratchDir dir;
    struct Case {
        Format format;
        const char* command;
        const char* name;
    } cases[] = {
        {Format::Bmp, "/usr/bin/convert IN -type Palette -compress RLE BMP3:OUT", "rle.bmp"},
        {Format::Bmp, "ppmtobmp -os2 IN > OUT", "os2.bmp"},
        {Format::Gif, "/usr/bin/convert IN -interlace GIF OUT", "interlaced.gif"},
        {Format::Gif, "pnmquant 64 IN | pamtogif > OUT", "netpbm.gif"},
        {Format::Pcx, "ppmtopcx -24bit IN > OUT", "24.pcx"},
        {Format::Tga, "ppmtotga -rgb IN > OUT", "rle.tga"},
        {Format::Jpg, "cjpeg -progressive IN > OUT", "progressive.jpg"},
        {Format::Tif, "/usr/bin/convert IN -compress Zip OUT", "zip.tif"},
    };
    for (const Case& c : cases) ExpectEveryCutRefused(c.format, ReadFile(ToolFile(c.command, dir, c.name)), c.name);
}

// ---- Empty and zero-filled --------------------------------------------------

TEST(EmptyOrZeroFilled, IsCorruptForEveryFormat)
{
    for (Format format : kFormats) {
        SCOPED_TRACE(ExtensionOf(format));
        EXPECT_EQ(Decoded(format, Bytes()), Status::Corrupt);
        for (size_t size : {1, 2, 14, 18, 54, 128, 129, 1000, 70000})
            EXPECT_EQ(Decoded(format, Bytes(size, 0)), Status::Corrupt) << size << " zero bytes";
    }
}

TEST(EmptyOrZeroFilled, NoFormatIsRecognised)
{
    EXPECT_EQ(il::DetectFormat({nullptr, 0}, ".bmp"), Format::Unknown);
    Bytes zeros(4096, 0);
    EXPECT_EQ(il::DetectFormat({zeros.data(), zeros.size()}, ".tga"), Format::Unknown);
}

// ---- Huge declared sizes ------------------------------------------------------

TEST(HugeDeclaredSize, BmpIsRefusedBeforeAllocating)
{
    Bytes bmp = Encoded(Format::Bmp, 24);
    Put32(bmp, 18, 100000);
    Put32(bmp, 22, 100000);
    EXPECT_EQ(Decoded(Format::Bmp, bmp), Status::TooLarge);
    Put32(bmp, 22, static_cast<uint32_t>(-100000));  // top-down
    EXPECT_EQ(Decoded(Format::Bmp, bmp), Status::TooLarge);
}

TEST(HugeDeclaredSize, PcxIsRefusedBeforeAllocating)
{
    Bytes pcx = Encoded(Format::Pcx, 8);
    Put16(pcx, 8, 65535);
    Put16(pcx, 10, 65535);
    Put16(pcx, 66, 65535);
    EXPECT_EQ(Decoded(Format::Pcx, pcx), Status::TooLarge);
}

TEST(HugeDeclaredSize, TgaIsRefusedBeforeAllocating)
{
    Bytes tga = Encoded(Format::Tga, 24);
    Put16(tga, 12, 65535);
    Put16(tga, 14, 65535);
    EXPECT_EQ(Decoded(Format::Tga, tga), Status::TooLarge);
}

TEST(HugeDeclaredSize, GifScreenAndFrameAreRefused)
{
    Bytes gif = Encoded(Format::Gif, 8);
    Bytes screen = gif;
    Put16(screen, 6, 65535);
    Put16(screen, 8, 65535);
    EXPECT_EQ(Decoded(Format::Gif, screen), Status::TooLarge);
    // The frame descriptor follows the 256-entry global table.
    size_t frame = 13 + 3 * 256;
    ASSERT_EQ(gif[frame], 0x2c);
    Put16(gif, frame + 5, 65535);
    Put16(gif, frame + 7, 65535);
    EXPECT_EQ(Decoded(Format::Gif, gif), Status::TooLarge);
}

TEST(HugeDeclaredSize, JpegIsRefusedBeforeAllocating)
{
    Bytes jpg = Encoded(Format::Jpg, 24);
    size_t sof = FindMarker(jpg, 0xc0);
    jpg[sof + 5] = jpg[sof + 7] = 0xea;  // 60000 x 60000: within libjpeg's own limit
    jpg[sof + 6] = jpg[sof + 8] = 0x60;
    EXPECT_EQ(Decoded(Format::Jpg, jpg), Status::TooLarge);
    jpg[sof + 5] = 0xff;  // 65520 rows: beyond libjpeg's limit
    jpg[sof + 6] = 0xf0;
    EXPECT_EQ(Decoded(Format::Jpg, jpg), Status::TooLarge);
}

TEST(HugeDeclaredSize, TiffIsRefusedBeforeAllocating)
{
    Bytes tif = Encoded(Format::Tif, 24);
    SetTiffTag(tif, 256, 100000);
    SetTiffTag(tif, 257, 100000);
    EXPECT_EQ(Decoded(Format::Tif, tif), Status::TooLarge);
}

TEST(HugeDeclaredSize, JustUnderTheLimitIsNotRefusedForSize)
{
    // 8192 x 8192 is the largest square allowed: refused only because the
    // pixels are missing, not for its size.
    Bytes tga = Encoded(Format::Tga, 8);
    Put16(tga, 12, 8192);
    Put16(tga, 14, 8192);
    EXPECT_EQ(Decoded(Format::Tga, tga), Status::Corrupt);
    Put16(tga, 12, 8193);
    EXPECT_EQ(Decoded(Format::Tga, tga), Status::TooLarge);
}

TEST(HugeDeclaredSize, TheCallersOwnLimitIsHonouredAlike)
{
    for (Format format : kFormats) {
        const Bytes file = Encoded(format, 8);  // 29 x 17
        il::VectorAllocator out;
        EXPECT_EQ(il::Decode(format, {file.data(), file.size()}, out, 29 * 17), Status::Ok) << ExtensionOf(format);
        EXPECT_EQ(il::Decode(format, {file.data(), file.size()}, out, 29 * 17 - 1), Status::TooLarge)
            << ExtensionOf(format);
    }
}

// ---- Wrong counts and offsets -------------------------------------------------

TEST(WrongCountsAndOffsets, Bmp)
{
    Bytes good = Encoded(Format::Bmp, 8);
    Bytes b = good;
    Put32(b, 10, static_cast<uint32_t>(good.size() + 10));  // pixels past the end
    EXPECT_EQ(Decoded(Format::Bmp, b), Status::Corrupt);
    b = good;
    Put32(b, 14, 200);  // header size beyond any version
    EXPECT_EQ(Decoded(Format::Bmp, b), Status::Corrupt);
    b = good;
    Put16(b, 28, 7);  // no such bit count
    EXPECT_EQ(Decoded(Format::Bmp, b), Status::Unsupported);
    b = good;
    Put32(b, 30, 9);  // no such compression
    EXPECT_EQ(Decoded(Format::Bmp, b), Status::Unsupported);
    b = good;
    Put32(b, 46, 0x7fffffff);  // colours used far beyond 256: the table stays 256
    EXPECT_EQ(Decoded(Format::Bmp, b), Status::Ok);
    b = good;
    Put32(b, 18, 0);
    EXPECT_EQ(Decoded(Format::Bmp, b), Status::Corrupt);
}

TEST(WrongCountsAndOffsets, BmpRunLengthRunsPastTheDataOrStoredTopDown)
{
    ScratchDir dir;
    Bytes rle = ReadFile(ToolFile("/usr/bin/convert IN -type Palette -compress RLE BMP3:OUT", dir, "rle.bmp"));
    ASSERT_EQ(Decoded(Format::Bmp, rle), Status::Ok);
    size_t pixels = Get32(rle, 10);
    Bytes b = rle;
    b[pixels] = 0;
    b[pixels + 1] = 255;  // an absolute run of 255 pixels where the data runs out
    b.resize(pixels + 100);
    EXPECT_EQ(Decoded(Format::Bmp, b), Status::Corrupt);
    b = rle;
    b[pixels] = 0;
    b[pixels + 1] = 2;  // a delta far past the picture just ends it
    b[pixels + 2] = 255;
    b[pixels + 3] = 255;
    EXPECT_EQ(Decoded(Format::Bmp, b), Status::Ok);
    b = rle;
    Put32(b, 22, static_cast<uint32_t>(-static_cast<int32_t>(Get32(rle, 22))));  // run-length rows are never top-down
    EXPECT_EQ(Decoded(Format::Bmp, b), Status::Corrupt);
}

TEST(WrongCountsAndOffsets, Pcx)
{
    Bytes good = Encoded(Format::Pcx, 24);
    Bytes b = good;
    Put16(b, 66, 3);  // bytes per line too few for the width
    EXPECT_EQ(Decoded(Format::Pcx, b), Status::Corrupt);
    b = good;
    b[65] = 0;  // no planes
    EXPECT_EQ(Decoded(Format::Pcx, b), Status::Unsupported);
    b = Encoded(Format::Pcx, 1);
    b[65] = 0;  // no planes of one bit either
    EXPECT_EQ(Decoded(Format::Pcx, b), Status::Unsupported);
    b = good;
    b[2] = 0;  // uncoded variant
    EXPECT_EQ(Decoded(Format::Pcx, b), Status::Unsupported);
    b = good;
    Put16(b, 8, 0);  // right edge left of the left edge
    Put16(b, 4, 5);
    EXPECT_EQ(Decoded(Format::Pcx, b), Status::Corrupt);
    b = Encoded(Format::Pcx, 8);
    b[b.size() - 769] = 0;  // the trailing colour table's marker is gone
    EXPECT_EQ(Decoded(Format::Pcx, b), Status::Corrupt);
}

TEST(WrongCountsAndOffsets, Tga)
{
    Bytes good = Encoded(Format::Tga, 8);
    Bytes b = good;
    b[0] = 255;  // identification field longer than what follows the map
    Put16(b, 5, 256);
    b.resize(18 + 255);
    EXPECT_EQ(Decoded(Format::Tga, b), Status::Corrupt);
    b = good;
    Put16(b, 5, 65535);  // colour map far longer than the file
    EXPECT_EQ(Decoded(Format::Tga, b), Status::Corrupt);
    b = good;
    b[2] = 32;  // compressed variants we do not read
    EXPECT_EQ(Decoded(Format::Tga, b), Status::Unsupported);
    b = good;
    b[16] = 13;  // no such depth
    EXPECT_EQ(Decoded(Format::Tga, b), Status::Corrupt);
}

TEST(WrongCountsAndOffsets, Gif)
{
    Bytes good = Encoded(Format::Gif, 8);
    size_t frame = 13 + 3 * 256;
    Bytes b = good;
    b[frame + 10] = 12;  // LZW code size beyond 11
    EXPECT_EQ(Decoded(Format::Gif, b), Status::Corrupt);
    b = good;
    b[10] &= 0x7f;  // no global colour table and no local one
    b.erase(b.begin() + 13, b.begin() + 13 + 3 * 256);
    EXPECT_EQ(Decoded(Format::Gif, b), Status::Corrupt);
    b = good;
    b.resize(frame + 12);
    b.push_back(255);  // a data block longer than the file
    EXPECT_EQ(Decoded(Format::Gif, b), Status::Corrupt);
    b = good;
    b[frame] = 0x3b;  // the trailer before any frame
    EXPECT_EQ(Decoded(Format::Gif, b), Status::Corrupt);
}

TEST(WrongCountsAndOffsets, Jpeg)
{
    Bytes good = Encoded(Format::Jpg, 24);
    Bytes b = good;
    b[FindMarker(b, 0xc0) + 9] = 0;  // no components
    EXPECT_EQ(Decoded(Format::Jpg, b), Status::Corrupt);
    b = good;
    size_t dht = FindMarker(b, 0xc4);
    std::fill(b.begin() + dht + 5, b.begin() + dht + 21, 0xff);  // code counts beyond any table
    EXPECT_EQ(Decoded(Format::Jpg, b), Status::Corrupt);
    b = good;
    size_t sos = FindMarker(b, 0xda);
    std::fill(b.begin() + sos + 20, b.end() - 2, 0);  // scan data wiped
    EXPECT_NE(Decoded(Format::Jpg, b), Status::NoMemory);
}

TEST(WrongCountsAndOffsets, Tiff)
{
    Bytes good = Encoded(Format::Tif, 24);
    Bytes b = good;
    SetTiffTag(b, 273, static_cast<uint32_t>(good.size() + 1000));  // strip past the end
    EXPECT_EQ(Decoded(Format::Tif, b), Status::Corrupt);
    b = good;
    SetTiffTag(b, 279, 0x7fffffff);  // strip byte count far past the end
    EXPECT_EQ(Decoded(Format::Tif, b), Status::Corrupt);
    b = good;
    Put32(b, 4, static_cast<uint32_t>(good.size() + 8));  // directory past the end
    EXPECT_EQ(Decoded(Format::Tif, b), Status::Corrupt);
    b = good;
    SetTiffTag(b, 259, 65000);  // compression no one knows
    EXPECT_EQ(Decoded(Format::Tif, b), Status::Unsupported);
}

// ---- Random damage --------------------------------------------------------------

TEST(RandomDamage, NeverCrashesAndEveryAcceptedPictureIsWellFormed)
{
    std::mt19937 random(12345);
    for (Format format : kFormats) {
        for (int bits : {4, 24}) {
            Bytes good = Encoded(format, bits, 23, 11);
            for (int round = 0; round < 150; ++round) {
                Bytes b = good;
                int flips = 1 + static_cast<int>(random() % 4);
                for (int i = 0; i < flips; ++i) b[random() % b.size()] = static_cast<uint8_t>(random());
                Bytes dib;
                Status s = DecodeAs(format, b, dib);
                if (s == Status::Ok) {
                    EXPECT_NO_THROW(il::DibView(dib.data(), dib.size()));
                } else {
                    EXPECT_TRUE(s == Status::Corrupt || s == Status::Unsupported || s == Status::TooLarge)
                        << ExtensionOf(format) << " round " << round;
                }
            }
        }
    }
}
