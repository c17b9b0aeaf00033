// Connecting and identifying the devices of the simulated chips.

#include "LinkFixture.h"

#include <gtest/gtest.h>

using namespace kvb;
using namespace kvb::link;

namespace {

class Identify : public ::testing::Test, public test::LinkFixture {};

class ChainLength : public ::testing::TestWithParam<std::tuple<int, int>>, public test::LinkFixture {};

}  // namespace

TEST_P(ChainLength, EveryDeviceIsFound)
{
    const auto [type, devices] = GetParam();
    ASSERT_TRUE(type == 0 ? connect(true, devices) : connect(true, 1, devices));
    EXPECT_EQ(link.deviceCount(type), devices);
    const std::string name = type == 0 ? "KVB71853" : "KVB53961";
    EXPECT_TRUE(logHas("IdentifyDaisyChain: Found " + std::to_string(devices) + " " + name +
                       " devices\r\n"));
    EXPECT_TRUE(link.DaisyChainMode);
}

INSTANTIATE_TEST_SUITE_P(OneThreeFourteen, ChainLength,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Values(1, 3, 14)));

TEST_F(Identify, ConnectSendsTheSetUpAndReadsItBack)
{
    ASSERT_TRUE(connect(true, 3, 2));
    EXPECT_EQ(link.DeviceCount1, 3);
    EXPECT_EQ(link.DeviceCount2, 2);
    EXPECT_EQ(log.rfind("Success: KVB71853EVB detected, InitializeEvb: daisy chain mode has been "
                        "detected\r\n",
                        0),
              0u);
    std::vector<board::Report> setups;
    for (const auto& r : board->requests)
        if (r[1] == board::HidGpioSpiSetup)
            setups.push_back(r);
    ASSERT_EQ(setups.size(), 4u);
    const std::vector<uint8_t> first(setups[0].begin() + 1, setups[0].begin() + 12);
    EXPECT_EQ(first, (std::vector<uint8_t>{0x14, 0x00, 0xFF, 0xFF, 0x80, 0x03, 0x00, 0x00, 0x02,
                                           0x29, 0x30}));
    EXPECT_EQ(setups[1][2], 1);     // read-back request
    EXPECT_EQ(setups[2][7], 0x80);  // daisy-chain select
    EXPECT_EQ(link.gpioSpiSetup()[0], 8);
    EXPECT_EQ(link.gpioSpiSetup()[4], 0x80);

    // The first pass sends no reset.
    EXPECT_FALSE(logHas("RESET"));
}

TEST_F(Identify, NoLinkModeIdentifiesNothing)
{
    chain.setDevices(0, 3);
    link.takeGpioSetupByte(0x18);
    ASSERT_TRUE(link.InitializeDriver());
    EXPECT_FALSE(link.InitializeEvb());
    EXPECT_FALSE(logHas("mode"));
    EXPECT_EQ(link.DeviceCount1, 0);
}

// A set-up whose read-back is lost keeps the record as sent; the connect
// goes on with the mode line and the identification.
TEST_F(Identify, ASetUpThatIsNotReadBackStillIdentifies)
{
    ASSERT_TRUE(connect(true, 3));
    link.setSpiTimeout(0x12, 0x34);
    board->faults.dropAnswers = 1;
    t.prompter.script = {Answer::Retry};
    EXPECT_FALSE(link.SetGpioSpiSetupDaisy());
    EXPECT_EQ(link.gpioSpiSetup()[7], 0x12);  // as sent, not overwritten by a missing answer
    EXPECT_EQ(link.gpioSpiSetup()[8], 0x34);
    EXPECT_EQ(t.prompter.asked.at(0).text, "Please check USB connection.\ncheckStatus");

    log.clear();
    board->faults.dropAnswers = 1;  // the first read-back of the connect
    t.prompter.script = {Answer::Retry};
    EXPECT_TRUE(link.InitializeEvb());
    EXPECT_EQ(t.prompter.asked.size(), 2u);
    EXPECT_TRUE(logHas("InitializeEvb: daisy chain mode has been detected\r\n"));
    EXPECT_TRUE(logHas("IdentifyDaisyChain: Found 3 KVB71853 devices\r\n"));
    EXPECT_EQ(link.DeviceCount1, 3);
    EXPECT_TRUE(link.DaisyChainMode);

    // Counts of an earlier connect never outlive one whose chips are silent.
    chain.faults.silentFrom[0] = 1;
    board->faults.dropAnswers = 1;
    t.prompter.script = {Answer::Retry};
    EXPECT_FALSE(link.InitializeEvb());
    EXPECT_EQ(link.DeviceCount1, 0);
}

// A pass that breaks off keeps the count it reached; the first pass sends
// no reset, the next ones start with it.
TEST_F(Identify, ADeviceThatStopsAnsweringLeavesTheCountThePassesReached)
{
    chain.faults.silentFrom[0] = 3;  // three devices, the third silent
    EXPECT_FALSE(connect(true, 3));
    EXPECT_EQ(link.DeviceCount1, 2);
    EXPECT_TRUE(logHas("IdentifyDaisyChain: Sending RESET command to KVB71853\r\n"));
    EXPECT_TRUE(logHas("IdentifyDaisyChain: KVB71853 responded incorrectly to Identify command"));
    EXPECT_FALSE(logHas("Found"));

    chain.faults.silentFrom[0] = 2;  // only the bottom device answers
    EXPECT_FALSE(connect(true, 3));
    EXPECT_EQ(link.DeviceCount1, 1);

    chain.faults.silentFrom[0] = 1;  // not even the bottom device
    EXPECT_FALSE(connect(true, 3));
    EXPECT_EQ(link.DeviceCount1, 0);
    EXPECT_TRUE(logHas("IdentifyDaisyChain: KVB71853 did not respond with ACK\r\n"));
}

TEST_F(Identify, CorruptAnswersAreNotBelievedNorLoggedAsErrors)
{
    chain.faults.corruptCrc = 1;  // the first acknowledge: one more try
    ASSERT_TRUE(connect(true, 3));
    EXPECT_EQ(link.DeviceCount1, 3);
    EXPECT_TRUE(logHas("IdentifyDaisyChain: Sending RESET command to KVB71853\r\n"));
    EXPECT_EQ(sampleFlags, 0);
    EXPECT_EQ(link.log.comErrors.text(), "");

    chain.faults.corruptCrc = 1000;
    EXPECT_FALSE(link.IdentifyDaisyChain(0));
    EXPECT_TRUE(logHas("IdentifyDaisyChain: KVB71853 did not respond with ACK\r\n"));
    EXPECT_EQ(sampleFlags, 0);
    EXPECT_EQ(link.log.comErrors.text(), "");
    chain.faults.corruptCrc = 0;
}

TEST_F(Identify, UnknownChain)
{
    EXPECT_FALSE(link.IdentifyDaisyChain(2));
    EXPECT_EQ(log, "IdentifyDaisyChain: unknown device specified.\r\n");
}

TEST_F(Identify, SingleDeviceShowsItsSerialNumberAndKeepsTheUserRegister)
{
    ASSERT_TRUE(connect(false, 1));
    auto& regs = chain.device(0, 1).regs;
    regs[150] = 0x1234;
    regs[155] = 2;
    regs[156] = 1;
    log.clear();
    link.TakeChosenLink(link.DaisyChainMode, 0, link.DeviceCount2);
    ASSERT_TRUE(link.IdentifyNonDaisyChain(0));
    EXPECT_EQ(link.DeviceCount1, 1);
    EXPECT_TRUE(logHas("IdentifyNonDaisyChain: Testing KVB71853 user register.\r\n"));
    EXPECT_TRUE(logHas("IdentifyNonDaisyChain: Found KVB71853serial number = 0x00004002\r\n"));
    EXPECT_EQ(regs[150], 0x1234);
    EXPECT_FALSE(link.DaisyChainMode);
}

TEST_F(Identify, SingleDeviceThatDoesNotAnswer)
{
    chain.faults.silentFrom[0] = 1;
    EXPECT_FALSE(connect(false, 1));
    EXPECT_TRUE(logHas("IdentifyNonDaisyChain: KVB71853 pipe communication error\r\n"));
    EXPECT_EQ(sampleFlags & FlagPipeError, FlagPipeError);
    EXPECT_EQ(link.DeviceCount1, 0);

    // A read-only user register cannot hold the test pattern.
    chain.faults.silentFrom[0] = 0;
    chain.registers().kinds[0][150] = sim::SimRegisterMap::kReadOnly;
    log.clear();
    EXPECT_FALSE(link.IdentifyNonDaisyChain(0));
    EXPECT_TRUE(logHas("IdentifyNonDaisyChain: KVB71853 not found\r\n"));
}
