// The name rules of save as, rename and delete, without windows or files.
#include <gtest/gtest.h>

#include <string>

#include "album/FileNameRules.h"

namespace {

// Code page 936: lead bytes 0x81 to 0xFE.
bool GbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

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
