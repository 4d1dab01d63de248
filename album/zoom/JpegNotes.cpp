#include "album/zoom/JpegNotes.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>
#include <vector>

#include "ImageLoad.h"

namespace {
// The notes take a few Huffman tables on the stack; a thread's default
// stack would commit far more of the host's memory than that.
const SIZE_T kStackBytes = 256 * 1024;

// The threads of walks no object waits for any more: told to stop, or done
// and about to end. Closed once they have ended.
class CLooseWalks {
public:
    void Add(HANDLE thread)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        CloseEnded();
        try {
            m_threads.push_back(thread);
        } catch (const std::bad_alloc&) {
            // Without room to keep it, the walk is waited for here: it was
            // told to stop and ends soon.
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
    }
    bool WaitAll(DWORD milliseconds)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const DWORD start = GetTickCount();
        for (HANDLE thread : m_threads) {
            const DWORD spent = GetTickCount() - start;
            WaitForSingleObject(thread, spent < milliseconds ? milliseconds - spent : 0);
        }
        CloseEnded();
        return m_threads.empty();
    }

private:
    void CloseEnded()
    {
        auto ended = [](HANDLE thread) {
            if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0)
                return false;
            CloseHandle(thread);
            return true;
        };
        m_threads.erase(std::remove_if(m_threads.begin(), m_threads.end(), ended), m_threads.end());
    }

    std::mutex m_mutex;
    std::vector<HANDLE> m_threads;
};

CLooseWalks g_looseWalks;
}  // namespace

// What a walk uses, shared by the object and the walk's thread.
struct CJpegNotes::Walk {
    explicit Walk(const std::string& file) : path(file) {}
    ~Walk()
    {
        if (notes != nullptr)
            GlobalFree(notes);
    }
    const std::string path;
    volatile LONG stop = 0;
    // Written by the walk before it sets done, taken by the object after.
    HGLOBAL notes = nullptr;
    std::atomic<bool> done{false};
};

CJpegNotes::Maker CJpegNotes::s_pfnMake = &IndexJPGUntil;

void CJpegNotes::Start(const std::string& path)
{
    Forget();
    try {
        m_walk = std::make_shared<Walk>(path);
        auto* shared = new std::shared_ptr<Walk>(m_walk);
        m_hThread = CreateThread(nullptr, kStackBytes, &CJpegNotes::Make, shared, STACK_SIZE_PARAM_IS_A_RESERVATION,
                                 nullptr);
        if (m_hThread == nullptr) {
            delete shared;
            m_walk.reset();     // no notes: the view reads by skipping
        }
    } catch (const std::bad_alloc&) {
        m_walk.reset();
    }
}

DWORD WINAPI CJpegNotes::Make(void* shared)
{
    const std::unique_ptr<std::shared_ptr<Walk>> owned(static_cast<std::shared_ptr<Walk>*>(shared));
    Walk& walk = **owned;
    // Behind the host's threads and the window thread.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    walk.notes = s_pfnMake(walk.path.c_str(), &walk.stop);
    walk.done = true;
    return 0;
}

void CJpegNotes::TakeNotes()
{
    m_hNotes = m_walk->notes;
    m_walk->notes = nullptr;
    m_walk.reset();
    LetGoOfThread();
}

void CJpegNotes::LetGoOfThread()
{
    if (m_hThread != nullptr)
        g_looseWalks.Add(m_hThread);
    m_hThread = nullptr;
}

HGLOBAL CJpegNotes::Ready(bool wait)
{
    if (m_walk != nullptr && wait)
        WaitForSingleObject(m_hThread, INFINITE);
    if (m_walk != nullptr && m_walk->done)
        TakeNotes();
    return m_hNotes;
}

void CJpegNotes::Forget()
{
    if (m_walk != nullptr)
        InterlockedExchange(&m_walk->stop, 1);
    m_walk.reset();
    LetGoOfThread();
    if (m_hNotes != nullptr)
        GlobalFree(m_hNotes);
    m_hNotes = nullptr;
}

std::size_t CJpegNotes::Bytes() const
{
    return m_hNotes != nullptr ? GlobalSize(m_hNotes) : 0;
}

bool CJpegNotes::WaitForStoppedWalks(DWORD milliseconds)
{
    return g_looseWalks.WaitAll(milliseconds);
}
