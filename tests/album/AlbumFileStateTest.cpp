// What rename and delete do to the album's list and state, and the name
// rules of save as and rename, without windows or files.
#include <gtest/gtest.h>

#include <string>

#include "album/AlbumState.h"
#include "album/FileNameRules.h"

namespace {

std::string NameOf(int i) { return "f" + std::to_string(i) + ".jpg"; }
std::string PathOf(int i) { return "C:\\album\\" + NameOf(i); }

CAlbumState AlbumOf(int files)
{
    CAlbumState album;
    album.ResetList();
    for (int i = 0; i < files; ++i)
        album.AppendFile(PathOf(i), NameOf(i));
    album.ShowLastPage();
    return album;
}

// The two lists still describe the same files, in the same order.
void ExpectListsAgree(const CAlbumState& album)
{
    ASSERT_EQ(album.m_arrNames.size(), album.m_arrPaths.size());
    for (size_t i = 0; i < album.m_arrNames.size(); ++i)
        EXPECT_EQ("C:\\album\\" + album.m_arrNames[i], album.m_arrPaths[i]) << i;
}

// Code page 936: lead bytes 0x81 to 0xFE.
bool GbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

TEST(AlbumRename, ReplacesTheCurrentEntryInPlaceInBothLists)
{
    CAlbumState album = AlbumOf(3);
    album.m_nCurrent = 1;
    album.m_nCellSel = 1;
    album.ReplaceCurrentName("door.jpg");
    EXPECT_EQ((std::vector<std::string>{"f0.jpg", "door.jpg", "f2.jpg"}), album.m_arrNames);
    EXPECT_EQ("C:\\album\\door.jpg", album.m_arrPaths[1]);
    EXPECT_EQ("C:\\album\\door.jpg", album.m_strCurrent);
    EXPECT_EQ(1, album.m_nCurrent);
    EXPECT_EQ(1, album.m_nCellSel);
    EXPECT_EQ(0, album.m_nPageTop);
    ExpectListsAgree(album);
}

TEST(AlbumRename, KeepsAFolderWhoseTwoByteNameEndsInABackslashByte)
{
    CAlbumState album;
    // "\x95\x5C" is one character whose second byte is the backslash code.
    album.AppendFile("C:\\\x95\x5C\\gate.jpg", "gate.jpg");
    album.ReplaceCurrentName("door.jpg", GbkLead);
    EXPECT_EQ("C:\\\x95\x5C\\door.jpg", album.m_arrPaths[0]);
}

TEST(AlbumDelete, AnEntryAloneOnTheLastPageShowsThePreviousPageWithItsLastCell)
{
    CAlbumState album = AlbumOf(10);
    ASSERT_EQ(9, album.m_nPageTop);
    ASSERT_EQ(9, album.m_nCurrent);
    album.RemoveCurrent();
    EXPECT_EQ(9, album.Count());
    EXPECT_EQ(0, album.m_nPageTop);
    EXPECT_EQ(8, album.m_nCellSel);
    EXPECT_EQ(8, album.m_nCurrent);
    EXPECT_EQ(PathOf(8), album.m_strCurrent);
    ExpectListsAgree(album);
}

TEST(AlbumDelete, AnEntryInsideThePageLetsTheNextOneMoveIntoItsCell)
{
    CAlbumState album = AlbumOf(5);
    album.SelectCell(3);
    album.RemoveCurrent();
    EXPECT_EQ((std::vector<std::string>{NameOf(0), NameOf(1), NameOf(2), NameOf(4)}), album.m_arrNames);
    EXPECT_EQ(0, album.m_nPageTop);
    EXPECT_EQ(3, album.m_nCellSel);
    EXPECT_EQ(3, album.m_nCurrent);
    EXPECT_EQ(PathOf(4), album.m_strCurrent);
    ExpectListsAgree(album);
}

TEST(AlbumDelete, TheLastCellOfAPartialPageSelectsTheCellBefore)
{
    CAlbumState album = AlbumOf(5);
    album.SelectCell(4);
    album.RemoveCurrent();
    EXPECT_EQ(0, album.m_nPageTop);
    EXPECT_EQ(3, album.m_nCellSel);
    EXPECT_EQ(3, album.m_nCurrent);
    EXPECT_EQ(PathOf(3), album.m_strCurrent);
}

TEST(AlbumDelete, InSingleModeTheLastPictureGivesWayToTheNewLast)
{
    CAlbumState album = AlbumOf(5);
    album.ShowCellAlone(4);
    album.RemoveCurrent();
    EXPECT_EQ(1, album.m_bSingle);
    EXPECT_EQ(3, album.m_nCurrent);
    EXPECT_EQ(PathOf(3), album.m_strCurrent);
    // Back in multi mode the page is recomputed from the current picture.
    album.MultiShow();
    EXPECT_EQ(0, album.m_nPageTop);
    EXPECT_EQ(3, album.m_nCellSel);
}

TEST(AlbumDelete, InSingleModeTheFirstPictureGivesWayToItsSuccessor)
{
    CAlbumState album = AlbumOf(5);
    album.ShowCellAlone(0);
    album.RemoveCurrent();
    EXPECT_EQ(0, album.m_nCurrent);
    EXPECT_EQ(PathOf(1), album.m_strCurrent);
    EXPECT_EQ(PathOf(1), album.m_arrPaths[0]);
    EXPECT_EQ(4, album.Count());
}

TEST(AlbumDelete, TheOnlyPictureLeavesAnEmptyAlbumInEitherMode)
{
    for (int single : {0, 1}) {
        CAlbumState album = AlbumOf(1);
        if (single)
            album.ShowCellAlone(0);
        album.RemoveCurrent();
        EXPECT_EQ(0, album.Count()) << single;
        EXPECT_TRUE(album.m_arrNames.empty()) << single;
        EXPECT_EQ("", album.m_strCurrent) << single;
        EXPECT_EQ(0, album.m_nCurrent) << single;
        EXPECT_EQ(0, album.m_nPageTop) << single;
        EXPECT_EQ(0, album.m_nCellSel) << single;
        EXPECT_FALSE(album.HasCurrent()) << single;
        EXPECT_FALSE(album.CanChangeCurrentFile()) << single;
    }
}

TEST(AlbumDelete, WithoutACurrentPictureNothingIsRemoved)
{
    CAlbumState album = AlbumOf(3);
    album.m_nCurrent = 3;
    album.RemoveCurrent();
    EXPECT_EQ(3, album.Count());
}

TEST(SaveName, AnOutOfRangeTypeChoiceFallsBackToTheFirst)
{
    for (int index : {1, 2, 3, 4, 5, 6})
        EXPECT_EQ(index, SaveChoiceOrFirst(index));
    for (int index : {0, -1, 7, 1000})
        EXPECT_EQ(1, SaveChoiceOrFirst(index)) << index;
}

TEST(SaveName, CutsTheFileNameAtItsFirstDotAndNeverAFolder)
{
    EXPECT_EQ("C:\\out\\a.TIF", SavePathWithExtension("C:\\out\\a.b.c", ".TIF"));
    EXPECT_EQ("C:\\2010.12\\snap.JPG", SavePathWithExtension("C:\\2010.12\\snap", ".JPG"));
    EXPECT_EQ("C:\\2010.12\\snap.GIF", SavePathWithExtension("C:\\2010.12\\snap.bmp", ".GIF"));
    EXPECT_EQ("C:\\x.y/z.PCX", SavePathWithExtension("C:\\x.y/z", ".PCX"));
    EXPECT_EQ("C:\\out\\.BMP", SavePathWithExtension("C:\\out\\.hidden", ".BMP"));
}

TEST(SaveName, ASecondByteThatLooksLikeABackslashDoesNotEndTheFolder)
{
    // File name "a.\x95\x5C" + "b": the dot before the two-byte character
    // belongs to the file name and is where the cut happens.
    EXPECT_EQ("C:\\f\\a.JPG", SavePathWithExtension("C:\\f\\a.\x95\x5C" "b", ".JPG", GbkLead));
}

TEST(RenameName, KeepsTheListedExtensionAndOffersTheStem)
{
    EXPECT_EQ(".jpg", ListedExtension("gate.jpg"));
    EXPECT_EQ("gate", ListedStem("gate.jpg"));
    EXPECT_EQ("a.b", ListedStem("a.b.TIF"));
    EXPECT_EQ("", ListedStem(".bmp"));
}

TEST(RenameName, RefusesNamesThatCouldLeaveTheFolderOrNameNoFile)
{
    for (const char* bad : {"..\\x", "a/b", "c:x", "a*", "a?", "a\"b", "a<b", "a>b", "a|b", "a\tb", "\x01"})
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
    for (const char* good : {"door", "door 2", "a.b", "..", "#1 (copy)"})
        EXPECT_TRUE(IsPlainFileName(good)) << good;
}

TEST(RenameName, ATwoByteCharacterIsNotReadAsASeparator)
{
    EXPECT_TRUE(IsPlainFileName("\x95\x5C", GbkLead));
    EXPECT_TRUE(IsPlainFileName("\x95|x", GbkLead));
    EXPECT_FALSE(IsPlainFileName("\x95\x5C", nullptr));
    EXPECT_FALSE(IsPlainFileName("\x95\x5C\\", GbkLead));
}

TEST(DeleteQuestion, IsInCodePage936AndHoldsANameOfAnyLength)
{
    EXPECT_EQ("\xC8\xB7\xD0\xC5\xD2\xAA\xC9\xBE\xB3\xFD" "gate.jpg?", DeleteQuestion("gate.jpg"));
    std::string longName(250, 'n');
    longName += ".jpg";
    std::string question = DeleteQuestion(longName);
    EXPECT_EQ(10 + longName.size() + 1, question.size());
    EXPECT_NE(std::string::npos, question.find(longName));
}

}  // namespace
