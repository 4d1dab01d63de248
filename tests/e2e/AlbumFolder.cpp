#include "tests/e2e/AlbumFolder.h"

#include <windows.h>

std::string NewestSampleDayFolder()
{
    std::vector<std::string> days = ListFolder("D:\\DataPic", "*-*-*");
    for (auto day = days.rbegin(); day != days.rend(); ++day) {
        std::string folder = "D:\\DataPic\\" + *day + "\\01";
        if (!FilesIn(folder).empty())
            return folder;
    }
    return "";
}

std::vector<std::string> AlbumFolder::CopySnapshots(int count)
{
    std::vector<std::string> copied;
    std::string source = NewestSampleDayFolder();
    if (source.empty())
        return copied;
    for (const std::string& name : FilesIn(source)) {
        if (static_cast<int>(copied.size()) == count)
            break;
        if (CopyIn(source + "\\" + name, name))
            copied.push_back(name);
    }
    return copied;
}

bool AlbumFolder::CopyIn(const std::string& source, const std::string& name)
{
    std::string target = PathOf(name);
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE))
        return false;
    // Copies of the archive's files keep no read-only mark of their source.
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    return true;
}
