// The album's finished cells on real pictures and real files: a page painted
// cold, from the cache and from a page prepared ahead shows each picture as
// the picture object draws it; files another program changes are shown as
// they are now; closing while cells are being prepared leaves nothing behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "album/cells/CellFit.h"
#include "picture/Picture.h"
#include "tests/album/AlbumViewFixture.h"
#include "tests/support/Canvas.h"
#include "tests/support/CellColours.h"
#include "tests/support/FileTree.h"
#include "tests/support/OwnThreads.h"

namespace {

const COLORREF kBlue = RGB(30, 40, 210);
const int kWidth = 1024, kHeight = 690;

// What paint draws into a bitmap like the screen's (8, 16 or 32 bits),
// read back at 32 bits.
Canvas PaintedLikeTheScreen(const std::function<void(CDC*)>& paint)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, kWidth, kHeight};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    CDC dc(memory, memory, false);
    paint(&dc);
    Canvas shot(kWidth, kHeight, RGB(0, 0, 0));
    BitBlt(shot.Dc(), 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return shot;
}

class FinishedCellsTest : public AlbumViewFixture {
protected:
    void OpenPrepared()
    {
        Open(kWidth, kHeight);
        ASSERT_TRUE(View().WaitForPreparedCells(20000));
    }
    Canvas PaintView()
    {
        return PaintedLikeTheScreen([this](CDC* dc) { View().OnDraw(dc); });
    }
    // Each picture of the page as the picture object loads, resizes and
    // draws it into the cell the paint laid out.
    void ExpectPicturesAsThePictureObjectDrawsThem(const Canvas& painted, const char* how)
    {
        const int end = std::min(View().m_nPageTop + 9, View().Count());
        for (int i = View().m_nPageTop; i < end; ++i) {
            const CellRect& cell = View().m_rcCell[i - View().m_nPageTop];
            const std::string& path = View().m_arrPaths[static_cast<size_t>(i)];
            CPicture picture;
            ASSERT_EQ(1, picture.Load(path.c_str(), nullptr, -1, -1)) << path;
            const CellFit fit =
                FitIntoBox(picture.GetWidth(), picture.GetHeight(),
                           CellBox{cell.right - cell.left, cell.bottom - cell.top, 50});
            ASSERT_EQ(1, picture.Resize(fit.width, fit.height));
            const RECT spot = {cell.left + fit.dx, cell.top + fit.dy, cell.left + fit.dx + fit.width,
                               cell.top + fit.dy + fit.height};
            const Canvas expected =
                PaintedLikeTheScreen([&](CDC* dc) { picture.Draw(dc, spot.left, spot.top); });
            EXPECT_TRUE(painted.SameRegion(expected, spot)) << how << ": " << path;
        }
    }
};

// Pictures of every format and depth, as the sample archive's tools wrote
// them, from every day folder of drive D: (27: three pages).
TEST_F(FinishedCellsTest, ColdCachedAndPreparedPagesShowEachPictureAsThePictureObjectDrawsIt)
{
    int copied = 0;
    for (const std::string& day : ListFolder("D:\\DataPic"))
        for (const std::string& camera : ListFolder("D:\\DataPic\\" + day))
            for (const std::string& name : FilesIn("D:\\DataPic\\" + day + "\\" + camera))
                if (copied < 27 && CopyFileA(("D:\\DataPic\\" + day + "\\" + camera + "\\" + name).c_str(),
                                             folder.PathOf(name).c_str(), TRUE))
                    ++copied;
    ASSERT_EQ(27, copied);
    OpenPrepared();     // on the last page, with the page before it read ahead

    View().PageFirst();     // a page nobody prepared
    const unsigned before = View().CellsPrepared();
    Canvas cold = PaintView();
    EXPECT_EQ(before + 9, View().CellsPrepared());
    ExpectPicturesAsThePictureObjectDrawsThem(cold, "cold");

    Canvas cached = PaintView();
    ASSERT_TRUE(View().WaitForPreparedCells(20000));
    EXPECT_EQ(before + 9, View().CellsPrepared()) << "the page ahead was prepared already";
    ExpectPicturesAsThePictureObjectDrawsThem(cached, "from the cache");

    View().PageNext();      // the page read ahead at the start
    Canvas ahead = PaintView();
    ASSERT_TRUE(View().WaitForPreparedCells(20000));
    EXPECT_EQ(before + 18, View().CellsPrepared()) << "only the next page read ahead";
    ExpectPicturesAsThePictureObjectDrawsThem(ahead, "prepared");
}

// Rewritten, renamed and deleted behind the album's back, on the page read
// ahead and on the page on the screen: the picture of now, or the frame and
// name alone for a file that is no longer there.
TEST_F(FinishedCellsTest, FilesAnotherProgramChangesAreShownAsTheyAreNow)
{
    for (int i = 0; i < 18; ++i)
        Picture("p" + std::to_string(10 + i) + ".bmp", 64, 48);
    OpenPrepared();     // page 9 shown and cached, page 0 prepared
    auto rewriteInBlue = [&](const std::string& name) {
        const std::string path = folder.PathOf(name);
        Picture(name, 64, 48, 24, kBlue);   // the same size
        // Another program's write two seconds later.
        ASSERT_TRUE(MoveWriteTimeOn(path, 2));
    };
    rewriteInBlue("p10.bmp");
    ASSERT_TRUE(MoveFileA(folder.PathOf("p11.bmp").c_str(), folder.PathOf("moved.bmp").c_str()));
    ASSERT_TRUE(DeleteFileA(folder.PathOf("p12.bmp").c_str()));
    rewriteInBlue("p19.bmp");

    auto centreOf = [&](int cell) {
        const CellRect& rc = View().m_rcCell[cell];
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2 - 20};
    };
    Canvas shown = PaintView();
    EXPECT_EQ(kBlue, shown.At(centreOf(0).x, centreOf(0).y));
    EXPECT_EQ(kRed, shown.At(centreOf(1).x, centreOf(1).y));

    View().PagePrev();
    Canvas before = PaintView();
    EXPECT_EQ(kBlue, before.At(centreOf(0).x, centreOf(0).y));
    EXPECT_EQ(kCellFill, before.At(centreOf(1).x, centreOf(1).y));
    EXPECT_EQ(kCellFill, before.At(centreOf(2).x, centreOf(2).y));
    EXPECT_EQ(kRed, before.At(centreOf(3).x, centreOf(3).y));
}

// The workers end with the album, also in the middle of a picture.
TEST_F(FinishedCellsTest, ClosingWhileAPageIsPreparedEndsOnceAndLeavesNoThread)
{
    const unsigned long threadsBefore = CountOwnThreads();
    for (int i = 0; i < 27; ++i)
        Picture("p" + std::to_string(10 + i) + ".bmp", 1920, 1080);
    OpenPrepared();     // on the last page, with the page before it read ahead
    View().PageFirst();
    PaintView();        // the last page is no longer kept
    View().PageNext();
    PaintView();        // and now being read ahead again
    ASSERT_FALSE(View().WaitForPreparedCells(0));
    browser.Close();
    browser.Pump();
    EXPECT_EQ(1, host.ExitCount());
    EXPECT_EQ(threadsBefore, CountOwnThreads());
}

}  // namespace
