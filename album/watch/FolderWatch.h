// Watches one folder on a thread of its own and tells a window when its
// names changed: files and folders that arrive, go, are renamed or are
// written. The thread never touches a window; it posts one message, and no
// other until the window has taken the changes (Take), and at most one in
// kGapMs, so that a burst of files gives a few updates a second, not one
// per file. The system's record of the changes is read with
// ReadDirectoryChangesW into a buffer of its own; when that overflows
// (ERROR_NOTIFY_ENUM_DIR), or the folder cannot be read any more, the
// changes are marked lost and the window walks the folder again.
//
// Under Wine 8 (measured on a folder of a Unix drive, docs/PERFORMANCE.md):
// files and folders made or moved in come as added, removed or moved out as
// removed, writes and new write times as modified, a rename within the
// folder as its old and new name in one read; what happens between two
// reads waits for the next one (1,000 new files, 55 KB of records, in one
// read); a buffer too small for what waits fails the read with
// ERROR_NOTIFY_ENUM_DIR and drops the records.
//
// Stop (and the destructor) ends the thread and waits for it.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "album/watch/FolderChanges.h"

class CFolderWatch {
public:
    // Least time between two messages.
    static constexpr DWORD kGapMs = 250;

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
    // Whether the folder is still being read: a watch whose folder went or
    // could not be read any more is started again by the next Start.
    bool Watching() const { return m_thread.joinable() && m_bReading; }
    const std::wstring& Folder() const { return m_strFolder; }

    // The changes since the last call; a message comes again for later ones.
    CFolderChanges Take();

private:
    void Run();
    // Reads the changes; false when the folder can no longer be read.
    bool Read();
    bool Issue();
    void Record(DWORD bytes);
    void PostIfDue();
    DWORD Timeout() const;
    void Release();

    std::wstring m_strFolder;
    HWND m_hWnd = nullptr;
    UINT m_nMessage = 0;
    HANDLE m_hFolder = INVALID_HANDLE_VALUE;
    HANDLE m_hStop = nullptr;
    HANDLE m_hRead = nullptr;      // the read's completion
    OVERLAPPED m_overlapped = {};
    std::vector<DWORD> m_buffer;    // DWORD-aligned, as the records need
    std::atomic<bool> m_bReading{false};
    DWORD m_nLastPost = 0;
    std::thread m_thread;

    mutable std::mutex m_lock;      // guards what follows
    CFolderChanges m_changes;
    bool m_bPosted = false;         // a message waits to be taken
};
