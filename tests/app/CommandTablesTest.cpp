// The fixed tables of the main window's commands and dialogs, each walked
// through every entry: the chip command buttons, the single-device read-all
// blocks, the SPI clock choices, the manual configuration and the balance
// settings lists and bit masks.

#include "app/BalanceFixture.h"
#include "app/TickFixture.h"
#include "app/MainWindowLayout.h"
#include "app/ManualConfig.h"
#include "app/SpiDialogs.h"
#include "app/StartupSequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvb::test {
namespace {

class CommandTables : public CommandFixture, public ::testing::Test {
protected:
    // The "cmd," lines a press logs, and whether CommandInProgress was raised
    // while the frames were exchanged.
    struct Pressed {
        std::vector<std::string> lines;
        bool inProgress = false;
    };
    Pressed pressAndRecord(ChipCommand id)
    {
        bool raised = false;
        t.pump.hook = [&] { raised = raised || pipe.commandInProgress(); };
        const size_t before = lines("cmd,").size();
        commands.press(id);
        t.pump.hook = nullptr;
        const auto all = lines("cmd,");
        return {{all.begin() + static_cast<long>(before), all.end()}, raised};
    }
};

TEST_F(CommandTables, EveryCommandButtonSendsItsCodeOverTheChain)
{
    struct Row {
        ChipCommand id;
        const char* control;
        const char* caption;
        const char* line;
        bool inProgress;
    };
    const Row table[] = {
        {ChipCommand::ReadAllVolts, "cbReadAllVolts", "Read Volts",
         "cmd,KVB71853,dev0x01,cat0x01,adr0x0F,dat0x0000", false},
        {ChipCommand::ReadAllTemps, "cbReadAllTemps", "Read Temps",
         "cmd,KVB71853,dev0x01,cat0x01,adr0x1F,dat0x0000", false},
        {ChipCommand::ReadAllFaults, "cbReadAllFaults", "Read Faults",
         "cmd,KVB71853,dev0x01,cat0x02,adr0x0F,dat0x0000", false},
        {ChipCommand::ReadAllSetup, "cbReadAllSetup", "Read Setups",
         "cmd,KVB71853,dev0x01,cat0x02,adr0x1F,dat0x0000", false},
        {ChipCommand::ScanAllVolts, "cbScanAllVolts", "Scan Volts",
         "cmd,KVB71853,dev0x01,cat0x03,adr0x01,dat0x0000", true},
        {ChipCommand::ScanAllTemps, "cbScanAllTemps", "Scan Temps",
         "cmd,KVB71853,dev0x01,cat0x03,adr0x02,dat0x0000", true},
        {ChipCommand::ScanAllMixed, "cbScanAllMixed", "Scan Mixed",
         "cmd,KVB71853,dev0x01,cat0x03,adr0x03,dat0x0000", true},
        {ChipCommand::ScanAllWires, "cbScanAllWires", "Scan Wires",
         "cmd,KVB71853,dev0x01,cat0x03,adr0x04,dat0x0000", true},
        {ChipCommand::ScanAllAll, "cbScanAllAll", "Scan All",
         "cmd,KVB71853,dev0x01,cat0x03,adr0x05,dat0x0000", true},
        {ChipCommand::ScanAllContinuous, "cbScanAllContinuous", "Scan Cont.",
         "cmd,KVB71853,dev0x01,cat0x03,adr0x06,dat0x0000", true},
        {ChipCommand::ScanAllInhibit, "cbScanAllInhibit", "Scan Inhibit",
         "cmd,KVB71853,dev0x01,cat0x03,adr0x07,dat0x0000", true},
        {ChipCommand::BalEnableAll, "cbBalEnableAll", "Bal. Enable",
         "cmd,KVB71853,dev0x01,cat0x03,adr0x10,dat0x0000", false},
        {ChipCommand::BalInhibitAll, "cbBalInhibitAll", "Bal. Inhibit",
         "cmd,KVB71853,dev0x01,cat0x03,adr0x11,dat0x0000", false},
        {ChipCommand::DaisyChainSleep, "cbDaisyChainSleep", "Sleep",
         "cmd,KVB71853,dev0x0F,cat0x03,adr0x0A,dat0x0000", true},
        {ChipCommand::DaisyChainWake, "cbDaisyChainWake", "Wake",
         "cmd,KVB71853,dev0x0F,cat0x03,adr0x0F,dat0x0000", true},
        {ChipCommand::SendMeasure, "cmdSendMeasure", "Send Meas",
         "cmd,KVB71853,dev0x01,cat0x03,adr0x08,dat0x0015", false},
    };
    ASSERT_TRUE(connect(true, 1));
    for (const Row& r : table) {
        const ChipCommandInfo& info = CommandInfo(r.id);
        EXPECT_STREQ(info.control, r.control);
        EXPECT_STREQ(info.caption, r.caption);
        pipe.setCommandInProgress(false);
        const Pressed p = pressAndRecord(r.id);
        EXPECT_EQ(p.lines, std::vector<std::string>{r.line}) << r.control;
        EXPECT_EQ(p.inProgress, r.inProgress) << r.control;
        EXPECT_FALSE(pipe.commandInProgress()) << r.control;
    }
    EXPECT_STREQ(CommandInfo(ChipCommand::ClearAllFaults).caption, "Clear All Faults");
}

// On the single-device link a read-all reads its block register by register,
// the address field showing the register index.
TEST_F(CommandTables, SingleDeviceReadAllsReadTheirWholeBlock)
{
    struct Row {
        ChipCommand id;
        int category, first, last;
    };
    const Row table[] = {
        {ChipCommand::ReadAllVolts, 1, 64, 76},
        {ChipCommand::ReadAllTemps, 1, 80, 86},
        {ChipCommand::ReadAllFaults, 2, 128, 134},
        {ChipCommand::ReadAllSetup, 2, 144, 157},
    };
    ASSERT_TRUE(connect(false, 1));
    for (const Row& r : table) {
        const Pressed p = pressAndRecord(r.id);
        ASSERT_EQ(p.lines.size(), static_cast<size_t>(r.last - r.first + 1)) << r.first;
        for (int reg = r.first; reg <= r.last; ++reg) {
            char head[40];
            std::snprintf(head, sizeof head, "cmd,KVB71853,cat0x%02X,adr0x%02X,dat0x", r.category,
                          reg);
            EXPECT_EQ(p.lines[static_cast<size_t>(reg - r.first)].rfind(head, 0), 0u)
                << p.lines[static_cast<size_t>(reg - r.first)];
        }
    }
}

TEST(CommandTablesSpi, EveryClockOptionGivesItsCode)
{
    const char* captions[] = {"200 kHz", "500 kHz", "1 MHz", "2 MHz", "4 MHz"};
    const int codes[] = {59, 23, 11, 5, 2};
    ASSERT_EQ(SpiClockOptions().size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_STREQ(SpiClockOptions()[i].caption, captions[i]);
        EXPECT_EQ(SpiClockOptions()[i].code, codes[i]) << captions[i];
    }
}

// The time-out box's limits, each side and the limit itself, as the
// half-microsecond bytes sent.
TEST(CommandTablesSpi, TimeoutLimitsOnBothSides)
{
    struct Row {
        const char* text;
        uint8_t high, low;
    };
    const Row table[] = {
        {"99", 0x00, 0xC8},    {"100", 0x00, 0xC8},   {"101", 0x00, 0xCA},
        {"29999", 0xEA, 0x5E}, {"30000", 0xEA, 0x60}, {"30001", 0xEA, 0x60},
    };
    for (const Row& r : table)
        EXPECT_EQ(SpiTimeoutBytes(r.text), (std::array<uint8_t, 2>{r.high, r.low})) << r.text;
}

TEST(CommandTablesConfig, EveryDeviceOptionOnEachLink)
{
    struct Row {
        LinkChoice link;
        DeviceChoice devices;
        int count1, count2;
        bool second;
        const char *part1, *part2, *raw0, *raw1;
        bool rawHidden;
        int pipeCode, setupByte;
    };
    const Row table[] = {
        {LinkChoice::DaisyChain, DeviceChoice::Kvb71853Only, 6, 0, false, "KVB71853", "NONE",
         "KVB71853", "", false, 22, 8},
        {LinkChoice::DaisyChain, DeviceChoice::Kvb53960Only, 6, 0, false, "KVB53960", "",
         "KVB53960", "", false, 22, 8},
        {LinkChoice::DaisyChain, DeviceChoice::Kvb53960And53961, 6, 6, true, "KVB53960", "KVB53961",
         "KVB53960", "KVB53961", false, 22, 8},
        {LinkChoice::NonDaisyChain, DeviceChoice::Kvb71853Only, 1, 0, false, "KVB71853", "", "", "",
         true, 21, 0},
        {LinkChoice::NonDaisyChain, DeviceChoice::Kvb53960Only, 1, 0, false, "KVB53960", "", "", "",
         true, 21, 0},
        {LinkChoice::NonDaisyChain, DeviceChoice::Kvb53960And53961, 1, 1, true, "KVB53960",
         "KVB53961", "", "", true, 21, 0},
    };
    for (const Row& r : table) {
        const ManualConfigResult c = ManualConfigFor({r.link, r.devices, 6});
        const std::string row = std::string(r.part1) + "/" + r.part2;
        EXPECT_EQ(c.daisyChain, r.link == LinkChoice::DaisyChain) << row;
        EXPECT_EQ(c.deviceCount1, r.count1) << row;
        EXPECT_EQ(c.deviceCount2, r.count2) << row;
        EXPECT_EQ(c.secondTypePresent, r.second) << row;
        EXPECT_EQ(c.partName1, r.part1) << row;
        EXPECT_EQ(c.partName2, r.part2) << row;
        EXPECT_EQ(c.hideRawDeviceTypes, r.rawHidden) << row;
        if (!r.rawHidden) {
            EXPECT_EQ(c.rawDeviceTypeCaptions[0], r.raw0) << row;
            EXPECT_EQ(c.rawDeviceTypeCaptions[1], r.raw1) << row;
        }
        EXPECT_EQ(c.pipeCommandCode, r.pipeCode) << row;
        EXPECT_EQ(c.gpioSetupByte, r.setupByte) << row;
    }
}

TEST(CommandTablesLists, BalanceModeAndWaitListsInFull)
{
    EXPECT_EQ(BalanceModeEntries(), (std::vector<std::string>{"Off", "Manual", "Timed", "Auto"}));
    EXPECT_EQ(BalanceWaitEntries(),
              (std::vector<std::string>{"0 seconds", "1 second", "2 seconds", "4 seconds",
                                        "8 seconds", "16 seconds", "32 seconds", "64 seconds"}));
}

TEST(CommandTablesPins, EveryStartupPinWithItsCaptionValueAndMode)
{
    const char* captions[24] = {
        "P0.0 SCL   ", "P0.1 MISO  ", "P0.2 MOSI  ", "P0.3 CS0   ", "P0.4 TP4SDA", "P0.5 TP5SCL",
        "P0.6 DRRDY0", "P0.7 DRRDY1", "P1.0 CS1   ", "P1.1 C12/14", "P1.2 LE    ", "P1.3 /G    ",
        "P1.4 A     ", "P1.5 B     ", "P1.6 C     ", "P1.7 D     ", "P2.0 M1CTL ", "P2.1 M2CTL ",
        "P2.2 FAULT0", "P2.3 FAULT1", "P2.4 J20.1 ", "P2.5 J29.2 ", "P2.6 J29.3 ", "P2.7 J29.4 "};
    // Low: P0.0 and P0.2; push-pull: P0.0 to P0.3.
    for (size_t i = 0; i < 24; ++i) {
        EXPECT_STREQ(StartupPins()[i].caption, captions[i]);
        EXPECT_EQ(StartupPins()[i].value, i != 0 && i != 2) << captions[i];
        EXPECT_EQ(StartupPins()[i].pushPull, i < 4) << captions[i];
    }
}

// Each poll option alone: its box, its caption, and the one command a tick
// then sends (frames as category x 64 + address).
TEST(CommandTablesPolling, EachOptionAloneRunsItsOwnCommand)
{
    struct Row {
        PollAction action;
        const char* box;
        const char* caption;
        int reg;
    };
    const Row table[] = {
        {PollAction::ScanAll, "chkPollScanAll", "Scan All", 3 * 64 + 5},
        {PollAction::ScanMixed, "chkScanMixed", "Scan Mixed", 3 * 64 + 3},
        {PollAction::ScanVolts, "chkScanVolts", "Scan Voltages", 3 * 64 + 1},
        {PollAction::ScanTemps, "chkScanTemps", "Scan Temperatures", 3 * 64 + 2},
        {PollAction::ScanWires, "chkScanWires", "Scan Wires", 3 * 64 + 4},
        {PollAction::ReadVolts, "chkReadVolts", "Read All Voltages", 1 * 64 + 0x0F},
        {PollAction::ReadTemps, "chkReadTemps", "Read All Temperatures", 1 * 64 + 0x1F},
        {PollAction::ReadFaults, "chkReadFaults", "Read All Faults", 2 * 64 + 0x0F},
        {PollAction::ReadSetups, "chkReadSetups", "Read All Setups", 2 * 64 + 0x1F},
    };
    TickFixture b;
    ASSERT_TRUE(b.connect(true, 1));
    for (const Row& r : table) {
        EXPECT_STREQ(PollActionBoxName(r.action), r.box);
        EXPECT_STREQ(PollActionCaption(r.action), r.caption);
        b.poller.options = PollOptions{};
        b.poller.options[r.action] = true;
        const size_t from = b.chain.received.size();
        b.poller.Timer2_Timer();
        std::vector<int> sent;
        for (const auto& f : b.framesSince(from))
            sent.push_back((f.frame[0] & 7) * 64 + (f.frame[1] >> 2));
        EXPECT_EQ(sent, std::vector<int>{r.reg}) << r.box;
    }

    // The quick set-up ticks exactly these four.
    b.poller.cmdQuickSetup_Click();
    for (const Row& r : table)
        EXPECT_EQ(b.poller.boxes.actions[r.action],
                  r.action == PollAction::ScanAll || r.action == PollAction::ReadVolts ||
                      r.action == PollAction::ReadTemps || r.action == PollAction::ReadFaults)
            << r.box;
}

class BalanceMasks : public BalanceFixture, public ::testing::Test {};

// Each list position of the mode and wait lists, written over a register
// with every bit set, leaves exactly the bits its mask keeps.
TEST_F(BalanceMasks, EveryModeAndWaitPositionKeepsItsMasksBits)
{
    ASSERT_TRUE(connect(true, 1));
    t.prompter.fallback = Answer::Yes;
    int16_t& setup = chipReg(1, 147);
    const int16_t mode[] = {0x03FC, 0x021D, 0x021E, 0x03FF};
    for (int i = 0; i < 4; ++i) {
        setup = 0x3FFF;
        balancing.cboBalanceMode_Click(i);
        EXPECT_EQ(setup, mode[i]) << "mode " << i;
    }
    for (int i = 0; i < 8; ++i) {
        setup = 0x3FFF;
        balancing.cboBalanceWait_Click(i);
        EXPECT_EQ(setup, 0x03E3 | (i << 2)) << "wait " << i;
    }
    int16_t& time = chipReg(1, 149);
    for (int i : {0, 1, 64, 126, 127}) {
        time = 0x3FFF;
        balancing.cboBalanceTimeout_Click(i);
        EXPECT_EQ(time, 0x007F | (i << 7)) << "timeout " << i;
    }
}

}  // namespace
}  // namespace kvb::test
