// Every read of the board panel drains what the board sent before it, so a
// waiting answer to an earlier command is never taken for its own. The
// simulated board answers every set command here, as boards may.

#include "panel/PanelFixture.h"

#include <functional>

using namespace kvb;
using namespace kvb::panel;
using kvb::test::PanelTest;

namespace {

class DrainBeforeRead : public PanelTest {
protected:
    // Leaves one stale answer waiting: the LED write, answered with its
    // payload echoed.
    void leaveStaleAnswer()
    {
        board->faults.answerEverySet = true;
        panel().setLed(0, true);
        ASSERT_EQ(board->pendingReports(), 1u);
    }
};

TEST_F(DrainBeforeRead, EveryPanelReadTakesItsOwnAnswer)
{
    McuAdcModel& adc = panel().mcuAdc;
    const std::pair<const char*, std::function<void()>> reads[] = {
        {"ADC clock", [&] { adc.readClock(); }},
        {"ADC reference", [&] { adc.readRefControl(); }},
        {"ADC multiplexer", [&] { adc.readMux(); }},
        {"ADC mode", [&] { adc.readAdcMode(); }},
        {"ADC loop count", [&] { adc.readLoopCount(); }},
        {"ADC sample rate", [&] { adc.readSampleRate(); }},
        {"ADC enable", [&] { adc.readEnable(); }},
        {"ADC conversion", [&] { adc.convert(); }},
        {"ADC chip register", [&] { panel().adcChip.writeReadRegister(); }},
        {"ADC chip conversion", [&] { panel().adcChip.readConversion(); }},
        {"SFR", [&] { panel().sfr.readSfr(); }},
        {"SFR list", [&] { panel().sfr.readAll(); }},
        {"SFR row", [&] { panel().sfr.readRow(3); }},
        {"port", [&] { panel().ports.read(PortRow::Data, 2); }},
        {"firmware version", [&] { panel().readFirmwareVersion(); }},
        {"SCL toggle", [&] { panel().i2cAddress.toggleScl(); }},
        {"I2C simple read", [&] { panel().i2c.simpleRead(); }},
        {"I2C block read", [&] { panel().i2c.blockRead(); }},
    };
    for (const auto& [name, read] : reads) {
        leaveStaleAnswer();
        read();
        EXPECT_EQ(board->pendingReports(), 0u) << name;
        context->transport.FlushHidInput();  // nothing left over for the next one
    }
}

TEST_F(DrainBeforeRead, SpiClockReadSeesTheBoardsOwnClock)
{
    leaveStaleAnswer();
    ASSERT_TRUE(panel().spi.getSPIclock());
    ASSERT_EQ(panel().spi.clockEntries.size(), 24u);  // a 24 MHz system clock
    EXPECT_EQ(panel().spi.clockEntries.back().text, "12");
}

TEST_F(DrainBeforeRead, OnlyTheSampleRateWriteDrainsFirst)
{
    // The board answers the ADC setting writes; the sample-rate write
    // drains before it is sent, so only its own answer waits afterwards.
    McuAdcModel& adc = panel().mcuAdc;
    board->queueReport({});
    adc.writeSampleRate();
    EXPECT_EQ(board->pendingReports(), 1u);
    board->queueReport({});
    adc.writeClock();
    EXPECT_EQ(board->pendingReports(), 3u);
}

}  // namespace
