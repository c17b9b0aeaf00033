#include "sim/History.h"
#include "sim/SimGpibBus.h"

#include <gtest/gtest.h>

#include <string>

TEST(SimGpibBus, KeepsABoundedRecordOfWrites)
{
    // A day of timer reads must not make the record grow without end.
    kvb::sim::SimGpibBus bus;
    const int32_t ud = bus.ibdev(0, 3, 0, 12, 1, 0);
    const std::string query = "FETCH:FREQ?";
    const size_t total = kvb::sim::kHistoryLimit * 2 + 3;
    char reply[64];
    for (size_t i = 0; i < total; ++i) {
        bus.ibwrt(ud, query.data(), static_cast<int32_t>(query.size()));
        bus.ibrd(ud, reply, sizeof reply);
    }
    EXPECT_LE(bus.writes.size(), kvb::sim::kHistoryLimit);
    EXPECT_GE(bus.writes.size(), kvb::sim::kHistoryLimit / 2);
    EXPECT_EQ(bus.writes.back().text, query);
}
