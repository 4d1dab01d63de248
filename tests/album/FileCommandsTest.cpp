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
#include "framework/Module.h"
#include "ImageLoad.h"
#include "picture/Picture.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestPictures.h"
#include "tests/support/WaitUntil.h"

namespace {

const COLORREF kBlue = RGB(0, 0, 255);

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

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FwInitModule(GetModuleHandleA(nullptr));
        g_nSaveFilterIndex = 1;
    }

    std::string Picture(const std::string& name, int w, int h, int bits = 24)
    {
        std::string path = folder.Path() + "\\" + name;
        EXPECT_TRUE(WriteSolidBmp(path, w, h, bits, kBlue)) << path;
        return path;
    }
    void Open() { ASSERT_TRUE(browser.Open(folder.Path(), host.Handle())); }
    CAlbumView& View() { return *browser.View(); }

    LPARAM CellCentre(int k)
    {
        browser.Pump();
        const CellRect& rc = View().m_rcCell[k];
        return MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    void ClickCell(int k)
    {
        LPARAM at = CellCentre(k);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONUP, 0, at);
        browser.Pump();
    }
    void ShowCellAlone(int k)
    {
        LPARAM at = CellCentre(k);
        ClickCell(k);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONUP, 0, at);
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
    static ModalDriver::Action Cancel(std::string* shown = nullptr)
    {
        return [shown](HWND dlg) {
            if (shown != nullptr)
                *shown = modal::ControlText(dlg, IDC_NEW_NAME);
            modal::Press(dlg, IDCANCEL);
        };
    }

    TempFolder folder;
    TempFolder saveFolder;
    HostWindow host;
    BrowserOnThisThread browser;
};

// ---------------------------------------------------------------- save as

TEST_F(FileCommandsTest, SaveAsRefusesJpegForEightBitsThenSavesTheBmpChosenNext)
{
    Picture("grey.bmp", 40, 30, 8);
    Open();
    std::string refusal;
    ModalDriver driver;
    driver.OnDialog(SaveAs(saveFolder.Path() + "\\snap", PIC_SAVE_JPG))
        .OnDialog(Answer(&refusal))
        .OnDialog([](HWND dlg) {
            modal::ChooseSaveType(dlg, PIC_SAVE_BMP);
            modal::Press(dlg, IDOK);
        });
    Run(ID_FILE_SAVE_AS, driver);

    EXPECT_EQ("Can not to turn to JPEG format !!!", refusal);
    std::string saved = saveFolder.Path() + "\\snap.BMP";
    PictureFacts facts = ReadBack(saved);
    EXPECT_TRUE(facts.loaded) << saved;
    EXPECT_EQ(IL_TYPE_BMP, facts.fileType);
    EXPECT_EQ(40, facts.width);
    EXPECT_EQ(30, facts.height);
    EXPECT_EQ(8, facts.bits);
    EXPECT_FALSE(FileExists(saveFolder.Path() + "\\snap.JPG"));
    EXPECT_EQ(saved, View().m_strSaveName);
    EXPECT_EQ(PIC_SAVE_BMP, g_nSaveFilterIndex);
    EXPECT_EQ(folder.Path(), CurrentDirectory());
}

TEST_F(FileCommandsTest, SaveAsRestoresTheAlbumFolderAndAddsNothingToTheList)
{
    Picture("gate.bmp", 33, 21);
    Open();
    ModalDriver driver;
    driver.OnDialog(SaveAs(folder.Path() + "\\copy", PIC_SAVE_BMP));
    Run(ID_FILE_SAVE_AS, driver);
    EXPECT_TRUE(FileExists(folder.Path() + "\\copy.BMP"));
    EXPECT_EQ(folder.Path(), CurrentDirectory());
    EXPECT_EQ(1, View().Count()) << "the saved file is not listed until a refresh";

    ModalDriver elsewhere;
    elsewhere.OnDialog(SaveAs(saveFolder.Path() + "\\far", PIC_SAVE_GIF));
    Run(ID_FILE_SAVE_AS, elsewhere);
    EXPECT_EQ(IL_TYPE_GIF, ReadBack(saveFolder.Path() + "\\far.GIF").fileType);
    EXPECT_EQ(folder.Path(), CurrentDirectory());
    browser.Command(ID_ALBUM_REFRESH);
    EXPECT_EQ(2, View().Count()) << "a refresh lists the album folder";
}

TEST_F(FileCommandsTest, TheTypeChoiceIsRememberedAcrossClosingAndReopening)
{
    Picture("gate.bmp", 33, 21);
    Open();
    int firstShown = 0;
    {
        ModalDriver driver;
        driver.OnDialog([&](HWND dlg) {
            firstShown = modal::ShownSaveType(dlg);
            SaveAs(saveFolder.Path() + "\\s", PIC_SAVE_PCX)(dlg);
        });
        Run(ID_FILE_SAVE_AS, driver);
    }
    EXPECT_EQ(PIC_SAVE_JPG, firstShown);
    EXPECT_EQ(IL_TYPE_PCX, ReadBack(saveFolder.Path() + "\\s.PCX").fileType);
    browser.Close();
    Open();
    int shownAgain = 0;
    {
        ModalDriver driver;
        driver.OnDialog([&](HWND dlg) {
            shownAgain = modal::ShownSaveType(dlg);
            modal::Press(dlg, IDCANCEL);
        });
        Run(ID_FILE_SAVE_AS, driver);
    }
    EXPECT_EQ(PIC_SAVE_PCX, shownAgain);
    EXPECT_EQ(PIC_SAVE_PCX, g_nSaveFilterIndex) << "a cancelled dialog keeps the choice";
}

TEST_F(FileCommandsTest, SaveAsWritesTheShownPictureInSingleModeAndForTheLastCell)
{
    Picture("a.bmp", 11, 12);
    Picture("b.bmp", 21, 22);
    Picture("c.bmp", 31, 32);
    Open();
    // The last filled cell: painting leaves nothing loaded for it.
    ClickCell(2);
    ASSERT_EQ(2, View().m_nCurrent);
    {
        ModalDriver driver;
        driver.OnDialog(SaveAs(saveFolder.Path() + "\\last", PIC_SAVE_BMP));
        Run(ID_FILE_SAVE_AS, driver);
    }
    PictureFacts last = ReadBack(saveFolder.Path() + "\\last.BMP");
    EXPECT_TRUE(last.loaded);
    EXPECT_EQ(31, last.width);
    // Single mode: painting frees the picture after drawing it.
    ShowCellAlone(1);
    browser.Pump();
    {
        ModalDriver driver;
        driver.OnDialog(SaveAs(saveFolder.Path() + "\\single", PIC_SAVE_TGA));
        Run(ID_FILE_SAVE_AS, driver);
    }
    PictureFacts single = ReadBack(saveFolder.Path() + "\\single.TGA");
    EXPECT_TRUE(single.loaded);
    EXPECT_EQ(IL_TYPE_TGA, single.fileType);
    EXPECT_EQ(21, single.width);
    EXPECT_EQ(22, single.height);
}

TEST_F(FileCommandsTest, SaveAsTellsWhenThePictureCannotBeReadAndWritesNothing)
{
    folder.Touch("empty.bmp");
    Open();
    std::string message;
    ModalDriver driver;
    driver.OnDialog(SaveAs(saveFolder.Path() + "\\x", PIC_SAVE_BMP)).OnDialog(Answer(&message));
    Run(ID_FILE_SAVE_AS, driver);
    EXPECT_EQ("Can not to read image " + folder.Path() + "\\empty.bmp !", message);
    EXPECT_FALSE(FileExists(saveFolder.Path() + "\\x.BMP"));
    EXPECT_EQ(folder.Path(), CurrentDirectory());
}

TEST_F(FileCommandsTest, SaveAsAsksBeforeTheNewExtensionReplacesAnotherFile)
{
    Picture("gate.bmp", 33, 21);
    Open();
    std::string existing = saveFolder.Touch("x.GIF");
    std::string question, again;
    {
        ModalDriver driver;
        driver.OnDialog(SaveAs(saveFolder.Path() + "\\x.bmp", PIC_SAVE_GIF))
            .OnDialog(Answer(&question, IDNO))
            .OnDialog(Cancel());
        Run(ID_FILE_SAVE_AS, driver);
    }
    EXPECT_EQ(existing + " already exists, replace it ?", question);
    EXPECT_EQ(IL_TYPE_UNKNOWN, FileType(existing.c_str())) << "No leaves the file alone";
    {
        ModalDriver driver;
        driver.OnDialog(SaveAs(saveFolder.Path() + "\\x.bmp", PIC_SAVE_GIF)).OnDialog(Answer(&again, IDYES));
        Run(ID_FILE_SAVE_AS, driver);
    }
    EXPECT_EQ(question, again);
    EXPECT_EQ(IL_TYPE_GIF, FileType(existing.c_str()));
}

TEST_F(FileCommandsTest, SaveAsWritesTheChosenPictureThoughTheViewRepaintsAndPagesDuringTheQuestion)
{
    for (int i = 0; i < 12; ++i)
        Picture("p" + std::to_string(i) + ".bmp", 10 + i, 20 + i);
    Open();
    const int chosen = View().m_nCurrent;
    const int chosenWidth = ReadBack(View().m_arrPaths[chosen]).width;
    std::string existing = saveFolder.Touch("x.GIF");
    std::string question;
    HWND view = browser.ViewWindow();
    ModalDriver driver;
    driver.OnDialog(SaveAs(saveFolder.Path() + "\\x.bmp", PIC_SAVE_GIF)).OnDialog([&](HWND box) {
        // The question's loop runs an automatic-browse tick, which turns to
        // the first page, and paints the view; painting loads its picture.
        InvalidateRect(view, nullptr, TRUE);
        PostMessageA(view, WM_TIMER, ID_TIMER_AUTOSHOW, 0);
        WaitUntil([&] { return View().m_nCurrent == 0 && !GetUpdateRect(view, nullptr, FALSE); }, 10000);
        Answer(&question, IDYES)(box);
    });
    Run(ID_FILE_SAVE_AS, driver);
    EXPECT_EQ(0, View().m_nCurrent) << "the tick turned the page during the question";
    PictureFacts saved = ReadBack(existing);
    EXPECT_EQ(IL_TYPE_GIF, saved.fileType);
    EXPECT_EQ(chosenWidth, saved.width);
    EXPECT_NE(ReadBack(View().m_arrPaths[0]).width, saved.width);
}

TEST_F(FileCommandsTest, SaveAsTellsWhenTheFileCannotBeWritten)
{
    Picture("gate.bmp", 33, 21);
    Open();
    // A folder in the way of the target name: no file can take its place.
    std::string blocked = saveFolder.MakeFolder("d.BMP");
    std::string question, message;
    ModalDriver driver;
    driver.OnDialog(SaveAs(saveFolder.Path() + "\\d", PIC_SAVE_BMP))
        .OnDialog(Answer(&question, IDYES))
        .OnDialog(Answer(&message));
    Run(ID_FILE_SAVE_AS, driver);
    EXPECT_EQ("Can not to write image " + blocked + " !", message);
    EXPECT_NE(0u, GetFileAttributesA(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

// ----------------------------------------------------------------- rename

TEST_F(FileCommandsTest, RenameOffersTheStemAndRenamesTheFileInPlace)
{
    folder.Touch("a.bmp");
    folder.Touch("gate.jpg");
    folder.Touch("z.tif");
    Open();
    ClickCell(1);
    ASSERT_EQ("gate.jpg", View().m_arrNames[1]);
    std::string shown;
    ModalDriver driver;
    driver.OnDialog(Rename(&shown, "door"));
    Run(ID_IMAGE_RENAME, driver);

    EXPECT_EQ("gate", shown);
    EXPECT_TRUE(FileExists(folder.Path() + "\\door.jpg"));
    EXPECT_FALSE(FileExists(folder.Path() + "\\gate.jpg"));
    EXPECT_EQ((std::vector<std::string>{"a.bmp", "door.jpg", "z.tif"}), View().m_arrNames);
    EXPECT_EQ(folder.Path() + "\\door.jpg", View().m_arrPaths[1]);
    EXPECT_EQ(folder.Path() + "\\door.jpg", View().m_strCurrent);
    EXPECT_EQ(1, View().m_nCurrent);
    EXPECT_EQ(1, View().m_nCellSel);
}

TEST_F(FileCommandsTest, RenameToAnExistingNameFailsThenACorrectedNameRenamesOnce)
{
    folder.Touch("a.jpg");
    folder.Touch("b.jpg");
    Open();
    ASSERT_EQ(0, View().m_nCurrent);
    const std::string current = View().m_arrNames[0];
    const std::string other = View().m_arrNames[1];
    std::string shown, error, shownAgain;
    ModalDriver driver;
    driver.OnDialog(Rename(&shown, ListedStem(other)))
        .OnDialog(Answer(&error))
        .OnDialog(Rename(&shownAgain, "c"));
    Run(ID_IMAGE_RENAME, driver);

    EXPECT_EQ(std::strerror(EEXIST), error);
    EXPECT_EQ(ListedStem(other), shownAgain) << "the dialog shows the typed text again";
    EXPECT_TRUE(FileExists(folder.Path() + "\\c.jpg"));
    EXPECT_TRUE(FileExists(folder.Path() + "\\" + other));
    EXPECT_FALSE(FileExists(folder.Path() + "\\" + current));
    EXPECT_FALSE(FileExists(folder.Path() + "\\c.jpg.jpg"));
    EXPECT_EQ("c.jpg", View().m_arrNames[0]);
    EXPECT_EQ(2, View().Count());
}

// What the names may be is a rule tested natively; here the dialog comes
// back with the field as the operator left it.
TEST_F(FileCommandsTest, RenameRefusesABlankNameOrOneThatWouldLeaveTheAlbumFolder)
{
    folder.Touch("gate.jpg");
    std::string sub = folder.MakeFolder("sub");
    Open();
    std::string shown, blank, shownEmpty, separator, shownAgain;
    ModalDriver driver;
    driver.OnDialog(Rename(&shown, "")).OnDialog(Answer(&blank)).OnDialog(Rename(&shownEmpty, "sub\\gate"));
    driver.OnDialog(Answer(&separator)).OnDialog(Cancel(&shownAgain));
    Run(ID_IMAGE_RENAME, driver);
    EXPECT_EQ("File name can not blank !", blank);
    EXPECT_EQ("", shownEmpty);
    EXPECT_EQ("File name can not hold \\ / : * ? < > | or quotes !", separator);
    EXPECT_EQ("sub\\gate", shownAgain);
    EXPECT_FALSE(FileExists(sub + "\\gate.jpg"));
    EXPECT_EQ("gate.jpg", View().m_arrNames[0]);
}

// ----------------------------------------------------------------- delete

class DeleteTest : public FileCommandsTest {
protected:
    void OpenWith(int files)
    {
        for (int i = 0; i < files; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "snap%02d.jpg", i);
            folder.Touch(name);
        }
        Open();
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
};

TEST_F(DeleteTest, AnEntryAloneOnTheLastPageShowsThePreviousPage)
{
    OpenWith(10);
    ASSERT_EQ(9, View().m_nPageTop);
    const std::string name = View().m_arrNames[9], path = Path(9);
    EXPECT_EQ(DeleteQuestion(name), Delete());
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(9, View().Count());
    EXPECT_EQ(0, View().m_nPageTop);
    EXPECT_EQ(8, View().m_nCellSel);
    EXPECT_EQ(8, View().m_nCurrent);
    EXPECT_EQ(Path(8), View().m_strCurrent);
}

TEST_F(DeleteTest, NoKeepsEverything)
{
    OpenWith(3);
    const std::string path = Path(0);
    Delete(IDNO);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(3, View().Count());
    EXPECT_EQ(path, Path(0));
}

// A command posted to the frame may move the album while a question is
// open: the answer acts on the file it asked about, and the list follows
// the files.
TEST_F(DeleteTest, RenameAndDeleteActOnTheFileAskedAboutThoughTheAlbumMovedMeanwhile)
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
    std::vector<std::string> listed = View().m_arrNames;
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(FilesIn(folder.Path()), listed);
    EXPECT_EQ(9u, listed.size());
}

TEST_F(DeleteTest, AReadOnlyFileFailsWithTheErrorTextAndChangesNothing)
{
    OpenWith(3);
    ClickCell(1);
    const std::string path = Path(1);
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

// A folder with a short path, so that a long file name still makes a path
// the system takes; removed with its files.
class ShortFolder {
public:
    explicit ShortFolder(const std::string& path) : m_path(path) { CreateDirectoryA(path.c_str(), nullptr); }
    ~ShortFolder()
    {
        SetCurrentDirectoryA("C:\\");
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((m_path + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string child = m_path + "\\" + data.cFileName;
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(m_path.c_str());
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

TEST_F(DeleteTest, ALongNameIsAskedAboutWhole)
{
    ShortFolder shortFolder("C:\\fcl");
    const std::string& album = shortFolder.Path();
    const std::string name = std::string(246, 'n') + ".jpg";
    const std::string path = album + "\\" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    std::fclose(f);
    ASSERT_TRUE(browser.Open(album, host.Handle()));
    ASSERT_EQ(1, View().Count());
    ASSERT_EQ(250u, View().m_arrNames[0].size());
    std::string question = Delete();
    EXPECT_EQ(DeleteQuestion(name), question);
    EXPECT_FALSE(FileExists(path));
    browser.Close();
}

// ------------------------------------------------------ wallpaper, export

class WindowsFolderTest : public FileCommandsTest {
protected:
    void SetUp() override
    {
        FileCommandsTest::SetUp();
        m_previous = Wallpaper();
    }
    void TearDown() override
    {
        DeleteFileA(WindowsFile("\\VELDO.BMP").c_str());
        DeleteFileA(WindowsFile("\\NEW.BMP").c_str());
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(m_previous.c_str()), 0);
    }
    std::string m_previous;
};

TEST_F(WindowsFolderTest, WallpaperWritesTheCurrentPictureAndPointsTheDesktopAtIt)
{
    Picture("a.bmp", 11, 12);
    Picture("b.bmp", 37, 23, 8);
    Open();
    ClickCell(1);   // the last filled cell: painting left nothing loaded
    ModalDriver none;
    Run(ID_SET_WALLPAPER, none);
    const std::string path = WindowsFile("\\VELDO.BMP");
    PictureFacts facts = ReadBack(path);
    EXPECT_TRUE(facts.loaded);
    EXPECT_EQ(IL_TYPE_BMP, facts.fileType);
    EXPECT_EQ(37, facts.width);
    EXPECT_EQ(8, facts.bits);
    EXPECT_EQ(path, Wallpaper());
}

TEST_F(WindowsFolderTest, ExportWritesNewBmpAndLeavesTheWallpaper)
{
    Picture("a.bmp", 11, 12);
    Open();
    ShowCellAlone(0);
    const std::string before = Wallpaper();
    ModalDriver none;
    Run(ID_EXPORT_NEW_BMP, none);
    PictureFacts facts = ReadBack(WindowsFile("\\NEW.BMP"));
    EXPECT_TRUE(facts.loaded);
    EXPECT_EQ(11, facts.width);
    EXPECT_EQ(12, facts.height);
    EXPECT_EQ(before, Wallpaper());
}

TEST_F(WindowsFolderTest, AnUnreadablePictureIsReportedAndTheDesktopKeepsItsWallpaper)
{
    folder.Touch("empty.bmp");
    Open();
    const std::string before = Wallpaper();
    std::string message;
    ModalDriver driver;
    driver.OnDialog(Answer(&message));
    Run(ID_SET_WALLPAPER, driver);
    EXPECT_EQ("Can not to read image " + folder.Path() + "\\empty.bmp !", message);
    EXPECT_FALSE(FileExists(WindowsFile("\\VELDO.BMP")));
    EXPECT_EQ(before, Wallpaper());
}

// ------------------------------------------------------------- popup menu

struct MenuSeen {
    int items = -1;
    UINT rename = 0, remove = 0, back = 0;
};

class PopupMenuTest : public FileCommandsTest {
protected:
    // A right click on the view, as the operator gives it.
    void RightClick()
    {
        LPARAM at = MAKELPARAM(200, 200);
        SendMessageA(browser.ViewWindow(), WM_RBUTTONDOWN, MK_RBUTTON, at);
        SendMessageA(browser.ViewWindow(), WM_RBUTTONUP, 0, at);
        browser.Pump();
    }
    static ModalDriver::Action Read(MenuSeen* seen, char choose)
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
};

TEST_F(PopupMenuTest, MultiModeOffersNoMenu)
{
    folder.Touch("a.jpg");
    Open();
    ModalDriver driver;   // any popup would be reported as unexpected
    driver.Start();
    RightClick();
    driver.Finish();
    EXPECT_TRUE(driver.Unexpected().empty()) << driver.Unexpected().front();
}

TEST_F(PopupMenuTest, SingleModeOffersRenameDeleteAndTheWayBack)
{
    folder.Touch("a.jpg");
    folder.Touch("b.jpg");
    Open();
    ShowCellAlone(1);
    MenuSeen seen;
    ModalDriver driver;
    driver.OnMenu(Read(&seen, 'b'));   // "&Back to browse"
    driver.Start();
    RightClick();
    driver.Finish();
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_EQ(4, seen.items);
    EXPECT_EQ(0u, seen.rename & (MF_GRAYED | MF_DISABLED));
    EXPECT_EQ(0u, seen.remove & (MF_GRAYED | MF_DISABLED));
    EXPECT_EQ(0u, seen.back & (MF_GRAYED | MF_DISABLED));
    EXPECT_EQ(0, View().m_bSingle) << "the chosen command reached the view";
    EXPECT_EQ(1, View().m_nCellSel);
}

TEST_F(PopupMenuTest, AutomaticBrowseGreysRenameAndDelete)
{
    folder.Touch("a.jpg");
    folder.Touch("b.jpg");
    Open();
    ShowCellAlone(0);
    browser.Command(ID_AUTO_SHOW);
    MenuSeen seen;
    ModalDriver driver;
    driver.OnMenu(Read(&seen, 0));
    driver.Start();
    RightClick();
    driver.Finish();
    browser.Command(ID_AUTO_SHOW);
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_NE(0u, seen.rename & MF_GRAYED);
    EXPECT_NE(0u, seen.remove & MF_GRAYED);
    EXPECT_EQ(0u, seen.back & MF_GRAYED);
    EXPECT_EQ(1, View().m_bSingle);
}

}  // namespace
