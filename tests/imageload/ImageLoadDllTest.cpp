// The picture library DLL as its users see it, under Wine: exported names,
// movable global memory blocks in the picture layout, error numbers, files
// written by independent tools, saves that fail without leaving a file,
// each thread's own last error, and the fitted JPEG decode.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ImageLoad.h"
#include "imageload/block/DibBlock.h"
#include "picture/Picture.h"
#include "tests/support/FileTree.h"
#include "tests/support/TestPictures.h"

// The picture object's block (the class befriends its probe).
class CPictureProbe {
public:
    explicit CPictureProbe(const CPicture& picture) : m_p(picture) {}
    HGLOBAL Block() const { return m_p.m_hDIB; }

private:
    const CPicture& m_p;
};

namespace {

std::string Sample(const std::string& name)
{
    const char* dir = std::getenv("IMAGELOAD_SAMPLES");
    return std::string(dir ? dir : "") + "/" + name;
}

// The sample BMP claiming 60000 x 60000 pixels.
void WriteHugeBmp(const std::string& path)
{
    Bytes bmp = ReadBytes(Sample("pic.bmp"));
    dib::WriteI32(&bmp[dib::kWidthOffset], 60000);
    dib::WriteI32(&bmp[dib::kHeightOffset], 60000);
    WriteBytes(path, bmp);
}

// Largest channel difference between a loaded block and given colours.
int MaxError(HGLOBAL dib, const Colors& expected) { return MaxChannelError(ColorsOf(BytesOf(dib)), expected); }

// A smooth 24-bit block in global memory, the way a caller that makes its
// own pictures would hand one over.
HGLOBAL MakeBlock(int width, int height)
{
    PixelGrid grid(24, width, height);
    for (int y = 0; y < height; ++y)  // y counted from the bottom
        for (int x = 0; x < width; ++x)
            grid.Set(x, height - 1 - y, (200u - x - y) << 16 | (y * 6u) << 8 | x * 4u);
    return GlobalBlock(DibOf(grid));
}

// A fit procedure's answer, and what it was shown.
struct FitAnswer {
    int width;
    int height;
    int accept;
    int shownWidth = -1;
    int shownHeight = -1;
    int calls = 0;
};

int __cdecl Answer(void* context, int width, int height, int* targetWidth, int* targetHeight)
{
    auto* answer = static_cast<FitAnswer*>(context);
    answer->shownWidth = width;
    answer->shownHeight = height;
    ++answer->calls;
    *targetWidth = answer->width;
    *targetHeight = answer->height;
    return answer->accept;
}

// A region procedure's rectangle, and the rows it took, as colours.
struct RegionRows {
    int x, y, width, height;
    int stopAfter = 1 << 30;
    int shownWidth = -1;
    std::vector<int> rows;
    std::vector<Rgba> pixels;
    int taken = 0;      // pixels a row holds: the clipped width, set by the test
};

int __cdecl ChooseRegion(void* context, int width, int, int* x, int* y, int* w, int* h)
{
    auto* r = static_cast<RegionRows*>(context);
    r->shownWidth = width;
    *x = r->x;
    *y = r->y;
    *w = r->width;
    *h = r->height;
    return r->stopAfter > 0;
}

int __cdecl TakeRow(void* context, int y, const unsigned char* bgr)
{
    auto* r = static_cast<RegionRows*>(context);
    r->rows.push_back(y);
    for (int i = 0; i < r->taken; ++i)
        r->pixels.push_back(Rgba{bgr[3 * i + 2], bgr[3 * i + 1], bgr[3 * i], 0});
    return static_cast<int>(r->rows.size()) < r->stopAfter;
}

}  // namespace

// Runs first: nothing has failed yet in this process.
TEST(ImageLoadErrors, NoErrorBeforeAnyFailure) { EXPECT_EQ(GetLastPicLibError(), IL_ERR_NONE); }

TEST(ImageLoadExports, EveryFunctionIsExportedByItsPlainName)
{
    HMODULE dll = GetModuleHandleA("ImageLoad.dll");
    ASSERT_NE(dll, nullptr);
    for (const char* name : {"FileType", "LoadBMP", "LoadGIF", "LoadPCX", "LoadTGA", "LoadJPG", "LoadTIF", "SaveBMP",
                             "SaveGIF", "SavePCX", "SaveTGA", "SaveJPG", "SaveTIF", "GetLastPicLibError", "LoadJPGFitted",
                             "IndexJPG", "IndexJPGUntil", "ReadJPGRegion"})
        EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(dll, "_FileType"), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "FileType@4"), nullptr);
}

// Every loader hands out an unlocked movable block in the picture layout.
TEST(ImageLoadFiles, EachFormatFromAnIndependentToolLoadsToItsPixels)
{
    struct Case {
        const char* file;
        int type;
        HGLOBAL (*load)(const char*);
        const char* reference;
        int bits;
        int tolerance;
    } cases[] = {
        {"pic.bmp", IL_TYPE_BMP, LoadBMP, "ref.ppm", 24, 0},
        {"pal.bmp", IL_TYPE_BMP, LoadBMP, "ref256.ppm", 8, 0},
        {"pic.gif", IL_TYPE_GIF, LoadGIF, "ref256.ppm", 8, 0},
        {"pic.pcx", IL_TYPE_PCX, LoadPCX, "ref.ppm", 24, 0},
        {"pic.tga", IL_TYPE_TGA, LoadTGA, "ref.ppm", 24, 0},
        {"pic.jpg", IL_TYPE_JPG, LoadJPG, "pic.jpg.ppm", 24, 2},
        {"pic.tif", IL_TYPE_TIF, LoadTIF, "ref.ppm", 24, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(FileType(Sample(c.file).c_str()), c.type);
        HGLOBAL dib = c.load(Sample(c.file).c_str());
        ASSERT_NE(dib, nullptr) << GetLastPicLibError();
        EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 0u);
        EXPECT_NE(GlobalLock(dib), static_cast<void*>(dib)) << "a fixed block";
        EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 1u);
        GlobalUnlock(dib);
        const Bytes block = BytesOf(dib);
        EXPECT_TRUE(dib::IsWellFormed(block.data(), block.size()));
        EXPECT_EQ(BitsOf(block), c.bits);
        EXPECT_LE(MaxError(dib, ReadPnm(Sample(c.reference))), c.tolerance);
        EXPECT_EQ(GlobalFree(dib), nullptr);
    }
}

TEST(ImageLoadFiles, FileTypeRecognisesContentNotNames)
{
    EXPECT_EQ(FileType(Sample("same-bytes.dat").c_str()), IL_TYPE_UNKNOWN) << "TGA needs its extension";
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_CORRUPT);
    EXPECT_EQ(FileType(Sample("text.bmp").c_str()), IL_TYPE_UNKNOWN);
    EXPECT_EQ(FileType(Sample("empty.bmp").c_str()), IL_TYPE_UNKNOWN);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_FILE);
    EXPECT_EQ(FileType(Sample("no-such-file.bmp").c_str()), IL_TYPE_UNKNOWN);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_FILE);
    EXPECT_EQ(FileType(nullptr), IL_TYPE_UNKNOWN);
}

TEST(ImageLoadErrors, EachFailureLeavesItsOwnNumber)
{
    EXPECT_EQ(LoadJPG(Sample("no-such-file.jpg").c_str()), nullptr);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_FILE);
    EXPECT_EQ(LoadGIF(Sample("pic.bmp").c_str()), nullptr) << "a BMP is no GIF";
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_CORRUPT);

    TempFolder folder("imageload");
    const Bytes jpeg = ReadBytes(Sample("pic.jpg"));
    WriteBytes(folder.PathOf("cut.jpg"), Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2));
    EXPECT_EQ(LoadJPG(folder.PathOf("cut.jpg").c_str()), nullptr);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_CORRUPT);

    WriteHugeBmp(folder.PathOf("huge.bmp"));
    EXPECT_EQ(LoadBMP(folder.PathOf("huge.bmp").c_str()), nullptr);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_TOO_LARGE);

    HGLOBAL dib = MakeBlock(8, 8);
    EXPECT_EQ(SaveJPG(folder.PathOf("q.jpg").c_str(), dib, 0), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_UNSUPPORTED);
    GlobalFree(dib);

    FitAnswer refuse{10, 10, 0};
    EXPECT_EQ(LoadJPGFitted(Sample("pic.jpg").c_str(), Answer, &refuse), nullptr);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_REFUSED);
    EXPECT_EQ(LoadJPGFitted(folder.PathOf("cut.jpg").c_str(), Answer, &refuse), nullptr);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_CORRUPT) << "the file is judged before the fit";
    EXPECT_EQ(refuse.calls, 1);
}

// The codec's own table holds the rectangle's pixels in every layout
// (FittedJpegTest); here the library clips what a caller asks for, stops
// when told and refuses when told.
TEST(ImageLoadRegion, ARectangleReachingOutOfThePictureIsClippedToIt)
{
    HGLOBAL whole = LoadJPG(Sample("pic.jpg").c_str());
    ASSERT_NE(whole, nullptr);
    const Colors expected = ColorsOf(BytesOf(whole));
    GlobalFree(whole);
    const int w = static_cast<int>(expected.width), h = static_cast<int>(expected.height);
    HGLOBAL notes = IndexJPG(Sample("pic.jpg").c_str());
    ASSERT_NE(nullptr, notes) << GetLastPicLibError();
    for (HGLOBAL index : {static_cast<HGLOBAL>(nullptr), notes}) {
        SCOPED_TRACE(index != nullptr ? "with notes" : "without notes");
        RegionRows corner{w - 5, -3, 20, 7};
        corner.taken = 5;
        ASSERT_EQ(ReadJPGRegion(Sample("pic.jpg").c_str(), index, ChooseRegion, TakeRow, &corner), 1)
            << GetLastPicLibError();
        EXPECT_EQ(w, corner.shownWidth);
        EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), corner.rows);
        int differing = 0;
        for (size_t i = 0; i < corner.pixels.size(); ++i) {
            const Rgba got = corner.pixels[i];
            const Rgba want =
                expected.At(static_cast<uint32_t>(w - 5 + static_cast<int>(i) % 5), static_cast<uint32_t>(i / 5));
            differing += got.r != want.r || got.g != want.g || got.b != want.b;
        }
        EXPECT_EQ(0, differing);
        RegionRows stopped{0, 2, w, h, 2};
        EXPECT_EQ(ReadJPGRegion(Sample("pic.jpg").c_str(), index, ChooseRegion, TakeRow, &stopped), 1);
        EXPECT_EQ((std::vector<int>{2, 3}), stopped.rows);
    }
    RegionRows outside{w, 0, 10, 10};
    EXPECT_EQ(ReadJPGRegion(Sample("pic.jpg").c_str(), notes, ChooseRegion, TakeRow, &outside), 1);
    EXPECT_TRUE(outside.rows.empty());
    RegionRows refused{0, 0, 1, 1, 0};
    EXPECT_EQ(ReadJPGRegion(Sample("pic.jpg").c_str(), nullptr, ChooseRegion, TakeRow, &refused), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_REFUSED);
    EXPECT_EQ(ReadJPGRegion(Sample("no-such-file.jpg").c_str(), notes, ChooseRegion, TakeRow, &outside), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_FILE);
    // Notes of another file are not used: the rows are still right.
    HGLOBAL otherNotes = IndexJPG(Sample("pic.jpg").c_str());
    TempFolder folder("imageload");
    const Bytes jpeg = ReadBytes(Sample("pic.jpg"));
    Bytes changed = jpeg;
    changed.push_back(0);   // another size
    WriteBytes(folder.PathOf("changed.jpg"), changed);
    RegionRows again{0, 0, 5, 3};
    again.taken = 5;
    EXPECT_EQ(ReadJPGRegion(folder.PathOf("changed.jpg").c_str(), otherNotes, ChooseRegion, TakeRow, &again), 1);
    EXPECT_EQ(3u, again.rows.size());
    EXPECT_EQ(IndexJPG(Sample("pic.bmp").c_str()), nullptr);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_UNSUPPORTED);
    GlobalFree(otherNotes);
    GlobalFree(notes);
}

// What another program does to a file while the library reads it: the
// walk of the notes looks at its stop flag with the file open, and the flag
// lies on a guard page, so the program's step runs right there.
struct WhileRead {
    static LONG CALLBACK OnGuardPage(EXCEPTION_POINTERS* info)
    {
        if (info->ExceptionRecord->ExceptionCode != STATUS_GUARD_PAGE_VIOLATION || s_step == nullptr)
            return EXCEPTION_CONTINUE_SEARCH;
        s_done = s_step();
        s_step = nullptr;
        return EXCEPTION_CONTINUE_EXECUTION;    // the guard is gone: the read goes on
    }
    static bool (*s_step)();
    static bool s_done;
    static std::string s_path;
};
bool (*WhileRead::s_step)() = nullptr;
bool WhileRead::s_done = false;
std::string WhileRead::s_path;

// The notes of a file stop when asked, with their own number; while the
// file is read, the program that writes it may overwrite it in place,
// rename it or delete it (the read goes on with what it opened, or with
// what the writer wrote).
TEST(ImageLoadNotes, StopWhenAskedAndLeaveTheFileToItsWriterWhileReadingIt)
{
    volatile LONG stop = 1;
    EXPECT_EQ(nullptr, IndexJPGUntil(Sample("pic.jpg").c_str(), &stop));
    EXPECT_EQ(IL_ERR_STOPPED, GetLastPicLibError());

    TempFolder folder("imageload");
    const Bytes jpeg = ReadBytes(Sample("pic.jpg"));
    const struct {
        const char* step;
        bool (*run)();
        bool sameFile;      // the read goes on with the file it opened
    } rows[] = {
        {"overwritten in place",
         [] {
             const HANDLE file = CreateFileA(WhileRead::s_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
             if (file == INVALID_HANDLE_VALUE)
                 return false;
             DWORD wrote = 0;
             const bool written = WriteFile(file, "new", 3, &wrote, nullptr) != 0;
             CloseHandle(file);
             return written;
         },
         false},
        {"renamed", [] { return MoveFileA(WhileRead::s_path.c_str(), (WhileRead::s_path + ".old").c_str()) != 0; },
         true},
        {"deleted", [] { return DeleteFileA(WhileRead::s_path.c_str()) != 0; }, true},
    };
    const PVOID handler = AddVectoredExceptionHandler(1, &WhileRead::OnGuardPage);
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    auto* page = static_cast<volatile LONG*>(VirtualAlloc(nullptr, system.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, page);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.step);
        WhileRead::s_path = folder.PathOf(std::string(row.step).substr(0, 3) + ".jpg");
        ASSERT_TRUE(WriteBytes(WhileRead::s_path, jpeg));
        *page = 0;
        DWORD old = 0;
        ASSERT_TRUE(VirtualProtect(const_cast<LONG*>(page), system.dwPageSize, PAGE_READWRITE | PAGE_GUARD, &old));
        WhileRead::s_step = row.run;
        WhileRead::s_done = false;
        HGLOBAL notes = IndexJPGUntil(WhileRead::s_path.c_str(), page);
        EXPECT_EQ(nullptr, WhileRead::s_step) << "the step ran during the read";
        EXPECT_TRUE(WhileRead::s_done) << "the writer's step failed: " << GetLastError();
        if (row.sameFile) {
            EXPECT_NE(nullptr, notes) << "the read went on: " << GetLastPicLibError();
        }
        if (notes != nullptr)
            GlobalFree(notes);
    }
    WhileRead::s_step = nullptr;
    RemoveVectoredExceptionHandler(handler);
    VirtualFree(const_cast<LONG*>(page), 0, MEM_RELEASE);
}

TEST(ImageLoadSaves, EverySaverWritesWhatItsLoaderReadsBackAndLeavesTheBlockAlone)
{
    struct Case {
        const char* name;
        int (*save)(const char*, HGLOBAL);
        HGLOBAL (*load)(const char*);
        int type;
        int tolerance;
    } cases[] = {
        {"out.bmp", SaveBMP, LoadBMP, IL_TYPE_BMP, 0},      {"out.gif", SaveGIF, LoadGIF, IL_TYPE_GIF, 12},
        {"out.pcx", SavePCX, LoadPCX, IL_TYPE_PCX, 0},      {"out.tga", SaveTGA, LoadTGA, IL_TYPE_TGA, 0},
        {"out.tif", SaveTIF, LoadTIF, IL_TYPE_TIF, 0},
        {"out.jpg", [](const char* path, HGLOBAL dib) { return SaveJPG(path, dib, 100); }, LoadJPG, IL_TYPE_JPG, 8},
    };
    TempFolder folder("imageload");
    HGLOBAL dib = MakeBlock(33, 17);
    const Bytes before = BytesOf(dib);
    const Colors expected = ColorsOf(before);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = folder.PathOf(c.name);
        ASSERT_EQ(c.save(path.c_str(), dib), 1) << GetLastPicLibError();
        EXPECT_EQ(BytesOf(dib), before);
        EXPECT_EQ(FileType(path.c_str()), c.type);
        HGLOBAL again = c.load(path.c_str());
        ASSERT_NE(again, nullptr);
        EXPECT_LE(MaxError(again, expected), c.tolerance);
        GlobalFree(again);
    }
    GlobalFree(dib);
}

// A null or foreign block, a missing folder, a folder standing where the
// file should go (the rename fails and the temporary file must go too), no
// path at all.
TEST(ImageLoadSaves, RefusedOrFailedSavesWriteNothing)
{
    TempFolder folder("imageload");
    std::string target = folder.PathOf("keep.bmp");
    CopyFileA(Sample("pic.bmp").c_str(), target.c_str(), FALSE);
    Bytes original = ReadBytes(target);

    EXPECT_EQ(SaveBMP(folder.PathOf("none.bmp").c_str(), nullptr), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_NO_PICTURE);
    EXPECT_FALSE(FileExists(folder.PathOf("none.bmp")));

    Bytes garbage(200);
    for (int i = 0; i < 200; ++i) garbage[i] = static_cast<uint8_t>(i * 7);
    HGLOBAL foreign = GlobalBlock(garbage);
    for (auto save : {SaveBMP, SaveGIF, SavePCX, SaveTGA, SaveTIF}) {
        EXPECT_EQ(save(target.c_str(), foreign), 0);
        EXPECT_EQ(GetLastPicLibError(), IL_ERR_NO_PICTURE);
    }
    EXPECT_EQ(SaveJPG(target.c_str(), foreign, 90), 0);
    EXPECT_EQ(ReadBytes(target), original) << "the old file must survive a refused save";
    GlobalFree(foreign);

    HGLOBAL dib = MakeBlock(20, 10);
    EXPECT_EQ(SaveTIF(folder.PathOf("missing-folder\\x.tif").c_str(), dib), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_WRITE);
    CreateDirectoryA(folder.PathOf("taken.bmp").c_str(), nullptr);
    EXPECT_EQ(SaveBMP(folder.PathOf("taken.bmp").c_str(), dib), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_WRITE);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"keep.bmp", "taken.bmp"}));

    EXPECT_EQ(SaveBMP(nullptr, dib), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_WRITE);
    GlobalFree(dib);
}

TEST(ImageLoadSaves, ATargetThatFitsTheSystemsPathLimitIsWrittenOneThatDoesNotIsRefused)
{
    TempFolder folder("imageload");
    HGLOBAL dib = MakeBlock(20, 10);
    const size_t folderLength = folder.PathOf("").size();
    const std::string fits = folder.PathOf(std::string(259 - folderLength - 4, 'n') + ".bmp");
    ASSERT_EQ(fits.size(), 259u);
    ASSERT_EQ(SaveBMP(fits.c_str(), dib), 1) << GetLastPicLibError();
    HGLOBAL again = LoadBMP(fits.c_str());
    EXPECT_NE(again, nullptr);
    GlobalFree(again);

    const std::string tooLong = folder.PathOf(std::string(260 - folderLength - 4, 'm') + ".bmp");
    EXPECT_EQ(SaveBMP(tooLong.c_str(), dib), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_WRITE);
    EXPECT_EQ(folder.Names().size(), 1u) << "nothing but the saved file";

    // A name as long as one name can be, at a drive's root.
    const std::string process = std::to_string(GetCurrentProcessId());
    const std::string longest = "C:\\" + process + std::string(255 - process.size() - 4, 'l') + ".bmp";
    ASSERT_EQ(longest.size(), 3u + 255u);
    EXPECT_EQ(SaveBMP(longest.c_str(), dib), 1) << GetLastPicLibError();
    EXPECT_TRUE(FileExists(longest));
    EXPECT_EQ(ListFolder("C:", (process + "*").c_str()).size(), 1u) << "nothing but the saved file";
    DeleteFileA(longest.c_str());
    GlobalFree(dib);
}

// ---- decoding a JPEG straight to a target size ------------------------------

TEST(ImageLoadFitted, EqualsThePictureObjectsLoadAndResize)
{
    for (const char* file : {"pic.jpg", "progressive.jpg"}) {
        const std::string path = Sample(file);
        for (const auto& size : {std::make_pair(30, 18), std::make_pair(61, 37), std::make_pair(125, 40),
                                 std::make_pair(1, 1)}) {
            SCOPED_TRACE(std::string(file) + " to " + std::to_string(size.first) + "x" + std::to_string(size.second));
            CPicture picture;
            ASSERT_EQ(picture.Load(path.c_str(), nullptr, -1, -1), 1);
            ASSERT_EQ(picture.Resize(size.first, size.second), 1);
            FitAnswer fit{size.first, size.second, 1};
            HGLOBAL fitted = LoadJPGFitted(path.c_str(), Answer, &fit);
            ASSERT_NE(fitted, nullptr) << GetLastPicLibError();
            EXPECT_EQ(GlobalFlags(fitted) & GMEM_LOCKCOUNT, 0u);
            EXPECT_EQ(fit.calls, 1);
            EXPECT_EQ(fit.shownWidth, 61);
            EXPECT_EQ(fit.shownHeight, 37);
            const Bytes ours = BytesOf(fitted), theirs = BytesOf(CPictureProbe(picture).Block());
            ASSERT_EQ(ours.size(), theirs.size());
            EXPECT_TRUE(std::equal(ours.begin() + 14, ours.end(), theirs.begin() + 14))
                << "all but the file header's size field";
            GlobalFree(fitted);
        }
    }
}

// ---- several threads ------------------------------------------------------------

namespace {

constexpr int kThreads = 4;

// One thread's part: its own failure, then, once every thread has failed,
// its last error number.
struct Worker {
    int index = 0;
    const TempFolder* folder = nullptr;
    HANDLE turnDone = nullptr;
    HANDLE readErrors = nullptr;
    int lastError = -1;
};

void FailInOwnWay(const Worker& w)
{
    switch (w.index) {
    case 0: LoadJPG(Sample("no-such-file.jpg").c_str()); break;
    case 1: LoadGIF(Sample("pic.bmp").c_str()); break;
    case 2: LoadBMP(w.folder->PathOf("huge.bmp").c_str()); break;
    default: {
        HGLOBAL dib = MakeBlock(8, 8);
        SaveJPG(w.folder->PathOf("q.jpg").c_str(), dib, 0);
        GlobalFree(dib);
    }
    }
}

DWORD WINAPI RunWorker(LPVOID context)
{
    Worker& w = *static_cast<Worker*>(context);
    FailInOwnWay(w);
    SetEvent(w.turnDone);
    WaitForSingleObject(w.readErrors, INFINITE);
    w.lastError = GetLastPicLibError();
    return 0;
}

}  // namespace

// Four threads each fail in their own way; once all have failed, each must
// read its own error number. They take turns rather than run at once: under
// the heap validation that make test runs every program with, Wine 8 marks
// a freed block dead outside its heap lock and fills it afterwards, and
// another thread's heap call that sees it half filled reports "free block
// overwritten" and fails (four threads of nothing but malloc, memset and
// free show it). The codecs at once, each decode and save giving what one
// thread alone gives, are the native test's (CodecsOnFourThreads), under
// AddressSanitizer.
TEST(ImageLoadThreads, FourThreadsEachKeepTheirOwnLastError)
{
    TempFolder folder("imageload");
    WriteHugeBmp(folder.PathOf("huge.bmp"));
    // A thread is made only when the one before it has had its turn, so
    // that one thread at a time uses the heap.
    Worker workers[kThreads];
    HANDLE threads[kThreads];
    HANDLE readErrors = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    for (int t = 0; t < kThreads; ++t) {
        Worker& w = workers[t];
        w.index = t;
        w.folder = &folder;
        w.turnDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        w.readErrors = readErrors;
        threads[t] = CreateThread(nullptr, 0, RunWorker, &w, 0, nullptr);
        ASSERT_NE(threads[t], nullptr);
        WaitForSingleObject(w.turnDone, INFINITE);
    }
    SetEvent(readErrors);
    WaitForMultipleObjects(kThreads, threads, TRUE, INFINITE);
    for (int t = 0; t < kThreads; ++t) {
        CloseHandle(threads[t]);
        CloseHandle(workers[t].turnDone);
    }
    CloseHandle(readErrors);

    const int kOwnErrors[] = {IL_ERR_FILE, IL_ERR_CORRUPT, IL_ERR_TOO_LARGE, IL_ERR_UNSUPPORTED};
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(workers[t].lastError, kOwnErrors[t]) << "thread " << t;
}
