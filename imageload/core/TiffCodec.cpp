// TIFF through libtiff, from and to memory. The first page is read. Palette
// and grey pictures of up to 8 bits keep their depth, 16-bit grey becomes
// 8-bit grey, RGB becomes 24-bit (32-bit with an alpha sample); everything
// else (tiles, other orientations, YCbCr, CMYK, odd sample sizes) goes
// through libtiff's RGBA reader and becomes 24 or 32-bit.
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "imageload/core/Codecs.h"

namespace il {

namespace {

// The file as libtiff sees it: a read-only span when decoding, a growing
// vector when encoding.
struct MemoryFile {
    const uint8_t* data = nullptr;
    size_t size = 0;
    std::vector<uint8_t>* sink = nullptr;
    uint64_t pos = 0;
};

MemoryFile* FileOf(thandle_t h) { return static_cast<MemoryFile*>(h); }

tmsize_t ReadProc(thandle_t h, void* buffer, tmsize_t length)
{
    MemoryFile* f = FileOf(h);
    if (length < 0 || f->pos >= f->size) return 0;
    size_t n = std::min<uint64_t>(static_cast<uint64_t>(length), f->size - f->pos);
    std::memcpy(buffer, f->data + f->pos, n);
    f->pos += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t h, void* buffer, tmsize_t length)
{
    MemoryFile* f = FileOf(h);
    if (!f->sink || length < 0) return -1;
    try {
        uint64_t end = f->pos + static_cast<uint64_t>(length);
        if (end > f->sink->size()) f->sink->resize(static_cast<size_t>(end));
    } catch (...) {
        return -1;  // no exception may unwind through libtiff
    }
    std::memcpy(f->sink->data() + f->pos, buffer, static_cast<size_t>(length));
    f->pos += static_cast<uint64_t>(length);
    return length;
}

toff_t SeekProc(thandle_t h, toff_t offset, int whence)
{
    MemoryFile* f = FileOf(h);
    uint64_t length = f->sink ? f->sink->size() : f->size;
    uint64_t base = whence == SEEK_CUR ? f->pos : whence == SEEK_END ? length : 0;
    f->pos = base + offset;
    return f->pos;
}

int CloseProc(thandle_t) { return 0; }

toff_t SizeProc(thandle_t h)
{
    MemoryFile* f = FileOf(h);
    return f->sink ? f->sink->size() : f->size;
}

int MapProc(thandle_t h, void** base, toff_t* size)
{
    MemoryFile* f = FileOf(h);
    if (f->sink) return 0;
    *base = const_cast<uint8_t*>(f->data);
    *size = f->size;
    return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

// What libtiff said while reading. It shrugs off some damage with a warning
// (a colour table cut short turns a palette picture grey); those warnings
// make the picture corrupt for us.
struct TiffDiagnostics {
    bool damaged = false;
};

int OnTiffError(TIFF*, void*, const char*, const char*, va_list) { return 1; }

int OnTiffWarning(TIFF*, void* user, const char*, const char* format, va_list args)
{
    char message[512];
    std::vsnprintf(message, sizeof message, format, args);
    if (std::strstr(message, "IO error") || std::strstr(message, "Incorrect count") ||
        std::strstr(message, "Sanity check"))
        static_cast<TiffDiagnostics*>(user)->damaged = true;
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle Open(MemoryFile& file, const char* mode, TiffDiagnostics& diagnostics)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) Fail(Status::NoMemory);
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnTiffError, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnTiffWarning, &diagnostics);
    // No single buffer beyond what the largest picture needs.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(kMaxPixels * 4 + 65536));
    TIFF* tif = TIFFClientOpenExt("memory", mode, &file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                                  UnmapProc, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tif);
}

struct TiffShape {
    uint32_t width = 0, height = 0;
    uint16_t bps = 1, spp = 1, photometric = 0, planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
    bool tiled = false;
};

TiffShape ReadShape(TIFF* tif)
{
    TiffShape s;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &s.width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &s.height))
        Fail(Status::Corrupt);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &s.bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &s.spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &s.planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &s.orientation);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &s.photometric))
        s.photometric = s.spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    s.tiled = TIFFIsTiled(tif) != 0;
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFIsCODECConfigured(compression)) Fail(Status::Unsupported);
    return s;
}

bool IsGrey(const TiffShape& s)
{
    return s.photometric == PHOTOMETRIC_MINISBLACK || s.photometric == PHOTOMETRIC_MINISWHITE;
}

// Depth in the block when rows can be read as they are, or 0 when the
// picture goes through the RGBA reader.
int ScanlineBits(const TiffShape& s)
{
    if (s.tiled || s.orientation != ORIENTATION_TOPLEFT) return 0;
    if (s.spp == 1 && s.photometric == PHOTOMETRIC_PALETTE && (s.bps == 1 || s.bps == 2 || s.bps == 4 || s.bps == 8))
        return s.bps == 2 ? 4 : s.bps;
    if (s.spp == 1 && IsGrey(s) && (s.bps == 1 || s.bps == 2 || s.bps == 4 || s.bps == 8 || s.bps == 16))
        return s.bps == 2 ? 4 : s.bps == 16 ? 8 : s.bps;
    if (s.photometric == PHOTOMETRIC_RGB && (s.spp == 3 || s.spp == 4) && (s.bps == 8 || s.bps == 16) &&
        s.planar == PLANARCONFIG_CONTIG)
        return s.spp == 3 ? 24 : 32;
    return 0;
}

void SetTiffPalette(TIFF* tif, const TiffShape& s, DibWriter& w)
{
    size_t levels = size_t{1} << s.bps;
    if (s.photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue)) Fail(Status::Corrupt);
        // Old writers stored 8-bit values in the 16-bit table.
        bool eightBit = std::all_of(red, red + levels, [](uint16_t v) { return v < 256; }) &&
                        std::all_of(green, green + levels, [](uint16_t v) { return v < 256; }) &&
                        std::all_of(blue, blue + levels, [](uint16_t v) { return v < 256; });
        int shift = eightBit ? 0 : 8;
        for (size_t i = 0; i < levels; ++i)
            w.SetPaletteEntry(i, {static_cast<uint8_t>(red[i] >> shift), static_cast<uint8_t>(green[i] >> shift),
                                  static_cast<uint8_t>(blue[i] >> shift), 0});
        return;
    }
    size_t n = s.bps == 16 ? 256 : levels;
    for (size_t i = 0; i < n; ++i) {
        uint8_t v = static_cast<uint8_t>(i * 255 / (n - 1));
        if (s.photometric == PHOTOMETRIC_MINISWHITE) v = static_cast<uint8_t>(255 - v);
        w.SetPaletteEntry(i, {v, v, v, 0});
    }
}

void ConvertRow(const TiffShape& s, const uint8_t* in, uint8_t* row, uint32_t width, int bits)
{
    if (s.bps == 2) {
        for (uint32_t x = 0; x < width; ++x) {
            unsigned v = (in[x / 4] >> (6 - 2 * (x % 4))) & 3u;
            row[x / 2] |= static_cast<uint8_t>(x % 2 ? v : v << 4);
        }
    } else if (bits <= 8 && s.bps <= 8) {
        std::memcpy(row, in, (static_cast<size_t>(width) * bits + 7) / 8);
    } else if (bits == 8) {  // 16-bit grey, native byte order from libtiff
        const uint16_t* grey = reinterpret_cast<const uint16_t*>(in);
        for (uint32_t x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(grey[x] >> 8);
    } else if (s.bps == 8 && s.spp == 3) {
        // The common case, kept to a tight loop: RGB into BGR.
        for (uint32_t x = 0; x < width; ++x, in += 3, row += 3) {
            row[0] = in[2];
            row[1] = in[1];
            row[2] = in[0];
        }
    } else {
        int channels = bits / 8;
        for (uint32_t x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                int target = c < 3 ? 2 - c : c;  // RGB(A) into BGR(A)
                size_t i = static_cast<size_t>(x) * s.spp + c;
                row[channels * x + target] =
                    s.bps == 8 ? in[i] : static_cast<uint8_t>(reinterpret_cast<const uint16_t*>(in)[i] >> 8);
            }
        }
    }
}

void ReadScanlines(TIFF* tif, const TiffShape& s, int bits, DibAllocator& out, uint64_t maxPixels)
{
    DibWriter w(DibLayout::For(s.width, s.height, bits, maxPixels), out);
    w.ClearPixels();
    if (bits <= 8) SetTiffPalette(tif, s, w);
    tmsize_t lineSize = TIFFScanlineSize(tif);
    uint64_t needed = (static_cast<uint64_t>(s.width) * s.bps * s.spp + 7) / 8;
    if (lineSize <= 0 || static_cast<uint64_t>(lineSize) < needed) Fail(Status::Corrupt);
    std::vector<uint8_t> line(static_cast<size_t>(lineSize));
    for (uint32_t y = 0; y < s.height; ++y) {
        if (TIFFReadScanline(tif, line.data(), y, 0) < 0) Fail(Status::Corrupt);
        ConvertRow(s, line.data(), w.Row(y), s.width, bits);
    }
}

void ReadThroughRgba(TIFF* tif, const TiffShape& s, DibAllocator& out, uint64_t maxPixels)
{
    char reason[1024];
    if (!TIFFRGBAImageOK(tif, reason)) Fail(Status::Unsupported);
    uint16_t extraCount = 0;
    uint16_t* extraKinds = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds);
    int bits = extraCount > 0 ? 32 : 24;
    DibLayout layout = DibLayout::For(s.width, s.height, bits, maxPixels);  // checks the size before the raster
    std::vector<uint32_t> raster(static_cast<size_t>(s.width) * s.height);
    if (!TIFFReadRGBAImageOriented(tif, s.width, s.height, raster.data(), ORIENTATION_BOTLEFT, 1))
        Fail(Status::Corrupt);
    DibWriter w(layout, out);
    w.ClearPixels();
    for (uint32_t y = 0; y < s.height; ++y) {
        const uint32_t* in = raster.data() + static_cast<size_t>(s.height - 1 - y) * s.width;
        uint8_t* row = w.Row(y);
        for (uint32_t x = 0; x < s.width; ++x) {
            uint32_t p = in[x];
            uint8_t* d = row + x * (bits / 8);
            d[0] = static_cast<uint8_t>(TIFFGetB(p));
            d[1] = static_cast<uint8_t>(TIFFGetG(p));
            d[2] = static_cast<uint8_t>(TIFFGetR(p));
            if (bits == 32) d[3] = static_cast<uint8_t>(TIFFGetA(p));
        }
    }
}

}  // namespace

Status DecodeTiff(Bytes file, DibAllocator& out, uint64_t maxPixels)
{
    return Guarded([&] {
        MemoryFile memory;
        memory.data = file.data;
        memory.size = file.size;
        TiffDiagnostics diagnostics;
        TiffHandle tif = Open(memory, "r", diagnostics);
        if (!tif) Fail(Status::Corrupt);
        TiffShape s = ReadShape(tif.get());
        DibLayout::For(s.width, s.height, 24, maxPixels);  // refuse oversized pictures before libtiff allocates
        if (diagnostics.damaged) Fail(Status::Corrupt);
        int bits = ScanlineBits(s);
        if (bits)
            ReadScanlines(tif.get(), s, bits, out, maxPixels);
        else
            ReadThroughRgba(tif.get(), s, out, maxPixels);
        if (diagnostics.damaged) Fail(Status::Corrupt);
    });
}

namespace {

void SetFields(TIFF* tif, const DibView& v, bool grey)
{
    bool mapped = v.Bits() <= 8 && !grey;
    int spp = v.Bits() == 32 ? 4 : v.Bits() > 8 ? 3 : 1;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, v.Width());
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, v.Height());
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, v.Bits() <= 8 ? v.Bits() : 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spp);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                 grey ? PHOTOMETRIC_MINISBLACK : mapped ? PHOTOMETRIC_PALETTE : PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    if (spp == 4) {
        uint16_t kind = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &kind);
    }
    if (mapped) {
        std::vector<uint16_t> red(v.PaletteEntries()), green(red.size()), blue(red.size());
        for (size_t i = 0; i < red.size(); ++i) {
            Rgba c = v.PaletteEntry(i);
            red[i] = static_cast<uint16_t>(c.r * 257);
            green[i] = static_cast<uint16_t>(c.g * 257);
            blue[i] = static_cast<uint16_t>(c.b * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    }
}

}  // namespace

// Writes LZW-compressed strips, top row first: 1, 4 and 8-bit as palette
// pictures (8-bit with the grey ramp as plain grey), 16 and 24-bit as 8-bit
// RGB, 32-bit as RGB with an unassociated alpha sample.
Status EncodeTiff(Bytes dib, std::vector<uint8_t>& out)
{
    out.clear();
    Status s = Guarded([&] {
        DibView v(dib.data, dib.size);
        MemoryFile memory;
        memory.sink = &out;
        TiffDiagnostics diagnostics;
        TiffHandle tif = Open(memory, "w", diagnostics);
        if (!tif) Fail(Status::NoMemory);
        SetFields(tif.get(), v, v.IsGreyRamp());
        int channels = v.Bits() == 32 ? 4 : 3;
        std::vector<uint8_t> line(static_cast<size_t>(TIFFScanlineSize(tif.get())) + 4);
        for (uint32_t y = 0; y < v.Height(); ++y) {
            const uint8_t* row = v.Row(y);
            if (v.Bits() <= 8) {
                std::memcpy(line.data(), row, (static_cast<size_t>(v.Width()) * v.Bits() + 7) / 8);
            } else {
                for (uint32_t x = 0; x < v.Width(); ++x) {
                    Rgba c = v.PixelAt(row, x);
                    uint8_t* d = line.data() + static_cast<size_t>(x) * channels;
                    d[0] = c.r;
                    d[1] = c.g;
                    d[2] = c.b;
                    if (channels == 4) d[3] = c.a;
                }
            }
            if (TIFFWriteScanline(tif.get(), line.data(), y, 0) < 0) Fail(Status::Write);
        }
        if (!TIFFFlush(tif.get())) Fail(Status::Write);
    });
    if (s != Status::Ok) out.clear();
    return s;
}

}  // namespace il
