#include "panel/PanelFixture.h"

using namespace kvb;
using namespace kvb::board;
using namespace kvb::panel;
using kvb::test::PanelTest;

namespace {

TEST(AdcChipValues, TwentyFourBitCountsAndMillivolts)
{
    EXPECT_EQ(AdcChipValue(0x7F, 0xFF, 0xFF), 8388607);
    EXPECT_EQ(AdcChipValue(0x80, 0x00, 0x00), -8388608);
    EXPECT_EQ(AdcChipValue(0xFF, 0xFF, 0xFF), -1);
    EXPECT_EQ(FormatMillivolts(AdcChipMillivolts(8388607)), "2500.00");
    EXPECT_EQ(FormatMillivolts(AdcChipMillivolts(-8388608)), "-2500.00");
    EXPECT_EQ(FormatMillivolts(AdcChipMillivolts(0)), "0.00");
    EXPECT_EQ(AdcChipRegisterValue(0x01, 0xFF), 0xFF);
    EXPECT_EQ(AdcChipRegisterValue(0x00, 0x03), 0x01);
}

using AdcTest = PanelTest;

TEST_F(AdcTest, ChipConversionAndRegisterReadBack)
{
    AdcChipModel& chip = panel().adcChip;
    board->adcChipConversion = 0xFFFFFF;
    ASSERT_TRUE(chip.readConversion());
    EXPECT_EQ(chip.decimal, "-1");
    EXPECT_EQ(sent(HidAdcChipRegister).back()[3], 0x84);

    chip.reg[1] = "C5";
    ASSERT_TRUE(chip.writeReadRegister());
    EXPECT_EQ(chip.registerRead, "C5");
    EXPECT_EQ(chip.received[0], "00");

    // A request that could not be written: the last conversion stays shown.
    board->adcChipConversion = 0x7FFFFF;
    ASSERT_TRUE(chip.readConversion());
    board->faults.failWrite = true;
    t.prompter.script = {Answer::Retry};
    EXPECT_FALSE(chip.readConversion());
    EXPECT_EQ(chip.decimal, "8388607");
    EXPECT_EQ(chip.millivolts, "2500.00");
    board->faults.failWrite = false;

    // No answer: "--", never the request's bytes taken as a conversion.
    board->faults.noAnswer = true;
    t.prompter.script = {Answer::Retry};
    EXPECT_FALSE(chip.readConversion());
    EXPECT_EQ(chip.decimal, "--");
    EXPECT_EQ(chip.millivolts, "--");
}

TEST_F(AdcTest, ChipIoInitialisationLeavesTheUpperPinsAlone)
{
    PortModel& ports = panel().ports;
    ports.setBox(PortRow::Data, 1, 6, true);
    panel().adcChip.initAdcIo();
    EXPECT_EQ(board->sfr[0xA5], 0xF6);  // P1.1, P1.2, P1.4 push-pull; 5..7 kept
    EXPECT_EQ(board->sfr[0x90], 0x4B);  // P1.0, P1.1, P1.3 high; P1.6 kept
    EXPECT_EQ(ports.lamp(PortModel::lampIndex(PortRow::Data, 1)), Lamp::LightGreen);
}

TEST_F(AdcTest, MuxWriteMakesTheChosenPinsAnalog)
{
    McuAdcModel& adc = panel().mcuAdc;
    adc.muxPositive = 11;  // P4.0
    adc.muxNegative = 18;  // P0.4
    adc.writeMux();
    EXPECT_EQ(adc.modeByte, (std::array<std::string, 2>{"11", "18"}));
    EXPECT_EQ(board->sfr[0xF1], 0xEF);
    EXPECT_EQ(board->sfr[0xF5], 0xFE);
    auto mux = sent(HidAdcMux).back();
    EXPECT_EQ(mux[3], 0x0B);
    EXPECT_EQ(mux[4], 0x12);

    adc.muxPositive = 21;
    adc.muxNegative = 22;
    adc.writeMux();
    EXPECT_EQ(adc.modeByte, (std::array<std::string, 2>{"30", "31"}));
    EXPECT_EQ(board->sfr[0xF1], 0xFF);
    EXPECT_EQ(board->sfr[0xF5], 0xFF);
    adc.readMux();
    EXPECT_EQ(adc.muxLabels[2], "1E");
    EXPECT_EQ(adc.muxLabels[4], "FF");
}

TEST_F(AdcTest, SettingsConversionAndLoopCount)
{
    McuAdcModel& adc = panel().mcuAdc;
    adc.writeSampleRate();
    auto rate = sent(HidAdcSampleRate).back();
    EXPECT_EQ(rate[3], 0);
    EXPECT_EQ(rate[4], 0);

    adc.loopCount = "300";
    adc.clampLoopCount();
    EXPECT_EQ(adc.loopCount, "255");
    adc.loopCount = "";
    adc.clampLoopCount();
    EXPECT_EQ(adc.loopCount, "1");

    adc.enable = true;
    adc.writeEnable();
    adc.readEnable();
    EXPECT_EQ(adc.enableLabels[2], "01");
    EXPECT_EQ(adc.enabledLamp, Lamp::LightRed);

    board->adcConversion = 0x03FF;
    adc.convert();
    EXPECT_EQ(adc.count, " 1023");
    EXPECT_EQ(adc.bytesSucceeded, " 64");

    t.prompter.script = {Answer::Ok};
    adc.writeRefControl();
    EXPECT_EQ(t.prompter.asked.back().text, "Underconstruction");
    EXPECT_TRUE(sent(HidAdcRefControl).empty());
}

TEST_F(AdcTest, FirmwareVersionLedsAndUnload)
{
    board->firmware = {2, 5, 0x07, 0xDC, 10, 31};
    ASSERT_TRUE(panel().readFirmwareVersion());
    EXPECT_EQ(panel().firmwareVersion, "Firmware Version 2.5 - 2012/October/31");
    EXPECT_EQ(panel().firmwareVersionCopy, panel().firmwareVersion);
    board->firmware = {1, 0, 0x80, 0x01, 0, 1};
    panel().readFirmwareVersion();
    EXPECT_EQ(panel().firmwareVersion, "Firmware Version 1.0 - 32769/0/1");
    board->faults.noAnswer = true;
    t.prompter.script = {Answer::Retry};
    EXPECT_FALSE(panel().readFirmwareVersion());
    EXPECT_EQ(panel().firmwareVersion, "--");
    board->faults.noAnswer = false;

    panel().setLed(1, true);
    EXPECT_EQ(board->leds, 2);
    panel().setLed(0, true);
    EXPECT_EQ(board->leds, 3);

    panel().unload();
    EXPECT_TRUE(t.programEnd.ending());
    EXPECT_FALSE(context->transport.hasBoard());
}

TEST_F(AdcTest, FirmwareMonthIsNamedInTheUsersLanguage)
{
    t.format.months = {"Januar", "Februar", "März",     "April",   "Mai",      "Juni",
                       "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
    board->firmware = {1, 4, 0x07, 0xDB, 3, 15};
    ASSERT_TRUE(panel().readFirmwareVersion());
    EXPECT_EQ(panel().firmwareVersion, "Firmware Version 1.4 - 2011/März/15");
    EXPECT_EQ(panel().firmwareVersionCopy, panel().firmwareVersion);
    board->firmware = {1, 4, 0x07, 0xDB, 13, 15};  // no such month: its number
    panel().readFirmwareVersion();
    EXPECT_EQ(panel().firmwareVersion, "Firmware Version 1.4 - 2011/13/15");
}

TEST_F(AdcTest, BoardInstanceListFollowsTheSearch)
{
    auto second = usb.plug(t.clock);
    ASSERT_TRUE(context->transport.InitUsbHidConnection());
    EXPECT_EQ(panel().instances, (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(panel().selectedInstance, 0);
    panel().selectInstance(1);
    panel().setLed(0, true);
    EXPECT_EQ(second->leds, 1);
}

}  // namespace
