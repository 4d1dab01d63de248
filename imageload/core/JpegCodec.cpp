// JPEG through libjpeg-turbo. Decoding writes straight into the block,
// bottom row first, in the block's own pixel order (BGR), so no copy follows.
//
// libjpeg reports errors by calling back; the callbacks longjmp to the entry
// function, so the functions between setjmp and the libjpeg calls hold no
// objects with destructors and keep what must be freed in the job record.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

#include "imageload/core/Codecs.h"
#include "imageload/core/JpegIndex.h"

namespace il {

namespace {

// More scans than any encoder writes: a crafted progressive file with
// thousands of tiny scans would otherwise take minutes.
constexpr long kMaxScans = 1000;
constexpr int kRowBatch = 16;

struct JpegFailure {
    jpeg_error_mgr manager;
    jpeg_progress_mgr progress;
    jmp_buf jump;
    Status status;
    uint8_t* scratch;       // freed on every path
    unsigned char* output;  // the encoded file, grown by GrowingDestination, freed on every path
    size_t outputCapacity;
    size_t outputSize;
    bool endOfData;         // the decoder wanted more bytes than the file has
};

// libjpeg's own memory destination loses track of its buffer when an error
// ends a compression midway; this one keeps it in the failure record.
struct GrowingDestination {
    jpeg_destination_mgr manager;
    JpegFailure* failure;

    static GrowingDestination* Of(j_compress_ptr cinfo) { return reinterpret_cast<GrowingDestination*>(cinfo->dest); }

    static void Init(j_compress_ptr cinfo)
    {
        JpegFailure* f = Of(cinfo)->failure;
        f->outputCapacity = 64 * 1024;
        f->output = static_cast<unsigned char*>(std::malloc(f->outputCapacity));
        if (!f->output) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
        cinfo->dest->next_output_byte = f->output;
        cinfo->dest->free_in_buffer = f->outputCapacity;
    }

    static boolean Grow(j_compress_ptr cinfo)
    {
        JpegFailure* f = Of(cinfo)->failure;
        size_t used = f->outputCapacity;
        auto* bigger = static_cast<unsigned char*>(std::realloc(f->output, used * 2));
        if (!bigger) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
        f->output = bigger;
        f->outputCapacity = used * 2;
        cinfo->dest->next_output_byte = bigger + used;
        cinfo->dest->free_in_buffer = used;
        return TRUE;
    }

    static void Term(j_compress_ptr cinfo)
    {
        JpegFailure* f = Of(cinfo)->failure;
        f->outputSize = f->outputCapacity - cinfo->dest->free_in_buffer;
    }
};

JpegFailure* FailureOf(j_common_ptr cinfo) { return reinterpret_cast<JpegFailure*>(cinfo->err); }

void OnError(j_common_ptr cinfo)
{
    JpegFailure* f = FailureOf(cinfo);
    switch (cinfo->err->msg_code) {
    case JERR_OUT_OF_MEMORY:
        f->status = Status::NoMemory;
        break;
    case JERR_IMAGE_TOO_BIG:
        f->status = Status::TooLarge;
        break;
    default:
        f->status = Status::Corrupt;
    }
    std::longjmp(f->jump, 1);
}

// Warnings leave a picture, and it is shown as libjpeg's own tools show it:
// extraneous bytes before a marker or a damaged APP block change nothing,
// and data cut short inside a scan decodes as far as it goes (libjpeg fills
// the rest). Only errors refuse a file, and a file that ends before its
// first scan's data (ReadPictureHeader checks).
void OnMessage(j_common_ptr cinfo, int level)
{
    if (level == -1 && cinfo->err->msg_code == JWRN_JPEG_EOF) FailureOf(cinfo)->endOfData = true;
}

void OnProgress(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        FailureOf(cinfo)->status = Status::Corrupt;
        std::longjmp(FailureOf(cinfo)->jump, 1);
    }
}

void InitFailure(JpegFailure& f)
{
    jpeg_std_error(&f.manager);
    f.manager.error_exit = OnError;
    f.manager.emit_message = OnMessage;
    f.progress.progress_monitor = OnProgress;
    f.status = Status::Corrupt;
    f.scratch = nullptr;
    f.output = nullptr;
    f.outputCapacity = 0;
    f.outputSize = 0;
    f.endOfData = false;
}

// Adobe's writers store CMYK inverted; without their marker the values are plain.
inline void CmykPixelToBgr(const uint8_t* cmyk, uint8_t* bgr, bool inverted)
{
    unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    bgr[0] = static_cast<uint8_t>((y * k + 127) / 255);
    bgr[1] = static_cast<uint8_t>((m * k + 127) / 255);
    bgr[2] = static_cast<uint8_t>((c * k + 127) / 255);
}

void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x) CmykPixelToBgr(cmyk + 4 * x, bgr + 3 * x, inverted);
}

void ReadRows(jpeg_decompress_struct& cinfo, const DibLayout& layout, uint8_t* pixels)
{
    JSAMPROW rows[kRowBatch];
    while (cinfo.output_scanline < cinfo.output_height) {
        JDIMENSION first = cinfo.output_scanline;
        JDIMENSION count = cinfo.output_height - first < kRowBatch ? cinfo.output_height - first : kRowBatch;
        for (JDIMENSION i = 0; i < count; ++i) rows[i] = pixels + (layout.height - 1 - (first + i)) * layout.stride;
        jpeg_read_scanlines(&cinfo, rows, count);
    }
}

void ReadCmykRows(jpeg_decompress_struct& cinfo, const DibLayout& layout, uint8_t* pixels, uint8_t* scratch)
{
    while (cinfo.output_scanline < cinfo.output_height) {
        JDIMENSION y = cinfo.output_scanline;
        JSAMPROW row = scratch;
        jpeg_read_scanlines(&cinfo, &row, 1);
        CmykRowToBgr(scratch, pixels + (layout.height - 1 - y) * layout.stride, cinfo.output_width,
                     cinfo.saw_Adobe_marker);
    }
}

void ZeroRowPadding(const DibLayout& layout, uint8_t* pixels)
{
    size_t used = static_cast<size_t>(layout.width) * (layout.bits / 8);
    if (used == layout.stride) return;
    for (uint32_t y = 0; y < layout.height; ++y) std::memset(pixels + y * layout.stride + used, 0, layout.stride - used);
}

void SetGreyTable(uint8_t* block)
{
    for (int i = 0; i < 256; ++i) {
        uint8_t* e = block + dib::kColourTableOffset + 4 * i;
        e[0] = e[1] = e[2] = static_cast<uint8_t>(i);
        e[3] = 0;
    }
}

// Whether anything of the first scan follows its header: libjpeg-turbo
// shows a file cut right there as a uniform grey picture, with only a
// warning.
bool HasScanData(const jpeg_decompress_struct& cinfo)
{
    const JOCTET* next = cinfo.src->next_input_byte;
    const size_t left = cinfo.src->bytes_in_buffer;
    const bool endMarker = left >= 2 && next[0] == 0xff && next[1] == JPEG_EOI;
    return left > 0 && !endMarker;
}

// What a file decodes to: the picture's block layout and its colours.
struct JpegPicture {
    DibLayout layout;
    bool grey;
    bool cmyk;
};

// Reads the headers up to the first scan and sets the output colours. Runs
// under the caller's setjmp.
Status ReadPictureHeader(jpeg_decompress_struct& cinfo, Bytes file, uint64_t maxPixels, const JpegFailure& f,
                         JpegPicture& picture)
{
    jpeg_mem_src(&cinfo, file.data, static_cast<unsigned long>(file.size));
    // A file cut inside its headers would otherwise pass with whatever
    // libjpeg makes of the end marker it puts in place of the rest.
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK || f.endOfData || !HasScanData(cinfo))
        return Status::Corrupt;
    picture.grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    picture.cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = picture.grey ? JCS_GRAYSCALE : picture.cmyk ? JCS_CMYK : JCS_EXT_BGR;
    return DibLayout::TryFor(cinfo.image_width, cinfo.image_height, picture.grey ? 8 : 24, maxPixels, picture.layout);
}

// Runs a decode: the headers read, then body(cinfo, picture, f) with the
// decompressor started or not as it needs; the decompressor goes on every
// path, a libjpeg error's longjmp included. The body holds no objects with
// destructors, since a longjmp passes over them.
template <class Body>
Status RunDecoder(Bytes file, uint64_t maxPixels, JpegFailure& f, Body& body)
{
    jpeg_decompress_struct cinfo;
    cinfo.err = &f.manager;
    if (setjmp(f.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return f.status;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &f.progress;
    JpegPicture picture;
    Status s = ReadPictureHeader(cinfo, file, maxPixels, f, picture);
    if (s == Status::Ok) s = body(cinfo, static_cast<const JpegPicture&>(picture), f);
    jpeg_destroy_decompress(&cinfo);
    return s;
}

// The entry of every decode: what is not a JPEG is refused before libjpeg
// sees it, and the scratch the body took is freed whatever the outcome.
template <class Body>
Status Decode(Bytes file, uint64_t maxPixels, Body body)
{
    if (file.size < 2 || file.data[0] != 0xff || file.data[1] != 0xd8) return Status::Corrupt;
    JpegFailure f;
    InitFailure(f);
    Status s = RunDecoder(file, maxPixels, f, body);
    std::free(f.scratch);
    return s;
}

Status ReadWhole(jpeg_decompress_struct& cinfo, const JpegPicture& picture, JpegFailure& f, DibAllocator& out)
{
    const DibLayout& layout = picture.layout;
    jpeg_start_decompress(&cinfo);
    uint8_t* block = DibWriter::CreateBlock(layout, out);
    if (!block) return Status::NoMemory;
    uint8_t* pixels = block + layout.pixelOffset;
    if (picture.grey) SetGreyTable(block);
    ZeroRowPadding(layout, pixels);
    if (picture.cmyk) {
        f.scratch = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(cinfo.output_width) * 4));
        if (!f.scratch) return Status::NoMemory;
        ReadCmykRows(cinfo, layout, pixels, f.scratch);
    } else {
        ReadRows(cinfo, layout, pixels);
    }
    jpeg_finish_decompress(&cinfo);
    return Status::Ok;
}

// ---- decoding straight to a target size -----------------------------------

// The block of a fitted picture. Unlike a decoded picture's, a side may be
// 0: the resample then gives headers and colour table without pixels.
Status TargetShape(int64_t width, int64_t height, int bits, uint64_t maxPixels, dib::Shape& shape)
{
    if (width < 0 || height < 0 || width > 0x7fffffff || height > 0x7fffffff) return Status::TooLarge;
    if (width > 0 && height > 0) {
        DibLayout layout;
        Status s = DibLayout::TryFor(static_cast<uint32_t>(width), static_cast<uint32_t>(height), bits, maxPixels,
                                     layout);
        shape = layout;
        return s;
    }
    shape.width = static_cast<uint32_t>(width);
    shape.height = static_cast<uint32_t>(height);
    shape.bits = bits;
    shape.stride = static_cast<size_t>(dib::RowBytes64(bits, width));
    shape.paletteEntries = static_cast<size_t>(dib::ColourCount(bits, 1));
    shape.pixelOffset = dib::kHeadersBytes + 4 * shape.paletteEntries;
    shape.totalSize = shape.pixelOffset + shape.stride * shape.height;
    return Status::Ok;
}

// The target being written while the source rows stream past, and where
// each of its rows and columns samples the source. Plain data: it lives
// between libjpeg calls.
struct FittedRows {
    uint8_t* pixels;           // stored rows, bottom row first
    size_t stride;
    uint32_t width;
    uint32_t height;
    uint32_t sourceHeight;
    const uint32_t* columns;   // byte offset in a source row of each target column's pixel
    int sourceBytes;           // 1 grey, 3 BGR, 4 CMYK
    bool invertedCmyk;
    uint32_t next;             // the next target row to write, counted from the top
};

uint32_t SourceRowOf(const FittedRows& t, uint32_t i)
{
    return static_cast<uint32_t>(static_cast<uint64_t>(t.sourceHeight) * i / t.height);
}

void SampleRow(const FittedRows& t, const uint8_t* from, uint8_t* to)
{
    const uint32_t* columns = t.columns;
    switch (t.sourceBytes) {
    case 1:
        for (uint32_t j = 0; j < t.width; ++j) to[j] = from[columns[j]];
        break;
    case 3:
        for (uint32_t j = 0; j < t.width; ++j) std::memcpy(to + 3 * j, from + columns[j], 3);
        break;
    default:
        for (uint32_t j = 0; j < t.width; ++j) CmykPixelToBgr(from + columns[j], to + 3 * j, t.invertedCmyk);
    }
    const size_t used = static_cast<size_t>(t.width) * (t.sourceBytes == 1 ? 1 : 3);
    std::memset(to + used, 0, t.stride - used);
}

// Writes every target row that shows source row y: the first from the
// source, the others as copies of the row above them.
void WriteRowsOf(FittedRows& t, const uint8_t* source, uint32_t y)
{
    for (bool first = true; t.next < t.height && SourceRowOf(t, t.next) == y; ++t.next, first = false) {
        uint8_t* to = t.pixels + (t.height - 1 - t.next) * t.stride;
        if (first)
            SampleRow(t, source, to);
        else
            std::memcpy(to, to + t.stride, t.stride);
    }
}

// How many source rows from `from` on the target needs one after another
// (the first among them), at most kRowBatch: they are read in one call.
JDIMENSION NeededRun(const FittedRows& t, uint32_t from)
{
    uint32_t last = from;
    for (uint32_t i = t.next; i < t.height; ++i) {
        const uint32_t row = SourceRowOf(t, i);
        if (row > last + 1 || row - from >= static_cast<uint32_t>(kRowBatch)) break;
        last = row;
    }
    return last - from + 1;
}

// Reads the rows the target needs and skips the others: a skipped row is
// still entropy-decoded and, within an iMCU row, upsampled, but it is not
// colour-converted or copied. After the last row the target needs, the
// rest is read, so that the end of the file is checked as the whole decode
// checks it.
//
// libjpeg-turbo releases before 2026 could hand out rows from before a
// skip that began inside a row group (its issue 915), so a skip begins
// only on a row-group boundary: the rows up to it are read instead.
void ReadFittedRows(jpeg_decompress_struct& cinfo, FittedRows& t, uint8_t* batch, size_t rowBytes)
{
    JSAMPROW rows[kRowBatch];
    for (int i = 0; i < kRowBatch; ++i) rows[i] = batch + i * rowBytes;
    const JDIMENSION rowGroup = cinfo.max_v_samp_factor > 0 ? static_cast<JDIMENSION>(cinfo.max_v_samp_factor) : 1;
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION at = cinfo.output_scanline;
        JDIMENSION count = kRowBatch;
        if (t.next < t.height) {
            const uint32_t wanted = SourceRowOf(t, t.next);
            const JDIMENSION intoGroup = at % rowGroup;
            if (wanted > at && intoGroup == 0) {
                jpeg_skip_scanlines(&cinfo, wanted - at);
                continue;
            }
            count = wanted > at ? rowGroup - intoGroup : NeededRun(t, at);
        }
        jpeg_read_scanlines(&cinfo, rows, count);
        for (JDIMENSION y = at; y < cinfo.output_scanline; ++y) WriteRowsOf(t, rows[y - at], y);
    }
}

Status ReadFitted(jpeg_decompress_struct& cinfo, const JpegPicture& picture, JpegFailure& f, JpegFit& fit,
                  DibAllocator& out, uint64_t maxPixels)
{
    dib::Shape target;
    int64_t width = 0, height = 0;
    if (!fit.Choose(picture.layout.width, picture.layout.height, width, height)) return Status::Refused;
    Status s = TargetShape(width, height, picture.layout.bits, maxPixels, target);
    if (s != Status::Ok) return s;
    jpeg_start_decompress(&cinfo);
    const int sourceBytes = cinfo.output_components;
    const size_t rowBytes = static_cast<size_t>(cinfo.output_width) * sourceBytes;
    uint8_t* block = out.Allocate(target.totalSize);
    // One allocation: the column table, then the batch of source rows.
    const size_t columnBytes = sizeof(uint32_t) * target.width;
    f.scratch = static_cast<uint8_t*>(std::malloc(columnBytes + kRowBatch * rowBytes));
    if (!block || !f.scratch) return Status::NoMemory;
    dib::WriteHeaders(block, target);
    if (picture.grey) SetGreyTable(block);
    auto* columns = reinterpret_cast<uint32_t*>(f.scratch);
    uint8_t* batch = f.scratch + columnBytes;
    for (uint32_t j = 0; j < target.width; ++j)
        columns[j] = static_cast<uint32_t>(static_cast<uint64_t>(cinfo.output_width) * j / target.width) * sourceBytes;
    FittedRows rows{block + target.pixelOffset, target.stride, target.width, target.height, cinfo.output_height,
                    columns, sourceBytes, cinfo.saw_Adobe_marker != 0, 0};
    ReadFittedRows(cinfo, rows, batch, rowBytes);
    jpeg_finish_decompress(&cinfo);
    return Status::Ok;
}

// ---- decoding the part a view shows ---------------------------------------

// libjpeg-turbo crops at an iMCU column and upsamples the crop's edge
// columns without their neighbours outside it, so a crop a column of iMCUs
// wider on each side gives the rectangle's columns as the whole decode does.
void CropAround(jpeg_decompress_struct& cinfo, const JpegRect& rect, JDIMENSION& cropX, JDIMENSION& cropWidth)
{
    const JDIMENSION margin = static_cast<JDIMENSION>(cinfo.max_h_samp_factor) * DCTSIZE;
    const JDIMENSION left = rect.x > margin ? rect.x - margin : 0;
    const JDIMENSION right = rect.x + rect.width + margin < cinfo.output_width ? rect.x + rect.width + margin
                                                                                : cinfo.output_width;
    cropX = left;
    cropWidth = right - left;
    jpeg_crop_scanline(&cinfo, &cropX, &cropWidth);
}

// One decoded row of the crop as BGR from the rectangle's left edge: grey
// and CMYK rows are converted into the scratch line.
const uint8_t* RectangleRow(const jpeg_decompress_struct& cinfo, const uint8_t* cropped, JDIMENSION skip,
                            uint32_t width, uint8_t* converted)
{
    const int components = cinfo.output_components;
    const uint8_t* from = cropped + static_cast<size_t>(skip) * components;
    if (components == 3) return from;
    for (uint32_t x = 0; x < width; ++x) {
        if (components == 1)
            converted[3 * x] = converted[3 * x + 1] = converted[3 * x + 2] = from[x];
        else
            CmykPixelToBgr(from + 4 * x, converted + 3 * x, cinfo.saw_Adobe_marker != 0);
    }
    return converted;
}

Status ReadRegion(jpeg_decompress_struct& cinfo, const JpegPicture& picture, JpegFailure& f, JpegRegion& region)
{
    JpegRect rect = {0, 0, 0, 0};
    if (!region.Choose(picture.layout.width, picture.layout.height, rect)) return Status::Refused;
    // Clipped to the picture; nothing of it: nothing to read.
    const uint32_t width = picture.layout.width, height = picture.layout.height;
    if (rect.x >= width || rect.y >= height || rect.width == 0 || rect.height == 0) return Status::Ok;
    rect.width = rect.width < width - rect.x ? rect.width : width - rect.x;
    rect.height = rect.height < height - rect.y ? rect.height : height - rect.y;
    jpeg_start_decompress(&cinfo);
    JDIMENSION cropX = 0, cropWidth = 0;
    CropAround(cinfo, rect, cropX, cropWidth);
    // One allocation: the cropped row, then the converted one.
    const size_t croppedBytes = static_cast<size_t>(cropWidth) * cinfo.output_components;
    f.scratch = static_cast<uint8_t*>(std::malloc(croppedBytes + static_cast<size_t>(rect.width) * 3));
    if (!f.scratch) return Status::NoMemory;
    // Skipping from row 0, a row-group boundary (see ReadFittedRows).
    if (rect.y > 0) jpeg_skip_scanlines(&cinfo, rect.y);
    while (cinfo.output_scanline < rect.y + rect.height) {
        const uint32_t y = cinfo.output_scanline;
        JSAMPROW row = f.scratch;
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (!region.Row(y, RectangleRow(cinfo, f.scratch, rect.x - cropX, rect.width, f.scratch + croppedBytes)))
            break;
    }
    return Status::Ok;
}

// Rows handed to libjpeg top row first: the block's own rows when it is
// 24-bit or grey, else each row converted to BGR in the scratch line.
Status RunEncode(const DibView& v, int quality, JpegFailure& f)
{
    jpeg_compress_struct cinfo;
    cinfo.err = &f.manager;
    if (setjmp(f.jump)) {
        jpeg_destroy_compress(&cinfo);
        return f.status;
    }
    jpeg_create_compress(&cinfo);
    GrowingDestination destination;
    destination.manager.init_destination = GrowingDestination::Init;
    destination.manager.empty_output_buffer = GrowingDestination::Grow;
    destination.manager.term_destination = GrowingDestination::Term;
    destination.failure = &f;
    cinfo.dest = &destination.manager;
    bool grey = v.IsGreyRamp();
    bool direct = grey || v.Bits() == 24;
    cinfo.image_width = v.Width();
    cinfo.image_height = v.Height();
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (!grey && quality >= 90) {
        // At high quality keep full colour resolution rather than halving it.
        cinfo.comp_info[0].h_samp_factor = 1;
        cinfo.comp_info[0].v_samp_factor = 1;
    }
    if (!direct) {
        f.scratch = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(v.Width()) * 3));
        if (!f.scratch) {
            jpeg_destroy_compress(&cinfo);
            return Status::NoMemory;
        }
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint8_t* row = v.Row(cinfo.next_scanline);
        JSAMPROW line = const_cast<JSAMPROW>(row);
        if (!direct) {
            for (uint32_t x = 0; x < v.Width(); ++x) {
                Rgba c = v.PixelAt(row, x);
                f.scratch[3 * x] = c.b;
                f.scratch[3 * x + 1] = c.g;
                f.scratch[3 * x + 2] = c.r;
            }
            line = f.scratch;
        }
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return Status::Ok;
}

}  // namespace

Status DecodeJpeg(Bytes file, DibAllocator& out, uint64_t maxPixels)
{
    return Decode(file, maxPixels, [&](jpeg_decompress_struct& cinfo, const JpegPicture& picture, JpegFailure& f) {
        return ReadWhole(cinfo, picture, f, out);
    });
}

Status DecodeJpegFitted(Bytes file, JpegFit& fit, DibAllocator& out, uint64_t maxPixels)
{
    return Decode(file, maxPixels, [&](jpeg_decompress_struct& cinfo, const JpegPicture& picture, JpegFailure& f) {
        return ReadFitted(cinfo, picture, f, fit, out, maxPixels);
    });
}

namespace {

Status DecodeRegionOfFile(Bytes file, JpegRegion& region, uint64_t maxPixels)
{
    return Decode(file, maxPixels, [&](jpeg_decompress_struct& cinfo, const JpegPicture& picture, JpegFailure& f) {
        return ReadRegion(cinfo, picture, f, region);
    });
}

// The caller's rectangle, chosen once, decoded from a band cut out of the
// file: the band's rows from skipRows on are the picture's from firstRow
// on, its columns the picture's from firstColumn on.
class BandRegion : public JpegRegion {
public:
    BandRegion(JpegRegion& picture, JpegRect rect, const JpegBand& band)
        : picture_(picture), rect_(rect), width_(band.width), skip_(band.skipRows), first_(band.firstRow),
          left_(band.firstColumn)
    {
    }
    bool Choose(uint32_t width, uint32_t, JpegRect& rect) noexcept override
    {
        rect = rect_;
        rect.x = rect_.x - left_;
        rect.y = rect_.y - first_ + skip_;
        return width == width_;
    }
    bool Row(uint32_t y, const uint8_t* bgr) noexcept override { return picture_.Row(y - skip_ + first_, bgr); }

private:
    JpegRegion& picture_;
    JpegRect rect_;
    uint32_t width_, skip_, first_, left_;
};

// The caller's rectangle, chosen once, decoded from the file itself.
class ChosenRegion : public JpegRegion {
public:
    ChosenRegion(JpegRegion& picture, JpegRect rect) : picture_(picture), rect_(rect) {}
    bool Choose(uint32_t, uint32_t, JpegRect& rect) noexcept override
    {
        rect = rect_;
        return true;
    }
    bool Row(uint32_t y, const uint8_t* bgr) noexcept override { return picture_.Row(y, bgr); }

private:
    JpegRegion& picture_;
    JpegRect rect_;
};

}  // namespace

Status DecodeJpegRegion(Bytes file, JpegRegion& region, uint64_t maxPixels, Bytes index, JpegFileRanges* ranges)
{
    auto fill = [&](size_t from, size_t to) { return ranges == nullptr || ranges->Fill(from, to); };
    uint32_t width = 0, height = 0;
    if (index.size == 0 || !NotedSize(file, index, &width, &height) ||
        static_cast<uint64_t>(width) * height > maxPixels)
        return fill(0, file.size) ? DecodeRegionOfFile(file, region, maxPixels) : Status::File;
    JpegRect rect = {0, 0, 0, 0};
    if (!region.Choose(width, height, rect)) return Status::Refused;
    if (rect.x >= width || rect.y >= height || rect.width == 0 || rect.height == 0) return Status::Ok;
    rect.width = std::min(rect.width, width - rect.x);
    rect.height = std::min(rect.height, height - rect.y);
    try {
        JpegBand band;
        size_t from = 0, to = 0;
        if (NotedBandBytes(file, index, rect, &from, &to)) {
            if (!fill(from, to)) return Status::File;
            if (CutJpegBand(file, index, rect, band)) {
                BandRegion through(region, rect, band);
                return DecodeRegionOfFile({band.file.data(), band.file.size()}, through, maxPixels);
            }
        }
    } catch (const std::bad_alloc&) {
        return Status::NoMemory;
    }
    if (!fill(0, file.size)) return Status::File;
    ChosenRegion chosen(region, rect);
    return DecodeRegionOfFile(file, chosen, maxPixels);
}

// Writes baseline JPEG: 8-bit pictures with the grey ramp as one grey
// component, everything else as YCbCr from its colours (4:4:4 at quality 90
// and above, 4:2:0 below).
Status EncodeJpeg(Bytes dib, int quality, std::vector<uint8_t>& out)
{
    out.clear();
    if (quality < 1 || quality > 100) return Status::Unsupported;
    return Guarded([&] {
        DibView v(dib.data, dib.size);
        if (v.Width() > 65500 || v.Height() > 65500) Fail(Status::TooLarge);
        JpegFailure f;
        InitFailure(f);
        Status s = RunEncode(v, quality, f);
        std::free(f.scratch);
        std::unique_ptr<unsigned char, decltype(&std::free)> encoded(f.output, &std::free);
        if (s != Status::Ok) Fail(s);
        out.assign(encoded.get(), encoded.get() + f.outputSize);
    });
}

}  // namespace il
