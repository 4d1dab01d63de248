// The finished cells of the album without windows: where a picture goes in
// its cell, the cache that keeps cells, and the workers that prepare them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "album/cells/CellBudget.h"
#include "album/cells/CellCache.h"
#include "album/cells/CellFit.h"
#include "album/cells/CellWorkers.h"

// The k-th allocation of the arming thread fails, for the bookkeeping that
// must be all or nothing; every other allocation is the usual one.
namespace {
thread_local int t_allocationsBeforeFailure = -1;
}

// The compiler sees this operator new's memory come from malloc and goes
// by the standard's pairing when delete is inlined into a caller; here
// both are replaced, and they pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    if (t_allocationsBeforeFailure == 0) {
        t_allocationsBeforeFailure = -1;
        throw std::bad_alloc();
    }
    if (t_allocationsBeforeFailure > 0)
        --t_allocationsBeforeFailure;
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using namespace std::chrono_literals;

// Fails the k-th allocation (from 0) of this thread while it lives.
class FailingAllocation {
public:
    explicit FailingAllocation(int k) { t_allocationsBeforeFailure = k; }
    ~FailingAllocation() { t_allocationsBeforeFailure = -1; }
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
    bool Failed() const { return t_allocationsBeforeFailure == -1; }
};

TEST(CellFit, ShrinksByHeightThenWidthTruncatesAndCentres)
{
    const struct {
        int pw, ph;
        CellBox box;
        CellFit fit;
    } cases[] = {
        // A cell of a 1024 x 690 view (336 x 205, margin 50).
        {352, 288, {336, 205, 50}, {true, 189, 155, 73, 25}},
        {704, 288, {336, 205, 50}, {true, 286, 117, 25, 44}},
        {100, 155, {336, 205, 50}, {true, 100, 155, 118, 25}},  // height equal to the space: not scaled
        {40, 30, {336, 205, 50}, {true, 40, 30, 148, 87}},      // never enlarged
        // Single mode in the whole view (margin 6).
        {1600, 1200, {1024, 690, 6}, {true, 911, 683, 56, 3}},
        {352, 288, {1024, 690, 6}, {true, 352, 288, 336, 201}},
        // No room left by the margin.
        {352, 288, {45, 25, 50}, {false, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const CellFit fit = FitIntoBox(c.pw, c.ph, c.box);
        EXPECT_EQ(c.fit.drawable, fit.drawable) << c.pw << "x" << c.ph;
        if (!c.fit.drawable)
            continue;
        EXPECT_EQ(c.fit.width, fit.width) << c.pw << "x" << c.ph;
        EXPECT_EQ(c.fit.height, fit.height) << c.pw << "x" << c.ph;
        EXPECT_EQ(c.fit.dx, fit.dx) << c.pw << "x" << c.ph;
        EXPECT_EQ(c.fit.dy, fit.dy) << c.pw << "x" << c.ph;
    }
}

// What the album promises to keep on screens of each size: the picture
// shown alone and those on both sides of it, with a page of thumbnails,
// at four bytes a pixel. The 32-bit ceiling keeps it up to 3840 x 2160;
// the 64-bit one up to 7680 x 4320, with room to spare.
TEST(CellBudget, KeepsWhatTheAlbumPromisesUpToTheCeilingOfTheArchitecture)
{
    const auto promise = [](const CellBox& thumbnail, const CellBox& single) {
        const auto bytes = [](const CellBox& box) {
            return std::size_t{4} * static_cast<std::size_t>(box.width - box.margin) *
                   static_cast<std::size_t>(box.height - box.margin);
        };
        return 3 * bytes(single) + 9 * bytes(thumbnail);
    };
    // The views of maximised frames: the screen less the frame's bars,
    // cut into three by three cells.
    const CellBox thumbnail4k = {1274, 669, 50}, single4k = {3840, 2082, 6};
    const CellBox thumbnail8k = {2554, 1389, 50}, single8k = {7680, 4242, 6};
    const CellBox thumbnail16k = {5114, 2829, 50}, single16k = {15360, 8562, 6};
    const struct {
        const char* screen;
        CellBox thumbnail, single;
        std::size_t ceiling;
        bool promiseKept, atCeiling;
    } cases[] = {
        {"1024 x 768, 32-bit", {336, 205, 50}, {1024, 690, 6}, kCellBudgetCeiling32, true, false},
        {"3840 x 2160, 32-bit", thumbnail4k, single4k, kCellBudgetCeiling32, true, true},
        {"7680 x 4320, 32-bit", thumbnail8k, single8k, kCellBudgetCeiling32, false, true},
        {"3840 x 2160, 64-bit", thumbnail4k, single4k, kCellBudgetCeiling64, true, false},
        {"7680 x 4320, 64-bit", thumbnail8k, single8k, kCellBudgetCeiling64, true, false},
        {"15360 x 8640, 64-bit", thumbnail16k, single16k, kCellBudgetCeiling64, false, true},
    };
    for (const auto& c : cases) {
        const std::size_t budget = CellBudgetFor(c.thumbnail, c.single, c.ceiling);
        EXPECT_EQ(c.promiseKept, budget >= promise(c.thumbnail, c.single)) << c.screen;
        EXPECT_EQ(c.atCeiling, budget == c.ceiling) << c.screen;
        EXPECT_LE(budget, c.ceiling) << c.screen;
    }
}

// A picture held whole for its zoom shares the ceiling with the cells;
// its bytes are those of its rows at the depth its colour count gives, and
// one larger than the ceiling is not held.
TEST(CellBudget, APictureHeldWholeCountsAgainstTheCeilingAndOneLargerIsNotHeld)
{
    const std::size_t mb = 1024 * 1024;
    const struct {
        std::size_t view, held, cells;
    } budgets[] = {
        {40 * mb, 0, 40 * mb},
        {40 * mb, 80 * mb, 40 * mb},        // room beside it
        {118 * mb, 32 * mb, 96 * mb},       // what is left of the ceiling
        {118 * mb, 200 * mb, 0},
    };
    for (const auto& b : budgets)
        EXPECT_EQ(b.cells, CellBudgetBeside(b.view, b.held, kCellBudgetCeiling32)) << b.view / mb << " MB, " << b.held / mb << " MB held";
    const struct {
        int width, height, colours;
        std::uint64_t pixelBytes;
        bool held;
    } pictures[] = {
        {3840, 2160, 0, 3840ull * 2160 * 4, true},
        {5792, 5792, 0, 5792ull * 5792 * 4, true},        // 127.97 MB
        {5793, 5793, 0, 5793ull * 5793 * 4, false},
        {8192, 8192, 256, 8192ull * 8192, true},
        {8191, 8, 2, 1028ull * 8, true},                  // rows padded to four bytes
        {8192, 8192, 16, 4096ull * 8192, true},
    };
    for (const auto& p : pictures) {
        const std::uint64_t bytes = WholeDecodeBytes(p.width, p.height, p.colours);
        EXPECT_GE(bytes, p.pixelBytes) << p.width << "x" << p.height << "x" << p.colours;
        EXPECT_LT(bytes, p.pixelBytes + 4096) << p.width << "x" << p.height << "x" << p.colours;
        EXPECT_EQ(p.held, MayHoldWhole(bytes, kCellBudgetCeiling32)) << p.width << "x" << p.height << "x" << p.colours;
    }
}

// What the album promises to keep, at four bytes a pixel of each box less
// its margin, an eighth more, up to the ceiling; each side of each box
// counts: a view made only lower asks for less.
TEST(CellBudget, FollowsTheWidthAndHeightOfBothBoxesUpToTheCeiling)
{
    const struct {
        const char* what;
        CellBox thumbnail, single;
        std::size_t budget;
    } cases[] = {
        {"a 1024 x 690 view", {336, 205, 50}, {1024, 690, 6}, 11223225},
        {"the box alone lower", {336, 205, 50}, {1024, 400, 6}, 7237755},
        {"the cells lower", {336, 120, 50}, {1024, 690, 6}, 10238670},
        {"a 3840 x 2100 view: the ceiling", {1280, 720, 50}, {3840, 2100, 6}, kCellBudgetCeiling32},
        {"no room inside the margins", {0, 0, 50}, {0, 0, 6}, 62208},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.budget, CellBudgetFor(c.thumbnail, c.single, kCellBudgetCeiling32)) << c.what;
}

struct FakeCell {
    explicit FakeCell(std::size_t b, int v = 0) : bytes(b), value(v) {}
    std::size_t Bytes() const { return bytes; }
    std::size_t bytes;
    int value;
};

CellKey KeyOf(const std::string& path, std::uint64_t writeTime = 1)
{
    return CellKey{path, 100, writeTime, {336, 205, 50}, 32};
}

// Every part of the key tells a cell apart: the file's state, the box it
// was fitted into and the screen's depth. The newer state of a place
// replaces the older one.
TEST(CellCache, AKeyThatDiffersInAnyPartFindsNothingAndANewStateReplacesTheOld)
{
    const struct {
        const char* part;
        void (*change)(CellKey&);
        bool samePlace;
    } rows[] = {
        {"file size", [](CellKey& k) { k.fileSize += 1; }, true},
        {"write time", [](CellKey& k) { k.writeTime += 1; }, true},
        {"box width", [](CellKey& k) { k.box.width += 1; }, false},
        {"box height", [](CellKey& k) { k.box.height += 1; }, false},
        {"margin", [](CellKey& k) { k.box.margin = 6; }, false},
        {"screen depth", [](CellKey& k) { k.screenBits = 16; }, false},
        {"path", [](CellKey& k) { k.path = "b.jpg"; }, false},
    };
    for (const auto& row : rows) {
        CCellCache<FakeCell> cache(1000);
        const CellKey before = KeyOf("a.jpg");
        cache.Put(before, std::make_shared<FakeCell>(100));
        CellKey after = before;
        row.change(after);
        EXPECT_FALSE(cache.Find(after)) << row.part;
        cache.Put(after, std::make_shared<FakeCell>(100));
        EXPECT_TRUE(cache.Find(after)) << row.part;
        EXPECT_EQ(!row.samePlace, static_cast<bool>(cache.Find(before))) << row.part;
    }
}

TEST(CellCache, StaysWithinItsBudgetByDroppingTheLeastRecentlyUsed)
{
    CCellCache<FakeCell> cache(300);
    for (const char* name : {"a", "b", "c"})
        cache.Put(KeyOf(name), std::make_shared<FakeCell>(100));
    EXPECT_TRUE(cache.Find(KeyOf("a")));    // now b is the least recently used
    cache.Put(KeyOf("d"), std::make_shared<FakeCell>(100));
    EXPECT_FALSE(cache.Find(KeyOf("b")));
    EXPECT_TRUE(cache.Find(KeyOf("a")));
    EXPECT_LE(cache.Bytes(), 300u);
    cache.RetainPaths({"d"});
    EXPECT_EQ(1u, cache.Count());
    EXPECT_EQ(100u, cache.Bytes());
}

// A preparation that waits until the test lets it finish.
class Gate {
public:
    void Open()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    void Pass()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        ++m_waiting;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_open; });
    }
    void AwaitWaiting(int n)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_waiting >= n; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
    int m_waiting = 0;
};

TEST(CellWorkers, ReadAheadRunsOneAtATimeAndACancelledResultIsNotKept)
{
    CCellCache<FakeCell> cache(1 << 20);
    Gate gate;
    std::atomic<int> running{0}, mostRunning{0};
    CCellWorkers<FakeCell> workers(cache, [&](const CellKey&) {
        mostRunning = std::max(mostRunning.load(), ++running);
        gate.Pass();
        --running;
        return std::make_shared<FakeCell>(10);
    });
    workers.ReadAhead({KeyOf("a"), KeyOf("b"), KeyOf("c")});
    gate.AwaitWaiting(1);
    workers.CancelReadAhead();  // a is in flight, b and c are dropped
    gate.Open();
    ASSERT_TRUE(workers.WaitIdle(5s));
    EXPECT_EQ(1, mostRunning.load());
    EXPECT_EQ(0u, cache.Count());
}

TEST(CellWorkers, ANeededCellOvertakesReadAheadAndBothWorkersTakeNeededCells)
{
    CCellCache<FakeCell> cache(1 << 20);
    Gate gate;
    CCellWorkers<FakeCell> workers(cache, [&](const CellKey& key) {
        if (key.path != "ahead")
            gate.Pass();
        return std::make_shared<FakeCell>(10, key.path == "n2" ? 2 : 1);
    });
    workers.Need({KeyOf("n1"), KeyOf("n2")});
    gate.AwaitWaiting(2);           // both workers on needed cells at once
    workers.ReadAhead({KeyOf("ahead")});
    gate.Open();
    auto cell = workers.Wait(KeyOf("n2"));
    ASSERT_TRUE(cell);
    EXPECT_EQ(2, cell->value);
    ASSERT_TRUE(workers.WaitIdle(5s));
    EXPECT_TRUE(cache.Find(KeyOf("ahead")));
}

TEST(CellWorkers, AFailedPreparationIsShownAsUnreadableAndNotKept)
{
    CCellCache<FakeCell> cache(1 << 20);
    CCellWorkers<FakeCell> workers(cache, [](const CellKey&) -> std::shared_ptr<const FakeCell> {
        throw std::runtime_error("no memory");
    });
    EXPECT_FALSE(workers.Wait(KeyOf("a")));
    EXPECT_EQ(0u, cache.Count());
}

// Stopping waits for the cell a worker is preparing; nothing is left behind.
TEST(CellWorkers, StopWhileAReadAheadIsInFlight)
{
    CCellCache<FakeCell> cache(1 << 20);
    std::atomic<int> finished{0};
    Gate gate;
    std::thread opener;
    {
        CCellWorkers<FakeCell> workers(cache, [&](const CellKey&) {
            gate.Pass();
            ++finished;
            return std::make_shared<FakeCell>(10);
        });
        workers.ReadAhead({KeyOf("a"), KeyOf("b")});
        gate.AwaitWaiting(1);
        opener = std::thread([&] {
            std::this_thread::sleep_for(50ms);
            gate.Open();
        });
    }
    opener.join();
    EXPECT_EQ(1, finished.load());
}

// Runs f on a thread of its own and fails the test when it has not
// returned within the bound. A wait that never returns would freeze the
// browser for good: the program is ended here instead of hanging the run.
template <class F>
void ReturnsWithin(std::chrono::seconds bound, const char* what, F f)
{
    std::packaged_task<void()> task(f);
    std::future<void> done = task.get_future();
    std::thread(std::move(task)).detach();
    if (done.wait_for(bound) == std::future_status::ready)
        return;
    std::fprintf(stderr, "%s did not return within %llds\n", what, static_cast<long long>(bound.count()));
    std::fflush(stderr);
    std::_Exit(1);
}

// Whatever allocation fails inside Need or Wait, every cell asked for is
// still waited for to the end: no job stays recorded without being queued.
// Covers a new needed cell, a queued read-ahead made needed, and one in
// flight made needed. A queue allocates only when it crosses into a new
// block of its storage, so each k is tried with the queues at every place
// of a block (shifted by cells passed through before).
TEST(CellWorkers, AFailedAllocationInNeedOrWaitLeavesNoWaitWithoutEnd)
{
    int failures = 0;
    for (int shift = 0; shift < 40; ++shift) {
        bool failedSomewhere = true;
        for (int k = 0; failedSomewhere; ++k) {
            failedSomewhere = false;
            CCellCache<FakeCell> cache(1 << 20);
            Gate gate;
            CCellWorkers<FakeCell> workers(cache, [&](const CellKey& key) {
                if (key.path == "flight")
                    gate.Pass();
                return std::make_shared<FakeCell>(10);
            });
            for (int i = 0; i < shift; ++i) {
                workers.Wait(KeyOf("passed" + std::to_string(i)));
                workers.ReadAhead({KeyOf("ahead" + std::to_string(i))});
                workers.WaitIdle(10s);
            }
            workers.ReadAhead({KeyOf("flight"), KeyOf("queued")});
            gate.AwaitWaiting(1);   // "flight" started, "queued" behind it
            for (const char* step : {"need", "wait"}) {
                FailingAllocation failing(k);
                try {
                    if (step[0] == 'n')
                        workers.Need({KeyOf("queued"), KeyOf("flight"), KeyOf("new")});
                    else
                        workers.Wait(KeyOf("another"));
                } catch (const std::bad_alloc&) {
                }
                failedSomewhere = failedSomewhere || failing.Failed();
                failures += failing.Failed() ? 1 : 0;
            }
            gate.Open();
            ReturnsWithin(10s, "a wait after a failed allocation", [&] {
                for (const char* name : {"queued", "flight", "new", "another"})
                    workers.Wait(KeyOf(name));
                workers.WaitIdle(10s);
            });
        }
    }
    EXPECT_GT(failures, 200) << "allocations failed inside the calls";
}

// A stand-in for a worker's priority: each thread's level, and whether the
// workers' lock was free when the level changed (a probe on another thread
// must get it at once).
struct ProbedPriority {
    enum Level { Normal, Background };
    static thread_local Level t_level;
    static std::function<bool()> s_lockIsFree;
    static std::atomic<int> s_changesUnderTheLock;

    void Set(Level level)
    {
        if (s_lockIsFree && !s_lockIsFree())
            ++s_changesUnderTheLock;
        t_level = level;
    }
    void Raise() { Set(Normal); }
};
thread_local ProbedPriority::Level ProbedPriority::t_level = ProbedPriority::Normal;
std::function<bool()> ProbedPriority::s_lockIsFree;
std::atomic<int> ProbedPriority::s_changesUnderTheLock{0};

// Kept under the workers' lock: a cell measured there notes the level of
// the thread that keeps it.
struct LevelNotingCell {
    std::size_t Bytes() const
    {
        if (ProbedPriority::t_level != ProbedPriority::Normal)
            ++s_keptBelowNormal;
        return 10;
    }
    static std::atomic<int> s_keptBelowNormal;
};
std::atomic<int> LevelNotingCell::s_keptBelowNormal{0};

// The window thread may wait for a worker at any moment: a worker holds the
// lock only at normal priority, and changes priority outside it.
TEST(CellWorkers, AWorkerHoldsTheLockOnlyAtNormalPriority)
{
    CCellCache<LevelNotingCell> cache(1 << 20);
    CCellWorkers<LevelNotingCell, ProbedPriority>* probed = nullptr;
    ProbedPriority::s_lockIsFree = [&] {
        // From another thread, as the window thread would ask; one that
        // finds the lock taken gets it once this worker lets it go.
        auto asked = std::make_shared<std::promise<void>>();
        std::future<void> answered = asked->get_future();
        std::thread([asked, &probed] {
            probed->Idle();
            asked->set_value();
        }).detach();
        return answered.wait_for(5s) == std::future_status::ready;
    };
    {
        CCellWorkers<LevelNotingCell, ProbedPriority> workers(
            cache, [](const CellKey&) { return std::make_shared<LevelNotingCell>(); });
        probed = &workers;
        workers.ReadAhead({KeyOf("a"), KeyOf("b"), KeyOf("c")});
        ASSERT_TRUE(workers.WaitIdle(20s));
        EXPECT_EQ(3u, cache.Count());
    }
    ProbedPriority::s_lockIsFree = nullptr;
    EXPECT_EQ(0, ProbedPriority::s_changesUnderTheLock.load());
    EXPECT_EQ(0, LevelNotingCell::s_keptBelowNormal.load());
}

}  // namespace
