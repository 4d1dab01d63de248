#include "AlbumFolder.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::vector<std::string> Entries(const std::string& folder, const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::string NewestSampleDayFolder()
{
    std::vector<std::string> days = Entries("D:\\DataPic", "*-*-*");
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
    for (const std::string& name : Entries(folder, "*"))
        if (!IsFolder(folder + "\\" + name))
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

bool RemoveTree(const std::string& path)
{
    for (const std::string& name : Entries(path, "*")) {
        std::string child = path + "\\" + name;
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (IsFolder(child))
            RemoveTree(child);
        else
            DeleteFileA(child.c_str());
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
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
    return Entries(m_path, "*");
}
