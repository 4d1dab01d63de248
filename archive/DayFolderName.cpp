#include "archive/DayFolderName.h"

#include <cstdio>

void LowerCaseAscii(char* text)
{
    for (; *text != '\0'; ++text) {
        if (*text >= 'A' && *text <= 'Z')
            *text = static_cast<char>(*text + ('a' - 'A'));
    }
}

void MakeDriveRoot(char* root, char letter)
{
    root[0] = letter;
    root[1] = ':';
    root[2] = '\\';
    root[3] = '\0';
}

int FormatDayFolder(char* out, size_t size, const char* root, int year, int month, int day,
                    int channel, bool forRecordings)
{
    const char* format = forRecordings ? "%sDataRec\\%04d-%02d-%02d\\%02d" : "%sDataPic\\%04d-%02d-%02d\\%02d";
    return std::snprintf(out, size, format, root, year, month, day, channel + 1);
}
