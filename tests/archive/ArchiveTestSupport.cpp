#include "tests/archive/ArchiveTestSupport.h"

#include <windows.h>

#include <cstdlib>

std::vector<std::string> DriveCallLog::s_typeQueries;
std::vector<std::string> DriveCallLog::s_freeSpaceQueries;
std::vector<std::string> DriveCallLog::s_createAttempts;
std::vector<std::string> DriveCallLog::s_created;
std::vector<std::string> DriveCallLog::s_removed;

namespace {

UINT WINAPI LoggedDriveType(LPCSTR root)
{
    DriveCallLog::s_typeQueries.push_back(root);
    return GetDriveTypeA(root);
}

BOOL WINAPI LoggedFreeSpace(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER free)
{
    DriveCallLog::s_freeSpaceQueries.push_back(root);
    return GetDiskFreeSpaceExA(root, available, total, free);
}

BOOL WINAPI LoggedCreate(LPCSTR path, LPSECURITY_ATTRIBUTES security)
{
    DriveCallLog::s_createAttempts.push_back(path);
    BOOL created = CreateDirectoryA(path, security);
    if (created)
        DriveCallLog::s_created.push_back(path);
    return created;
}

BOOL WINAPI LoggedRemove(LPCSTR path)
{
    DriveCallLog::s_removed.push_back(path);
    return RemoveDirectoryA(path);
}

}  // namespace

DriveCallLog::DriveCallLog()
{
    Clear();
    g_archiveDriveApi.getDriveType = LoggedDriveType;
    g_archiveDriveApi.getDiskFreeSpaceEx = LoggedFreeSpace;
    g_archiveDriveApi.createDirectory = LoggedCreate;
    g_archiveDriveApi.removeDirectory = LoggedRemove;
}

DriveCallLog::~DriveCallLog()
{
    g_archiveDriveApi = SystemDriveApi();
}

void DriveCallLog::Clear()
{
    s_typeQueries.clear();
    s_freeSpaceQueries.clear();
    s_createAttempts.clear();
    s_created.clear();
    s_removed.clear();
}

bool MakeFolders(const std::string& path)
{
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
    return FolderPresent(path);
}

std::string EnvOr(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : fallback;
}
