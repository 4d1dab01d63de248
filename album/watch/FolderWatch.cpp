#include "album/watch/FolderWatch.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

// Names of files and folders (the list takes folders whose names match
// too), and writes: a picture written again is painted again.
const DWORD kFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                      FILE_NOTIFY_CHANGE_LAST_WRITE;
// How long Start waits for the thread's first read.
const DWORD kStartWaitMs = 5000;

}  // namespace

bool CFolderWatch::Start(const std::wstring& folder, HWND wnd, UINT message, DWORD bufferBytes)
{
    Stop();
    m_hFolder = CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    m_hStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hRead = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool started = false;
    if (m_hFolder != INVALID_HANDLE_VALUE && m_hStop != nullptr && m_hRead != nullptr && ready != nullptr) {
        try {
            m_buffer.assign((bufferBytes + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
            m_strFolder = folder;
            m_hWnd = wnd;
            m_nMessage = message;
            m_nLastPost = GetTickCount() - kGapMs;
            m_thread = std::thread([this, ready] {
                // Changes after Start returns are told: the first read is
                // issued before it does.
                m_bReading = Issue();
                SetEvent(ready);
                Run();
            });
            started = WaitForSingleObject(ready, kStartWaitMs) == WAIT_OBJECT_0 && m_bReading;
        } catch (...) {
        }
    }
    // The thread is gone before the event it signals.
    if (!started)
        Stop();
    if (ready != nullptr)
        CloseHandle(ready);
    return started;
}

void CFolderWatch::Stop()
{
    if (m_thread.joinable()) {
        SetEvent(m_hStop);
        m_thread.join();
    }
    Release();
}

void CFolderWatch::Release()
{
    for (HANDLE* handle : {&m_hStop, &m_hRead}) {
        if (*handle != nullptr)
            CloseHandle(*handle);
        *handle = nullptr;
    }
    if (m_hFolder != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFolder);
    m_hFolder = INVALID_HANDLE_VALUE;
    std::vector<DWORD>().swap(m_buffer);
    m_strFolder.clear();
    m_bReading = false;
    std::lock_guard<std::mutex> lock(m_lock);
    m_changes = CFolderChanges();
    m_bPosted = false;
}

CFolderChanges CFolderWatch::Take()
{
    CFolderChanges taken;
    std::lock_guard<std::mutex> lock(m_lock);
    std::swap(taken, m_changes);
    m_bPosted = false;
    return taken;
}

bool CFolderWatch::Issue()
{
    ResetEvent(m_hRead);
    m_overlapped = OVERLAPPED();
    m_overlapped.hEvent = m_hRead;
    return ReadDirectoryChangesW(m_hFolder, m_buffer.data(), static_cast<DWORD>(m_buffer.size() * sizeof(DWORD)),
                                 FALSE, kFilter, nullptr, &m_overlapped, nullptr) != FALSE;
}

void CFolderWatch::Run()
{
    // Nothing leaves the thread; whatever ends the loop, the read is ended
    // below before the buffer can go.
    try {
        for (;;) {
            const HANDLE handles[] = {m_hStop, m_hRead};
            const DWORD woke = WaitForMultipleObjects(m_bReading ? 2 : 1, handles, FALSE, Timeout());
            if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED)
                break;
            if (woke == WAIT_OBJECT_0 + 1)
                m_bReading = Read();
            PostIfDue();
        }
    } catch (...) {
    }
    // The system writes into the buffer until the read has ended.
    if (m_bReading) {
        CancelIo(m_hFolder);
        DWORD bytes = 0;
        GetOverlappedResult(m_hFolder, &m_overlapped, &bytes, TRUE);
        m_bReading = false;
    }
}

bool CFolderWatch::Read()
{
    DWORD bytes = 0;
    if (!GetOverlappedResult(m_hFolder, &m_overlapped, &bytes, FALSE)) {
        const DWORD error = GetLastError();
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_changes.Lose();
        }
        // Overflowed: the record starts afresh. Anything else: the folder
        // went or cannot be read; one walk tells what is left of it.
        return error == ERROR_NOTIFY_ENUM_DIR && Issue();
    }
    Record(bytes);
    return Issue();
}

void CFolderWatch::Record(DWORD bytes)
{
    std::lock_guard<std::mutex> lock(m_lock);
    // No record at all is how Windows says that its own overflowed.
    if (bytes == 0) {
        m_changes.Lose();
        return;
    }
    const BYTE* base = reinterpret_cast<const BYTE*>(m_buffer.data());
    const size_t end = std::min<size_t>(bytes, m_buffer.size() * sizeof(DWORD));
    const size_t header = offsetof(FILE_NOTIFY_INFORMATION, FileName);
    try {
        for (size_t at = 0; at + header <= end;) {
            const FILE_NOTIFY_INFORMATION* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(base + at);
            if (at + header + info->FileNameLength > end)
                break;
            m_changes.Add(info->Action, std::wstring(info->FileName, info->FileNameLength / sizeof(WCHAR)));
            if (info->NextEntryOffset == 0)
                break;
            at += info->NextEntryOffset;
        }
    } catch (...) {
        m_changes.Lose();
    }
}

DWORD CFolderWatch::Timeout() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_bPosted || m_changes.Empty())
        return INFINITE;
    const DWORD since = GetTickCount() - m_nLastPost;
    return since >= kGapMs ? 0 : kGapMs - since;
}

void CFolderWatch::PostIfDue()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_bPosted || m_changes.Empty() || GetTickCount() - m_nLastPost < kGapMs)
        return;
    m_nLastPost = GetTickCount();
    // A message that could not be posted is tried again after the gap.
    m_bPosted = PostMessageW(m_hWnd, m_nMessage, 0, 0) != FALSE;
}
