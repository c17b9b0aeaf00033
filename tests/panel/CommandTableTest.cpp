// Every board command the panel sends, byte for byte from the board's
// command table: the simulated board shares the program's command codes, so
// only literal bytes tell a code that moved.

#include "panel/PanelFixture.h"
#include "support/ReportBytes.h"

#include <functional>

using namespace kvb;
using namespace kvb::board;
using namespace kvb::panel;
using kvb::test::Head;
using kvb::test::PanelTest;

namespace {

using CommandTable = PanelTest;

TEST_F(CommandTable, EveryPanelRequestCarriesItsCodeSubCommandAndPayload)
{
    BoardPanel& p = panel();
    McuAdcModel& adc = p.mcuAdc;
    struct Row {
        const char* operation;
        std::function<void()> run;
        bool firstRequest;  // the request of interest is the operation's first, else its last
        std::vector<int> head;
    };
    const std::vector<Row> table{
        {"firmware version", [&] { p.readFirmwareVersion(); }, true, {1, 0x00, 0}},
        {"LED red", [&] { p.setLed(0, true); }, true, {1, 0x01, 0, 1}},
        {"port configuration",
         [&] { p.ports.setWeakPullUpDisable(true); },
         true,
         {1, 0x02, 0, 0xF6, 0x00, 1}},
        {"I2C options",
         [&] { p.i2cAddress.setOption(p.i2cAddress.repeatedStart, true); },
         true,
         {1, 0x04, 0, 1, 0, 0}},
        {"I2C simple read", [&] { p.i2c.simpleRead(); }, true, {1, 0x06, 0x51, 1, 0}},
        {"SPI options", [&] { p.spi.setOption(p.spi.clockPolarity, true); }, true, {1, 0x07, 0, 1}},
        {"SPI clock query", [&] { p.spi.getSPIclock(); }, true, {1, 0x08, 1}},
        {"ADC clock write", [&] { adc.writeClock(); }, true, {1, 0x0A, 0, 0x38}},
        {"ADC clock read", [&] { adc.readClock(); }, true, {1, 0x0A, 1}},
        {"ADC reference read", [&] { adc.readRefControl(); }, true, {1, 0x0B, 1}},
        {"ADC mux write", [&] { adc.writeMux(); }, false, {1, 0x0C, 0, 0x0B, 0x1F}},
        {"ADC mux read", [&] { adc.readMux(); }, true, {1, 0x0C, 1}},
        {"ADC mode write", [&] { adc.writeAdcMode(); }, true, {1, 0x0D, 0, 0}},
        {"ADC mode read", [&] { adc.readAdcMode(); }, true, {1, 0x0D, 1}},
        {"ADC loop count write", [&] { adc.writeLoopCount(); }, true, {1, 0x0E, 0, 10}},
        {"ADC loop count read", [&] { adc.readLoopCount(); }, true, {1, 0x0E, 1}},
        {"ADC sample rate write", [&] { adc.writeSampleRate(); }, true, {1, 0x0F, 0, 0, 0}},
        {"ADC sample rate read", [&] { adc.readSampleRate(); }, true, {1, 0x0F, 1}},
        {"ADC enable write", [&] { adc.writeEnable(); }, true, {1, 0x10, 0, 0}},
        {"ADC enable read", [&] { adc.readEnable(); }, true, {1, 0x10, 1}},
        {"ADC conversion", [&] { adc.convert(); }, true, {1, 0x11, 0, 0}},
        {"SFR write",
         [&] {
             p.sfr.address = "80";
             p.sfr.writeSfr();
         },
         true,
         {1, 0x12, 0, 0x80, 0xAA}},
        {"SFR read",
         [&] {
             p.sfr.address = "80";
             p.sfr.readSfr();
         },
         true,
         {1, 0x12, 1, 0x80}},
        {"ADC chip register",
         [&] { p.adcChip.writeReadRegister(); },
         true,
         {1, 0x13, 0, 0x84, 0x02, 0x01}},
        {"ADC chip conversion",
         [&] { p.adcChip.readConversion(); },
         true,
         {1, 0x13, 1, 0x84, 0x02, 0x01}},
        {"raw SPI write", [&] { p.spi.spiWrite(); }, true, {1, 0x16, 0, 0, 0, 0, 1, 0x00}},
    };
    for (const Row& row : table) {
        board->requests.clear();
        row.run();
        ASSERT_FALSE(board->requests.empty()) << row.operation;
        const Report& r = row.firstRequest ? board->requests.front() : board->requests.back();
        EXPECT_EQ(Head(r, row.head.size()), row.head) << row.operation;
    }
}

// The raw write's two flags sit in bytes of their own: each alone.
TEST_F(CommandTable, RawSpiWriteFlagsEachInItsOwnByte)
{
    SpiModel& spi = panel().spi;
    grid().numToWrite = "1";
    grid().writeVal[0] = "5A";
    spi.phaseChangeByte = "7";
    struct Flags {
        bool readBack;
        bool phaseChange;
        std::vector<int> head;
    };
    for (const Flags& f : {Flags{true, false, {1, 0x16, 0, 1, 0, 7, 1, 0x5A}},
                           Flags{false, true, {1, 0x16, 0, 0, 1, 7, 1, 0x5A}},
                           Flags{true, true, {1, 0x16, 0, 1, 1, 7, 1, 0x5A}}}) {
        spi.readBack = f.readBack;
        spi.phaseChange = f.phaseChange;
        board->requests.clear();
        spi.spiWrite();
        ASSERT_EQ(board->requests.size(), 1u);
        EXPECT_EQ(Head(board->requests[0], 8), f.head) << f.readBack << f.phaseChange;
    }
}

}  // namespace
