#include "archive/ArchiveDisks.h"

#include <cstring>

#include "archive/DayFolderName.h"

namespace {

const char kSystemRootTemplate[DRIVE_ROOT_CHARS] = "C:\\";
constexpr DWORD kDriveListChars = 255;
constexpr int kFolderPathBytes = 256;
constexpr int kFirstProbedBackslash = 4;  // past the root's own backslash

int Megabytes(ULONGLONG bytes)
{
    return static_cast<int>(bytes >> 20);
}

}  // namespace

ArchiveDriveApi SystemDriveApi()
{
    return {GetLogicalDriveStringsA, GetDriveTypeA,    GetDiskFreeSpaceExA,
            GetSystemDirectoryA,     CreateDirectoryA, RemoveDirectoryA};
}

// Defined before g_archiveDisks: objects of one file are constructed in
// order, and the scan at load needs the calls in place.
ArchiveDriveApi g_archiveDriveApi = SystemDriveApi();
CArchiveDisks g_archiveDisks;
char g_szDayFolder[DAY_FOLDER_BYTES];

CArchiveDisks::CArchiveDisks()
{
    m_nDrives = ScanDrives();
    PickRecordDrive();
}

int CArchiveDisks::ScanDrives()
{
    char currentRoot[DRIVE_ROOT_CHARS];
    char systemRoot[DRIVE_ROOT_CHARS];
    std::memcpy(currentRoot, kSystemRootTemplate, sizeof currentRoot);
    std::memcpy(systemRoot, kSystemRootTemplate, sizeof systemRoot);
    // Three characters never hold a system directory, so the call leaves
    // "C:\" in place: drive C is what counts as the system drive.
    g_archiveDriveApi.getSystemDirectory(systemRoot, 3);

    char list[kDriveListChars + 1] = {};
    DWORD length = g_archiveDriveApi.getLogicalDriveStrings(kDriveListChars, list);
    if (length > kDriveListChars)   // the list did not fit: nothing was written
        length = 0;
    int roots = static_cast<int>(length / DRIVE_ROOT_CHARS);
    int count = 0;
    for (int i = 0; i < roots && count < MAX_ARCHIVE_DRIVES; ++i) {
        std::memcpy(currentRoot, list + i * DRIVE_ROOT_CHARS, DRIVE_ROOT_CHARS);
        LowerCaseAscii(currentRoot);
        LowerCaseAscii(systemRoot);
        if (std::strcmp(currentRoot, systemRoot) == 0)
            continue;
        if (g_archiveDriveApi.getDriveType(currentRoot) != DRIVE_FIXED)
            continue;
        ULARGE_INTEGER available, total, free;
        if (!g_archiveDriveApi.getDiskFreeSpaceEx(currentRoot, &available, &total, &free))
            continue;
        m_szDrives[count++] = currentRoot[0];
    }
    return count;
}

void CArchiveDisks::GetDiskSpace(char letter, int* pnTotalMB, int* pnFreeMB)
{
    char root[DRIVE_ROOT_CHARS];
    MakeDriveRoot(root, letter);
    // A drive whose query fails reads as empty and full, so it never
    // qualifies as the record drive by its free space.
    ULARGE_INTEGER available = {}, total = {}, free = {};
    g_archiveDriveApi.getDiskFreeSpaceEx(root, &available, &total, &free);
    *pnTotalMB = Megabytes(total.QuadPart);
    *pnFreeMB = Megabytes(free.QuadPart);
}

int CArchiveDisks::PickRecordDrive()
{
    if (m_nDrives <= 0)
        return 0;
    for (int i = 0; i < m_nDrives; ++i) {
        int totalMB = 0, freeMB = 0;
        GetDiskSpace(m_szDrives[i], &totalMB, &freeMB);
        if (freeMB >= RECORD_MIN_FREE_MB) {
            m_cRecordDrive = m_szDrives[i];
            return 1;
        }
    }
    m_cRecordDrive = m_szDrives[0];
    return 0;
}

int CArchiveDisks::FolderExists(const char* path)
{
    char copy[kFolderPathBytes];
    std::strncpy(copy, path, sizeof copy - 1);
    copy[sizeof copy - 1] = '\0';
    int length = static_cast<int>(std::strlen(copy));
    if (length > 0 && copy[length - 1] == '\\')
        copy[--length] = '\0';

    // The first level that can be created is the first one missing; it is
    // removed again at once, so the probe leaves the disk as it found it.
    for (int i = kFirstProbedBackslash; i < length; ++i) {
        if (copy[i] != '\\')
            continue;
        copy[i] = '\0';
        if (g_archiveDriveApi.createDirectory(copy, nullptr)) {
            g_archiveDriveApi.removeDirectory(copy);
            return 0;
        }
        copy[i] = '\\';
    }
    if (!g_archiveDriveApi.createDirectory(copy, nullptr))
        return 1;
    g_archiveDriveApi.removeDirectory(copy);
    return 0;
}

char* CArchiveDisks::FindDayFolder(int channel, int year, int month, int day, int bRecord)
{
    for (int i = 0; i < m_nDrives; ++i) {
        char root[DRIVE_ROOT_CHARS];
        MakeDriveRoot(root, m_szDrives[i]);
        FormatDayFolder(g_szDayFolder, sizeof g_szDayFolder, root, year, month, day, channel,
                        bRecord != 0);
        if (FolderExists(g_szDayFolder) == 1)
            return g_szDayFolder;
    }
    return nullptr;
}
