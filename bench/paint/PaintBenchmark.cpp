// A full album page of nine 1920 x 1080 JPEG snapshots painted into a
// memory device context, against the picture library alone loading the
// same ten files (nine cells and the reload of the selected picture), in
// the same run. Also the peak memory of a paint against the size of the
// largest decoded picture, and the paint of a page of nine 3840 x 2160
// snapshots and of one 1920 x 1080 snapshot alone (single mode).
//
//   bench_paint.exe FOLDER [FOLDER_4K]   (each holds exactly nine .jpg snapshots)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <string>
#include <vector>

#include "bench/common/BenchClock.h"
#include "framework/Module.h"
#include "ImageLoad.h"
#include "tests/support/BrowserOnThisThread.h"

namespace {

// Committed private memory of the process. Wine reports it as the
// page-file usage and keeps no peak of it.
SIZE_T CommittedBytes()
{
    PROCESS_MEMORY_COUNTERS_EX m = {};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
    return m.PrivateUsage != 0 ? m.PrivateUsage : m.PagefileUsage;
}

// The most committed memory seen while f runs, sampled every 0.2 ms from a
// second thread, above the level before f.
template <class F>
SIZE_T PeakAbove(F f)
{
    const SIZE_T baseline = CommittedBytes();
    std::atomic<bool> running{true};
    std::atomic<SIZE_T> peak{baseline};
    std::thread sampler([&] {
        while (running) {
            SIZE_T now = CommittedBytes();
            if (now > peak)
                peak = now;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    f();
    running = false;
    sampler.join();
    return peak - baseline;
}

// Paints the view into a memory device context of the view's size.
class MemoryPaint {
public:
    MemoryPaint(BrowserOnThisThread& browser, int width, int height) : m_view(*browser.View())
    {
        HDC screen = GetDC(nullptr);
        m_memory = CreateCompatibleDC(nullptr);
        m_bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        m_old = SelectObject(m_memory, m_bitmap);
        RECT rc;
        GetWindowRect(browser.ViewWindow(), &rc);
        MapWindowPoints(nullptr, browser.Frame(), reinterpret_cast<POINT*>(&rc), 2);
        MoveWindow(browser.ViewWindow(), rc.left, rc.top, width, height, FALSE);
    }
    ~MemoryPaint()
    {
        SelectObject(m_memory, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_memory);
    }
    MemoryPaint(const MemoryPaint&) = delete;
    MemoryPaint& operator=(const MemoryPaint&) = delete;
    void operator()()
    {
        CDC dc(m_memory, m_memory, false);
        m_view.OnDraw(&dc);
    }

private:
    CAlbumView& m_view;
    HDC m_memory;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

const int kWidth = 1024, kHeight = 690;
const int kRuns = 7;

// The page of nine 3840 x 2160 snapshots, and then its first one alone.
void PaintLargePage(const char* folder, HWND host)
{
    BrowserOnThisThread browser;
    if (!browser.Open(folder, host) || browser.View()->Count() != 9) {
        std::fprintf(stderr, "cannot open nine pictures in %s\n", folder);
        return;
    }
    MemoryPaint paint(browser, kWidth, kHeight);
    paint();
    std::printf("bench: paint_page_9x3840x2160_jpeg = %.1f ms\n", BestOf(kRuns, [&] { paint(); }) * 1000);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: bench_paint FOLDER [FOLDER_4K]\n");
        return 2;
    }
    FwInitModule(GetModuleHandleA(nullptr));
    HostWindow host;
    {
        BrowserOnThisThread browser;
        // The first paint happens while the browser opens, before the heap has
        // held any picture: what it commits then is the paint's peak.
        bool opened = false;
        const SIZE_T paintPeak = PeakAbove([&] { opened = browser.Open(argv[1], host.Handle()); });
        if (!opened || browser.View()->Count() != 9) {
            std::fprintf(stderr, "cannot open nine pictures in %s\n", argv[1]);
            return 1;
        }
        CAlbumView& view = *browser.View();
        std::vector<std::string> files = view.m_arrPaths;
        files.push_back(view.m_arrPaths[view.m_nPageTop + view.m_nCellSel]);  // the reload after a paint

        size_t largestDecoded = 0;
        auto loadAll = [&] {
            for (const std::string& f : files) {
                HGLOBAL block = LoadJPG(f.c_str());
                largestDecoded = std::max<size_t>(largestDecoded, GlobalSize(block));
                GlobalFree(block);
            }
        };
        MemoryPaint paint(browser, kWidth, kHeight);
        loadAll();      // warm the file cache for both
        paint();
        const double paintTime = BestOf(kRuns, [&] { paint(); });
        const double loadTime = BestOf(kRuns, loadAll);
        view.ShowCellAlone(0);
        paint();
        const double singleTime = BestOf(kRuns, [&] { paint(); });

        std::printf("bench: paint_page_9x1920x1080_jpeg = %.1f ms\n", paintTime * 1000);
        std::printf("bench: load_10x1920x1080_jpeg = %.1f ms\n", loadTime * 1000);
        std::printf("bench: paint_vs_load_ratio = %.3f x\n", paintTime / loadTime);
        std::printf("bench: paint_single_1920x1080_jpeg = %.1f ms\n", singleTime * 1000);
        std::printf("bench: first_paint_peak_memory = %.1f MB\n", paintPeak / 1048576.0);
        std::printf("bench: largest_decoded_picture = %.1f MB\n", largestDecoded / 1048576.0);
        std::printf("bench: paint_peak_vs_largest_decoded = %.2f x\n",
                    static_cast<double>(paintPeak) / largestDecoded);
    }
    if (argc == 3)
        PaintLargePage(argv[2], host.Handle());
    return 0;
}
