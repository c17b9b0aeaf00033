// What ReadSingleReg tells its caller: whether the read was answered
// without a communication error, so that the image holds the chip's value.

#include "LinkFixture.h"

#include <gtest/gtest.h>

using namespace kvb;
using namespace kvb::link;

namespace {

class ReadResult : public ::testing::Test, public test::LinkFixture {};

}  // namespace

TEST_F(ReadResult, ADaisyChainReadIsTrueOnlyWhenItsDeviceAnsweredCleanly)
{
    ASSERT_TRUE(connect(true, 3));
    chain.device(0, 2).regs[132] = 0x0155;
    EXPECT_TRUE(readReg(2, 2, 4));
    EXPECT_EQ(link.image.at(0, 2, 132), 0x0155);

    EXPECT_FALSE(readReg(3, 0, 5));  // page 0 does not exist: not-acknowledge
    EXPECT_EQ(sampleFlags, FlagNack);

    chain.faults.corruptCrc = 1;
    EXPECT_FALSE(readReg(2, 2, 4));

    chain.faults.silentFrom[0] = 3;  // device 3 stops answering
    EXPECT_FALSE(readReg(3, 2, 4));
    EXPECT_TRUE(readReg(2, 2, 4));  // the next clean read is true again
}

TEST_F(ReadResult, ASingleDeviceReadIsTrueWhenTheValueCame)
{
    ASSERT_TRUE(connect(false, 1));
    chain.device(0, 1).regs[130] = 0x123;
    EXPECT_TRUE(readReg(0, 2, 2));
    chain.faults.silentFrom[0] = 1;
    EXPECT_FALSE(readReg(0, 2, 2));
}

TEST_F(ReadResult, AReadThatSendsNothingIsFalse)
{
    ASSERT_TRUE(connect(true, 3));
    // Refused inside a transfer: the stale answer of the outer one is not ours.
    bool inner = true;
    t.pump.hook = [&] {
        if (pipe.busy() && inner)
            inner = readReg(1, 2, 4);
    };
    EXPECT_TRUE(readReg(2, 2, 4));
    EXPECT_FALSE(inner);

    // The board lost while polling pauses: nothing goes out, and the answer
    // of the last read is not this one's.
    pollingTicked = true;
    t.pump.hook = [&] { transport.EvbConnected = false; };
    EXPECT_FALSE(readReg(1, 2, 4));
    t.pump.hook = nullptr;

    transport.CloseHidHandles();
    transport.EvbConnected = false;
    EXPECT_FALSE(readReg(1, 2, 4));
}
