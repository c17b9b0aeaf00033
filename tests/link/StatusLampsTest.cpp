#include "link/StatusLamps.h"

#include <gtest/gtest.h>

#include <string>

TEST(StatusLamps, LampsStartGreyAndKeepTheirColour)
{
    kvb::StatusLamps lamps;
    std::string last;
    lamps.changed = [&](kvb::LampId id, int) { last = kvb::LampName(id); };
    EXPECT_EQ(lamps.colour(kvb::LampId::Ack1), kvb::kLampGrey);
    lamps.set(kvb::LampKind::Nack, 1, kvb::kLampGreen);
    EXPECT_EQ(last, "led53961Nack");
    EXPECT_EQ(lamps.colour(kvb::LampId::Nack1), 0x00FF00);
    lamps.set(kvb::LampKind::Fault, 0, kvb::kLampRed);
    EXPECT_EQ(last, "led53960Fault");
    EXPECT_EQ(lamps.colour(kvb::LampId::Fault0), 0x0000FF);
    EXPECT_STREQ(kvb::LampName(kvb::LampId::UprStatus), "ledUPRStatus");
}
