// Pictures for the tests: pixel rows addressed by column and row from the
// top, blocks in the layout the picture library writes (a BMP file as it
// stands; imageload/block/DibBlock.h), blocks read back as plain colours,
// PPM files as the independent tools write them, and small BMP files of one
// colour. Pixels are read here without the code under test: rows use the
// usual ((width * bits + 31) / 32) * 4 bytes so that the tests check,
// rather than repeat, the library's own arithmetic. Pure C++ (native and
// Windows tests alike) but for the part at the end, which needs Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "picture/NearestResample.h"

#ifdef _WIN32
#include <windows.h>
#endif

using Bytes = std::vector<std::uint8_t>;

// Stored pixel rows, bottom row first, each padded to 4 bytes.
class PixelGrid {
public:
    PixelGrid(int bitCount, int width, int height);

    int Bits() const { return m_bits; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    std::size_t Stride() const { return m_stride; }
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::uint8_t* StoredRow(int yFromTop) { return m_bytes.data() + (m_height - 1 - yFromTop) * m_stride; }
    const std::uint8_t* StoredRow(int yFromTop) const { return m_bytes.data() + (m_height - 1 - yFromTop) * m_stride; }
    // Where a row's padding starts: the bytes its pixels leave unused.
    std::size_t PaddingStart() const { return (static_cast<std::size_t>(m_width) * m_bits + 7) / 8; }

    // A palette index, a 16-bit pixel, or 0xAARRGGBB.
    std::uint32_t Get(int x, int yFromTop) const;
    void Set(int x, int yFromTop, std::uint32_t value);
    // A well-mixed value per position, so that taking a pixel from the
    // wrong row or column shows even at 1 bit per pixel on most pixels.
    std::uint32_t Mark(int x, int yFromTop) const;
    void FillWithMarks();
    void FillRandom(std::mt19937& random);  // padding too

    dib::SourceRows AsSource() const { return {m_bytes.data(), m_stride, m_width, m_height}; }
    dib::TargetRows AsTarget() { return {m_bytes.data(), m_stride, m_width, m_height}; }

private:
    int m_bits;
    int m_width;
    int m_height;
    std::size_t m_stride;
    std::vector<std::uint8_t> m_bytes;
};

// A well-formed block: both headers, a zeroed colour table (2^bits entries
// for 1, 4 and 8 bits), zeroed rows, then extraBytes more zeros. Empty for
// a shape no block can have.
std::vector<std::uint8_t> BlankDib(int width, int height, int bits, std::size_t extraBytes = 0);
// Colour table entry index of such a block, as 0xRRGGBB.
void SetDibColour(std::vector<std::uint8_t>& block, std::size_t index, std::uint32_t rgb);
// Where its rows start (bottom row first).
std::size_t DibPixelOffset(const std::vector<std::uint8_t>& block);
// A block holding the grid's rows; the colour table gets the given 0xRRGGBB
// colours (the rest black).
Bytes DibOf(const PixelGrid& grid, const std::vector<std::uint32_t>& colours = {});
// A block of one colour (0xRRGGBB); palette pictures use colour index 1
// everywhere, whose table entry is the colour (index 0 is black).
Bytes SolidDib(int width, int height, int bits, std::uint32_t rgb);
// A block's rows as a grid.
PixelGrid GridOf(const Bytes& block);
int BitsOf(const Bytes& block);
// 256 distinct, well spread colours as 0xRRGGBB.
std::vector<std::uint32_t> PatternColours();
// A block of the given depth and size filled with a pattern that uses every
// colour table entry (PatternColours) and varies in every channel; odd
// sizes exercise row padding.
Bytes MakeDib(int bits, std::uint32_t width, std::uint32_t height);

struct Rgba {
    std::uint8_t r, g, b, a;
};

// A picture as plain colours, top row first, whatever its depth.
struct Colors {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bits = 0;
    std::vector<Rgba> pixels;

    Rgba At(std::uint32_t x, std::uint32_t y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The colours of a block: 5-bit channels widen by repeating their high bits,
// the fourth byte of a 32-bit pixel is its alpha, other alphas are 255.
Colors ColorsOf(const Bytes& block);
// Largest difference in any of red, green, blue over the picture (and alpha
// when compareAlpha), or 256 when the sizes differ.
int MaxChannelError(const Colors& a, const Colors& b, bool compareAlpha = false);
double MeanChannelError(const Colors& a, const Colors& b);
// A whole file's bytes (empty when it cannot be read), and a file written
// whole.
Bytes ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const Bytes& bytes);
// A binary PPM (P6) or PGM (P5), as netpbm and ImageMagick write them;
// empty when it is neither.
Colors ReadPnm(const std::string& path);
// A P6 PPM of the colours, alpha dropped.
void WritePpm(const std::string& path, const Colors& colors);

#ifdef _WIN32
// A BMP file of one colour, a SolidDib; bits 1, 8 or 24.
bool WriteSolidBmp(const std::string& path, int width, int height, int bits, COLORREF colour);
// A movable global memory block holding the bytes, as the library hands
// pictures out; and the bytes of such a block.
HGLOBAL GlobalBlock(const Bytes& bytes);
Bytes BytesOf(HGLOBAL block);
#endif
