// Faults and bad input the browser meets in the field, through the host:
// each time the browser goes on, tells the operator where he must know,
// and loses nothing. Then albums of many thousands of names.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/operator/AlbumFolder.h"
#include "tests/operator/BrowserScreen.h"
#include "tests/operator/OperatorSession.h"
#include "tests/support/ModalDriver.h"

namespace {

const char kMultiTitle[] = "Image browse";

// Counts the cells of the page that show a picture.
int CellsShowingPictures(const BrowserScreen& screen)
{
    int shown = 0;
    for (int cell = 0; cell < 9; ++cell)
        shown += screen.CellShowsPicture(cell) ? 1 : 0;
    return shown;
}

std::string FirstSnapshot(const char* extension)
{
    std::string folder = NewestSampleDayFolder();
    for (const std::string& name : FilesIn(folder))
        if (name.size() > 4 && lstrcmpiA(name.substr(name.size() - 4).c_str(), extension) == 0)
            return folder + "\\" + name;
    return "";
}

class FieldFault : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (session.HostAlive()) {
            EXPECT_TRUE(session.ExitAndFinish()) << "leaving by E&xit failed";
        }
    }
    BrowserScreen& screen() { return session.Screen(); }
    AlbumFolder album{"fault"};
    OperatorSession session;
};

TEST_F(FieldFault, BrokenFilesWithPictureNamesAreShownAsFarAsTheyDecodeAndKeptAsTheyWere)
{
    ASSERT_EQ(3u, album.CopySnapshots(3).size());
    std::string jpeg = ReadWholeFile(FirstSnapshot(".jpg"));
    ASSERT_GT(jpeg.size(), 1000u);
    ASSERT_TRUE(album.Write("truncated.jpg", jpeg.substr(0, jpeg.size() / 2)));
    ASSERT_TRUE(album.Write("empty.bmp", ""));
    ASSERT_TRUE(album.Write("notes.gif", "shift report: nothing to note\r\n"));
    ASSERT_TRUE(CreateDirectoryA(album.PathOf("x.jpg").c_str(), nullptr));
    std::vector<std::string> before = album.Names();
    std::vector<std::string> contents;
    for (const std::string& name : before)
        contents.push_back(album.Read(name));

    ASSERT_TRUE(session.Open(album.Path()));
    EXPECT_EQ(kMultiTitle, screen().Title());
    // Seven entries (the folder named x.jpg too) on one page; the three
    // good snapshots show, and the one cut short in its picture data shows
    // its upper part, as image viewers show it; the rest stay empty cells.
    EXPECT_TRUE(screen().WaitForCellFilled(6, true, 5000));
    EXPECT_TRUE(screen().WaitForCellFilled(7, false, 5000));
    EXPECT_EQ(4, CellsShowingPictures(screen()));
    // Each entry alone, bad ones included, then back.
    for (int cell = 0; cell < 7; ++cell) {
        screen().DoubleClickCell(cell);
        EXPECT_TRUE(screen().WaitForTitleOtherThan(kMultiTitle, 5000)) << "cell " << cell;
        screen().Choose(ID_MULTI_SHOW);
        EXPECT_TRUE(screen().WaitForTitle(kMultiTitle, 5000)) << "cell " << cell;
    }
    EXPECT_TRUE(session.HostAlive());
    EXPECT_TRUE(session.ExitAndFinish());
    EXPECT_EQ(before, album.Names());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(contents[i], album.Read(before[i])) << before[i];
}

TEST_F(FieldFault, ASnapshotStillBeingWrittenShowsOnceItIsComplete)
{
    ASSERT_EQ(2u, album.CopySnapshots(2).size());
    std::string jpeg = ReadWholeFile(FirstSnapshot(".jpg"));
    // The recorder holds the new file open for writing and shares nothing.
    HANDLE writing = CreateFileA(album.PathOf("zz-new.jpg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writing);
    DWORD written = 0;
    WriteFile(writing, jpeg.data(), static_cast<DWORD>(jpeg.size() / 3), &written, nullptr);

    ASSERT_TRUE(session.Open(album.Path()));
    EXPECT_TRUE(screen().WaitForCellFilled(2, true, 5000));
    EXPECT_EQ(2, CellsShowingPictures(screen()));
    screen().Choose(ID_ALBUM_REFRESH);
    EXPECT_TRUE(session.HostAlive());

    WriteFile(writing, jpeg.data() + written, static_cast<DWORD>(jpeg.size() - written), &written, nullptr);
    CloseHandle(writing);
    screen().Choose(ID_ALBUM_REFRESH);
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(screen()) == 3; }, 5000));
    EXPECT_EQ(jpeg, album.Read("zz-new.jpg"));
}

TEST_F(FieldFault, FilesDeletedAndRenamedByAnotherProgramLeaveGapsUntilRefresh)
{
    std::vector<std::string> names = album.CopySnapshots(12);
    ASSERT_EQ(12u, names.size());
    ASSERT_TRUE(session.Open(album.Path()));
    ASSERT_TRUE(screen().WaitForCellFilled(3, false, 5000));   // page 9: three entries
    ASSERT_TRUE(screen().Press(ID_PAGE_FIRST));
    ASSERT_TRUE(screen().WaitForCellFilled(8, true, 5000));

    // Another program takes three files away while the page shows them.
    ASSERT_TRUE(DeleteFileA(album.PathOf(names[0]).c_str()));
    ASSERT_TRUE(DeleteFileA(album.PathOf(names[5]).c_str()));
    ASSERT_TRUE(MoveFileA(album.PathOf(names[7]).c_str(), album.PathOf("moved-away.txt").c_str()));
    InvalidateRect(screen().View(), nullptr, TRUE);
    ASSERT_TRUE(screen().Press(ID_PAGE_NEXT));
    ASSERT_TRUE(screen().Press(ID_PAGE_FIRST));
    // Which entries of the first page the three were depends on the
    // listing order; at least the page paints without them.
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(screen()) >= 6; }, 5000));
    EXPECT_TRUE(session.HostAlive());

    // Refresh: nine pictures left, one full page, nothing to page to.
    screen().Choose(ID_ALBUM_REFRESH);
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(screen()) == 9; }, 5000));
    EXPECT_TRUE(screen().WaitForButton(ID_PAGE_PREV, false, 5000));
    EXPECT_FALSE(screen().ButtonEnabled(ID_PAGE_NEXT));
    EXPECT_TRUE(album.Exists("moved-away.txt"));
}

TEST_F(FieldFault, TheAlbumFolderEmptiedAndRemovedWhileOpenGivesAnEmptyAlbum)
{
    ASSERT_EQ(5u, album.CopySnapshots(5).size());
    ASSERT_TRUE(session.Open(album.Path()));
    ASSERT_TRUE(screen().WaitForCellFilled(4, true, 5000));
    // The folder is the browser's current directory, which the system may
    // keep from being removed; everything in it goes.
    RemoveTree(album.Path());
    ASSERT_TRUE(FilesIn(album.Path()).empty());
    screen().Choose(ID_ALBUM_REFRESH);
    EXPECT_TRUE(screen().WaitForButton(ID_AUTO_SHOW, false, 5000));
    EXPECT_FALSE(screen().ButtonEnabled(ID_IMAGE_DELETE));
    EXPECT_FALSE(screen().ButtonEnabled(ID_FILE_SAVE_AS));
    InvalidateRect(screen().View(), nullptr, TRUE);
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(screen()) == 0; }, 5000));
    EXPECT_EQ(kMultiTitle, screen().Title());
    EXPECT_TRUE(session.HostAlive());
}

TEST_F(FieldFault, AReadOnlySnapshotIsNotDeletedAndTheOperatorIsTold)
{
    std::vector<std::string> names = album.CopySnapshots(3);
    ASSERT_EQ(3u, names.size());
    for (const std::string& name : names)
        SetFileAttributesA(album.PathOf(name).c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(session.Open(album.Path()));
    std::string told;
    ModalDriver dialogs(screen().Thread());
    dialogs.OnDialog([](HWND question) { modal::Press(question, IDYES); });
    dialogs.OnDialog([&](HWND box) {
        told = modal::MessageText(box);
        modal::Press(box, IDOK);
    });
    dialogs.Start();
    screen().Choose(ID_IMAGE_DELETE);
    dialogs.Finish();
    EXPECT_EQ(2, dialogs.StepsDone());
    EXPECT_FALSE(told.empty());
    EXPECT_EQ(3u, album.Names().size());
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(screen()) == 3; }, 5000));
}

TEST_F(FieldFault, APathOf259CharactersAndANameOf250CharactersAreShown)
{
    std::string jpeg = FirstSnapshot(".jpg");
    // A folder whose snapshot's full path is 259 characters long.
    std::string folder = album.Path() + "\\";
    std::string name = "deep.jpg";
    folder += std::string(259 - folder.size() - 1 - name.size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder.size();
    std::string longPath = folder + "\\" + name;
    ASSERT_EQ(259u, longPath.size());
    ASSERT_TRUE(CopyFileA(jpeg.c_str(), longPath.c_str(), FALSE));
    // And a name of 250 characters in a short folder.
    AlbumFolder shortFolder("n", "C:");   // C:\nNNNNN\ and 250 characters: 259 at most
    std::string longName = std::string(246, 'n') + ".jpg";
    ASSERT_TRUE(shortFolder.CopyIn(jpeg, longName));

    ASSERT_TRUE(session.Open(folder));
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(screen()) == 1; }, 5000));
    screen().DoubleClickCell(0);
    EXPECT_TRUE(screen().WaitForTitle(longPath, 5000)) << screen().Title();
    ASSERT_TRUE(session.ExitAndFinish());

    OperatorSession second;
    ASSERT_TRUE(second.Open(shortFolder.Path()));
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(second.Screen()) == 1; }, 5000));
    second.Screen().DoubleClickCell(0);
    EXPECT_TRUE(second.Screen().WaitForTitle(shortFolder.PathOf(longName), 5000)) << second.Screen().Title();
    EXPECT_TRUE(second.ExitAndFinish());
    EXPECT_TRUE(shortFolder.Exists(longName));
}

// An album of many names, all copies of one small snapshot: SNAP_LOAD_NAMES
// of them (2,000 unless set, which pages to its end in seconds under the
// heap validation; the soak run asks for 100,000).
TEST(AlbumLoad, ManyNamesPageToTheEndAndDeleteTheLastOne)
{
    const char* wanted = std::getenv("SNAP_LOAD_NAMES");
    int count = wanted != nullptr ? std::atoi(wanted) : 2000;
    std::string source = FirstSnapshot(".gif");
    std::string bytes = ReadWholeFile(source);
    ASSERT_FALSE(bytes.empty());
    AlbumFolder album("load");
    char name[32];
    for (int i = 0; i < count; ++i) {
        wsprintfA(name, "s%06d.gif", i);
        ASSERT_TRUE(album.Write(name, bytes)) << name;
    }
    OperatorSession session;
    ASSERT_TRUE(session.Open(album.Path()));
    BrowserScreen& screen = session.Screen();
    int onLastPage = count % 9 == 0 ? 9 : count % 9;
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(screen) == onLastPage; }, 10000));
    ASSERT_TRUE(screen.Press(ID_PAGE_FIRST));
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(screen) == 9; }, 10000));
    ASSERT_TRUE(screen.Press(ID_PAGE_NEXT));
    EXPECT_TRUE(screen.WaitForButton(ID_PAGE_PREV, true, 5000));
    ASSERT_TRUE(screen.Press(ID_PAGE_LAST));
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(screen) == onLastPage; }, 10000));

    // Delete the first picture of the last page.
    ModalDriver dialogs(screen.Thread());
    dialogs.OnDialog([](HWND question) { modal::Press(question, IDYES); });
    dialogs.Start();
    screen.Choose(ID_IMAGE_DELETE);
    dialogs.Finish();
    EXPECT_EQ(1, dialogs.StepsDone());
    int left = count - 1;
    int onNewLastPage = left % 9 == 0 ? 9 : left % 9;
    EXPECT_TRUE(WaitUntil([&] { return CellsShowingPictures(screen) == onNewLastPage; }, 10000));
    EXPECT_EQ(static_cast<size_t>(left), FilesIn(album.Path()).size());
    EXPECT_TRUE(session.ExitAndFinish());
}

}  // namespace
