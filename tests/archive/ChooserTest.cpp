// The real date-and-camera chooser over the real browser, on the drives D
// and E that run-archive-drives.sh links into a private prefix. The chooser
// runs its own modal loop, so each test hands it a script of steps that a
// thread timer plays inside that loop: clicks on the date picker's drop
// button and calendar cells, keys to the combo box, and checks between.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "archive/ArchiveDisks.h"
#include "bridge/ModuleGlobals.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/ChooserCalendar.h"
#include "tests/support/Today.h"
#include "tests/archive/ArchiveTestSupport.h"

namespace {

struct Day {
    int year, month, day;
};

// The day the chooser takes from the clock, which stays for the test's
// minute even when the run crosses midnight.
Day Today()
{
    const SYSTEMTIME now = TodayForTheNext(60);
    return {now.wYear, now.wMonth, now.wDay};
}

// Another day of the calendar month the picker opens on.
Day OtherDay()
{
    Day day = Today();
    day.day = day.day == 1 ? 2 : day.day - 1;
    return day;
}

std::string DayFolderOn(char drive, const Day& day, int folderNumber)
{
    char path[64];
    std::snprintf(path, sizeof path, "%c:\\DataPic\\%04d-%02d-%02d\\%02d", drive, day.year, day.month,
                  day.day, folderNumber);
    return path;
}

// A script step: true when done; false to be asked again at the next tick.
using Step = std::function<bool(HWND dialog)>;

class ChooserScript {
public:
    void Then(Step step) { m_steps.push_back(std::move(step)); }
    void Check(std::function<void(HWND)> check)
    {
        m_steps.push_back([check](HWND dialog) {
            check(dialog);
            return true;
        });
    }

    // Opens the chooser through the view's command and plays the steps;
    // the last step presses "Exit". False when the chooser never showed or
    // a step timed out.
    bool Play(BrowserOnThisThread& browser)
    {
        s_active = this;
        m_next = 0;
        m_ticks = 0;
        m_sawDialog = false;
        m_timedOut = false;
        UINT_PTR timer = SetTimer(nullptr, 0, 30, OnTick);
        browser.Command(ID_FILE_OPEN);
        KillTimer(nullptr, timer);
        s_active = nullptr;
        browser.Pump();
        return m_sawDialog && !m_timedOut && m_next == m_steps.size();
    }

private:
    static BOOL CALLBACK FindDialog(HWND wnd, LPARAM found)
    {
        char cls[16];
        GetClassNameA(wnd, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") == 0 && GetDlgItem(wnd, IDC_DATE) != nullptr) {
            *reinterpret_cast<HWND*>(found) = wnd;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) { s_active->Tick(); }

    void Tick()
    {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog == nullptr)
            return;
        m_sawDialog = true;
        if (++m_ticks > 200) {
            m_timedOut = true;
            m_next = m_steps.size() + 1;
        }
        if (m_next < m_steps.size()) {
            if (m_steps[m_next](dialog)) {
                ++m_next;
                m_ticks = 0;
            }
            return;
        }
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }

    static ChooserScript* s_active;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    int m_ticks = 0;
    bool m_sawDialog = false;
    bool m_timedOut = false;
};
ChooserScript* ChooserScript::s_active;

// Clicks the picker's drop button, waits for the calendar, clicks the day
// in it (a day of the month it opens on), then waits for it to close.
void CloseUpOn(ChooserScript& script, Day day)
{
    script.Then([](HWND dialog) {
        HWND picker = GetDlgItem(dialog, IDC_DATE);
        RECT rc;
        GetClientRect(picker, &rc);
        PostClick(picker, rc.right - 6, rc.bottom / 2);
        return true;
    });
    script.Then([](HWND dialog) { return ChooserCalendarOpen(dialog); });
    script.Then([day](HWND dialog) {
        HWND calendar = ChooserCalendar(dialog);
        RECT rc;
        GetClientRect(calendar, &rc);
        for (int y = 2; y < rc.bottom; y += 3) {
            for (int x = 2; x < rc.right; x += 3) {
                MCHITTESTINFO hit = {};
                hit.cbSize = sizeof hit;
                hit.pt = {x, y};
                SendMessageA(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
                if (hit.uHit == MCHT_CALENDARDATE && hit.st.wYear == day.year && hit.st.wMonth == day.month &&
                    hit.st.wDay == day.day) {
                    PostClick(calendar, x, y);
                    return true;
                }
            }
        }
        ADD_FAILURE() << "no calendar cell for day " << day.day;
        return true;
    });
    script.Then([](HWND dialog) { return !ChooserCalendarOpen(dialog); });
}

// The next camera row, as the arrow key in the focused box gives it.
void NextCamera(ChooserScript& script)
{
    script.Then([](HWND dialog) {
        HWND combo = GetDlgItem(dialog, IDC_CAMERA);
        SetFocus(combo);
        PostMessageA(combo, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(combo, WM_KEYUP, VK_DOWN, 0xC0000001);
        return true;
    });
}

std::vector<std::string> Rows(HWND dialog)
{
    HWND combo = GetDlgItem(dialog, IDC_CAMERA);
    std::vector<std::string> rows;
    int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[400] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        rows.push_back(text);
    }
    return rows;
}

int SelectedRow(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_CAMERA, CB_GETCURSEL, 0, 0));
}

class ChooserBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        FwInitModule(GetModuleHandleA(nullptr));
        CleanDrives();
        album.Touch("home1.jpg");
        album.Touch("home2.jpg");
        ASSERT_TRUE(browser.Open(album.Path(), host.Handle()));
        std::memset(&g_settings, 0, sizeof g_settings);
        g_bAllChannels = 0;
        g_nInitialChannel = 0;
    }
    void TearDown() override
    {
        browser.Close();
        CleanDrives();
    }
    static void CleanDrives()
    {
        SetCurrentDirectoryA("C:\\");
        for (const char* top : {"d:\\DataPic", "e:\\DataPic"})
            RemoveTree(top);
    }

    void Enable(int entry, int folderChannel, const char* name)
    {
        ChannelEntry& channel = g_settings.channels[entry];
        channel.nFolderChannel = folderChannel;
        std::strcpy(channel.szName, name);
        channel.bEnabled = 1;
    }
    void SetHostChannel(int32_t channel)
    {
        std::memcpy(reinterpret_cast<unsigned char*>(&g_settings) + BROWSE_CURRENT_CHANNEL_OFFSET, &channel, 4);
    }
    // A day folder with one picture named after it.
    std::string MakeDayFolder(char drive, const Day& day, int folderNumber, const char* picture)
    {
        std::string folder = DayFolderOn(drive, day, folderNumber);
        EXPECT_TRUE(MakeFolders(folder));
        WriteWholeFile(folder + "\\" + picture, "");
        return folder;
    }
    CAlbumView& View() { return *browser.View(); }
    // Checks, inside the running chooser, that the album shows folder.
    std::function<void(HWND)> AlbumIn(const std::string& folder, const char* picture)
    {
        return [this, folder, picture](HWND) {
            EXPECT_STREQ(folder.c_str(), CurrentDirectory().c_str());
            EXPECT_EQ(folder, View().m_strCurrent);
            EXPECT_EQ(AlbumList{picture}, View().m_arrNames);
        };
    }
    std::function<void(HWND)> AlbumAtHome()
    {
        return [this](HWND) {
            EXPECT_STREQ(album.Path().c_str(), CurrentDirectory().c_str());
            EXPECT_EQ((AlbumList{"home1.jpg", "home2.jpg"}), View().m_arrNames);
        };
    }

    TempFolder album;
    HostWindow host;
    BrowserOnThisThread browser;
    ChooserScript script;
};

// Drives D and E, both writable and roomy, so D records.
class Chooser : public ChooserBase {
protected:
    void SetUp() override
    {
        ASSERT_EQ("de", std::string(g_archiveDisks.m_szDrives, 2)) << "the setting lacks drives D and E";
        ChooserBase::SetUp();
    }
};

// No archive drive at all.
class NoArchiveDriveChooser : public ChooserBase {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, g_archiveDisks.m_nDrives) << "the setting has archive drives";
        ChooserBase::SetUp();
    }
};

TEST_F(Chooser, OpensAtItsPlaceOnTodayOverADisabledFrameAndClosesWithoutMovingTheAlbum)
{
    Enable(0, 0, "Gate");
    SetHostChannel(1);
    MakeDayFolder('d', Today(), 1, "today.jpg");
    const AlbumList paths = View().m_arrPaths;
    const int current = View().m_nCurrent;
    const std::string strCurrent = View().m_strCurrent;
    script.Check([this](HWND dialog) {
        RECT rc;
        GetWindowRect(dialog, &rc);
        EXPECT_EQ(777, rc.left);
        EXPECT_EQ(22, rc.top);
        EXPECT_EQ(0, GetWindowLongA(dialog, GWL_STYLE) & WS_CAPTION);
        EXPECT_EQ(browser.Frame(), GetWindow(dialog, GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(browser.Frame()));
        SYSTEMTIME shown = {};
        EXPECT_EQ(GDT_VALID, SendDlgItemMessageA(dialog, IDC_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)));
        Day today = Today();
        EXPECT_EQ(today.year, shown.wYear);
        EXPECT_EQ(today.month, shown.wMonth);
        EXPECT_EQ(today.day, shown.wDay);
    });
    script.Check(AlbumAtHome());
    ASSERT_TRUE(script.Play(browser));
    EXPECT_TRUE(IsWindowEnabled(browser.Frame()));
    AlbumAtHome()(nullptr);
    EXPECT_EQ(paths, View().m_arrPaths);
    EXPECT_EQ(current, View().m_nCurrent);
    EXPECT_EQ(strCurrent, View().m_strCurrent);
}

TEST_F(Chooser, TodayAtCloseUpDoesNothingAndAnotherDayMovesTheAlbumAtOnce)
{
    Enable(0, 0, "Gate");
    SetHostChannel(1);
    MakeDayFolder('d', Today(), 1, "today.jpg");
    std::string other = MakeDayFolder('d', OtherDay(), 1, "other.jpg");
    CloseUpOn(script, Today());
    script.Check(AlbumAtHome());
    CloseUpOn(script, OtherDay());
    script.Check(AlbumIn(other, "other.jpg"));
    ASSERT_TRUE(script.Play(browser));
    AlbumIn(other, "other.jpg")(nullptr);
}

TEST_F(Chooser, ATypedDateMovesNothingAndTheNextCameraUsesTheLastCloseUpDate)
{
    Enable(0, 0, "Gate");
    Enable(1, 1, "Yard");
    SetHostChannel(1);
    std::string yardToday = MakeDayFolder('d', Today(), 2, "yard-today.jpg");
    MakeDayFolder('d', OtherDay(), 2, "yard-other.jpg");
    // Keys in the date field: the right arrow moves to the next field, the
    // down (or up) arrow turns it by one. Whichever field turned, it is
    // turned back and the next one tried, until the day field gives the
    // other day of this month.
    script.Then([keyPending = false](HWND dialog) mutable {
        HWND picker = GetDlgItem(dialog, IDC_DATE);
        SetFocus(picker);
        SYSTEMTIME shown = {};
        SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
        const Day today = Today(), other = OtherDay();
        const WPARAM toOther = other.day < today.day ? VK_DOWN : VK_UP;
        const WPARAM back = toOther == VK_DOWN ? VK_UP : VK_DOWN;
        if (shown.wYear == other.year && shown.wMonth == other.month && shown.wDay == other.day)
            return true;
        const bool atToday = shown.wYear == today.year && shown.wMonth == today.month && shown.wDay == today.day;
        if (!atToday)
            PostMessageA(picker, WM_KEYDOWN, back, 0);
        if (!atToday || keyPending)
            PostMessageA(picker, WM_KEYDOWN, VK_RIGHT, 0);
        PostMessageA(picker, WM_KEYDOWN, toOther, 0);
        keyPending = true;
        return false;
    });
    script.Check([this](HWND dialog) {
        EXPECT_FALSE(ChooserCalendarOpen(dialog));
        AlbumAtHome()(dialog);
    });
    NextCamera(script);
    script.Check(AlbumIn(yardToday, "yard-today.jpg"));
    ASSERT_TRUE(script.Play(browser));
}

TEST_F(Chooser, EnabledChannelsListByNameAndLookUpTheFolderChannel)
{
    Enable(1, 1, "Lobby");
    Enable(3, 2, "Loading bay");
    SetHostChannel(4);
    std::string third = MakeDayFolder('d', OtherDay(), 3, "lobby.jpg");
    MakeDayFolder('d', OtherDay(), 4, "wrong.jpg");
    MakeDayFolder('d', OtherDay(), 2, "wrong.jpg");
    script.Check([](HWND dialog) {
        EXPECT_EQ((std::vector<std::string>{"Lobby", "Loading bay"}), Rows(dialog));
        EXPECT_EQ(1, SelectedRow(dialog));
    });
    CloseUpOn(script, OtherDay());
    script.Check(AlbumIn(third, "lobby.jpg"));
    ASSERT_TRUE(script.Play(browser));
}

TEST_F(Chooser, EnabledChannelsIgnoreAnotherRowOfTheSameFolderChannel)
{
    Enable(0, 5, "Front");
    Enable(2, 5, "Front again");
    SetHostChannel(1);
    MakeDayFolder('d', Today(), 6, "front.jpg");
    NextCamera(script);
    script.Check([this](HWND dialog) {
        EXPECT_EQ(1, SelectedRow(dialog));
        AlbumAtHome()(dialog);
    });
    ASSERT_TRUE(script.Play(browser));
}

TEST_F(Chooser, AllChannelsWithoutNamesListEightyWaysAndStartOnChannelOne)
{
    g_bAllChannels = 1;
    g_nInitialChannel = 5;
    std::string first = MakeDayFolder('d', OtherDay(), 1, "way1.jpg");
    std::string seventh = MakeDayFolder('d', OtherDay(), 7, "way7.jpg");
    MakeDayFolder('d', OtherDay(), 6, "wrong.jpg");
    script.Check([](HWND dialog) {
        std::vector<std::string> rows = Rows(dialog);
        ASSERT_EQ(80u, rows.size());
        EXPECT_EQ("For 01 Way", rows.front());
        EXPECT_EQ("For 42 Way", rows[41]);
        EXPECT_EQ("For 80 Way", rows.back());
        EXPECT_EQ(5, SelectedRow(dialog));
        EXPECT_EQ(79, static_cast<int>(SendDlgItemMessageA(dialog, IDC_CAMERA, CB_GETITEMDATA, 79, 0)));
    });
    CloseUpOn(script, OtherDay());
    script.Check(AlbumIn(first, "way1.jpg"));
    NextCamera(script);
    script.Check(AlbumIn(seventh, "way7.jpg"));
    ASSERT_TRUE(script.Play(browser));
}

TEST_F(Chooser, AllChannelsWithEntryZeroNamedListOnlyNamedEntriesByIndex)
{
    g_bAllChannels = 1;
    std::strcpy(g_settings.channels[0].szName, "Gate");
    std::strcpy(g_settings.channels[5].szName, "Dock");
    g_settings.channels[5].nFolderChannel = 1;     // not used in this mode
    std::string sixth = MakeDayFolder('d', Today(), 6, "dock.jpg");
    MakeDayFolder('d', Today(), 2, "wrong.jpg");
    script.Check([](HWND dialog) {
        EXPECT_EQ((std::vector<std::string>{"Gate", "Dock"}), Rows(dialog));
        EXPECT_EQ(5, static_cast<int>(SendDlgItemMessageA(dialog, IDC_CAMERA, CB_GETITEMDATA, 1, 0)));
        EXPECT_EQ(0, SelectedRow(dialog));
    });
    NextCamera(script);
    script.Check(AlbumIn(sixth, "dock.jpg"));
    ASSERT_TRUE(script.Play(browser));
}

TEST_F(Chooser, NoDayFolderAnywhereFallsBackToTheRecordDrivesSnapshotFolder)
{
    Enable(0, 0, "Gate");
    SetHostChannel(1);
    ASSERT_EQ('d', g_archiveDisks.m_cRecordDrive);
    ASSERT_TRUE(MakeFolders("d:\\DataPic"));
    WriteWholeFile("d:\\DataPic\\loose.jpg", "");
    CloseUpOn(script, OtherDay());
    script.Check(AlbumIn("d:\\DataPic", "loose.jpg"));
    ASSERT_TRUE(script.Play(browser));
}

TEST_F(Chooser, WithoutASelectedCameraDateChangesWaitForTheFirstPick)
{
    Enable(0, 0, "Gate");
    Enable(1, 1, "Yard");
    SetHostChannel(7);      // no enabled entry is channel 7
    std::string yard = MakeDayFolder('d', OtherDay(), 2, "yard.jpg");
    std::string gate = MakeDayFolder('d', OtherDay(), 1, "gate.jpg");
    script.Check([](HWND dialog) { EXPECT_EQ(CB_ERR, SelectedRow(dialog)); });
    CloseUpOn(script, OtherDay());
    script.Check(AlbumAtHome());
    // From no row to the first: its channel 0 is a change, whatever the
    // chooser held before.
    NextCamera(script);
    script.Check(AlbumIn(gate, "gate.jpg"));
    NextCamera(script);
    script.Check(AlbumIn(yard, "yard.jpg"));
    ASSERT_TRUE(script.Play(browser));
}

TEST_F(NoArchiveDriveChooser, AFallbackThatNamesNoDriveKeepsTheFolderAndListsItAgain)
{
    Enable(0, 0, "Gate");
    SetHostChannel(1);
    script.Check([this](HWND) { album.Touch("home3.jpg"); });
    CloseUpOn(script, OtherDay());
    script.Check([this](HWND) {
        EXPECT_STREQ(album.Path().c_str(), CurrentDirectory().c_str());
        EXPECT_EQ((AlbumList{"home1.jpg", "home2.jpg", "home3.jpg"}), View().m_arrNames);
    });
    ASSERT_TRUE(script.Play(browser));
}

}  // namespace
