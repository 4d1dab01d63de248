// Recognition by content: a signature and a header that could be real. TGA
// has no signature, so its header must be plausible and its name must say
// TGA as well.
#include <cctype>
#include <cstring>

#include "imageload/core/Codecs.h"

namespace il {

bool LooksLikeTga(Bytes file);

namespace {

bool StartsWith(Bytes f, const char* signature, size_t length)
{
    return f.size >= length && std::memcmp(f.data, signature, length) == 0;
}

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool LooksLikeBmp(Bytes f)
{
    if (!StartsWith(f, "BM", 2) || f.size < 26) return false;
    uint32_t headerSize = Le32(f.data + 14);
    return headerSize == 12 || (headerSize >= 16 && headerSize <= 124);
}

bool LooksLikePcx(Bytes f)
{
    if (f.size < 128 || f.data[0] != 0x0a || f.data[2] != 1) return false;
    int version = f.data[1], bits = f.data[3], planes = f.data[65];
    auto u16 = [&](size_t at) { return f.data[at] | (f.data[at + 1] << 8); };
    bool knownVersion = version == 0 || version == 2 || version == 3 || version == 4 || version == 5;
    bool knownDepth = bits == 1 || bits == 2 || bits == 4 || bits == 8;
    return knownVersion && knownDepth && planes >= 1 && planes <= 4 && u16(8) >= u16(4) && u16(10) >= u16(6);
}

bool LooksLikeTiff(Bytes f)
{
    return StartsWith(f, "II*\0", 4) || StartsWith(f, "MM\0*", 4) || StartsWith(f, "II+\0", 4) ||
           StartsWith(f, "MM\0+", 4);
}

bool IsTgaExtension(const char* extension)
{
    if (!extension) return true;
    if (*extension == '.') ++extension;
    return std::strlen(extension) == 3 && std::tolower(static_cast<unsigned char>(extension[0])) == 't' &&
           std::tolower(static_cast<unsigned char>(extension[1])) == 'g' &&
           std::tolower(static_cast<unsigned char>(extension[2])) == 'a';
}

}  // namespace

Format DetectFormat(Bytes f, const char* extension)
{
    if (!f.data || f.size == 0) return Format::Unknown;
    if (LooksLikeBmp(f)) return Format::Bmp;
    if (StartsWith(f, "GIF87a", 6) || StartsWith(f, "GIF89a", 6)) return Format::Gif;
    if (StartsWith(f, "\xff\xd8\xff", 3)) return Format::Jpg;
    if (LooksLikeTiff(f)) return Format::Tif;
    if (LooksLikePcx(f)) return Format::Pcx;
    if (IsTgaExtension(extension) && LooksLikeTga(f)) return Format::Tga;
    return Format::Unknown;
}

Status Decode(Format format, Bytes file, DibAllocator& out, uint64_t maxPixels)
{
    switch (format) {
    case Format::Bmp:
        return DecodeBmp(file, out, maxPixels);
    case Format::Gif:
        return DecodeGif(file, out, maxPixels);
    case Format::Pcx:
        return DecodePcx(file, out, maxPixels);
    case Format::Tga:
        return DecodeTga(file, out, maxPixels);
    case Format::Jpg:
        return DecodeJpeg(file, out, maxPixels);
    case Format::Tif:
        return DecodeTiff(file, out, maxPixels);
    default:
        return Status::Corrupt;
    }
}

Status Encode(Format format, Bytes dib, int quality, std::vector<uint8_t>& out)
{
    switch (format) {
    case Format::Bmp:
        return EncodeBmp(dib, out);
    case Format::Gif:
        return EncodeGif(dib, out);
    case Format::Pcx:
        return EncodePcx(dib, out);
    case Format::Tga:
        return EncodeTga(dib, out);
    case Format::Jpg:
        return EncodeJpeg(dib, quality, out);
    case Format::Tif:
        return EncodeTiff(dib, out);
    default:
        out.clear();
        return Status::Unsupported;
    }
}

}  // namespace il
