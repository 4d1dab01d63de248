// Parsers for the compiled resource formats the browser ships: dialog
// (classic and extended), string-table block, toolbar layout,
// device-independent bitmap and icon group. They read bytes only, so the
// tests check what the resource compiler wrote, not what the script says.
// (Menus are read by the system's own menu loader.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct ResourceBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// A malformed resource: out-of-bounds read or an inconsistent header.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A name-or-ordinal field of a dialog template.
struct NameOrOrdinal {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::u16string name;

    bool IsEmpty() const { return !isOrdinal && name.empty(); }
};

struct DialogControl {
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    uint16_t extraBytes = 0;
};

struct DialogTemplate {
    bool extended = false;
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string caption;
    uint16_t pointSize = 0;
    uint16_t weight = 0;            // extended templates only
    uint8_t italic = 0;             // extended templates only
    uint8_t charset = 0;            // extended templates only
    std::u16string font;
    std::vector<DialogControl> controls;
};

DialogTemplate ParseDialog(ResourceBytes bytes);

// One block of a string table: 16 counted strings, ids (block-1)*16 + i.
std::vector<std::u16string> ParseStringBlock(ResourceBytes bytes);

struct ToolbarLayout {
    uint16_t version = 0;
    uint16_t buttonWidth = 0;
    uint16_t buttonHeight = 0;
    std::vector<uint16_t> slots;    // command per slot, 0 for a separator
};

ToolbarLayout ParseToolbar(ResourceBytes bytes);

struct PaletteEntry {
    uint8_t red, green, blue;
    bool operator==(const PaletteEntry& other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
};

// A packed device-independent bitmap as a bitmap resource stores it, or
// one image of an icon: a header of twice the height, the colour rows, then
// a 1-bit transparency mask of the same size.
class DibImage {
public:
    enum class Kind { Bitmap, IconImage };
    explicit DibImage(ResourceBytes bytes, Kind kind = Kind::Bitmap);

    int Width() const { return width_; }
    int Height() const { return height_; }      // of the colour image
    int BitCount() const { return bitCount_; }
    uint32_t Compression() const { return compression_; }
    const std::vector<PaletteEntry>& Palette() const { return palette_; }
    // Palette index at x, y counted from the top row (4 and 8 bits only).
    int IndexAt(int x, int y) const;

private:
    int width_ = 0, height_ = 0, bitCount_ = 0;
    uint32_t compression_ = 0;
    bool bottomUp_ = true;
    std::vector<PaletteEntry> palette_;
    const uint8_t* bits_ = nullptr;
    size_t stride_ = 0;
};

struct IconGroupEntry {
    uint8_t width = 0, height = 0, colourCount = 0;
    uint16_t planes = 0, bitCount = 0;
    uint32_t bytes = 0;
    uint16_t iconId = 0;
};

std::vector<IconGroupEntry> ParseIconGroup(ResourceBytes bytes);
