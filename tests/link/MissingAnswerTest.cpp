// A read or write addressed to one device of the daisy chain that gets no
// answer frame from it is logged, flagged on the chart sample and lights
// the COM lamp red; answerless commands, broadcasts and buffer reads are not.

#include "app/BalanceAccess.h"
#include "app/CommandFixture.h"
#include "data/ChartExport.h"

#include <gtest/gtest.h>

namespace kvb::test {
namespace {

using link::ChipMessage;

class MissingAnswer : public CommandFixture, public ::testing::Test {};

TEST_F(MissingAnswer, ASleepingDeviceThatDoesNotAnswerIsLoggedFlaggedAndLit)
{
    ASSERT_TRUE(connect(true, 2));
    ChipMessage first(2, 2, 0x04, 0, 0);
    link.ReadSingleReg(first);
    ASSERT_TRUE(errorLines().empty());
    const int16_t shown = link.image.at(0, 2, 132);

    commands.cbDaisyChainSleep_Click();
    EXPECT_TRUE(errorLines().empty());  // the broadcast is answerless by design
    EXPECT_EQ(sampleFlags, 0);

    chain.device(0, 2).regs[132] = 0x0155;
    log.clear();
    ChipMessage read(2, 2, 0x04, 0, 0);
    link.ReadSingleReg(read);
    EXPECT_EQ(errorLines(), std::vector<std::string>{"    No Response Sent: 22 10 0C "});
    EXPECT_EQ(sampleFlags, link::FlagNoResponse);
    EXPECT_EQ(data::ComErrorWords(sampleFlags), "NoACK_");
    EXPECT_EQ(link.lamps.colour(LampId::Com0), kLampRed);
    EXPECT_EQ(link.image.at(0, 2, 132), shown);  // the shown value stays
    EXPECT_FALSE(logHas("rcv,"));

    // A write gets the same; the caller learns it did not go through.
    ChipMessage write(1, 2, 0x10, 0x0123, 0);
    EXPECT_FALSE(link.WriteSingleReg(write));
    ASSERT_EQ(errorLines().size(), 2u);
    EXPECT_EQ(errorLines()[1].rfind("    No Response Sent: ", 0), 0u);

    // Each device's read-all is a read: one line per device.
    commands.cbReadAllVolts_Click();
    EXPECT_EQ(errorLines().size(), 4u);

    // Scans, buffer reads and broadcasts expect no answer from one device.
    commands.cbScanAllVolts_Click();
    int16_t bufferIndex = 0;
    upr.ReadUPRBuffers(bufferIndex);
    ChipMessage everyone(link::kBroadcastDevice, 2, 0x04, 0, 0);
    link.ReadSingleReg(everyone);
    EXPECT_EQ(errorLines().size(), 4u);

    // "Wake" recovers: the next read is answered and nothing more is logged.
    commands.cbDaisyChainWake_Click();
    ChipMessage again(2, 2, 0x04, 0, 0);
    link.ReadSingleReg(again);
    EXPECT_EQ(errorLines().size(), 4u);
    EXPECT_EQ(link.image.at(0, 2, 132), 0x0155);
    EXPECT_EQ(link.lamps.colour(LampId::Com0), kLampGreen);
}

TEST_F(MissingAnswer, OnlyTheAddressedDevicesAnswerCounts)
{
    ASSERT_TRUE(connect(true, 3));
    chain.faults.silentFrom[0] = 3;
    ChipMessage second(2, 2, 0x10, 0, 0);
    link.ReadSingleReg(second);
    EXPECT_TRUE(errorLines().empty());
    EXPECT_EQ(link.lamps.colour(LampId::Com0), kLampGreen);
    ChipMessage third(3, 2, 0x10, 0, 0);
    link.ReadSingleReg(third);
    ASSERT_EQ(errorLines().size(), 1u);
    EXPECT_EQ(errorLines()[0].rfind("    No Response Sent: ", 0), 0u);
    EXPECT_EQ(link.lamps.colour(LampId::Com0), kLampRed);

    // A command that carries no register value is answered by design or
    // not at all; it is left to its own handling.
    const size_t before = errorLines().size();
    commands.cbBalEnableAll_Click();
    EXPECT_EQ(errorLines().size(), before);
}

TEST_F(MissingAnswer, AFrameForAnotherRegisterLeavesTheRegisterUnreadAndNothingIsWritten)
{
    ASSERT_TRUE(connect(true, 2));
    // Device 1 answers the read of its balance set-up (page 2, address
    // 0x13: 12 4C 0F) with a frame that passes its CRC but is for address
    // 0x12, data 0x155.
    struct OtherRegister : sim::SimChipBus {
        sim::SimChipChain& chain;
        explicit OtherRegister(sim::SimChipChain& c) : chain(c) {}
        std::vector<uint8_t> exchange(uint8_t code, uint8_t select,
                                      std::span<const uint8_t> frame) override
        {
            if (std::vector<uint8_t>(frame.begin(), frame.end()) ==
                std::vector<uint8_t>{0x12, 0x4C, 0x0F})
                return {0x12, 0x48, 0x15, 0x50};
            return chain.exchange(code, select, frame);
        }
    } bus{chain};
    board->setChipBus(&bus);
    link.image.at(0, 1, 147) = 0x0200;  // what the image held before
    const size_t sent = chain.received.size();

    // A read-modify-write of the set-up would have written 0x0200 changed,
    // not what the chip holds.
    EXPECT_FALSE(ReadModifyWrite(link, 1, 0x13, [](int16_t v) { return v | 0x0001; }));
    EXPECT_EQ(errorLines(), std::vector<std::string>{"    No Response Sent: 12 4C 0F "});
    EXPECT_EQ(chain.received.size(), sent);  // no write reached the chain
    EXPECT_EQ(link.image.at(0, 1, 147), 0x0200);
    EXPECT_EQ(link.image.at(0, 1, 146), 0x0155);  // the frame's own register is stored
    EXPECT_EQ(link.lamps.colour(LampId::Com0), kLampRed);

    // Answered with the register asked for, it goes through.
    board->setChipBus(&chain);
    EXPECT_TRUE(ReadModifyWrite(link, 1, 0x13, [](int16_t v) { return v | 0x0001; }));
    EXPECT_EQ(errorLines().size(), 1u);
}

}  // namespace
}  // namespace kvb::test
