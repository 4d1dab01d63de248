// A full album page of nine 1920 x 1080 JPEG snapshots painted into a
// memory device context, against the picture library alone loading the
// same ten files (nine cells and the reload of the selected picture), in
// the same run. Also the peak memory of a paint against the size of the
// largest decoded picture.
//
//   bench_paint.exe FOLDER   (FOLDER holds exactly nine .jpg snapshots)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "ImageLoad.h"
#include "BenchClock.h"
#include "Module.h"

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

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_paint FOLDER\n");
        return 2;
    }
    FwInitModule(GetModuleHandleA(nullptr));
    HostWindow host;
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

    const int width = 1024, height = 690;
    HDC memory = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT rc;
    GetWindowRect(browser.ViewWindow(), &rc);
    MapWindowPoints(nullptr, browser.Frame(), reinterpret_cast<POINT*>(&rc), 2);
    MoveWindow(browser.ViewWindow(), rc.left, rc.top, width, height, FALSE);
    CDC dc(memory, memory, false);
    auto paint = [&] { view.OnDraw(&dc); };

    loadAll();      // warm the file cache for both
    paint();
    const int runs = 7;
    double paintTime = BestOf(runs, paint);
    double loadTime = BestOf(runs, loadAll);

    std::printf("bench: paint_page_9x1920x1080_jpeg = %.1f ms\n", paintTime * 1000);
    std::printf("bench: load_10x1920x1080_jpeg = %.1f ms\n", loadTime * 1000);
    std::printf("bench: paint_vs_load_ratio = %.3f x\n", paintTime / loadTime);
    std::printf("bench: first_paint_peak_memory = %.1f MB\n", paintPeak / 1048576.0);
    std::printf("bench: largest_decoded_picture = %.1f MB\n", largestDecoded / 1048576.0);
    std::printf("bench: paint_peak_vs_largest_decoded = %.2f x\n", static_cast<double>(paintPeak) / largestDecoded);

    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return 0;
}
