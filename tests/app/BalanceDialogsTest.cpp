#include "app/BalanceFixture.h"
#include "data/DeviceConfigFiles.h"

#include <fstream>

#include <gtest/gtest.h>

namespace kvb::test {
namespace {

constexpr int kSetup = 147;

class BalanceDialogsTest : public BalanceFixture, public ::testing::Test {};

TEST_F(BalanceDialogsTest, ReadingBankTwelvePointsTheSetupRegisterAt384)
{
    ASSERT_TRUE(connect(true, 2));
    link.selectDevice(2);
    chipReg(2, kSetup) = 0x3FFF;
    chip(2).balanceBanks[12] = 0x0A5A;
    sequence.cbRead_Click(12);
    EXPECT_EQ(chipReg(2, kSetup), 0x021F + 384);
    EXPECT_EQ(sequence.text[12], "0A5A");
    EXPECT_EQ(sequence.upDown[12], 0x0A5A);
    EXPECT_EQ(sequence.bits[12], 0x0A5A);
    EXPECT_TRUE(banks.known(2, 12));
    EXPECT_EQ(banks.value(2, 12), 0x0A5A);
    EXPECT_FALSE(banks.known(2, 11));
}

TEST_F(BalanceDialogsTest, AllDevicesWriteTheShownValueWithTheirOwnPointer)
{
    ASSERT_TRUE(connect(true, 3));
    chipReg(1, kSetup) = 0x0001;
    chipReg(2, kSetup) = 0x0202;
    chipReg(3, kSetup) = 0x0003;
    sequence.modes.allDevices = true;
    HexEdit edit{"0000", 4, 4, 0};
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(3, edit, '7'));
    sequence.cbWrite_Click(3);
    for (int d = 1; d <= 3; ++d) {
        EXPECT_EQ(chip(d).balanceBanks[3], 7) << d;
        EXPECT_EQ(banks.value(d, 3), 7) << d;
    }
    EXPECT_EQ(chipReg(2, kSetup), 0x0202 + 3 * 32);
    EXPECT_EQ(chipReg(3, kSetup), 0x0003 + 3 * 32);
}

TEST_F(BalanceDialogsTest, BankEditorsStayInStep)
{
    HexEdit edit{"0FFF", 4, 4, 0};
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(0, edit, '1'));
    EXPECT_EQ(edit.text, "0FF1");
    EXPECT_EQ(edit.caret, 1);
    EXPECT_EQ(sequence.upDown[0], 4081);
    EXPECT_EQ(sequence.bits[0], 0x0FF1);
    EXPECT_FALSE(sequence.tbRegdata_KeyPress(0, edit, 'x'));

    HexEdit one{"0", 1, 1, 0};
    ASSERT_TRUE(sequence.tbRegdata_KeyPress(1, one, kKeyBackspace));
    EXPECT_EQ(one.text, "0");

    sequence.cbRegToggleBit_Click(2 * 12 + 11);
    EXPECT_EQ(sequence.text[2], "0800");
    EXPECT_EQ(sequence.upDown[2], 0x800);
    sequence.updnRegData_Change(2, 5);
    EXPECT_EQ(sequence.text[2], "0005");
    EXPECT_EQ(sequence.bits[2], 5);
}

TEST_F(BalanceDialogsTest, AValueAboveTwelveBitsIsShownInFull)
{
    // As a chip with bits 12 and 13 set would answer.
    sequence.tbRegdata_Deleted(4, "3001");
    EXPECT_EQ(sequence.upDown[4], 1);
    EXPECT_EQ(sequence.bits[4], 1);
    EXPECT_EQ(sequence.text[4], "3001");
}

TEST_F(BalanceDialogsTest, SingleDeviceLinkWorksOnDeviceOne)
{
    ASSERT_TRUE(connect(false, 1));
    link.selectDevice(3);
    chip(1).balanceBanks[2] = 0x0123;
    sequence.cbRead_Click(2);
    EXPECT_EQ(sequence.text[2], "0123");
    EXPECT_EQ(banks.value(1, 2), 0x0123);
    values.updnRegData_Change(0, 16384);
    EXPECT_EQ(link.image.at(0, 1, 161), 1);
    EXPECT_EQ(link.image.at(0, 3, 161), 0);
}

TEST_F(BalanceDialogsTest, TheBroadcastAndIdentifyAddressesReachNoSetupRegister)
{
    // Every bank access first rewrites the addressed device's setup
    // register; through address 15 that would give all three the same one.
    ASSERT_TRUE(connect(true, 3));
    chipReg(1, kSetup) = 0x0201;
    chipReg(2, kSetup) = 0x0206;
    chipReg(3, kSetup) = 0x0003;
    for (int device : {15, 0}) {
        link.selectDevice(static_cast<int16_t>(device));
        const size_t before = chain.received.size();
        sequence.cbRead_Click(3);
        sequence.cbWrite_Click(3);
        EXPECT_EQ(chain.received.size(), before) << device;
    }
    EXPECT_EQ(chipReg(1, kSetup), 0x0201);
    EXPECT_EQ(chipReg(2, kSetup), 0x0206);
    EXPECT_EQ(chipReg(3, kSetup), 0x0003);
    EXPECT_TRUE(logHas("cbWrite_Click: device 0 is not a chain position, nothing sent."));
}

TEST_F(BalanceDialogsTest, WithoutABoardReadAllTellsOnce)
{
    sequence.cbReadAll_Click();
    values.cbWriteAll_Click();
    ASSERT_EQ(t.prompter.asked.size(), 2u);
    EXPECT_TRUE(logHas("cbReadAll_Click: EVB not detected."));
    EXPECT_TRUE(logHas("cbWriteAll_Click: EVB not detected."));
}

TEST_F(BalanceDialogsTest, BalanceValuesSplitIntoFourteenBitHalves)
{
    HexEdit dec{"000000000", 9, 9, 0};
    ASSERT_TRUE(values.tbRegdataDec_KeyPress(0, dec, '1'));
    EXPECT_EQ(values.hexText[0], "0000001");
    EXPECT_EQ(link.image.at(0, 1, 160), 1);
    EXPECT_EQ(link.image.at(0, 1, 161), 0);

    HexEdit big{"268435455", 9, 9, 0};
    ASSERT_TRUE(values.tbRegdataDec_KeyPress(1, big, '9'));
    EXPECT_EQ(big.text, "268435455");
    EXPECT_EQ(values.hexText[1], "FFFFFFF");
    EXPECT_EQ(link.image.at(0, 1, 162), 0x3FFF);
    EXPECT_EQ(link.image.at(0, 1, 163), 0x3FFF);

    HexEdit hex{"0000000", 7, 7, 0};
    ASSERT_TRUE(values.tbRegdataHex_KeyPress(2, hex, '4'));
    EXPECT_EQ(values.decText[2], "000000004");
    EXPECT_FALSE(values.tbRegdataDec_KeyPress(2, dec, 'A'));
}

TEST_F(BalanceDialogsTest, AllDevicesReceiveTheirOwnValuesLowHalfFirst)
{
    ASSERT_TRUE(connect(true, 3));
    // Cell 12's value differs per device, as a configuration file sets it.
    const std::string path = ::testing::TempDir() + "balance_values.txt";
    std::ofstream(path, std::ios::binary)
        << "wrt,KVB71853,dev0x01,cat0x0A,adr0x36,dat0x0011\r\n"
           "wrt,KVB71853,dev0x01,cat0x0A,adr0x37,dat0x0001\r\n"
           "wrt,KVB71853,dev0x02,cat0x0A,adr0x36,dat0x0022\r\n"
           "wrt,KVB71853,dev0x02,cat0x0A,adr0x37,dat0x0002\r\n"
           "wrt,KVB71853,dev0x03,cat0x0A,adr0x36,dat0x0033\r\n"
           "wrt,KVB71853,dev0x03,cat0x0A,adr0x37,dat0x0003\r\n";
    data::DataLogging logging{t.services};
    data::DeviceConfigFiles files{link, logging, banks, t.services};
    t.files.openAnswers = {path};
    ASSERT_EQ(files.LoadDeviceConfig(), path);
    for (int d = 1; d <= 3; ++d)
        chipReg(d, 182) = chipReg(d, 183) = 0;

    // Device 2 is on screen and edited; the others keep their loaded values.
    link.selectDevice(2);
    values.Form_Activate();
    EXPECT_EQ(values.hexText[11], "0008022");
    values.updnRegData_Change(11, 0x4005);
    values.modes.allDevices = true;
    takeWrites();
    values.cbWrite_Click(11);
    EXPECT_EQ(takeWrites(), (std::vector<std::string>{
                                "wrt,KVB71853,dev0x01,cat0x0A,adr0x36,dat0x0011",
                                "wrt,KVB71853,dev0x01,cat0x0A,adr0x37,dat0x0001",
                                "wrt,KVB71853,dev0x02,cat0x0A,adr0x36,dat0x0005",
                                "wrt,KVB71853,dev0x02,cat0x0A,adr0x37,dat0x0001",
                                "wrt,KVB71853,dev0x03,cat0x0A,adr0x36,dat0x0033",
                                "wrt,KVB71853,dev0x03,cat0x0A,adr0x37,dat0x0003"}));
    EXPECT_EQ(chipReg(1, 182), 0x11);
    EXPECT_EQ(chipReg(1, 183), 1);
    EXPECT_EQ(chipReg(2, 182), 5);
    EXPECT_EQ(chipReg(2, 183), 1);
    EXPECT_EQ(chipReg(3, 182), 0x33);
    EXPECT_EQ(chipReg(3, 183), 3);

    // Single mode sends the selected device only, from its image.
    values.modes.allDevices = false;
    link.selectDevice(3);
    chipReg(3, 182) = 0;
    values.cbWrite_Click(11);
    EXPECT_EQ(takeWrites().size(), 2u);
    EXPECT_EQ(chipReg(3, 182), 0x33);
    EXPECT_EQ(chipReg(2, 182), 5);

    chipReg(1, 160) = 0x0100;
    chipReg(1, 161) = 0x0002;
    link.selectDevice(1);
    values.cbRead_Click(0);
    EXPECT_EQ(values.hexText[0], "0008100");
    EXPECT_EQ(values.upDown[0], 0x8100);
}

}  // namespace
}  // namespace kvb::test
