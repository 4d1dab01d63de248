// An operator's day with the real host, browser and picture library: the
// host opens the browser on an album folder, the operator drives it only by
// menu choices, toolbar buttons, clicks and dialog controls, and each step
// is checked by what the screen shows and what the disk holds. The rules
// of each step are the album tests' (tests/album); here the browser runs
// in its own thread inside the host, with its dialogs there too.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/operator/AlbumFolder.h"
#include "tests/operator/BrowserScreen.h"
#include "tests/operator/OperatorSession.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Today.h"

namespace {

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

std::string NameOf(const std::string& path)
{
    return path.substr(path.find_last_of('\\') + 1);
}

// Twenty snapshots of all six formats: pages at 0, 9 and 18, the last page
// holding two pictures, the browser opening on it.
TEST(OperatorDay, PagesShowsAPictureAloneAndSavesRenamesAndDeletesIt)
{
    AlbumFolder album("opday"), elsewhere("opsave");
    const std::vector<std::string> names = album.CopySnapshots(20);
    ASSERT_EQ(20u, names.size()) << "the sample archive has no day folder with 20 snapshots";
    OperatorSession session;
    ASSERT_TRUE(session.Open(album.Path())) << "the browser did not show";
    BrowserScreen& screen = session.Screen();
    EXPECT_TRUE(screen.WaitForCellFill(0, kSelectedCellFill, 5000));
    EXPECT_TRUE(WaitUntil([&] { return screen.PicturesShown() == 2; }, 5000));
    ASSERT_TRUE(screen.Press(ID_PAGE_FIRST));
    EXPECT_TRUE(WaitUntil([&] { return screen.PicturesShown() == 9; }, 5000)) << screen.Describe(8);
    ASSERT_TRUE(screen.Press(ID_PAGE_LAST));
    EXPECT_TRUE(WaitUntil([&] { return screen.PicturesShown() == 2; }, 5000));

    // The last picture alone, the one before it and back, by the toolbar.
    screen.DoubleClickCell(1);
    ASSERT_TRUE(screen.WaitForTitleOtherThan(kMultiTitle, 5000));
    const std::string last = screen.Title();
    EXPECT_STRCASEEQ(album.Path().c_str(), FolderOf(last).c_str());
    ASSERT_TRUE(screen.Press(ID_PAGE_PREV));
    EXPECT_TRUE(screen.WaitForTitleOtherThan(last, 5000));
    ASSERT_TRUE(screen.Press(ID_PAGE_NEXT));
    EXPECT_TRUE(screen.WaitForTitle(last, 5000));
    ASSERT_TRUE(screen.Press(ID_MULTI_SHOW));
    ASSERT_TRUE(screen.WaitForTitle(kMultiTitle, 5000));
    ASSERT_TRUE(screen.WaitForCellFill(1, kSelectedCellFill, 5000));

    // Saved as GIF into another folder through the system's save dialog.
    ModalDriver save(screen.Thread());
    save.OnDialog([&](HWND dialog) {
        modal::ChooseSaveType(dialog, 3);   // GIF
        modal::SetSaveName(dialog, elsewhere.PathOf("evening.bmp"));
        modal::Press(dialog, IDOK);
    });
    EXPECT_TRUE(screen.ChooseWithDialogs(ID_FILE_SAVE_AS, save));
    // The file shows under its name as soon as it is created, before its
    // bytes are written: wait for its header, not for its name.
    ASSERT_TRUE(WaitUntil([&] { return elsewhere.Read("evening.GIF").size() >= 4; }, 5000));
    EXPECT_EQ("GIF8", elsewhere.Read("evening.GIF").substr(0, 4));
    EXPECT_EQ(1u, elsewhere.Names().size());
    EXPECT_EQ(names, album.Names());

    // Renamed in place: the dialog offered the file's stem, and the file
    // keeps its extension under the new stem, shown alone by its new path.
    std::string offered;
    ModalDriver rename(screen.Thread());
    rename.OnDialog([&](HWND dialog) {
        offered = ControlTextOf(dialog, IDC_NEW_NAME);
        modal::SetControlText(dialog, IDC_NEW_NAME, "gate-evening");
        modal::Press(dialog, IDOK);
    });
    ASSERT_TRUE(screen.ChooseWithDialogs(ID_IMAGE_RENAME, rename));
    const std::string renamed = NameOf(last);
    EXPECT_STRCASEEQ(renamed.substr(0, renamed.size() - 4).c_str(), offered.c_str());
    const std::string newName = "gate-evening" + renamed.substr(renamed.size() - 4);
    EXPECT_TRUE(WaitUntil([&] { return album.Exists(newName); }, 5000));
    EXPECT_FALSE(album.Exists(renamed));
    screen.DoubleClickCell(1);
    EXPECT_TRUE(screen.WaitForTitle(album.PathOf(newName), 5000)) << screen.Title();
    ASSERT_TRUE(screen.Press(ID_MULTI_SHOW));
    ASSERT_TRUE(screen.WaitForTitle(kMultiTitle, 5000));

    // Deleted after the question naming it; the last page shrinks.
    std::string question;
    ModalDriver remove(screen.Thread());
    remove.OnDialog([&](HWND box) {
        question = modal::MessageText(box);
        modal::Press(box, IDYES);
    });
    ASSERT_TRUE(screen.ChooseWithDialogs(ID_IMAGE_DELETE, remove));
    EXPECT_NE(std::string::npos, question.find(newName)) << question;
    EXPECT_TRUE(WaitUntil([&] { return !album.Exists(newName); }, 5000));
    EXPECT_EQ(19u, album.Names().size());
    EXPECT_TRUE(screen.WaitForCellFilled(1, false, 5000));
    EXPECT_TRUE(WaitUntil([&] { return screen.CellShowsPicture(0); }, 5000));

    EXPECT_TRUE(session.ExitAndFinish());
    EXPECT_EQ(0, VisibleWindowsOf(GetProcessId(session.Host().Handle())));
}

TEST(OperatorOpens, TodaysFolderOfTheDefaultSettings)
{
    // The host names the folder by the date when it opens the browser.
    const std::string today = SampleDayFolder(TodayForTheNext(120), 1);
    std::vector<std::string> files = FilesIn(today);
    ASSERT_FALSE(files.empty()) << "the sample archive has no folder " << today;
    OperatorSession session;
    ASSERT_TRUE(session.Open(""));
    EXPECT_EQ(kMultiTitle, session.Screen().Title());
    EXPECT_TRUE(session.Screen().WaitForCellFill(0, kSelectedCellFill, 5000));
    EXPECT_TRUE(WaitUntil([&] { return session.Screen().PicturesShown() == OnLastPage(files.size()); }, 5000));
    session.Screen().DoubleClickCell(0);
    ASSERT_TRUE(session.Screen().WaitForTitleOtherThan(kMultiTitle, 5000));
    EXPECT_STRCASEEQ(today.c_str(), FolderOf(session.Screen().Title()).c_str());
    EXPECT_TRUE(session.ExitAndFinish());
    EXPECT_EQ(files, FilesIn(today));
}

}  // namespace
