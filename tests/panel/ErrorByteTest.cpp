// Answers whose error byte is not 0: the panel shows what the board sent.
// Only a missing answer shows "--".

#include "panel/PanelFixture.h"
#include "support/ReportBytes.h"

using namespace kvb;
using namespace kvb::board;
using namespace kvb::panel;

namespace {

class ErrorByte : public test::PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        board->faults.errorByte = true;  // every answer carries error byte 01
    }
};

TEST_F(ErrorByte, PortReadBackAndSfrReadShowTheData)
{
    PortModel& ports = panel().ports;
    SfrModel& sfr = panel().sfr;
    ports.rowChanged(PortRow::Data, 1);  // P1.0 and P1.3 high: "09"
    ports.write(PortRow::Data, 1);
    EXPECT_TRUE(ports.read(PortRow::Data, 1));
    EXPECT_EQ(ports.readLabel(PortRow::Data, 1), "09");
    EXPECT_EQ(ports.lamp(PortModel::lampIndex(PortRow::Data, 1)), Lamp::LightGreen);

    board->sfr[0x80] = 0x5A;
    sfr.address = "80";
    EXPECT_EQ(sfr.readSfr(), 0x5A);
    EXPECT_EQ(sfr.buffer, (std::array<std::string, 4>{"01", "01", "00", "5A"}));

    // The list read: value and lamp as for error byte 0.
    sfr.readRow(0);
    EXPECT_EQ(sfr.rows[0].read, "5A");
    EXPECT_EQ(sfr.rows[0].lamp, Lamp::LightGreen);

    // No answer at all: nothing to show.
    board->faults.noAnswer = true;
    t.prompter.script = {Answer::Retry, Answer::Retry};
    EXPECT_FALSE(sfr.readSfr());
    EXPECT_EQ(sfr.buffer, (std::array<std::string, 4>{"--", "--", "--", "--"}));
    EXPECT_FALSE(ports.read(PortRow::Data, 1));
    EXPECT_EQ(ports.readLabel(PortRow::Data, 1), "--");
}

TEST_F(ErrorByte, SampleGpTakesThePortValues)
{
    PortModel& ports = panel().ports;
    board->sfr[0x80] = 0x5A;
    ports.autoWriteRead = true;
    ports.sampleGp();
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_EQ(ports.box(PortRow::Data, 0, bit), ((0x5A >> bit) & 1) != 0) << bit;
    EXPECT_EQ(ports.writeLabel(PortRow::Data, 0), "5A");
    EXPECT_EQ(ports.readLabel(PortRow::Data, 0), "5A");
}

TEST_F(ErrorByte, SpiClockIsReadAndItsCodeSentBack)
{
    SpiModel& spi = panel().spi;
    board->spiClockCode = 2;
    ASSERT_TRUE(spi.getSPIclock());
    ASSERT_EQ(spi.clockEntries.size(), 24u);
    EXPECT_EQ(spi.clockEntries.front().text, "0.5");
    EXPECT_EQ(spi.clockEntries.back().text, "12");
    EXPECT_EQ(spi.clockEntries[static_cast<size_t>(spi.selectedClock)].text, "4");
    const Report set = sent(HidSpiClock).back();
    EXPECT_EQ(test::Head(set, 4), (std::vector<int>{0x01, 0x08, 0x00, 0x02}));
}

TEST_F(ErrorByte, FirmwareVersionIsRead)
{
    board->firmware = {2, 5, 0x07, 0xDC, 10, 31};
    EXPECT_TRUE(panel().readFirmwareVersion());
    EXPECT_EQ(panel().firmwareVersion, "Firmware Version 2.5 - 2012/October/31");
    EXPECT_EQ(panel().firmwareVersionCopy, panel().firmwareVersion);
}

TEST_F(ErrorByte, McuAdcLabelsAndConversionShowTheAnswer)
{
    McuAdcModel& adc = panel().mcuAdc;
    adc.writeClock();  // ADOSC 38
    adc.readClock();
    EXPECT_EQ(adc.clockLabels, (std::array<std::string, 4>{"01", "01", "18", "38"}));

    adc.enable = true;
    adc.writeEnable();
    adc.readEnable();
    EXPECT_EQ(adc.enableLabels, (std::array<std::string, 3>{"01", "01", "01"}));
    EXPECT_EQ(adc.enabledLamp, Lamp::LightRed);

    adc.continuous = true;
    adc.writeAdcMode();
    adc.continuous = false;
    adc.readAdcMode();
    EXPECT_EQ(adc.modeLabels[2], "01");
    EXPECT_TRUE(adc.continuous);

    board->adcConversion = 0x03FF;
    adc.convert();
    EXPECT_EQ(adc.count, " 1023");
}

TEST_F(ErrorByte, AdcChipRegisterAndConversionShowTheAnswer)
{
    AdcChipModel& chip = panel().adcChip;
    chip.reg[1] = "FF";  // read back as [2] = 01, [3] = FE
    EXPECT_TRUE(chip.writeReadRegister());
    EXPECT_EQ(chip.received[0], "01");
    EXPECT_EQ(chip.received[1], "01");
    EXPECT_EQ(chip.registerRead, "FF");

    board->adcChipConversion = 0x7FFFFF;
    EXPECT_TRUE(chip.readConversion());
    EXPECT_EQ(chip.decimal, "8388607");
    EXPECT_EQ(chip.millivolts, "2500.00");
    board->adcChipConversion = 0x800000;
    chip.readConversion();
    EXPECT_EQ(chip.decimal, "-8388608");
    EXPECT_EQ(chip.millivolts, "-2500.00");
}

}  // namespace
