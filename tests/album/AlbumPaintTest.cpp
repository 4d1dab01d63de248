// Painting read back from a memory device context: cell frames and fills
// on their coordinates, the fit of pictures, captions, partial pages, what
// the picture object holds afterwards, and the repaints of a click and of
// a size change.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "picture/Picture.h"
#include "tests/album/AlbumViewFixture.h"
#include "tests/support/Canvas.h"
#include "tests/support/CellColours.h"

namespace {

const COLORREF kGrey = RGB(128, 128, 128);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kSentinel = RGB(1, 2, 3);
const int kWidth = 1024, kHeight = 690;

class AlbumPaintTest : public AlbumViewFixture {
protected:
    std::unique_ptr<Canvas> Paint()
    {
        auto canvas = std::make_unique<Canvas>(kWidth, kHeight, kSentinel);
        CDC dc(canvas->Dc(), canvas->Dc(), false);
        View().OnDraw(&dc);
        return canvas;
    }
    void ExpectPictureAt(const Canvas& c, int x, int y, int w, int h, COLORREF around)
    {
        EXPECT_EQ(kRed, c.At(x, y)) << x << "," << y;
        EXPECT_EQ(kRed, c.At(x + w - 1, y + h - 1)) << x + w - 1 << "," << y + h - 1;
        EXPECT_EQ(around, c.At(x - 1, y + h / 2)) << "left of the picture";
        EXPECT_EQ(around, c.At(x + w, y + h / 2)) << "right of the picture";
        EXPECT_EQ(around, c.At(x + w / 2, y - 1)) << "above the picture";
        EXPECT_EQ(around, c.At(x + w / 2, y + h)) << "below the picture";
    }
    // Paints the view's client area on the screen in the sentinel colour, so
    // that a capture shows which parts a repaint reached.
    void CoverWithSentinel()
    {
        HDC screen = GetDC(browser.ViewWindow());
        RECT all = {0, 0, kWidth, kHeight};
        HBRUSH sentinel = CreateSolidBrush(kSentinel);
        FillRect(screen, &all, sentinel);
        DeleteObject(sentinel);
        ReleaseDC(browser.ViewWindow(), screen);
    }
    void OpenOnNinePictures()
    {
        for (int i = 0; i < 9; ++i)
            Picture("p" + std::to_string(i) + ".bmp", 352, 288);
        Open(kWidth, kHeight);
    }
};

TEST_F(AlbumPaintTest, CellsHaveTheirRectanglesFillsAndBevel)
{
    OpenOnNinePictures();
    auto c = Paint();
    const RECT cells[] = {{5, 5, 341, 210}, {346, 235, 682, 440}, {687, 465, 1023, 670}};
    const int index[] = {0, 4, 8};
    for (int n = 0; n < 3; ++n) {
        const RECT& r = cells[n];
        const CellRect& got = View().m_rcCell[index[n]];
        EXPECT_EQ(r.left, got.left);
        EXPECT_EQ(r.top, got.top);
        EXPECT_EQ(r.right, got.right);
        EXPECT_EQ(r.bottom, got.bottom);
        COLORREF fill = index[n] == 0 ? kSelectedCellFill : kCellFill;
        int midX = r.left + 20, midY = (r.top + r.bottom) / 2;
        EXPECT_EQ(fill, c->At(r.left + 3, r.top + 3)) << n;
        EXPECT_EQ(kGrey, c->At(r.left, midY)) << n;
        EXPECT_EQ(kBlack, c->At(r.left + 1, midY)) << n;
        EXPECT_EQ(kGrey, c->At(midX, r.top)) << n;
        EXPECT_EQ(kBlack, c->At(midX, r.top + 1)) << n;
        EXPECT_EQ(kGrey, c->At(r.right - 1, midY)) << n;
        EXPECT_EQ(kWhite, c->At(r.right, midY)) << n;
        EXPECT_EQ(kGrey, c->At(midX, r.bottom - 2)) << n;
        EXPECT_EQ(kWhite, c->At(midX, r.bottom - 1)) << n;
        EXPECT_EQ(kSentinel, c->At(r.left - 1, midY)) << "nothing left of cell " << n;
    }
    // Where each picture goes in its cell: FinishedCellsTest.
    EXPECT_EQ("Image browse", GetWindowTextA(browser.Frame()));
    // The commands that write the selected picture load it themselves: a
    // paint leaves nothing in the picture object, which only then cannot save.
    EXPECT_NE(1, View().m_pPicture->Save(folder.PathOf("held.bmp").c_str(), -1));
}

// The fit itself is a rule tested natively (CellPreparationTest); in single
// mode its box is the whole view.
TEST_F(AlbumPaintTest, SingleModeDrawsThePictureFittedIntoTheWholeViewAndShowsItsPath)
{
    Picture("a.bmp", 352, 288);
    Picture("b.bmp", 1600, 1200);
    Open(kWidth, kHeight);
    View().ShowCellAlone(1);
    ExpectPictureAt(*Paint(), 56, 3, 911, 683, kCellFill);
    EXPECT_EQ(View().m_arrPaths[1], GetWindowTextA(browser.Frame()));
    // On the screen a picture shown alone is painted without an erase
    // before it: the paint itself reaches every pixel of the view.
    browser.Pump();
    CoverWithSentinel();
    InvalidateRect(browser.ViewWindow(), nullptr, FALSE);
    UpdateWindow(browser.ViewWindow());
    const Canvas shot = Canvas::OfClient(browser.ViewWindow());
    int unpainted = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x)
            unpainted += shot.At(x, y) == kSentinel ? 1 : 0;
    EXPECT_EQ(0, unpainted);
}

// The caption as the paint wrote it, against the expected text written by
// itself on the same background in the same font and colour.
void ExpectCaption(const Canvas& painted, int x, int y, const char* text, COLORREF colour, COLORREF background)
{
    Canvas expected(kWidth, kHeight, kSentinel);
    SIZE extent;
    GetTextExtentPoint32A(expected.Dc(), text, static_cast<int>(strlen(text)), &extent);
    RECT area = {x, y, x + extent.cx + 8, y + extent.cy};
    expected.Fill(area, background);
    SetBkMode(expected.Dc(), TRANSPARENT);
    SetTextColor(expected.Dc(), colour);
    TextOutA(expected.Dc(), x, y, text, static_cast<int>(strlen(text)));
    EXPECT_TRUE(painted.SameRegion(expected, area)) << "caption " << text;
}

// A file that cannot be read shows its frame and name but no caption.
TEST_F(AlbumPaintTest, CaptionsGiveTheFilesSizeAndColourCount)
{
    Picture("a1.bmp", 352, 288, 1);
    Picture("b8.bmp", 352, 288, 8);
    Picture("c24.bmp", 352, 288, 24);
    folder.Touch("d.jpg");  // empty: no picture
    Open(kWidth, kHeight);
    auto c = Paint();
    // Caption at (left + (right - left) / 3, top + H - 50): H = 230.
    ExpectCaption(*c, 5 + 336 / 3, 185, "352x288x2", RGB(255, 100, 0), kSelectedCellFill);
    ExpectCaption(*c, 346 + 336 / 3, 185, "352x288x256", kBlack, kCellFill);
    ExpectCaption(*c, 687 + 336 / 3, 185, "352x288x16M", kBlack, kCellFill);
    const RECT cell3 = {5, 235, 341, 440};
    // The whole inside of the frame is fill colour: no picture, no caption.
    EXPECT_TRUE(c->RegionIs(RECT{cell3.left + 3, cell3.top + 3, cell3.right - 3, cell3.bottom - 3}, kCellFill));
    ExpectCaption(*c, cell3.left + 20, 445, "d.jpg", kBlack, kSentinel);
}

TEST_F(AlbumPaintTest, APartialLastPageLeavesTheEmptyCellsUnpainted)
{
    for (int i = 0; i < 14; ++i)
        Picture("p" + std::to_string(i) + ".bmp", 40, 30);
    Open(kWidth, kHeight);
    ASSERT_EQ(9, View().m_nPageTop);
    auto c = Paint();
    EXPECT_EQ(kSelectedCellFill, c->At(5 + 3, 5 + 3));          // cell 0 of the page, entry 9
    EXPECT_EQ(kCellFill, c->At(346 + 3, 235 + 3));              // cell 4 painted
    EXPECT_TRUE(c->RegionIs(RECT{687, 235, 1024, 690}, kSentinel));  // cells 5 and 8 column
    EXPECT_TRUE(c->RegionIs(RECT{0, 465, 1024, 690}, kSentinel));    // cells 6 to 8 row
}

// How little room is too little is a rule of the fit (CellPreparationTest);
// here the paint keeps to it.
TEST_F(AlbumPaintTest, AClientAreaTooSmallForTheFitShowsFramesOnly)
{
    Picture("a.bmp", 352, 288);
    Picture("b.bmp", 352, 288);
    Open(150, 150);
    auto c = Paint();
    EXPECT_EQ(kSelectedCellFill, c->At(5 + 3, 5 + 3));
    EXPECT_NE(kRed, c->At(5 + 20, 5 + 12));
    EXPECT_EQ(kCellFill, c->At(55 + 3, 5 + 3));
}

TEST_F(AlbumPaintTest, AClickRepaintsExactlyTheTwoCellsWhoseSelectionChanged)
{
    OpenOnNinePictures();
    browser.Pump();     // a full paint on the screen lays out the cells
    HWND view = browser.ViewWindow();
    CoverWithSentinel();
    const CellRect& cell3 = View().m_rcCell[3];
    LPARAM at = MAKELPARAM((cell3.left + cell3.right) / 2, (cell3.top + cell3.bottom) / 2);
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(view, WM_LBUTTONUP, 0, at);
    const Canvas shot = Canvas::OfClient(view);
    EXPECT_EQ(3, View().m_nCellSel);
    EXPECT_EQ(kCellFill, shot.At(5 + 3, 5 + 3));            // the old cell, now plain
    EXPECT_EQ(kSelectedCellFill, shot.At(5 + 3, 235 + 3));       // the new one, selected
    EXPECT_EQ(kSentinel, shot.At(346 + 3, 5 + 3));      // cell 1 untouched
    EXPECT_EQ(kSentinel, shot.At(346 + 3, 235 + 3));    // cell 4 untouched
    EXPECT_EQ(kSentinel, shot.At(687 + 3, 465 + 3));    // cell 8 untouched
    // Each of the two cells, its caption and its name as a full paint puts them.
    auto full = Paint();
    for (int cell : {0, 3}) {
        const CellRect& rc = View().m_rcCell[cell];
        const RECT withName = {rc.left, rc.top, rc.right + 1, rc.bottom + 20};
        EXPECT_TRUE(shot.SameRegion(*full, withName)) << "cell " << cell;
    }
}

TEST_F(AlbumPaintTest, ASizeChangeOfTheFrameRepaintsTheWholeViewAtItsNewLayout)
{
    OpenOnNinePictures();
    HWND view = browser.ViewWindow();
    CoverWithSentinel();
    // Smaller, as when the work area shrinks: nothing of the view is
    // uncovered, yet every cell moves.
    SetWindowPos(browser.Frame(), nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    browser.Pump();
    RECT client;
    GetClientRect(view, &client);
    const int w = client.right / 3, h = client.bottom / 3;
    ASSERT_LT(client.right, kWidth);
    const Canvas shot = Canvas::OfClient(view);
    EXPECT_EQ(kSelectedCellFill, shot.At(5 + 3, 5 + 3));
    EXPECT_EQ(kCellFill, shot.At(w + 5 + 3, h + 5 + 3));            // cell 4 where it now is
    EXPECT_EQ(kCellFill, shot.At(2 * w + 5 + 3, 2 * h + 5 + 3));    // cell 8
    LPARAM at = MAKELPARAM(w + w / 2, h + h / 2);
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(view, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(4, View().m_nCellSel);
}

}  // namespace
