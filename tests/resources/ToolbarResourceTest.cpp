// The toolbar layout and its button strip in every language set: slot
// order with separators, button size, and a strip whose images stand in
// button order (checked by their colours and the direction of the arrows).
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <vector>

#include "res/resource.h"
#include "tests/resources/ExpectedResources.h"
#include "tests/resources/TestModules.h"

namespace {

constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 56;

enum StandardColour { kBlack = 0, kTeal = 6, kSilver = 7, kRed = 9, kYellow = 11, kBlue = 12 };

const std::vector<PaletteEntry>& StandardPalette()
{
    static const std::vector<PaletteEntry> palette = {
        {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0},
        {0, 0, 128}, {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
        {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
        {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    return palette;
}

// One 50 x 56 image of the strip.
class ButtonImage {
public:
    ButtonImage(const DibImage& strip, int index) : strip_(strip), left_(index * kButtonWidth) {}

    int At(int x, int y) const { return strip_.IndexAt(left_ + x, y); }

    int Count(int colour, int x0 = 0, int y0 = 0, int x1 = kButtonWidth, int y1 = kButtonHeight) const
    {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                count += At(x, y) == colour ? 1 : 0;
        return count;
    }

    // An arrow's head is taller than its shaft: rows just outside the shaft
    // hold blue only where the head is, so their mean column shows which way
    // the arrow points.
    double MeanColumnOutsideShaft(int colour) const
    {
        long sum = 0, count = 0;
        for (int y : {17, 18, 19, 37, 38, 39})
            for (int x = 0; x < kButtonWidth; ++x)
                if (At(x, y) == colour) {
                    sum += x;
                    ++count;
                }
        return count == 0 ? -1.0 : static_cast<double>(sum) / count;
    }

    // The tallest vertical run of one colour: a bar stands higher than any
    // arrow head.
    int TallestRun(int colour) const
    {
        int best = 0;
        for (int x = 0; x < kButtonWidth; ++x) {
            int run = 0;
            for (int y = 0; y < kButtonHeight; ++y) {
                run = At(x, y) == colour ? run + 1 : 0;
                best = run > best ? run : best;
            }
        }
        return best;
    }

private:
    const DibImage& strip_;
    int left_;
};

class ToolbarResource : public LanguageSetTest {
protected:
    // The image index of a command: its position among the non-separator slots.
    int ImageOf(uint16_t command) const
    {
        int index = 0;
        for (uint16_t slot : ExpectedToolbarSlots()) {
            if (slot == command)
                return index;
            if (slot != 0)
                ++index;
        }
        ADD_FAILURE() << "command " << command << " has no toolbar slot";
        return 0;
    }
};

// Eighteen slots of 50 x 56; the strip has one four-bit image per button
// (13, separators have none) with the standard palette.
TEST_P(ToolbarResource, LayoutAndStripHoldOneImageOf50By56PerButton)
{
    ToolbarLayout layout = ParseToolbar(module_->Get(MAKEINTRESOURCEA(RT_TOOLBAR), IDR_ALBUM, language_));
    EXPECT_EQ(1, layout.version);
    EXPECT_EQ(kButtonWidth, layout.buttonWidth);
    EXPECT_EQ(kButtonHeight, layout.buttonHeight);
    EXPECT_EQ(ExpectedToolbarSlots(), layout.slots);
    DibImage strip(module_->Get(RT_BITMAP, IDR_ALBUM, language_));
    EXPECT_EQ(13 * kButtonWidth, strip.Width());
    EXPECT_EQ(kButtonHeight, strip.Height());
    EXPECT_EQ(4, strip.BitCount());
    EXPECT_EQ(static_cast<uint32_t>(BI_RGB), strip.Compression());
    EXPECT_EQ(StandardPalette(), strip.Palette());
}

TEST_P(ToolbarResource, EveryImageIsDrawnOnLightGreyAndDiffersFromTheOthers)
{
    DibImage strip(module_->Get(RT_BITMAP, IDR_ALBUM, language_));
    std::set<std::vector<int>> distinct;
    for (int i = 0; i < strip.Width() / kButtonWidth; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        ButtonImage image(strip, i);
        EXPECT_EQ(kSilver, image.At(0, 0));
        EXPECT_EQ(kSilver, image.At(kButtonWidth - 1, 0));
        EXPECT_EQ(kSilver, image.At(0, kButtonHeight - 1));
        EXPECT_GT(image.Count(kBlack), 40) << "shapes carry black outlines";
        EXPECT_LT(image.Count(kSilver), kButtonWidth * kButtonHeight * 9 / 10) << "the image is nearly empty";
        std::vector<int> pixels;
        for (int y = 0; y < kButtonHeight; ++y)
            for (int x = 0; x < kButtonWidth; ++x)
                pixels.push_back(image.At(x, y));
        distinct.insert(pixels);
    }
    EXPECT_EQ(static_cast<size_t>(strip.Width() / kButtonWidth), distinct.size());
}

// Images in slot order instead of button order, or swapped arrows, would
// put the wrong picture on a command.
TEST_P(ToolbarResource, ImagesStandInButtonOrder)
{
    DibImage strip(module_->Get(RT_BITMAP, IDR_ALBUM, language_));
    auto image = [&](uint16_t command) { return ButtonImage(strip, ImageOf(command)); };

    EXPECT_GT(image(ID_FILE_OPEN).Count(kYellow), 300) << "yellow folder";
    EXPECT_GT(image(ID_IMAGE_RENAME).Count(kTeal), 500) << "letters on a teal field";
    EXPECT_GT(image(ID_IMAGE_DELETE).Count(kRed), 300) << "red cross";
    for (uint16_t command : {ID_ALBUM_RETURN, ID_FILE_OPEN, ID_FILE_SAVE_AS, ID_IMAGE_RENAME, ID_MULTI_SHOW,
                             ID_AUTO_SHOW, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW})
        EXPECT_LT(image(command).Count(kRed), 50) << "only the delete image is red, command " << command;

    for (uint16_t command : {ID_PAGE_FIRST, ID_PAGE_PREV})
        EXPECT_LT(image(command).MeanColumnOutsideShaft(kBlue), kButtonWidth / 2.0) << "points left: " << command;
    for (uint16_t command : {ID_PAGE_NEXT, ID_PAGE_LAST})
        EXPECT_GT(image(command).MeanColumnOutsideShaft(kBlue), kButtonWidth / 2.0) << "points right: " << command;
    for (uint16_t command : {ID_PAGE_FIRST, ID_PAGE_LAST})
        EXPECT_GE(image(command).TallestRun(kBlue), 33) << "arrow against a bar: " << command;
    for (uint16_t command : {ID_PAGE_PREV, ID_PAGE_NEXT})
        EXPECT_LT(image(command).TallestRun(kBlue), 33) << "arrow without a bar: " << command;
}

INSTANTIATE_TEST_SUITE_P(EachSet, ToolbarResource, testing::ValuesIn(SetsUnderTest()), SetName);

}  // namespace
