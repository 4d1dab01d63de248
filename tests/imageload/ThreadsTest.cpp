// The codecs on four threads at once: every decode and every save must give
// what one thread alone gives, so no codec keeps state between calls (the
// sanitizer tree runs this under ASan and UBSan). The library's own layer,
// each thread's last error number, is tested through the DLL under Wine.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/imageload/Support.h"

using namespace iltest;
using il::Format;
using il::Status;

namespace {

const Format kFormats[] = {Format::Bmp, Format::Gif, Format::Pcx, Format::Tga, Format::Jpg, Format::Tif};
constexpr int kThreads = 4;

// Each thread's own picture: 24-bit, far more than 256 colours (so GIF
// quantises it), and unlike the others in the axis the quantiser splits.
Bytes ThreadPicture(int thread)
{
    Bytes dib = MakeDib(24, 61 + 8 * thread, 37);
    for (size_t i = DibPixelOffset(dib); i < dib.size(); ++i) dib[i] = static_cast<uint8_t>(dib[i] * (thread + 1) + i % (7 + thread));
    return dib;
}

struct Work {
    std::vector<Bytes> files;   // the picture saved in each format
    std::vector<Bytes> blocks;  // each file loaded again
};

Work DoWork(const Bytes& picture)
{
    Work w;
    for (Format format : kFormats) {
        Bytes file, block;
        EncodeAs(format, picture, file, 75);
        DecodeAs(format, file, block);
        w.files.push_back(std::move(file));
        w.blocks.push_back(std::move(block));
    }
    return w;
}

}  // namespace

TEST(CodecsOnFourThreads, EachDecodeAndSaveGivesWhatOneThreadAloneGives)
{
    std::vector<Bytes> pictures;
    std::vector<Work> alone;
    for (int t = 0; t < kThreads; ++t) {
        pictures.push_back(ThreadPicture(t));
        alone.push_back(DoWork(pictures.back()));
        for (size_t f = 0; f < alone.back().blocks.size(); ++f) ASSERT_FALSE(alone.back().blocks[f].empty()) << f;
    }

    constexpr int kRounds = 25;
    std::atomic<int> ready{0};
    std::vector<std::string> faults[kThreads];
    auto run = [&](int t) {
        ++ready;
        while (ready.load() < kThreads) std::this_thread::yield();  // start together
        for (int round = 0; round < kRounds; ++round) {
            const Work w = DoWork(pictures[t]);
            for (size_t f = 0; f < w.files.size(); ++f) {
                if (w.files[f] != alone[t].files[f]) faults[t].push_back(std::string("saved ") + ExtensionOf(kFormats[f]));
                if (w.blocks[f] != alone[t].blocks[f]) faults[t].push_back(std::string("loaded ") + ExtensionOf(kFormats[f]));
            }
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back(run, t);
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_TRUE(faults[t].empty()) << "thread " << t << ": " << faults[t].size() << " differ, the first "
                                       << faults[t][0];
}
