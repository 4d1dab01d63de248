// The album list of a folder of 10,000 empty files with picture names,
// built by the real view's refresh command, against a bare walk of the same
// folder with FindFirstFile/FindNextFile that only keeps the names, in the
// same run. Both are given per thousand files. The command is timed to the
// list built; the page it then paints (nine files that cannot be read) is
// not part of the list, and is left out.
//
//   bench_list_build.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/common/BenchClock.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"

namespace {

constexpr int kFiles = 10000;

// Snapshot-like names over the picture extensions the album lists.
void FillFolder(const TempFolder& folder)
{
    static const char* const kExtensions[] = {"jpg", "bmp", "gif", "tif", "pcx", "tga"};
    char name[64];
    for (int i = 0; i < kFiles; ++i) {
        std::snprintf(name, sizeof name, "01way-2026-12-07-%05d-00.%s", i, kExtensions[i % 6]);
        folder.Touch(name);
    }
}

size_t WalkNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names.size();
}

}  // namespace

int main()
{
    FwInitModule(GetModuleHandleA(nullptr));
    TempFolder folder;
    FillFolder(folder);
    HostWindow host;
    BrowserOnThisThread browser;
    if (!browser.Open(folder.Path(), host.Handle()) || browser.View()->Count() != kFiles) {
        std::fprintf(stderr, "the album of %s does not list %d files\n", folder.Path().c_str(), kFiles);
        return 1;
    }
    if (WalkNames(folder.Path()) != static_cast<size_t>(kFiles)) {
        std::fprintf(stderr, "the walk of %s does not find %d files\n", folder.Path().c_str(), kFiles);
        return 1;
    }

    const int runs = 5;
    double listTime = 1e30;
    for (int run = 0; run < runs; ++run) {
        const double start = BenchSeconds();
        SendMessageA(browser.ViewWindow(), WM_COMMAND, MAKEWPARAM(ID_ALBUM_REFRESH, 0), 0);
        listTime = std::min(listTime, BenchSeconds() - start);
        browser.Pump();
    }
    const bool listed = browser.View()->Count() == kFiles;
    double walkTime = BestOf(runs, [&] { WalkNames(folder.Path()); });
    browser.Close();
    if (!listed) {
        std::fprintf(stderr, "the refresh lost files\n");
        return 1;
    }

    const double thousands = kFiles / 1000.0;
    std::printf("bench: list_build_per_1000_files = %.2f ms\n", listTime * 1000 / thousands);
    std::printf("bench: find_walk_per_1000_files = %.2f ms\n", walkTime * 1000 / thousands);
    std::printf("bench: list_build_vs_find_walk_ratio = %.2f x\n", listTime / walkTime);
    return 0;
}
