// The album follows its folder while it is open: another program (a
// recorder, its housekeeping) writes, renames and removes files in it, and
// the real view on the screen picks them up by itself. The rules of where a
// change puts the current picture are tested natively (AlbumStateTest);
// here the watch, its messages and what the operator sees.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <vector>

#include "album/AlbumFolderList.h"
#include "res/resource.h"
#include "tests/album/AlbumViewFixture.h"
#include "tests/support/Canvas.h"
#include "tests/support/FolderWriter.h"
#include "tests/support/OwnThreads.h"
#include "tests/support/RealInput.h"
#include "tests/support/WaitUntil.h"

namespace {

// Reads of the folder that fail as a share that drops fails them, or
// that cannot be cancelled, while the test says so.
struct ReadFaults {
    static std::atomic<int> s_nFailedResults;   // finished reads taken as failed
    static std::atomic<int> s_nFailedIssues;    // reads that cannot be issued
    static HANDLE s_hRelease;                   // set: a read being ended may end
    static std::atomic<bool> s_bReleased;       // it ended because the test let it

    ReadFaults()
    {
        s_nFailedResults = s_nFailedIssues = 0;
        s_bReleased = false;
        g_pfnReadDirectoryChanges = Issue;
        g_pfnGetOverlappedResult = Result;
    }
    ~ReadFaults()
    {
        g_pfnReadDirectoryChanges = ReadDirectoryChangesW;
        g_pfnGetOverlappedResult = GetOverlappedResult;
    }
    static BOOL WINAPI Issue(HANDLE folder, LPVOID buffer, DWORD bytes, BOOL subtree, DWORD filter, LPDWORD read,
                             LPOVERLAPPED overlapped, LPOVERLAPPED_COMPLETION_ROUTINE routine)
    {
        if (s_nFailedIssues > 0) {
            --s_nFailedIssues;
            SetLastError(ERROR_NETNAME_DELETED);
            return FALSE;
        }
        return ReadDirectoryChangesW(folder, buffer, bytes, subtree, filter, read, overlapped, routine);
    }
    static BOOL WINAPI Result(HANDLE folder, LPOVERLAPPED overlapped, LPDWORD bytes, BOOL wait)
    {
        // The read is being ended: it hangs until the test lets it go (or
        // long after any wait the window thread may make).
        if (wait && s_hRelease != nullptr)
            s_bReleased = WaitForSingleObject(s_hRelease, 20000) == WAIT_OBJECT_0;
        const BOOL done = GetOverlappedResult(folder, overlapped, bytes, wait);
        if (done && s_nFailedResults > 0) {
            --s_nFailedResults;
            SetLastError(ERROR_NETNAME_DELETED);
            return FALSE;
        }
        return done;
    }
};
std::atomic<int> ReadFaults::s_nFailedResults{0};
std::atomic<int> ReadFaults::s_nFailedIssues{0};
HANDLE ReadFaults::s_hRelease = nullptr;
std::atomic<bool> ReadFaults::s_bReleased{false};

const COLORREF kBlue = RGB(30, 40, 210);
const DWORD kPickUpMs = 5000;
const unsigned kMostUpdatesASecond = 4;

class FolderWatchTest : public AlbumViewFixture {
protected:
    // A picture written outside the album, for the other program to copy in.
    std::string Source(const std::string& name, COLORREF colour = kBlue)
    {
        EXPECT_TRUE(WriteSolidBmp(sources.PathOf(name), 64, 48, 24, colour));
        return sources.PathOf(name);
    }
    POINT CentreOf(int cell)
    {
        const CellRect& rc = View().m_rcCell[cell];
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    // What the cell shows on the screen, at its centre.
    COLORREF OnScreen(int cell)
    {
        const POINT at = CentreOf(cell);
        return Canvas::OfClient(browser.ViewWindow()).At(at.x, at.y);
    }
    std::vector<std::string> Named(const char* stem, int first, int count, const char* extension)
    {
        std::vector<std::string> names;
        for (int i = first; i < first + count; ++i)
            names.push_back(stem + std::to_string(i) + extension);
        return names;
    }

    TempFolder sources{"src"};
    FolderWriter writer{folder.Path()};
};

TEST_F(FolderWatchTest, AFileArrivingOnTheLastPageAppearsInItsCellWithoutACommand)
{
    ASSERT_TRUE(writer.Started());
    Picture("a.bmp", 64, 48);
    Picture("b.bmp", 64, 48);
    Open();
    const AlbumList listed = View().m_arrNames;
    const std::string blue = Source("blue.bmp");
    ASSERT_TRUE(writer.Copy(blue, "c.bmp"));
    EXPECT_TRUE(browser.PumpUntil([&] { return OnScreen(2) == kBlue; }, kPickUpMs));
    EXPECT_EQ((AlbumList{listed[0], listed[1], "c.bmp"}), View().m_arrNames);
    EXPECT_EQ(0, View().m_nCurrent);
    EXPECT_EQ(kRed, OnScreen(0));
}

// The recorder has written part of a snapshot when the album first sees
// it; the rest comes later, and the cell then shows the picture.
TEST_F(FolderWatchTest, APictureStillBeingWrittenIsShownOnceComplete)
{
    Picture("a.bmp", 64, 48);
    Open();
    const std::string blue = Source("blue.bmp");
    ASSERT_TRUE(writer.CopyPart(blue, "b.bmp", 2000));
    ASSERT_TRUE(browser.PumpUntil([&] { return View().Count() == 2; }, kPickUpMs));
    browser.PumpFor(2 * CFolderWatch::kGapMs);
    EXPECT_NE(kBlue, OnScreen(1));
    ASSERT_TRUE(writer.Copy(blue, "b.bmp"));
    EXPECT_TRUE(browser.PumpUntil([&] { return OnScreen(1) == kBlue; }, kPickUpMs));
}

TEST_F(FolderWatchTest, ATenthFileOnAOnePageFolderEnablesNext)
{
    OpenWith(9);
    EXPECT_FALSE(browser.ButtonState(ID_PAGE_NEXT) & TBSTATE_ENABLED);
    ASSERT_TRUE(writer.Copy(sources.Touch("empty.jpg"), "snap109.jpg"));
    ASSERT_TRUE(browser.PumpUntil([&] { return View().Count() == 10; }, kPickUpMs));
    EXPECT_TRUE(browser.ButtonState(ID_PAGE_NEXT) & TBSTATE_ENABLED);
    EXPECT_FALSE(browser.MenuItemState(ID_PAGE_LAST) & (MF_GRAYED | MF_DISABLED));
    EXPECT_EQ(0, View().m_nPageTop);
    EXPECT_EQ(0, View().m_nCellSel);
}

// As a delete does: on a page, the previous page's last cell when the
// picture was alone on its page; shown alone, the one that moved into its
// place.
TEST_F(FolderWatchTest, TheCurrentPictureRemovedByAnotherProgramMovesTheSelectionAsDeleteDoes)
{
    for (const std::string& name : Named("p", 10, 10, ".bmp"))
        Picture(name, 64, 48);
    Open();
    ASSERT_EQ(9, View().m_nCurrent);
    ASSERT_TRUE(writer.Remove(View().CurrentName()));
    ASSERT_TRUE(browser.PumpUntil([&] { return View().Count() == 9; }, kPickUpMs));
    EXPECT_EQ(0, View().m_nPageTop);
    EXPECT_EQ(8, View().m_nCellSel);
    EXPECT_EQ(8, View().m_nCurrent);
    browser.Pump();
    EXPECT_EQ(kRed, OnScreen(8));

    DoubleClick(CellCentre(4));
    browser.Pump();
    ASSERT_TRUE(View().IsSingleMode());
    const std::string next = View().m_arrPaths[5];
    ASSERT_TRUE(writer.Remove(View().CurrentName()));
    ASSERT_TRUE(browser.PumpUntil([&] { return View().Count() == 8; }, kPickUpMs));
    EXPECT_TRUE(View().IsSingleMode());
    EXPECT_EQ(4, View().m_nCurrent);
    EXPECT_EQ(next, View().m_strCurrent);
    browser.Pump();
    EXPECT_EQ(next, GetWindowTextA(browser.Frame()));
}

// The folder lists its names in name order: a picture renamed by another
// program moves to its new name's place, as a refresh would list it, and
// stays current.
TEST_F(FolderWatchTest, ARenameByAnotherProgramMovesThePictureWhereARefreshListsIt)
{
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        Picture(name, 64, 48);
    Open();
    Click(CellCentre(1));
    browser.Pump();
    const CellRect cell = View().m_rcCell[2];
    const RECT caption = {cell.left, cell.bottom, cell.right, cell.bottom + 25};
    const Canvas before = Canvas::OfClient(browser.ViewWindow());

    ASSERT_TRUE(writer.Rename("b.bmp", "door.bmp"));
    ASSERT_TRUE(browser.PumpUntil([&] { return View().m_arrNames[2] == "door.bmp"; }, kPickUpMs));
    browser.Pump();
    AlbumList paths, fresh;
    CAlbumFolderList::List(paths, fresh);
    EXPECT_EQ(fresh, View().m_arrNames);
    EXPECT_EQ((AlbumList{"a.bmp", "c.bmp", "door.bmp"}), View().m_arrNames);
    EXPECT_EQ(2, View().m_nCurrent);
    EXPECT_EQ(2, View().m_nCellSel);
    EXPECT_EQ(folder.PathOf("door.bmp"), View().m_strCurrent);
    const Canvas after = Canvas::OfClient(browser.ViewWindow());
    EXPECT_FALSE(after.SameRegion(before, caption)) << "the caption still shows the old name";
}

// A camera writing as fast as it can: the watch gives a few updates a
// second, each applying what came meanwhile, and the list ends as the
// folder is, the new files in name order after the others.
TEST_F(FolderWatchTest, ABurstOf200FilesGivesABoundedNumberOfUpdatesAndTheRightList)
{
    OpenWith(3);
    AlbumList expected = View().m_arrNames;
    const std::string source = sources.Touch("empty.jpg");
    const DWORD start = GetTickCount();
    ASSERT_TRUE(writer.StartBurst(source, "snap2", 200, 0));
    ASSERT_TRUE(browser.PumpUntil([&] { return writer.Answered(); }, 60000));
    ASSERT_TRUE(writer.AnsweredOk());
    ASSERT_TRUE(browser.PumpUntil([&] { return View().Count() == 203; }, kPickUpMs));
    const DWORD took = GetTickCount() - start;
    browser.PumpFor(2 * CFolderWatch::kGapMs);

    for (int i = 0; i < 200; ++i) {
        char name[32];
        wsprintfA(name, "snap2%04d.jpg", i);
        expected.push_back(name);
    }
    EXPECT_EQ(expected, View().m_arrNames);
    // One update when the burst begins, then a few a second.
    const unsigned bound = 2 + kMostUpdatesASecond * took / 1000;
    EXPECT_LE(View().FolderUpdates(), bound) << "in " << took << " ms";
    EXPECT_LT(View().FolderUpdates(), 200u);
    EXPECT_EQ(0, View().m_nCurrent) << "the first cell stays selected";
}

TEST_F(FolderWatchTest, ClosingDuringABurstPostsOneExitMessageAndLeavesNoThread)
{
    const unsigned long threadsBefore = CountOwnThreads();
    OpenWith(3);
    ASSERT_TRUE(writer.StartBurst(sources.Touch("empty.jpg"), "burst", 300, 2));
    ASSERT_TRUE(browser.PumpUntil([&] { return View().FolderUpdates() >= 2; }, kPickUpMs));
    browser.Close();
    EXPECT_TRUE(PumpUntilOwnThreadsAtMost(threadsBefore, 5000)) << CountOwnThreads() << " threads";
    EXPECT_EQ(1, host.ExitCount());
    EXPECT_TRUE(WaitUntil([&] { return writer.Answered(); }, 60000));
    browser.PumpFor(2 * CFolderWatch::kGapMs);
    EXPECT_EQ(1, host.ExitCount());
}

// The chooser moves the album to another folder (it makes the folder
// current and tells the view): the watch goes with it.
TEST_F(FolderWatchTest, TheWatchMovesWithTheAlbumToAnotherFolder)
{
    OpenWith(2);
    TempFolder other("day");
    FolderWriter otherWriter(other.Path());
    ASSERT_TRUE(SetCurrentDirectoryA(other.Path().c_str()));
    SendMessageA(browser.ViewWindow(), UM_SHOW_DAY_FOLDER, 0, reinterpret_cast<LPARAM>(other.Path().c_str()));
    ASSERT_EQ(0, View().Count());
    const std::string empty = sources.Touch("empty.jpg");
    ASSERT_TRUE(writer.Copy(empty, "left-behind.jpg"));
    ASSERT_TRUE(otherWriter.Copy(empty, "new.jpg"));
    ASSERT_TRUE(browser.PumpUntil([&] { return View().Count() == 1; }, kPickUpMs));
    browser.PumpFor(2 * CFolderWatch::kGapMs);
    EXPECT_EQ(AlbumList{"new.jpg"}, View().m_arrNames);
    EXPECT_EQ(AlbumList{other.PathOf("new.jpg")}, View().m_arrPaths);
}

// The system's record of the changes overflows (here a record too small
// for any notification): the album walks the folder again and keeps the
// current picture where it now stands.
TEST_F(FolderWatchTest, ALostRecordOfTheChangesRebuildsTheListKeepingThePlace)
{
    struct SavedBuffer {
        const int bytes = g_nFolderChangeBufferBytes;
        ~SavedBuffer() { g_nFolderChangeBufferBytes = bytes; }
    } saved;
    g_nFolderChangeBufferBytes = 16;
    for (const std::string& name : Named("p", 10, 12, ".bmp"))
        Picture(name, 64, 48);
    Open();
    Click(CellCentre(1));
    browser.Pump();
    ASSERT_EQ(10, View().m_nCurrent);
    const std::string current = View().CurrentPath();
    ASSERT_TRUE(writer.Remove(View().m_arrNames[0]));
    ASSERT_TRUE(browser.PumpUntil([&] { return View().Count() == 11; }, kPickUpMs));
    EXPECT_GE(View().FolderUpdates(), 1u);
    EXPECT_EQ(current, View().CurrentPath());
    EXPECT_EQ(View().m_nCurrent - View().m_nCurrent % ALBUM_PAGE_SIZE, View().m_nPageTop);
    EXPECT_EQ(View().m_nCurrent % ALBUM_PAGE_SIZE, View().m_nCellSel);
    ASSERT_TRUE(writer.Copy(Source("blue.bmp"), "p30.bmp"));
    ASSERT_TRUE(browser.PumpUntil([&] { return View().Count() == 12; }, kPickUpMs));
    EXPECT_EQ(current, View().CurrentPath());
}

// A share drops for a while: the reads fail, the album shows what a walk
// finds, and once the folder can be read again it follows it as before.
TEST_F(FolderWatchTest, AFolderThatCannotBeReadForAWhileIsFollowedAgainOnceItCan)
{
    ReadFaults faults;
    Picture("a.bmp", 64, 48);
    Open();
    ReadFaults::s_nFailedResults = 1;
    ReadFaults::s_nFailedIssues = 2;
    ASSERT_TRUE(writer.Copy(Source("blue.bmp"), "b.bmp"));
    ASSERT_TRUE(browser.PumpUntil([&] { return ReadFaults::s_nFailedIssues == 0; },
                                   8 * CFolderWatch::kFirstRetryMs + kPickUpMs));
    ASSERT_TRUE(writer.Copy(Source("blue.bmp"), "c.bmp"));
    EXPECT_TRUE(browser.PumpUntil([&] { return View().Count() == 3; }, kPickUpMs));
    ASSERT_TRUE(writer.Remove("a.bmp"));
    EXPECT_TRUE(browser.PumpUntil([&] { return View().Count() == 2; }, kPickUpMs));
    EXPECT_EQ((AlbumList{"b.bmp", "c.bmp"}), View().m_arrNames);
}

// A read that cannot be cancelled (a share that does not answer) does not
// hold the browser's close: its thread is left to end with the read, and
// then goes, having touched nothing of the closed browser.
TEST_F(FolderWatchTest, AReadThatCannotBeCancelledDoesNotHoldTheClose)
{
    const unsigned long threadsBefore = CountOwnThreads();
    ReadFaults faults;
    // Whatever happens, the read ends and its thread goes before the test does.
    struct Release {
        const unsigned long threads;
        explicit Release(unsigned long count) : threads(count)
        {
            ReadFaults::s_hRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        }
        ~Release()
        {
            SetEvent(ReadFaults::s_hRelease);
            PumpUntilOwnThreadsAtMost(threads, 25000);
            CloseHandle(ReadFaults::s_hRelease);
            ReadFaults::s_hRelease = nullptr;
        }
    } release(threadsBefore);
    OpenWith(2);
    browser.Close();
    // Only now may the read end.
    SetEvent(ReadFaults::s_hRelease);
    EXPECT_TRUE(PumpUntilOwnThreadsAtMost(threadsBefore, 25000)) << CountOwnThreads() << " threads";
    EXPECT_TRUE(ReadFaults::s_bReleased) << "the close waited for the read";
    EXPECT_EQ(1, host.ExitCount());
}

// A picture arrives before the page while the operator clicks: the update
// is handled before the click (posted messages go before input), and the
// click still selects the picture that was painted under the pointer.
TEST_F(FolderWatchTest, AClickHandledAfterAnUpdateSelectsThePicturePaintedUnderThePointer)
{
    for (const std::string& name : Named("p", 10, 9, ".bmp"))
        Picture(name, 64, 48);
    Open();
    POINT at = CentreOf(3);
    ASSERT_EQ("p13.bmp", View().m_arrNames[3]);
    ClientToScreen(browser.ViewWindow(), &at);
    ASSERT_TRUE(writer.Copy(Source("blue.bmp"), "p00.bmp"));
    // The update waits in the queue, not yet handled.
    MSG waiting;
    ASSERT_TRUE(WaitUntil([&] {
        return PeekMessageW(&waiting, browser.ViewWindow(), UM_FOLDER_CHANGED, UM_FOLDER_CHANGED, PM_NOREMOVE) != FALSE;
    }, kPickUpMs));
    RealInput().Click(at);
    ASSERT_TRUE(browser.PumpUntil([&] { return View().CurrentName() != "p10.bmp"; }, kPickUpMs));
    ASSERT_EQ("p00.bmp", View().m_arrNames[0]);
    EXPECT_EQ("p13.bmp", View().CurrentName());
    EXPECT_EQ(4, View().m_nCellSel);
}

}  // namespace
