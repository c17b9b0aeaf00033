#include "sim/History.h"

#include <gtest/gtest.h>

TEST(SimHistory, StaysBoundedAndKeepsTheNewest)
{
    std::vector<int> history;
    const int total = static_cast<int>(kvb::sim::kHistoryLimit) * 2 + 7;
    for (int i = 0; i < total; ++i)
        kvb::sim::Record(history, i);
    EXPECT_LE(history.size(), kvb::sim::kHistoryLimit);
    EXPECT_GE(history.size(), kvb::sim::kHistoryLimit / 2);
    EXPECT_EQ(history.back(), total - 1);
    EXPECT_EQ(history[history.size() - 2], total - 2);
}
