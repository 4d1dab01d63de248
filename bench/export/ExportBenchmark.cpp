// Exporting marked 4K snapshots into a zip against the plain way of
// handing them over with a proof: copying each file and hashing each copy
// (CopyFile and the system's SHA-256, in this process, as cp and sha256sum
// would). Then a second export while the browser, on this thread, turns
// pages: the slowest page command (command and paint) against the same
// commands without an export.
//   bench_export.exe SNAPSHOT_FOLDER [COUNT]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "album/AlbumView.h"
#include "album/export/Sha256.h"
#include "album/export/ZipExport.h"
#include "bench/common/BenchClock.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/FileTree.h"

namespace {

std::vector<std::string> Snapshots(const std::string& folder)
{
    std::vector<std::string> paths;
    for (const std::string& name : ListFolder(folder, "*.jpg"))
        paths.push_back(folder + "\\" + name);
    return paths;
}

bool HashFile(const std::string& path, CSha256* sha, std::vector<char>* piece)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD got = 0;
    while (ReadFile(file, piece->data(), static_cast<DWORD>(piece->size()), &got, nullptr) && got > 0)
        sha->Update(piece->data(), got);
    CloseHandle(file);
    return !sha->FinishHex().empty();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_export.exe SNAPSHOT_FOLDER [COUNT]\n");
        return 2;
    }
    FwInitModule(GetModuleHandleA(nullptr));
    const std::vector<std::string> snapshots = Snapshots(argv[1]);
    const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
    if (snapshots.empty() || count <= 0)
        return 2;
    TempFolder work("bex");
    const std::string album = work.MakeFolder("album"), copies = work.MakeFolder("copies");
    std::vector<ExportSource> sources;
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "01way-%05d.jpg", i);
        const std::string path = album + "\\" + name;
        if (!CopyFileA(snapshots[static_cast<size_t>(i) % snapshots.size()].c_str(), path.c_str(), FALSE))
            return 1;
        ExportSource source;
        source.path = path;
        source.zipPath = name;
        sources.push_back(source);
    }

    // The yardstick: a copy of each, then the hash of each copy.
    CSha256 sha;
    std::vector<char> piece(1 << 20);
    const double reference = BestOf(1, [&] {
        for (const ExportSource& source : sources)
            CopyFileA(source.path.c_str(), (copies + "\\" + source.zipPath).c_str(), FALSE);
        for (const ExportSource& source : sources)
            HashFile(copies + "\\" + source.zipPath, &sha, &piece);
    });

    // The export alone, as the ratio's other side.
    CZipExport alone(sources, work.PathOf("alone.zip"), album);
    ExportResult result;
    const double exported = BestOf(1, [&] { result = alone.Run(); });
    if (result.outcome != ExportOutcome::Done) {
        std::fprintf(stderr, "export failed: %d\n", static_cast<int>(result.outcome));
        return 1;
    }

    // Again, while the browser on this thread turns pages, each command
    // with its paint, one after another.
    HostWindow host;
    BrowserOnThisThread browser;
    if (!browser.Open(album, host.Handle()))
        return 1;
    browser.Pump();
    const HWND view = browser.ViewWindow();
    auto pageCommand = [&](int n) {
        const double start = BenchSeconds();
        SendMessageA(view, WM_COMMAND, MAKEWPARAM(n % 2 == 0 ? ID_PAGE_FIRST : ID_PAGE_LAST, 0), 0);
        UpdateWindow(view);
        return BenchSeconds() - start;
    };
    // The same commands without an export, for the yardstick.
    double slowestAlone = 0;
    for (int n = 0; n < 10; ++n) {
        slowestAlone = std::max(slowestAlone, pageCommand(n));
        browser.PumpFor(20);
    }
    CZipExport job(sources, work.PathOf("marked.zip"), album);
    std::atomic<bool> done{false};
    std::thread exporting([&] {
        result = job.Run();
        done = true;
    });
    double slowest = 0;
    int commands = 0;
    while (!done) {
        slowest = std::max(slowest, pageCommand(commands++));
        browser.PumpFor(20);
    }
    exporting.join();
    browser.Close();
    std::printf("bench: export_%d_4k_snapshots_vs_copy_and_sha256 = %.2f x (target at most 1.3)\n", count,
                exported / reference);
    std::printf("bench: export_page_command_slowest = %.0f ms over %d commands (target at most 100)\n",
                slowest * 1000, commands);
    std::printf("bench: export_page_command_slowest_vs_without_export = %.2f x (%.0f ms without)\n",
                slowest / slowestAlone, slowestAlone * 1000);
    return 0;
}
