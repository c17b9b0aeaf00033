// The board panel's requests byte for byte, as the board's command table
// gives them.

#include "panel/PanelFixture.h"
#include "support/ReportBytes.h"

#include <utility>

using namespace kvb;
using namespace kvb::board;
using namespace kvb::panel;
using kvb::test::Head;
using kvb::test::PanelTest;

namespace {

using BoardRequests = PanelTest;

TEST_F(BoardRequests, I2cOptionsFirmwareQueryAndAdcCommands)
{
    I2cAddressModel& i2c = panel().i2cAddress;
    i2c.setOption(i2c.repeatedStart, true);
    EXPECT_EQ(Head(sent(HidI2cOptions).back(), 6), (std::vector<int>{1, 0x04, 0, 1, 0, 0}));
    i2c.setOption(i2c.repeatedStart, false);
    i2c.setOption(i2c.stoppedWrite, true);
    EXPECT_EQ(Head(sent(HidI2cOptions).back(), 6), (std::vector<int>{1, 0x04, 0, 2, 0, 0}));
    i2c.setOption(i2c.extendHold, true);
    EXPECT_EQ(Head(sent(HidI2cOptions).back(), 6), (std::vector<int>{1, 0x04, 0, 2, 1, 0}));

    panel().readFirmwareVersion();
    EXPECT_EQ(Head(sent(HidFirmwareVersion).back(), 4), (std::vector<int>{1, 0x00, 0, 0}));

    McuAdcModel& adc = panel().mcuAdc;
    adc.readMode = 2;    // "2: Continuous 2"
    adc.sampleMode = 1;  // "1:  1 Sample"
    adc.convert();
    EXPECT_EQ(Head(sent(HidAdcConvert).back(), 4), (std::vector<int>{1, 0x11, 2, 1}));

    adc.loopCount = "10";
    adc.writeLoopCount();
    EXPECT_EQ(Head(board->requests.back(), 4), (std::vector<int>{1, 0x0E, 0, 10}));
}

TEST_F(BoardRequests, AdcModeReadChoosesContinuousOrSingle)
{
    McuAdcModel& adc = panel().mcuAdc;
    board->adcSettings[HidAdcMode] = 1;
    adc.readAdcMode();
    EXPECT_EQ(adc.modeLabels[2], "01");
    EXPECT_TRUE(adc.continuous);
    board->adcSettings[HidAdcMode] = 0;
    adc.readAdcMode();
    EXPECT_FALSE(adc.continuous);
}

TEST_F(BoardRequests, ResetGpioNeverTakesPortThreeLow)
{
    PortModel& ports = panel().ports;
    for (int bit = 0; bit < 8; ++bit)
        ports.setBox(PortRow::Data, 3, bit, true);
    ports.autoWriteRead = true;
    board->requests.clear();
    ports.resetGpio();
    int port3Writes = 0;
    for (const Report& r : sent(HidSfr)) {
        if (r[2] == kSubSet && r[3] == 0xB0) {
            ++port3Writes;
            EXPECT_EQ(r[4], 0xFF);
        }
    }
    EXPECT_EQ(port3Writes, 0);  // its boxes were already high: nothing changed
    EXPECT_EQ(board->sfr[0xB0], 0xFF);
}

TEST_F(BoardRequests, WriteEqualsReadCopiesOnlyWhenTicked)
{
    SfrModel& sfr = panel().sfr;
    board->sfr[0x80] = 0x5A;
    sfr.writeEqRead = false;
    sfr.readAll();
    EXPECT_EQ(sfr.rows[0].read, "5A");
    EXPECT_EQ(sfr.rows[0].written, "00");
    sfr.writeEqRead = true;
    sfr.readAll();
    EXPECT_EQ(sfr.rows[0].written, "5A");
}

TEST_F(BoardRequests, InitAdIoWritesEachPort1RegisterBeforeReadingIt)
{
    panel().adcChip.initAdcIo();
    std::vector<std::pair<int, int>> sfrRequests;  // (sub-command, address)
    for (const Report& r : sent(HidSfr))
        sfrRequests.push_back({r[2], r[3]});
    EXPECT_EQ(sfrRequests,
              (std::vector<std::pair<int, int>>{{0, 0xA5}, {1, 0xA5}, {0, 0x90}, {1, 0x90}}));
}

TEST_F(BoardRequests, I2cReadTakesAtMost62Bytes)
{
    HidTransport& transport = context->transport;
    for (int i = 0; i < 62; ++i)
        board->i2cMemory[i] = static_cast<uint8_t>(i + 1);
    std::vector<uint8_t> data(63, 0);
    EXPECT_EQ(transport.I2cRead(0x50, 62, data, {}), Status::Done);
    EXPECT_EQ(Head(sent(HidI2cTransfer).back(), 5), (std::vector<int>{1, 0x06, 0x51, 62, 0}));
    EXPECT_EQ(data[0], 1);
    EXPECT_EQ(data[61], 62);

    const size_t before = board->requests.size();
    EXPECT_EQ(transport.I2cRead(0x50, 63, data, {}), Status::Refused);
    EXPECT_EQ(board->requests.size(), before);  // nothing sent
}

}  // namespace
