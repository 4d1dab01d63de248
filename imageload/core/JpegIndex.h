// Where each row of iMCUs (the bands of blocks a JPEG is coded in) of a
// baseline JPEG begins in its compressed data, with the DC values the
// decoder holds there: enough to decode a band of rows without the rows
// above it, which libjpeg can only skip by decoding them. The notes are
// bytes that the caller keeps between calls; a band is cut out as a small
// JPEG of its own, which libjpeg then decodes as the whole file would have
// decoded those rows.
//
// Only files of one interleaved scan of 8-bit Huffman-coded data without
// restart markers are noted (what cameras and most encoders write);
// progressive, arithmetic-coded and restart-marked files get no notes, and
// their bands are decoded by skipping.
#pragma once

#include <cstdint>
#include <vector>

#include "imageload/core/Codecs.h"

namespace il {

// The notes of a file, as bytes; false (and no notes) for a file of
// another layout or with damaged compressed data.
bool IndexJpeg(Bytes file, std::vector<uint8_t>& index);

// A band of rows cut out of a noted file: a JPEG of the same width whose
// rows from skipRows on are the picture's rows from firstRow on, with a
// row of iMCUs more above and below the asked rows where the picture has
// them (libjpeg upsamples a row from its neighbours).
struct JpegBand {
    std::vector<uint8_t> file;
    uint32_t skipRows;
    uint32_t firstRow;
};

// The picture's size as the notes give it; false when the notes do not
// belong to the file (another file, or the file changed since).
bool NotedSize(Bytes file, Bytes index, uint32_t* width, uint32_t* height);
// The band holding picture rows [top, bottom); false when it cannot be cut,
// or when it would begin at the picture's top and so save nothing (then
// decode the file itself).
bool CutJpegBand(Bytes file, Bytes index, uint32_t top, uint32_t bottom, JpegBand& band);

}  // namespace il
