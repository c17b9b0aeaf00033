// Dropping the oldest six hundred samples needs six hundred to drop, and
// the count of dropped samples belongs to one run: a new run starts again
// from none dropped.

#include "data/ChartSamples.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kvb;
using namespace kvb::data;

namespace {

class ChartShift : public ::testing::Test {
protected:
    void take(int n)
    {
        image->store(0, 1, 65, static_cast<int16_t>(n));
        samples->takeSample(*image, clock);
        samples->finishSample();
        clock.current += std::chrono::seconds(1);
    }
    test::FakeClock clock;
    std::unique_ptr<link::RegisterImage> image = std::make_unique<link::RegisterImage>();
    std::unique_ptr<ChartSamples> samples = std::make_unique<ChartSamples>();
};

}  // namespace

TEST_F(ChartShift, SixHundredSamplesAreDroppedWhole)
{
    for (int n = 0; n < 600; ++n)
        take(n);
    samples->BufferFullHandler();
    EXPECT_EQ(samples->SampleCount, 0);
    EXPECT_EQ(samples->DroppedSamples(), 600);
}

TEST_F(ChartShift, FewerThanSixHundredAreKept)
{
    for (int n = 0; n < 599; ++n)
        take(n);
    samples->BufferFullHandler();
    EXPECT_EQ(samples->SampleCount, 599);
    EXPECT_EQ(samples->DroppedSamples(), 0);
    EXPECT_EQ(samples->cell(1, 0, 598), 598);
}

TEST_F(ChartShift, ANewRunHasDroppedNothing)
{
    for (int n = 0; n < 600; ++n)
        take(n);
    samples->BufferFullHandler();
    ASSERT_EQ(samples->DroppedSamples(), 600);
    samples->endRun();
    take(7);
    EXPECT_EQ(samples->DroppedSamples(), 0);
    EXPECT_EQ(samples->SampleCount, 1);
    EXPECT_EQ(samples->cell(1, 0, 0), 7);
}
