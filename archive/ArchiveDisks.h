// The recording archive on the PC's fixed drives other than C: which drives
// hold it (listed once, when the library is loaded), which one records, and
// on which drive the day folder of a channel and date lies.
#pragma once

#include <windows.h>

#include <cstddef>

// Free space a drive needs to become the record drive.
constexpr int RECORD_MIN_FREE_MB = 920;
constexpr size_t DAY_FOLDER_BYTES = 512;
constexpr int MAX_ARCHIVE_DRIVES = 26;

// The platform calls the archive makes. They are the system's own unless a
// test puts wrappers in front of them to watch which drives and folders are
// touched.
struct ArchiveDriveApi {
    DWORD(WINAPI* getLogicalDriveStrings)(DWORD, LPSTR);
    UINT(WINAPI* getDriveType)(LPCSTR);
    BOOL(WINAPI* getDiskFreeSpaceEx)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    UINT(WINAPI* getSystemDirectory)(LPSTR, UINT);
    BOOL(WINAPI* createDirectory)(LPCSTR, LPSECURITY_ATTRIBUTES);
    BOOL(WINAPI* removeDirectory)(LPCSTR);
};
extern ArchiveDriveApi g_archiveDriveApi;
// The system's own calls, to restore after a test.
ArchiveDriveApi SystemDriveApi();

class CArchiveDisks {
public:
    // Lists the archive drives and picks the record drive.
    CArchiveDisks();

    // Fills m_szDrives from slot 0 with the lower-case letters of the fixed
    // drives other than C whose free space can be read; returns how many.
    int ScanDrives();
    // Total size and total free space of a drive, in megabytes.
    void GetDiskSpace(char letter, int* pnTotalMB, int* pnFreeMB);
    // Makes the first drive with RECORD_MIN_FREE_MB free the record drive
    // (1), or else the first archive drive (0).
    int PickRecordDrive();
    // 1 when the folder cannot be created, which is taken as its existence.
    // Creates at most one folder and removes it again.
    int FolderExists(const char* path);
    // The day folder of channel (counted from 0) on the first archive drive
    // that has it, in g_szDayFolder; null when none has it.
    char* FindDayFolder(int channel, int year, int month, int day, int bRecord);

    char m_cRecordDrive = 0;                       // 0 without an archive drive
    char m_szDrives[MAX_ARCHIVE_DRIVES + 1] = {};  // in the platform's drive order
    int m_nDrives = 0;
};

extern CArchiveDisks g_archiveDisks;
// Receives every path FindDayFolder builds; valid until its next call.
extern char g_szDayFolder[DAY_FOLDER_BYTES];
