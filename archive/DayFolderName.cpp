#include "archive/DayFolderName.h"

#include <cstdio>
#include <vector>

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

namespace {

bool AllDigits(const std::string& text, size_t from, size_t count)
{
    for (size_t i = from; i < from + count; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

bool IsDayName(const std::string& name)
{
    return name.size() == 10 && AllDigits(name, 0, 4) && name[4] == '-' && AllDigits(name, 5, 2) &&
           name[7] == '-' && AllDigits(name, 8, 2);
}

}  // namespace

bool ReadDayFolderOfFile(const std::string& path, std::string* day, int* folderNumber)
{
    // The last three parts: day, camera and the file's name.
    std::vector<std::string> parts;
    size_t end = path.size();
    while (parts.size() < 3) {
        const size_t slash = end == 0 ? std::string::npos : path.find_last_of("\\/", end - 1);
        const size_t begin = slash == std::string::npos ? 0 : slash + 1;
        parts.push_back(path.substr(begin, end - begin));
        if (slash == std::string::npos)
            break;
        end = slash;
    }
    if (parts.size() < 3 || !IsDayName(parts[2]))
        return false;
    const std::string& camera = parts[1];
    if (camera.size() < 2 || camera.size() > 3 || !AllDigits(camera, 0, camera.size()) || parts[0].empty())
        return false;
    *day = parts[2];
    *folderNumber = std::stoi(camera);
    return *folderNumber >= 1;
}
