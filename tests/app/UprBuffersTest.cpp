// The unprompted-response check against the simulated chain's buffers.

#include "CommandFixture.h"

#include <gtest/gtest.h>

using namespace kvb;

namespace {

class UprCheck : public ::testing::Test, public test::CommandFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(connect(true, 2));
        pollingTicked = true;
    }
};

}  // namespace

TEST_F(UprCheck, AnEmptyBufferBlinksTheLamp)
{
    link.lamps.set(LampId::UprStatus, kLampGreen);
    upr.cmdUPRRead_Click(0);
    EXPECT_EQ(link.lamps.colour(LampId::UprStatus), kLampYellow);
    upr.cmdUPRRead_Click(0);
    EXPECT_EQ(link.lamps.colour(LampId::UprStatus), kLampGreen);
    EXPECT_EQ(chain.received.back().pipeCode, board::HidReadUprBuffer1);
    EXPECT_EQ(unticks, 0);
}

TEST_F(UprCheck, APendingResponseStopsPollingAndReadsTheChain)
{
    chain.raiseFault(0, 2, 0x0004);
    const size_t from = chain.received.size();
    int16_t index = 0;
    upr.ReadUPRBuffers(index);

    EXPECT_EQ(link.lamps.colour(LampId::UprStatus), kLampRed);
    EXPECT_EQ(unticks, 1);
    ASSERT_FALSE(pollTimer.empty());
    EXPECT_FALSE(pollTimer.back());
    EXPECT_EQ(selectedTabs, std::vector<int>{2});
    // The buffer read, then read-all faults and read-all volts to both devices.
    EXPECT_EQ(framesSince(from).size(), 5u);
    EXPECT_EQ(lines("cmd,").front(), "cmd,KVB71853,dev0x01,cat0x02,adr0x0F,dat0x0000");
    EXPECT_EQ(link.image.at(0, 2, 132) & 0x0004, 0x0004);
    EXPECT_FALSE(pollingTicked);
}

TEST_F(UprCheck, ABoardLostWhileReadingThePendingResponseTellsOnce)
{
    chain.raiseFault(0, 2, 0x0004);
    // The board goes silent once the buffer has been read.
    commandView.selectTabStep = [this](int) { board->faults.noAnswer = true; };
    int16_t index = 0;
    upr.ReadUPRBuffers(index);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "USB Communications lost, Disconnect and Reconnect, Polling Terminated");
    EXPECT_TRUE(lines("cmd,KVB71853,dev0x01,cat0x01").empty());  // no read-all volts
}

TEST_F(UprCheck, AReadOnlyCallFlushesWithoutJudging)
{
    chain.raiseFault(0, 1, 0x0001);
    link.lamps.set(LampId::UprStatus, kLampGreen);
    int16_t index = 2;
    upr.ReadUPRBuffers(index);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(chain.pendingUnprompted(0), 0u);
    EXPECT_EQ(link.lamps.colour(LampId::UprStatus), kLampGreen);
    EXPECT_EQ(unticks, 0);
}

TEST_F(UprCheck, NothingIsJudgedWithoutAnAnswerOrAValidIndex)
{
    chain.raiseFault(0, 1, 0x0001);
    const size_t from = chain.received.size();
    int16_t index = 4;
    upr.ReadUPRBuffers(index);
    index = -1;
    upr.ReadUPRBuffers(index);
    EXPECT_EQ(chain.received.size(), from);

    board->faults.noAnswer = true;
    link.lamps.set(LampId::UprStatus, kLampGreen);
    upr.cmdUPRRead_Click(0);
    EXPECT_EQ(link.lamps.colour(LampId::UprStatus), kLampGreen);
    EXPECT_EQ(unticks, 0);
}

TEST_F(UprCheck, RefusedOnTheSingleDeviceLink)
{
    ASSERT_TRUE(connect(false, 1));
    const size_t from = chain.received.size();
    upr.cmdUPRRead_Click(1);
    EXPECT_EQ(t.prompter.asked.back().text,
              "Programming error. ReadUPRBuffers() should not be called when in non-daisychain "
              "mode!");
    EXPECT_TRUE(logHas("ReadUPRBuffers: Was called when in non-daisychain mode. This should not "
                       "happen.\r\n"));
    EXPECT_EQ(chain.received.size(), from);
}
