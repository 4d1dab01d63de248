#include "tests/support/TestPictures.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "imageload/block/DibBlock.h"

PixelGrid::PixelGrid(int bitCount, int width, int height)
    : m_bits(bitCount), m_width(width), m_height(height),
      m_stride((static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4),
      m_bytes(m_stride * static_cast<std::size_t>(height))
{
}

std::uint32_t PixelGrid::Get(int x, int yFromTop) const
{
    const std::uint8_t* row = StoredRow(yFromTop);
    switch (m_bits) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1u;
    case 4: return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0Fu;
    default: {
        std::uint32_t value = 0;
        const int bytes = m_bits / 8;
        for (int k = 0; k < bytes; ++k)
            value |= static_cast<std::uint32_t>(row[x * bytes + k]) << (8 * k);
        return value;
    }
    }
}

void PixelGrid::Set(int x, int yFromTop, std::uint32_t value)
{
    std::uint8_t* row = StoredRow(yFromTop);
    switch (m_bits) {
    case 1: {
        const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x % 8));
        row[x / 8] = static_cast<std::uint8_t>((row[x / 8] & ~mask) | ((value & 1) ? mask : 0));
        break;
    }
    case 4: {
        const int shift = x % 2 == 0 ? 4 : 0;
        row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & ~(0x0F << shift)) | ((value & 0x0F) << shift));
        break;
    }
    default:
        for (int k = 0; k < m_bits / 8; ++k)
            row[x * (m_bits / 8) + k] = static_cast<std::uint8_t>(value >> (8 * k));
    }
}

std::uint32_t PixelGrid::Mark(int x, int yFromTop) const
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(yFromTop) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return m_bits >= 32 ? h : h & ((1u << m_bits) - 1u);
}

void PixelGrid::FillWithMarks()
{
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            Set(x, y, Mark(x, y));
}

void PixelGrid::FillRandom(std::mt19937& random)
{
    for (auto& byte : m_bytes)
        byte = static_cast<std::uint8_t>(random());
}

std::vector<std::uint8_t> BlankDib(int width, int height, int bits, std::size_t extraBytes)
{
    dib::Shape shape;
    if (width <= 0 || height <= 0 ||
        dib::ShapeFor(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), bits, dib::kMaxPixels,
                      &shape) != dib::ShapeError::None)
        return {};
    std::vector<std::uint8_t> block(shape.totalSize + extraBytes, 0);
    dib::WriteHeaders(block.data(), shape);
    return block;
}

void SetDibColour(std::vector<std::uint8_t>& block, std::size_t index, std::uint32_t rgb)
{
    dib::WriteU32(&block[dib::kColourTableOffset + 4 * index], rgb & 0xFFFFFF);  // blue, green, red, 0
}

std::size_t DibPixelOffset(const std::vector<std::uint8_t>& block)
{
    return dib::ReadU32(block.data() + dib::kPixelOffsetOffset);
}

Bytes DibOf(const PixelGrid& grid, const std::vector<std::uint32_t>& colours)
{
    Bytes block = BlankDib(grid.Width(), grid.Height(), grid.Bits());
    if (block.empty())
        return block;
    const std::size_t tableEntries = grid.Bits() <= 8 ? (std::size_t{1} << grid.Bits()) : 0;
    for (std::size_t i = 0; i < colours.size() && i < tableEntries; ++i)
        SetDibColour(block, i, colours[i]);
    std::memcpy(block.data() + DibPixelOffset(block), grid.Bytes().data(), grid.Bytes().size());
    return block;
}

PixelGrid GridOf(const Bytes& block)
{
    if (block.size() < dib::kHeadersBytes)
        return PixelGrid(8, 0, 0);
    PixelGrid grid(BitsOf(block), dib::ReadI32(&block[dib::kWidthOffset]), dib::ReadI32(&block[dib::kHeightOffset]));
    // A block cut short leaves the missing rows zero, for the test to see.
    const std::size_t offset = std::min(DibPixelOffset(block), block.size());
    std::memcpy(grid.Bytes().data(), block.data() + offset, std::min(grid.Bytes().size(), block.size() - offset));
    return grid;
}

Bytes SolidDib(int width, int height, int bits, std::uint32_t rgb)
{
    if (width <= 0 || height <= 0) return {};
    PixelGrid grid(bits, width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            grid.Set(x, y, bits <= 8 ? 1 : rgb);
    return DibOf(grid, {0, rgb});
}

int BitsOf(const Bytes& block) { return block.size() >= 30 ? dib::ReadU16(&block[dib::kBitCountOffset]) : 0; }

Bytes MakeDib(int bits, std::uint32_t width, std::uint32_t height)
{
    PixelGrid grid(bits, static_cast<int>(width), static_cast<int>(height));
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t v = x * 7 + y * 13 + (x * y) % 5;
            std::uint32_t pixel = v;
            if (bits == 16) {
                pixel = ((x * 3) % 32) << 10 | ((y * 5) % 32) << 5 | (v % 32);
            } else if (bits >= 24) {
                const std::uint32_t blue = x * 255 / (width > 1 ? width - 1 : 1);
                const std::uint32_t green = y * 255 / (height > 1 ? height - 1 : 1);
                pixel = ((255 - v) & 0xFF) << 24 | ((v * 3) & 0xFF) << 16 | green << 8 | blue;
            }
            grid.Set(static_cast<int>(x), static_cast<int>(y), pixel);
        }
    return DibOf(grid, PatternColours());
}

std::vector<std::uint32_t> PatternColours()
{
    std::vector<std::uint32_t> colours;
    for (std::uint32_t i = 0; i < 256; ++i)
        colours.push_back(((i * 37 + 11) & 0xFF) << 16 | ((255 - i * 11) & 0xFF) << 8 | ((i * 91 + 5) & 0xFF));
    return colours;
}

Colors ColorsOf(const Bytes& block)
{
    const PixelGrid grid = GridOf(block);
    Colors c{static_cast<std::uint32_t>(grid.Width()), static_cast<std::uint32_t>(grid.Height()), grid.Bits(), {}};
    auto five = [](std::uint32_t v) { return static_cast<std::uint8_t>((v & 31) << 3 | (v & 31) >> 2); };
    for (int y = 0; y < grid.Height(); ++y)
        for (int x = 0; x < grid.Width(); ++x) {
            const std::uint32_t v = grid.Get(x, y);
            if (c.bits == 16) {
                c.pixels.push_back({five(v >> 10), five(v >> 5), five(v), 255});
            } else if (c.bits >= 24) {
                const std::uint8_t alpha = c.bits == 32 ? static_cast<std::uint8_t>(v >> 24) : 255;
                c.pixels.push_back({static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                                    static_cast<std::uint8_t>(v), alpha});
            } else {
                const std::uint8_t* entry = &block[dib::kColourTableOffset + 4 * v];
                c.pixels.push_back({entry[2], entry[1], entry[0], 255});
            }
        }
    return c;
}

int MaxChannelError(const Colors& a, const Colors& b, bool compareAlpha)
{
    if (a.width != b.width || a.height != b.height) return 256;
    int worst = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        const Rgba &p = a.pixels[i], &q = b.pixels[i];
        worst = std::max({worst, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
        if (compareAlpha) worst = std::max(worst, std::abs(p.a - q.a));
    }
    return worst;
}

double MeanChannelError(const Colors& a, const Colors& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 256;
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        const Rgba &p = a.pixels[i], &q = b.pixels[i];
        sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
    }
    return sum / (3.0 * a.pixels.size());
}

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

Colors ReadPnm(const std::string& path)
{
    const Bytes data = ReadBytes(path);
    Colors c;
    std::istringstream header(std::string(data.begin(), data.begin() + std::min<std::size_t>(data.size(), 64)));
    std::string magic;
    int maxValue = 0;
    header >> magic >> c.width >> c.height >> maxValue;
    if ((magic != "P6" && magic != "P5") || maxValue != 255) return Colors();
    const std::size_t offset = static_cast<std::size_t>(header.tellg()) + 1;
    const std::size_t channels = magic == "P6" ? 3 : 1;
    if (data.size() < offset + channels * c.width * c.height) return Colors();
    c.bits = magic == "P6" ? 24 : 8;
    for (std::size_t i = 0; i < static_cast<std::size_t>(c.width) * c.height; ++i) {
        const std::uint8_t* p = data.data() + offset + i * channels;
        c.pixels.push_back(channels == 3 ? Rgba{p[0], p[1], p[2], 255} : Rgba{p[0], p[0], p[0], 255});
    }
    return c;
}

void WritePpm(const std::string& path, const Colors& colors)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << colors.width << " " << colors.height << "\n255\n";
    for (const Rgba& p : colors.pixels) out << p.r << p.g << p.b;
}

#ifdef _WIN32
bool WriteSolidBmp(const std::string& path, int width, int height, int bits, COLORREF colour)
{
    // A block in the library's layout is a BMP file as it stands.
    const Bytes file =
        SolidDib(width, height, bits, (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour));
    return !file.empty() && WriteBytes(path, file);
}

HGLOBAL GlobalBlock(const Bytes& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block == nullptr) return nullptr;
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

Bytes BytesOf(HGLOBAL block)
{
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(block));
    Bytes copy(bytes, bytes + GlobalSize(block));
    GlobalUnlock(block);
    return copy;
}
#endif
