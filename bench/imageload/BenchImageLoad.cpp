// Load and save speed of the picture library's codecs on two snapshot sizes
// (1920 x 1080 and 704 x 576) in each format, and for JPEG and TIFF the
// ratio of our load to the bare library decoding the same bytes into a
// plain buffer in this same run; the loaders written here against the BMP
// load of the same picture; a JPEG decoded straight into a thumbnail
// cell or a single view against the whole decode followed by the picture
// object's Resize; and the rectangles a zoomed view reads of a 4K JPEG, by
// skipping the rows above and with the file's notes, against the whole
// decode. Only the ratios mean anything across machines; the times are for
// orientation.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>  // after <cstdio>: it uses FILE and size_t
#include <tiffio.h>

#include "imageload/core/Codecs.h"
#include "imageload/core/JpegIndex.h"
#include "tests/support/ResizedBlock.h"

namespace {

using Clock = std::chrono::steady_clock;

// Leaves the block uninitialised, as GlobalAlloc without GMEM_ZEROINIT does
// in the library itself.
class RawAllocator : public il::DibAllocator {
public:
    uint8_t* Allocate(size_t bytes) override
    {
        block.reset(new (std::nothrow) uint8_t[bytes]);
        return block.get();
    }
    std::unique_ptr<uint8_t[]> block;
};

double SecondsOnce(const std::function<void()>& call)
{
    const auto start = Clock::now();
    call();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Best of several rounds for each of two calls, the rounds interleaved so
// that a slow patch of the machine hits both alike.
std::pair<double, double> BestOfInterleaved(const std::function<void()>& a, const std::function<void()>& b,
                                            int rounds)
{
    a();
    b();
    double bestA = 1e9, bestB = 1e9;
    for (int i = 0; i < rounds; ++i) {
        bestA = std::min(bestA, SecondsOnce(a));
        bestB = std::min(bestB, SecondsOnce(b));
    }
    return {bestA, bestB};
}

double Best(const std::function<void()>& call, int rounds) { return BestOfInterleaved(call, [] {}, rounds).first; }

// A camera-like frame: smooth light, a few hard edges, sensor noise.
std::vector<uint8_t> Snapshot(uint32_t width, uint32_t height)
{
    il::VectorAllocator out;
    il::DibWriter w(il::DibLayout::For(width, height, 24, il::kMaxPixels), out);
    std::mt19937 noise(7);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = w.Row(y);
        for (uint32_t x = 0; x < width; ++x) {
            double light = 0.5 + 0.3 * std::sin(x * 0.004) * std::cos(y * 0.006);
            bool wall = (x / 97 + y / 61) % 3 == 0;
            int n = static_cast<int>(noise() % 17) - 8;
            auto channel = [&](double k) {
                return static_cast<uint8_t>(std::clamp(static_cast<int>(255 * light * k) + n + (wall ? 40 : 0), 0, 255));
            };
            row[3 * x] = channel(0.8);
            row[3 * x + 1] = channel(1.0);
            row[3 * x + 2] = channel(0.9);
        }
    }
    return out.block;
}

void BareJpegDecode(const std::vector<uint8_t>& file)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    size_t stride = static_cast<size_t>(cinfo.output_width) * 3;
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[stride * cinfo.output_height]);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.get() + cinfo.output_scanline * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

struct MemoryTiff {
    const std::vector<uint8_t>* bytes;
    toff_t pos;
};

void BareTiffDecode(const std::vector<uint8_t>& file)
{
    MemoryTiff m{&file, 0};
    auto read = [](thandle_t h, void* buf, tmsize_t n) -> tmsize_t {
        auto* t = static_cast<MemoryTiff*>(h);
        tmsize_t left = static_cast<tmsize_t>(t->bytes->size() - t->pos);
        n = std::min(n, left);
        std::memcpy(buf, t->bytes->data() + t->pos, static_cast<size_t>(n));
        t->pos += static_cast<toff_t>(n);
        return n;
    };
    auto write = [](thandle_t, void*, tmsize_t) -> tmsize_t { return -1; };
    auto seek = [](thandle_t h, toff_t off, int whence) -> toff_t {
        auto* t = static_cast<MemoryTiff*>(h);
        t->pos = (whence == SEEK_SET ? 0 : whence == SEEK_CUR ? t->pos : t->bytes->size()) + off;
        return t->pos;
    };
    auto close = [](thandle_t) { return 0; };
    auto size = [](thandle_t h) -> toff_t { return static_cast<MemoryTiff*>(h)->bytes->size(); };
    auto map = [](thandle_t h, void** base, toff_t* sz) {
        auto* t = static_cast<MemoryTiff*>(h);
        *base = const_cast<uint8_t*>(t->bytes->data());
        *sz = t->bytes->size();
        return 1;
    };
    auto unmap = [](thandle_t, void*, toff_t) {};
    TIFF* tif = TIFFClientOpen("bare", "r", &m, read, write, seek, close, size, map, unmap);
    tmsize_t stripSize = TIFFStripSize(tif);
    tstrip_t strips = TIFFNumberOfStrips(tif);
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[static_cast<size_t>(stripSize) * strips]);
    for (tstrip_t s = 0; s < strips; ++s) TIFFReadEncodedStrip(tif, s, pixels.get() + s * stripSize, stripSize);
    TIFFClose(tif);
}

std::vector<uint8_t> Encode(il::Format format, const std::vector<uint8_t>& dib)
{
    std::vector<uint8_t> file;
    il::Status s = il::Encode(format, {dib.data(), dib.size()}, 85, file);
    if (s != il::Status::Ok) {
        std::fprintf(stderr, "encoding failed: %d\n", static_cast<int>(s));
        std::exit(1);
    }
    return file;
}

void Report(const std::string& name, double value, const char* unit)
{
    std::printf("bench: %s = %.3f %s\n", name.c_str(), value, unit);
}

class FixedFit : public il::JpegFit {
public:
    FixedFit(uint32_t width, uint32_t height) : width_(width), height_(height) {}
    bool Choose(uint32_t, uint32_t, int64_t& width, int64_t& height) noexcept override
    {
        width = width_;
        height = height_;
        return true;
    }

private:
    uint32_t width_, height_;
};

// A 16:9 snapshot fitted into a thumbnail cell of 286 x 155 and into a
// single view of 1012 x 678, decoded straight to that size and decoded
// whole, then resized as the picture object resizes.
void BenchFittedJpeg()
{
    const uint32_t sizes[][2] = {{1920, 1080}, {3840, 2160}};
    const uint32_t targets[][2] = {{275, 155}, {1012, 569}};
    for (const auto& size : sizes) {
        const std::vector<uint8_t> file = Encode(il::Format::Jpg, Snapshot(size[0], size[1]));
        for (const auto& target : targets) {
            const std::string tag = std::to_string(size[0]) + "x" + std::to_string(size[1]) + "_to_" +
                                    std::to_string(target[0]) + "x" + std::to_string(target[1]);
            auto fitted = [&] {
                RawAllocator out;
                FixedFit fit(target[0], target[1]);
                if (il::DecodeJpegFitted({file.data(), file.size()}, fit, out) != il::Status::Ok) std::exit(1);
            };
            auto wholeThenResized = [&] {
                RawAllocator out;
                if (il::Decode(il::Format::Jpg, {file.data(), file.size()}, out) != il::Status::Ok) std::exit(1);
                const uint8_t* block = out.block.get();
                const size_t bytes = dib::ReadU32(block + dib::kFileSizeOffset);
                ResizedLikeThePicture(block, bytes, static_cast<int>(target[0]), static_cast<int>(target[1]));
            };
            auto [ours, reference] = BestOfInterleaved(fitted, wholeThenResized, 9);
            Report("jpeg_fitted_" + tag + "_ms", 1000 * ours, "ms");
            Report("jpeg_whole_and_resize_" + tag + "_ms", 1000 * reference, "ms");
            Report("jpeg_fitted_vs_whole_and_resize_" + tag, ours / reference, "x");
        }
    }
}

// Takes a rectangle's rows and drops them.
class Rectangle : public il::JpegRegion {
public:
    explicit Rectangle(il::JpegRect rect) : rect_(rect) {}
    bool Choose(uint32_t, uint32_t, il::JpegRect& rect) noexcept override
    {
        rect = rect_;
        return true;
    }
    bool Row(uint32_t, const uint8_t*) noexcept override { return true; }

private:
    il::JpegRect rect_;
};

// What a zoomed 1024 x 690 view reads of a 3840 x 2160 snapshot: the whole
// view at one to one in the middle and low in the picture, and what an
// arrow key's pan at one to one adds (an eighth of the view across or
// down); by skipping the rows above, and with the notes, which are made
// once for the picture.
void BenchJpegRegion()
{
    const std::vector<uint8_t> file = Encode(il::Format::Jpg, Snapshot(3840, 2160));
    const il::Bytes bytes = {file.data(), file.size()};
    std::vector<uint8_t> notes;
    auto index = [&] {
        if (!il::IndexJpeg(bytes, notes)) std::exit(1);
    };
    auto whole = [&] {
        RawAllocator out;
        if (il::Decode(il::Format::Jpg, bytes, out) != il::Status::Ok) std::exit(1);
    };
    auto [indexing, wholeDecode] = BestOfInterleaved(index, whole, 9);
    Report("jpeg_notes_3840x2160_ms", 1000 * indexing, "ms");
    Report("jpeg_notes_vs_whole_3840x2160", indexing / wholeDecode, "x");
    const struct {
        const char* name;
        il::JpegRect rect;
    } rects[] = {
        {"view_middle", {1408, 735, 1024, 690}},     {"view_low", {1408, 1470, 1024, 690}},
        {"pan_across_strip", {2432, 735, 128, 690}}, {"pan_down_band", {1408, 1425, 1024, 86}},
    };
    for (const auto& r : rects) {
        auto skipping = [&] {
            Rectangle rect(r.rect);
            if (il::DecodeJpegRegion(bytes, rect) != il::Status::Ok) std::exit(1);
        };
        auto noted = [&] {
            Rectangle rect(r.rect);
            if (il::DecodeJpegRegion(bytes, rect, il::kMaxPixels, {notes.data(), notes.size()}) != il::Status::Ok)
                std::exit(1);
        };
        auto [withNotes, bySkipping] = BestOfInterleaved(noted, skipping, 9);
        const std::string tag = std::string(r.name) + "_3840x2160";
        Report("jpeg_region_" + tag + "_skipping_vs_whole", bySkipping / wholeDecode, "x");
        Report("jpeg_region_" + tag + "_with_notes_vs_whole", withNotes / wholeDecode, "x");
    }
}

}  // namespace

int main()
{
    TIFFSetWarningHandler(nullptr);
    const il::Format formats[] = {il::Format::Bmp, il::Format::Gif, il::Format::Pcx,
                                  il::Format::Tga, il::Format::Jpg, il::Format::Tif};
    const char* names[] = {"", "bmp", "gif", "pcx", "tga", "jpg", "tif"};
    const uint32_t sizes[][2] = {{1920, 1080}, {704, 576}};
    for (const auto& size : sizes) {
        const std::string shape = std::to_string(size[0]) + "x" + std::to_string(size[1]);
        std::vector<uint8_t> dib = Snapshot(size[0], size[1]);
        const std::vector<uint8_t> bmp = Encode(il::Format::Bmp, dib);
        auto loadBmp = [&] {
            RawAllocator out;
            if (il::Decode(il::Format::Bmp, {bmp.data(), bmp.size()}, out) != il::Status::Ok) std::exit(1);
        };
        for (il::Format format : formats) {
            const std::string tag = std::string(names[static_cast<int>(format)]) + "_" + shape;
            std::vector<uint8_t> file = Encode(format, dib);
            auto load = [&] {
                RawAllocator out;
                if (il::Decode(format, {file.data(), file.size()}, out) != il::Status::Ok) std::exit(1);
            };
            const int rounds = format == il::Format::Gif ? 3 : 9;
            Report("save_" + tag + "_ms", 1000 * Best([&] { Encode(format, dib); }, rounds), "ms");
            if (format == il::Format::Jpg || format == il::Format::Tif) {
                auto bare = [&] { format == il::Format::Jpg ? BareJpegDecode(file) : BareTiffDecode(file); };
                auto [ours, reference] = BestOfInterleaved(load, bare, 15);
                Report("load_" + tag + "_ms", 1000 * ours, "ms");
                Report("bare_decode_" + tag + "_ms", 1000 * reference, "ms");
                Report("load_vs_bare_" + tag, ours / reference, "x");
            } else if (format == il::Format::Pcx || format == il::Format::Tga) {
                // The loaders written here, against the BMP load of the same picture.
                auto [ours, reference] = BestOfInterleaved(load, loadBmp, 15);
                Report("load_" + tag + "_ms", 1000 * ours, "ms");
                Report("load_" + tag + "_vs_bmp", ours / reference, "x");
            } else {
                Report("load_" + tag + "_ms", 1000 * Best(load, rounds), "ms");
            }
        }
    }
    BenchFittedJpeg();
    BenchJpegRegion();
    return 0;
}
