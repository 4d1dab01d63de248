// The codec core: bytes in, picture block out, and back. Works on memory
// only, so that it builds natively (tests, sanitizers, fuzzers, benchmarks)
// as well as inside the Windows library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "imageload/core/Dib.h"
#include "imageload/core/Status.h"

namespace il {

enum class Format { Unknown = 0, Bmp = 1, Gif = 2, Pcx = 3, Tga = 4, Jpg = 5, Tif = 6 };

struct Bytes {
    const uint8_t* data;
    size_t size;
};

// Recognises a file by its content. TGA has no signature: it is taken only
// when the header is plausible and the extension (".tga", any case, or null
// to skip the check) says so.
Format DetectFormat(Bytes file, const char* extension);

// Each decoder validates the header, refuses pictures above maxPixels before
// allocating, then writes the picture into a block from the allocator. On
// failure the allocator's storage (if any) holds nothing of use.
Status DecodeBmp(Bytes file, DibAllocator& out, uint64_t maxPixels = kMaxPixels);
Status DecodeGif(Bytes file, DibAllocator& out, uint64_t maxPixels = kMaxPixels);
Status DecodePcx(Bytes file, DibAllocator& out, uint64_t maxPixels = kMaxPixels);
Status DecodeTga(Bytes file, DibAllocator& out, uint64_t maxPixels = kMaxPixels);
Status DecodeJpeg(Bytes file, DibAllocator& out, uint64_t maxPixels = kMaxPixels);
Status DecodeTiff(Bytes file, DibAllocator& out, uint64_t maxPixels = kMaxPixels);
Status Decode(Format format, Bytes file, DibAllocator& out, uint64_t maxPixels = kMaxPixels);

// Encoders read the block (never change it) and append a whole file to out.
// On failure out is left empty.
Status EncodeBmp(Bytes dib, std::vector<uint8_t>& out);
Status EncodeGif(Bytes dib, std::vector<uint8_t>& out);
Status EncodePcx(Bytes dib, std::vector<uint8_t>& out);
Status EncodeTga(Bytes dib, std::vector<uint8_t>& out);
Status EncodeJpeg(Bytes dib, int quality, std::vector<uint8_t>& out);
Status EncodeTiff(Bytes dib, std::vector<uint8_t>& out);
// The encoder of a format; quality is for JPEG only (1 to 100).
Status Encode(Format format, Bytes dib, int quality, std::vector<uint8_t>& out);

// Runs a hand-written codec body, turning CodecError and allocation failure
// into a status.
template <typename Body>
Status Guarded(Body&& body)
{
    try {
        body();
        return Status::Ok;
    } catch (const CodecError& e) {
        return e.status;
    } catch (const std::bad_alloc&) {
        return Status::NoMemory;
    } catch (const std::length_error&) {
        return Status::NoMemory;
    }
}

}  // namespace il
