#include "tests/support/FileTree.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>

std::vector<std::string> ListFolder(const std::string& folder, const char* pattern)
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

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> files;
    for (const std::string& name : ListFolder(folder))
        if (!FolderPresent(folder + "\\" + name))
            files.push_back(name);
    return files;
}

bool FolderPresent(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveTree(const std::string& path)
{
    for (const std::string& name : ListFolder(path)) {
        std::string child = path + "\\" + name;
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (FolderPresent(child))
            RemoveTree(child);
        else
            DeleteFileA(child.c_str());
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
    return !FileExists(path);
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

TempFolder::TempFolder(const std::string& prefix, const std::string& parent)
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

TempFolder::~TempFolder()
{
    if (m_path.empty())
        return;
    // A current directory cannot be removed: leave it first.
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    if (lstrcmpiA(current, m_path.c_str()) == 0 || std::string(current).rfind(m_path + "\\", 0) == 0)
        SetCurrentDirectoryA("C:\\");
    RemoveTree(m_path);
}

std::string TempFolder::Touch(const std::string& name) const
{
    std::string path = PathOf(name);
    WriteWholeFile(path, std::string());
    return path;
}

std::string TempFolder::MakeFolder(const std::string& name) const
{
    std::string path = PathOf(name);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

bool MoveWriteTimeOn(const std::string& path, unsigned seconds)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    ULARGE_INTEGER later = {{time.dwLowDateTime, time.dwHighDateTime}};
    later.QuadPart += 10000000ull * seconds;   // in 100 ns steps
    time = {later.LowPart, later.HighPart};
    const bool set = SetFileTime(file, nullptr, nullptr, &time) != FALSE;
    CloseHandle(file);
    return set;
}
