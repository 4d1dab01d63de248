#include "tests/support/TestPictures.h"

#include "imageload/block/DibBlock.h"
#include "tests/support/DibBuilder.h"
#include "tests/support/FileTree.h"

bool WriteSolidBmp(const std::string& path, int width, int height, int bits, COLORREF colour)
{
    // A block in the library's layout is a BMP file as it stands.
    std::vector<std::uint8_t> file = BlankDib(width, height, bits);
    if (file.empty())
        return false;
    const std::uint32_t rgb = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    if (bits <= 8)
        SetDibColour(file, 1, rgb);
    const std::size_t rowBytes = static_cast<std::size_t>(dib::RowBytes64(bits, width));
    std::uint8_t* rows = file.data() + DibPixelOffset(file);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rows + y * rowBytes;
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                row[3 * x] = GetBValue(colour);
                row[3 * x + 1] = GetGValue(colour);
                row[3 * x + 2] = GetRValue(colour);
            } else if (bits == 8) {
                row[x] = 1;
            } else if (bits == 1) {
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return WriteWholeFile(path, std::string(file.begin(), file.end()));
}
