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

// The file types as FileType answers them (IL_TYPE_* of ImageLoad.h, which
// the library checks these against).
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

// Chooses the size a JPEG is decoded to from its size in the file. It runs
// between libjpeg calls and so must not throw.
class JpegFit {
public:
    // True with the target size (0 or more each), false to refuse the picture.
    virtual bool Choose(uint32_t width, uint32_t height, int64_t& targetWidth, int64_t& targetHeight) noexcept = 0;

protected:
    ~JpegFit() = default;
};

// DecodeJpeg followed by the nearest-neighbour resample of the picture
// engine to the size fit chooses (target row i from the top shows source
// row H * i / h, column j shows source column W * j / w), in one pass over
// the file's rows that keeps a few of them at a time. The same failures as
// DecodeJpeg, then Refused when fit says no, and TooLarge for a negative
// target or one above maxPixels. A target of 0 x N or N x 0 is a block of
// headers and colour table without pixel bytes, as the resample gives.
Status DecodeJpegFitted(Bytes file, JpegFit& fit, DibAllocator& out, uint64_t maxPixels = kMaxPixels);

// The part of a JPEG picture that a view shows, decoded row by row without
// a block of the whole picture.
struct JpegRect {
    uint32_t x, y, width, height;
};

class JpegRegion {
public:
    // True with the rectangle to decode, given the picture's size (the
    // decoder clips it to the picture); false to refuse the picture.
    virtual bool Choose(uint32_t width, uint32_t height, JpegRect& rect) noexcept = 0;
    // One row of the rectangle, top row first: y counts from the picture's
    // top, bgr holds the rectangle's width of pixels as blue, green, red
    // bytes, the colours DecodeJpeg's block has there. False stops.
    virtual bool Row(uint32_t y, const uint8_t* bgr) noexcept = 0;

protected:
    ~JpegRegion() = default;
};

// Reads the rows down to the rectangle's last and decodes only the columns
// around it (libjpeg-turbo's crop and skip): rows below it are not read, so
// damage there goes unnoticed. With the file's notes (JpegIndex.h), only a
// band of rows around the rectangle is decoded at all. The same failures as
// DecodeJpeg, then Refused when region says no. A row that returned false
// ends the decode with Ok.
//
// With ranges, file holds at first only the headers the notes name (its
// size is the file's, the rest not read yet): the decode asks ranges for
// the bytes it needs beyond them, a band's compressed data, or the whole
// file where the notes do not serve. File when a range cannot be read.
class JpegFileRanges {
public:
    // Brings bytes [from, to) of the file into place; false when it cannot.
    virtual bool Fill(size_t from, size_t to) noexcept = 0;

protected:
    ~JpegFileRanges() = default;
};
Status DecodeJpegRegion(Bytes file, JpegRegion& region, uint64_t maxPixels = kMaxPixels, Bytes index = {nullptr, 0},
                        JpegFileRanges* ranges = nullptr);

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
