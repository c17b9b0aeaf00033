// The count boxes read pasted text by its leading number, then hold it to
// the box's range; what goes out is the count the box then shows.

#include "panel/PanelFixture.h"

using namespace kvb;
using namespace kvb::board;
using namespace kvb::panel;

namespace {

using CountBoxTest = test::PanelTest;

TEST_F(CountBoxTest, I2cCountsClampBeforeSending)
{
    grid().numToRead = "45";
    panel().i2c.blockRead();
    EXPECT_EQ(grid().numToRead, "32");
    EXPECT_EQ(sent(HidI2cTransfer).back()[3], 32);
    grid().numToWrite = "";
    panel().i2c.blockWrite();
    EXPECT_EQ(grid().numToWrite, "1");
    grid().numToWrite = "0";
    EXPECT_EQ(I2cTransferModel::clampCount(grid().numToWrite), 1);
}

TEST_F(CountBoxTest, I2cCountsTakeTheLeadingNumber)
{
    struct Case {
        const char* pasted;
        const char* shown;
        uint8_t sent;
    } reads[] = {{"+45", "32", 32}, {"1e2", "32", 32}, {"4 5", "4", 4}, {" 7 bytes", "7", 7}};
    for (const Case& c : reads) {
        grid().numToRead = c.pasted;
        panel().i2c.blockRead();
        EXPECT_EQ(grid().numToRead, c.shown) << c.pasted;
        EXPECT_EQ(sent(HidI2cTransfer).back()[3], c.sent) << c.pasted;
    }

    board->i2cMemory.fill(0xEE);
    i2cBlockWrite("20", "3 bytes, 4 5", {"01", "02", "03", "04"});
    EXPECT_EQ(grid().numToWrite, "3");
    EXPECT_EQ(board->i2cMemory[0x22], 0x03);
    EXPECT_EQ(board->i2cMemory[0x23], 0xEE);
}

TEST_F(CountBoxTest, RawSpiAndAdcLoopCountsTakeSignsAndExponents)
{
    grid().numToWrite = "+45";
    panel().spi.phaseChangeByte = "0";
    panel().spi.spiWrite();
    EXPECT_EQ(grid().numToWrite, "45");
    EXPECT_EQ(sent(HidSpiPipeDaisyChain).back()[6], 45);

    McuAdcModel& adc = panel().mcuAdc;
    adc.loopCount = "1e2";
    adc.writeLoopCount();
    EXPECT_EQ(adc.loopCount, "100");
    EXPECT_EQ(sent(HidAdcLoopCount).back()[3], 100);
    adc.loopCount = "2.5e2";  // 250
    adc.writeLoopCount();
    EXPECT_EQ(sent(HidAdcLoopCount).back()[3], 250);
    adc.loopCount = "1e3";
    adc.writeLoopCount();
    EXPECT_EQ(adc.loopCount, "255");
    EXPECT_EQ(sent(HidAdcLoopCount).back()[3], 255);
}

}  // namespace
