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
// Where the frame descriptor of our GIFs of 8 bits is: after the 256-entry
// global table.
constexpr size_t kGifFrame = 13 + 3 * 256;

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

// Whether libjpeg-turbo's own tool shows a picture for the file (with a
// warning, exit status 2, when the data is cut short).
bool DjpegShows(const Bytes& jpeg, const ScratchDir& dir)
{
    WriteBytes(dir.Path("cut.jpg"), jpeg);
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

void Put16(Bytes& b, size_t at, unsigned v) { dib::WriteU16(&b[at], static_cast<uint16_t>(v)); }
void Put32(Bytes& b, size_t at, uint32_t v) { dib::WriteU32(&b[at], v); }

// Sets a tag of a little-endian TIFF's first directory to a value.
void SetTiffTag(Bytes& tif, uint16_t tag, uint32_t value)
{
    const size_t ifd = dib::ReadU32(&tif[4]);
    for (unsigned i = 0; i < dib::ReadU16(&tif[ifd]); ++i) {
        const size_t e = ifd + 2 + 12 * i;
        if (dib::ReadU16(&tif[e]) != tag) continue;
        if (dib::ReadU16(&tif[e + 2]) == 3)  // SHORT
            Put16(tif, e + 8, value);
        else
            Put32(tif, e + 8, value);
        return;
    }
    ADD_FAILURE() << "no tag " << tag;
}

// Sets the height and width of a JPEG's frame header (big-endian).
void SetJpegSize(Bytes& jpeg, unsigned height, unsigned width)
{
    const size_t sof = FindMarker(jpeg, 0xc0);
    const uint8_t size[] = {uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8), uint8_t(width)};
    std::copy(size, size + 4, jpeg.begin() + static_cast<std::ptrdiff_t>(sof + 5));
}

std::string ToolFile(const std::string& command, const ScratchDir& dir, const std::string& name)
{
    WritePpm(dir.Path("src.ppm"), ColorsOf(MakeDib(24, 33, 21)));
    EXPECT_TRUE(RunTool(command, dir.Path("src.ppm"), dir.Path(name))) << command;
    return dir.Path(name);
}

// A file of ours of the format and depth (29 x 17), damaged, and what its
// decode must say.
struct Damage {
    const char* what;
    Format format;
    int bits;
    void (*damage)(Bytes& file);
    Status expected;
};

void ExpectEachRefused(const std::vector<Damage>& cases)
{
    for (const Damage& c : cases) {
        Bytes file = Encoded(c.format, c.bits);
        c.damage(file);
        EXPECT_EQ(Decoded(c.format, file), c.expected) << ExtensionOf(c.format) << ": " << c.what;
    }
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
    for (const Case& c : cases) ExpectEveryCutRefused(c.format, ReadBytes(ToolFile(c.command, dir, c.name)), c.name);
}

// ---- Empty and zero-filled --------------------------------------------------

TEST(EmptyOrZeroFilled, IsCorruptForEveryFormatAndRecognisedAsNone)
{
    for (Format format : kFormats) {
        SCOPED_TRACE(ExtensionOf(format));
        EXPECT_EQ(Decoded(format, Bytes()), Status::Corrupt);
        for (size_t size : {1, 2, 14, 18, 54, 128, 129, 1000, 70000})
            EXPECT_EQ(Decoded(format, Bytes(size, 0)), Status::Corrupt) << size << " zero bytes";
    }
    EXPECT_EQ(il::DetectFormat({nullptr, 0}, ".bmp"), Format::Unknown);
    Bytes zeros(4096, 0);
    EXPECT_EQ(il::DetectFormat({zeros.data(), zeros.size()}, ".tga"), Format::Unknown);
}

// ---- Huge declared sizes ------------------------------------------------------

TEST(HugeDeclaredSize, IsRefusedBeforeAllocating)
{
    ExpectEachRefused({
        {"100000 x 100000", Format::Bmp, 24, [](Bytes& b) { Put32(b, 18, 100000); Put32(b, 22, 100000); },
         Status::TooLarge},
        {"100000 x 100000 top-down", Format::Bmp, 24,
         [](Bytes& b) { Put32(b, 18, 100000); Put32(b, 22, static_cast<uint32_t>(-100000)); }, Status::TooLarge},
        {"65535 x 65535", Format::Pcx, 8,
         [](Bytes& b) { Put16(b, 8, 65535); Put16(b, 10, 65535); Put16(b, 66, 65535); }, Status::TooLarge},
        {"65535 x 65535", Format::Tga, 24, [](Bytes& b) { Put16(b, 12, 65535); Put16(b, 14, 65535); },
         Status::TooLarge},
        // The largest square allowed: refused only because the pixels are
        // missing, not for its size.
        {"8192 x 8192", Format::Tga, 8, [](Bytes& b) { Put16(b, 12, 8192); Put16(b, 14, 8192); }, Status::Corrupt},
        {"8193 x 8192", Format::Tga, 8, [](Bytes& b) { Put16(b, 12, 8193); Put16(b, 14, 8192); }, Status::TooLarge},
        {"screen 65535 x 65535", Format::Gif, 8, [](Bytes& b) { Put16(b, 6, 65535); Put16(b, 8, 65535); },
         Status::TooLarge},
        {"frame 65535 x 65535", Format::Gif, 8,
         [](Bytes& b) { Put16(b, kGifFrame + 5, 65535); Put16(b, kGifFrame + 7, 65535); }, Status::TooLarge},
        {"60000 x 60000, within libjpeg's own limit", Format::Jpg, 24, [](Bytes& b) { SetJpegSize(b, 60000, 60000); },
         Status::TooLarge},
        {"65520 rows, beyond libjpeg's limit", Format::Jpg, 24, [](Bytes& b) { SetJpegSize(b, 65520, 60000); },
         Status::TooLarge},
        {"100000 x 100000", Format::Tif, 24, [](Bytes& b) { SetTiffTag(b, 256, 100000); SetTiffTag(b, 257, 100000); },
         Status::TooLarge},
    });
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

TEST(WrongCountsAndOffsets, AreRefusedWithTheirStatusInEveryFormat)
{
    ExpectEachRefused({
        {"pixels past the end", Format::Bmp, 8, [](Bytes& b) { Put32(b, 10, static_cast<uint32_t>(b.size() + 10)); },
         Status::Corrupt},
        {"header size beyond any version", Format::Bmp, 8, [](Bytes& b) { Put32(b, 14, 200); }, Status::Corrupt},
        {"no such bit count", Format::Bmp, 8, [](Bytes& b) { Put16(b, 28, 7); }, Status::Unsupported},
        {"no such compression", Format::Bmp, 8, [](Bytes& b) { Put32(b, 30, 9); }, Status::Unsupported},
        {"colours used far beyond 256: the table stays 256", Format::Bmp, 8, [](Bytes& b) { Put32(b, 46, 0x7fffffff); },
         Status::Ok},
        {"width 0", Format::Bmp, 8, [](Bytes& b) { Put32(b, 18, 0); }, Status::Corrupt},
        {"bytes per line too few for the width", Format::Pcx, 24, [](Bytes& b) { Put16(b, 66, 3); }, Status::Corrupt},
        {"no planes", Format::Pcx, 24, [](Bytes& b) { b[65] = 0; }, Status::Unsupported},
        {"no planes of one bit either", Format::Pcx, 1, [](Bytes& b) { b[65] = 0; }, Status::Unsupported},
        {"uncoded variant", Format::Pcx, 24, [](Bytes& b) { b[2] = 0; }, Status::Unsupported},
        {"right edge left of the left edge", Format::Pcx, 24, [](Bytes& b) { Put16(b, 8, 0); Put16(b, 4, 5); },
         Status::Corrupt},
        {"the trailing colour table's marker is gone", Format::Pcx, 8, [](Bytes& b) { b[b.size() - 769] = 0; },
         Status::Corrupt},
        {"identification field longer than what follows the map", Format::Tga, 8,
         [](Bytes& b) { b[0] = 255; Put16(b, 5, 256); b.resize(18 + 255); }, Status::Corrupt},
        {"colour map far longer than the file", Format::Tga, 8, [](Bytes& b) { Put16(b, 5, 65535); }, Status::Corrupt},
        {"compressed variants we do not read", Format::Tga, 8, [](Bytes& b) { b[2] = 32; }, Status::Unsupported},
        {"no such depth", Format::Tga, 8, [](Bytes& b) { b[16] = 13; }, Status::Corrupt},
        {"LZW code size beyond 11", Format::Gif, 8, [](Bytes& b) { b[kGifFrame + 10] = 12; }, Status::Corrupt},
        {"no global colour table and no local one", Format::Gif, 8,
         [](Bytes& b) { b[10] &= 0x7f; b.erase(b.begin() + 13, b.begin() + kGifFrame); }, Status::Corrupt},
        {"a data block longer than the file", Format::Gif, 8,
         [](Bytes& b) { b.resize(kGifFrame + 12); b.push_back(255); }, Status::Corrupt},
        {"the trailer before any frame", Format::Gif, 8, [](Bytes& b) { b[kGifFrame] = 0x3b; }, Status::Corrupt},
        {"no components", Format::Jpg, 24, [](Bytes& b) { b[FindMarker(b, 0xc0) + 9] = 0; }, Status::Corrupt},
        {"code counts beyond any table", Format::Jpg, 24,
         [](Bytes& b) { std::fill_n(b.begin() + FindMarker(b, 0xc4) + 5, 16, 0xff); }, Status::Corrupt},
        {"strip past the end", Format::Tif, 24,
         [](Bytes& b) { SetTiffTag(b, 273, static_cast<uint32_t>(b.size() + 1000)); }, Status::Corrupt},
        {"strip byte count far past the end", Format::Tif, 24, [](Bytes& b) { SetTiffTag(b, 279, 0x7fffffff); },
         Status::Corrupt},
        {"directory past the end", Format::Tif, 24, [](Bytes& b) { Put32(b, 4, static_cast<uint32_t>(b.size() + 8)); },
         Status::Corrupt},
        {"compression no one knows", Format::Tif, 24, [](Bytes& b) { SetTiffTag(b, 259, 65000); },
         Status::Unsupported},
    });
    Bytes jpeg = Encoded(Format::Jpg, 24);
    std::fill(jpeg.begin() + FindMarker(jpeg, 0xda) + 20, jpeg.end() - 2, 0);  // scan data wiped
    EXPECT_NE(Decoded(Format::Jpg, jpeg), Status::NoMemory);
}

TEST(WrongCountsAndOffsets, BmpRunLengthRunsPastTheDataOrStoredTopDown)
{
    ScratchDir dir;
    Bytes rle = ReadBytes(ToolFile("/usr/bin/convert IN -type Palette -compress RLE BMP3:OUT", dir, "rle.bmp"));
    ASSERT_EQ(Decoded(Format::Bmp, rle), Status::Ok);
    const size_t pixels = dib::ReadU32(&rle[10]);
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
    Put32(b, 22, static_cast<uint32_t>(-dib::ReadI32(&rle[22])));  // run-length rows are never top-down
    EXPECT_EQ(Decoded(Format::Bmp, b), Status::Corrupt);
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
