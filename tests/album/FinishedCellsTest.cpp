// The album's finished cells on real pictures and real files: a page painted
// cold, from the cache and from a page prepared ahead shows each picture as
// the picture object draws it; files another program changes are shown as
// they are now; closing while cells are being prepared leaves nothing behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ImageLoad.h"
#include "album/cells/AlbumCells.h"
#include "album/cells/CellFit.h"
#include "picture/Picture.h"
#include "picture/PictureBlock.h"
#include "res/resource.h"
#include "tests/album/AlbumViewFixture.h"
#include "tests/support/Canvas.h"
#include "tests/support/CellColours.h"
#include "tests/support/FileTree.h"
#include "tests/support/OwnThreads.h"
#include "tests/support/TestPictures.h"

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

// A file held open without sharing, as a recorder writing it or a virus
// scanner reading it holds it for a moment.
class HeldFile {
public:
    explicit HeldFile(const std::string& path)
        : m_file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~HeldFile() { LetGo(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool Held() const { return m_file != INVALID_HANDLE_VALUE; }
    void LetGo()
    {
        if (Held())
            CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_file;
};

// Stands in for the fitted copy of a whole picture while memory is short.
class NoMemoryForFittedCopies {
public:
    NoMemoryForFittedCopies() { g_pfnResizedBlock = &Fail; }
    ~NoMemoryForFittedCopies() { g_pfnResizedBlock = picture::ResizedBlock; }

private:
    static HGLOBAL Fail(const BYTE*, int, int, int* status)
    {
        *status = PIC_ERR_ALLOC;
        return nullptr;
    }
};

// Holds the preparation of one file at a gate and notes every file
// prepared after a given moment.
class PreparationGate {
public:
    explicit PreparationGate(const std::string& held)
    {
        s_held = held;
        s_open = false;
        s_noted.clear();
        s_noting = false;
        g_pfnPrepareCell = &Prepare;
    }
    ~PreparationGate()
    {
        Open();
        g_pfnPrepareCell = &CFinishedCell::Prepare;
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        s_open = true;
    }
    bool Holding() const
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        return s_holding;
    }
    void NoteFromNow()
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        s_noting = true;
    }
    std::vector<std::string> Noted() const
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        return s_noted;
    }

private:
    static std::shared_ptr<const CFinishedCell> Prepare(const CellKey& key)
    {
        {
            std::lock_guard<std::mutex> lock(s_mutex);
            if (s_noting)
                s_noted.push_back(key.path);
        }
        if (key.path == s_held) {
            SetHolding(true);
            while (!IsOpen())
                Sleep(5);
            SetHolding(false);
        }
        return CFinishedCell::Prepare(key);
    }
    static bool IsOpen()
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        return s_open;
    }
    static void SetHolding(bool holding)
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        s_holding = holding;
    }

    static std::mutex s_mutex;
    static std::string s_held;
    static bool s_open, s_holding, s_noting;
    static std::vector<std::string> s_noted;
};
std::mutex PreparationGate::s_mutex;
std::string PreparationGate::s_held;
bool PreparationGate::s_open = false, PreparationGate::s_holding = false, PreparationGate::s_noting = false;
std::vector<std::string> PreparationGate::s_noted;

int PreparedBy(CAlbumView& view, const std::function<void()>& paint)
{
    const unsigned before = view.CellsPrepared();
    paint();
    EXPECT_TRUE(view.WaitForPreparedCells(20000));
    return static_cast<int>(view.CellsPrepared() - before);
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
    // Cells prepared by a paint, and by what it read ahead.
    int PreparedByAPaint()
    {
        return PreparedBy(View(), [this] { PaintView(); });
    }
    POINT CentreOf(int cell)
    {
        const CellRect& rc = View().m_rcCell[cell];
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2 - 20};
    }
    COLORREF AtCentreOf(const Canvas& shown, int cell)
    {
        const POINT at = CentreOf(cell);
        return shown.At(at.x, at.y);
    }
    void Jpeg(const std::string& name, int width, int height)
    {
        HGLOBAL block = GlobalBlock(SolidDib(width, height, 24, 0xDC141E));
        EXPECT_EQ(1, SaveJPG(folder.PathOf(name).c_str(), block, 90)) << name;
        GlobalFree(block);
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

    Canvas shown = PaintView();
    EXPECT_EQ(kBlue, AtCentreOf(shown, 0));
    EXPECT_EQ(kRed, AtCentreOf(shown, 1));

    View().PagePrev();
    Canvas before = PaintView();
    EXPECT_EQ(kBlue, AtCentreOf(before, 0));
    EXPECT_EQ(kCellFill, AtCentreOf(before, 1));
    EXPECT_EQ(kCellFill, AtCentreOf(before, 2));
    EXPECT_EQ(kRed, AtCentreOf(before, 3));
}

// A failure that passes is not remembered: a file another program holds
// without sharing while its page is painted, or while its page is read
// ahead, shows once it is let go; so does a picture whose fitted copy found
// no memory, which meanwhile shows as a file that cannot be read, not at
// its own size over the cells around it.
TEST_F(FinishedCellsTest, AReadThatFailedForAMomentIsTriedAgainAtTheNextPaint)
{
    for (int i = 0; i < 18; ++i)
        Picture("p" + std::to_string(10 + i) + ".bmp", 64, 48);
    Picture("zbig.bmp", 640, 480);      // alone on the last page
    {
        NoMemoryForFittedCopies shortOfMemory;  // for zbig.bmp alone
        HeldFile shown(folder.PathOf("p20.bmp")), ahead(folder.PathOf("p11.bmp"));
        ASSERT_TRUE(shown.Held() && ahead.Held());
        Open(kWidth, kHeight);
        const Canvas short_ = PaintView();
        const POINT beside = {View().m_rcCell[0].right + 20, CentreOf(0).y};
        EXPECT_EQ(kSelectedCellFill, AtCentreOf(short_, 0)) << "no memory for its fitted copy";
        EXPECT_NE(kRed, short_.At(beside.x, beside.y)) << "drawn over its neighbours";

        View().OnPagePrev();    // page 9, with p20 in cell 1; page 0 read ahead
        EXPECT_EQ(kCellFill, AtCentreOf(PaintView(), 1)) << "held while painted";
        ASSERT_TRUE(View().WaitForPreparedCells(20000));
    }
    EXPECT_EQ(kRed, AtCentreOf(PaintView(), 1)) << "let go, painted again";
    View().OnPagePrev();
    EXPECT_EQ(kRed, AtCentreOf(PaintView(), 1)) << "let go after its page was read ahead";
    View().OnPageLast();
    EXPECT_EQ(kRed, AtCentreOf(PaintView(), 0)) << "memory back";
}

// The cells kept follow the view's size: on a 3840 x 2100 view the pages
// (and the pictures alone) on both sides of the one shown stay prepared,
// so that painting them again, or turning to them, decodes only what is
// read ahead.
TEST_F(FinishedCellsTest, OnALargeViewThePagesAndPicturesAroundTheOneShownStayPrepared)
{
    for (int i = 0; i < 27; ++i)
        Jpeg("p" + std::to_string(10 + i) + ".jpg", 1920, 1080);
    Open(3840, 2100);       // page 18 shown, page 9 read ahead
    ASSERT_TRUE(View().WaitForPreparedCells(20000));
    const struct {
        const char* step;
        std::function<void(CAlbumView&)> act;
        int prepared;       // by the paint, and read ahead after it
    } steps[] = {
        {"page 9, page 0 read ahead", [](CAlbumView& v) { v.OnPagePrev(); }, 9},
        {"page 9 painted again", [](CAlbumView&) {}, 0},
        {"back to page 18", [](CAlbumView& v) { v.OnPageNext(); }, 0},
        {"picture 22 alone, 23 read ahead", [](CAlbumView& v) { v.ShowCellAlone(4); }, 2},
        {"picture 23, 24 read ahead", [](CAlbumView& v) { v.OnPageNext(); }, 1},
        {"picture 22 again, 21 read ahead", [](CAlbumView& v) { v.OnPagePrev(); }, 1},
        {"its page, page 9 read ahead", [](CAlbumView& v) { v.OnMultiShow(); }, 9},
    };
    for (const auto& step : steps)
        EXPECT_EQ(step.prepared, PreparedBy(View(), [&] {
                      step.act(View());
                      PaintView();
                  })) << step.step;
    EXPECT_LE(View().Cells().Bytes(), View().Cells().Budget());
}

// The system tells the frame of a new screen depth; the cells are prepared
// for the depth the view draws on.
TEST_F(FinishedCellsTest, ANewScreenDepthPreparesThePageAgain)
{
    for (int i = 0; i < 9; ++i)
        Picture("p" + std::to_string(10 + i) + ".bmp", 64, 48);
    OpenPrepared();
    EXPECT_EQ(0, PreparedByAPaint());
    const ScreenDepthReader real = SetScreenDepthReader([](HDC) { return 16; });
    SendMessageA(browser.Frame(), WM_DISPLAYCHANGE, 16, MAKELPARAM(1024, 768));
    EXPECT_EQ(9, PreparedByAPaint());
    SetScreenDepthReader(real);
}

// A new folder (the chooser, or Refresh after the folder changed) drops
// what was read ahead for the old one: what is queued is never prepared,
// and the cell in flight is not kept.
TEST_F(FinishedCellsTest, ANewFolderDropsWhatWasReadAheadForTheOldOne)
{
    for (int i = 0; i < 18; ++i)
        Picture("p" + std::to_string(10 + i) + ".bmp", 64, 48);
    PreparationGate gate(folder.PathOf("p10.bmp"));     // the first of page 0
    Open(kWidth, kHeight);
    ASSERT_TRUE(browser.PumpUntil([&] { return gate.Holding(); }, 20000)) << "page 0 read ahead";

    TempFolder next{"next"};
    ASSERT_TRUE(WriteSolidBmp(next.PathOf("n1.bmp"), 64, 48, 24, kBlue));
    ASSERT_TRUE(SetCurrentDirectoryA(next.Path().c_str()));
    gate.NoteFromNow();
    SendMessageA(browser.ViewWindow(), WM_COMMAND, ID_ALBUM_REFRESH, 0);
    gate.Open();
    ASSERT_TRUE(View().WaitForPreparedCells(20000));
    for (const std::string& path : gate.Noted())
        EXPECT_EQ(folder.PathOf("p10.bmp"), path) << "prepared after the folder changed";
    EXPECT_FALSE(View().Cells().Keeps(folder.PathOf("p10.bmp"))) << "kept after the folder changed";
    EXPECT_EQ(kBlue, AtCentreOf(PaintView(), 0));
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));   // so that the new folder can go
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
