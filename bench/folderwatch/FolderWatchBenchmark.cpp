// The album following its folder (under Wine):
//
// - the time from a file's arrival (the writer has closed it) to its cell
//   on the screen, a 1920 x 1080 BMP arriving on the last page shown,
//   against the time from the refresh command to the same cell on the
//   screen for a file written the same way (what the operator had to do
//   before): the median of 9 each;
// - what one arrival, and one removal, costs the window thread (the update
//   the watch's message brings, timed from its dispatch to its return) in
//   a folder of 100,000 names against a folder of 100 names, all JPG: the
//   best of 25 each; and the same for a BMP arriving before all of them;
// - the memory the album of 100 and of 100,000 names takes once open (the
//   index of its names is made at the first change), and that index alone.
//
//   bench_folder_watch.exe FOLDER_100 FOLDER_100000
// (each holds only empty .jpg files, made by scripts/bench.sh; the program
// leaves them as it found them)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "album/AlbumListIndex.h"
#include "bench/common/BenchClock.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/FileTree.h"
#include "tests/support/TestPictures.h"

namespace {

const COLORREF kBlue = RGB(30, 40, 210);
const int kScreenRuns = 9;
const int kCostRuns = 25;
const DWORD kWaitMs = 20000;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The least disturbed of several runs.
double Least(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

SIZE_T CommittedBytes()
{
    PROCESS_MEMORY_COUNTERS_EX m = {};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
    return m.PrivateUsage != 0 ? m.PrivateUsage : m.PagefileUsage;
}

// The browser open on a folder, its messages pumped by hand.
class WatchedAlbum {
public:
    WatchedAlbum(const std::string& folder, HWND host) { m_opened = m_browser.Open(folder, host); }
    bool Opened() const { return m_opened; }
    CAlbumView& View() const { return *m_browser.View(); }
    BrowserOnThisThread& Browser() { return m_browser; }

    // Pumps until the cell's centre on the screen is the colour (or is not,
    // when wanted is false); false after kWaitMs.
    bool WaitForCell(int cell, COLORREF colour, bool wanted)
    {
        return m_browser.PumpUntil(
            [&] {
                const CellRect& rc = View().m_rcCell[cell];
                HDC dc = GetDC(m_browser.ViewWindow());
                const COLORREF at = GetPixel(dc, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
                ReleaseDC(m_browser.ViewWindow(), dc);
                return (at == colour) == wanted;
            },
            kWaitMs);
    }

    // Waits for the watch's message and times its handling alone: the list
    // update on the window thread. Negative when none came.
    double TimeNextUpdate()
    {
        const HWND view = m_browser.ViewWindow();
        const DWORD end = GetTickCount() + kWaitMs;
        MSG msg;
        while (static_cast<int>(end - GetTickCount()) > 0) {
            if (PeekMessageA(&msg, view, UM_FOLDER_CHANGED, UM_FOLDER_CHANGED, PM_REMOVE)) {
                const double start = BenchSeconds();
                DispatchMessageA(&msg);
                const double seconds = BenchSeconds() - start;
                m_browser.Pump();
                return seconds;
            }
            // Everything else, the paints among it, as the loop would.
            while (PeekMessageA(&msg, nullptr, 0, UM_FOLDER_CHANGED - 1, PM_REMOVE) ||
                   PeekMessageA(&msg, nullptr, UM_FOLDER_CHANGED + 1, 0xFFFFFFFF, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        return -1;
    }

private:
    BrowserOnThisThread m_browser;
    bool m_opened = false;
};

// From arrival to the cell on the screen, and from the refresh command to
// it, in an album of ten whose last page shows one picture: each arrival
// lands in the second cell.
bool ArrivalToScreen(HWND host, double* arrival, double* refresh)
{
    TempFolder album("watch");
    TempFolder sources("src");
    for (int i = 0; i < 10; ++i)
        WriteSolidBmp(album.PathOf("p" + std::to_string(10 + i) + ".bmp"), 64, 48, 24, RGB(220, 20, 30));
    const std::string source = sources.PathOf("blue.bmp");
    WriteSolidBmp(source, 1920, 1080, 24, kBlue);
    WatchedAlbum watched(album.Path(), host);
    if (!watched.Opened() || watched.View().Count() != 10)
        return false;
    watched.Browser().Pump();
    std::vector<double> arrivals, refreshes;
    for (int run = 0; run < 2 * kScreenRuns; ++run) {
        const bool byRefresh = run % 2 == 1;
        // A TIF name: its run follows the BMP pictures, so a refresh too puts
        // it into the second cell of the last page (the content decides the
        // format it is read in).
        const std::string name = album.PathOf("new" + std::to_string(run) + ".tif");
        // A file arriving after a quiet while, as a snapshot does: the watch
        // tells at once (within its gap of the last message it waits).
        watched.Browser().PumpFor(2 * CFolderWatch::kGapMs);
        if (!CopyFileA(source.c_str(), name.c_str(), FALSE))
            return false;
        const double start = BenchSeconds();
        if (byRefresh)
            SendMessageA(watched.Browser().ViewWindow(), WM_COMMAND, MAKEWPARAM(ID_ALBUM_REFRESH, 0), 0);
        if (!watched.WaitForCell(1, kBlue, true)) {
            std::fprintf(stderr, "run %d: %s never showed (%d listed)\n", run, name.c_str(), watched.View().Count());
            return false;
        }
        (byRefresh ? refreshes : arrivals).push_back(BenchSeconds() - start);
        DeleteFileA(name.c_str());
        if (!watched.WaitForCell(1, kBlue, false)) {
            std::fprintf(stderr, "run %d: %s stayed on the screen\n", run, name.c_str());
            return false;
        }
    }
    *arrival = Median(arrivals);
    *refresh = Median(refreshes);
    return true;
}

struct UpdateCosts {
    double arrival = 0, removal = 0, frontArrival = 0, frontRemoval = 0;
};

// One arrival and its removal at a time, each update timed alone: names
// that sort after the others, and a BMP before them all.
bool TimeUpdates(const std::string& folder, HWND host, int names, UpdateCosts* costs, SIZE_T* listBytes)
{
    const SIZE_T before = CommittedBytes();
    WatchedAlbum watched(folder, host);
    if (!watched.Opened() || watched.View().Count() != names) {
        std::fprintf(stderr, "the album of %s does not list %d names\n", folder.c_str(), names);
        return false;
    }
    watched.Browser().Pump();
    if (listBytes != nullptr)
        *listBytes = CommittedBytes() - before;
    std::vector<double> arrivals, removals, frontArrivals, frontRemovals;
    for (int run = 0; run < 2 * kCostRuns; ++run) {
        const bool front = run % 2 == 1;
        char name[64];
        std::snprintf(name, sizeof name, front ? "\\00front-%02d.bmp" : "\\01way-2026-12-09-%06d-00.jpg", run);
        const std::string path = folder + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        const double arrival = watched.TimeNextUpdate();
        DeleteFileA(path.c_str());
        const double removal = watched.TimeNextUpdate();
        if (arrival < 0 || removal < 0 || watched.View().Count() != names) {
            std::fprintf(stderr, "the album of %s did not follow %s\n", folder.c_str(), name);
            return false;
        }
        (front ? frontArrivals : arrivals).push_back(arrival);
        (front ? frontRemovals : removals).push_back(removal);
    }
    *costs = {Least(arrivals), Least(removals), Least(frontArrivals), Least(frontRemovals)};
    return true;
}

// The committed memory an index of the list's names takes, built alone.
SIZE_T IndexBytes(int names)
{
    AlbumList list;
    char name[64];
    for (int i = 0; i < names; ++i) {
        std::snprintf(name, sizeof name, "01way-2026-12-08-%06d-00.jpg", i);
        list.push_back(name);
    }
    const int runLengths[ALBUM_RUNS] = {0, 0, 0, 0, names, 0};
    const SIZE_T before = CommittedBytes();
    CAlbumListIndex index;
    index.Build(list, runLengths);
    index.Find(list.back(), list);  // the first look-up makes it
    return CommittedBytes() - before;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_folder_watch.exe FOLDER_100 FOLDER_100000\n");
        return 2;
    }
    FwInitModule(GetModuleHandleA(nullptr));
    HostWindow host;

    double arrival = 0, refresh = 0;
    if (!ArrivalToScreen(host.Handle(), &arrival, &refresh)) {
        std::fprintf(stderr, "an arrival did not reach the screen\n");
        return 1;
    }
    UpdateCosts small, large;
    SIZE_T smallBytes = 0, largeBytes = 0;
    if (!TimeUpdates(argv[1], host.Handle(), 100, &small, &smallBytes) ||
        !TimeUpdates(argv[2], host.Handle(), 100000, &large, &largeBytes))
        return 1;

    std::printf("bench: arrival_to_cell_on_screen = %.1f ms\n", arrival * 1000);
    std::printf("bench: refresh_to_cell_on_screen = %.1f ms\n", refresh * 1000);
    std::printf("bench: arrival_vs_refresh_to_screen_ratio = %.2f x\n", arrival / refresh);
    std::printf("bench: arrival_update_100_names = %.3f ms\n", small.arrival * 1000);
    std::printf("bench: arrival_update_100000_names = %.3f ms\n", large.arrival * 1000);
    std::printf("bench: arrival_update_100000_vs_100_ratio = %.2f x\n", large.arrival / small.arrival);
    std::printf("bench: removal_update_100_names = %.3f ms\n", small.removal * 1000);
    std::printf("bench: removal_update_100000_names = %.3f ms\n", large.removal * 1000);
    std::printf("bench: removal_update_100000_vs_100_ratio = %.2f x\n", large.removal / small.removal);
    std::printf("bench: front_arrival_update_100_names = %.3f ms\n", small.frontArrival * 1000);
    std::printf("bench: front_arrival_update_100000_names = %.3f ms\n", large.frontArrival * 1000);
    std::printf("bench: front_arrival_update_100000_vs_100_ratio = %.2f x\n", large.frontArrival / small.frontArrival);
    std::printf("bench: front_removal_update_100_names = %.3f ms\n", small.frontRemoval * 1000);
    std::printf("bench: front_removal_update_100000_names = %.3f ms\n", large.frontRemoval * 1000);
    std::printf("bench: front_removal_update_100000_vs_100_ratio = %.2f x\n", large.frontRemoval / small.frontRemoval);
    std::printf("bench: index_memory_100000_names = %.2f MB\n", IndexBytes(100000) / 1048576.0);
    std::printf("bench: committed_memory_album_of_100_names = %.1f MB\n", smallBytes / 1048576.0);
    std::printf("bench: committed_memory_album_of_100000_names = %.1f MB\n", largeBytes / 1048576.0);
    return 0;
}
