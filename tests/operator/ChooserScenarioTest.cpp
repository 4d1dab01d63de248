// The operator jumps with the chooser to another day and camera: the host
// opens the browser on today's folder of the first camera, File > Open shows
// the chooser, a click on the date picker's drop button and one on a day of
// its calendar pick yesterday, the arrow key in the camera box picks the
// next camera, and "Exit" closes the chooser over the album of that day and
// camera. The chooser lives in the host process, so everything goes through
// posted input; the calendar's hit test is the one message that needs a
// structure, and that structure is placed in the host's memory.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/operator/AlbumFolder.h"
#include "tests/operator/BrowserScreen.h"
#include "tests/operator/OperatorSession.h"
#include "tests/support/Today.h"

namespace {

const char kMultiTitle[] = "Image browse";

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

void PostClick(HWND wnd, int x, int y)
{
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

struct DialogSearch {
    HWND found;
};

BOOL CALLBACK FindChooser(HWND wnd, LPARAM param)
{
    char cls[16];
    GetClassNameA(wnd, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(wnd) && GetDlgItem(wnd, IDC_DATE) != nullptr) {
        reinterpret_cast<DialogSearch*>(param)->found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND ChooserOf(DWORD thread)
{
    DialogSearch search = {nullptr};
    EnumThreadWindows(thread, FindChooser, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Calendar(HWND chooser)
{
    return reinterpret_cast<HWND>(SendDlgItemMessageA(chooser, IDC_DATE, DTM_GETMONTHCAL, 0, 0));
}

bool CalendarOpen(HWND chooser)
{
    HWND calendar = Calendar(chooser);
    return calendar != nullptr && IsWindowVisible(calendar);
}

// A record in the host's memory for the common controls' messages that
// fill a structure, which no one carries across processes.
class RemoteRecord {
public:
    RemoteRecord(HANDLE process, SIZE_T size) : m_process(process), m_size(size)
    {
        m_remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteRecord()
    {
        if (m_remote != nullptr)
            VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    }
    RemoteRecord(const RemoteRecord&) = delete;
    RemoteRecord& operator=(const RemoteRecord&) = delete;

    bool Ready() const { return m_remote != nullptr; }

    // Sends the message with the record, filled from and read back into
    // *local; false when the host's memory could not be reached.
    template <typename Record>
    bool Send(HWND wnd, UINT message, WPARAM wParam, Record* local, LRESULT* result = nullptr)
    {
        SIZE_T moved = 0;
        if (sizeof(Record) > m_size || !WriteProcessMemory(m_process, m_remote, local, sizeof(Record), &moved))
            return false;
        LRESULT r = SendMessageA(wnd, message, wParam, reinterpret_cast<LPARAM>(m_remote));
        if (result != nullptr)
            *result = r;
        return ReadProcessMemory(m_process, m_remote, local, sizeof(Record), &moved) != 0;
    }

private:
    HANDLE m_process;
    SIZE_T m_size;
    void* m_remote = nullptr;
};

// Where the calendar shows the day, found by hit tests over its face.
bool FindDayCell(RemoteRecord& record, HWND calendar, const SYSTEMTIME& day, POINT* at)
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

std::string SelectedCameraName(HWND chooser)
{
    HWND combo = GetDlgItem(chooser, IDC_CAMERA);
    int row = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    if (row < 0)
        return "";
    // The wide message: the narrow one loses all but the first letter on
    // its way between processes.
    wchar_t text[400] = L"";
    SendMessageW(combo, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
    char narrow[400] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

// Three cameras in use; the host's current one is the first.
class SettingsFile {
public:
    SettingsFile()
    {
        char temp[MAX_PATH], name[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        GetTempFileNameA(temp, "cam", 0, name);
        m_path = name;
        WriteWholeFile(m_path,
                       "folder = D:\\DataPic\\{today}\\01\r\n"
                       "current_channel = 1\r\n"
                       "initial_channel = 0\r\n"
                       "all_channels = 0\r\n"
                       "channel = 0 0 1 Front gate\r\n"
                       "channel = 1 1 1 Car park\r\n"
                       "channel = 2 2 1 Lobby\r\n");
    }
    ~SettingsFile() { DeleteFileA(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Pictures on the last page of a folder of count pictures.
int OnLastPage(size_t count)
{
    return count % 9 == 0 ? 9 : static_cast<int>(count % 9);
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
    const int startCells = OnLastPage(startFiles.size());
    const int targetCells = OnLastPage(targetFiles.size());
    ASSERT_NE(startCells, targetCells) << "the two folders' last pages look alike";

    SettingsFile settings;
    OperatorSession session;
    ASSERT_TRUE(session.Open("", "--settings \"" + settings.Path() + "\""));
    BrowserScreen& screen = session.Screen();
    ASSERT_TRUE(screen.WaitForCellFilled(startCells - 1, true, 5000));
    if (startCells < 9) {
        ASSERT_TRUE(screen.WaitForCellFilled(startCells, false, 5000));
    }

    ASSERT_TRUE(screen.Press(ID_FILE_OPEN));
    HWND chooser = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (chooser = ChooserOf(screen.Thread())) != nullptr; }, 10000))
        << "the chooser did not show";
    EXPECT_FALSE(IsWindowEnabled(screen.Frame()));
    EXPECT_EQ("Front gate", SelectedCameraName(chooser));

    // The date: the picker's drop button, then yesterday's cell.
    HWND picker = GetDlgItem(chooser, IDC_DATE);
    RECT pickerRect;
    GetClientRect(picker, &pickerRect);
    PostClick(picker, pickerRect.right - 6, pickerRect.bottom / 2);
    ASSERT_TRUE(WaitUntil([&] { return CalendarOpen(chooser); }, 5000)) << "the calendar did not drop down";
    RemoteRecord record(session.Host().Handle(), 256);
    ASSERT_TRUE(record.Ready());
    POINT dayCell = {};
    ASSERT_TRUE(FindDayCell(record, Calendar(chooser), yesterday, &dayCell)) << "no calendar cell for yesterday";
    PostClick(Calendar(chooser), dayCell.x, dayCell.y);
    ASSERT_TRUE(WaitUntil([&] { return !CalendarOpen(chooser); }, 5000)) << "the calendar stayed open";
    SYSTEMTIME shown = {};
    LRESULT valid = GDT_NONE;
    ASSERT_TRUE(record.Send(picker, DTM_GETSYSTEMTIME, 0, &shown, &valid));
    EXPECT_EQ(GDT_VALID, valid);
    EXPECT_EQ(yesterday.wMonth, shown.wMonth);
    EXPECT_EQ(yesterday.wDay, shown.wDay);

    // The camera: the down arrow in the box, as a person types it.
    HWND combo = GetDlgItem(chooser, IDC_CAMERA);
    PostMessageA(combo, WM_KEYDOWN, VK_DOWN, 0x00500001);
    PostMessageA(combo, WM_KEYUP, VK_DOWN, 0xC0500001);
    EXPECT_TRUE(WaitUntil([&] { return SelectedCameraName(chooser) == "Car park"; }, 5000))
        << SelectedCameraName(chooser);

    // The album moved while the chooser is open: its last page is the
    // other folder's.
    EXPECT_TRUE(screen.WaitForCellFilled(targetCells - 1, true, 5000)) << screen.Describe(targetCells - 1);
    if (targetCells < 9) {
        EXPECT_TRUE(screen.WaitForCellFilled(targetCells, false, 5000)) << screen.Describe(targetCells);
    }

    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDOK)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }, 5000)) << "Exit left the chooser open";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(screen.Frame()) != FALSE; }, 5000));
    EXPECT_EQ(kMultiTitle, screen.Title());
    EXPECT_TRUE(screen.CellShowsPicture(0)) << screen.Describe(0);

    // Alone, the first picture of the last page names the chosen folder.
    screen.DoubleClickCell(0);
    ASSERT_TRUE(screen.WaitForTitleOtherThan(kMultiTitle, 5000));
    std::string title = screen.Title();
    EXPECT_EQ(Lower(target), Lower(title.substr(0, title.find_last_of('\\')))) << title;
    ASSERT_TRUE(screen.Press(ID_MULTI_SHOW));
    ASSERT_TRUE(screen.WaitForTitle(kMultiTitle, 5000));

    EXPECT_TRUE(session.ExitAndFinish());
    EXPECT_EQ(0, VisibleWindowsOf(GetProcessId(session.Host().Handle())));
    EXPECT_EQ(startFiles, FilesIn(start));
    EXPECT_EQ(targetFiles, FilesIn(target));
}

}  // namespace
