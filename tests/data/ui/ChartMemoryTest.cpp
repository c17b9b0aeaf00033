// An hour of samples at the fastest poll interval, fed straight into the
// chart model with the chart window open and refreshing: once the buffers
// are full, the window and the model must not keep growing (reductions,
// line images and the chart's own items are reused, not piled up).

#include "support/ProcessMemory.h"
#include "support/ui/ChartFeed.h"

#include <gtest/gtest.h>

namespace {

using kvb::test::ResidentBytes;

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
