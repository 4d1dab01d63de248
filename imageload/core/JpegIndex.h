// Where each row of iMCUs (the bands of blocks a JPEG is coded in) of a
// baseline JPEG begins in its compressed data, and every few MCUs of it,
// with the DC values the decoder holds there: enough to decode a rectangle
// without the rows above it and the columns beside it, which libjpeg can
// only skip by decoding them. The notes are bytes that the caller keeps
// between calls; a rectangle is cut out as a small JPEG of its own, which
// libjpeg then decodes as the whole file would have decoded those pixels.
//
// Only files of one interleaved scan of 8-bit Huffman-coded data without
// restart markers are noted (what cameras and most encoders write);
// progressive, arithmetic-coded and restart-marked files get no notes, and
// their bands are decoded by skipping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imageload/core/Codecs.h"

namespace il {

// The notes of a file, as bytes; false (and no notes) for a file of
// another layout or with damaged compressed data, and when stop (null:
// never) is set while they are made: it is looked at before each row of
// MCUs, so that a walk of a large file ends soon after it is asked to.
bool IndexJpeg(Bytes file, std::vector<uint8_t>& index, const volatile long* stop = nullptr);

// A band cut out of a noted file: a JPEG whose rows from skipRows on are
// the picture's rows from firstRow on, and whose columns are the picture's
// from firstColumn on, with a row and a column of MCUs more on each side of
// the asked rectangle where the picture has them (libjpeg upsamples a pixel
// from its neighbours).
struct JpegBand {
    std::vector<uint8_t> file;
    uint32_t width;
    uint32_t skipRows;
    uint32_t firstRow;
    uint32_t firstColumn;
};

// The picture's size as the notes give it; false when the notes do not
// belong to the file (another file, or the file changed since).
bool NotedSize(Bytes file, Bytes index, uint32_t* width, uint32_t* height);
// The bytes before the compressed data of a noted file (its headers), as
// the notes give them; 0 for bytes that are no notes.
size_t NotedHeadBytes(Bytes index);
// What a band of the rectangle reads of the file beside its headers: the
// compressed data [*from, *to). False where CutJpegBand is.
bool NotedBandBytes(Bytes file, Bytes index, const JpegRect& wanted, size_t* from, size_t* to);
// The band holding a rectangle of the picture; false when it cannot be cut,
// or when it would be the picture's top rows at full width and so save
// nothing (then decode the file itself).
bool CutJpegBand(Bytes file, Bytes index, const JpegRect& wanted, JpegBand& band);

}  // namespace il
