#include "TestPictures.h"

#include <cstdio>
#include <vector>

namespace {

void Put16(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void Put32(std::vector<unsigned char>& out, unsigned v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

bool WriteSolidBmp(const std::string& path, int width, int height, int bits, COLORREF colour)
{
    const unsigned colours = bits <= 8 ? 1u << bits : 0;
    const unsigned rowBytes = ((static_cast<unsigned>(width) * bits + 31) / 32) * 4;
    const unsigned pixelOffset = 54 + 4 * colours;
    const unsigned imageBytes = rowBytes * static_cast<unsigned>(height);
    std::vector<unsigned char> file;
    file.push_back('B');
    file.push_back('M');
    Put32(file, pixelOffset + imageBytes);
    Put32(file, 0);
    Put32(file, pixelOffset);
    Put32(file, 40);
    Put32(file, static_cast<unsigned>(width));
    Put32(file, static_cast<unsigned>(height));
    Put16(file, 1);
    Put16(file, static_cast<unsigned>(bits));
    Put32(file, 0);
    Put32(file, imageBytes);
    Put32(file, 2835);
    Put32(file, 2835);
    Put32(file, colours);
    Put32(file, 0);
    for (unsigned i = 0; i < colours; ++i) {
        COLORREF c = i == 1 ? colour : 0;
        file.push_back(GetBValue(c));
        file.push_back(GetGValue(c));
        file.push_back(GetRValue(c));
        file.push_back(0);
    }
    std::vector<unsigned char> row(rowBytes, 0);
    for (int x = 0; x < width; ++x) {
        if (bits == 24) {
            row[3 * x] = GetBValue(colour);
            row[3 * x + 1] = GetGValue(colour);
            row[3 * x + 2] = GetRValue(colour);
        } else if (bits == 8) {
            row[x] = 1;
        } else if (bits == 1) {
            row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
    }
    for (int y = 0; y < height; ++y)
        file.insert(file.end(), row.begin(), row.end());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}
