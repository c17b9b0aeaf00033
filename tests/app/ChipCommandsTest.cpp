// The fixed chip commands and their senders against the simulated chain.

#include "CommandFixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace kvb;

namespace {

class ChipCommandsTest : public ::testing::Test, public test::CommandFixture {};

// The device field of a daisy-chain request frame and its device type.
int deviceOf(const sim::SimChipChain::Received& r) { return r.frame.at(0) >> 4; }
int typeOf(const sim::SimChipChain::Received& r) { return link::SelectedType(r.select); }

}  // namespace

TEST_F(ChipCommandsTest, TableMatchesTheButtons)
{
    const auto& table = ChipCommandTable();
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(static_cast<size_t>(table[i].id), i);
    EXPECT_STREQ(CommandInfo(ChipCommand::ScanAllContinuous).caption, "Scan Cont.");
    EXPECT_EQ(HandlerName(CommandInfo(ChipCommand::ClearAllFaults)), "cbClearAllFaults_Click");
}

TEST_F(ChipCommandsTest, ScanGoesToEachDeviceOneByteShortWhileInProgress)
{
    ASSERT_TRUE(connect(true, 3));
    std::vector<bool> inProgress;
    t.pump.hook = [this, &inProgress] { inProgress.push_back(pipe.commandInProgress()); };
    const size_t from = chain.received.size();
    const int scansBefore = chain.device(0, 2).scans;
    commands.cbScanAllVolts_Click();

    const auto frames = framesSince(from);
    ASSERT_EQ(frames.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(deviceOf(frames[i]), i + 1);
        EXPECT_EQ(frames[i].frame.size(), 2u);  // the count is one less
    }
    EXPECT_EQ(lines("cmd,"), (std::vector<std::string>{
                                 "cmd,KVB71853,dev0x01,cat0x03,adr0x01,dat0x0000",
                                 "cmd,KVB71853,dev0x02,cat0x03,adr0x01,dat0x0000",
                                 "cmd,KVB71853,dev0x03,cat0x03,adr0x01,dat0x0000"}));
    EXPECT_EQ(chain.device(0, 2).scans, scansBefore + 1);
    ASSERT_FALSE(inProgress.empty());
    EXPECT_TRUE(inProgress.front());
    EXPECT_FALSE(pipe.commandInProgress());
}

TEST_F(ChipCommandsTest, SleepAndWakeBroadcastOncePerType)
{
    ASSERT_TRUE(connect(true, 2, 1));
    size_t from = chain.received.size();
    commands.cbDaisyChainSleep_Click();
    auto frames = framesSince(from);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(deviceOf(frames[0]), 15);
    EXPECT_EQ(typeOf(frames[0]), 0);
    EXPECT_EQ(deviceOf(frames[1]), 15);
    EXPECT_EQ(typeOf(frames[1]), 1);
    EXPECT_TRUE(chain.device(0, 2).asleep);
    EXPECT_TRUE(chain.device(1, 1).asleep);

    commands.cbDaisyChainWake_Click();
    EXPECT_FALSE(chain.device(0, 1).asleep);
    EXPECT_FALSE(chain.device(1, 1).asleep);
    EXPECT_FALSE(pipe.commandInProgress());
}

TEST_F(ChipCommandsTest, ReadAllSkipsATypeWithoutTheCommandAndAddsAChartSample)
{
    ASSERT_TRUE(connect(true, 2, 1));
    chain.device(0, 2).regs[70] = 0x1234;
    const size_t from = chain.received.size();
    commands.cbReadAllVolts_Click();  // the read-all of volts exists on type 0 only
    const auto frames = framesSince(from);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(typeOf(frames[1]), 0);
    EXPECT_EQ(link.image.at(0, 2, 70), 0x1234);
    EXPECT_EQ(chartSamples, 1);

    updateChart = false;
    commands.cbReadAllVolts_Click();
    EXPECT_EQ(chartSamples, 1);
}

TEST_F(ChipCommandsTest, SingleDeviceReadAllCarriesEachAnswerIntoTheNextRequest)
{
    ASSERT_TRUE(connect(false, 1));
    chain.device(0, 1).regs[128] = 0x1234;
    chain.device(0, 1).regs[129] = 0x0AB5;
    chain.device(0, 1).regs[130] = 0x0000;
    const size_t from = chain.received.size();
    commands.cbReadAllFaults_Click();
    const auto requests = lines("cmd,");
    ASSERT_EQ(requests.size(), 7u);
    EXPECT_EQ(requests[0], "cmd,KVB71853,cat0x02,adr0x80,dat0x0000");
    EXPECT_EQ(requests[1], "cmd,KVB71853,cat0x02,adr0x81,dat0x1234");
    EXPECT_EQ(requests[2], "cmd,KVB71853,cat0x02,adr0x82,dat0x0AB5");
    EXPECT_EQ(requests[3], "cmd,KVB71853,cat0x02,adr0x83,dat0x0000");
    EXPECT_EQ(requests.back().rfind("cmd,KVB71853,cat0x02,adr0x86,dat0x", 0), 0u);
    // The read frame carries the data's low six bits beside the address,
    // then two bytes that clock the answer in.
    const auto frames = framesSince(from);
    ASSERT_EQ(frames.size(), 7u);
    EXPECT_EQ(frames[0].frame, (std::vector<uint8_t>{0x20, 0x00, 0x00, 0x00}));
    EXPECT_EQ(frames[1].frame, (std::vector<uint8_t>{0x20, 0x74, 0x00, 0x00}));
    EXPECT_EQ(frames[2].frame, (std::vector<uint8_t>{0x20, 0xB5, 0x00, 0x00}));
    EXPECT_EQ(frames[3].frame, (std::vector<uint8_t>{0x20, 0xC0, 0x00, 0x00}));
    EXPECT_EQ(link.image.at(0, 1, 128), 0x1234);
    EXPECT_EQ(link.image.at(0, 1, 129), 0x0AB5);
}

TEST_F(ChipCommandsTest, MeasureSendsItsDataAndLeavesCommandInProgress)
{
    ASSERT_TRUE(connect(true, 1));
    pipe.setCommandInProgress(false);
    const size_t from = chain.received.size();
    commands.cmdSendMeasure_Click();
    EXPECT_EQ(lines("cmd,"),
              std::vector<std::string>{"cmd,KVB71853,dev0x01,cat0x03,adr0x08,dat0x0015"});
    EXPECT_EQ(framesSince(from).at(0).frame.size(), 3u);
    EXPECT_FALSE(pipe.commandInProgress());
}

TEST_F(ChipCommandsTest, ClearAllFaultsWritesThirteenRegistersInOrder)
{
    ASSERT_TRUE(connect(true, 2, 1));
    for (int reg : {128, 129, 130, 132, 134}) {
        link.image.at(0, 1, reg) = 5;
        link.image.at(0, 2, reg) = 5;
        link.image.at(1, 1, reg) = 5;
    }
    link.lamps.set(LampId::Fault0, kLampRed);
    link.lamps.set(LampId::UprStatus, kLampRed);
    size_t writesBeforeGrey = 99;
    link.lamps.changed = [&](LampId id, int) {
        if (id == LampId::UprStatus)
            writesBeforeGrey = lines("wrt,").size();
    };
    commands.cbClearAllFaults_Click();

    EXPECT_EQ(writesBeforeGrey, 0u);
    EXPECT_EQ(link.lamps.colour(LampId::Fault0), kLampGrey);
    // (register address, device) of type 0, then of type 1.
    std::vector<std::string> expected;
    for (int adr : {0, 1, 2, 6, 4})
        for (int dev : {1, 2})
            expected.push_back("wrt,KVB71853,dev0x0" + std::to_string(dev) + ",cat0x0A,adr0x0" +
                               std::to_string(adr) + ",dat0x0000");
    for (int adr : {0, 1, 4})
        expected.push_back("wrt,KVB53961,dev0x01,cat0x0A,adr0x0" + std::to_string(adr) +
                           ",dat0x0000");
    ASSERT_EQ(expected.size(), 13u);
    EXPECT_EQ(lines("wrt,"), expected);
    for (int reg : {128, 129, 130, 132, 134}) {
        EXPECT_EQ(link.image.at(0, 1, reg), 0) << reg;
        EXPECT_EQ(link.image.at(0, 2, reg), 0) << reg;
    }
    EXPECT_EQ(link.image.at(1, 1, 130), 5);  // not a fault register of type 1
    EXPECT_EQ(relayouts, 1);
}

TEST_F(ChipCommandsTest, ClearAllFaultsKeepsTheImageOfRefusedWrites)
{
    ASSERT_TRUE(connect(true, 2));
    link.image.at(0, 1, 128) = 5;
    link.image.at(0, 2, 128) = 5;
    chain.faults.silentFrom[0] = 2;  // device 2 no longer answers
    commands.cbClearAllFaults_Click();
    EXPECT_EQ(link.image.at(0, 1, 128), 0);
    EXPECT_EQ(link.image.at(0, 2, 128), 5);

    chain.faults.silentFrom[0] = 0;
    chain.faults.nack = true;
    link.image.at(0, 1, 129) = 7;
    commands.cbClearAllFaults_Click();
    EXPECT_EQ(link.image.at(0, 1, 129), 7);
}

TEST_F(ChipCommandsTest, PollingIsPausedAroundASenderAndResumedAfter)
{
    ASSERT_TRUE(connect(true, 2));
    pollingTicked = true;
    pollTimer.clear();
    commands.cbBalEnableAll_Click();
    EXPECT_EQ(link.pauseDepth(), 0);
    EXPECT_EQ(pollTimer, (std::vector<bool>{false, true}));

    // A failure inside the device loop still resumes polling.
    view.appendLogStep = [](const std::string& line) {
        if (line.rfind("cmd,", 0) == 0)
            throw std::runtime_error("log full");
    };
    pollTimer.clear();
    commands.cbBalInhibitAll_Click();
    EXPECT_EQ(link.pauseDepth(), 0);
    EXPECT_EQ(pollTimer, (std::vector<bool>{false, true}));
    ASSERT_FALSE(t.prompter.asked.empty());
    EXPECT_EQ(t.prompter.asked.back().text.rfind("Error in DaisyChainQuickCommand", 0), 0u);
}

TEST_F(ChipCommandsTest, RefusesWithoutBoardAndInTheWrongLinkMode)
{
    commands.cbScanAllVolts_Click();
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "KVB71853 EVB not connected!");
    EXPECT_EQ(log, "cbScanAllVolts_Click: EVB not detected. Please check connections.\r\n");
    EXPECT_TRUE(chain.received.empty());

    ASSERT_TRUE(connect(false, 1));
    const size_t from = chain.received.size();
    link::ChipMessage m(0, 3, 1);
    commands.DaisyChainQuickCommand(m);
    EXPECT_EQ(t.prompter.asked.back().text,
              "Programming error. DaisyChainQuickCommand() should not be called when in "
              "non-daisychain mode!");
    EXPECT_TRUE(logHas("DaisyChainQuickCommand: Was called when in non-daisychain mode. This "
                       "should not happen.\r\n"));
    EXPECT_EQ(chain.received.size(), from);
}

TEST_F(ChipCommandsTest, ALostBoardIsReportedOncePerAction)
{
    const std::string lost =
        "USB Communications lost, Disconnect and Reconnect, Polling Terminated";
    struct Case {
        bool daisy;
        int type0, type1;
        ChipCommand command;
    };
    // Per device, per register, per type and per fault register: each loop
    // would otherwise repeat the box.
    const Case cases[] = {
        {true, 3, 0, ChipCommand::ReadAllVolts},   {true, 3, 0, ChipCommand::ScanAllVolts},
        {true, 2, 1, ChipCommand::DaisyChainSleep}, {true, 2, 1, ChipCommand::ClearAllFaults},
        {false, 1, 0, ChipCommand::ReadAllVolts},  {false, 1, 1, ChipCommand::BalEnableAll},
    };
    for (const Case& c : cases) {
        test::CommandFixture b;
        ASSERT_TRUE(b.connect(c.daisy, c.type0, c.type1));
        b.board->faults.noAnswer = true;
        b.commands.press(c.command);
        const std::string name = HandlerName(CommandInfo(c.command));
        ASSERT_EQ(b.t.prompter.asked.size(), 1u) << name << (c.daisy ? " chain" : " single");
        EXPECT_EQ(b.t.prompter.asked[0].text, lost) << name;
    }

    // The next press tries the board again and tells once more.
    ASSERT_TRUE(connect(true, 3));
    board->faults.noAnswer = true;
    commands.cbReadAllTemps_Click();
    commands.cbReadAllTemps_Click();
    EXPECT_EQ(t.prompter.asked.size(), 2u);
}
