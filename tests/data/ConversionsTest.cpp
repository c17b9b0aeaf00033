#include "data/Conversions.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kvb;
using namespace kvb::data;

namespace {

TEST(Conversions, UnitsFromTheTypeZeroScales)
{
    auto defs = std::make_unique<link::RegisterDefinitions>();
    const double cell = 5.0 / 8192, pack = 80.0 / 16384, temp = 0.015625, et = 2.5 / 16384;
    defs->regs[0][65].scale = cell;
    defs->regs[0][64].scale = pack;
    defs->regs[0][80].scale = temp;
    defs->regs[0][81].scale = et;
    defs->regs[1][65].scale = 99.0;  // type-1 scales are never used

    EXPECT_DOUBLE_EQ(RegToCellVolts(8191, *defs), 8191 * cell);
    EXPECT_DOUBLE_EQ(RegToCellVolts(8192, *defs), -8192 * cell);
    EXPECT_DOUBLE_EQ(RegToCellVolts(16383, *defs), -cell);
    EXPECT_DOUBLE_EQ(RegToCellVolts(0, *defs), 0.0);
    EXPECT_DOUBLE_EQ(RegToCellVolts(-5, *defs), -5 * cell);
    EXPECT_DOUBLE_EQ(RegToPackVolts(16383, *defs), 16383 * pack);
    EXPECT_DOUBLE_EQ(RegToETVolts(16383, *defs), 16383 * et);
    EXPECT_DOUBLE_EQ(RegToICTempDegC(9217, *defs), 25.0);
    EXPECT_DOUBLE_EQ(RegToICTempDegC(9216, *defs), 25.0 - temp);
    defs->tint25 = 100;
    defs->regs[0][80].scale = 7.0;
    EXPECT_DOUBLE_EQ(RegToICTempDegC(100, *defs), 25.0);
    EXPECT_DOUBLE_EQ(FaultToChartValue(static_cast<int16_t>(0x8000), 0.2), 1.2);
    EXPECT_DOUBLE_EQ(FaultToChartValue(0, 0.2), 0.2);
}

}  // namespace
