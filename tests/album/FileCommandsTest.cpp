// The file commands of the real view, driven through the real dialogs:
// save as with the system's save dialog, rename with its dialog, delete
// with its question, wallpaper and export into the Windows directory, and
// the popup menu of single mode. Pictures are real files; what was written
// is read back through the picture library.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "album/FileNameRules.h"
#include "ImageLoad.h"
#include "picture/Picture.h"
#include "res/resource.h"
#include "tests/album/AlbumViewFixture.h"
#include "tests/support/Canvas.h"
#include "tests/support/CellColours.h"
#include "tests/support/FolderWriter.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/WaitUntil.h"

namespace {

struct PictureFacts {
    bool loaded;
    int width, height, bits, fileType;
};

PictureFacts ReadBack(const std::string& path)
{
    CPicture picture;
    bool loaded = picture.Load(path.c_str(), nullptr, -1, -1) != 0;
    return {loaded, picture.GetWidth(), picture.GetHeight(), picture.GetBitCount(), FileType(path.c_str())};
}

std::string Wallpaper()
{
    char path[MAX_PATH] = "";
    SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof path, path, 0);
    return path;
}

std::string WindowsFile(const char* name)
{
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, sizeof folder);
    return std::string(folder) + name;
}

class FileCommandsTest : public AlbumViewFixture {
protected:
    void SetUp() override
    {
        AlbumViewFixture::SetUp();
        g_nSaveFilterIndex = 1;
    }

    void ClickCell(int k)
    {
        Click(CellCentre(k));
        browser.Pump();
    }
    void ShowCellAlone(int k)
    {
        DoubleClick(CellCentre(k));
        browser.Pump();
        ASSERT_EQ(1, View().m_bSingle);
    }

    // Runs a command with the driver working its dialogs; every scripted
    // window must have appeared and no other.
    void Run(UINT command, ModalDriver& driver)
    {
        driver.Start();
        browser.Command(command);
        driver.Finish();
        EXPECT_EQ(driver.StepCount(), driver.StepsDone()) << "not every scripted window appeared";
        for (const std::string& stray : driver.Unexpected())
            ADD_FAILURE() << "unexpected: " << stray;
    }

    // Save dialog step: type a name, choose a type, confirm.
    static ModalDriver::Action SaveAs(const std::string& name, int type)
    {
        return [name, type](HWND dlg) {
            modal::SetSaveName(dlg, name);
            modal::ChooseSaveType(dlg, type);
            modal::Press(dlg, IDOK);
        };
    }
    // Message box step: remember its text, answer.
    static ModalDriver::Action Answer(std::string* text, int button = IDOK)
    {
        return [text, button](HWND box) {
            *text = modal::MessageText(box);
            modal::Press(box, button);
        };
    }
    // Rename dialog step: remember what the field shows, type, confirm.
    static ModalDriver::Action Rename(std::string* shown, const std::string& typed)
    {
        return [shown, typed](HWND dlg) {
            *shown = modal::ControlText(dlg, IDC_NEW_NAME);
            modal::SetControlText(dlg, IDC_NEW_NAME, typed);
            modal::Press(dlg, IDOK);
        };
    }
    // Deletes the current picture answering the question with button.
    std::string Delete(int button = IDYES, std::string* error = nullptr)
    {
        std::string question;
        ModalDriver driver;
        driver.OnDialog(Answer(&question, button));
        if (error != nullptr)
            driver.OnDialog(Answer(error));
        Run(ID_IMAGE_DELETE, driver);
        return question;
    }
    std::string Path(int i) { return View().m_arrPaths[static_cast<size_t>(i)]; }

    TempFolder saveFolder;
};

// The type choice lives as long as the module: a reopened browser
// preselects it, also after a cancelled dialog.
TEST_F(FileCommandsTest, SaveAsRefusesJpegForEightBitsSavesTheBmpChosenNextAndPreselectsItWhenReopened)
{
    Picture("grey.bmp", 40, 30, 8);
    Open();
    std::string refusal;
    int firstShown = 0, shownAgain = 0;
    ModalDriver driver, reopened;
    driver.OnDialog([&](HWND dlg) {
        firstShown = modal::ShownSaveType(dlg);
        SaveAs(saveFolder.PathOf("snap"), PIC_SAVE_JPG)(dlg);
    });
    driver.OnDialog(Answer(&refusal)).OnDialog([](HWND dlg) {
        modal::ChooseSaveType(dlg, PIC_SAVE_BMP);
        modal::Press(dlg, IDOK);
    });
    Run(ID_FILE_SAVE_AS, driver);

    EXPECT_EQ(PIC_SAVE_JPG, firstShown);
    EXPECT_EQ("Can not to turn to JPEG format !!!", refusal);
    const std::string saved = saveFolder.PathOf("snap.BMP");
    PictureFacts facts = ReadBack(saved);
    EXPECT_TRUE(facts.loaded) << saved;
    EXPECT_EQ(IL_TYPE_BMP, facts.fileType);
    EXPECT_EQ(40, facts.width);
    EXPECT_EQ(30, facts.height);
    EXPECT_EQ(8, facts.bits);
    EXPECT_FALSE(FileExists(saveFolder.PathOf("snap.JPG")));
    EXPECT_EQ(saved, View().m_strSaveName);
    EXPECT_EQ(folder.Path(), CurrentDirectory());

    browser.Close();
    Open();
    reopened.OnDialog([&](HWND dlg) {
        shownAgain = modal::ShownSaveType(dlg);
        modal::Press(dlg, IDCANCEL);
    });
    Run(ID_FILE_SAVE_AS, reopened);
    EXPECT_EQ(PIC_SAVE_BMP, shownAgain);
    EXPECT_EQ(PIC_SAVE_BMP, g_nSaveFilterIndex);
}

// The picture is read right before it is written: the file chosen, not
// what painting in a modal loop left in the picture object.
TEST_F(FileCommandsTest, SaveAsAsksBeforeTheNewExtensionReplacesAnotherFileAndWritesThePictureChosenMeanwhile)
{
    for (int i = 0; i < 12; ++i)
        Picture("p" + std::to_string(i) + ".bmp", 10 + i, 20 + i);
    Open();
    const int chosenWidth = ReadBack(View().CurrentPath()).width;
    const std::string existing = saveFolder.Touch("x.GIF");
    std::string question, again;
    bool leftAlone = false;
    HWND view = browser.ViewWindow();
    ModalDriver driver;
    driver.OnDialog(SaveAs(saveFolder.PathOf("x.bmp"), PIC_SAVE_GIF)).OnDialog(Answer(&question, IDNO));
    driver.OnDialog([&](HWND dlg) {
        leftAlone = FileType(existing.c_str()) == IL_TYPE_UNKNOWN;
        SaveAs(saveFolder.PathOf("x.bmp"), PIC_SAVE_GIF)(dlg);
    });
    driver.OnDialog([&](HWND box) {
        // The question's loop runs an automatic-browse tick, which turns to
        // the first page, and paints the view; painting loads its picture.
        InvalidateRect(view, nullptr, TRUE);
        PostMessageA(view, WM_TIMER, ID_TIMER_AUTOSHOW, 0);
        WaitUntil([&] { return View().m_nCurrent == 0 && !GetUpdateRect(view, nullptr, FALSE); }, 10000);
        Answer(&again, IDYES)(box);
    });
    Run(ID_FILE_SAVE_AS, driver);
    EXPECT_EQ(existing + " already exists, replace it ?", question);
    EXPECT_EQ(question, again);
    EXPECT_TRUE(leftAlone) << "No leaves the file alone";
    EXPECT_EQ(0, View().m_nCurrent) << "the tick turned the page during the question";
    PictureFacts saved = ReadBack(existing);
    EXPECT_EQ(IL_TYPE_GIF, saved.fileType);
    EXPECT_EQ(chosenWidth, saved.width);
    EXPECT_NE(ReadBack(View().m_arrPaths[0]).width, saved.width);
}

TEST_F(FileCommandsTest, SaveAsTellsWhenThePictureCannotBeReadOrTheFileCannotBeWritten)
{
    folder.Touch("empty.bmp");
    Picture("gate.bmp", 33, 21);
    Open();
    std::string unread, question, unwritten;
    ModalDriver reading, writing;
    Run(ID_FILE_SAVE_AS, reading.OnDialog(SaveAs(saveFolder.PathOf("x"), PIC_SAVE_BMP)).OnDialog(Answer(&unread)));
    EXPECT_EQ("Can not to read image " + folder.PathOf("empty.bmp") + " !", unread);
    EXPECT_FALSE(FileExists(saveFolder.PathOf("x.BMP")));
    EXPECT_EQ(folder.Path(), CurrentDirectory());

    // A folder in the way of the target name: no file can take its place.
    ClickCell(1);
    const std::string blocked = saveFolder.MakeFolder("d.TGA");
    writing.OnDialog(SaveAs(saveFolder.PathOf("d"), PIC_SAVE_TGA)).OnDialog(Answer(&question, IDYES));
    Run(ID_FILE_SAVE_AS, writing.OnDialog(Answer(&unwritten)));
    EXPECT_EQ("Can not to write image " + blocked + " !", unwritten);
    EXPECT_NE(0u, GetFileAttributesA(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

// What the names may be, and where the renamed entry goes in the list, are
// rules tested natively (FileNameRulesTest, AlbumStateTest); here the dialog
// comes back after each refusal with the field as the operator left it.
TEST_F(FileCommandsTest, RenameRefusesABlankNameOneThatWouldLeaveTheFolderAndAnExistingOneThenRenamesOnce)
{
    folder.Touch("a.jpg");
    folder.Touch("b.jpg");
    const std::string sub = folder.MakeFolder("sub");
    Open();
    ASSERT_EQ(0, View().m_nCurrent);
    const std::string current = View().m_arrNames[0], other = View().m_arrNames[1];
    std::string shown, blank, shownBlank, separator, shownSeparator, exists, shownExisting;
    ModalDriver driver;
    driver.OnDialog(Rename(&shown, "")).OnDialog(Answer(&blank));
    driver.OnDialog(Rename(&shownBlank, "sub\\x")).OnDialog(Answer(&separator));
    driver.OnDialog(Rename(&shownSeparator, ListedStem(other))).OnDialog(Answer(&exists));
    driver.OnDialog(Rename(&shownExisting, "c"));
    Run(ID_IMAGE_RENAME, driver);

    EXPECT_EQ(ListedStem(current), shown) << "the dialog offers the stem";
    EXPECT_EQ("File name can not blank !", blank);
    EXPECT_EQ("", shownBlank);
    EXPECT_EQ("File name can not hold \\ / : * ? < > | or quotes !", separator);
    EXPECT_EQ("sub\\x", shownSeparator);
    EXPECT_EQ(std::strerror(EEXIST), exists);
    EXPECT_EQ(ListedStem(other), shownExisting);
    EXPECT_TRUE(FilesIn(sub).empty());
    EXPECT_TRUE(FileExists(folder.PathOf(other)) && FileExists(folder.PathOf("c.jpg")));
    EXPECT_EQ(2u, FilesIn(folder.Path()).size()) << "nothing left under the old name, no doubled extension";
    EXPECT_EQ((AlbumList{other, "c.jpg"}), View().m_arrNames);
}

// Where the album goes after a delete is a rule tested natively
// (AlbumStateTest); the question names the file whole.
TEST_F(FileCommandsTest, ALongNameIsAskedAboutWhole)
{
    TempFolder album("", "C:");     // a short path: with the name, 259 characters at most
    const std::string name = std::string(246, 'n') + ".jpg";
    ASSERT_TRUE(FileExists(album.Touch(name)));
    ASSERT_TRUE(browser.Open(album.Path(), host.Handle()));
    ASSERT_EQ(1, View().Count());
    ASSERT_EQ(250u, View().m_arrNames[0].size());
    EXPECT_EQ(DeleteQuestion(name), Delete());
    EXPECT_FALSE(FileExists(album.PathOf(name)));
    EXPECT_EQ(0, View().Count());
    browser.Close();
}

TEST_F(FileCommandsTest, NoKeepsTheFileAndAReadOnlyFileFailsWithTheErrorTextAndChangesNothing)
{
    OpenWith(3);
    ClickCell(1);
    const std::string path = Path(1);
    Delete(IDNO);
    EXPECT_TRUE(FileExists(path));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    std::string error;
    Delete(IDYES, &error);
    EXPECT_EQ(std::strerror(EACCES), error);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(3, View().Count());
    EXPECT_EQ(1, View().m_nCurrent);
    EXPECT_EQ(1, View().m_nCellSel);
    EXPECT_EQ(path, View().m_strCurrent);
}

// A command posted to the frame may move the album while a question is
// open: the answer acts on the file it asked about, and the list follows
// the files.
TEST_F(FileCommandsTest, RenameAndDeleteActOnTheFileAskedAboutThoughTheAlbumMovedMeanwhile)
{
    OpenWith(10);
    const std::string renamed = Path(9);
    auto pageBackThen = [this](ModalDriver::Action answer) {
        return [this, answer](HWND dialog) {
            PostMessageA(browser.Frame(), WM_COMMAND, ID_PAGE_PREV, 0);
            Sleep(200);
            answer(dialog);
        };
    };
    std::string shown, question;
    ModalDriver renaming, deleting;
    Run(ID_IMAGE_RENAME, renaming.OnDialog(pageBackThen(Rename(&shown, "door"))));
    EXPECT_FALSE(FileExists(renamed));
    EXPECT_TRUE(FileExists(folder.PathOf("door.jpg")));
    const std::string deleted = Path(View().m_nCurrent);
    Run(ID_IMAGE_DELETE, deleting.OnDialog(pageBackThen(Answer(&question, IDYES))));
    EXPECT_FALSE(FileExists(deleted));
    std::vector<std::string> listed(View().m_arrNames.begin(), View().m_arrNames.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(FilesIn(folder.Path()), listed);
    EXPECT_EQ(9u, listed.size());
}

// Another program removes the picture while its question is open: the list
// follows at once (the question's modal loop runs the album's messages),
// and the answer still acts on the file asked about, which is gone: the
// C runtime's error text, and nothing else leaves the list.
TEST_F(FileCommandsTest, AQuestionAboutAPictureAnotherProgramRemovedMeanwhileGivesTheErrorText)
{
    OpenWith(5);
    FolderWriter writer(folder.Path());
    // Waits, on the driver's thread, until the page shows one cell less.
    auto removedMeanwhile = [this, &writer](const std::string& name, int lastCell, ModalDriver::Action answer) {
        const CellRect rc = View().m_rcCell[lastCell];
        const POINT at = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        const HWND view = browser.ViewWindow();
        return [=, &writer](HWND dialog) {
            EXPECT_TRUE(writer.Remove(name));
            EXPECT_TRUE(WaitUntil([&] { return !IsCellFill(Canvas::OfClient(view).At(at.x, at.y)); }, 5000));
            answer(dialog);
        };
    };

    ClickCell(2);
    const std::string asked = View().CurrentName(), next = View().m_arrNames[3];
    std::string question, error;
    ModalDriver deleting;
    deleting.OnDialog(removedMeanwhile(asked, 4, Answer(&question, IDYES))).OnDialog(Answer(&error));
    Run(ID_IMAGE_DELETE, deleting);
    EXPECT_EQ(std::strerror(ENOENT), error);
    EXPECT_EQ(4, View().Count());
    EXPECT_EQ(next, View().CurrentName());

    ClickCell(1);
    const std::string renamed = View().CurrentName();
    std::string shown, renameError;
    ModalDriver renaming;
    renaming.OnDialog(removedMeanwhile(renamed, 3, Rename(&shown, "door"))).OnDialog(Answer(&renameError));
    renaming.OnDialog([](HWND dialog) { modal::Press(dialog, IDCANCEL); });
    Run(ID_IMAGE_RENAME, renaming);
    EXPECT_EQ(std::strerror(ENOENT), renameError);
    EXPECT_FALSE(FileExists(folder.PathOf("door.jpg")));
    std::vector<std::string> listed(View().m_arrNames.begin(), View().m_arrNames.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(FilesIn(folder.Path()), listed);
    EXPECT_EQ(3u, listed.size());
}

// Each command loads the current picture itself: painting left nothing
// loaded for the last filled cell, nor for a picture shown alone.
TEST_F(FileCommandsTest, WallpaperAndExportWriteTheCurrentPictureAndOnlyWallpaperPointsTheDesktopAtIt)
{
    struct Restore {
        const std::string wallpaper = Wallpaper();
        ~Restore()
        {
            DeleteFileA(WindowsFile("\\VELDO.BMP").c_str());
            DeleteFileA(WindowsFile("\\NEW.BMP").c_str());
            SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(wallpaper.c_str()), 0);
        }
    } restore;
    const std::string& before = restore.wallpaper;
    folder.Touch("a.bmp");  // empty: cannot be read
    Picture("b.bmp", 11, 12);
    Picture("c.bmp", 37, 23, 8);
    Open();
    std::string message;
    ModalDriver unreadable, wallpaper, exporting;
    Run(ID_SET_WALLPAPER, unreadable.OnDialog(Answer(&message)));
    EXPECT_EQ("Can not to read image " + folder.PathOf("a.bmp") + " !", message);
    EXPECT_FALSE(FileExists(WindowsFile("\\VELDO.BMP")));
    EXPECT_EQ(before, Wallpaper());

    ClickCell(2);
    Run(ID_SET_WALLPAPER, wallpaper);
    const std::string path = WindowsFile("\\VELDO.BMP");
    PictureFacts facts = ReadBack(path);
    EXPECT_TRUE(facts.loaded);
    EXPECT_EQ(IL_TYPE_BMP, facts.fileType);
    EXPECT_EQ(37, facts.width);
    EXPECT_EQ(8, facts.bits);
    EXPECT_EQ(path, Wallpaper());

    ShowCellAlone(1);
    Run(ID_EXPORT_NEW_BMP, exporting);
    facts = ReadBack(WindowsFile("\\NEW.BMP"));
    EXPECT_TRUE(facts.loaded);
    EXPECT_EQ(11, facts.width);
    EXPECT_EQ(12, facts.height);
    EXPECT_EQ(path, Wallpaper()) << "export leaves the wallpaper";
}

struct MenuSeen {
    int items = -1;
    UINT rename = 0, remove = 0, back = 0;
};

// Reads the popup menu, then chooses by the mnemonic or, without one,
// closes it.
ModalDriver::Action ReadMenu(MenuSeen* seen, char choose)
{
    return [seen, choose](HWND menuWindow) {
        HMENU menu = modal::MenuOf(menuWindow);
        seen->items = GetMenuItemCount(menu);
        seen->rename = GetMenuState(menu, ID_IMAGE_RENAME, MF_BYCOMMAND);
        seen->remove = GetMenuState(menu, ID_IMAGE_DELETE, MF_BYCOMMAND);
        seen->back = GetMenuState(menu, ID_MULTI_SHOW, MF_BYCOMMAND);
        if (choose != 0)
            modal::TypeChar(menuWindow, choose);
        else
            modal::TypeKey(menuWindow, VK_ESCAPE);
    };
}

// Which commands are enabled is a rule tested natively (AlbumStateTest);
// the popup menu follows it like the menu bar.
TEST_F(FileCommandsTest, OnlySingleModeOffersRenameDeleteAndTheWayBackGreyedWhileAutomaticBrowseRuns)
{
    folder.Touch("a.jpg");
    folder.Touch("b.jpg");
    Open();
    auto rightClick = [this] {
        SendMessageA(browser.ViewWindow(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 200));
        SendMessageA(browser.ViewWindow(), WM_RBUTTONUP, 0, MAKELPARAM(200, 200));
        browser.Pump();
    };
    ModalDriver none;   // any popup would be reported as unexpected
    none.Start();
    rightClick();
    none.Finish();
    EXPECT_TRUE(none.Unexpected().empty()) << "a menu in multi mode: " << none.Unexpected().front();

    ShowCellAlone(1);
    MenuSeen seen, browsing;
    ModalDriver driver;
    driver.OnMenu(ReadMenu(&seen, 'b')).OnMenu(ReadMenu(&browsing, 0));   // "&Back to browse", then Escape
    driver.Start();
    rightClick();
    EXPECT_EQ(0, View().m_bSingle) << "the chosen command reached the view";
    EXPECT_EQ(1, View().m_nCellSel);
    ShowCellAlone(0);
    browser.Command(ID_AUTO_SHOW);
    rightClick();
    browser.Command(ID_AUTO_SHOW);
    driver.Finish();
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_EQ(4, seen.items);
    EXPECT_EQ(0u, seen.rename & (MF_GRAYED | MF_DISABLED));
    EXPECT_EQ(0u, seen.remove & (MF_GRAYED | MF_DISABLED));
    EXPECT_EQ(0u, seen.back & (MF_GRAYED | MF_DISABLED));
    EXPECT_NE(0u, browsing.rename & MF_GRAYED);
    EXPECT_NE(0u, browsing.remove & MF_GRAYED);
    EXPECT_EQ(0u, browsing.back & MF_GRAYED);
    EXPECT_EQ(1, View().m_bSingle);
}

}  // namespace
