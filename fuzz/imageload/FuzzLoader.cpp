// One loader of the picture library fed arbitrary bytes. Whatever it
// accepts must be a well-formed block that its own saver can write and the
// loader read again; anything else must be refused with an error number.
// The JPEG target also walks each input's headers and notes it, whether or
// not it decodes; decodes each input straight to a smaller size, which must
// fail as the whole decode fails and otherwise equal it resampled as the
// picture object resamples; and a rectangle of each picture it decodes,
// which must give the same rows from a band cut out with the file's notes as
// by skipping.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imageload/core/Codecs.h"
#include "imageload/core/JpegIndex.h"
#include "imageload/core/JpegScan.h"
#include "tests/support/ResizedBlock.h"

namespace {

#if defined(FUZZ_FORMAT_bmp)
constexpr il::Format kFormat = il::Format::Bmp;
#elif defined(FUZZ_FORMAT_gif)
constexpr il::Format kFormat = il::Format::Gif;
#elif defined(FUZZ_FORMAT_pcx)
constexpr il::Format kFormat = il::Format::Pcx;
#elif defined(FUZZ_FORMAT_tga)
constexpr il::Format kFormat = il::Format::Tga;
#elif defined(FUZZ_FORMAT_jpg)
constexpr il::Format kFormat = il::Format::Jpg;
#else
constexpr il::Format kFormat = il::Format::Tif;
#endif

// Smaller than the library's limit so that each input decodes in
// milliseconds; the size checks themselves are the same code.
constexpr uint64_t kFuzzMaxPixels = 4u * 1024 * 1024;

bool IsRefusal(il::Status s)
{
    return s == il::Status::Corrupt || s == il::Status::Unsupported || s == il::Status::TooLarge;
}

// A target of a quarter, half, three quarters or all of each side (or
// none), chosen by the input's last bytes.
class FractionFit : public il::JpegFit {
public:
    FractionFit(const uint8_t* data, size_t size)
        : across_(size > 0 ? data[size - 1] % 5 : 4), down_(size > 1 ? data[size - 2] % 5 : 4)
    {
    }
    bool Choose(uint32_t width, uint32_t height, int64_t& targetWidth, int64_t& targetHeight) noexcept override
    {
        targetWidth = int64_t{width} * across_ / 4;
        targetHeight = int64_t{height} * down_ / 4;
        return true;
    }

private:
    int across_, down_;
};

void CheckFitted(const uint8_t* data, size_t size, il::Status whole, const std::vector<uint8_t>& block)
{
    FractionFit fit(data, size);
    il::VectorAllocator out;
    il::Status s = il::DecodeJpegFitted({data, size}, fit, out, kFuzzMaxPixels);
    if (s != whole) std::abort();
    if (s != il::Status::Ok) return;
    int64_t width = 0, height = 0;
    fit.Choose(dib::ReadU32(block.data() + dib::kWidthOffset), dib::ReadU32(block.data() + dib::kHeightOffset), width,
               height);
    std::vector<uint8_t> expected =
        ResizedLikeThePicture(block.data(), block.size(), static_cast<int>(width), static_cast<int>(height));
    if (expected.size() != out.block.size() || !std::equal(expected.begin() + 14, expected.end(), out.block.begin() + 14))
        std::abort();
}

// Keeps the rows of a rectangle as they come.
struct KeptRows : il::JpegRegion {
    explicit KeptRows(uint8_t seed) : seed_(seed) {}
    bool Choose(uint32_t width, uint32_t height, il::JpegRect& rect) noexcept override
    {
        rect = {width * (seed_ % 4) / 4, height * (seed_ / 4 % 4) / 4, width / 2 + 1, height / 3 + 1};
        width_ = std::min(rect.width, width > rect.x ? width - rect.x : 0);
        return true;
    }
    bool Row(uint32_t y, const uint8_t* bgr) noexcept override
    {
        rows.push_back(y);
        pixels.insert(pixels.end(), bgr, bgr + 3 * width_);
        return true;
    }
    uint8_t seed_;
    uint32_t width_ = 0;
    std::vector<uint32_t> rows;
    std::vector<uint8_t> pixels;
};

// The header walk and the notes on every input, whether or not it decodes:
// they read the file themselves, so a walk past its end shows here first.
// Whatever is noted has a frame as the headers give it.
void CheckNotes(const uint8_t* data, size_t size)
{
    il::jpeg::Frame frame;
    const bool headers = il::jpeg::ReadHeaders({data, size}, frame);
    std::vector<uint8_t> index;
    if (il::IndexJpeg({data, size}, index) && !headers) std::abort();
    uint32_t width = 0, height = 0;
    if (!index.empty() && (!il::NotedSize({data, size}, {index.data(), index.size()}, &width, &height) ||
                           width != frame.width || height != frame.height))
        std::abort();
}

void CheckRegion(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> index;
    if (!il::IndexJpeg({data, size}, index)) return;
    const uint8_t seed = size > 2 ? data[size - 3] : 0;
    KeptRows skipped(seed), cut(seed);
    const il::Status s = il::DecodeJpegRegion({data, size}, skipped, kFuzzMaxPixels);
    if (il::DecodeJpegRegion({data, size}, cut, kFuzzMaxPixels, {index.data(), index.size()}) != s) std::abort();
    if (s == il::Status::Ok && (skipped.rows != cut.rows || skipped.pixels != cut.pixels)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    il::DetectFormat({data, size}, ".tga");
    il::VectorAllocator out;
    il::Status s = il::Decode(kFormat, {data, size}, out, kFuzzMaxPixels);
    if (kFormat == il::Format::Jpg) CheckNotes(data, size);
    if (kFormat == il::Format::Jpg) CheckFitted(data, size, s, out.block);
    if (kFormat == il::Format::Jpg && s == il::Status::Ok) CheckRegion(data, size);
    if (s != il::Status::Ok) {
        if (!IsRefusal(s)) std::abort();
        return 0;
    }
    il::Bytes dib{out.block.data(), out.block.size()};
    try {
        il::DibView check(dib.data, dib.size);
    } catch (const il::CodecError&) {
        std::abort();  // a loader handed out a block that breaks the layout
    }
    std::vector<uint8_t> file;
    s = il::Encode(kFormat, dib, 75, file);
    if (s == il::Status::TooLarge) return 0;  // wider than the format can hold
    if (s != il::Status::Ok) std::abort();
    il::VectorAllocator again;
    if (il::Decode(kFormat, {file.data(), file.size()}, again, kFuzzMaxPixels) != il::Status::Ok) std::abort();
    return 0;
}
