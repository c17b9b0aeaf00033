// The COM lamp and the communication-error log after a transfer that the
// board did not complete. The exchange lights COM green and, on the daisy
// chain, judges nothing; the parse of the empty answer reports a request
// addressed to one device as unanswered. On the single-device link only a
// register value that could not be read turns COM red.

#include "app/CommandFixture.h"
#include "data/ChartExport.h"

#include <gtest/gtest.h>

namespace kvb::test {
namespace {

using link::ChipMessage;

class FailedTransfer : public CommandFixture, public ::testing::Test {
protected:
    uint32_t com0() const { return link.lamps.colour(LampId::Com0); }
    uint32_t com1() const { return link.lamps.colour(LampId::Com1); }
    // Turns COM red, as an earlier failure would have left it, so that a
    // check of green sees this exchange's colour.
    void redden()
    {
        link.lamps.set(LampId::Com0, kLampRed);
        link.lamps.set(LampId::Com1, kLampRed);
    }
};

TEST_F(FailedTransfer, OnTheDaisyChainComStaysGreenWhereNoOneDeviceOwesAnAnswer)
{
    ASSERT_TRUE(connect(true, 2, 1));
    board->faults.wrongTransaction = true;  // every transfer fails out of step
    const size_t boxes = t.prompter.asked.size();

    redden();
    commands.cbBalEnableAll_Click();  // a command without a register value
    EXPECT_EQ(com0(), kLampGreen);
    redden();
    commands.cbScanAllVolts_Click();
    EXPECT_EQ(com0(), kLampGreen);
    redden();
    commands.cbDaisyChainSleep_Click();
    EXPECT_EQ(com0(), kLampGreen);
    redden();
    commands.cbDaisyChainWake_Click();
    EXPECT_EQ(com0(), kLampGreen);
    redden();
    ChipMessage everyone(link::kBroadcastDevice, 2, 0x04, 0, 0);
    link.ReadSingleReg(everyone);
    EXPECT_EQ(com0(), kLampGreen);
    redden();
    int16_t bufferIndex = 1;
    upr.ReadUPRBuffers(bufferIndex);
    EXPECT_EQ(com1(), kLampGreen);
    redden();
    EXPECT_FALSE(link.IdentifyDaisyChain(0));
    EXPECT_EQ(com0(), kLampGreen);

    EXPECT_TRUE(errorLines().empty());
    EXPECT_EQ(sampleFlags, 0);
    EXPECT_GT(t.prompter.asked.size(), boxes);  // the pipe told of each failure
    EXPECT_EQ(t.prompter.asked.back().text, "HID Packet Sync Error Retry 2x");

    // The exchange alone judges nothing, even for a read of one device.
    redden();
    ChipMessage read(2, 2, 0x04, 0, 0);
    EXPECT_FALSE(link.SendReceivePipe(read));
    EXPECT_EQ(com0(), kLampGreen);
    EXPECT_TRUE(errorLines().empty());
}

TEST_F(FailedTransfer, ADaisyChainRequestToOneDeviceIsReportedUnansweredByItsParse)
{
    ASSERT_TRUE(connect(true, 2));
    chain.device(0, 2).regs[132] = 0x0155;
    ASSERT_TRUE(readReg(2, 2, 0x04));
    board->faults.wrongTransaction = true;
    log.clear();

    EXPECT_FALSE(readReg(2, 2, 0x04));
    EXPECT_EQ(errorLines(), std::vector<std::string>{"    No Response Sent: 22 10 0C "});
    EXPECT_EQ(sampleFlags, link::FlagNoResponse);
    EXPECT_EQ(data::ComErrorWords(sampleFlags), "NoACK_");
    EXPECT_EQ(com0(), kLampRed);
    EXPECT_EQ(link.image.at(0, 2, 132), 0x0155);
    EXPECT_FALSE(logHas("rcv,"));

    ChipMessage write(1, 2, 0x16, 0x0123, 0);
    EXPECT_FALSE(link.WriteSingleReg(write));
    ASSERT_EQ(errorLines().size(), 2u);
    EXPECT_EQ(errorLines()[1].rfind("    No Response Sent: ", 0), 0u);

    // A read-all of each device: one line per device.
    commands.cbReadAllVolts_Click();
    EXPECT_EQ(errorLines().size(), 4u);
    EXPECT_EQ(com0(), kLampRed);

    // A lost board too: its box, then the missing answer, once.
    board->faults.wrongTransaction = false;
    board->faults.noAnswer = true;
    EXPECT_FALSE(readReg(1, 2, 0x04));
    EXPECT_EQ(t.prompter.asked.back().text,
              "USB Communications lost, Disconnect and Reconnect, Polling Terminated");
    ASSERT_EQ(errorLines().size(), 5u);
    EXPECT_EQ(errorLines()[4].rfind("    No Response Sent: ", 0), 0u);
    EXPECT_EQ(com0(), kLampRed);
}

TEST_F(FailedTransfer, OnTheSingleDeviceLinkOnlyAnUnreadRegisterValueTurnsComRed)
{
    ASSERT_TRUE(connect(false, 1));
    board->faults.wrongTransaction = true;

    redden();
    commands.cbBalEnableAll_Click();  // a command
    EXPECT_EQ(com0(), kLampGreen);
    redden();
    ChipMessage readAll(0, 1, 0x0F, 0, 0);  // the read-all command of the voltages
    link.ReadSingleReg(readAll);
    EXPECT_EQ(com0(), kLampGreen);
    redden();
    ChipMessage absent(0, 0, 0x05, 0, 0);  // page 0 holds no register
    link.ReadSingleReg(absent);
    EXPECT_EQ(com0(), kLampGreen);
    EXPECT_TRUE(errorLines().empty());

    // A register of kind 0 or 1 whose value did not come.
    ChipMessage read(0, 2, 0x04, 0x0155, 0);
    EXPECT_FALSE(link.ReadSingleReg(read));
    EXPECT_EQ(read.dat, 0);
    EXPECT_EQ(com0(), kLampRed);
    EXPECT_EQ(errorLines(), (std::vector<std::string>{"    Unrecognized Response ",
                                                      "    Unrecognized Response "}));
    EXPECT_TRUE(logHas("ParseNonDaisyChainResponse: KVB71853 unrecognized response\r\n"));
}

}  // namespace
}  // namespace kvb::test
