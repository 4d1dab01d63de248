// The picture library DLL as its users see it, under Wine: exported names,
// movable global memory blocks in the picture layout, error numbers, files
// written by independent tools, saves that fail without leaving a file,
// each thread's own last error, and the fitted JPEG decode.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ImageLoad.h"
#include "picture/Picture.h"
#include "tests/support/DibBuilder.h"
#include "tests/support/FileTree.h"

// The picture object's block (the class befriends its probe).
class CPictureProbe {
public:
    explicit CPictureProbe(const CPicture& picture) : m_p(picture) {}
    HGLOBAL Block() const { return m_p.m_hDIB; }

private:
    const CPicture& m_p;
};

namespace {

using Bytes = std::vector<uint8_t>;

std::string SamplesDir()
{
    const char* dir = std::getenv("IMAGELOAD_SAMPLES");
    return dir ? dir : "";
}

std::string Sample(const std::string& name) { return SamplesDir() + "/" + name; }

Bytes ReadAll(const std::string& path)
{
    std::string bytes = ReadWholeFile(path);
    return Bytes(bytes.begin(), bytes.end());
}

// A block as a user sees it: locked for reading, unlocked on scope exit.
class Locked {
public:
    explicit Locked(HGLOBAL h) : h_(h), p_(static_cast<const uint8_t*>(GlobalLock(h))) {}
    ~Locked()
    {
        if (p_) GlobalUnlock(h_);
    }
    const uint8_t* Data() const { return p_; }
    int32_t Int(size_t at) const
    {
        int32_t v;
        std::memcpy(&v, p_ + at, 4);
        return v;
    }
    uint16_t Short(size_t at) const { return static_cast<uint16_t>(p_[at] | (p_[at + 1] << 8)); }

private:
    HGLOBAL h_;
    const uint8_t* p_;
};

struct Rgb {
    int r, g, b;
};

// Colour of pixel (x, y from the top) of a block, whatever its depth.
Rgb PixelOf(const Locked& block, int x, int y)
{
    int width = block.Int(18), height = block.Int(22), bits = block.Short(28);
    size_t palette = bits <= 8 ? (size_t{4} << bits) : 0;
    size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    const uint8_t* row = block.Data() + 54 + palette + (height - 1 - y) * stride;
    auto entry = [&](int i) {
        const uint8_t* e = block.Data() + 54 + 4 * i;
        return Rgb{e[2], e[1], e[0]};
    };
    switch (bits) {
    case 1:
        return entry((row[x / 8] >> (7 - x % 8)) & 1);
    case 4:
        return entry(x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4);
    case 8:
        return entry(row[x]);
    case 16: {
        int v = row[2 * x] | (row[2 * x + 1] << 8);
        auto five = [](int c) { return (c << 3) | (c >> 2); };
        return {five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31)};
    }
    default: {
        int n = bits / 8;
        return {row[n * x + 2], row[n * x + 1], row[n * x]};
    }
    }
}

struct Ppm {
    int width = 0, height = 0;
    Bytes pixels;
    Rgb At(int x, int y) const
    {
        const uint8_t* p = pixels.data() + 3 * (static_cast<size_t>(y) * width + x);
        return {p[0], p[1], p[2]};
    }
};

Ppm ReadPpm(const std::string& path)
{
    Bytes data = ReadAll(path);
    std::istringstream header(std::string(data.begin(), data.begin() + std::min<size_t>(data.size(), 40)));
    std::string magic;
    int maxValue = 0;
    Ppm p;
    header >> magic >> p.width >> p.height >> maxValue;
    size_t offset = static_cast<size_t>(header.tellg()) + 1;
    p.pixels.assign(data.begin() + offset, data.end());
    return p;
}

// Largest channel difference between a loaded block and a tool's pixels.
int MaxError(HGLOBAL dib, const Ppm& expected)
{
    Locked block(dib);
    if (block.Int(18) != expected.width || block.Int(22) != expected.height) return 256;
    int worst = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            Rgb a = PixelOf(block, x, y), b = expected.At(x, y);
            worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        }
    return worst;
}

// A 24-bit block in global memory, the way a caller that makes its own
// pictures would hand one over.
HGLOBAL MakeBlock(int width, int height)
{
    std::vector<uint8_t> bytes = BlankDib(width, height, 24);
    const size_t stride = ((static_cast<size_t>(width) * 24 + 31) / 32) * 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* px = bytes.data() + DibPixelOffset(bytes) + y * stride + 3 * x;
            px[0] = static_cast<uint8_t>(x * 4);
            px[1] = static_cast<uint8_t>(y * 6);
            px[2] = static_cast<uint8_t>(200 - x - y);
        }
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

Bytes Contents(HGLOBAL h)
{
    Locked block(h);
    return Bytes(block.Data(), block.Data() + GlobalSize(h));
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

}  // namespace

// Runs first: nothing has failed yet in this process.
TEST(ImageLoadErrors, NoErrorBeforeAnyFailure) { EXPECT_EQ(GetLastPicLibError(), IL_ERR_NONE); }

TEST(ImageLoadExports, EveryFunctionIsExportedByItsPlainName)
{
    HMODULE dll = GetModuleHandleA("ImageLoad.dll");
    ASSERT_NE(dll, nullptr);
    for (const char* name : {"FileType", "LoadBMP", "LoadGIF", "LoadPCX", "LoadTGA", "LoadJPG", "LoadTIF", "SaveBMP",
                             "SaveGIF", "SavePCX", "SaveTGA", "SaveJPG", "SaveTIF", "GetLastPicLibError", "LoadJPGFitted"})
        EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(dll, "_FileType"), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "FileType@4"), nullptr);
}

TEST(ImageLoadBlocks, LoaderHandsOutAnUnlockedMovableBlockInThePictureLayout)
{
    HGLOBAL dib = LoadBMP(Sample("pic.bmp").c_str());
    ASSERT_NE(dib, nullptr) << GetLastPicLibError();
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 0u);
    {
        Locked block(dib);
        ASSERT_NE(block.Data(), nullptr);
        EXPECT_NE(static_cast<const void*>(block.Data()), static_cast<const void*>(dib)) << "a fixed block";
        EXPECT_EQ(block.Data()[0], 'B');
        EXPECT_EQ(block.Data()[1], 'M');
        EXPECT_EQ(block.Int(14), 40);
        EXPECT_EQ(block.Int(18), 61);
        EXPECT_EQ(block.Int(22), 37);
        EXPECT_EQ(block.Short(26), 1);
        EXPECT_EQ(block.Short(28), 24);
        EXPECT_GE(GlobalSize(dib), 54u + 184u * 37u);
        EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 1u);
    }
    EXPECT_EQ(GlobalFree(dib), nullptr);
}

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
        {
            Locked block(dib);
            EXPECT_EQ(block.Short(28), c.bits);
        }
        EXPECT_LE(MaxError(dib, ReadPpm(Sample(c.reference))), c.tolerance);
        GlobalFree(dib);
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
    Bytes jpeg = ReadAll(Sample("pic.jpg"));
    std::ofstream(folder.PathOf("cut.jpg"), std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size() / 2));
    EXPECT_EQ(LoadJPG(folder.PathOf("cut.jpg").c_str()), nullptr);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_CORRUPT);

    Bytes bmp = ReadAll(Sample("pic.bmp"));
    const int32_t huge = 60000;
    std::memcpy(bmp.data() + 18, &huge, 4);
    std::memcpy(bmp.data() + 22, &huge, 4);
    std::ofstream(folder.PathOf("huge.bmp"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
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
    };
    TempFolder folder("imageload");
    HGLOBAL dib = MakeBlock(33, 17);
    Bytes before = Contents(dib);
    Ppm expected;
    expected.width = 33;
    expected.height = 17;
    {
        Locked block(dib);
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 33; ++x) {
                Rgb c = PixelOf(block, x, y);
                expected.pixels.insert(expected.pixels.end(),
                                       {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g), static_cast<uint8_t>(c.b)});
            }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = folder.PathOf(c.name);
        ASSERT_EQ(c.save(path.c_str(), dib), 1) << GetLastPicLibError();
        EXPECT_EQ(Contents(dib), before);
        EXPECT_EQ(FileType(path.c_str()), c.type);
        HGLOBAL again = c.load(path.c_str());
        ASSERT_NE(again, nullptr);
        EXPECT_LE(MaxError(again, expected), c.tolerance);
        GlobalFree(again);
    }
    std::string jpg = folder.PathOf("out.jpg");
    ASSERT_EQ(SaveJPG(jpg.c_str(), dib, 100), 1);
    HGLOBAL again = LoadJPG(jpg.c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_LE(MaxError(again, expected), 8);
    GlobalFree(again);
    EXPECT_EQ(Contents(dib), before);
    GlobalFree(dib);
}

TEST(ImageLoadSaves, NullOrForeignBlockWritesNothing)
{
    TempFolder folder("imageload");
    std::string target = folder.PathOf("keep.bmp");
    CopyFileA(Sample("pic.bmp").c_str(), target.c_str(), FALSE);
    Bytes original = ReadAll(target);

    EXPECT_EQ(SaveBMP(folder.PathOf("none.bmp").c_str(), nullptr), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_NO_PICTURE);
    EXPECT_FALSE(FileExists(folder.PathOf("none.bmp")));

    HGLOBAL foreign = GlobalAlloc(GMEM_MOVEABLE, 200);
    {
        auto* p = static_cast<uint8_t*>(GlobalLock(foreign));
        for (int i = 0; i < 200; ++i) p[i] = static_cast<uint8_t>(i * 7);
        GlobalUnlock(foreign);
    }
    for (auto save : {SaveBMP, SaveGIF, SavePCX, SaveTGA, SaveTIF}) {
        EXPECT_EQ(save(target.c_str(), foreign), 0);
        EXPECT_EQ(GetLastPicLibError(), IL_ERR_NO_PICTURE);
    }
    EXPECT_EQ(SaveJPG(target.c_str(), foreign, 90), 0);
    EXPECT_EQ(ReadAll(target), original) << "the old file must survive a refused save";
    EXPECT_EQ(folder.Names().size(), 1u);
    GlobalFree(foreign);
}

TEST(ImageLoadSaves, FailedWriteLeavesNoPartialFile)
{
    TempFolder folder("imageload");
    HGLOBAL dib = MakeBlock(20, 10);
    EXPECT_EQ(SaveTIF(folder.PathOf("missing-folder\\x.tif").c_str(), dib), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_WRITE);

    // A folder standing where the file should go: the rename fails and the
    // temporary file must go too.
    CreateDirectoryA(folder.PathOf("taken.bmp").c_str(), nullptr);
    EXPECT_EQ(SaveBMP(folder.PathOf("taken.bmp").c_str(), dib), 0);
    EXPECT_EQ(GetLastPicLibError(), IL_ERR_WRITE);
    std::vector<std::string> left = folder.Names();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0], "taken.bmp");
    RemoveDirectoryA(folder.PathOf("taken.bmp").c_str());

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
            const Bytes ours = Contents(fitted), theirs = Contents(CPictureProbe(picture).Block());
            ASSERT_EQ(ours.size(), theirs.size());
            EXPECT_TRUE(std::equal(ours.begin() + 14, ours.end(), theirs.begin() + 14))
                << "all but the file header's size field";
            GlobalFree(fitted);
        }
    }
}

// ---- several threads ------------------------------------------------------------

namespace {

struct Loader {
    const char* sample;
    HGLOBAL (*load)(const char*);
};

const Loader kLoaders[] = {{"pic.bmp", LoadBMP}, {"pal.bmp", LoadBMP}, {"pic.gif", LoadGIF}, {"pic.pcx", LoadPCX},
                           {"pic.tga", LoadTGA}, {"pic.jpg", LoadJPG}, {"pic.tif", LoadTIF}};

// Every saver, as (path, block) -> result.
int SaveAs(int saver, const char* path, HGLOBAL dib)
{
    switch (saver) {
    case 0: return SaveBMP(path, dib);
    case 1: return SaveGIF(path, dib);
    case 2: return SavePCX(path, dib);
    case 3: return SaveTGA(path, dib);
    case 4: return SaveJPG(path, dib, 75);
    default: return SaveTIF(path, dib);
    }
}
constexpr int kSavers = 6;
constexpr int kThreads = 4;

// One thread's part: its turn to load and save, then its own failure; what
// it found wrong and, once every thread has failed, its last error number.
struct Worker {
    int index = 0;
    const TempFolder* folder = nullptr;
    const std::vector<Bytes>* loaded = nullptr;
    const std::vector<Bytes>* saved = nullptr;
    HANDLE turnDone = nullptr;
    HANDLE readErrors = nullptr;
    int faults = 0;
    int lastError = -1;
};

void LoadAndSave(Worker& w)
{
    const std::string path = w.folder->PathOf("thread" + std::to_string(w.index));
    for (size_t k = 0; k < std::size(kLoaders); ++k) {
        HGLOBAL dib = kLoaders[k].load(Sample(kLoaders[k].sample).c_str());
        if (!dib || Contents(dib) != (*w.loaded)[k]) ++w.faults;
        for (int saver = 0; dib && saver < kSavers; ++saver)
            if (SaveAs(saver, path.c_str(), dib) != 1 || ReadAll(path) != (*w.saved)[k * kSavers + saver]) ++w.faults;
        GlobalFree(dib);
    }
}

void FailInOwnWay(Worker& w)
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
    try {
        LoadAndSave(w);
        FailInOwnWay(w);
    } catch (...) {
        ++w.faults;
    }
    SetEvent(w.turnDone);
    WaitForSingleObject(w.readErrors, INFINITE);
    w.lastError = GetLastPicLibError();
    return 0;
}

}  // namespace

// Four threads use the library, each loading every sample and saving each
// picture in every format and then failing in its own way; once all have
// failed, each must read its own error number. They take turns rather than
// run at once: under the heap validation that make test runs every program
// with, Wine 8 marks a freed block dead outside its heap lock and fills it
// afterwards, and another thread's heap call that sees it half filled reports
// "free block overwritten" and fails (four threads of nothing but malloc,
// memset and free show it). The codecs at once are the native test's
// (CodecsOnFourThreads), under AddressSanitizer.
TEST(ImageLoadThreads, FourThreadsEachKeepTheirOwnLastError)
{
    TempFolder folder("imageload");
    std::vector<Bytes> loaded, saved;
    for (const Loader& l : kLoaders) {
        HGLOBAL dib = l.load(Sample(l.sample).c_str());
        ASSERT_NE(dib, nullptr) << l.sample;
        loaded.push_back(Contents(dib));
        for (int saver = 0; saver < kSavers; ++saver) {
            const std::string path = folder.PathOf("alone");
            ASSERT_EQ(SaveAs(saver, path.c_str(), dib), 1) << l.sample << " saver " << saver;
            saved.push_back(ReadAll(path));
        }
        GlobalFree(dib);
    }
    Bytes huge = ReadAll(Sample("pic.bmp"));
    const int32_t side = 60000;
    std::memcpy(huge.data() + 18, &side, 4);
    std::memcpy(huge.data() + 22, &side, 4);
    std::ofstream(folder.PathOf("huge.bmp"), std::ios::binary)
        .write(reinterpret_cast<const char*>(huge.data()), static_cast<std::streamsize>(huge.size()));

    // A thread is made only when the one before it has had its turn, so
    // that one thread at a time uses the heap.
    Worker workers[kThreads];
    HANDLE threads[kThreads];
    HANDLE readErrors = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    for (int t = 0; t < kThreads; ++t) {
        Worker& w = workers[t];
        w.index = t;
        w.folder = &folder;
        w.loaded = &loaded;
        w.saved = &saved;
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
    for (int t = 0; t < kThreads; ++t) {
        SCOPED_TRACE("thread " + std::to_string(t));
        EXPECT_EQ(workers[t].faults, 0);
        EXPECT_EQ(workers[t].lastError, kOwnErrors[t]);
    }
}
