// The codecs on four threads at once: every decode and every save must give
// what one thread alone gives, so no codec keeps state between calls (the
// sanitizer tree runs this under ASan and UBSan). The library's own layer,
// each thread's last error number, is tested through the DLL under Wine.
#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
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

// The picture saved in each format, then each file loaded again.
std::vector<Bytes> DoWork(const Bytes& picture)
{
    std::vector<Bytes> w(2 * std::size(kFormats));
    for (size_t f = 0; f < std::size(kFormats); ++f) {
        EncodeAs(kFormats[f], picture, w[f], 75);
        DecodeAs(kFormats[f], w[f], w[std::size(kFormats) + f]);
    }
    return w;
}

}  // namespace

TEST(CodecsOnFourThreads, EachDecodeAndSaveGivesWhatOneThreadAloneGives)
{
    std::vector<Bytes> pictures;
    std::vector<std::vector<Bytes>> alone;
    for (int t = 0; t < kThreads; ++t) {
        pictures.push_back(ThreadPicture(t));
        alone.push_back(DoWork(pictures.back()));
        for (size_t k = 0; k < alone.back().size(); ++k) ASSERT_FALSE(alone.back()[k].empty()) << k;
    }

    constexpr int kRounds = 25;
    std::atomic<int> ready{0};
    std::vector<std::string> faults[kThreads];
    auto run = [&](int t) {
        ++ready;
        while (ready.load() < kThreads) std::this_thread::yield();  // start together
        for (int round = 0; round < kRounds; ++round) {
            const std::vector<Bytes> w = DoWork(pictures[t]);
            for (size_t k = 0; k < w.size(); ++k)
                if (w[k] != alone[t][k])
                    faults[t].push_back((k < std::size(kFormats) ? "saved " : "loaded ") +
                                        std::string(ExtensionOf(kFormats[k % std::size(kFormats)])));
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back(run, t);
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_TRUE(faults[t].empty()) << "thread " << t << ": " << faults[t].size() << " differ, the first "
                                       << faults[t][0];
}
