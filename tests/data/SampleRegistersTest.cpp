// Which register of which device every chart sample buffer takes: the
// pack at 64, cells 1 to 12 at 65 to 76, the IC temperature at 80, inputs
// 1 to 4 at 81 to 84, and the fault status at 132 of either type, for all
// sixteen device slots.

#include "data/ChartSamples.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kvb;
using namespace kvb::data;

namespace {

int16_t mark(int type, int device, int reg)
{
    return static_cast<int16_t>(type * 4096 + device * 256 + reg);
}

}  // namespace

TEST(SampleRegisters, EveryBufferTakesItsRegisterOfEveryDevice)
{
    auto image = std::make_unique<link::RegisterImage>();
    auto samples = std::make_unique<ChartSamples>();
    for (int type = 0; type < 2; ++type)
        for (int d = 0; d < 16; ++d)
            for (int reg = 60; reg <= 140; ++reg)
                image->store(type, d, reg, mark(type, d, reg));
    test::FakeClock clock;
    samples->takeSample(*image, clock);
    samples->finishSample();

    for (int d = 0; d < 16; ++d) {
        EXPECT_EQ(samples->pack(d, 0), mark(0, d, 64)) << d;
        for (int c = 0; c < 12; ++c)
            EXPECT_EQ(samples->cell(d, c, 0), mark(0, d, 65 + c)) << d << " cell " << c;
        EXPECT_EQ(samples->icTemp(d, 0), mark(0, d, 80)) << d;
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(samples->et(d, n, 0), mark(0, d, 81 + n)) << d << " input " << n;
        EXPECT_EQ(samples->fault1(d, 0), mark(0, d, 132)) << d;
        EXPECT_EQ(samples->fault2(d, 0), mark(1, d, 132)) << d;
    }
}
