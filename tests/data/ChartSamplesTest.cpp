#include "data/ChartSamples.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kvb;
using namespace kvb::data;

namespace {

class ChartSamplesTest : public ::testing::Test {
protected:
    test::FakeClock clock;
    std::unique_ptr<link::RegisterImage> image = std::make_unique<link::RegisterImage>();
    std::unique_ptr<ChartSamples> samples = std::make_unique<ChartSamples>();

    // Takes sample number n with values that identify it, one minute apart.
    void take(int n)
    {
        image->store(0, 3, 65 + 11, static_cast<int16_t>(n));
        image->store(0, 15, 64, static_cast<int16_t>(n + 1));
        image->store(1, 2, 132, static_cast<int16_t>(n + 2));
        image->store(0, 0, 84, static_cast<int16_t>(n + 3));
        samples->takeSample(*image, clock);
        samples->finishSample();
        clock.current += std::chrono::minutes(1);
    }
};

TEST_F(ChartSamplesTest, CopiesEveryDeviceSlotAndTimesFromTheFirstSample)
{
    samples->OrComError(0x02);  // gathered before the first sample
    clock.wall = std::chrono::system_clock::time_point(std::chrono::hours(5));
    EXPECT_TRUE(samples->takeSample(*image, clock));
    EXPECT_EQ(samples->ChartStartDate, clock.wall);
    samples->finishSample();
    samples->OrComError(0x08);
    samples->OrComError(0x04);
    clock.current += std::chrono::seconds(90);
    image->store(0, 7, 80, 1234);
    image->store(1, 9, 132, 0x2001);
    EXPECT_FALSE(samples->takeSample(*image, clock));
    samples->finishSample();

    EXPECT_EQ(samples->SampleCount, 2);
    EXPECT_EQ(samples->minutes(0), 0.0);
    EXPECT_DOUBLE_EQ(samples->minutes(1), 1.5);
    EXPECT_EQ(samples->comErrors(0), 0x02);
    EXPECT_EQ(samples->comErrors(1), 0x08 | 0x04);
    EXPECT_EQ(samples->comErrors(2), 0);
    EXPECT_EQ(samples->icTemp(7, 1), 1234);
    EXPECT_EQ(samples->fault2(9, 1), 0x2001);
    EXPECT_EQ(samples->fault1(9, 1), kUnknownSample);  // no chip gave it

    // A new run restarts at sample 0 with time 0.
    const uint64_t run = samples->RunNumber();
    samples->endRun();
    EXPECT_TRUE(samples->takeSample(*image, clock));
    EXPECT_EQ(samples->SampleCount, 0);
    EXPECT_EQ(samples->minutes(0), 0.0);
    EXPECT_EQ(samples->RunNumber(), run + 1);
}

TEST_F(ChartSamplesTest, FullBuffersDropTheOldestSixHundred)
{
    // Every sample has a flag, so that an entry that kept its old flags
    // would show.
    for (int n = 0; n < kLastSample; ++n) {
        samples->OrComError(n == 600 ? 0x10 : 0x01);
        take(n);
    }
    EXPECT_EQ(samples->SampleCount, 32760);
    take(32760);  // the 32761st sample
    EXPECT_EQ(samples->SampleCount, 32161);
    EXPECT_EQ(samples->cell(3, 11, 32160), 32760);
    EXPECT_EQ(samples->pack(15, 32160), 32761);
    EXPECT_EQ(samples->fault2(2, 32160), 32762);
    EXPECT_EQ(samples->et(0, 3, 32160), 32763);
    EXPECT_DOUBLE_EQ(samples->minutes(32160), 32760.0);
    EXPECT_EQ(samples->cell(3, 11, 0), 600);
    EXPECT_DOUBLE_EQ(samples->minutes(0), 600.0);
    EXPECT_EQ(samples->comErrors(0), 0x10);  // flags move with their sample
    EXPECT_EQ(samples->comErrors(1), 0x01);
    // The entry now gathering starts from no flags, though it held those of
    // an old sample after the move.
    EXPECT_EQ(samples->comErrors(32161), 0);
    EXPECT_EQ(samples->comErrors(32162), 0x01);  // kept until overwritten
    EXPECT_EQ(samples->DroppedSamples(), 600);
    samples->OrComError(0x08);
    take(32761);
    EXPECT_EQ(samples->comErrors(32161), 0x08);
    EXPECT_EQ(samples->comErrors(32162), 0);

    for (int n = 32762; n < 32761 + 599; ++n)
        take(n);
    EXPECT_EQ(samples->SampleCount, 32760);
    take(0);
    EXPECT_EQ(samples->SampleCount, 32161);
    EXPECT_EQ(samples->DroppedSamples(), 1200);
    // A new run starts over: its first sample at 0, at time 0, with only the
    // flags gathered for it; the entry after it gathers from no flags.
    samples->OrComError(0x02);
    samples->endRun();
    clock.wall += std::chrono::hours(2);
    take(7);
    EXPECT_EQ(samples->SampleCount, 1);
    EXPECT_EQ(samples->DroppedSamples(), 0);
    EXPECT_EQ(samples->ChartStartDate, clock.wall);
    EXPECT_EQ(samples->minutes(0), 0.0);
    EXPECT_EQ(samples->CurrentSampleMinutes, 0.0);
    EXPECT_EQ(samples->cell(3, 11, 0), 7);
    EXPECT_EQ(samples->comErrors(0), 0x02);
    EXPECT_EQ(samples->comErrors(1), 0);  // held 0x01 from the run before
    take(8);
    EXPECT_DOUBLE_EQ(samples->minutes(1), 1.0);
}

}  // namespace
