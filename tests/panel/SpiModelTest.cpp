#include "app/SpiDialogs.h"
#include "panel/PanelFixture.h"
#include "support/ReportBytes.h"

using namespace kvb;
using namespace kvb::board;
using namespace kvb::panel;
using kvb::test::PanelTest;

namespace {

TEST(SpiClockList, SpeedsFromTheSystemClock)
{
    auto list = SpiClockList(24, ".");
    ASSERT_EQ(list.size(), 24u);
    EXPECT_EQ(list.front().text, "0.5");
    EXPECT_EQ(list.front().code, 23);
    EXPECT_EQ(list.back().text, "12");
    EXPECT_EQ(list.back().code, 0);
    auto textOf = [&](int code) { return list[23 - code].text; };
    EXPECT_EQ(textOf(5), "2");
    EXPECT_EQ(textOf(16), "0.705");
    EXPECT_EQ(textOf(17), "0.666");
    EXPECT_EQ(SpiClockList(12, ".").size(), 12u);
    EXPECT_TRUE(SpiClockList(0, ".").empty());
    // A system clock beyond 32 MHz no longer overflows the arithmetic.
    EXPECT_EQ(SpiClockList(48, ".").back().text, "24");
}

using SpiTest = PanelTest;

TEST_F(SpiTest, ReadingTheClockSelectsTheBoardsCodeAndSendsItBack)
{
    SpiModel& spi = panel().spi;
    board->spiClockCode = 2;
    const int yields = t.pump.yields;
    ASSERT_TRUE(spi.getSPIclock());
    ASSERT_EQ(spi.clockEntries.size(), 24u);
    EXPECT_EQ(spi.clockEntries[spi.selectedClock].text, "4");
    // The query, then the code back twice: once from the panel's list, once
    // from the SPI clock dialog's, whose selection handling yields around
    // its report.
    const std::vector<Report> reports = sent(HidSpiClock);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(test::Head(reports[0], 4), (std::vector<int>{0x01, 0x08, 0x01, 0x00}));
    EXPECT_EQ(test::Head(reports[1], 5), (std::vector<int>{0x01, 0x08, 0x00, 0x02, 0x00}));
    EXPECT_EQ(test::Head(reports[2], 5), (std::vector<int>{0x01, 0x08, 0x00, 0x02, 0x00}));
    EXPECT_EQ(t.pump.yields - yields, 2);
    // The dialog's list is filled and selected without the dialog being shown.
    const SpiClockDialog& dialog = context->spiClock;
    ASSERT_EQ(dialog.clockList.size(), 24u);
    EXPECT_EQ(dialog.clockList.front().text, "0.5");
    ASSERT_EQ(dialog.clockEntry, spi.selectedClock);

    // A code the list does not offer selects nothing and sends nothing.
    board->spiClockCode = 30;
    board->requests.clear();
    ASSERT_TRUE(spi.getSPIclock());
    EXPECT_EQ(spi.selectedClock, -1);
    EXPECT_EQ(dialog.clockEntry, -1);
    EXPECT_EQ(dialog.clockList.size(), 24u);
    ASSERT_EQ(sent(HidSpiClock).size(), 1u);
    EXPECT_EQ(sent(HidSpiClock)[0][2], kSubGet);

    spi.selectClock(0);
    EXPECT_EQ(board->spiClockCode, 23);

    // An empty list sends nothing.
    spi.clockEntries.clear();
    spi.selectedClock = -1;
    board->requests.clear();
    EXPECT_FALSE(spi.writeClock());
    EXPECT_TRUE(board->requests.empty());
}

TEST_F(SpiTest, ClockListIsShownInTheUsersNumberFormat)
{
    t.format.separator = ",";  // as a German system writes numbers
    board->spiClockCode = 2;
    SpiModel& spi = panel().spi;
    ASSERT_TRUE(spi.getSPIclock());
    ASSERT_EQ(spi.clockEntries.size(), 24u);
    EXPECT_EQ(spi.clockEntries.front().text, "0,5");
    EXPECT_EQ(spi.clockEntries[23 - 16].text, "0,705");
    EXPECT_EQ(spi.clockEntries[23 - 17].text, "0,666");
    EXPECT_EQ(spi.clockEntries[23 - 5].text, "2");
    EXPECT_EQ(spi.clockEntries.back().text, "12");
    EXPECT_EQ(spi.clockEntries[static_cast<size_t>(spi.selectedClock)].text, "4");
    // What is sent is the code, never the text.
    const Report set = sent(HidSpiClock).back();
    EXPECT_EQ(test::Head(set, 5), (std::vector<int>{0x01, 0x08, 0x00, 0x02, 0x00}));
    spi.selectClock(0);  // "0,5"
    EXPECT_EQ(sent(HidSpiClock).back()[3], 23);
}

TEST_F(SpiTest, AnUnansweredClockQueryEmptiesBothListsAndAFailedWriteLeavesThem)
{
    SpiModel& spi = panel().spi;
    const SpiClockDialog& dialog = context->spiClock;
    board->spiClockCode = 2;
    ASSERT_TRUE(spi.getSPIclock());
    ASSERT_EQ(dialog.clockList.size(), 24u);

    // The request goes out, no answer comes: the connection box, then the
    // cleared buffer's system clock of 0.
    board->faults.noAnswer = true;
    t.prompter.script = {Answer::Retry};
    board->requests.clear();
    EXPECT_FALSE(spi.getSPIclock());
    EXPECT_TRUE(spi.clockEntries.empty());
    EXPECT_EQ(spi.selectedClock, -1);
    EXPECT_TRUE(dialog.clockList.empty());
    EXPECT_EQ(dialog.clockEntry, -1);
    ASSERT_EQ(sent(HidSpiClock).size(), 1u);  // the query alone
    EXPECT_EQ(sent(HidSpiClock)[0][2], kSubGet);
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, "Please check USB connection.\ncheckStatus");

    // A full list again, then a request that cannot be written: it stops.
    board->faults.noAnswer = false;
    ASSERT_TRUE(spi.getSPIclock());
    board->faults.failWrite = true;
    t.prompter.script = {Answer::Retry};
    EXPECT_FALSE(spi.getSPIclock());
    EXPECT_EQ(spi.clockEntries.size(), 24u);
    EXPECT_EQ(spi.clockEntries[static_cast<size_t>(spi.selectedClock)].text, "4");
    EXPECT_EQ(dialog.clockList.size(), 24u);
    EXPECT_EQ(dialog.clockEntry, spi.selectedClock);
}

TEST_F(SpiTest, OptionsAndRawWriteWithReadBack)
{
    SpiModel& spi = panel().spi;
    spi.setOption(spi.clockPhase, true);
    EXPECT_EQ(board->spiConfig, 2);
    spi.setOption(spi.clockPolarity, true);
    spi.setOption(spi.slaveSelect, true);
    EXPECT_EQ(board->spiConfig, 7);

    grid().numToWrite = "3";
    grid().writeVal[0] = "0A";
    grid().writeVal[1] = "0B";
    grid().writeVal[2] = "0C";
    spi.readBack = true;
    spi.phaseChangeByte = "9";
    ASSERT_TRUE(spi.spiWrite());
    const Report r = sent(HidSpiPipeDaisyChain).back();
    const uint8_t head[] = {1, 0x16, 0, 1, 0, 9, 3, 0x0A, 0x0B, 0x0C};
    for (size_t i = 0; i < std::size(head); ++i)
        EXPECT_EQ(r[i], head[i]) << i;
    EXPECT_EQ(grid().readVal[2], "0A");  // the loop-back's bytes from answer byte 2
    EXPECT_EQ(grid().readVal[20], "00");

    grid().numToWrite = "99";
    grid().fillWrite(0, 63, "11");
    spi.readBack = false;
    spi.spiWrite();
    EXPECT_EQ(grid().numToWrite, "57");
    EXPECT_EQ(sent(HidSpiPipeDaisyChain).back()[6], 57);

    spi.phaseChangeByte = "300";
    board->requests.clear();
    EXPECT_FALSE(spi.spiWrite());
    EXPECT_TRUE(board->requests.empty());
}

TEST_F(SpiTest, McbSpiAndTheCustomSequenceUseThePipe)
{
    SpiModel& spi = panel().spi;
    // A chip frame to a type-1 device went out last: its select byte 0x40
    // goes with the grid's bytes, until the custom sequence clears it.
    const uint8_t chipFrame[] = {0x40, 0x01, 0x02, 0x03};
    ASSERT_TRUE(context->pipe.transfer(context->pipe.request(chipFrame)).ok());
    grid().numToWrite = "2";
    grid().writeVal[0] = "5A";
    grid().writeVal[1] = "A5";
    ASSERT_TRUE(spi.mcbSpi().ok());
    auto pipes = sent(HidSpiPipeDaisyChain);
    ASSERT_EQ(pipes.size(), 2u);
    EXPECT_EQ(pipes[1][3], 2);
    EXPECT_EQ(pipes[1][4], 0x40);
    EXPECT_EQ(pipes[1][5], 0x5A);
    EXPECT_EQ(pipes[1][6], 0xA5);

    board->requests.clear();
    spi.testSequence();
    pipes = sent(HidSpiPipeDaisyChain);
    ASSERT_EQ(pipes.size(), 2u);
    EXPECT_EQ(pipes[0][3], 3);
    EXPECT_EQ(pipes[0][4], 0x00);
    EXPECT_EQ(pipes[0][5], 0x30);
    EXPECT_EQ(pipes[0][6], 0x80);
    EXPECT_EQ(pipes[0][7], 0x00);
    EXPECT_EQ(pipes[1][3], 5);
    EXPECT_EQ(pipes[1][7], 0x0A);
    EXPECT_EQ(pipes[1][8], 0x03);
    auto direct = sent(HidSpiPipe);
    ASSERT_EQ(direct.size(), 1u);
    const uint8_t expected[] = {1, 0x15, 0, 5, 0, 1, 0x15, 0, 5, 0};
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(direct[0][i], expected[i]);
    // The pipe's display shows the last transfer.
    EXPECT_EQ(context->panel.pipeView.display.writeRaw[1], "16");
    EXPECT_FALSE(context->pipe.busy());
}

TEST_F(SpiTest, AfterDisconnectMcbSpiAndTheCustomSequenceEndInTheLostBox)
{
    SpiModel& spi = panel().spi;
    context->connection.Disconnect();
    ASSERT_FALSE(context->transport.hasBoard());
    const std::string lost =
        "USB Communications lost, Disconnect and Reconnect, Polling Terminated";

    context->polling.setPollingOn(true);
    grid().numToWrite = "2";
    grid().writeVal[0] = "5A";
    grid().writeVal[1] = "A5";
    const uint8_t before = context->pipe.transferId();
    EXPECT_EQ(spi.mcbSpi().status, PipeStatus::Lost);
    EXPECT_EQ(context->pipe.transferId(), before + 1);
    EXPECT_EQ(context->panel.pipeView.display.writeRaw[1], "16");
    EXPECT_EQ(context->panel.pipeView.display.writeRaw[5], "5A");
    EXPECT_EQ(context->panel.pipeView.display.dwait, " 51");
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, lost);
    EXPECT_FALSE(context->polling.pollingOn());

    // The sequence's first run is lost: one box, and nothing after it.
    t.prompter.asked.clear();
    const uint8_t first = context->pipe.transferId();
    spi.testSequence();
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text, lost);
    EXPECT_EQ(context->pipe.transferId(), first + 1);
    EXPECT_EQ(grid().numToWrite, "3");
    EXPECT_FALSE(context->pipe.busy());
}

}  // namespace
