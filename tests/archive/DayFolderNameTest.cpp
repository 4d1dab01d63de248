// Day-folder names and drive roots: the only place where the archive's
// folder names are built.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "archive/DayFolderName.h"

namespace {

std::string DayFolder(const char* root, int year, int month, int day, int channel, bool recordings)
{
    char out[512];
    FormatDayFolder(out, sizeof out, root, year, month, day, channel, recordings);
    return out;
}

TEST(DayFolderName, SnapshotsAndRecordingsDifferOnlyInTheirTopFolder)
{
    EXPECT_EQ("d:\\DataPic\\2010-12-21\\03", DayFolder("d:\\", 2010, 12, 21, 2, false));
    EXPECT_EQ("d:\\DataRec\\2010-12-21\\03", DayFolder("d:\\", 2010, 12, 21, 2, true));
}

TEST(DayFolderName, PadsDateAndChannelAndWidensPastTwoDigits)
{
    EXPECT_EQ("e:\\DataPic\\0999-01-05\\01", DayFolder("e:\\", 999, 1, 5, 0, false));
    EXPECT_EQ("e:\\DataPic\\2026-07-05\\99", DayFolder("e:\\", 2026, 7, 5, 98, false));
    EXPECT_EQ("e:\\DataPic\\2026-07-05\\100", DayFolder("e:\\", 2026, 7, 5, 99, false));
}

TEST(DayFolderName, ReportsTheLengthItNeedsWhenTheBufferIsShort)
{
    char out[8];
    int needed = FormatDayFolder(out, sizeof out, "d:\\", 2010, 12, 21, 2, false);
    EXPECT_EQ(24, needed);
    EXPECT_STREQ("d:\\Data", out);
}

// The day and camera a file's path names, as an export files it; a path that
// only looks like one is no archive's.
TEST(DayFolderName, ReadsTheDayAndCameraOfAFileBack)
{
    const struct {
        const char* path;
        bool archive;
        const char* day;
        int number;
    } rows[] = {
        {"D:\\DataPic\\2010-12-21\\03\\01way-13.57.36.jpg", true, "2010-12-21", 3},
        {"e:\\DataPic\\2026-07-05\\100\\a.bmp", true, "2026-07-05", 100},
        {"2010-12-21\\03\\a.jpg", true, "2010-12-21", 3},
        {"C:\\album\\a.jpg", false, "", 0},
        {"D:\\DataPic\\2010-12-21\\3\\a.jpg", false, "", 0},        // one digit: not the archive's
        {"D:\\DataPic\\2010-12-21\\00\\a.jpg", false, "", 0},       // no channel 0
        {"D:\\DataPic\\2010-1-210\\03\\a.jpg", false, "", 0},
        {"D:\\DataPic\\2010-12-21\\03\\", false, "", 0},            // no file name
        {"03\\a.jpg", false, "", 0},
    };
    for (const auto& row : rows) {
        std::string day;
        int number = 0;
        EXPECT_EQ(row.archive, ReadDayFolderOfFile(row.path, &day, &number)) << row.path;
        if (row.archive) {
            EXPECT_EQ(row.day, day) << row.path;
            EXPECT_EQ(row.number, number) << row.path;
        }
    }
}

TEST(DriveRoot, LowerCasesOnlyAsciiCapitalsInPlace)
{
    char root[DRIVE_ROOT_CHARS];
    MakeDriveRoot(root, 'D');
    EXPECT_STREQ("D:\\", root);
    LowerCaseAscii(root);
    EXPECT_STREQ("d:\\", root);

    // '@' and '[' border 'A' and 'Z'; bytes of 128 and above stay.
    char text[] = "@AZ[az\xc4\xe4\xb5";
    LowerCaseAscii(text);
    EXPECT_STREQ("@az[az\xc4\xe4\xb5", text);
}

}  // namespace
