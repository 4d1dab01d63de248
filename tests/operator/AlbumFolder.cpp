#include "tests/operator/AlbumFolder.h"

#include <windows.h>

#include <cstdio>

#include "tests/support/Today.h"

namespace {

const char kArchive[] = "D:\\DataPic";

std::string CameraFolder(const std::string& day, int folderNumber)
{
    char number[8];
    std::snprintf(number, sizeof number, "%02d", folderNumber);
    return std::string(kArchive) + "\\" + day + "\\" + number;
}

}  // namespace

std::string SampleDayFolder(const SYSTEMTIME& day, int folderNumber)
{
    const std::string name = DayFolderName(day);
    const std::string folder = CameraFolder(name, folderNumber);
    if (!FilesIn(folder).empty())
        return folder;
    std::string source;
    for (const std::string& earlier : ListFolder(kArchive, "*-*-*"))
        if (earlier < name && !FilesIn(CameraFolder(earlier, folderNumber)).empty())
            source = CameraFolder(earlier, folderNumber);
    if (source.empty())
        return folder;
    // Filled beside it and moved in whole, so that no one sees half of it.
    CreateDirectoryA((std::string(kArchive) + "\\" + name).c_str(), nullptr);
    const std::string partial = folder + ".partial" + std::to_string(GetCurrentProcessId());
    RemoveTree(partial);
    CreateDirectoryA(partial.c_str(), nullptr);
    for (const std::string& file : FilesIn(source)) {
        const std::string target = partial + "\\" + file;
        CopyFileA((source + "\\" + file).c_str(), target.c_str(), FALSE);
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    if (!MoveFileA(partial.c_str(), folder.c_str()))
        RemoveTree(partial);    // made meanwhile by another test
    return folder;
}

std::string NewestSampleDayFolder()
{
    std::vector<std::string> days = ListFolder(kArchive, "*-*-*");
    for (auto day = days.rbegin(); day != days.rend(); ++day) {
        std::string folder = CameraFolder(*day, 1);
        if (!FilesIn(folder).empty())
            return folder;
    }
    return "";
}

std::vector<std::string> SampleSnapshots(const char* extension)
{
    const std::string folder = NewestSampleDayFolder();
    std::vector<std::string> paths;
    for (const std::string& name : FilesIn(folder))
        if (name.size() > 4 && lstrcmpiA(name.substr(name.size() - 4).c_str(), extension) == 0)
            paths.push_back(folder + "\\" + name);
    return paths;
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
