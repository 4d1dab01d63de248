// Watches one folder on a thread of its own and tells a window when its
// names changed: files and folders that arrive, go, are renamed or are
// written. The thread never touches a window; it posts one message, and no
// other until the window has taken the changes (Take), and at most one in
// kGapMs, so that a burst of files gives a few updates a second, not one
// per file. The system's record of the changes is read with
// ReadDirectoryChangesW into a buffer of its own; when that overflows
// (ERROR_NOTIFY_ENUM_DIR), or the folder cannot be read for a while (a
// share that drops, access denied, the folder gone), the changes are
// marked lost and the window walks the folder again. A read that failed
// is tried again after a growing pause (kFirstRetryMs, doubled up to
// kLastRetryMs), on a new handle of the folder; once one can be issued
// again the changes are marked lost once more, so that one walk catches up.
//
// Under Wine 8 (measured on a folder of a Unix drive, docs/PERFORMANCE.md):
// files and folders made or moved in come as added, removed or moved out as
// removed, writes and new write times as modified, a rename within the
// folder as its old and new name in one read; what happens between two
// reads waits for the next one (1,000 new files, 55 KB of records, in one
// read); a buffer too small for what waits fails the read with
// ERROR_NOTIFY_ENUM_DIR and drops the records.
//
// The caller's thread never waits long for the watch: Start issues the
// first read itself and waits for nothing; Stop waits up to kStopWaitMs for
// the thread. A read that cannot be cancelled in that time (a share that
// does not answer) is left to its thread, which owns everything it uses
// (buffer, handles, record) together with the watch and keeps its module
// loaded until it ends; it posts nothing after Stop.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "album/watch/FolderChanges.h"

// The system's calls the watch reads with; tests put failing ones here.
extern BOOL(WINAPI* g_pfnReadDirectoryChanges)(HANDLE, LPVOID, DWORD, BOOL, DWORD, LPDWORD, LPOVERLAPPED,
                                               LPOVERLAPPED_COMPLETION_ROUTINE);
extern BOOL(WINAPI* g_pfnGetOverlappedResult)(HANDLE, LPOVERLAPPED, LPDWORD, BOOL);

class CFolderWatch {
public:
    // Least time between two messages.
    static constexpr DWORD kGapMs = 250;
    // The pauses before a failed read is tried again.
    static constexpr DWORD kFirstRetryMs = 500;
    static constexpr DWORD kLastRetryMs = 30000;
    // The longest wait of Stop for the thread.
    static constexpr DWORD kStopWaitMs = 1000;

    CFolderWatch() = default;
    ~CFolderWatch() { Stop(); }
    CFolderWatch(const CFolderWatch&) = delete;
    CFolderWatch& operator=(const CFolderWatch&) = delete;

    // Watches folder from now on (every change after the call returns is
    // told) and posts message to wnd when changes wait. A watch of another
    // folder stops first. bufferBytes is the size of the system's record
    // between two reads. False when the folder cannot be watched.
    bool Start(const std::wstring& folder, HWND wnd, UINT message, DWORD bufferBytes);
    void Stop();
    // Whether the folder is watched (also while a failed read waits to be
    // tried again).
    bool Watching() const { return m_hThread != nullptr; }
    const std::wstring& Folder() const { return m_strFolder; }

    // The changes since the last call; a message comes again for later ones.
    CFolderChanges Take();

    // What the watch's thread owns together with the watch (FolderWatch.cpp).
    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
    HANDLE m_hThread = nullptr;
    std::wstring m_strFolder;
};
