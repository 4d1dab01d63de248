// What the operator waits for while paging, timed from the command to the
// finished page on the screen (a 1024 x 690 view, and a 3840 x 2100 one as
// on a 3840 x 2160 screen), against a bare
// libjpeg-turbo decode of the same files in the same process: the next page
// when it was read ahead, the page shown just before, a page nothing could
// prepare (its files just changed), the page shown painted again (a
// tooltip gone, a dialog closed), a click on a cell, and the next picture
// alone when it was read ahead, with the floor under that last figure (a
// bare window putting a picture of that size on the screen). Also the peak
// memory of paging through a folder of 4K snapshots; and, against the
// picture library's LoadJPG of the same 4K file, a notch of the wheel on a
// prepared page, the zoom steps and pan steps of a 4K snapshot alone, and
// the memory a zoomed 4K snapshot takes above a fitted one.
//
//   bench_paint.exe FOLDER_1080 FOLDER_4K   (each holds 27 .jpg snapshots)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ImageLoad.h"
#include "bench/common/BenchClock.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/FileTree.h"

namespace {

const int kRuns = 9;

struct ViewSize {
    int width, height;
};
const ViewSize kSmallView = {1024, 690};
// The view of a maximised frame on a 3840 x 2160 screen. Wine's desktop
// here is 1024 x 768, so only part of it reaches the screen: the figures
// hold the cells' preparation and what the view draws, not the copy of
// the whole area to a 4K screen.
const ViewSize kLargeView = {3840, 2100};

// Decodes a JPEG file to RGB rows with libjpeg-turbo alone.
void BareDecode(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    const size_t stride = static_cast<size_t>(cinfo.output_width) * cinfo.output_components;
    std::vector<unsigned char> pixels(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Committed private memory of the process. Wine reports it as the
// page-file usage.
SIZE_T CommittedBytes()
{
    PROCESS_MEMORY_COUNTERS_EX m = {};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
    return m.PrivateUsage != 0 ? m.PrivateUsage : m.PagefileUsage;
}

// The most committed memory seen while f runs, sampled from a second thread,
// above the level before f.
SIZE_T PeakAbove(const std::function<void()>& f)
{
    const SIZE_T baseline = CommittedBytes();
    std::atomic<bool> running{true};
    std::atomic<SIZE_T> peak{baseline};
    std::thread sampler([&] {
        while (running) {
            const SIZE_T now = CommittedBytes();
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

// The browser on a folder, its view of the given size on the screen.
class PagingBench {
public:
    PagingBench(const std::string& folder, HWND host, ViewSize size = kSmallView)
    {
        m_opened = m_browser.Open(folder, host);
        if (!m_opened)
            return;
        RECT rc;
        GetWindowRect(m_browser.ViewWindow(), &rc);
        MapWindowPoints(nullptr, m_browser.Frame(), reinterpret_cast<POINT*>(&rc), 2);
        MoveWindow(m_browser.ViewWindow(), rc.left, rc.top, size.width, size.height, TRUE);
        Settle();
    }
    bool Opened() const { return m_opened && View().Count() == 27; }
    // A notch of the wheel toward the operator, with the pointer over the
    // view, up to the finished page.
    double TimeWheelNotch()
    {
        RECT rc;
        GetWindowRect(m_browser.ViewWindow(), &rc);
        const double start = BenchSeconds();
        SendMessageA(m_browser.ViewWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                     MAKELPARAM(rc.left + 100, rc.top + 100));
        UpdateWindow(m_browser.ViewWindow());
        return BenchSeconds() - start;
    }
    CAlbumView& View() const { return *m_browser.View(); }
    HWND ViewWindow() const { return m_browser.ViewWindow(); }

    // The command as the toolbar sends it, up to the finished page.
    double TimeCommand(UINT id)
    {
        const double start = BenchSeconds();
        SendMessageA(m_browser.ViewWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        UpdateWindow(m_browser.ViewWindow());
        return BenchSeconds() - start;
    }
    // The page painted again as it is, up to the finished page.
    double TimeRepaint()
    {
        const double start = BenchSeconds();
        InvalidateRect(m_browser.ViewWindow(), nullptr, TRUE);
        UpdateWindow(m_browser.ViewWindow());
        return BenchSeconds() - start;
    }
    double TimeClick(int cell)
    {
        const CellRect& rc = View().m_rcCell[cell];
        const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        const double start = BenchSeconds();
        SendMessageA(m_browser.ViewWindow(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(m_browser.ViewWindow(), WM_LBUTTONUP, 0, at);
        return BenchSeconds() - start;
    }
    // Repaints and lets reading ahead finish, as two seconds of the
    // operator looking at the page would.
    void Settle()
    {
        m_browser.Pump();
        UpdateWindow(m_browser.ViewWindow());
        View().WaitForPreparedCells(60000);
    }
    std::vector<std::string> PageFiles(int top) const
    {
        return std::vector<std::string>(View().m_arrPaths.begin() + top, View().m_arrPaths.begin() + top + 9);
    }

private:
    BrowserOnThisThread m_browser;
    bool m_opened = false;
};

// The floor under the single-picture figure: a bare window over the view
// that does nothing but put a 32-bit picture of the shown size on the
// screen when it paints, timed as a command is (invalidate, update).
struct BarePicture {
    std::vector<DWORD> pixels;
    BITMAPINFO info = {};
};
BarePicture g_bare;

LRESULT CALLBACK BareWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const BITMAPINFOHEADER& h = g_bare.info.bmiHeader;
    StretchDIBits(dc, 6, 6, h.biWidth, -h.biHeight, 0, 0, h.biWidth, -h.biHeight, g_bare.pixels.data(),
                  &g_bare.info, DIB_RGB_COLORS, SRCCOPY);
    EndPaint(hwnd, &ps);
    return 0;
}

double BareShowSeconds(HWND view, int width, int height)
{
    g_bare.pixels.assign(static_cast<size_t>(width) * height, 0x00806040);
    BITMAPINFOHEADER& h = g_bare.info.bmiHeader;
    h = {sizeof h, width, -height, 1, 32, BI_RGB};
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BareWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "BenchBarePicture";
    RegisterClassA(&wc);
    RECT rc;
    GetWindowRect(view, &rc);
    HWND bare = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, rc.left, rc.top,
                                rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(bare);
    const double seconds = BestOf(kRuns, [&] {
        InvalidateRect(bare, nullptr, TRUE);
        UpdateWindow(bare);
    });
    DestroyWindow(bare);
    return seconds;
}

// Another program rewrote them: their last write time moves on.
void Touch(const std::vector<std::string>& files)
{
    static unsigned step = 0;
    ++step;
    for (const std::string& path : files)
        MoveWriteTimeOn(path, step);
}

void PagingFigures(const std::string& folder, const std::string& sizeName, HWND host, ViewSize view = kSmallView)
{
    PagingBench bench(folder, host, view);
    const char* size = sizeName.c_str();
    if (!bench.Opened()) {
        std::fprintf(stderr, "cannot open 27 pictures in %s\n", folder.c_str());
        return;
    }
    const std::vector<std::string> first = bench.PageFiles(0), second = bench.PageFiles(9);
    auto decodePage = [&] {
        for (const std::string& f : second)
            BareDecode(f);
    };
    decodePage();   // the file cache warm for both
    const double pageDecode = BestOf(kRuns, decodePage);
    const double oneDecode = BestOf(kRuns, [&] { BareDecode(second[0]); });

    std::vector<double> next, previous, repaint, cold, click, single;
    for (int run = 0; run < kRuns; ++run) {
        bench.TimeCommand(ID_PAGE_FIRST);
        bench.Settle();                         // the second page read ahead
        next.push_back(bench.TimeCommand(ID_PAGE_NEXT));
        bench.Settle();
        previous.push_back(bench.TimeCommand(ID_PAGE_PREV));
        bench.Settle();
        repaint.push_back(bench.TimeRepaint());
        bench.Settle();
        Touch(second);
        cold.push_back(bench.TimeCommand(ID_PAGE_NEXT));
        bench.Settle();
        click.push_back(bench.TimeClick(1 + run % 8));
        bench.Settle();
    }
    bench.View().ShowCellAlone(0);
    bench.Settle();
    const double pictureDecode = BestOf(kRuns, [&] { BareDecode(first[1]); });
    for (int run = 0; run < kRuns; ++run) {
        bench.TimeCommand(ID_PAGE_FIRST);
        bench.Settle();                     // the second picture read ahead
        single.push_back(bench.TimeCommand(ID_PAGE_NEXT));
        bench.Settle();
    }
    RECT client;
    GetClientRect(bench.ViewWindow(), &client);
    const int shownWidth = client.right - 12;
    const double bareShow = BareShowSeconds(bench.ViewWindow(), shownWidth, shownWidth * 1080 / 1920);
    std::printf("bench: bare_decode_page_9x%s_jpeg = %.1f ms\n", size, pageDecode * 1000);
    std::printf("bench: next_page_prepared_%s = %.1f ms\n", size, Median(next) * 1000);
    std::printf("bench: next_page_prepared_vs_decode_%s = %.3f x\n", size, Median(next) / pageDecode);
    std::printf("bench: previous_page_vs_decode_%s = %.3f x\n", size, Median(previous) / pageDecode);
    std::printf("bench: page_shown_painted_again_vs_decode_%s = %.3f x\n", size, Median(repaint) / pageDecode);
    std::printf("bench: page_nothing_prepared_%s = %.1f ms\n", size, Median(cold) * 1000);
    std::printf("bench: page_nothing_prepared_vs_decode_%s = %.3f x\n", size, Median(cold) / pageDecode);
    std::printf("bench: click_vs_one_decode_%s = %.3f x\n", size, Median(click) / oneDecode);
    std::printf("bench: next_picture_prepared_vs_its_decode_%s = %.3f x\n", size, Median(single) / pictureDecode);
    std::printf("bench: next_picture_prepared_%s = %.2f ms\n", size, Median(single) * 1000);
    std::printf("bench: bare_show_of_that_picture_%s = %.2f ms\n", size, bareShow * 1000);
    std::printf("bench: bare_show_vs_its_decode_%s = %.3f x\n", size, bareShow / pictureDecode);
}

double LoadJpgSeconds(const std::vector<std::string>& files)
{
    return BestOf(kRuns, [&] {
        for (const std::string& path : files)
            GlobalFree(LoadJPG(path.c_str()));
    });
}

// The median of every time of every kind, and the largest of the kinds'
// medians.
double MedianOfAll(const std::vector<std::vector<double>>& kinds)
{
    std::vector<double> all;
    for (const std::vector<double>& times : kinds)
        all.insert(all.end(), times.begin(), times.end());
    return Median(all);
}

double SlowestMedian(const std::vector<std::vector<double>>& kinds)
{
    double slowest = 0;
    for (const std::vector<double>& times : kinds)
        slowest = std::max(slowest, Median(times));
    return slowest;
}

const UINT kArrows[] = {ID_MOVE_RIGHT, ID_MOVE_DOWN, ID_MOVE_LEFT, ID_MOVE_UP};

// The wheel on a page read ahead, and a 4K snapshot alone zoomed from its
// fit to one to one (the first step, which decodes what the view shows by
// skipping the rows above while the file's notes are made on another
// thread), on to 16 and back, and panned by the arrow keys at one to one
// and at 2, each timed from the command to the finished view, against the
// library's LoadJPG of the same file.
void WheelAndZoomFigures(const std::string& folder, HWND host)
{
    PagingBench bench(folder, host);
    if (!bench.Opened())
        return;
    std::vector<double> notches;
    for (int run = 0; run < kRuns; ++run) {
        bench.TimeCommand(ID_PAGE_FIRST);
        bench.Settle();                     // the second page read ahead
        notches.push_back(bench.TimeWheelNotch());
        bench.Settle();
    }
    const double pageLoad = LoadJpgSeconds(bench.PageFiles(0));

    bench.View().SelectCell(4);
    bench.TimeCommand(ID_SINGLE_SHOW);
    bench.Settle();
    const std::vector<std::string> picture = {bench.View().m_strCurrent};
    const double load = LoadJpgSeconds(picture);
    // Each kind of step (in from 1, 2, 4, 8; out from 16, 8, 4, 2; a pan
    // each way) timed in every run; the median of each kind is its figure.
    std::vector<double> first;
    std::vector<std::vector<double>> further(8), pans(4), pansAt2(4);
    for (int run = 0; run < kRuns; ++run) {
        // A picture not zoomed before, then the steps at an operator's
        // pace: its notes made meanwhile.
        bench.TimeCommand(ID_ZOOM_FIT);
        bench.TimeCommand(run % 2 == 0 ? ID_PAGE_NEXT : ID_PAGE_PREV);
        bench.Settle();
        first.push_back(bench.TimeCommand(ID_ZOOM_IN));
        bench.View().WaitForZoomNotes();
        for (size_t step = 0; step < 4; ++step)
            further[step].push_back(bench.TimeCommand(ID_ZOOM_IN));
        for (size_t step = 4; step < 8; ++step)
            further[step].push_back(bench.TimeCommand(ID_ZOOM_OUT));
        for (size_t way = 0; way < 4; ++way)
            pans[way].push_back(bench.TimeCommand(kArrows[way]));
        bench.TimeCommand(ID_ZOOM_IN);
        for (size_t way = 0; way < 4; ++way)
            pansAt2[way].push_back(bench.TimeCommand(kArrows[way]));
    }
    std::printf("bench: wheel_notch_page_prepared_4k = %.2f ms\n", Median(notches) * 1000);
    std::printf("bench: wheel_notch_page_prepared_vs_load_4k = %.3f x\n", Median(notches) / pageLoad);
    std::printf("bench: loadjpg_3840x2160 = %.1f ms\n", load * 1000);
    std::printf("bench: zoom_first_step_4k = %.2f ms\n", Median(first) * 1000);
    std::printf("bench: zoom_first_step_vs_load_4k = %.3f x\n", Median(first) / load);
    std::printf("bench: zoom_further_step_vs_load_4k = %.3f x\n", MedianOfAll(further) / load);
    std::printf("bench: zoom_further_step_slowest_kind_vs_load_4k = %.3f x\n", SlowestMedian(further) / load);
    std::printf("bench: pan_step_one_to_one_vs_load_4k = %.3f x\n", MedianOfAll(pans) / load);
    std::printf("bench: pan_step_one_to_one_slowest_way_vs_load_4k = %.3f x\n", SlowestMedian(pans) / load);
    std::printf("bench: pan_step_at_2_vs_load_4k = %.3f x\n", MedianOfAll(pansAt2) / load);
    std::printf("bench: pan_step_at_2_slowest_way_vs_load_4k = %.3f x\n", SlowestMedian(pansAt2) / load);
}

// A 4K snapshot shown alone from its page: the most memory committed above
// the page while it is shown fitted (decoded, its neighbours read ahead),
// and while it is then zoomed through every step and panned at one to one;
// what zooming needs beyond what the fitted picture needed, against the
// view's own pixels, and what the view holds zoomed.
void ZoomMemory(const std::string& folder, HWND host)
{
    PagingBench bench(folder, host);
    if (!bench.Opened())
        return;
    bench.View().SelectCell(4);
    const SIZE_T page = CommittedBytes();
    const SIZE_T fitted = PeakAbove([&] {
        bench.TimeCommand(ID_SINGLE_SHOW);
        bench.Settle();
    });
    const SIZE_T settled = CommittedBytes() - page;
    size_t held = 0;
    const SIZE_T zoomed = settled + PeakAbove([&] {
        for (UINT id : {ID_ZOOM_IN, ID_ZOOM_IN, ID_ZOOM_IN, ID_ZOOM_IN, ID_ZOOM_IN, ID_ZOOM_ACTUAL, ID_MOVE_RIGHT,
                        ID_MOVE_DOWN, ID_MOVE_LEFT, ID_MOVE_UP}) {
            bench.TimeCommand(id);
            bench.View().WaitForZoomNotes();
            held = std::max(held, bench.View().ZoomedBytes());
        }
    });
    RECT view;
    GetClientRect(bench.ViewWindow(), &view);
    std::printf("bench: fitted_4k_view_needs = %.2f MB\n", fitted / 1048576.0);
    std::printf("bench: zoomed_4k_view_needs = %.2f MB\n", zoomed / 1048576.0);
    std::printf("bench: zoomed_needs_beyond_fitted_4k = %.2f MB\n",
                (static_cast<double>(zoomed) - static_cast<double>(fitted)) / 1048576.0);
    std::printf("bench: zoomed_4k_view_holds = %.2f MB\n", held / 1048576.0);
    std::printf("bench: view_pixels_32bit = %.2f MB\n", 4.0 * view.right * view.bottom / 1048576.0);
}

// Opening the album and going through every page and back, each painted
// and read ahead: the most memory committed above the level before opening.
void PagingPeakMemory(const std::string& folder, HWND host, const char* name, ViewSize view)
{
    bool opened = false;
    const SIZE_T peak = PeakAbove([&] {
        PagingBench bench(folder, host, view);
        opened = bench.Opened();
        for (UINT id : {ID_PAGE_FIRST, ID_PAGE_NEXT, ID_PAGE_NEXT, ID_PAGE_PREV, ID_PAGE_PREV}) {
            if (!opened)
                break;
            bench.TimeCommand(id);
            bench.Settle();
        }
    });
    if (!opened)
        return;
    std::printf("bench: %s = %.1f MB\n", name, peak / 1048576.0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_paint FOLDER_1080 FOLDER_4K\n");
        return 2;
    }
    FwInitModule(GetModuleHandleA(nullptr));
    HostWindow host;
    PagingFigures(argv[1], "1920x1080", host.Handle());
    PagingFigures(argv[2], "3840x2160", host.Handle());
    PagingFigures(argv[2], "3840x2160_on_a_3840x2100_view", host.Handle(), kLargeView);
    PagingPeakMemory(argv[2], host.Handle(), "paging_4k_peak_memory", kSmallView);
    PagingPeakMemory(argv[2], host.Handle(), "paging_4k_peak_memory_on_a_3840x2100_view", kLargeView);
    std::printf("bench: one_4k_picture_decoded = %.1f MB\n", 3840.0 * 2160 * 3 / 1048576.0);
    WheelAndZoomFigures(argv[2], host.Handle());
    ZoomMemory(argv[2], host.Handle());
    return 0;
}
