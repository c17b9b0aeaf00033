// Requests that are written over the report buffer instead of a cleared
// one: their bytes past the payload are what the buffer held.

#include "panel/PanelFixture.h"
#include "sim/SimChipBus.h"
#include "support/ReportBufferAccess.h"
#include "support/ReportBytes.h"

using namespace kvb;
using namespace kvb::board;
using kvb::test::Head;
using kvb::test::PanelTest;

namespace {

// Chips that answer every frame with 59 bytes of 0xA5, so that an answer
// fills the whole report.
class FullAnswerBus : public sim::SimChipBus {
public:
    std::vector<uint8_t> exchange(uint8_t, uint8_t, std::span<const uint8_t>) override
    {
        return std::vector<uint8_t>(kReportSize - 5, 0xA5);
    }
};

class ReportTail : public PanelTest {
protected:
    // The buffer as a drain leaves it when nothing was waiting.
    void fillBuffer(uint8_t value)
    {
        context->transport.FlushHidInput();
        board::ReportBufferAccess::of(context->transport).fill(value);
    }
    static void expectTail(const Report& r, size_t from, uint8_t value)
    {
        for (size_t i = from; i < kReportSize; ++i)
            EXPECT_EQ(r[i], value) << "byte " << i;
    }
};

TEST_F(ReportTail, ThePanelsChipPipeAndRawSpiWrite)
{
    fillBuffer(0xA5);
    grid().numToWrite = "2";
    grid().writeVal[0] = "5A";
    grid().writeVal[1] = "3C";
    ASSERT_TRUE(panel().spi.mcbSpi().ok());
    const Report pipe = sent(HidSpiPipeDaisyChain).back();
    EXPECT_EQ(Head(pipe, 7), (std::vector<int>{0x01, 0x16, 0x01, 0x02, 0x00, 0x5A, 0x3C}));
    expectTail(pipe, 7, 0xA5);

    fillBuffer(0xA5);
    grid().numToWrite = "3";
    grid().writeVal[0] = "0A";
    grid().writeVal[1] = "0B";
    grid().writeVal[2] = "0C";
    panel().spi.phaseChangeByte = "9";
    panel().spi.spiWrite();
    const Report raw = sent(HidSpiPipeDaisyChain).back();
    EXPECT_EQ(Head(raw, 10),
              (std::vector<int>{0x01, 0x16, 0x00, 0x00, 0x00, 0x09, 0x03, 0x0A, 0x0B, 0x0C}));
    expectTail(raw, 10, 0xA5);
}

TEST_F(ReportTail, TheCustomSequencesDirectReportKeepsTheFirstAnswer)
{
    FullAnswerBus chips;
    board->setChipBus(&chips);
    fillBuffer(0x00);
    panel().spi.testSequence();
    board->setChipBus(nullptr);
    const std::vector<Report> direct = sent(HidSpiPipe);
    ASSERT_EQ(direct.size(), 1u);
    EXPECT_EQ(Head(direct[0], 10),
              (std::vector<int>{0x01, 0x15, 0x00, 0x05, 0x00, 0x01, 0x15, 0x00, 0x05, 0x00}));
    // The first transfer's answer: chip bytes from 5, all 0xA5.
    expectTail(direct[0], 10, 0xA5);
}

TEST_F(ReportTail, TheAdcConversionAndEnableButNotTheOtherAdcCommands)
{
    panel::McuAdcModel& adc = panel().mcuAdc;
    fillBuffer(0xA5);
    adc.readMode = 2;
    adc.sampleMode = 1;
    adc.convert();
    const Report convert = sent(HidAdcConvert).back();
    EXPECT_EQ(Head(convert, 4), (std::vector<int>{0x01, 0x11, 0x02, 0x01}));
    expectTail(convert, 4, 0xA5);

    fillBuffer(0xA5);
    adc.readEnable();
    const Report enableRead = sent(HidAdcEnable).back();
    EXPECT_EQ(Head(enableRead, 3), (std::vector<int>{0x01, 0x10, 0x01}));
    expectTail(enableRead, 3, 0xA5);

    // The enable write does not drain first: the buffer as it stands.
    board::ReportBufferAccess::of(context->transport).fill(0xA5);
    adc.enable = true;
    adc.writeEnable();
    const Report enableWrite = sent(HidAdcEnable).back();
    EXPECT_EQ(Head(enableWrite, 4), (std::vector<int>{0x01, 0x10, 0x00, 0x01}));
    expectTail(enableWrite, 4, 0xA5);

    // Every other ADC command starts from a cleared report.
    fillBuffer(0xA5);
    adc.loopCount = "10";
    adc.writeLoopCount();
    const Report loop = sent(HidAdcLoopCount).back();
    EXPECT_EQ(Head(loop, 4), (std::vector<int>{0x01, 0x0E, 0x00, 0x0A}));
    expectTail(loop, 4, 0x00);
    fillBuffer(0xA5);
    adc.readClock();
    const Report clockRead = sent(HidAdcClock).back();
    EXPECT_EQ(Head(clockRead, 3), (std::vector<int>{0x01, 0x0A, 0x01}));
    expectTail(clockRead, 3, 0x00);
}

}  // namespace
