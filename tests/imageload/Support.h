// Helpers for the codec tests: synthetic pictures, pictures as colour grids,
// files in a scratch folder, and the independent tools that write and read
// the same formats.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "imageload/core/Codecs.h"

namespace il {
// Readable statuses in test failures.
void PrintTo(Status status, std::ostream* os);
}  // namespace il

namespace iltest {

using Bytes = std::vector<uint8_t>;

// A picture as plain colours, top row first, whatever its depth.
struct Colors {
    uint32_t width = 0;
    uint32_t height = 0;
    int bits = 0;
    std::vector<il::Rgba> pixels;

    il::Rgba At(uint32_t x, uint32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A block of the given depth and size filled with a pattern that uses every
// palette entry and varies in every channel; odd sizes exercise row padding.
Bytes MakeDib(int bits, uint32_t width, uint32_t height);
// A block whose colours are few enough to survive any format exactly.
Colors ColorsOf(const Bytes& dib);
int BitsOf(const Bytes& dib);

il::Status DecodeAs(il::Format format, const Bytes& file, Bytes& dib);
il::Status EncodeAs(il::Format format, const Bytes& dib, Bytes& file, int quality = 95);
const char* ExtensionOf(il::Format format);

// Largest difference in any of red, green, blue over the picture (and alpha
// when compareAlpha), or 256 when the sizes differ.
int MaxChannelError(const Colors& a, const Colors& b, bool compareAlpha = false);
double MeanChannelError(const Colors& a, const Colors& b);

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string Path(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& bytes);
// Runs a shell command; true when it exited 0.
bool RunTool(const std::string& command);
// Reads a binary PPM (P6) or PGM (P5), as netpbm and ImageMagick write them.
Colors ReadPnm(const std::string& path);
// Writes a P6 PPM of the colours, alpha dropped.
void WritePpm(const std::string& path, const Colors& colors);

}  // namespace iltest
