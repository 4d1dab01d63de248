// Decoding a JPEG straight to a target size must give, byte for byte, what
// the whole decode followed by the picture object's Resize gives, and fail
// where the whole decode fails; decoding only a rectangle of it must give
// that rectangle's pixels of the whole decode. Files of libjpeg-turbo's
// tools, ImageMagick and libjpeg itself in every sampling and colour
// layout, at odd sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>  // before jpeglib.h: it uses FILE and size_t
#include <stdexcept>

#include <jpeglib.h>

#include "imageload/core/JpegIndex.h"
#include "tests/imageload/Support.h"
#include "tests/support/ResizedBlock.h"

using namespace iltest;
using il::Format;
using il::Status;

namespace {

// A fit that records the size it was shown and answers as told.
struct FixedFit : il::JpegFit {
    FixedFit(int64_t width, int64_t height, bool accept = true) : width(width), height(height), accept(accept) {}
    bool Choose(uint32_t w, uint32_t h, int64_t& targetWidth, int64_t& targetHeight) noexcept override
    {
        shown = {w, h};
        targetWidth = width;
        targetHeight = height;
        return accept;
    }
    int64_t width, height;
    bool accept;
    std::pair<uint32_t, uint32_t> shown{0, 0};
};

// Hands out storage full of garbage, as global memory comes: whatever the
// decoder leaves unwritten shows.
class GarbageAllocator : public il::DibAllocator {
public:
    uint8_t* Allocate(size_t bytes) override
    {
        block.assign(bytes, 0xa5);
        return block.data();
    }
    Bytes block;
};

Status DecodeFitted(const Bytes& jpeg, il::JpegFit& fit, Bytes& dib)
{
    GarbageAllocator out;
    Status s = il::DecodeJpegFitted({jpeg.data(), jpeg.size()}, fit, out);
    dib = s == Status::Ok ? std::move(out.block) : Bytes();
    return s;
}

// The whole decode and the picture object's Resize, the file header's size
// field aside (Resize keeps the old one, which nothing reads).
Bytes WholeThenResized(const Bytes& jpeg, int width, int height)
{
    Bytes whole;
    EXPECT_EQ(DecodeAs(Format::Jpg, jpeg, whole), Status::Ok);
    return whole.empty() ? whole : ResizedLikeThePicture(whole.data(), whole.size(), width, height);
}

void ExpectSameFromTheInformationHeaderOn(const Bytes& fitted, const Bytes& expected, const std::string& what)
{
    ASSERT_EQ(fitted.size(), expected.size()) << what;
    for (size_t i = 14; i < fitted.size(); ++i)
        ASSERT_EQ(fitted[i], expected[i]) << what << ": first difference at byte " << i << " of " << fitted.size();
}

// A picture with detail in every channel, so that a wrong row or column
// or a wrong colour conversion shows.
Colors Detailed(uint32_t width, uint32_t height) { return ColorsOf(MakeDib(24, width, height)); }

// YCCK, which no tool here writes: libjpeg converts the CMYK itself.
Bytes YcckJpeg(const Colors& c)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = c.width;
    cinfo.image_height = c.height;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, JCS_YCCK);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(4 * c.width);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (uint32_t x = 0; x < c.width; ++x) {
            const Rgba p = c.At(x, cinfo.next_scanline);
            row[4 * x] = p.r;
            row[4 * x + 1] = p.g;
            row[4 * x + 2] = p.b;
            row[4 * x + 3] = static_cast<uint8_t>(x * 3);
        }
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes file(out, out + size);
    std::free(out);
    return file;
}

struct Layout {
    const char* name;
    const char* command;  // IN is the PPM, OUT the JPEG; null: YCCK through libjpeg
};

const Layout kLayouts[] = {
    {"4:4:4", "cjpeg -sample 1x1 IN > OUT"},
    {"4:2:2", "cjpeg -sample 2x1 IN > OUT"},
    {"4:2:0", "cjpeg -sample 2x2 IN > OUT"},
    {"4:4:0", "cjpeg -sample 1x2 IN > OUT"},
    // Upsampled without context rows in row groups of 2 and 3 rows, where
    // libjpeg-turbo before 2026 could hand out rows from before a skip
    // that began inside a row group.
    {"4x2 sampling", "cjpeg -sample 4x2 IN > OUT"},
    {"progressive 4x2 sampling", "cjpeg -progressive -sample 4x2 IN > OUT"},
    {"1x3 sampling", "cjpeg -sample 1x3 IN > OUT"},
    {"grey", "cjpeg -grayscale IN > OUT"},
    {"progressive 4:2:0", "cjpeg -progressive IN > OUT"},
    {"restart every MCU row", "cjpeg -sample 2x2 -restart 1 IN > OUT"},
    {"restart every 5 MCUs, optimised tables", "cjpeg -restart 5B -optimize IN > OUT"},
    {"optimised tables", "cjpeg -optimize IN > OUT"},
    {"Adobe CMYK", "/usr/bin/convert IN -colorspace CMYK OUT"},
    {"YCCK", nullptr},
};

const Layout& Named(const std::string& name)
{
    for (const Layout& layout : kLayouts)
        if (layout.name == name) return layout;
    throw std::invalid_argument(name);
}

Bytes Written(const Layout& layout, const Colors& picture, const ScratchDir& dir)
{
    if (!layout.command) return YcckJpeg(picture);
    WritePpm(dir.Path("in.ppm"), picture);
    EXPECT_TRUE(RunTool(layout.command, dir.Path("in.ppm"), dir.Path("out.jpg"))) << layout.command;
    return ReadBytes(dir.Path("out.jpg"));
}

}  // namespace

TEST(FittedJpeg, EqualsTheWholeDecodeResizedInEveryLayoutSizeAndFit)
{
    // Sizes that are no multiple of any MCU; targets that shrink by whole
    // and uneven factors, keep one side, keep the size, enlarge, thin down
    // to one row or column, and have no rows or columns at all (headers and
    // colour table only, as Resize makes them).
    const struct {
        uint32_t width, height;
        std::vector<std::pair<int, int>> targets;
    } pictures[] = {
        {35, 39, {{35, 39}, {17, 13}, {12, 39}, {35, 5}, {1, 1}, {70, 81}, {36, 40}, {1, 39}, {35, 1},
                  {0, 20}, {20, 0}, {0, 0}}},
        {703, 391, {{286, 155}, {351, 195}, {100, 57}, {701, 389}, {703, 200}, {9, 390}, {1012, 678}}},
    };
    ScratchDir dir;
    for (const auto& picture : pictures) {
        const Colors source = Detailed(picture.width, picture.height);
        for (const Layout& layout : kLayouts) {
            const Bytes jpeg = Written(layout, source, dir);
            for (const auto& target : picture.targets) {
                const std::string what = std::string(layout.name) + " " + std::to_string(picture.width) + "x" +
                                         std::to_string(picture.height) + " to " + std::to_string(target.first) +
                                         "x" + std::to_string(target.second);
                FixedFit fit(target.first, target.second);
                Bytes fitted;
                ASSERT_EQ(DecodeFitted(jpeg, fit, fitted), Status::Ok) << what;
                EXPECT_EQ(fit.shown, std::make_pair(picture.width, picture.height)) << what;
                ExpectSameFromTheInformationHeaderOn(fitted, WholeThenResized(jpeg, target.first, target.second),
                                                     what);
            }
        }
    }
}

TEST(FittedJpeg, FailsWhereTheWholeDecodeFailsThenAsTheFitSays)
{
    ScratchDir dir;
    const Colors source = Detailed(35, 39);
    for (const Layout& layout : {Named("4:2:0"), Named("progressive 4:2:0"), Named("4x2 sampling")}) {
        const Bytes jpeg = Written(layout, source, dir);
        // Every cut: refused where the whole decode refuses (right after the
        // first scan header among them), else the same damaged picture.
        std::vector<size_t> cuts{FirstScanData(jpeg), FirstScanData(jpeg) + 1};
        for (size_t cut = 0; cut < jpeg.size(); cut += 7) cuts.push_back(cut);
        for (size_t cut : cuts) {
            const Bytes part(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(cut));
            Bytes whole, fitted;
            FixedFit fit(17, 13);
            const Status expected = DecodeAs(Format::Jpg, part, whole);
            ASSERT_EQ(DecodeFitted(part, fit, fitted), expected) << layout.name << " cut at " << cut;
            if (expected == Status::Ok)
                ExpectSameFromTheInformationHeaderOn(fitted, ResizedLikeThePicture(whole.data(), whole.size(), 17, 13),
                                                     std::string(layout.name) + " cut at " + std::to_string(cut));
        }
    }
    const Bytes jpeg = Written(Named("4:2:0"), source, dir);
    Bytes dib;
    FixedFit refuse(17, 13, false), negative(-1, 13), tooMany(1 << 14, 1 << 14);
    EXPECT_EQ(DecodeFitted(jpeg, refuse, dib), Status::Refused);
    EXPECT_EQ(DecodeFitted(jpeg, negative, dib), Status::TooLarge);
    EXPECT_EQ(DecodeFitted(jpeg, tooMany, dib), Status::TooLarge);
    il::VectorAllocator out;
    FixedFit fit(17, 13);
    EXPECT_EQ(il::DecodeJpegFitted({jpeg.data(), jpeg.size()}, fit, out, 35 * 38), Status::TooLarge)
        << "the source is held to the caller's limit as in the whole decode";
}

namespace {

// Keeps the rows a region decode hands over, as colours.
struct KeptRegion : il::JpegRegion {
    explicit KeptRegion(il::JpegRect wanted, uint32_t stopAfter = 0xffffffff) : wanted(wanted), stopAfter(stopAfter) {}
    bool Choose(uint32_t w, uint32_t h, il::JpegRect& rect) noexcept override
    {
        picture = {w, h};
        rect = wanted;
        return true;
    }
    bool Row(uint32_t y, const uint8_t* bgr) noexcept override
    {
        rows.push_back(y);
        for (uint32_t x = 0; x < width; ++x)
            pixels.push_back(Rgba{bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x], 0});
        return rows.size() < stopAfter;
    }
    il::JpegRect wanted;
    uint32_t stopAfter;
    uint32_t width = 0;     // of the clipped rectangle, set by the test
    std::pair<uint32_t, uint32_t> picture{0, 0};
    std::vector<uint32_t> rows;
    std::vector<Rgba> pixels;
};

enum { kSkipping, kWithNotes, kReadInRanges };

// A file of which only its first head bytes are there at first; the
// decode brings in the rest range by range.
struct RangesOf : il::JpegFileRanges {
    RangesOf(const Bytes& whole, size_t head) : whole(whole), file(whole.size(), 0), filled(std::min(head, whole.size()))
    {
        std::copy(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(filled), file.begin());
    }
    bool Fill(size_t from, size_t to) noexcept override
    {
        if (from > to || to > whole.size())
            return false;
        std::copy(whole.begin() + static_cast<std::ptrdiff_t>(from), whole.begin() + static_cast<std::ptrdiff_t>(to),
                  file.begin() + static_cast<std::ptrdiff_t>(from));
        filled += to - from;
        return true;
    }
    const Bytes& whole;
    Bytes file;
    size_t filled;
};

}  // namespace

// Rectangles at every kind of edge: of an iMCU, of a row group, of the
// picture (clipped there), one pixel, a whole row, and the whole picture;
// decoded by skipping the rows above, and from a band cut out with the
// file's notes (rows, and columns between notes), which every layout has
// but progressive and restart-marked files.
TEST(JpegRegion, GivesTheRectanglesPixelsOfTheWholeDecodeInEveryLayout)
{
    const uint32_t width = 703, height = 391;
    const il::JpegRect rects[] = {
        {0, 0, 703, 391}, {0, 0, 1, 1},     {16, 16, 64, 32},  {17, 15, 33, 19}, {31, 7, 1, 1},
        {350, 200, 100, 90}, {690, 380, 40, 40}, {1, 390, 702, 1}, {640, 0, 63, 391}, {5, 47, 600, 2},
        {200, 100, 30, 40}, {0, 200, 50, 100}, {600, 150, 103, 100}, {333, 333, 1, 58},
    };
    ScratchDir dir;
    const Colors source = Detailed(width, height);
    for (const Layout& layout : kLayouts) {
        const Bytes jpeg = Written(layout, source, dir);
        Bytes wholeBlock;
        ASSERT_EQ(DecodeAs(Format::Jpg, jpeg, wholeBlock), Status::Ok) << layout.name;
        const Colors whole = ColorsOf(wholeBlock);
        std::vector<uint8_t> index;
        const std::string name = layout.name;
        const bool noted = il::IndexJpeg({jpeg.data(), jpeg.size()}, index);
        EXPECT_EQ(name.find("progressive") == std::string::npos && name.find("restart") == std::string::npos, noted)
            << name;
        volatile long stop = 1;
        std::vector<uint8_t> stopped;
        EXPECT_FALSE(il::IndexJpeg({jpeg.data(), jpeg.size()}, stopped, &stop)) << name << ": told to stop";
        EXPECT_TRUE(stopped.empty()) << name;
        for (const il::JpegRect& r : rects) {
            for (const int how : {kSkipping, kWithNotes, kReadInRanges}) {
                const bool withNotes = how != kSkipping;
                const std::string what = name + (how == kWithNotes ? " with notes" : how == kReadInRanges ? " in ranges" : "") +
                                         " at " + std::to_string(r.x) + "," + std::to_string(r.y) + " " +
                                         std::to_string(r.width) + "x" + std::to_string(r.height);
                KeptRegion region(r);
                region.width = std::min(r.width, width - r.x);
                const il::Bytes notes = withNotes ? il::Bytes{index.data(), index.size()} : il::Bytes{nullptr, 0};
                // Read in ranges, the file holds only its headers until the
                // decode asks for more; what it never asked for stays zero.
                RangesOf ranges(jpeg, il::NotedHeadBytes(notes));
                const Bytes& file = how == kReadInRanges ? ranges.file : jpeg;
                ASSERT_EQ(il::DecodeJpegRegion({file.data(), file.size()}, region, il::kMaxPixels, notes,
                                               how == kReadInRanges ? &ranges : nullptr),
                          Status::Ok)
                    << what;
                if (how == kReadInRanges && noted && r.y >= 64 && r.height < 100) {
                    EXPECT_LT(ranges.filled, jpeg.size() / 2) << what << ": a band, not the file";
                }
                EXPECT_EQ(region.picture, std::make_pair(width, height)) << what;
                const uint32_t rows = std::min(r.height, height - r.y);
                ASSERT_EQ(rows, region.rows.size()) << what;
                int differing = 0;
                for (uint32_t i = 0; i < rows; ++i) {
                    EXPECT_EQ(r.y + i, region.rows[i]) << what;
                    for (uint32_t x = 0; x < region.width; ++x) {
                        const Rgba got = region.pixels[i * region.width + x], want = whole.At(r.x + x, r.y + i);
                        differing += got.r != want.r || got.g != want.g || got.b != want.b;
                    }
                }
                EXPECT_EQ(0, differing) << what;
            }
        }
    }
}

TEST(JpegRegion, FailsAsTheWholeDecodeBeforeItsRectangleStopsWhenToldAndRefusesAsToldTo)
{
    ScratchDir dir;
    const Bytes jpeg = Written(Named("4:2:0"), Detailed(35, 39), dir);
    const Bytes header(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(FirstScanData(jpeg)));
    KeptRegion cut({0, 0, 35, 39});
    cut.width = 35;
    EXPECT_EQ(il::DecodeJpegRegion({header.data(), header.size()}, cut), Status::Corrupt);
    EXPECT_TRUE(cut.rows.empty());

    KeptRegion stopped({0, 5, 35, 30}, 3);
    stopped.width = 35;
    EXPECT_EQ(il::DecodeJpegRegion({jpeg.data(), jpeg.size()}, stopped), Status::Ok);
    EXPECT_EQ((std::vector<uint32_t>{5, 6, 7}), stopped.rows);

    KeptRegion outside({35, 0, 10, 10});
    EXPECT_EQ(il::DecodeJpegRegion({jpeg.data(), jpeg.size()}, outside), Status::Ok);
    EXPECT_TRUE(outside.rows.empty());

    struct Refusing : il::JpegRegion {
        bool Choose(uint32_t, uint32_t, il::JpegRect&) noexcept override { return false; }
        bool Row(uint32_t, const uint8_t*) noexcept override { return true; }
    } refusing;
    EXPECT_EQ(il::DecodeJpegRegion({jpeg.data(), jpeg.size()}, refusing), Status::Refused);
    il::JpegRect all = {0, 0, 35, 39};
    KeptRegion limited(all);
    EXPECT_EQ(il::DecodeJpegRegion({jpeg.data(), jpeg.size()}, limited, 35 * 38), Status::TooLarge);
}

// The notes walk the headers as the decoder does, and read nothing past the
// file: fill bytes up to its end, a marker cut off before its length, and
// markers that stand alone (TEM, which has no length) or are stray bytes to
// the decoder (0xFF00, which cannot be followed and is not noted). A file
// that is noted gives, with its notes, the region it gives without them.
TEST(JpegNotes, WalkTheHeadersAsTheDecoderDoesAndReadNothingPastTheFile)
{
    ScratchDir dir;
    const Bytes real = Written(Named("4:2:0"), Detailed(35, 39), dir);
    const auto afterStart = [&real](Bytes inserted) {
        Bytes file = real;
        file.insert(file.begin() + 2, inserted.begin(), inserted.end());
        return file;
    };
    const struct {
        const char* what;
        Bytes file;
        bool noted;
    } cases[] = {
        {"fill bytes to the end", {0xff, 0xd8, 0xff, 0xff, 0xff, 0xff}, false},
        {"fill bytes then a marker at the end", {0xff, 0xd8, 0xff, 0xff, 0xff, 0xc4}, false},
        {"fill bytes then half a length", {0xff, 0xd8, 0xff, 0xff, 0xc4, 0x00}, false},
        {"a lone 0xFF after the start", {0xff, 0xd8, 0xff}, false},
        {"TEM at the end", {0xff, 0xd8, 0xff, 0x01}, false},
        {"TEM before the headers", afterStart({0xff, 0x01}), true},
        {"fill bytes and TEM twice", afterStart({0xff, 0xff, 0x01, 0xff, 0x01}), true},
        {"0xFF00 before the headers", afterStart({0xff, 0x00, 0x00, 0x04}), false},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> index;
        ASSERT_EQ(il::IndexJpeg({c.file.data(), c.file.size()}, index), c.noted) << c.what;
        if (!c.noted) continue;
        KeptRegion skipped({3, 17, 20, 9}), cut({3, 17, 20, 9});
        skipped.width = cut.width = 20;
        ASSERT_EQ(il::DecodeJpegRegion({c.file.data(), c.file.size()}, skipped), Status::Ok) << c.what;
        ASSERT_EQ(il::DecodeJpegRegion({c.file.data(), c.file.size()}, cut, il::kMaxPixels,
                                       {index.data(), index.size()}),
                  Status::Ok)
            << c.what;
        EXPECT_EQ(skipped.rows, cut.rows) << c.what;
        EXPECT_TRUE(std::equal(skipped.pixels.begin(), skipped.pixels.end(), cut.pixels.begin(), cut.pixels.end(),
                               [](Rgba a, Rgba b) { return a.r == b.r && a.g == b.g && a.b == b.b; }))
            << c.what;
    }
}
