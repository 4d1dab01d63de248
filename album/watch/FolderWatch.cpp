#include "album/watch/FolderWatch.h"

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <utility>
#include <vector>

BOOL(WINAPI* g_pfnReadDirectoryChanges)(HANDLE, LPVOID, DWORD, BOOL, DWORD, LPDWORD, LPOVERLAPPED,
                                        LPOVERLAPPED_COMPLETION_ROUTINE) = ReadDirectoryChangesW;
BOOL(WINAPI* g_pfnGetOverlappedResult)(HANDLE, LPOVERLAPPED, LPDWORD, BOOL) = GetOverlappedResult;

namespace {

// Names of files and folders (the list takes folders whose names match
// too), and writes: a picture written again is painted again.
const DWORD kFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                      FILE_NOTIFY_CHANGE_LAST_WRITE;

HANDLE OpenFolder(const std::wstring& folder)
{
    return CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
}

}  // namespace

struct CFolderWatch::Shared {
    Shared(const std::wstring& folder, HWND wnd, UINT message) : m_strFolder(folder), m_hWnd(wnd), m_nMessage(message)
    {
    }
    ~Shared()
    {
        CloseFolder();
        for (HANDLE handle : {m_hStop, m_hRead})
            if (handle != nullptr)
                CloseHandle(handle);
    }
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    void Run();
    // Issues a read of the changes; false when the folder cannot be read.
    bool Issue();
    // Takes a finished read; false when the folder can no longer be read.
    bool Read();
    // A new handle and a new read after a failed one.
    bool Reopen();
    // A read failed or could not be issued: the next try after a pause.
    void Failed();
    void Record(DWORD bytes);
    void Lose();
    void PostIfDue();
    DWORD Timeout() const;
    void CloseFolder()
    {
        if (m_hFolder != INVALID_HANDLE_VALUE)
            CloseHandle(m_hFolder);
        m_hFolder = INVALID_HANDLE_VALUE;
    }

    const std::wstring m_strFolder;
    HANDLE m_hFolder = INVALID_HANDLE_VALUE;
    HANDLE m_hStop = nullptr;
    HANDLE m_hRead = nullptr;       // the read's completion
    OVERLAPPED m_overlapped = {};
    std::vector<DWORD> m_buffer;    // DWORD-aligned, as the records need
    bool m_bReading = false;        // a read is issued and not taken
    DWORD m_nLastPost = 0;
    // The pause before the failed read is tried again, and the next one's:
    // back to the first only after a read that brought changes.
    DWORD m_nRetryMs = 0;
    DWORD m_nNextRetryMs = CFolderWatch::kFirstRetryMs;
    DWORD m_nFailedAt = 0;

    mutable std::mutex m_lock;      // guards what follows
    HWND m_hWnd;                    // null once the watch stopped
    UINT m_nMessage;
    CFolderChanges m_changes;
    bool m_bPosted = false;         // a message waits to be taken
};

namespace {

// The thread holds the watch's shared part and its module: an abandoned
// thread ends long after the watch, perhaps after the browser's last use of
// the module.
struct ThreadStart {
    std::shared_ptr<CFolderWatch::Shared> shared;
    HMODULE module;
};

DWORD WINAPI WatchThread(void* param)
{
    HMODULE module = nullptr;
    {
        std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(param));
        module = start->module;
        start->shared->Run();
    }
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

bool CFolderWatch::Start(const std::wstring& folder, HWND wnd, UINT message, DWORD bufferBytes)
{
    Stop();
    std::unique_ptr<ThreadStart> start;
    try {
        auto shared = std::make_shared<Shared>(folder, wnd, message);
        shared->m_buffer.assign((bufferBytes + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
        start.reset(new ThreadStart{std::move(shared), nullptr});
    } catch (...) {
        return false;
    }
    Shared& shared = *start->shared;
    shared.m_hFolder = OpenFolder(folder);
    shared.m_hStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    shared.m_hRead = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (shared.m_hFolder == INVALID_HANDLE_VALUE || shared.m_hStop == nullptr || shared.m_hRead == nullptr)
        return false;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&WatchThread),
                            &start->module))
        return false;
    // Changes after Start returns are told: the first read is issued here.
    if (!shared.Issue()) {
        FreeLibrary(start->module);
        return false;
    }
    shared.m_bReading = true;
    shared.m_nLastPost = GetTickCount() - kGapMs;
    std::shared_ptr<Shared> kept = start->shared;
    m_hThread = CreateThread(nullptr, 0, WatchThread, start.get(), 0, nullptr);
    if (m_hThread == nullptr) {
        // Without a thread the read is ended here, before its buffer goes.
        CancelIoEx(shared.m_hFolder, &shared.m_overlapped);
        DWORD bytes = 0;
        GetOverlappedResult(shared.m_hFolder, &shared.m_overlapped, &bytes, TRUE);
        FreeLibrary(start->module);
        return false;
    }
    start.release();    // the thread's now
    m_shared = std::move(kept);
    try {
        m_strFolder = folder;
    } catch (...) {
        Stop();
        return false;
    }
    return true;
}

void CFolderWatch::Stop()
{
    if (m_hThread != nullptr) {
        {
            std::lock_guard<std::mutex> lock(m_shared->m_lock);
            m_shared->m_hWnd = nullptr;
        }
        SetEvent(m_shared->m_hStop);
        // A thread still waiting for its read to end after this is left to
        // it: it owns what it uses.
        WaitForSingleObject(m_hThread, kStopWaitMs);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    m_shared.reset();
    m_strFolder.clear();
}

CFolderChanges CFolderWatch::Take()
{
    CFolderChanges taken;
    if (m_shared == nullptr)
        return taken;
    std::lock_guard<std::mutex> lock(m_shared->m_lock);
    std::swap(taken, m_shared->m_changes);
    m_shared->m_bPosted = false;
    return taken;
}

bool CFolderWatch::Shared::Issue()
{
    ResetEvent(m_hRead);
    m_overlapped = OVERLAPPED();
    m_overlapped.hEvent = m_hRead;
    return g_pfnReadDirectoryChanges(m_hFolder, m_buffer.data(), static_cast<DWORD>(m_buffer.size() * sizeof(DWORD)),
                                     FALSE, kFilter, nullptr, &m_overlapped, nullptr) != FALSE;
}

void CFolderWatch::Shared::Run()
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
            else if (!m_bReading && GetTickCount() - m_nFailedAt >= m_nRetryMs)
                m_bReading = Reopen();
            PostIfDue();
        }
    } catch (...) {
    }
    // The system writes into the buffer until the read has ended; a read
    // that cannot be cancelled keeps this thread (and what it owns) here.
    if (m_bReading) {
        CancelIoEx(m_hFolder, &m_overlapped);
        DWORD bytes = 0;
        g_pfnGetOverlappedResult(m_hFolder, &m_overlapped, &bytes, TRUE);
        m_bReading = false;
    }
}

bool CFolderWatch::Shared::Read()
{
    DWORD bytes = 0;
    if (g_pfnGetOverlappedResult(m_hFolder, &m_overlapped, &bytes, FALSE)) {
        m_nNextRetryMs = CFolderWatch::kFirstRetryMs;
        Record(bytes);
        if (Issue())
            return true;
    } else if (GetLastError() == ERROR_NOTIFY_ENUM_DIR) {
        // Overflowed: the record starts afresh.
        Lose();
        if (Issue())
            return true;
    }
    // The folder went or cannot be read for now: one walk tells what is
    // left of it, and the read is tried again later.
    Lose();
    Failed();
    return false;
}

bool CFolderWatch::Shared::Reopen()
{
    CloseFolder();
    m_hFolder = OpenFolder(m_strFolder);
    if (m_hFolder != INVALID_HANDLE_VALUE && Issue()) {
        // What happened meanwhile is told by one walk.
        Lose();
        return true;
    }
    Failed();
    return false;
}

void CFolderWatch::Shared::Failed()
{
    m_nFailedAt = GetTickCount();
    m_nRetryMs = m_nNextRetryMs;
    m_nNextRetryMs = std::min(2 * m_nNextRetryMs, CFolderWatch::kLastRetryMs);
}

void CFolderWatch::Shared::Lose()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_changes.Lose();
}

void CFolderWatch::Shared::Record(DWORD bytes)
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

DWORD CFolderWatch::Shared::Timeout() const
{
    DWORD timeout = INFINITE;
    if (!m_bReading) {
        const DWORD since = GetTickCount() - m_nFailedAt;
        timeout = since >= m_nRetryMs ? 0 : m_nRetryMs - since;
    }
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_bPosted || m_changes.Empty())
        return timeout;
    const DWORD since = GetTickCount() - m_nLastPost;
    return std::min(timeout, since >= kGapMs ? 0 : kGapMs - since);
}

void CFolderWatch::Shared::PostIfDue()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_hWnd == nullptr || m_bPosted || m_changes.Empty() || GetTickCount() - m_nLastPost < kGapMs)
        return;
    m_nLastPost = GetTickCount();
    // A message that could not be posted is tried again after the gap.
    m_bPosted = PostMessageW(m_hWnd, m_nMessage, 0, 0) != FALSE;
}
