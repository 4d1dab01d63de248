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

std::string FirstSnapshot(const char* extension)
{
    const std::vector<std::string> paths = SampleSnapshots(extension);
    return paths.empty() ? "" : paths.front();
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
    EXPECT_EQ(4, screen().PicturesShown());
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
    EXPECT_EQ(2, screen().PicturesShown());
    screen().Choose(ID_ALBUM_REFRESH);
    EXPECT_TRUE(session.HostAlive());

    WriteFile(writing, jpeg.data() + written, static_cast<DWORD>(jpeg.size() - written), &written, nullptr);
    CloseHandle(writing);
    screen().Choose(ID_ALBUM_REFRESH);
    EXPECT_TRUE(WaitUntil([&] { return screen().PicturesShown() == 3; }, 5000));
    EXPECT_EQ(jpeg, album.Read("zz-new.jpg"));
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
    EXPECT_TRUE(WaitUntil([&] { return screen().PicturesShown() == 0; }, 5000));
    EXPECT_EQ(kMultiTitle, screen().Title());
    EXPECT_TRUE(session.HostAlive());
}

// The longest path the host may pass, 259 characters, to the snapshot
// alone. (A name of 250 characters is DeleteTest's.)
TEST_F(FieldFault, APathOf259CharactersIsShown)
{
    std::string folder = album.Path() + "\\";
    std::string name = "deep.jpg";
    folder += std::string(259 - folder.size() - 1 - name.size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder.size();
    std::string longPath = folder + "\\" + name;
    ASSERT_EQ(259u, longPath.size());
    ASSERT_TRUE(CopyFileA(FirstSnapshot(".jpg").c_str(), longPath.c_str(), FALSE));

    ASSERT_TRUE(session.Open(folder));
    EXPECT_TRUE(WaitUntil([&] { return screen().PicturesShown() == 1; }, 5000));
    screen().DoubleClickCell(0);
    EXPECT_TRUE(screen().WaitForTitle(longPath, 5000)) << screen().Title();
}

// An album of many names, all copies of one small snapshot: SNAP_LOAD_NAMES
// of them (2,000 unless set, which pages to its end in seconds under the
// heap validation; the soak run asks for 100,000).
TEST(AlbumLoad, ManyNamesPageToTheEndAndDeleteTheLastOne)
{
    const char* wanted = std::getenv("SNAP_LOAD_NAMES");
    const size_t count = wanted != nullptr ? std::strtoul(wanted, nullptr, 10) : 2000;
    std::string source = FirstSnapshot(".gif");
    std::string bytes = ReadWholeFile(source);
    ASSERT_FALSE(bytes.empty());
    AlbumFolder album("load");
    char name[32];
    for (size_t i = 0; i < count; ++i) {
        wsprintfA(name, "s%06u.gif", static_cast<unsigned>(i));
        ASSERT_TRUE(album.Write(name, bytes)) << name;
    }
    OperatorSession session;
    ASSERT_TRUE(session.Open(album.Path()));
    BrowserScreen& screen = session.Screen();
    EXPECT_TRUE(WaitUntil([&] { return screen.PicturesShown() == OnLastPage(count); }, 10000));
    ASSERT_TRUE(screen.Press(ID_PAGE_FIRST));
    EXPECT_TRUE(WaitUntil([&] { return screen.PicturesShown() == 9; }, 10000));
    ASSERT_TRUE(screen.Press(ID_PAGE_NEXT));
    EXPECT_TRUE(screen.WaitForButton(ID_PAGE_PREV, true, 5000));
    ASSERT_TRUE(screen.Press(ID_PAGE_LAST));
    EXPECT_TRUE(WaitUntil([&] { return screen.PicturesShown() == OnLastPage(count); }, 10000));

    // Delete the first picture of the last page.
    ModalDriver dialogs(screen.Thread());
    dialogs.OnDialog([](HWND question) { modal::Press(question, IDYES); });
    EXPECT_TRUE(screen.ChooseWithDialogs(ID_IMAGE_DELETE, dialogs));
    EXPECT_TRUE(WaitUntil([&] { return screen.PicturesShown() == OnLastPage(count - 1); }, 10000));
    EXPECT_EQ(count - 1, FilesIn(album.Path()).size());
    EXPECT_TRUE(session.ExitAndFinish());
}

}  // namespace
