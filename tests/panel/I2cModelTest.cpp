#include "panel/PanelFixture.h"

using namespace kvb;
using namespace kvb::board;
using namespace kvb::panel;
using kvb::test::PanelTest;

namespace {

using I2cTest = PanelTest;

TEST_F(I2cTest, AddressTextIsNormalisedToAnEvenAddressAndItsBits)
{
    I2cAddressModel& a = panel().i2cAddress;
    EXPECT_EQ(a.addressText, "50");  // the panel's load shows the default

    auto before = t.clock.now();
    a.addressTextChanged("51");
    EXPECT_GE((t.clock.now() - before).count(), 500);
    EXPECT_EQ(a.addressText, "50");
    EXPECT_EQ(a.I2cSlaveAddress, 0x50);
    EXPECT_EQ(a.addressBits, (std::array<bool, 7>{false, false, false, true, false, true, false}));

    a.applyAddressText("A");
    EXPECT_EQ(a.addressText, "0A");
    EXPECT_EQ(a.addressBits, (std::array<bool, 7>{true, false, true, false, false, false, false}));
    a.applyAddressText("");
    EXPECT_EQ(a.addressText, "00");
    EXPECT_EQ(a.addressBits, (std::array<bool, 7>{}));

    // A bit box writes the address box at once; its handler takes the
    // address half a second later.
    std::string shownDuringTheWait;
    t.pump.hook = [&] { shownDuringTheWait = a.addressText; };
    before = t.clock.now();
    a.setAddressBit(6, true);
    EXPECT_GE((t.clock.now() - before).count(), 500);
    EXPECT_EQ(shownDuringTheWait, "80");
    EXPECT_EQ(a.addressText, "80");
    EXPECT_EQ(a.I2cSlaveAddress, 0x80);
    EXPECT_EQ(a.addressBits, (std::array<bool, 7>{false, false, false, false, false, false, true}));
}

TEST_F(I2cTest, ScanStopsAtTheFirstDeviceAfterFortyOneProbes)
{
    I2cAddressModel& a = panel().i2cAddress;
    std::vector<bool> busy;
    panel().notices.busyChanged = [&](bool b) { busy.push_back(b); };
    EXPECT_EQ(a.scan(), 41);
    auto probes = sent(HidI2cTransfer);
    ASSERT_EQ(probes.size(), 41u);
    EXPECT_EQ(probes.front()[2], 0x01);
    EXPECT_EQ(probes.back()[2], 0x51);
    EXPECT_EQ(probes.back()[4], 0);  // Random clear: no register byte
    EXPECT_EQ(a.addressText, "50");
    EXPECT_EQ(grid().slaveAddress, "50");
    EXPECT_TRUE(t.prompter.asked.empty());
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
}

TEST_F(I2cTest, ScanWithoutADeviceAsksAndYesEndsTheProgram)
{
    board->faults.errorByte = true;  // nobody acknowledges
    t.prompter.script = {Answer::No};
    EXPECT_EQ(panel().i2cAddress.scan(), 128);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "Dravonel HID USB (PID 2035)  I2C address not found. Close GUI?");
    EXPECT_EQ(t.prompter.asked[0].buttons, Buttons::YesNo);
    EXPECT_EQ(panel().i2cAddress.addressText, "FE");
    EXPECT_FALSE(t.programEnd.ending());

    t.prompter.script = {Answer::Yes};
    panel().i2cAddress.scan();
    EXPECT_TRUE(t.programEnd.ending());
    EXPECT_FALSE(context->transport.hasBoard());  // closed on the way out
}

TEST_F(I2cTest, BlockReadPlacesBytesFromTheStartRegisterWithinTheGrid)
{
    for (int i = 0; i < 256; ++i)
        board->i2cMemory[i] = static_cast<uint8_t>(i);
    grid().random = true;
    grid().numToRead = "8";
    grid().startRegRd = "3C";
    panel().i2c.blockRead();
    EXPECT_EQ(grid().readVal[0x3C], "3C");
    EXPECT_EQ(grid().readVal[0x3F], "3F");
    EXPECT_EQ(grid().readVal[0x3B], "");
    EXPECT_EQ(grid().slaveAddress, "50");

    board->requests.clear();
    grid().startRegRd = "40";
    panel().i2c.blockRead();
    EXPECT_EQ(sent(HidI2cTransfer).size(), 1u);  // sent, nothing shown
    EXPECT_EQ(grid().readVal[0], "");

    grid().random = false;
    grid().numToRead = "4";
    board->requests.clear();
    panel().i2c.blockRead();
    EXPECT_EQ(sent(HidI2cTransfer)[0][4], 0);
    EXPECT_EQ(grid().readVal[3], "03");
    EXPECT_EQ(grid().readVal[4], "");

    panel().i2c.clearReadBoxes();
    EXPECT_EQ(grid().readVal[3], "");
    EXPECT_EQ(grid().readVal[0x3C], "3C");
}

TEST_F(I2cTest, BlockWriteTakesRowsFromZeroAndRefusesBadBoxes)
{
    i2cBlockWrite("10", "3", {"A1", "B2", "C3"});
    EXPECT_EQ(board->i2cMemory[0x10], 0xA1);
    EXPECT_EQ(board->i2cMemory[0x12], 0xC3);

    board->requests.clear();
    grid().writeVal[1] = "--";
    panel().i2c.blockWrite();
    EXPECT_TRUE(sent(HidI2cTransfer).empty());
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_NE(t.prompter.asked[0].text.find("Write box 01"), std::string::npos);
}

TEST_F(I2cTest, SimpleReadShowsNoDataWhenTheDeviceDidNotAnswer)
{
    grid().random = true;
    grid().startRegRd = "3E";
    grid().numToRead = "4";
    board->i2cMemory[0x3E] = 0x77;
    panel().i2c.simpleRead();
    EXPECT_EQ(grid().readVal[0x3E], "77");

    board->faults.errorByte = true;
    panel().i2c.simpleRead();
    EXPECT_EQ(grid().readVal[0x3E], "--");
    EXPECT_TRUE(t.prompter.asked.empty());  // one quiet attempt
}

TEST_F(I2cTest, SimpleReadDrainsAStaleAnswerBeforeItsRequest)
{
    // An answer left over from an earlier transfer must not pass for this
    // read's data, nor make every later read show the answer before it.
    board->i2cMemory[0] = 0x11;
    board->i2cMemory[1] = 0x11;
    grid().numToRead = "2";
    board->queueReport(board::Report{1, 0x00, 0x12, 0xF1});
    panel().i2c.simpleRead();
    EXPECT_EQ(grid().readVal[0], "11");
    EXPECT_EQ(grid().readVal[1], "11");
    EXPECT_EQ(board->pendingReports(), 0u);

    board->i2cMemory[0] = 0x22;
    panel().i2c.simpleRead();
    EXPECT_EQ(grid().readVal[0], "22");
}

TEST_F(I2cTest, ToggleWritesTheOtherValue)
{
    I2cTransferModel& i2c = panel().i2c;
    grid().random = true;
    i2c.registerText = "5";
    i2c.writeIndividual = {"01", "2"};
    board->i2cMemory[5] = 0x01;
    i2c.writeToggle(0);
    EXPECT_EQ(board->i2cMemory[5], 0x02);
    EXPECT_EQ(i2c.readIndividual, "02");
    EXPECT_EQ(i2c.registerText, "05");
    EXPECT_EQ(i2c.writeIndividual[1], "2");
    i2c.writeToggle(1);
    EXPECT_EQ(board->i2cMemory[5], 0x01);
    EXPECT_EQ(i2c.writeIndividual[1], "02");
    board->i2cMemory[5] = 0x05;
    i2c.writeToggle(1);
    EXPECT_EQ(board->i2cMemory[5], 0x02);
}

TEST_F(I2cTest, SclToggleTellsOfSdaByBitZeroOfTheAnswer)
{
    board->sclToggleAnswer = 0x02;
    panel().i2cAddress.toggleScl();
    EXPECT_TRUE(t.prompter.asked.empty());

    board->sclToggleAnswer = 0x01;
    panel().i2cAddress.toggleScl();
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "SDA error");
    EXPECT_EQ(t.prompter.asked[0].buttons, Buttons::Ok);
}

TEST_F(I2cTest, FillsAndTheSclToggle)
{
    grid().numToWrite = "3";
    panel().i2c.fillOption = 3;
    panel().i2c.fillWriteBoxes();
    EXPECT_EQ(grid().writeVal[2], "AA");
    EXPECT_EQ(grid().writeVal[3], "00");

    panel().i2cAddress.toggleScl();
    EXPECT_EQ(sent(HidI2cOptions).back()[5], 1);
    EXPECT_TRUE(t.prompter.asked.empty());
    board->faults.noAnswer = true;
    board->queueReport(board::Report{1, 0, 0x01});
    panel().i2cAddress.repeatedStart = false;
    // The stale report is drained first; SDA is judged only by an answer.
    t.prompter.script = {Answer::Retry};
    panel().i2cAddress.toggleScl();
    EXPECT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "Please check USB connection.\ncheckStatus");
}

}  // namespace
