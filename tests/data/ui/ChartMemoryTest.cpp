// An hour of samples at the fastest poll interval, fed straight into the
// chart model with the chart window open and refreshing: once the buffers
// are full, the window and the model must not keep growing (reductions,
// line images and the chart's own items are reused, not piled up).

#include "support/ui/ChartFeed.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace {

// The resident memory of this process, in bytes.
long ResidentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * ::sysconf(_SC_PAGESIZE);
}

TEST(ChartMemory, AnHourOfSamplesEndsWhereTheFullBuffersBegan)
{
    kvb::test::ChartFeed f(0);
    ASSERT_TRUE(f.mapLoaded);
    constexpr int kHourAt50ms = 72000;
    constexpr int kRefreshEvery = 120;  // samples between two refreshes
    long full = 0;
    for (int k = 1; k <= kHourAt50ms; ++k) {
        f.next();
        if (k % kRefreshEvery == 0)
            f.redraw();
        if (full == 0 && f.context->samples.SampleCount == kvb::data::kLastSample) {
            f.redraw();
            full = ResidentBytes();
        }
    }
    f.redraw();
    ASSERT_GT(full, 0);
    EXPECT_EQ(f.context->samples.SampleCount, kvb::data::kLastSample - kvb::data::kSampleShift +
                                                  (kHourAt50ms - kvb::data::kLastSample) % kvb::data::kSampleShift);
    EXPECT_LE(ResidentBytes() - full, 2L * 1024 * 1024);
}

}  // namespace
