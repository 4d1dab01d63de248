// CPicture under Wine: real movable global memory, real GDI drawing into a
// memory device context that is read back, and a stand-in picture library.
#include "ImageLoad.h"
#include "picture/Picture.h"
#include "imageload/block/DibBlock.h"
#include "tests/picture/FakePictureLibrary.h"
#include "tests/support/Canvas.h"
#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Reads the object's members for the tests (the class befriends it).
class CPictureProbe {
public:
    explicit CPictureProbe(const CPicture& picture) : m_p(picture) {}
    int Status() const { return m_p.m_nStatus; }
    int DisplayBits() const { return m_p.m_nDisplayBits; }
    int PaletteBytes() const { return m_p.m_nPaletteBytes; }
    int Planes() const { return m_p.m_nPlanes; }
    int Type() const { return m_p.m_nType; }
    int X() const { return m_p.m_nX; }
    int Y() const { return m_p.m_nY; }
    HPALETTE Palette() const { return m_p.m_palette.Handle(); }
    HGLOBAL Block() const { return m_p.m_hDIB; }
    const char* Path() const { return m_p.m_pszPath; }

private:
    const CPicture& m_p;
};

namespace {

// The shared canvas behind the picture object's device-context wrapper;
// pixels read back as 0xRRGGBB. Pictures of one other colour show exactly
// where they were drawn.
class MemoryCanvas {
public:
    static constexpr std::uint32_t kBackground = 0x00ABCDEF;

    MemoryCanvas(int width, int height)
        : m_canvas(width, height, RGB(0xAB, 0xCD, 0xEF)), m_dc(m_canvas.Dc(), m_canvas.Dc(), false)
    {
    }
    CDC* Dc() { return &m_dc; }
    std::uint32_t At(int x, int y) const
    {
        const COLORREF c = m_canvas.At(x, y);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    // Pixels that differ from the background, as a bounding box written
    // "left,top,right,bottom" (right and bottom exclusive).
    std::string DrawnArea() const
    {
        RECT box = {INT_MAX, INT_MAX, -1, -1};
        for (int y = 0; y < m_canvas.Height(); ++y)
            for (int x = 0; x < m_canvas.Width(); ++x)
                if (At(x, y) != kBackground) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return std::to_string(box.left) + "," + std::to_string(box.top) + "," + std::to_string(box.right) + "," +
               std::to_string(box.bottom);
    }

private:
    Canvas m_canvas;
    CDC m_dc;
};

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakelib::Reset();
        m_previousReader = SetScreenDepthReader(nullptr);
    }
    void TearDown() override { SetScreenDepthReader(m_previousReader); }

    // Loads the block through the stand-in library as the given file type.
    int LoadBlock(CPicture& picture, const std::vector<std::uint8_t>& block, int fileType = IL_TYPE_BMP,
                  const char* path = "c:\\pictures\\a.bmp")
    {
        fakelib::SetFileType(fileType);
        fakelib::SetLoaderBlock(block);
        return picture.Load(path, nullptr, -1, -1);
    }

    void ExpectFacts(const CPicture& picture, int width, int height, int bits, int colours)
    {
        EXPECT_EQ(picture.GetWidth(), width);
        EXPECT_EQ(picture.GetHeight(), height);
        EXPECT_EQ(picture.GetBitCount(), bits);
        EXPECT_EQ(picture.GetColors(), colours);
    }

    static int s_fakeScreenBits;
    static int FakeScreenBits(HDC) { return s_fakeScreenBits; }

    ScreenDepthReader m_previousReader = nullptr;
};

int PictureTest::s_fakeScreenBits = 32;

// The palette holds exactly the first entries of PatternColours.
void ExpectPaletteOf(HPALETTE palette, UINT entries)
{
    const auto colours = PatternColours();
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), entries);
    std::vector<PALETTEENTRY> read(entries);
    ASSERT_EQ(GetPaletteEntries(palette, 0, entries, read.data()), entries);
    for (UINT i = 0; i < entries; ++i) {
        EXPECT_EQ(read[i].peRed, (colours[i] >> 16) & 0xFF) << "entry " << i;
        EXPECT_EQ(read[i].peGreen, (colours[i] >> 8) & 0xFF);
        EXPECT_EQ(read[i].peBlue, colours[i] & 0xFF);
        EXPECT_EQ(read[i].peFlags, 0);
    }
}

std::vector<std::uint8_t> SmallPicture(int bits, int width = 7, int height = 5)
{
    PixelGrid grid(bits, width, height);
    grid.FillWithMarks();
    return DibOf(grid, PatternColours());
}

}  // namespace

// ---- a new object ---------------------------------------------------------

TEST_F(PictureTest, AnEmptyObjectNeitherDrawsNorResizesButStoresTheCoordinates)
{
    CPicture picture;
    MemoryCanvas canvas(8, 8);
    EXPECT_EQ(picture.Draw(canvas.Dc(), 3, 4), 0);
    CPictureProbe inside(picture);
    EXPECT_EQ(inside.Status(), PIC_ERR_NO_PICTURE);
    EXPECT_EQ(inside.X(), 3);
    EXPECT_EQ(inside.Y(), 4);
    EXPECT_EQ(picture.Resize(4, 3), 0);
    EXPECT_EQ(inside.Status(), PIC_ERR_NO_PICTURE);
    ExpectFacts(picture, 0, 0, 0, 0);
}

// ---- loading ---------------------------------------------------------------

TEST_F(PictureTest, EachFileTypeCallsItsOwnLoaderWithThePathAsGiven)
{
    const char* loaders[] = {"LoadBMP", "LoadGIF", "LoadPCX", "LoadTGA", "LoadJPG", "LoadTIF"};
    for (int type = 1; type <= 6; ++type) {
        fakelib::Reset();
        CPicture picture;
        ASSERT_EQ(LoadBlock(picture, SmallPicture(24), type, "D:\\Snap\\x.Any"), 1);
        const auto& calls = fakelib::Calls();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].function, "FileType");
        EXPECT_EQ(calls[1].function, loaders[type - 1]);
        EXPECT_EQ(calls[1].path, "D:\\Snap\\x.Any");
        CPictureProbe inside(picture);
        EXPECT_EQ(inside.Type(), type);
        EXPECT_STREQ(inside.Path(), "D:\\Snap\\x.Any");
        EXPECT_EQ(inside.Block(), fakelib::LastLoadedBlock());
        EXPECT_EQ(inside.Status(), 0);
    }
}

// 0 is FileType's "not a picture"; the others are outside the type table.
// The previous picture's palette goes all the same.
TEST_F(PictureTest, AnUnrecognisedTypeLeavesNothingHeldAndThePreviousFacts)
{
    s_fakeScreenBits = 4;
    SetScreenDepthReader(FakeScreenBits);
    for (int type : {0, 7, 99, -1, INT_MIN}) {
        CPicture picture;
        ASSERT_EQ(LoadBlock(picture, SmallPicture(8, 7, 5)), 1);
        const HPALETTE first = CPictureProbe(picture).Palette();
        ASSERT_NE(first, nullptr);
        fakelib::Reset();
        fakelib::SetFileType(type);
        EXPECT_EQ(picture.Load("c:\\notes.txt", nullptr, -1, -1), 0) << type;
        CPictureProbe inside(picture);
        EXPECT_EQ(inside.Status(), PIC_ERR_FILE_TYPE);
        EXPECT_EQ(inside.Block(), nullptr);
        EXPECT_EQ(inside.Path(), nullptr) << "no path copy for an unknown type";
        EXPECT_EQ(fakelib::Calls().size(), 1u) << "no loader may run";
        ExpectFacts(picture, 7, 5, 8, 256);
        EXPECT_EQ(GetObjectType(first), 0u) << "palette released";
        EXPECT_EQ(inside.Palette(), nullptr);
        MemoryCanvas canvas(4, 4);
        EXPECT_EQ(picture.Draw(canvas.Dc(), -1, -1), 0);
        EXPECT_EQ(inside.Status(), PIC_ERR_NO_PICTURE);
    }
}

TEST_F(PictureTest, AFailingLoaderGivesTheLibraryErrorAndKeepsThePathCopy)
{
    // 103 is one of the library's numbers; -201 coincides with an object
    // code and is passed on all the same.
    for (int error : {103, -201, 0}) {
        CPicture picture;
        ASSERT_EQ(LoadBlock(picture, SmallPicture(4, 5, 5)), 1);
        fakelib::SetFileType(IL_TYPE_GIF);
        fakelib::SetLoaderFailure(error);
        EXPECT_EQ(picture.Load("c:\\broken.gif", nullptr, -1, -1), 0);
        CPictureProbe inside(picture);
        EXPECT_EQ(inside.Status(), error);
        EXPECT_EQ(inside.Block(), nullptr);
        EXPECT_STREQ(inside.Path(), "c:\\broken.gif");
        EXPECT_EQ(inside.Type(), IL_TYPE_GIF);
        ExpectFacts(picture, 5, 5, 4, 16);
    }
}

// The rule is the block module's (WellFormed tests, natively): here a header
// that breaks it, and rows that the global block's size does not hold.
TEST_F(PictureTest, BlocksThatBreakTheLayoutAreRefused)
{
    Bytes heightZero = SmallPicture(8, 7, 5), cutShort = SmallPicture(8, 7, 5);
    dib::WriteI32(&heightZero[dib::kHeightOffset], 0);
    cutShort.pop_back();
    for (const Bytes& block : {heightZero, cutShort}) {
        CPicture picture;
        ASSERT_EQ(LoadBlock(picture, SmallPicture(24, 3, 2)), 1);
        EXPECT_EQ(LoadBlock(picture, block), 0);
        CPictureProbe inside(picture);
        EXPECT_EQ(inside.Status(), PIC_ERR_LAYOUT);
        EXPECT_EQ(inside.Block(), nullptr);
        ExpectFacts(picture, 3, 2, 24, 0);
        EXPECT_EQ(picture.Resize(10, 10), 0);
    }
}

// Every depth's header facts and colour table size; only palette pictures
// on screens below 16 bits get a logical palette. Free releases block, path
// and palette and keeps the header facts.
TEST_F(PictureTest, EveryDepthLoadsItsFactsOnlySmallScreensGetAPaletteAndFreeKeepsTheFacts)
{
    SetScreenDepthReader(FakeScreenBits);
    for (int screen : {8, 16, 24, 32})
        for (int bits : {1, 4, 8, 16, 24, 32}) {
            SCOPED_TRACE(std::to_string(bits) + " bits on a screen of " + std::to_string(screen));
            s_fakeScreenBits = screen;
            CPicture picture;
            ASSERT_EQ(LoadBlock(picture, SmallPicture(bits)), 1);
            ExpectFacts(picture, 7, 5, bits, bits <= 8 ? 1 << bits : 0);
            CPictureProbe inside(picture);
            EXPECT_EQ(inside.PaletteBytes(), bits <= 8 ? 4 << bits : 0);
            EXPECT_EQ(inside.Planes(), 1);
            EXPECT_EQ(inside.DisplayBits(), screen);
            EXPECT_EQ(inside.Status(), 0);
            EXPECT_EQ(GlobalFlags(inside.Block()) & GMEM_LOCKCOUNT, 0u) << "unlocked between operations";
            HPALETTE palette = inside.Palette();
            ASSERT_EQ(palette != nullptr, screen < 16 && bits <= 8);
            if (palette != nullptr)
                ExpectPaletteOf(palette, 1u << bits);
            EXPECT_EQ(picture.Free() != 0, palette != nullptr) << "Free reports a deleted palette";
            EXPECT_TRUE(palette == nullptr || GetObjectType(palette) == 0) << "palette object deleted";
            EXPECT_EQ(inside.Block(), nullptr);
            EXPECT_EQ(inside.Path(), nullptr);
            ExpectFacts(picture, 7, 5, bits, bits <= 8 ? 1 << bits : 0);
            EXPECT_EQ(inside.PaletteBytes(), bits <= 8 ? 4 << bits : 0);
            EXPECT_EQ(picture.Free(), 0) << "nothing left to delete";
        }
}

// The real screen's depth, read at each load. PICTURE_TEST_SCREEN_BITS
// names the depth the run was started with (see run-on-screen-depth.sh).
TEST(ScreenDepth, TheRealScreenDepthDecidesThePalette)
{
    fakelib::Reset();
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (const char* expected = std::getenv("PICTURE_TEST_SCREEN_BITS")) {
        EXPECT_EQ(bits, std::atoi(expected));
    }
    std::printf("screen depth under test: %d bits per pixel\n", bits);

    CPicture picture;
    fakelib::SetFileType(IL_TYPE_BMP);
    fakelib::SetLoaderBlock(SmallPicture(8, 4, 4));
    ASSERT_EQ(picture.Load("c:\\eight.bmp", nullptr, -1, -1), 1);
    CPictureProbe inside(picture);
    EXPECT_EQ(inside.DisplayBits(), bits);
    EXPECT_EQ(inside.Palette() != nullptr, bits < 16);
    EXPECT_EQ(inside.Status(), 0);
}

// ---- drawing, read back from a memory device context ------------------------

TEST_F(PictureTest, DrawCopiesEveryDepthOneToOneAtTheStoredPosition)
{
    for (int bits : {1, 4, 8, 24, 32}) {
        PixelGrid grid(bits, 9, 6);
        grid.FillWithMarks();
        const auto colours = PatternColours();
        CPicture picture;
        ASSERT_EQ(LoadBlock(picture, DibOf(grid, colours)), 1);
        MemoryCanvas canvas(20, 12);
        ASSERT_EQ(picture.Draw(canvas.Dc(), 5, 3), 1) << bits;
        EXPECT_EQ(CPictureProbe(picture).Status(), 0);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 9; ++x) {
                const std::uint32_t value = grid.Get(x, y);
                const std::uint32_t expected = bits <= 8 ? colours[value] : value & 0xFFFFFFu;
                ASSERT_EQ(canvas.At(5 + x, 3 + y), expected) << bits << " bits at " << x << "," << y;
            }
        EXPECT_EQ(canvas.DrawnArea(), "5,3,14,9");
        EXPECT_EQ(GlobalFlags(CPictureProbe(picture).Block()) & GMEM_LOCKCOUNT, 0u);
    }
}

TEST_F(PictureTest, SixteenBitPicturesDrawAsFiveBitsPerChannel)
{
    PixelGrid grid(16, 3, 1);
    grid.Set(0, 0, 0x7C00);  // red
    grid.Set(1, 0, 0x03E0);  // green
    grid.Set(2, 0, 0x001F);  // blue
    CPicture picture;
    ASSERT_EQ(LoadBlock(picture, DibOf(grid)), 1);
    MemoryCanvas canvas(4, 2);
    ASSERT_EQ(picture.Draw(canvas.Dc(), 0, 0), 1);
    EXPECT_EQ(canvas.At(0, 0), 0xFF0000u);
    EXPECT_EQ(canvas.At(1, 0), 0x00FF00u);
    EXPECT_EQ(canvas.At(2, 0), 0x0000FFu);
}

TEST_F(PictureTest, MinusOneKeepsEachStoredCoordinate)
{
    CPicture picture;
    ASSERT_EQ(LoadBlock(picture, SolidDib(3, 2, 24, 0x123456)), 1);
    // In turn: both kept from the start, x given, y given (x kept from the
    // call before).
    const struct { int x, y; const char* drawn; } calls[] = {{-1, -1, "0,0,3,2"}, {10, -1, "10,0,13,2"},
                                                             {-1, 7, "10,7,13,9"}};
    for (const auto& c : calls) {
        MemoryCanvas canvas(20, 20);
        ASSERT_EQ(picture.Draw(canvas.Dc(), c.x, c.y), 1);
        EXPECT_EQ(canvas.DrawnArea(), c.drawn) << c.x << "," << c.y;
    }
}

TEST_F(PictureTest, LoadWithADeviceContextDrawsThere)
{
    CPicture picture;
    MemoryCanvas canvas(16, 16);
    fakelib::SetFileType(IL_TYPE_TGA);
    fakelib::SetLoaderBlock(SolidDib(4, 3, 24, 0xFF8000));
    ASSERT_EQ(picture.Load("c:\\a.tga", canvas.Dc(), 6, 2), 1);
    EXPECT_EQ(canvas.At(6, 2), 0xFF8000u);
    EXPECT_EQ(canvas.DrawnArea(), "6,2,10,5");
}

// ---- saving ----------------------------------------------------------------

// The last row: an explicit save type wins over the extension.
TEST_F(PictureTest, SaveTakesTheTypeFromTheLastFourCharactersInAnyCase)
{
    struct Case { const char* path; const char* saver; int type; int saveType = -1; };
    const Case cases[] = {
        {"c:\\out\\a.bmp", "SaveBMP", 2}, {"c:\\out\\a.BMP", "SaveBMP", 2}, {"c:\\out\\a.bMp", "SaveBMP", 2},
        {"c:\\out\\a.jpg", "SaveJPG", 1}, {"c:\\out\\a.JPG", "SaveJPG", 1}, {"c:\\out\\a.gif", "SaveGIF", 3},
        {"c:\\out\\a.Pcx", "SavePCX", 4}, {"c:\\out\\a.tga", "SaveTGA", 5}, {"c:\\out\\a.tif", "SaveTIF", 6},
        {".tif", "SaveTIF", 6}, {"c:\\out\\a.jpg", "SaveTGA", 5, PIC_SAVE_TGA},
    };
    for (const Case& c : cases) {
        fakelib::Reset();
        CPicture picture;
        ASSERT_EQ(LoadBlock(picture, SmallPicture(24)), 1);
        const HGLOBAL held = CPictureProbe(picture).Block();
        fakelib::SetSaveResult(1);
        EXPECT_EQ(picture.Save(c.path, c.saveType), 1) << c.path;
        const auto& calls = fakelib::Calls();
        ASSERT_EQ(calls.size(), 3u) << c.path;
        EXPECT_EQ(calls[2].function, c.saver) << c.path;
        EXPECT_EQ(calls[2].path, c.path);
        EXPECT_EQ(calls[2].block, held);
        EXPECT_EQ(calls[2].quality, c.type == 1 ? 100 : -1) << c.path;
        CPictureProbe inside(picture);
        EXPECT_EQ(inside.Type(), c.type);
        EXPECT_STREQ(inside.Path(), c.path);
    }
}

TEST_F(PictureTest, SaveRefusesPathsWithoutAFourCharacterExtensionAndBadTypes)
{
    CPicture picture;
    ASSERT_EQ(LoadBlock(picture, SmallPicture(24), IL_TYPE_JPG, "c:\\in.jpg"), 1);
    // Drawing without a device context fails as a drawing fault, whose
    // status the refusals must keep.
    EXPECT_EQ(picture.Draw(nullptr, -1, -1), 0);
    struct Case { const char* path; int type; };
    for (Case c : {Case{"c:\\out\\a.jpeg", -1}, Case{"c:\\out\\a.tiff", -1}, Case{"c:\\out\\noext", -1},
                   Case{"bmp", -1}, Case{"", -1}, Case{"c:\\out\\a.png", -1}, Case{"c:\\a.bmp", 0},
                   Case{"c:\\a.bmp", 7}, Case{"c:\\a.bmp", -2}}) {
        const std::size_t callsBefore = fakelib::Calls().size();
        EXPECT_EQ(picture.Save(c.path, c.type), 0) << c.path << " " << c.type;
        EXPECT_EQ(fakelib::Calls().size(), callsBefore) << "no saver called for " << c.path;
        CPictureProbe inside(picture);
        EXPECT_EQ(inside.Type(), IL_TYPE_JPG);
        EXPECT_STREQ(inside.Path(), "c:\\in.jpg");
        EXPECT_EQ(inside.Status(), PIC_ERR_DRAW);
    }
    EXPECT_EQ(CPicture::SaveTypeFromPath(nullptr), -1);
}

// Also with no picture at all: the saver gets a null block.
TEST_F(PictureTest, SaveReturnsTheSaversResultUnchanged)
{
    CPicture empty;
    fakelib::SetSaveResult(-3);
    EXPECT_EQ(empty.Save("c:\\out\\empty.gif", -1), -3);
    ASSERT_EQ(fakelib::Calls().size(), 1u);
    EXPECT_EQ(fakelib::Calls()[0].block, nullptr);

    CPicture picture;
    ASSERT_EQ(LoadBlock(picture, SmallPicture(24)), 1);
    picture.Draw(nullptr, -1, -1);
    for (int result : {0, -1, -7, 1, 2, 106, INT_MIN, INT_MAX}) {
        fakelib::SetSaveResult(result);
        EXPECT_EQ(picture.Save("c:\\out\\a.bmp", -1), result);
        EXPECT_EQ(picture.Save("c:\\out\\a.jpg", -1), result);
        EXPECT_EQ(CPictureProbe(picture).Status(), PIC_ERR_DRAW) << "Save sets no status";
    }
}

// ---- resizing through the object --------------------------------------------

TEST_F(PictureTest, ResizeWritesHeadersTableAndSampledRowsIntoANewBlock)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        PixelGrid grid(bits, 4, 4);
        grid.FillWithMarks();
        const auto colours = PatternColours();
        const auto original = DibOf(grid, colours);
        CPicture picture;
        ASSERT_EQ(LoadBlock(picture, original), 1);
        CPictureProbe inside(picture);
        HGLOBAL before = inside.Block();
        ASSERT_EQ(picture.Resize(2, 3), 1) << bits;
        EXPECT_NE(inside.Block(), before);
        EXPECT_EQ(inside.Status(), 0);
        ExpectFacts(picture, 2, 3, bits, bits <= 8 ? 1 << bits : 0);
        EXPECT_EQ(GlobalFlags(inside.Block()) & GMEM_LOCKCOUNT, 0u);

        const auto bytes = BytesOf(inside.Block());
        const std::size_t table = bits <= 8 ? 4u << bits : 0;
        const std::size_t stride = (2 * bits + 31) / 32 * 4;
        ASSERT_GE(bytes.size(), 54 + table + stride * 3);
        EXPECT_EQ(dib::ReadU32(&bytes[2]), dib::ReadU32(&original[2])) << "file size field keeps the old value";
        EXPECT_EQ(dib::ReadU32(&bytes[10]), dib::ReadU32(&original[10]));
        EXPECT_EQ(dib::ReadU32(&bytes[18]), 2u);
        EXPECT_EQ(dib::ReadU32(&bytes[22]), 3u);
        EXPECT_EQ(dib::ReadU32(&bytes[34]), stride * 3);
        EXPECT_EQ(0, std::memcmp(bytes.data() + 26, original.data() + 26, 8)) << "planes, bits, compression";
        EXPECT_EQ(0, std::memcmp(bytes.data() + 38, original.data() + 38, 16)) << "resolutions, colour counts";
        EXPECT_EQ(0, std::memcmp(bytes.data() + 54, original.data() + 54, table)) << "colour table";

        // Row i from the top shows old row 4 * i / 3, column j old column 2 * j.
        const PixelGrid resized = GridOf(bytes);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(resized.Get(x, y), grid.Get(2 * x, y * 4 / 3)) << bits << " " << x << "," << y;

        MemoryCanvas canvas(6, 6);
        ASSERT_EQ(picture.Draw(canvas.Dc(), 1, 1), 1) << "the new block draws at its new size";
        EXPECT_EQ(canvas.DrawnArea(), "1,1,3,4");
    }
}

TEST_F(PictureTest, ResizeToWidthOrHeightZeroLeavesNoPixelBytes)
{
    CPicture picture;
    ASSERT_EQ(LoadBlock(picture, SmallPicture(8, 5, 5)), 1);
    ASSERT_EQ(picture.Resize(0, 7), 1);
    CPictureProbe inside(picture);
    auto bytes = BytesOf(inside.Block());
    EXPECT_GE(bytes.size(), 54u + 1024u);
    EXPECT_EQ(dib::ReadU32(&bytes[34]), 0u);
    ExpectFacts(picture, 0, 7, 8, 256);

    ASSERT_EQ(picture.Resize(3, 0), 1);
    bytes = BytesOf(inside.Block());
    EXPECT_EQ(dib::ReadU32(&bytes[34]), 0u);
    // Growing back from a picture without pixels samples nothing: the new
    // rows stay zero instead of reading outside the old block.
    ASSERT_EQ(picture.Resize(4, 2), 1);
    bytes = BytesOf(inside.Block());
    ASSERT_GE(bytes.size(), 54u + 1024u + 8u);
    for (std::size_t k = 54 + 1024; k < 54 + 1024 + 8; ++k)
        EXPECT_EQ(bytes[k], 0);
}

// The current size is done at once, negative sizes are refused, and sizes
// beyond what can be allocated fail with PIC_ERR_ALLOC: the picture is kept
// and still draws.
TEST_F(PictureTest, ResizeThatIsNotDoneKeepsTheVeryBlock)
{
    CPicture picture;
    ASSERT_EQ(LoadBlock(picture, SolidDib(6, 4, 24, 0x123456)), 1);
    CPictureProbe inside(picture);
    HGLOBAL before = inside.Block();
    const struct { int width, height, result, status; } cases[] = {
        {6, 4, 1, 0}, {-1, 4, 0, 0}, {6, -1, 0, 0}, {-5, -5, 0, 0}, {INT_MIN, 2, 0, 0},
        {INT_MAX, INT_MAX, 0, PIC_ERR_ALLOC}, {INT_MAX, 1, 0, PIC_ERR_ALLOC}, {1, INT_MAX, 0, PIC_ERR_ALLOC},
        {100000, 100000, 0, PIC_ERR_ALLOC}, {30000, 30000, 0, PIC_ERR_ALLOC},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(picture.Resize(c.width, c.height), c.result) << c.width << "x" << c.height;
        EXPECT_EQ(inside.Status(), c.status);
        EXPECT_EQ(inside.Block(), before);
        EXPECT_EQ(GlobalFlags(before) & GMEM_LOCKCOUNT, 0u) << "old block unlocked";
        ExpectFacts(picture, 6, 4, 24, 0);
    }
    MemoryCanvas canvas(8, 8);
    EXPECT_EQ(picture.Draw(canvas.Dc(), 0, 0), 1);
    EXPECT_EQ(canvas.At(5, 3), 0x123456u);
}

// The row rule itself is the kernel's (RowBytes tests, natively).
TEST_F(PictureTest, RowBytesThatDoNotFitAnIntAreMinusOne)
{
    EXPECT_EQ(CPicture::RowBytes(24, 5), 16);
    EXPECT_EQ(CPicture::RowBytes(32, INT_MAX), -1);
}
