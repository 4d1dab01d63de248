// The operator jumps with the chooser to another day and camera: the host
// opens the browser on today's folder of the first camera, File > Open shows
// the chooser, a click on the date picker's drop button and one on a day of
// its calendar pick yesterday, the arrow key in the camera box picks the
// next camera, and "Exit" closes the chooser over the album of that day and
// camera. The chooser lives in the host process, so everything goes through
// posted input; the calendar's hit test is the one message that needs a
// structure, placed in the host's memory. (What the chooser shows and the
// album's moves while it is open are ChooserTest's.)
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/operator/AlbumFolder.h"
#include "tests/operator/BrowserScreen.h"
#include "tests/operator/OperatorSession.h"
#include "tests/support/ChooserCalendar.h"
#include "tests/support/Today.h"

namespace {

// Where the calendar shows the day, found by hit tests over its face.
bool FindDayCell(HostRecord& record, HWND calendar, const SYSTEMTIME& day, POINT* at)
{
    RECT rc;
    GetClientRect(calendar, &rc);
    for (int y = 2; y < rc.bottom; y += 4) {
        for (int x = 2; x < rc.right; x += 4) {
            MCHITTESTINFO hit = {};
            hit.cbSize = sizeof hit;
            hit.pt = {x, y};
            if (!record.Send(calendar, MCM_HITTEST, 0, &hit))
                return false;
            bool shownDay = hit.uHit == MCHT_CALENDARDATE || hit.uHit == MCHT_CALENDARDATEPREV;
            if (shownDay && hit.st.wYear == day.wYear && hit.st.wMonth == day.wMonth && hit.st.wDay == day.wDay) {
                *at = {x, y};
                return true;
            }
        }
    }
    return false;
}

TEST(OperatorChooses, AnotherDayInTheCalendarAndAnotherCameraInTheBox)
{
    // The host and the chooser take the date from the clock while the test
    // runs.
    const SYSTEMTIME today = TodayForTheNext(180);
    const SYSTEMTIME yesterday = DaysBefore(today, 1);
    const std::string start = SampleDayFolder(today, 1);
    const std::string target = SampleDayFolder(yesterday, 2);
    const std::vector<std::string> startFiles = FilesIn(start);
    const std::vector<std::string> targetFiles = FilesIn(target);
    ASSERT_FALSE(startFiles.empty()) << "the sample archive has no folder " << start;
    ASSERT_FALSE(targetFiles.empty()) << "the sample archive has no folder " << target;

    // Three cameras in use; the host's current one is the first.
    TempFolder settings("cam");
    ASSERT_TRUE(WriteWholeFile(settings.PathOf("cameras.ini"),
                               "folder = D:\\DataPic\\{today}\\01\r\n"
                               "current_channel = 1\r\n"
                               "initial_channel = 0\r\n"
                               "all_channels = 0\r\n"
                               "channel = 0 0 1 Front gate\r\n"
                               "channel = 1 1 1 Car park\r\n"
                               "channel = 2 2 1 Lobby\r\n"));
    OperatorSession session;
    ASSERT_TRUE(session.Open("", "--settings \"" + settings.PathOf("cameras.ini") + "\""));
    BrowserScreen& screen = session.Screen();
    ASSERT_TRUE(screen.Press(ID_FILE_OPEN));
    HWND chooser = screen.WaitForChooser(10000);
    ASSERT_NE(nullptr, chooser) << "the chooser did not show";

    // The date: the picker's drop button, then yesterday's cell.
    HWND picker = GetDlgItem(chooser, IDC_DATE);
    RECT pickerRect;
    GetClientRect(picker, &pickerRect);
    PostClick(picker, pickerRect.right - 6, pickerRect.bottom / 2);
    ASSERT_TRUE(WaitUntil([&] { return ChooserCalendarOpen(chooser); }, 5000)) << "the calendar did not drop down";
    HostRecord record(chooser, sizeof(MCHITTESTINFO));
    POINT dayCell = {};
    ASSERT_TRUE(FindDayCell(record, ChooserCalendar(chooser), yesterday, &dayCell)) << "no calendar cell for yesterday";
    PostClick(ChooserCalendar(chooser), dayCell.x, dayCell.y);
    ASSERT_TRUE(WaitUntil([&] { return !ChooserCalendarOpen(chooser); }, 5000)) << "the calendar stayed open";

    // The camera: the down arrow in the box, as a person types it, from
    // the host's current camera to the second row, "Car park".
    HWND combo = GetDlgItem(chooser, IDC_CAMERA);
    PostMessageA(combo, WM_KEYDOWN, VK_DOWN, 0x00500001);
    PostMessageA(combo, WM_KEYUP, VK_DOWN, 0xC0500001);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(combo, CB_GETCURSEL, 0, 0) == 1; }, 5000));

    // "Exit": the album is that of the day and camera chosen.
    modal::Press(chooser, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }, 5000)) << "Exit left the chooser open";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(screen.Frame()) != FALSE; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return screen.PicturesShown() == OnLastPage(targetFiles.size()); }, 5000));
    screen.DoubleClickCell(0);
    ASSERT_TRUE(screen.WaitForTitleOtherThan(kMultiTitle, 5000));
    const std::string title = screen.Title();
    EXPECT_STRCASEEQ(target.c_str(), title.substr(0, title.find_last_of('\\')).c_str());

    EXPECT_TRUE(session.ExitAndFinish());
    EXPECT_EQ(0, VisibleWindowsOf(GetProcessId(session.Host().Handle())));
    EXPECT_EQ(startFiles, FilesIn(start));
    EXPECT_EQ(targetFiles, FilesIn(target));
}

}  // namespace
