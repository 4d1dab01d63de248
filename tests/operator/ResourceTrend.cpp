#include "tests/operator/ResourceTrend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

double MemoryGrowthPerSample(const std::vector<ResourceSample>& samples, size_t from)
{
    const size_t n = samples.size() > from ? samples.size() - from : 0;
    if (n < 2)
        return 0;
    double meanX = 0, meanY = 0;
    for (size_t i = from; i < samples.size(); ++i) {
        meanX += static_cast<double>(i);
        meanY += static_cast<double>(samples[i].privateKb);
    }
    meanX /= static_cast<double>(n);
    meanY /= static_cast<double>(n);
    double covariance = 0, variance = 0;
    for (size_t i = from; i < samples.size(); ++i) {
        const double dx = static_cast<double>(i) - meanX;
        covariance += dx * (static_cast<double>(samples[i].privateKb) - meanY);
        variance += dx * dx;
    }
    return covariance / variance;
}

namespace {

// The album keeps the pictures around the one it shows, and a single
// picture of the screen's size is up to 3 MB: what it holds moves by a
// picture or so from sample to sample.
const long kMostGrowthKb = 4096;

}  // namespace

void ExpectFlat(const char* run, const std::vector<ResourceSample>& samples, size_t warmUp, double kbPerSample)
{
    ASSERT_GT(samples.size(), warmUp + 1) << run;
    const ResourceSample& start = samples[warmUp];
    const ResourceSample& end = samples.back();
    const double growth = MemoryGrowthPerSample(samples, warmUp);
    std::printf("soak: %s samples=%u gdi %ld -> %ld, user %ld -> %ld, private %ld -> %ld KB (%+.0f KB a sample), "
                "threads %ld -> %ld\n",
                run, static_cast<unsigned>(samples.size()), start.gdi, end.gdi, start.user, end.user, start.privateKb,
                end.privateKb, growth, start.threads, end.threads);
    EXPECT_GT(start.gdi, 0) << run;    // the counts are real, not a stub's zero
    EXPECT_GT(start.threads, 0) << run;
    long maxGdi = 0, maxUser = 0, maxThreads = 0;
    long peakKb[2] = {0, 0};    // of the first and of the second half
    const size_t middle = warmUp + (samples.size() - warmUp) / 2;
    for (size_t i = warmUp; i < samples.size(); ++i) {
        maxGdi = std::max(maxGdi, samples[i].gdi);
        maxUser = std::max(maxUser, samples[i].user);
        maxThreads = std::max(maxThreads, samples[i].threads);
        long& peak = peakKb[i < middle ? 0 : 1];
        peak = std::max(peak, samples[i].privateKb);
    }
    // Wine's DC cache may keep a few more objects later on, and a sample
    // may catch a tooltip; one object more per sample is more than that.
    EXPECT_LE(maxGdi - start.gdi, 4) << run;
    EXPECT_LE(maxUser - start.user, 2) << run;
    EXPECT_EQ(start.threads, maxThreads) << run;
    EXPECT_LE(growth, kbPerSample) << run << ": memory grows by " << growth << " KB a sample";
    // Over a long run a slow leak shows as growth in all: the highest
    // samples of the two halves, since what the album keeps moves each
    // sample up or down by a picture or so.
    EXPECT_LE(peakKb[1] - peakKb[0], kMostGrowthKb) << run << ": peaks " << peakKb[0] << " and " << peakKb[1] << " KB";
}
