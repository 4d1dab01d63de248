// One loader of the picture library fed arbitrary bytes. Whatever it
// accepts must be a well-formed block that its own saver can write and the
// loader read again; anything else must be refused with an error number.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imageload/core/Codecs.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    il::DetectFormat({data, size}, ".tga");
    il::VectorAllocator out;
    il::Status s = il::Decode(kFormat, {data, size}, out, kFuzzMaxPixels);
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
