#include "tests/resources/ResourceFormats.h"

#include <algorithm>
#include <string>

namespace {

constexpr uint32_t kDialogSetFont = 0x40;

// Little-endian reads with a bounds check before every access.
class ByteReader {
public:
    explicit ByteReader(ResourceBytes bytes) : bytes_(bytes) {}

    uint8_t U8()
    {
        Need(1);
        return bytes_.data[offset_++];
    }
    uint16_t U16()
    {
        Need(2);
        offset_ += 2;
        return static_cast<uint16_t>(bytes_.data[offset_ - 2] | (bytes_.data[offset_ - 1] << 8));
    }
    uint32_t U32()
    {
        uint32_t low = U16();
        return low | (static_cast<uint32_t>(U16()) << 16);
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    std::u16string String()         // zero-terminated UTF-16
    {
        std::u16string text;
        for (char16_t c = static_cast<char16_t>(U16()); c != 0; c = static_cast<char16_t>(U16()))
            text.push_back(c);
        return text;
    }
    void Skip(size_t count)
    {
        Need(count);
        offset_ += count;
    }
    // Relative to the start of the resource; the last item of a template
    // may end without its padding.
    void AlignTo4() { offset_ += std::min((4 - offset_ % 4) % 4, Remaining()); }
    size_t Offset() const { return offset_; }
    size_t Remaining() const { return bytes_.size - offset_; }

private:
    void Need(size_t count) const
    {
        if (count > Remaining())
            throw FormatError("read of " + std::to_string(count) + " bytes at offset " + std::to_string(offset_) +
                              " runs past the end (" + std::to_string(bytes_.size) + " bytes)");
    }

    ResourceBytes bytes_;
    size_t offset_ = 0;
};

NameOrOrdinal ReadNameOrOrdinal(ByteReader& in)
{
    NameOrOrdinal field;
    if (in.Remaining() >= 2) {
        ByteReader peek = in;
        if (peek.U16() == 0xFFFF) {
            in.U16();
            field.isOrdinal = true;
            field.ordinal = in.U16();
            return field;
        }
    }
    field.name = in.String();
    return field;
}

}  // namespace

DialogTemplate ParseDialog(ResourceBytes bytes)
{
    ByteReader in(bytes);
    DialogTemplate dialog;
    {
        ByteReader peek = in;
        uint16_t version = peek.U16();
        uint16_t signature = peek.U16();
        dialog.extended = version == 1 && signature == 0xFFFF;
    }
    if (dialog.extended) {
        in.Skip(4);
        dialog.helpId = in.U32();
        dialog.exStyle = in.U32();
        dialog.style = in.U32();
    } else {
        dialog.style = in.U32();
        dialog.exStyle = in.U32();
    }
    uint16_t count = in.U16();
    dialog.x = in.I16();
    dialog.y = in.I16();
    dialog.cx = in.I16();
    dialog.cy = in.I16();
    dialog.menu = ReadNameOrOrdinal(in);
    dialog.windowClass = ReadNameOrOrdinal(in);
    dialog.caption = in.String();
    if (dialog.style & kDialogSetFont) {
        dialog.pointSize = in.U16();
        if (dialog.extended) {
            dialog.weight = in.U16();
            dialog.italic = in.U8();
            dialog.charset = in.U8();
        }
        dialog.font = in.String();
    }
    for (uint16_t i = 0; i < count; ++i) {
        in.AlignTo4();
        DialogControl control;
        if (dialog.extended) {
            control.helpId = in.U32();
            control.exStyle = in.U32();
            control.style = in.U32();
        } else {
            control.style = in.U32();
            control.exStyle = in.U32();
        }
        control.x = in.I16();
        control.y = in.I16();
        control.cx = in.I16();
        control.cy = in.I16();
        control.id = dialog.extended ? in.U32() : in.U16();
        control.windowClass = ReadNameOrOrdinal(in);
        control.title = ReadNameOrOrdinal(in);
        control.extraBytes = in.U16();
        in.Skip(control.extraBytes);
        dialog.controls.push_back(std::move(control));
    }
    in.AlignTo4();
    if (in.Remaining() != 0)
        throw FormatError(std::to_string(in.Remaining()) + " bytes after the last dialog control");
    return dialog;
}

std::vector<std::u16string> ParseStringBlock(ResourceBytes bytes)
{
    ByteReader in(bytes);
    std::vector<std::u16string> strings;
    for (int i = 0; i < 16; ++i) {
        uint16_t length = in.U16();
        std::u16string text;
        for (uint16_t c = 0; c < length; ++c)
            text.push_back(static_cast<char16_t>(in.U16()));
        strings.push_back(std::move(text));
    }
    if (in.Remaining() > 2)     // some compilers pad the block to 4 bytes
        throw FormatError(std::to_string(in.Remaining()) + " bytes after the 16th string");
    return strings;
}

ToolbarLayout ParseToolbar(ResourceBytes bytes)
{
    ByteReader in(bytes);
    ToolbarLayout layout;
    layout.version = in.U16();
    layout.buttonWidth = in.U16();
    layout.buttonHeight = in.U16();
    uint16_t count = in.U16();
    for (uint16_t i = 0; i < count; ++i)
        layout.slots.push_back(in.U16());
    if (in.Remaining() > 2)
        throw FormatError(std::to_string(in.Remaining()) + " bytes after the last toolbar slot");
    return layout;
}

DibImage::DibImage(ResourceBytes bytes, Kind kind)
{
    ByteReader in(bytes);
    uint32_t headerSize = in.U32();
    if (headerSize < 40)
        throw FormatError("bitmap header of " + std::to_string(headerSize) + " bytes");
    int32_t width = static_cast<int32_t>(in.U32());
    int32_t height = static_cast<int32_t>(in.U32());
    uint16_t planes = in.U16();
    bitCount_ = in.U16();
    compression_ = in.U32();
    in.Skip(12);
    uint32_t coloursUsed = in.U32();
    in.Skip(4);
    in.Skip(headerSize - 40);
    if (planes != 1 || width <= 0 || height == 0 || width > 65535 || height > 65535 || height < -65535)
        throw FormatError("implausible bitmap geometry");
    width_ = width;
    bottomUp_ = height > 0;
    height_ = bottomUp_ ? height : -height;
    if (kind == Kind::IconImage) {
        if (!bottomUp_ || height_ % 2 != 0)
            throw FormatError("icon image header without the doubled height of image and mask");
        height_ /= 2;
    }
    if (bitCount_ <= 8) {
        uint32_t entries = coloursUsed != 0 ? coloursUsed : (1u << bitCount_);
        if (entries > (1u << bitCount_))
            throw FormatError("palette larger than the bit depth allows");
        for (uint32_t i = 0; i < entries; ++i) {
            PaletteEntry entry{};
            entry.blue = in.U8();
            entry.green = in.U8();
            entry.red = in.U8();
            in.U8();
            palette_.push_back(entry);
        }
    }
    stride_ = ((static_cast<size_t>(width_) * bitCount_ + 31) / 32) * 4;
    size_t offset = in.Offset();
    in.Skip(stride_ * static_cast<size_t>(height_));
    bits_ = bytes.data + offset;
    if (kind == Kind::IconImage)
        in.Skip(((static_cast<size_t>(width_) + 31) / 32) * 4 * static_cast<size_t>(height_));
}

int DibImage::IndexAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        throw FormatError("pixel outside the bitmap");
    size_t row = bottomUp_ ? static_cast<size_t>(height_ - 1 - y) : static_cast<size_t>(y);
    const uint8_t* line = bits_ + row * stride_;
    switch (bitCount_) {
    case 4:
        return (x % 2 == 0) ? line[x / 2] >> 4 : line[x / 2] & 0x0F;
    case 8:
        return line[x];
    default:
        throw FormatError("palette index asked of a " + std::to_string(bitCount_) + "-bit bitmap");
    }
}

std::vector<IconGroupEntry> ParseIconGroup(ResourceBytes bytes)
{
    ByteReader in(bytes);
    uint16_t reserved = in.U16();
    uint16_t type = in.U16();
    uint16_t count = in.U16();
    if (reserved != 0 || type != 1)
        throw FormatError("not an icon group");
    std::vector<IconGroupEntry> entries;
    for (uint16_t i = 0; i < count; ++i) {
        IconGroupEntry entry;
        entry.width = in.U8();
        entry.height = in.U8();
        entry.colourCount = in.U8();
        in.U8();
        entry.planes = in.U16();
        entry.bitCount = in.U16();
        entry.bytes = in.U32();
        entry.iconId = in.U16();
        entries.push_back(entry);
    }
    return entries;
}
