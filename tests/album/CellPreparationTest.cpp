// The finished cells of the album without windows: where a picture goes in
// its cell, the cache that keeps cells, and the workers that prepare them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "album/cells/CellCache.h"
#include "album/cells/CellFit.h"
#include "album/cells/CellWorkers.h"

namespace {

using namespace std::chrono_literals;

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

TEST(CellCache, AFileChangedSinceIsNotFoundAndItsOldCellGoes)
{
    CCellCache<FakeCell> cache(1000);
    cache.Put(KeyOf("a.jpg", 1), std::make_shared<FakeCell>(100));
    EXPECT_TRUE(cache.Find(KeyOf("a.jpg", 1)));
    EXPECT_FALSE(cache.Find(KeyOf("a.jpg", 2)));
    CellKey otherDepth = KeyOf("a.jpg", 1);
    otherDepth.screenBits = 16;
    EXPECT_FALSE(cache.Find(otherDepth));
    cache.Put(KeyOf("a.jpg", 2), std::make_shared<FakeCell>(100));
    EXPECT_FALSE(cache.Find(KeyOf("a.jpg", 1)));
    EXPECT_EQ(1u, cache.Count());
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

}  // namespace
