// An operator's day with the real host, browser and picture library: each
// scenario opens the browser through SnapHost.exe on an album folder of its
// own, drives it only by menu choices, toolbar buttons, clicks and dialog
// controls, and checks what the screen shows and what the disk holds.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/operator/AlbumFolder.h"
#include "tests/operator/BrowserScreen.h"
#include "tests/operator/OperatorSession.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Today.h"

namespace {

const char kMultiTitle[] = "Image browse";

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return s;
}

// The text of a control of the host's dialog, asked of the control itself.
std::string TextOf(HWND dialog, int id)
{
    char text[512] = "";
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string NameOf(const std::string& path)
{
    return path.substr(path.find_last_of('\\') + 1);
}

bool Contains(const std::vector<std::string>& names, const std::string& name)
{
    for (const std::string& n : names)
        if (Lower(n) == Lower(name))
            return true;
    return false;
}

// Twenty snapshots of all six formats: pages at 0, 9 and 18, the last page
// holding two pictures.
class OperatorDay : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(album.Path().empty());
        names = album.CopySnapshots(20);
        ASSERT_EQ(20u, names.size()) << "the sample archive has no day folder with 20 snapshots";
        ASSERT_TRUE(session.Open(album.Path())) << "the browser did not show";
    }

    void TearDown() override
    {
        if (session.HostAlive()) {
            EXPECT_TRUE(session.ExitAndFinish()) << "leaving by E&xit failed";
        }
        EXPECT_EQ(0, VisibleWindowsOf(GetProcessId(session.Host().Handle())));
    }

    BrowserScreen& screen() { return session.Screen(); }

    // The last page (18) holds pictures in cells 0 and 1 only.
    void ExpectLastPage()
    {
        EXPECT_TRUE(screen().WaitForCellFilled(1, true, 5000));
        EXPECT_TRUE(screen().WaitForCellFilled(2, false, 5000));
        EXPECT_TRUE(screen().WaitForCellFilled(8, false, 5000));
    }
    void ExpectFullPage() { EXPECT_TRUE(screen().WaitForCellFilled(8, true, 5000)); }

    AlbumFolder album{"opday"};
    std::vector<std::string> names;
    OperatorSession session;
};

TEST_F(OperatorDay, OpensOnTheLastPageWithItsFirstCellSelected)
{
    EXPECT_EQ(kMultiTitle, screen().Title());
    ExpectLastPage();
    EXPECT_TRUE(screen().WaitForCellFill(0, kSelectedCellFill, 5000));
    EXPECT_TRUE(screen().WaitForCellFill(1, kCellFill, 5000));
    EXPECT_TRUE(screen().CellShowsPicture(0)) << screen().Describe(0);
    EXPECT_TRUE(screen().CellShowsPicture(1)) << screen().Describe(1);
    EXPECT_TRUE(screen().ButtonEnabled(ID_PAGE_FIRST));
    EXPECT_TRUE(screen().ButtonEnabled(ID_PAGE_PREV));
    EXPECT_FALSE(screen().ButtonEnabled(ID_PAGE_NEXT));
    EXPECT_FALSE(screen().ButtonEnabled(ID_PAGE_LAST));
    EXPECT_FALSE(screen().ButtonEnabled(ID_MULTI_SHOW));
    EXPECT_TRUE(screen().ButtonEnabled(ID_FILE_OPEN));
}

TEST_F(OperatorDay, PagesToTheFirstPageAndBackWithTheToolbar)
{
    ASSERT_TRUE(screen().Press(ID_PAGE_FIRST));
    ExpectFullPage();
    EXPECT_TRUE(screen().WaitForButton(ID_PAGE_PREV, false, 5000));
    EXPECT_FALSE(screen().ButtonEnabled(ID_PAGE_FIRST));
    EXPECT_TRUE(screen().ButtonEnabled(ID_PAGE_NEXT));
    for (int cell = 0; cell < 9; ++cell)
        EXPECT_TRUE(screen().CellShowsPicture(cell)) << "cell " << cell;

    ASSERT_TRUE(screen().Press(ID_PAGE_NEXT));
    EXPECT_TRUE(screen().WaitForButton(ID_PAGE_PREV, true, 5000));
    ExpectFullPage();
    ASSERT_TRUE(screen().Press(ID_PAGE_LAST));
    ExpectLastPage();
    EXPECT_TRUE(screen().WaitForButton(ID_PAGE_NEXT, false, 5000));
    ASSERT_TRUE(screen().Press(ID_PAGE_PREV));
    ExpectFullPage();
}

TEST_F(OperatorDay, OpensAPictureAloneStepsThroughItAndReturns)
{
    screen().DoubleClickCell(1);   // entry 19, the last one
    ASSERT_TRUE(screen().WaitForTitleOtherThan(kMultiTitle, 5000));
    std::string last = screen().Title();
    EXPECT_EQ(Lower(album.Path()), Lower(last.substr(0, last.find_last_of('\\'))));
    EXPECT_TRUE(Contains(names, NameOf(last))) << last;
    EXPECT_TRUE(screen().WaitForButton(ID_MULTI_SHOW, true, 5000));
    EXPECT_FALSE(screen().ButtonEnabled(ID_PAGE_NEXT));
    EXPECT_FALSE(screen().ButtonEnabled(ID_FILE_OPEN));

    ASSERT_TRUE(screen().Press(ID_PAGE_PREV));
    ASSERT_TRUE(screen().WaitForTitleOtherThan(last, 5000));
    std::string previous = screen().Title();
    EXPECT_TRUE(Contains(names, NameOf(previous))) << previous;
    ASSERT_TRUE(screen().Press(ID_PAGE_NEXT));
    EXPECT_TRUE(screen().WaitForTitle(last, 5000));

    // The right button offers the picture's popup menu; Escape closes it.
    ModalDriver menu(screen().Thread());
    bool sawMenu = false;
    menu.OnMenu([&](HWND wnd) {
        sawMenu = modal::MenuOf(wnd) != nullptr || IsWindowVisible(wnd);
        modal::TypeKey(wnd, VK_ESCAPE);
    });
    menu.Start();
    screen().RightClickCentre();
    menu.Finish();
    EXPECT_TRUE(sawMenu);
    EXPECT_TRUE(menu.Unexpected().empty());

    ASSERT_TRUE(screen().Press(ID_MULTI_SHOW));
    ASSERT_TRUE(screen().WaitForTitle(kMultiTitle, 5000));
    ExpectLastPage();
    EXPECT_TRUE(screen().WaitForCellFill(1, kSelectedCellFill, 5000));
    EXPECT_TRUE(screen().WaitForCellFill(0, kCellFill, 5000));
}

TEST_F(OperatorDay, SavesTheSelectedPictureAsGifIntoAnotherFolder)
{
    AlbumFolder elsewhere("opsave");
    screen().ClickCell(1);
    ASSERT_TRUE(screen().WaitForCellFill(1, kSelectedCellFill, 5000));
    std::string target = elsewhere.PathOf("evening");
    ModalDriver dialogs(screen().Thread());
    dialogs.OnDialog([&](HWND dialog) {
        modal::ChooseSaveType(dialog, 3);   // GIF
        modal::SetSaveName(dialog, target + ".bmp");
        modal::Press(dialog, IDOK);
    });
    dialogs.Start();
    screen().Choose(ID_FILE_SAVE_AS);
    dialogs.Finish();
    EXPECT_EQ(1, dialogs.StepsDone());
    EXPECT_TRUE(dialogs.Unexpected().empty()) << dialogs.Unexpected().front();

    ASSERT_TRUE(WaitUntil([&] { return elsewhere.Exists("evening.GIF"); }, 5000));
    EXPECT_EQ("GIF8", elsewhere.Read("evening.GIF").substr(0, 4));
    EXPECT_EQ(1u, elsewhere.Names().size());
    EXPECT_EQ(names, album.Names());   // nothing added to the album folder
}

TEST_F(OperatorDay, RenamesTheSelectedPictureInPlace)
{
    screen().ClickCell(1);
    ASSERT_TRUE(screen().WaitForCellFill(1, kSelectedCellFill, 5000));
    std::string offered;
    ModalDriver dialogs(screen().Thread());
    dialogs.OnDialog([&](HWND dialog) {
        offered = TextOf(dialog, IDC_NEW_NAME);
        modal::SetControlText(dialog, IDC_NEW_NAME, "gate-evening");
        modal::Press(dialog, IDOK);
    });
    dialogs.Start();
    screen().Choose(ID_IMAGE_RENAME);
    dialogs.Finish();
    ASSERT_EQ(1, dialogs.StepsDone());

    // The dialog offered the stem of one of the album's files; that file
    // now carries the new stem with its old extension.
    std::string renamed;
    for (const std::string& name : names)
        if (Lower(name.substr(0, name.size() - 4)) == Lower(offered))
            renamed = name;
    ASSERT_FALSE(renamed.empty()) << "offered " << offered;
    std::string newName = "gate-evening" + renamed.substr(renamed.size() - 4);
    EXPECT_TRUE(WaitUntil([&] { return album.Exists(newName); }, 5000));
    EXPECT_FALSE(album.Exists(renamed));
    EXPECT_EQ(names.size(), album.Names().size());

    // Alone, the picture shows under its new path.
    screen().DoubleClickCell(1);
    EXPECT_TRUE(screen().WaitForTitle(album.PathOf(newName), 5000)) << screen().Title();
}

TEST_F(OperatorDay, DeletesTheSelectedPictureAfterAskingAndTheLastPageShrinks)
{
    screen().ClickCell(1);
    ASSERT_TRUE(screen().WaitForCellFill(1, kSelectedCellFill, 5000));
    std::string question;
    ModalDriver dialogs(screen().Thread());
    dialogs.OnDialog([&](HWND box) {
        question = modal::MessageText(box);
        modal::Press(box, IDYES);
    });
    dialogs.Start();
    screen().Choose(ID_IMAGE_DELETE);
    dialogs.Finish();
    ASSERT_EQ(1, dialogs.StepsDone());

    std::vector<std::string> left = album.Names();
    ASSERT_EQ(names.size() - 1, left.size());
    std::string deleted;
    for (const std::string& name : names)
        if (!Contains(left, name))
            deleted = name;
    EXPECT_NE(std::string::npos, question.find(deleted)) << question;
    EXPECT_TRUE(screen().WaitForCellFilled(1, false, 5000));
    EXPECT_TRUE(screen().CellShowsPicture(0));
}

TEST_F(OperatorDay, PreviewsAndPrintsThePage)
{
    ASSERT_TRUE(screen().Press(ID_FILE_PRINT_PREVIEW));
    HWND preview = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (preview = FindWindowA("FwPrintPreview", nullptr)) != nullptr; }, 10000));
    EXPECT_TRUE(IsWindowVisible(preview));
    SendMessageA(GetDlgItem(preview, 2), BM_CLICK, 0, 0);   // "Close"
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(preview); }, 5000));
    EXPECT_TRUE(screen().WaitForTitle(kMultiTitle, 5000));

    const std::string printed = "C:\\print.ps";
    std::string before = ReadWholeFile(printed);
    DeleteFileA(printed.c_str());
    ModalDriver dialogs(screen().Thread());
    dialogs.OnDialog([](HWND dialog) { modal::Press(dialog, IDOK); });
    dialogs.Start();
    ASSERT_TRUE(screen().Press(ID_FILE_PRINT));
    dialogs.Finish();
    EXPECT_EQ(1, dialogs.StepsDone());
    std::string page;
    EXPECT_TRUE(WaitUntil(
        [&] {
            page = ReadWholeFile(printed);
            return page.find("%%EOF") != std::string::npos;
        },
        15000));
    EXPECT_EQ("%!PS", page.substr(0, 4));
    EXPECT_NE(std::string::npos, page.find("showpage"));
    // The printer's file was there before; leave it as it was.
    if (before.empty())
        DeleteFileA(printed.c_str());
    else
        WriteWholeFile(printed, before);
}

TEST_F(OperatorDay, StartsAndStopsAutomaticBrowse)
{
    ASSERT_TRUE(screen().Press(ID_AUTO_SHOW));
    EXPECT_TRUE(WaitUntil([&] { return screen().ButtonChecked(ID_AUTO_SHOW); }, 5000));
    EXPECT_TRUE(screen().WaitForButton(ID_IMAGE_RENAME, false, 5000));
    EXPECT_FALSE(screen().ButtonEnabled(ID_IMAGE_DELETE));
    // From the last page the steps wrap to the first page, then go on to
    // the second and the last again.
    EXPECT_TRUE(screen().WaitForCellFilled(8, true, 4000));
    EXPECT_TRUE(screen().WaitForCellFilled(2, false, 6000));

    ASSERT_TRUE(screen().Press(ID_AUTO_SHOW));
    EXPECT_TRUE(WaitUntil([&] { return !screen().ButtonChecked(ID_AUTO_SHOW); }, 5000));
    EXPECT_TRUE(screen().WaitForButton(ID_IMAGE_RENAME, true, 5000));
    // Stopped: the page stays whatever it was when the button was pressed.
    bool lastPage = !screen().CellShowsPicture(8);
    Sleep(2500);
    EXPECT_EQ(lastPage, !screen().CellShowsPicture(8));
}

TEST(OperatorReturns, LeavesWithExitAndOpensAgain)
{
    AlbumFolder album("opagain");
    ASSERT_EQ(5u, album.CopySnapshots(5).size());
    OperatorSession session;
    ASSERT_TRUE(session.Open(album.Path(), "--open-count 2"));
    HWND first = session.Screen().Frame();
    session.Screen().Choose(ID_ALBUM_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }, 10000));
    ASSERT_TRUE(session.Screen().Attach(20000)) << "the second opening did not show";
    EXPECT_EQ(kMultiTitle, session.Screen().Title());
    EXPECT_TRUE(session.Screen().CellShowsPicture(4));
    EXPECT_TRUE(session.ExitAndFinish(2));
    EXPECT_EQ(5u, album.Names().size());
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
    int onLastPage = files.size() % 9 == 0 ? 9 : static_cast<int>(files.size() % 9);
    EXPECT_TRUE(session.Screen().WaitForCellFill(0, kSelectedCellFill, 5000));
    EXPECT_TRUE(session.Screen().CellShowsPicture(onLastPage - 1));
    if (onLastPage < 9) {
        EXPECT_TRUE(session.Screen().WaitForCellFilled(onLastPage, false, 5000));
    }
    session.Screen().DoubleClickCell(0);
    ASSERT_TRUE(session.Screen().WaitForTitleOtherThan(kMultiTitle, 5000));
    EXPECT_EQ(Lower(today), Lower(session.Screen().Title().substr(0, today.size())));
    EXPECT_TRUE(session.ExitAndFinish());
    EXPECT_EQ(files, FilesIn(today));
}

}  // namespace
