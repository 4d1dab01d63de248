// Two worker threads that prepare the album's cells into its cache.
//
// Cells the window thread is painting are "needed": they go ahead of
// everything and both workers take them, while the window thread draws
// each as it becomes ready (Wait). Cells of the page the operator is
// likely to turn to next are "read ahead": one worker at a time takes
// them, at a lower priority, and a new read-ahead replaces the old one.
// Cancelling drops the read-ahead not started yet and throws away the
// results of what is in flight. Workers never touch a window or a device
// context; they produce pixels in memory.
//
// The destructor stops both workers and waits for the cell each may still
// be preparing, so no thread outlives the album.
//
// The bookkeeping is all or nothing: a job is either queued and recorded,
// or neither, whatever allocation fails, so that nobody ever waits for a
// job no worker will take. A worker holds the lock only at normal
// priority: it lowers its priority for a read-ahead after letting go of
// the lock and raises it again before it takes the lock back, and the
// window thread raises a worker whose read-ahead it now waits for after
// letting go of the lock too.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "album/cells/CellCache.h"
#include "album/cells/ThreadPriority.h"

template <class Cell, class Priority = CThreadPriority>
class CCellWorkers {
public:
    using Ptr = std::shared_ptr<const Cell>;
    // Prepares one cell; null when it could not be made (not kept). May throw.
    using Prepare = std::function<Ptr(const CellKey&)>;

    CCellWorkers(CCellCache<Cell>& cache, Prepare prepare, int workers = 2)
        : m_cache(cache), m_prepare(std::move(prepare))
    {
        // Without threads (the system refused them) cells are prepared on
        // the thread that waits for them.
        try {
            m_threads.reserve(static_cast<std::size_t>(workers));
            for (int i = 0; i < workers; ++i)
                m_threads.emplace_back([this] { RunSafely(); });
        } catch (...) {
        }
    }
    ~CCellWorkers()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        for (std::thread& t : m_threads)
            t.join();
    }
    CCellWorkers(const CCellWorkers&) = delete;
    CCellWorkers& operator=(const CCellWorkers&) = delete;

    // Cells the window thread is about to draw, in drawing order. A cell
    // that cannot be queued for want of memory is prepared when it is
    // waited for.
    void Need(const std::vector<CellKey>& keys)
    {
        if (m_threads.empty())
            return;
        std::vector<Priority*> raise;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            try {
                raise.reserve(keys.size());
                for (const CellKey& key : keys)
                    NeedLocked(key, &raise);
            } catch (...) {
            }
        }
        m_changed.notify_all();
        RaiseAll(raise);
    }

    // The cell of key, prepared first if nobody has; null when it could not
    // be made. Never throws.
    Ptr Wait(const CellKey& key)
    {
        if (m_threads.empty())
            return PrepareHere(key);
        std::vector<Priority*> raise;
        std::shared_ptr<Job> job;
        Ptr cached;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            try {
                raise.reserve(m_threads.size() + 1);
                job = NeedLocked(key, &raise, &cached);
            } catch (...) {
            }
            if (job && !job->done)
                RaiseReadingAhead(&raise);
        }
        if (!job)
            return cached ? cached : PrepareHere(key);
        m_changed.notify_all();
        RaiseAll(raise);
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [&] { return job->done; });
        return job->result;
    }

    // The cells to prepare while nothing is needed, replacing those asked
    // for before and not started.
    void ReadAhead(const std::vector<CellKey>& keys)
    {
        if (m_threads.empty())
            return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            DropQueuedReadAhead();
            try {
                for (const CellKey& key : keys)
                    if (m_jobs.count(key) == 0 && !m_cache.Find(key))
                        Record(std::make_shared<Job>(key, false), m_readAhead);
            } catch (...) {
                // What is queued so far is read ahead; the rest is prepared
                // when it is needed.
            }
        }
        m_changed.notify_all();
    }

    void CancelReadAhead()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        DropQueuedReadAhead();
        for (auto& entry : m_jobs)
            if (!entry.second->needed)
                entry.second->cancelled = true;
    }

    // How many cells the workers have prepared so far.
    unsigned Prepared() const { return m_prepared.load(); }

    // Nothing queued and nothing in flight (tests and benchmarks wait for it).
    bool Idle() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_jobs.empty();
    }
    template <class Duration>
    bool WaitIdle(Duration timeout)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_done.wait_for(lock, timeout, [&] { return m_jobs.empty(); });
    }

private:
    struct Job {
        Job(const CellKey& k, bool n) : key(k), needed(n) {}
        CellKey key;
        bool needed;
        bool cancelled = false;
        bool started = false;
        bool done = false;
        // Set when the window thread waits for a read-ahead already
        // started; read by its worker after it has lowered its priority.
        std::atomic<bool> urgent{false};
        Priority* worker = nullptr;  // while started
        Ptr result;
    };

    // Queues a new job and records it, or does neither.
    void Record(const std::shared_ptr<Job>& job, std::deque<std::shared_ptr<Job>>& queue)
    {
        queue.push_back(job);
        try {
            m_jobs.emplace(job->key, job);
        } catch (...) {
            queue.pop_back();
            throw;
        }
    }

    // Queues key as needed, or promotes its job; null when it is cached
    // (then *cached holds it). A worker whose read-ahead is now needed is
    // added to raise, to be raised once the lock is let go.
    std::shared_ptr<Job> NeedLocked(const CellKey& key, std::vector<Priority*>* raise, Ptr* cached = nullptr)
    {
        auto it = m_jobs.find(key);
        if (it == m_jobs.end()) {
            if (Ptr cell = m_cache.Find(key)) {
                if (cached != nullptr)
                    *cached = std::move(cell);
                return nullptr;
            }
            auto job = std::make_shared<Job>(key, true);
            Record(job, m_needed);
            return job;
        }
        std::shared_ptr<Job> job = it->second;
        if (job->needed)
            return job;
        if (job->started) {
            raise->push_back(job->worker);  // reserved: does not throw
            job->urgent = true;
        } else {
            Requeue(job);
        }
        job->needed = true;
        job->cancelled = false;
        return job;
    }

    // A queued read-ahead job moves to the needed ones; on failure it stays
    // where it was.
    void Requeue(const std::shared_ptr<Job>& job)
    {
        m_needed.push_back(job);
        for (auto it = m_readAhead.begin(); it != m_readAhead.end(); ++it)
            if (*it == job) {
                m_readAhead.erase(it);
                break;
            }
    }

    // While the window thread waits, no worker runs below normal: the one
    // reading ahead may hold what the awaited cell needs next (the turn
    // for a whole decode, the disk). Room for them is reserved in raise.
    void RaiseReadingAhead(std::vector<Priority*>* raise)
    {
        if (raise->capacity() < raise->size() + m_threads.size())
            return;
        for (auto& entry : m_jobs) {
            Job& job = *entry.second;
            if (job.started && !job.needed && !job.urgent) {
                job.urgent = true;
                raise->push_back(job.worker);
            }
        }
    }

    // The window thread waits for these workers' cells now.
    static void RaiseAll(const std::vector<Priority*>& workers)
    {
        for (Priority* worker : workers)
            worker->Raise();
    }

    void DropQueuedReadAhead()
    {
        for (const auto& job : m_readAhead)
            m_jobs.erase(job->key);
        m_readAhead.clear();
    }

    // Nothing may leave a thread's entry. Nothing below throws: preparing
    // and keeping a cell catch what they throw.
    void RunSafely()
    {
        try {
            Run();
        } catch (...) {
        }
    }

    // One worker: needed cells first; read-ahead only while no other worker
    // reads ahead.
    void Run()
    {
        Priority priority;
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] {
                return m_stopping || !m_needed.empty() || (!m_readAhead.empty() && !m_readingAhead);
            });
            if (m_stopping)
                return;
            std::shared_ptr<Job> job;
            if (!m_needed.empty()) {
                job = m_needed.front();
                m_needed.pop_front();
            } else {
                job = m_readAhead.front();
                m_readAhead.pop_front();
            }
            const bool readingAhead = !job->needed;
            m_readingAhead = m_readingAhead || readingAhead;
            job->started = true;
            job->worker = &priority;
            lock.unlock();
            Ptr result = PrepareAt(priority, *job, readingAhead);
            lock.lock();
            Finish(job, std::move(result), readingAhead);
        }
    }

    // Prepares a job's cell outside the lock: a read-ahead below normal
    // priority, unless the window thread waits for it meanwhile; back at
    // normal priority before the lock is taken again.
    Ptr PrepareAt(Priority& priority, Job& job, bool readingAhead)
    {
        if (!readingAhead)
            return PrepareSafely(job.key);
        priority.Set(Priority::Background);
        if (job.urgent)
            priority.Set(Priority::Normal);
        Ptr result = PrepareSafely(job.key);
        priority.Set(Priority::Normal);
        return result;
    }

    // A cell that cannot be kept for want of memory is drawn all the same.
    void Keep(const CellKey& key, const Ptr& cell)
    {
        try {
            m_cache.Put(key, cell);
        } catch (...) {
        }
    }

    Ptr PrepareHere(const CellKey& key)
    {
        if (Ptr cached = m_cache.Find(key))
            return cached;
        Ptr result = PrepareSafely(key);
        if (result)
            Keep(key, result);
        return result;
    }

    Ptr PrepareSafely(const CellKey& key)
    {
        try {
            return m_prepare(key);
        } catch (...) {
            return nullptr;     // shown as a file that cannot be read, and not kept
        }
    }

    void Finish(const std::shared_ptr<Job>& job, Ptr result, bool readingAhead)
    {
        ++m_prepared;
        job->worker = nullptr;
        job->result = std::move(result);
        job->done = true;
        auto it = m_jobs.find(job->key);
        if (it != m_jobs.end() && it->second == job)
            m_jobs.erase(it);
        if (job->result && !job->cancelled)
            Keep(job->key, job->result);
        if (readingAhead)
            m_readingAhead = false;
        m_done.notify_all();
        m_changed.notify_all();
    }

    CCellCache<Cell>& m_cache;
    Prepare m_prepare;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;  // work or stop for the workers
    std::condition_variable m_done;     // a job finished
    std::map<CellKey, std::shared_ptr<Job>> m_jobs;     // queued or in flight
    std::deque<std::shared_ptr<Job>> m_needed;
    std::deque<std::shared_ptr<Job>> m_readAhead;
    bool m_readingAhead = false;
    bool m_stopping = false;
    std::atomic<unsigned> m_prepared{0};
    std::vector<std::thread> m_threads;
};
