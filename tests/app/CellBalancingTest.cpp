#include "app/BalanceFixture.h"
#include "data/DeviceConfigFiles.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kvb::test {
namespace {

constexpr int kSetup = 147, kStatus = 148, kTime = 149;

class CellBalancingTest : public BalanceFixture, public ::testing::Test {};

TEST_F(CellBalancingTest, ModeTimeoutWaitAndEnableChangeOnlyTheirBits)
{
    ASSERT_TRUE(connect(true, 1));
    chipReg(1, kSetup) = 0x0164;
    balancing.cboBalanceMode_Click(1);  // one device: no question
    EXPECT_TRUE(t.prompter.asked.empty());
    EXPECT_EQ(takeWrites(),
              std::vector<std::string>{"wrt,KVB71853,dev0x01,cat0x0A,adr0x13,dat0x0005"});
    EXPECT_FALSE(lines("cmd,KVB71853,dev0x01,cat0x02,adr0x14").empty());
    // The bank read lands in the image for the cell buttons; the balance
    // status table is the balance sequence dialog's alone.
    EXPECT_EQ(link.image.at(0, 1, 148), chipReg(1, 148));
    EXPECT_FALSE(banks.known(1, 0));

    chipReg(1, kSetup) = 0x0164;
    const size_t readsBefore = lines("cmd,").size();
    balancing.cboBalanceMode_Click(3);
    EXPECT_EQ(takeWrites(),
              std::vector<std::string>{"wrt,KVB71853,dev0x01,cat0x0A,adr0x13,dat0x0167"});
    EXPECT_EQ(lines("cmd,").size(), readsBefore + 1);  // the setup register only

    t.prompter.fallback = Answer::Yes;  // timeout and wait ask even with one device
    chipReg(1, kTime) = 0x0055;
    balancing.cboBalanceTimeout_Click(127);
    EXPECT_EQ(chipReg(1, kTime), 0x3FD5);
    balancing.cboBalanceTimeout_Click(0);
    EXPECT_EQ(chipReg(1, kTime), 0x0055);
    ASSERT_EQ(t.prompter.asked.size(), 2u);
    EXPECT_EQ(t.prompter.asked[0].title, "Configure CB Timeout");

    chipReg(1, kSetup) = 0x0003;
    balancing.cboBalanceWait_Click(7);
    EXPECT_EQ(chipReg(1, kSetup), 0x001F);

    chipReg(1, kSetup) = 0x3FFF;
    balancing.chkEnableCellBalance_Click(false);
    EXPECT_EQ(chipReg(1, kSetup), 0x01FF);
    chipReg(1, kSetup) = 0;
    balancing.chkEnableCellBalance_Click(true);
    EXPECT_EQ(chipReg(1, kSetup), 0x0200);
    EXPECT_EQ(link.image.at(0, 1, kSetup), 0x0200);
    EXPECT_FALSE(balanceComboSync);
}

TEST_F(CellBalancingTest, ChainAnswersChooseTheDevicesAndNeverTheBroadcastAddress)
{
    ASSERT_TRUE(connect(true, 3));
    link.selectDevice(2);
    t.prompter.script = {Answer::Yes};
    balancing.cboBalanceMode_Click(2);
    EXPECT_EQ(t.prompter.asked.back().text,
              "Set Cell Balance Mode on all connected KVB71853 devices?");
    for (int d = 1; d <= 3; ++d)
        EXPECT_EQ(chipReg(d, kSetup) & 3, 2) << d;

    t.prompter.script = {Answer::No};
    balancing.cboBalanceMode_Click(3);
    EXPECT_EQ(chipReg(1, kSetup) & 3, 2);
    EXPECT_EQ(chipReg(2, kSetup) & 3, 3);

    // "No" with the broadcast entry selected sends nothing.
    link.selectDevice(15);
    int restored = 0;
    balancingView.showSettingsFromImageStep = [&] { ++restored; };
    takeWrites();
    t.prompter.script = {Answer::No};
    balancing.cboBalanceWait_Click(4);
    EXPECT_TRUE(takeWrites().empty());
    EXPECT_EQ(restored, 1);
}

TEST_F(CellBalancingTest, AFailedReadWritesNothingFurther)
{
    ASSERT_TRUE(connect(true, 3));
    chain.faults.silentFrom[0] = 2;
    int restored = 0;
    balancingView.showSettingsFromImageStep = [&] { ++restored; };
    link.image.at(0, 2, kSetup) = 0x0123;  // a stale value that must not be written back
    // Device 1 answers: its setup keeps its low nine bits and gains the
    // enable bit.
    chipReg(1, kSetup) = 0x3D64;
    t.prompter.script = {Answer::Yes};
    balancing.chkEnableCellBalance_Click(true);
    EXPECT_EQ(takeWrites(),
              std::vector<std::string>{"wrt,KVB71853,dev0x01,cat0x0A,adr0x13,dat0x0364"});
    EXPECT_EQ(chipReg(1, kSetup), 0x0364);
    EXPECT_TRUE(logHas("chkEnableCellBalance_Click: KVB71853 device 2 did not answer"));
    EXPECT_EQ(restored, 1);
    EXPECT_FALSE(balanceComboSync);
}

TEST_F(CellBalancingTest, AFailedDeviceLeavesTheNextOnesToBeChanged)
{
    ASSERT_TRUE(connect(true, 3));
    int enabled = 0;
    balancingView.enableCellButtonsStep = [&] { ++enabled; };
    chain.faults.corruptCrc = 1;  // the answer to device 1's setup read
    t.prompter.script = {Answer::Yes};
    balancing.cboBalanceMode_Click(1);
    EXPECT_EQ(takeWrites(),
              (std::vector<std::string>{"wrt,KVB71853,dev0x02,cat0x0A,adr0x13,dat0x0001",
                                        "wrt,KVB71853,dev0x03,cat0x0A,adr0x13,dat0x0001"}));
    EXPECT_EQ(chipReg(1, kSetup) & 3, 0);
    EXPECT_EQ(chipReg(3, kSetup) & 3, 1);
    // Only the devices that took the mode read their bank 0.
    EXPECT_TRUE(lines("cmd,KVB71853,dev0x01,cat0x02,adr0x14").empty());
    EXPECT_EQ(lines("cmd,KVB71853,dev0x03,cat0x02,adr0x14").size(), 1u);
    EXPECT_EQ(enabled, 1);
    EXPECT_FALSE(balanceComboSync);

    // A lost board ends the change with its one box.
    board->faults.noAnswer = true;
    t.prompter.asked.clear();
    t.prompter.script = {Answer::Yes};
    balancing.cboBalanceWait_Click(2);
    EXPECT_EQ(t.prompter.texts(),
              (std::vector<std::string>{
                  "Set Cell Balance Wait Time on all connected KVB71853 devices?",
                  "USB Communications lost, Disconnect and Reconnect, Polling Terminated"}));
}

TEST_F(CellBalancingTest, SingleDeviceLinkUsesDeviceOneWithoutAQuestion)
{
    ASSERT_TRUE(connect(false, 1));
    link.selectDevice(3);
    chipReg(1, kTime) = 0x0055;
    balancing.cboBalanceTimeout_Click(3);
    EXPECT_TRUE(t.prompter.asked.empty());
    EXPECT_EQ(chipReg(1, kTime), 0x01D5);
}

TEST_F(CellBalancingTest, ChangesMadeByCodeAndRefusalsSendNothing)
{
    balancing.cboBalanceMode_Click(1);  // no board
    EXPECT_EQ(t.prompter.asked.back().text, "KVB71853 EVB not connected!");
    EXPECT_TRUE(logHas("cboBalanceMode_Click: EVB not detected. Please check connections."));

    ASSERT_TRUE(connect(true, 2));
    balancing.ComboSync = true;
    const size_t asked = t.prompter.asked.size();
    balancing.cboBalanceMode_Click(1);
    balancing.chkEnableCellBalance_Click(true);
    EXPECT_EQ(t.prompter.asked.size(), asked);
    EXPECT_TRUE(takeWrites().empty());
}

TEST_F(CellBalancingTest, PollingResumesOnEveryPathAndOnlyWhenItWasOn)
{
    ASSERT_TRUE(connect(true, 1));
    pollingTicked = true;
    balancing.cboBalance_DropDown();
    EXPECT_EQ(pollTimer.back(), false);
    balancing.cboBalanceMode_Click(1);
    balancing.cboBalance_CloseUp();
    EXPECT_EQ(link.pauseDepth(), 0);
    EXPECT_EQ(pollTimer.back(), true);

    // A list opened and closed without a choice lets polling go on.
    balancing.cboBalance_DropDown();
    balancing.cboBalance_CloseUp();
    EXPECT_EQ(pollTimer.back(), true);

    // Ticking the enable box starts the poll timer although polling is off;
    // clearing it does not.
    pollingTicked = false;
    pollTimer.clear();
    balancing.chkEnableCellBalance_Click(false);
    EXPECT_TRUE(std::find(pollTimer.begin(), pollTimer.end(), true) == pollTimer.end());
    balancing.chkEnableCellBalance_Click(true);
    EXPECT_EQ(pollTimer, std::vector<bool>{true});

    // Opening a dialog holds polling until it closes.
    pollingTicked = true;
    std::vector<std::string> order;
    balancingView.showSequenceDialogStep = [&] {
        order.push_back(pollTimer.back() ? "on" : "off");
    };
    balancingView.refreshDeviceMenuStep = [&] { order.push_back("menu"); };
    balancingView.relayoutTabStep = [&] { order.push_back("tab"); };
    balancing.cbConfigureBalanceSequence_Click();
    EXPECT_EQ(order, (std::vector<std::string>{"off", "menu", "tab"}));
    EXPECT_EQ(pollTimer.back(), true);
}

TEST_F(CellBalancingTest, CellButtonsWriteTheirBitToTheBankThePointerSelects)
{
    ASSERT_TRUE(connect(true, 3));
    link.selectDevice(2);
    chipReg(2, kSetup) = 0x0201 | 5 * 32;  // manual, enabled, pointing at bank 5
    chip(2).balanceBanks[0] = 0x0FFF;
    chip(2).balanceBanks[5] = 0x0FFF;
    link.image.at(0, 2, kStatus) = 0x0005;
    const size_t from = chain.received.size();
    const size_t reads = lines("cmd,").size();

    // One write frame to device 2, page 2 with the write bit, address 0x14,
    // data 0x0007: no question, no read, the pointer left alone.
    EXPECT_EQ(balancing.cbMainTabBalCtrl_Click(1, false), std::optional<bool>(true));
    const auto frames = framesSince(from);
    ASSERT_EQ(frames.size(), 1u);
    ASSERT_EQ(frames[0].frame.size(), 4u);
    EXPECT_EQ(frames[0].frame[0], 0x2A);
    EXPECT_EQ(frames[0].frame[1], 0x50);
    EXPECT_EQ(frames[0].frame[2], 0x00);
    EXPECT_EQ(frames[0].frame[3] >> 4, 0x7);
    EXPECT_EQ(takeWrites(),
              std::vector<std::string>{"wrt,KVB71853,dev0x02,cat0x0A,adr0x14,dat0x0007"});
    EXPECT_EQ(lines("cmd,").size(), reads);
    EXPECT_TRUE(t.prompter.asked.empty());
    EXPECT_EQ(chip(2).balanceBanks[5], 0x0007);
    EXPECT_EQ(chip(2).balanceBanks[0], 0x0FFF);
    EXPECT_EQ(chipReg(2, kSetup), 0x0201 | 5 * 32);

    // "On" clears only its own bit. The program never read the pointer, so
    // it cannot tell which bank the chip wrote: the bank table stays as it
    // was.
    EXPECT_EQ(balancing.cbMainTabBalCtrl_Click(0, true), std::optional<bool>(false));
    EXPECT_EQ(chip(2).balanceBanks[5], 0x0006);
    EXPECT_EQ(link.image.at(0, 2, kStatus), 0x0006);
    EXPECT_FALSE(link.image.known(0, 2, kSetup));
    EXPECT_FALSE(banks.known(2, 0));
    EXPECT_FALSE(banks.known(2, 5));

    // A write the chip refuses changes neither the button nor the image.
    chain.faults.nack = true;
    EXPECT_EQ(balancing.cbMainTabBalCtrl_Click(3, false), std::nullopt);
    EXPECT_EQ(link.image.at(0, 2, kStatus), 0x0006);
    chain.faults.nack = false;

    // Device 15 and device 0 are no chain positions: nothing is sent.
    for (int device : {15, 0}) {
        link.selectDevice(static_cast<int16_t>(device));
        const size_t before = chain.received.size();
        EXPECT_EQ(balancing.cbMainTabBalCtrl_Click(3, false), std::nullopt);
        EXPECT_EQ(chain.received.size(), before) << device;
    }
}

TEST_F(CellBalancingTest, ACellButtonKeepsTheSavedBankInStepWithTheChip)
{
    ASSERT_TRUE(connect(true, 3));
    link.selectDevice(2);
    chipReg(2, kSetup) = 0x0201 | 5 * 32;  // manual, enabled, pointing at bank 5
    chip(2).balanceBanks[5] = 0x0005;
    // The balance sequence dialog read bank 5 (and so the pointer).
    sequence.cbRead_Click(5);
    ASSERT_EQ(banks.value(2, 5), 0x0005);
    ASSERT_EQ(chipReg(2, kSetup), 0x02A1);

    EXPECT_EQ(balancing.cbMainTabBalCtrl_Click(1, false), std::optional<bool>(true));
    EXPECT_EQ(chip(2).balanceBanks[5], 0x0007);
    EXPECT_EQ(banks.value(2, 5), 0x0007);
    EXPECT_FALSE(banks.known(2, 0));
    // A configuration saved now stores the bit the chip holds.
    const std::vector<std::string> saved = data::DeviceConfigLines(link);
    const auto select =
        std::find(saved.begin(), saved.end(), "wrt,KVB71853,dev0x02,cat0x0A,adr0x13,dat0x02A1");
    ASSERT_NE(select, saved.end());
    ASSERT_NE(select + 1, saved.end());
    EXPECT_EQ(*(select + 1), "wrt,KVB71853,dev0x02,cat0x0A,adr0x14,dat0x0007");

    // A write the chip refuses leaves the table alone.
    chain.faults.nack = true;
    EXPECT_EQ(balancing.cbMainTabBalCtrl_Click(3, false), std::nullopt);
    chain.faults.nack = false;
    EXPECT_EQ(banks.value(2, 5), 0x0007);

    // A pointer read after a mode change to Manual selects bank 0: the next
    // button lands there in the table too.
    t.prompter.script = {Answer::No};  // the selected device only
    balancing.cboBalanceMode_Click(1);
    ASSERT_EQ(chipReg(2, kSetup) & 0x1E0, 0);
    const int16_t bank0 = chip(2).balanceBanks[0];
    EXPECT_EQ(balancing.cbMainTabBalCtrl_Click(11, (bank0 & 0x800) != 0),
              std::optional<bool>((bank0 & 0x800) == 0));
    EXPECT_EQ(banks.value(2, 0), chip(2).balanceBanks[0]);
    EXPECT_EQ(banks.value(2, 5), 0x0007);
}

}  // namespace
}  // namespace kvb::test
