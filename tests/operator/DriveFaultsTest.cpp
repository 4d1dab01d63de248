// Drive faults through the host, on the drives run-drive-faults.sh sets up
// in a private prefix: an album on a read-only drive, where every write the
// operator asks for fails with the system's words and nothing is lost, and
// a record drive that is unplugged while the browser shows its folder,
// after which the browser goes on.
#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/operator/AlbumFolder.h"
#include "tests/operator/BrowserScreen.h"
#include "tests/operator/OperatorSession.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Today.h"

namespace {

const char kReadOnlyAlbum[] = "R:\\album";
const char kReadOnlySaved[] = "R:\\saved";

// The script's work folder as this program sees it, empty outside the script.
std::string WorkFolder()
{
    const char* unixPath = std::getenv("DRIVE_FAULTS_WORK");
    if (unixPath == nullptr)
        return "";
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

class DriveFault : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (WorkFolder().empty())
            GTEST_SKIP() << "needs the drives of run-drive-faults.sh";
    }
    void TearDown() override
    {
        if (session.HostAlive()) {
            EXPECT_TRUE(session.ExitAndFinish()) << "leaving by E&xit failed";
        }
        EXPECT_EQ(0, VisibleWindowsOf(GetProcessId(session.Host().Handle())));
    }
    BrowserScreen& screen() { return session.Screen(); }

    // Runs a command whose dialog the step drives, then expects the
    // failure's message box and, when given, a dialog shown again after it;
    // returns the message box's text.
    std::string FailingCommand(UINT command, ModalDriver::Action step, ModalDriver::Action again = nullptr)
    {
        std::string told;
        ModalDriver dialogs(screen().Thread());
        dialogs.OnDialog(std::move(step));
        dialogs.OnDialog([&](HWND box) {
            told = modal::MessageText(box);
            modal::Press(box, IDOK);
        });
        if (again)
            dialogs.OnDialog(std::move(again));
        EXPECT_TRUE(screen().ChooseWithDialogs(command, dialogs)) << "command " << command;
        return told;
    }

    OperatorSession session;
};

TEST_F(DriveFault, OnAReadOnlyFolderSaveRenameAndDeleteFailWithTheSystemsWordsAndLoseNothing)
{
    const std::vector<std::string> names = FilesIn(kReadOnlyAlbum);
    ASSERT_EQ(4u, names.size());
    // The drive really refuses writes, whatever the files' marks say.
    ASSERT_EQ(0u, GetFileAttributesA(kReadOnlyAlbum) & FILE_ATTRIBUTE_READONLY);
    HANDLE probe = CreateFileA("R:\\album\\probe.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_EQ(INVALID_HANDLE_VALUE, probe);
    const std::string firstBytes = ReadWholeFile(std::string(kReadOnlyAlbum) + "\\" + names.front());

    ASSERT_TRUE(session.Open(kReadOnlyAlbum));
    ASSERT_TRUE(screen().WaitForCellFilled(3, true, 5000));
    const std::string refused = std::strerror(EACCES);

    std::string saveTold = FailingCommand(ID_FILE_SAVE_AS, [](HWND dialog) {
        modal::ChooseSaveType(dialog, 3);   // GIF
        modal::SetSaveName(dialog, std::string(kReadOnlySaved) + "\\copy.bmp");
        modal::Press(dialog, IDOK);
    });
    // The picture writer tells which file it could not write.
    EXPECT_NE(std::string::npos, saveTold.find("R:\\saved\\copy.GIF")) << saveTold;
    EXPECT_TRUE(FilesIn(kReadOnlySaved).empty());

    // A refused rename shows its dialog again with the typed name.
    std::string typedAgain;
    std::string renameTold = FailingCommand(
        ID_IMAGE_RENAME,
        [](HWND dialog) {
            modal::SetControlText(dialog, IDC_NEW_NAME, "renamed");
            modal::Press(dialog, IDOK);
        },
        [&](HWND dialog) {
            typedAgain = ControlTextOf(dialog, IDC_NEW_NAME);
            modal::Press(dialog, IDCANCEL);
        });
    EXPECT_EQ("renamed", typedAgain);
    EXPECT_NE(std::string::npos, renameTold.find(refused)) << renameTold;

    std::string deleteTold = FailingCommand(ID_IMAGE_DELETE, [](HWND question) { modal::Press(question, IDYES); });
    EXPECT_NE(std::string::npos, deleteTold.find(refused)) << deleteTold;

    EXPECT_EQ(names, FilesIn(kReadOnlyAlbum));
    EXPECT_EQ(firstBytes, ReadWholeFile(std::string(kReadOnlyAlbum) + "\\" + names.front()));
    EXPECT_EQ(kMultiTitle, screen().Title());
    EXPECT_TRUE(WaitUntil([&] { return screen().PicturesShown() == 4; }, 5000));
}

TEST_F(DriveFault, ARecordDriveUnpluggedWhileShownLeavesTheBrowserGoingOn)
{
    // The script filled today's folder as its clock had it.
    const std::string today = SampleDayFolder(TodayForTheNext(120), 1);
    ASSERT_EQ(5u, FilesIn(today).size());

    ASSERT_TRUE(session.Open(today));
    ASSERT_TRUE(screen().WaitForCellFilled(4, true, 5000));

    const std::string work = WorkFolder();
    ASSERT_TRUE(WriteWholeFile(work + "\\unplug-d", ""));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(work + "\\unplugged-d"); }, 10000)) << "the drive stayed";
    EXPECT_FALSE(FileExists(today));

    // Whatever the browser has to say about the lost folder is said once
    // and taken; it must not stop it.
    ModalDriver strays(screen().Thread());
    strays.Start();
    screen().Choose(ID_ALBUM_REFRESH);
    EXPECT_TRUE(screen().WaitForButton(ID_AUTO_SHOW, false, 5000));
    InvalidateRect(screen().View(), nullptr, TRUE);
    EXPECT_TRUE(WaitUntil([&] { return screen().PicturesShown() == 0; }, 5000));
    strays.Finish();
    for (const std::string& text : strays.Unexpected())
        std::printf("after refresh: %s\n", text.c_str());
    EXPECT_TRUE(session.HostAlive());

    // The chooser still opens over the drives that are left and closes.
    ASSERT_TRUE(screen().Press(ID_FILE_OPEN));
    HWND chooser = screen().WaitForChooser(10000);
    ASSERT_NE(nullptr, chooser) << "the chooser did not show";
    modal::Press(chooser, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(screen().Frame()) != FALSE; }, 5000));
    EXPECT_EQ(kMultiTitle, screen().Title());
    EXPECT_TRUE(session.HostAlive());
}

}  // namespace
