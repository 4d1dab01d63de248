#include "tests/imageload/Support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace il {
void PrintTo(Status status, std::ostream* os)
{
    static const char* const kNames[] = {"File", "Unsupported", "Corrupt", "TooLarge", "NoMemory", "Write", "NoPicture"};
    int n = static_cast<int>(status);
    *os << (n == 0 ? "Ok" : n >= 101 && n <= 107 ? kNames[n - 101] : "?") << " (" << n << ")";
}
}  // namespace il

namespace iltest {

namespace {

il::Rgba PatternColor(uint32_t i)
{
    // Distinct, well spread colours with no two entries equal.
    return {static_cast<uint8_t>(i * 37 + 11), static_cast<uint8_t>(255 - i * 11), static_cast<uint8_t>(i * 91 + 5),
            0};
}

}  // namespace

Bytes MakeDib(int bits, uint32_t width, uint32_t height)
{
    il::VectorAllocator out;
    il::DibWriter w(il::DibLayout::For(width, height, bits, il::kMaxPixels), out);
    size_t entries = w.Layout().paletteEntries;
    for (size_t i = 0; i < entries; ++i) w.SetPaletteEntry(i, PatternColor(static_cast<uint32_t>(i)));
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = w.Row(y);
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t v = x * 7 + y * 13 + (x * y) % 5;
            switch (bits) {
            case 1:
                if (v & 1) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                break;
            case 4:
                row[x / 2] |= static_cast<uint8_t>(x % 2 ? v % 16 : (v % 16) << 4);
                break;
            case 8:
                row[x] = static_cast<uint8_t>(v);
                break;
            case 16: {
                unsigned p = ((x * 3) % 32) << 10 | ((y * 5) % 32) << 5 | (v % 32);
                row[2 * x] = static_cast<uint8_t>(p);
                row[2 * x + 1] = static_cast<uint8_t>(p >> 8);
                break;
            }
            default: {
                int n = bits / 8;
                row[n * x] = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
                row[n * x + 1] = static_cast<uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
                row[n * x + 2] = static_cast<uint8_t>(v * 3);
                if (n == 4) row[n * x + 3] = static_cast<uint8_t>(255 - v);
            }
            }
        }
    }
    return out.block;
}

Colors ColorsOf(const Bytes& dib)
{
    il::DibView v(dib.data(), dib.size());
    Colors c;
    c.width = v.Width();
    c.height = v.Height();
    c.bits = v.Bits();
    c.pixels.reserve(static_cast<size_t>(c.width) * c.height);
    for (uint32_t y = 0; y < c.height; ++y) {
        const uint8_t* row = v.Row(y);
        for (uint32_t x = 0; x < c.width; ++x) {
            il::Rgba p = v.PixelAt(row, x);
            if (c.bits != 32) p.a = 255;
            c.pixels.push_back(p);
        }
    }
    return c;
}

int BitsOf(const Bytes& dib) { return dib.size() >= 30 ? dib[28] | (dib[29] << 8) : 0; }

il::Status DecodeAs(il::Format format, const Bytes& file, Bytes& dib)
{
    il::VectorAllocator out;
    il::Status s = il::Decode(format, {file.data(), file.size()}, out);
    dib = s == il::Status::Ok ? std::move(out.block) : Bytes();
    return s;
}

il::Status EncodeAs(il::Format format, const Bytes& dib, Bytes& file, int quality)
{
    return il::Encode(format, {dib.data(), dib.size()}, quality, file);
}

const char* ExtensionOf(il::Format format)
{
    static const char* const kNames[] = {"", "bmp", "gif", "pcx", "tga", "jpg", "tif"};
    return kNames[static_cast<int>(format)];
}

int MaxChannelError(const Colors& a, const Colors& b, bool compareAlpha)
{
    if (a.width != b.width || a.height != b.height) return 256;
    int worst = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const il::Rgba &p = a.pixels[i], &q = b.pixels[i];
        worst = std::max({worst, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
        if (compareAlpha) worst = std::max(worst, std::abs(p.a - q.a));
    }
    return worst;
}

double MeanChannelError(const Colors& a, const Colors& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 256;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const il::Rgba &p = a.pixels[i], &q = b.pixels[i];
        sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
    }
    return sum / (3.0 * a.pixels.size());
}

ScratchDir::ScratchDir()
{
    char pattern[] = "/tmp/imageload-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDir::~ScratchDir() { RunTool("rm -rf '" + path_ + "'"); }

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool RunTool(const std::string& command)
{
    // Only the tool's chatter on stderr is dropped: commands redirect their own output.
    return std::system(("{ " + command + "; } 2>/dev/null").c_str()) == 0;
}

Colors ReadPnm(const std::string& path)
{
    Bytes data = ReadFile(path);
    Colors c;
    std::string text(data.begin(), data.begin() + std::min<size_t>(data.size(), 64));
    std::istringstream header(text);
    std::string magic;
    int maxValue = 0;
    header >> magic >> c.width >> c.height >> maxValue;
    if ((magic != "P6" && magic != "P5") || maxValue != 255) return Colors();
    size_t offset = static_cast<size_t>(header.tellg()) + 1;
    size_t channels = magic == "P6" ? 3 : 1;
    if (data.size() < offset + channels * c.width * c.height) return Colors();
    c.bits = magic == "P6" ? 24 : 8;
    for (size_t i = 0; i < static_cast<size_t>(c.width) * c.height; ++i) {
        const uint8_t* p = data.data() + offset + i * channels;
        c.pixels.push_back(channels == 3 ? il::Rgba{p[0], p[1], p[2], 255} : il::Rgba{p[0], p[0], p[0], 255});
    }
    return c;
}

void WritePpm(const std::string& path, const Colors& colors)
{
    std::string header = "P6\n" + std::to_string(colors.width) + " " + std::to_string(colors.height) + "\n255\n";
    Bytes out(header.begin(), header.end());
    for (const il::Rgba& p : colors.pixels) {
        out.push_back(p.r);
        out.push_back(p.g);
        out.push_back(p.b);
    }
    WriteFile(path, out);
}

}  // namespace iltest
