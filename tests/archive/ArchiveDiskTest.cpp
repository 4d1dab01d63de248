// The archive drives on real Wine drives. run-archive-drives.sh prepares a
// private prefix per setting (links in dosdevices, a drive typed as CD-ROM,
// tmpfs drives of known sizes, a read-only bind mount) and runs the suite
// of that setting; the program's own static scan at start-up is the one
// under test, as the library's is at load.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "archive/ArchiveDisks.h"
#include "tests/archive/ArchiveTestSupport.h"

namespace {

std::string Drives(const CArchiveDisks& disks)
{
    return std::string(disks.m_szDrives, static_cast<size_t>(disks.m_nDrives));
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    for (const std::string& entry : list) {
        if (entry == item)
            return true;
    }
    return false;
}

// ---- Only C (and Z, typed network) exist.

TEST(NoArchiveDrive, NothingIsListedAndEveryLookupFailsWithoutTouchingDisks)
{
    ASSERT_EQ(DRIVE_NO_ROOT_DIR, GetDriveTypeA("D:\\")) << "the setting still has a drive D";
    EXPECT_EQ(0, g_archiveDisks.m_nDrives);
    EXPECT_EQ(0, g_archiveDisks.m_cRecordDrive);
    for (char slot : g_archiveDisks.m_szDrives)
        EXPECT_EQ(0, slot);

    std::strcpy(g_szDayFolder, "untouched");
    DriveCallLog log;
    EXPECT_EQ(nullptr, g_archiveDisks.FindDayFolder(0, 2010, 7, 5, 0));
    EXPECT_EQ(nullptr, g_archiveDisks.FindDayFolder(3, 2010, 7, 5, 1));
    EXPECT_STREQ("untouched", g_szDayFolder);
    EXPECT_TRUE(DriveCallLog::s_created.empty());
    EXPECT_EQ(0, g_archiveDisks.PickRecordDrive());
}

// ---- D and E fixed (folders), F a CD-ROM drive.

class FixedAndCd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA("F:\\")) << "the setting has no CD drive F";
        Clean();
    }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        SetCurrentDirectoryA("C:\\");
        for (const char* top : {"d:\\DataPic", "d:\\DataRec", "e:\\DataPic", "e:\\DataRec"})
            RemoveTree(top);
    }
};

TEST_F(FixedAndCd, ScanKeepsFixedDrivesLowerCaseInDriveOrderAndNeverWeighsTheCd)
{
    EXPECT_EQ("de", Drives(g_archiveDisks));
    EXPECT_EQ('d', g_archiveDisks.m_cRecordDrive);

    DriveCallLog log;
    CArchiveDisks rescan;
    EXPECT_EQ("de", Drives(rescan));
    EXPECT_EQ(0, rescan.m_szDrives[2]);
    // C is recognised by its root alone; F is typed but never weighed.
    EXPECT_FALSE(Contains(DriveCallLog::s_typeQueries, "c:\\"));
    EXPECT_TRUE(Contains(DriveCallLog::s_typeQueries, "f:\\"));
    EXPECT_FALSE(Contains(DriveCallLog::s_freeSpaceQueries, "f:\\"));
    EXPECT_TRUE(Contains(DriveCallLog::s_freeSpaceQueries, "d:\\"));
    EXPECT_FALSE(Contains(DriveCallLog::s_freeSpaceQueries, "z:\\"));
}

TEST_F(FixedAndCd, LookupProbesTheLowerCaseDPathFirst)
{
    DriveCallLog log;
    EXPECT_EQ(nullptr, g_archiveDisks.FindDayFolder(0, 2010, 7, 5, 0));
    // The drive root itself is never probed.
    ASSERT_FALSE(DriveCallLog::s_createAttempts.empty());
    EXPECT_EQ("d:\\DataPic", DriveCallLog::s_createAttempts.front());
    EXPECT_EQ((std::vector<std::string>{"d:\\DataPic", "e:\\DataPic"}), DriveCallLog::s_created);
    // The buffer keeps the path built for the last drive tried.
    EXPECT_STREQ("e:\\DataPic\\2010-07-05\\01", g_szDayFolder);
    EXPECT_FALSE(FolderPresent("d:\\DataPic"));
    EXPECT_FALSE(FolderPresent("e:\\DataPic"));
}

TEST_F(FixedAndCd, DayFolderOnEOnlyIsFoundAfterOneUndoneProbeOfD)
{
    ASSERT_TRUE(MakeFolders("e:\\DataPic\\2010-12-21\\03"));
    DriveCallLog log;
    const char* found = g_archiveDisks.FindDayFolder(2, 2010, 12, 21, 0);
    ASSERT_NE(nullptr, found);
    EXPECT_STREQ("e:\\DataPic\\2010-12-21\\03", found);
    EXPECT_EQ(g_szDayFolder, found);
    EXPECT_EQ(std::vector<std::string>{"d:\\DataPic"}, DriveCallLog::s_created);
    EXPECT_EQ(std::vector<std::string>{"d:\\DataPic"}, DriveCallLog::s_removed);
    EXPECT_TRUE(ListFolder("d:\\").empty());
}

TEST_F(FixedAndCd, DayFolderOnBothDrivesIsTakenFromDAndENeverProbed)
{
    ASSERT_TRUE(MakeFolders("d:\\DataPic\\2010-12-21\\03"));
    ASSERT_TRUE(MakeFolders("e:\\DataPic\\2010-12-21\\03"));
    DriveCallLog log;
    const char* found = g_archiveDisks.FindDayFolder(2, 2010, 12, 21, 0);
    ASSERT_NE(nullptr, found);
    EXPECT_STREQ("d:\\DataPic\\2010-12-21\\03", found);
    EXPECT_TRUE(DriveCallLog::s_created.empty());
    EXPECT_TRUE(DriveCallLog::s_removed.empty());
}

TEST_F(FixedAndCd, RecordingsAreLookedUpUnderDataRecOnly)
{
    ASSERT_TRUE(MakeFolders("e:\\DataRec\\2011-01-02\\01"));
    const char* found = g_archiveDisks.FindDayFolder(0, 2011, 1, 2, 1);
    ASSERT_NE(nullptr, found);
    EXPECT_STREQ("e:\\DataRec\\2011-01-02\\01", found);
    EXPECT_EQ(nullptr, g_archiveDisks.FindDayFolder(0, 2011, 1, 2, 0));
    EXPECT_EQ(nullptr, g_archiveDisks.FindDayFolder(1, 2011, 1, 2, 1));
    EXPECT_EQ(std::vector<std::string>{"DataRec"}, ListFolder("e:\\"));
}

TEST_F(FixedAndCd, ProbeOfAnExistingFolderAnswersOneAndChangesNothing)
{
    ASSERT_TRUE(MakeFolders("d:\\DataPic\\2010-12-21\\03"));
    DriveCallLog log;
    EXPECT_EQ(1, g_archiveDisks.FolderExists("d:\\DataPic\\2010-12-21\\03"));
    EXPECT_EQ((std::vector<std::string>{"d:\\DataPic", "d:\\DataPic\\2010-12-21", "d:\\DataPic\\2010-12-21\\03"}),
              DriveCallLog::s_createAttempts);
    EXPECT_EQ(1, g_archiveDisks.FolderExists("d:\\DataPic\\2010-12-21\\03\\"));
    EXPECT_EQ(1, g_archiveDisks.FolderExists("d:\\DataPic"));
    EXPECT_EQ(1, g_archiveDisks.FolderExists("d:\\DataPic\\"));
    EXPECT_TRUE(DriveCallLog::s_created.empty());
    EXPECT_TRUE(ListFolder("d:\\DataPic\\2010-12-21\\03").empty());
}

TEST_F(FixedAndCd, ProbeCreatesAndRemovesExactlyTheFirstMissingLevel)
{
    DriveCallLog log;
    EXPECT_EQ(0, g_archiveDisks.FolderExists("d:\\DataPic\\2010-12-21\\03"));
    EXPECT_EQ(std::vector<std::string>{"d:\\DataPic"}, DriveCallLog::s_created);
    EXPECT_EQ(std::vector<std::string>{"d:\\DataPic"}, DriveCallLog::s_removed);
    EXPECT_TRUE(ListFolder("d:\\").empty());

    // A trailing backslash asks the same question of a missing folder.
    DriveCallLog::Clear();
    EXPECT_EQ(0, g_archiveDisks.FolderExists("d:\\DataPic\\"));
    EXPECT_EQ(std::vector<std::string>{"d:\\DataPic"}, DriveCallLog::s_created);
    EXPECT_TRUE(ListFolder("d:\\").empty());

    ASSERT_TRUE(MakeFolders("d:\\DataPic"));
    DriveCallLog::Clear();
    EXPECT_EQ(0, g_archiveDisks.FolderExists("d:\\DataPic\\2010-12-21\\03"));
    EXPECT_EQ(std::vector<std::string>{"d:\\DataPic\\2010-12-21"}, DriveCallLog::s_created);
    EXPECT_TRUE(ListFolder("d:\\DataPic").empty());

    // The last level itself is the one missing.
    ASSERT_TRUE(MakeFolders("d:\\DataPic\\2010-12-21"));
    DriveCallLog::Clear();
    EXPECT_EQ(0, g_archiveDisks.FolderExists("d:\\DataPic\\2010-12-21\\03"));
    EXPECT_EQ(std::vector<std::string>{"d:\\DataPic\\2010-12-21\\03"}, DriveCallLog::s_created);
    EXPECT_TRUE(ListFolder("d:\\DataPic\\2010-12-21").empty());
}

// ---- Free space: D and E are tmpfs of the sizes the script chose.

TEST(RecordDrive, IsTheFirstDriveWithEnoughFreeSpaceOrElseTheFirst)
{
    const std::string expected = EnvOr("ARCHIVE_EXPECT_RECORD", "");
    ASSERT_EQ(1u, expected.size()) << "the setting names no expected record drive";
    const int dFree = std::stoi(EnvOr("ARCHIVE_D_FREE_MB", "0"));
    const int eFree = std::stoi(EnvOr("ARCHIVE_E_FREE_MB", "0"));

    int total = 0, free = 0;
    g_archiveDisks.GetDiskSpace('d', &total, &free);
    EXPECT_EQ(dFree, free);
    EXPECT_EQ(dFree, total);
    g_archiveDisks.GetDiskSpace('e', &total, &free);
    EXPECT_EQ(eFree, free);

    EXPECT_EQ("de", Drives(g_archiveDisks));
    EXPECT_EQ(expected[0], g_archiveDisks.m_cRecordDrive);
    CArchiveDisks rescan;
    const bool anyQualifies = dFree >= RECORD_MIN_FREE_MB || eFree >= RECORD_MIN_FREE_MB;
    rescan.m_cRecordDrive = 0;
    EXPECT_EQ(anyQualifies ? 1 : 0, rescan.PickRecordDrive());
    EXPECT_EQ(expected[0], rescan.m_cRecordDrive);
}

// ---- D refuses every new folder (read-only bind mount), E is writable.

TEST(ReadOnlyDrive, EveryProbeOnItAnswersOneSoItWinsEveryLookup)
{
    ASSERT_FALSE(CreateDirectoryA("d:\\probe", nullptr)) << "drive D is writable in this setting";
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    ASSERT_TRUE(MakeFolders("e:\\DataPic\\2010-12-21\\03"));

    EXPECT_EQ(1, g_archiveDisks.FolderExists("d:\\DataPic\\2010-12-21\\03"));
    EXPECT_EQ(1, g_archiveDisks.FolderExists("d:\\nowhere\\"));
    const char* found = g_archiveDisks.FindDayFolder(2, 2010, 12, 21, 0);
    ASSERT_NE(nullptr, found);
    EXPECT_STREQ("d:\\DataPic\\2010-12-21\\03", found);
    found = g_archiveDisks.FindDayFolder(7, 1999, 1, 1, 1);
    ASSERT_NE(nullptr, found);
    EXPECT_STREQ("d:\\DataRec\\1999-01-01\\08", found);
    RemoveTree("e:\\DataPic");
}

}  // namespace
