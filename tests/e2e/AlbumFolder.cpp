#include "AlbumFolder.h"

#include "FileTree.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

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

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> files;
    for (const std::string& name : ListFolder(folder, "*"))
        if (!FolderPresent(folder + "\\" + name))
            files.push_back(name);
    return files;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

AlbumFolder::AlbumFolder(const std::string& prefix, const std::string& parent)
{
    std::string base = parent;
    if (base.empty()) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        base = temp;
    }
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    for (unsigned n = GetTickCount() % 100000;; ++n) {
        m_path = base + "\\" + prefix + std::to_string(n);
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            m_path.clear();
            return;
        }
    }
}

AlbumFolder::~AlbumFolder()
{
    if (!m_path.empty())
        RemoveTree(m_path);
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

bool AlbumFolder::Write(const std::string& name, const std::string& bytes)
{
    return WriteWholeFile(PathOf(name), bytes);
}

std::string AlbumFolder::Read(const std::string& name) const
{
    return ReadWholeFile(PathOf(name));
}

bool AlbumFolder::Exists(const std::string& name) const
{
    return GetFileAttributesA(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> AlbumFolder::Names() const
{
    return ListFolder(m_path, "*");
}
