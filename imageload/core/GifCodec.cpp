// GIF through giflib: the first frame of the file, composed on its logical
// screen; writing quantises deep pictures to 256 colours.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "imageload/core/Codecs.h"

namespace il {

namespace {

struct MemoryInput {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    size_t n = std::min(static_cast<size_t>(length < 0 ? 0 : length), in->size - in->pos);
    if (n) std::memcpy(buffer, in->data + in->pos, n);
    in->pos += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifReader = std::unique_ptr<GifFileType, GifCloser>;

int BitsFor(int colorCount) { return colorCount <= 2 ? 1 : colorCount <= 16 ? 4 : 8; }

void PutIndex(uint8_t* row, uint32_t x, int bits, uint8_t index)
{
    if (bits == 8)
        row[x] = index;
    else if (bits == 4)
        row[x / 2] = static_cast<uint8_t>((row[x / 2] & (x % 2 ? 0xf0 : 0x0f)) | (x % 2 ? index : index << 4));
    else if (index)
        row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    else
        row[x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
}

void SkipExtension(GifFileType* gif)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) Fail(Status::Corrupt);
    while (block)
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) Fail(Status::Corrupt);
}

// Rows of an interlaced frame arrive in four passes.
std::vector<uint32_t> RowOrder(uint32_t height, bool interlaced)
{
    std::vector<uint32_t> order;
    order.reserve(height);
    if (!interlaced) {
        for (uint32_t y = 0; y < height; ++y) order.push_back(y);
        return order;
    }
    static const uint32_t kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (uint32_t y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
    return order;
}

void DecodeFirstFrame(GifFileType* gif, DibAllocator& out, uint64_t maxPixels)
{
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) Fail(Status::Corrupt);
        if (type == EXTENSION_RECORD_TYPE) {
            SkipExtension(gif);
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) Fail(Status::Corrupt);  // no frame before the end
        if (DGifGetImageDesc(gif) == GIF_ERROR) Fail(Status::Corrupt);
        break;
    }
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!map || map->ColorCount <= 0) Fail(Status::Corrupt);
    if (frame.Width <= 0 || frame.Height <= 0) Fail(Status::Corrupt);
    if (static_cast<uint64_t>(frame.Width) * static_cast<uint64_t>(frame.Height) > std::min(maxPixels, kMaxPixels))
        Fail(Status::TooLarge);
    // The picture is the logical screen; a screen of zero size means the frame's.
    uint32_t width = gif->SWidth > 0 ? static_cast<uint32_t>(gif->SWidth) : static_cast<uint32_t>(frame.Width);
    uint32_t height = gif->SHeight > 0 ? static_cast<uint32_t>(gif->SHeight) : static_cast<uint32_t>(frame.Height);
    int bits = BitsFor(map->ColorCount);
    DibWriter w(DibLayout::For(width, height, bits, maxPixels), out);
    w.ClearPixels();
    for (int i = 0; i < map->ColorCount; ++i)
        w.SetPaletteEntry(i, {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue, 0});
    uint8_t background = gif->SBackGroundColor < map->ColorCount ? static_cast<uint8_t>(gif->SBackGroundColor) : 0;
    if (background)
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) PutIndex(w.Row(y), x, bits, background);

    std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
    for (uint32_t y : RowOrder(static_cast<uint32_t>(frame.Height), frame.Interlace)) {
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) Fail(Status::Corrupt);
        uint64_t screenY = static_cast<uint64_t>(frame.Top) + y;
        if (screenY >= height) continue;
        uint8_t* row = w.Row(static_cast<uint32_t>(screenY));
        for (int i = 0; i < frame.Width; ++i) {
            uint64_t x = static_cast<uint64_t>(frame.Left) + i;
            if (x >= width) break;
            uint8_t index = line[i] < map->ColorCount ? line[i] : background;
            PutIndex(row, static_cast<uint32_t>(x), bits, index);
        }
    }
    // A file cut right after its first frame still has to go on (another
    // record or the trailer); giflib would not notice otherwise.
    GifRecordType next;
    if (DGifGetRecordType(gif, &next) == GIF_ERROR) Fail(Status::Corrupt);
}

}  // namespace

Status DecodeGif(Bytes file, DibAllocator& out, uint64_t maxPixels)
{
    return Guarded([&] {
        MemoryInput input{file.data, file.size, 0};
        int error = 0;
        GifReader gif(DGifOpen(&input, ReadFromMemory, &error));
        if (!gif) Fail(error == D_GIF_ERR_NOT_ENOUGH_MEM ? Status::NoMemory : Status::Corrupt);
        DecodeFirstFrame(gif.get(), out, maxPixels);
    });
}

namespace {

int WriteToMemory(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColorMap = std::unique_ptr<ColorMapObject, MapDeleter>;

// A palette picture in GIF terms: one index per pixel and its colour map.
struct IndexedPicture {
    std::vector<GifByteType> indices;  // top row first
    ColorMap map;
};

ColorMap NewMap(int count)
{
    ColorMap map(GifMakeMapObject(count, nullptr));
    if (!map) Fail(Status::NoMemory);
    return map;
}

IndexedPicture FromPalette(const DibView& v)
{
    IndexedPicture p;
    p.map = NewMap(static_cast<int>(v.PaletteEntries()));
    for (size_t i = 0; i < v.PaletteEntries(); ++i) {
        Rgba c = v.PaletteEntry(i);
        p.map->Colors[i] = {c.r, c.g, c.b};
    }
    p.indices.resize(static_cast<size_t>(v.Width()) * v.Height());
    for (uint32_t y = 0; y < v.Height(); ++y) {
        const uint8_t* row = v.Row(y);
        for (uint32_t x = 0; x < v.Width(); ++x) p.indices[static_cast<size_t>(y) * v.Width() + x] = v.IndexAt(row, x);
    }
    return p;
}

// Pictures of up to 256 distinct colours keep them exactly; others go
// through giflib's median-cut quantiser.
IndexedPicture FromDeep(const DibView& v)
{
    IndexedPicture p;
    size_t count = static_cast<size_t>(v.Width()) * v.Height();
    p.indices.resize(count);
    std::unordered_map<uint32_t, uint8_t> exact;
    std::vector<GifColorType> colors;
    bool fits = true;
    for (uint32_t y = 0; y < v.Height() && fits; ++y) {
        const uint8_t* row = v.Row(y);
        for (uint32_t x = 0; x < v.Width(); ++x) {
            Rgba c = v.PixelAt(row, x);
            uint32_t key = (c.r << 16) | (c.g << 8) | c.b;
            auto it = exact.find(key);
            if (it == exact.end()) {
                if (colors.size() == 256) {
                    fits = false;
                    break;
                }
                it = exact.emplace(key, static_cast<uint8_t>(colors.size())).first;
                colors.push_back({c.r, c.g, c.b});
            }
            p.indices[static_cast<size_t>(y) * v.Width() + x] = it->second;
        }
    }
    if (fits) {
        p.map = NewMap(256);
        std::fill(p.map->Colors, p.map->Colors + 256, GifColorType{0, 0, 0});
        std::copy(colors.begin(), colors.end(), p.map->Colors);
        return p;
    }
    std::vector<GifByteType> red(count), green(count), blue(count);
    for (uint32_t y = 0; y < v.Height(); ++y) {
        const uint8_t* row = v.Row(y);
        for (uint32_t x = 0; x < v.Width(); ++x) {
            Rgba c = v.PixelAt(row, x);
            size_t i = static_cast<size_t>(y) * v.Width() + x;
            red[i] = c.r;
            green[i] = c.g;
            blue[i] = c.b;
        }
    }
    int mapSize = 256;
    p.map = NewMap(256);
    if (GifQuantizeBuffer(v.Width(), v.Height(), &mapSize, red.data(), green.data(), blue.data(), p.indices.data(),
                          p.map->Colors) == GIF_ERROR)
        Fail(Status::NoMemory);
    return p;
}

struct WriterCloser {
    void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};

void WriteGif(const IndexedPicture& p, uint32_t width, uint32_t height, std::vector<uint8_t>& out)
{
    int error = 0;
    std::unique_ptr<GifFileType, WriterCloser> gif(EGifOpen(&out, WriteToMemory, &error));
    if (!gif) Fail(Status::NoMemory);
    EGifSetGifVersion(gif.get(), true);
    int w = static_cast<int>(width), h = static_cast<int>(height);
    if (EGifPutScreenDesc(gif.get(), w, h, p.map->BitsPerPixel, 0, p.map.get()) == GIF_ERROR ||
        EGifPutImageDesc(gif.get(), 0, 0, w, h, false, nullptr) == GIF_ERROR)
        Fail(Status::Write);
    for (uint32_t y = 0; y < height; ++y) {
        auto* line = const_cast<GifPixelType*>(p.indices.data() + static_cast<size_t>(y) * width);
        if (EGifPutLine(gif.get(), line, w) == GIF_ERROR) Fail(Status::Write);
    }
    GifFileType* raw = gif.release();
    if (EGifCloseFile(raw, &error) == GIF_ERROR) Fail(Status::Write);
}

}  // namespace

Status EncodeGif(Bytes dib, std::vector<uint8_t>& out)
{
    out.clear();
    Status s = Guarded([&] {
        DibView v(dib.data, dib.size);
        if (v.Width() > 65535 || v.Height() > 65535) Fail(Status::TooLarge);
        IndexedPicture p = v.Bits() <= 8 ? FromPalette(v) : FromDeep(v);
        WriteGif(p, v.Width(), v.Height(), out);
    });
    if (s != Status::Ok) out.clear();
    return s;
}

}  // namespace il
