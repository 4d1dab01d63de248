// The browser library's load time with ten archive drives against none:
// every load lists the drives and weighs the fixed ones, so this is what
// the drive scan adds to opening the library. Both settings are timed in
// the same process, alternating, and only their ratio is the figure.
//
// usage: bench_archive_load.exe LIBRARY.dll
// The drives D: to M: must be fixed drives (run-archive-load-bench.sh links
// them to ten folders); the reference setting removes their drive letters
// for this session and the measured one defines them again.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char kFirstLetter = 'd';
constexpr int kDrives = 10;
constexpr int kLoadsPerRound = 25;
constexpr int kRounds = 7;

int ListedArchiveLetters()
{
    DWORD mask = GetLogicalDrives();
    int count = 0;
    for (int i = 0; i < kDrives; ++i)
        count += (mask >> (kFirstLetter - 'a' + i)) & 1;
    return count;
}

// The ten drive letters and the device each stands for, as the platform
// defined them at start.
struct DriveLetter {
    std::string name;      // "D:"
    std::string target;    // its device path
};

std::vector<DriveLetter> CurrentDriveLetters()
{
    std::vector<DriveLetter> letters;
    for (int i = 0; i < kDrives; ++i) {
        DriveLetter letter;
        letter.name = std::string(1, static_cast<char>('D' + i)) + ":";
        char target[MAX_PATH] = {};
        if (QueryDosDeviceA(letter.name.c_str(), target, sizeof target) == 0)
            return {};
        letter.target = target;
        letters.push_back(letter);
    }
    return letters;
}

// Removes or restores the ten drive letters; false when the platform's list
// of drives did not follow.
bool ShowDrives(const std::vector<DriveLetter>& letters, bool show)
{
    for (const DriveLetter& letter : letters) {
        if (show)
            DefineDosDeviceA(DDD_RAW_TARGET_PATH, letter.name.c_str(), letter.target.c_str());
        else
            DefineDosDeviceA(DDD_REMOVE_DEFINITION, letter.name.c_str(), nullptr);
    }
    if (ListedArchiveLetters() != (show ? kDrives : 0))
        return false;
    // Shown, each must be what the library's scan takes as an archive drive.
    for (const DriveLetter& letter : letters) {
        std::string root = letter.name + "\\";
        ULARGE_INTEGER available, total, free;
        if (show && (GetDriveTypeA(root.c_str()) != DRIVE_FIXED ||
                     !GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free)))
            return false;
    }
    return true;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Mean seconds of one load and unload; negative when the library could not
// be loaded or stayed loaded.
double TimeLoads(const char* library)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kLoadsPerRound; ++i) {
        HMODULE module = LoadLibraryA(library);
        if (module == nullptr)
            return -1.0;
        FreeLibrary(module);
    }
    QueryPerformanceCounter(&end);
    if (GetModuleHandleA(library) != nullptr)
        return -1.0;
    return Seconds(start, end) / kLoadsPerRound;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_archive_load LIBRARY.dll\n");
        return 2;
    }
    const char* library = argv[1];
    const std::vector<DriveLetter> letters = CurrentDriveLetters();

    // Warm the file cache and the loader once.
    if (letters.empty() || !ShowDrives(letters, true) || TimeLoads(library) < 0) {
        std::fprintf(stderr, "the ten drives or the library are not there\n");
        return 1;
    }
    std::vector<double> none, ten;
    for (int round = 0; round < kRounds; ++round) {
        for (bool show : {false, true}) {
            if (!ShowDrives(letters, show)) {
                std::fprintf(stderr, "the drive list did not follow: %d listed\n", ListedArchiveLetters());
                return 1;
            }
            double seconds = TimeLoads(library);
            if (seconds < 0) {
                std::fprintf(stderr, "loading the library failed\n");
                return 1;
            }
            (show ? ten : none).push_back(seconds);
        }
    }
    ShowDrives(letters, true);

    const double noneMedian = Median(none), tenMedian = Median(ten);
    std::printf("bench: archive_load_ten_drives_vs_none = %.3f ratio\n", tenMedian / noneMedian);
    std::printf("bench: archive_load_no_drive = %.3f ms\n", noneMedian * 1e3);
    std::printf("bench: archive_load_ten_drives = %.3f ms\n", tenMedian * 1e3);
    return 0;
}
