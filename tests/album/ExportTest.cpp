// The export of marked pictures under Wine: the journey from Ctrl+E through
// the save dialog to the message, whose zip a reader independent of the
// writer checks after this program (check_export.py: Python's zipfile,
// sha256sum -c, the manifest's rows); the progress window's Cancel with the
// browser answering meanwhile; and the export's own failures, each ending
// with no file under the chosen name and no temporary one: a picture
// removed meanwhile, a picture another program holds, and (run with a
// small drive X:, tests/archive/run-archive-drives.sh) a full drive.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "album/AlbumView.h"
#include "album/export/ZipExport.h"
#include "bridge/ModuleGlobals.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/FileTree.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestPictures.h"

namespace {

// Where the journey's album and zip are; check_export.py reads them from
// the files this program leaves on drive C:.
const char kAlbum[] = "C:\\export-album\\2010-12-21\\03";
const char kZip[] = "C:\\export-out\\marked.zip";
const char kCancelledZip[] = "C:\\export-out\\cancelled.zip";

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Contents(const std::string& path)
{
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

void WriteText(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD wrote = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
    CloseHandle(file);
}

// A picture of the album: its path, and the export's view of it.
ExportSource SourceOf(const std::string& folder, const std::string& name)
{
    ExportSource source;
    source.path = folder + "\\" + name;
    source.zipPath = name;
    return source;
}

class ExportJourney : public ::testing::Test {
protected:
    void SetUp() override
    {
        FwInitModule(GetModuleHandleA(nullptr));
        CreateDirectoryA("C:\\export-album", nullptr);
        CreateDirectoryA("C:\\export-album\\2010-12-21", nullptr);
        CreateDirectoryA(kAlbum, nullptr);
        CreateDirectoryA("C:\\export-out", nullptr);
    }
    void Picture(const std::string& name, int width, int height, COLORREF colour)
    {
        ASSERT_TRUE(WriteSolidBmp(std::string(kAlbum) + "\\" + name, width, height, 24, colour)) << name;
    }
    void OpenInFront()
    {
        ASSERT_TRUE(browser.Open(kAlbum, host.Handle()));
        // Under the host's settings the album's camera has a name.
        g_settings.channels[0].nFolderChannel = 2;
        lstrcpyA(g_settings.channels[0].szName, "Gate north");
        SetForegroundWindow(browser.Frame());
        browser.Pump();
    }
    void Press(const char* name) { browser.PressKey(name); }
    // The save dialog answered with the zip's name, then the message the
    // export ends with, kept.
    void SaveThenReadMessage(ModalDriver* driver, const char* zip, std::string* message)
    {
        driver->OnDialog([zip](HWND dialog) {
            modal::SetSaveName(dialog, zip);
            modal::Press(dialog, IDOK);
        });
        driver->OnDialog([message](HWND box) {
            *message = modal::MessageText(box);
            modal::Press(box, IDOK);
        });
    }
    CAlbumView& View() { return *browser.View(); }
    int IndexOf(const std::string& name)
    {
        for (int i = 0; i < View().Count(); ++i)
            if (View().m_arrNames[static_cast<size_t>(i)] == name)
                return i;
        return -1;
    }
    void Mark(const std::string& name)
    {
        const int index = IndexOf(name);
        ASSERT_GE(index, 0) << name;
        View().m_nPageTop = index - index % 9;
        View().ToggleMarkOfCell(index % 9);
    }

    HostWindow host;
    BrowserOnThisThread browser;
};

}  // namespace

// Three of four pictures marked, one of them 3 MB (several pieces of a
// read); Ctrl+E, a name in the save dialog, and the message that says it
// was done. The zip itself is checked after this program.
TEST_F(ExportJourney, CtrlEWritesTheMarkedPicturesIntoOneZipAndSaysSo)
{
    DeleteFileA(kZip);
    Picture("01gate-13.57.36.bmp", 64, 48, RGB(200, 30, 30));
    Picture("02gate-13.57.40.bmp", 1200, 900, RGB(30, 200, 30));
    Picture("03gate_side.bmp", 80, 60, RGB(30, 30, 200));
    Picture("04gate-13.58.00.bmp", 64, 48, RGB(90, 90, 90));
    OpenInFront();
    for (const char* name : {"01gate-13.57.36.bmp", "02gate-13.57.40.bmp", "03gate_side.bmp"})
        Mark(name);
    browser.Pump();

    std::string message;
    ModalDriver driver;
    SaveThenReadMessage(&driver, kZip, &message);
    driver.Start();
    Press("Ctrl+E");
    EXPECT_TRUE(browser.PumpUntil([&] { return driver.StepsDone() == 2; }, 60000));
    driver.Finish();
    for (const std::string& stray : driver.Unexpected())
        ADD_FAILURE() << "unexpected: " << stray;
    EXPECT_EQ(std::string("3 pictures exported to ") + kZip, message);
    EXPECT_FALSE(View().IsExporting());
    EXPECT_TRUE(Exists(kZip));
    EXPECT_FALSE(Exists(std::string(kZip) + ".partial"));
}

// The export waits on a picture that another program holds; meanwhile the
// browser pages, the progress window shows, and its Cancel ends the export
// with a message and no file.
TEST_F(ExportJourney, CancelInTheProgressWindowLeavesNoFileAndTheBrowserAnswersMeanwhile)
{
    DeleteFileA(kCancelledZip);
    for (int i = 0; i < 12; ++i)
        Picture("p" + std::to_string(10 + i) + ".bmp", 64, 48, RGB(200, 30, 30));
    const std::string held = std::string(kAlbum) + "\\p11.bmp";
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    const DWORD patience = CZipExport::s_nHeldPatienceMs;
    CZipExport::s_nHeldPatienceMs = 600000;     // it waits until the Cancel
    OpenInFront();
    Press("Ctrl+A");

    std::string message;
    ModalDriver driver;
    SaveThenReadMessage(&driver, kCancelledZip, &message);
    driver.Start();
    Press("Ctrl+E");
    HWND progress = nullptr;
    EXPECT_TRUE(browser.PumpUntil(
        [&] {
            progress = FindWindowA("ImageBrowseExportProgress", nullptr);
            return progress != nullptr && IsWindowVisible(progress);
        },
        30000));
    ASSERT_TRUE(View().IsExporting());
    EXPECT_EQ(9, View().m_nPageTop);
    Press("Home");
    EXPECT_EQ(0, View().m_nPageTop) << "the browser answers while the export runs";

    RECT button;
    GetWindowRect(GetDlgItem(progress, IDCANCEL), &button);
    RealInput([this] { browser.Pump(); }).Click(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    EXPECT_TRUE(browser.PumpUntil([&] { return driver.StepsDone() == 2; }, 30000));
    driver.Finish();
    CloseHandle(holder);
    CZipExport::s_nHeldPatienceMs = patience;
    EXPECT_EQ(std::string("The export was cancelled: ") + kCancelledZip + " was not written.", message);
    EXPECT_FALSE(Exists(kCancelledZip));
    EXPECT_FALSE(Exists(std::string(kCancelledZip) + ".partial"));
    EXPECT_EQ(nullptr, FindWindowA("ImageBrowseExportProgress", nullptr));
}

// Each row: what happens to the pictures during the export, and the
// outcome, naming the picture concerned. A file already under the chosen
// name (the operator said yes to replacing it) stays as it was.
TEST(ExportFailures, EndWithTheCauseAndLeaveTheChosenNameAsItWas)
{
    TempFolder folder("exp");
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        ASSERT_TRUE(WriteSolidBmp(folder.PathOf(name), 64, 48, 24, RGB(10, 20, 30)));
    const std::string target = folder.PathOf("out.zip");
    enum class Meanwhile { RemoveC, HoldB, HoldBBriefly };
    const struct {
        const char* what;
        Meanwhile meanwhile;
        ExportOutcome outcome;
        const char* picture;
    } rows[] = {
        {"a picture removed after the first", Meanwhile::RemoveC, ExportOutcome::PictureGone, "c.bmp"},
        {"a picture held throughout", Meanwhile::HoldB, ExportOutcome::PictureHeld, "b.bmp"},
        {"a picture held for a moment is read when let go", Meanwhile::HoldBBriefly, ExportOutcome::Done, ""},
    };
    const DWORD patience = CZipExport::s_nHeldPatienceMs;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (!Exists(folder.PathOf("c.bmp"))) {
            ASSERT_TRUE(WriteSolidBmp(folder.PathOf("c.bmp"), 64, 48, 24, RGB(10, 20, 30)));
        }
        WriteText(target, "the operator's old file");
        CZipExport job({SourceOf(folder.Path(), "a.bmp"), SourceOf(folder.Path(), "b.bmp"),
                        SourceOf(folder.Path(), "c.bmp")},
                       target, folder.Path());
        HANDLE holder = INVALID_HANDLE_VALUE;
        std::thread releaser;
        CZipExport::s_nHeldPatienceMs = row.meanwhile == Meanwhile::HoldB ? 300 : 20000;
        job.m_afterPicture = [&](int index) {
            if (index != 0)
                return;
            if (row.meanwhile == Meanwhile::RemoveC) {
                DeleteFileA(folder.PathOf("c.bmp").c_str());
                return;
            }
            holder = CreateFileA(folder.PathOf("b.bmp").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
            // The other program lets go while the export tries again.
            if (row.meanwhile == Meanwhile::HoldBBriefly)
                releaser = std::thread([holder] {
                    Sleep(300);
                    CloseHandle(holder);
                });
        };
        const ExportResult result = job.Run();
        if (releaser.joinable())
            releaser.join();
        else if (holder != INVALID_HANDLE_VALUE)
            CloseHandle(holder);
        EXPECT_EQ(static_cast<int>(row.outcome), static_cast<int>(result.outcome));
        EXPECT_EQ(*row.picture != '\0' ? folder.PathOf(row.picture) : std::string(), result.picture);
        if (row.outcome == ExportOutcome::Done)
            EXPECT_NE("the operator's old file", Contents(target));
        else
            EXPECT_EQ("the operator's old file", Contents(target));
        EXPECT_FALSE(Exists(target + ".partial"));
    }
    CZipExport::s_nHeldPatienceMs = patience;
}

// Drive X: holds 4 MB (run-archive-drives.sh small_x4): pictures of 8 MB
// fill it half-way through; the export says the drive is full, and leaves
// nothing on it.
TEST(SmallDrive, AnExportThatFillsTheDriveLeavesNothingOnIt)
{
    TempFolder folder("exp");
    std::vector<ExportSource> sources;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
        ASSERT_TRUE(WriteSolidBmp(folder.PathOf(name), 1280, 720, 24, RGB(10, 20, 30)));
        sources.push_back(SourceOf(folder.Path(), name));
    }
    CZipExport job(sources, "X:\\marked.zip", folder.Path());
    const ExportResult result = job.Run();
    EXPECT_EQ(static_cast<int>(ExportOutcome::DiskFull), static_cast<int>(result.outcome)) << result.error;
    EXPECT_EQ("X:\\marked.zip", result.picture);
    EXPECT_EQ(std::vector<std::string>{}, ListFolder("X:\\"));
}
