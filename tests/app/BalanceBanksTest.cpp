// The balance status bank table follows every write of the balance status
// register that a chip took, whichever control sent it.

#include "app/BalanceFixture.h"
#include "app/RawMessage.h"

#include <gtest/gtest.h>

namespace kvb::test {
namespace {

constexpr int kSetup = 147, kStatus = 148;

class BalanceBanksTest : public BalanceFixture, public ::testing::Test {
protected:
    RawMessageSender sender{link, t.services};

    // A register tab of the setup register (row 0) and the status register
    // (row 1), shown for `device`.
    void showBalanceTab(int device)
    {
        link.definitions.tabNames[0][0] = "Balance";
        link.definitions.tabRegisters[0][0] = {kSetup, kStatus, -1, -1, -1, -1, -1, -1};
        ASSERT_TRUE(rows.showTab(0, 0, device));
    }
    bool anyBankKnown(int device) const
    {
        for (int bank = 0; bank < kBalanceBanks; ++bank)
            if (banks.known(device, bank))
                return true;
        return false;
    }
};

TEST_F(BalanceBanksTest, DaisyChainWritesLandInTheBankTheChipPointsAtWithTheChipsEcho)
{
    ASSERT_TRUE(connect(true, 3));
    link.selectDevice(2);
    showBalanceTab(2);
    chipReg(2, kSetup) = 0x0201 | 5 * 32;  // manual, enabled, bank 5
    rowActions.cbRead_Click(0);
    // A row edit of the pointer that is never sent moves nothing in the chip.
    link.image.at(0, 2, kSetup) = 0x0201 | 7 * 32;

    link.image.at(0, 2, kStatus) = 0x0123;
    rowActions.cbWrite_Click(1);
    ASSERT_EQ(chip(2).balanceBanks[5], 0x0123);
    EXPECT_TRUE(banks.known(2, 5));
    EXPECT_EQ(banks.value(2, 5), 0x0123);
    EXPECT_FALSE(banks.known(2, 7));

    // The raw sender's write: the chip keeps twelve bits of 0x3FFF and
    // echoes what it kept.
    sender.cbSendRawMsg_Click({"2", "A", "14", "3FFF", "0"}, 0);
    ASSERT_EQ(chip(2).balanceBanks[5], 0x0FFF);
    EXPECT_EQ(banks.value(2, 5), 0x0FFF);

    // Write Group sends the edited pointer first: the status write then
    // lands in bank 7.
    link.image.at(0, 2, kStatus) = 0x0042;
    rowActions.cbWriteRegs_Click();
    ASSERT_EQ(chip(2).balanceBanks[7], 0x0042);
    EXPECT_EQ(banks.value(2, 7), 0x0042);
    EXPECT_EQ(banks.value(2, 5), 0x0FFF);

    // A write the chip refuses records nothing.
    chain.faults.nack = true;
    sender.cbSendRawMsg_Click({"2", "A", "14", "0001", "0"}, 0);
    chain.faults.nack = false;
    EXPECT_EQ(banks.value(2, 7), 0x0042);

    // Device 3's pointer was never read; 15 and 0 are no device of their own.
    sender.cbSendRawMsg_Click({"3", "A", "14", "0004", "0"}, 0);
    ASSERT_EQ(chip(3).balanceBanks[0], 0x0004);
    sender.cbSendRawMsg_Click({"F", "A", "14", "0002", "0"}, 0);
    sender.cbSendRawMsg_Click({"0", "A", "14", "0003", "0"}, 0);
    for (int device : {0, 3, 15})
        EXPECT_FALSE(anyBankKnown(device)) << device;

    // A new connection forgets where the pointers stood.
    ASSERT_TRUE(connect(true, 3));
    chipReg(2, kSetup) = 0x0201 | 5 * 32;
    sender.cbSendRawMsg_Click({"2", "A", "14", "0005", "0"}, 0);
    EXPECT_FALSE(anyBankKnown(2));
}

TEST_F(BalanceBanksTest, SingleDeviceWritesKeepTheDataSentInImageAndBank)
{
    ASSERT_TRUE(connect(false, 1));
    chipReg(1, kSetup) = 0x0001 | 4 * 32;
    ASSERT_TRUE(readReg(1, 2, 0x13));

    // The raw sender's device field is not sent on this link: its one chip
    // is device 1.
    sender.cbSendRawMsg_Click({"0", "A", "14", "0123", "0"}, 0);
    ASSERT_EQ(chip(1).balanceBanks[4], 0x0123);
    EXPECT_EQ(banks.value(1, 4), 0x0123);
    EXPECT_EQ(link.image.at(0, 1, kStatus), 0x0123);

    // Any register: the image holds what the chip took, as the chip's.
    link.image.at(0, 1, 144) = 0x0AAA;
    sender.cbSendRawMsg_Click({"0", "A", "10", "0123", "0"}, 0);
    ASSERT_EQ(chipReg(1, 144), 0x0123);
    EXPECT_EQ(link.image.at(0, 1, 144), 0x0123);
    EXPECT_TRUE(link.image.known(0, 1, 144));
}

TEST_F(BalanceBanksTest, ACellButtonUsesThePointerTheChipHoldsNotAnEditedOne)
{
    ASSERT_TRUE(connect(true, 3));
    link.selectDevice(2);
    chipReg(2, kSetup) = 0x0201 | 5 * 32;
    chip(2).balanceBanks[5] = 0x0005;
    sequence.cbRead_Click(5);
    ASSERT_EQ(banks.value(2, 5), 0x0005);
    link.image.at(0, 2, kSetup) = 0x0201 | 9 * 32;  // edited in a row, not sent

    EXPECT_EQ(balancing.cbMainTabBalCtrl_Click(1, false), std::optional<bool>(true));
    ASSERT_EQ(chip(2).balanceBanks[5], 0x0007);
    EXPECT_EQ(banks.value(2, 5), 0x0007);
    EXPECT_FALSE(banks.known(2, 9));
}

}  // namespace
}  // namespace kvb::test
