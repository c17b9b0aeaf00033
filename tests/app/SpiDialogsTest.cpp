#include "app/SpiDialogs.h"
#include "link/LinkFixture.h"
#include "panel/PanelFixture.h"
#include "support/ReportBytes.h"

#include <gtest/gtest.h>

namespace kvb::test {
namespace {

TEST(SpiDialogs, TimeoutTextBecomesHalfMicrosecondBytes)
{
    EXPECT_EQ(SpiTimeoutMicroseconds(0x29, 0x30), 5272);
    EXPECT_EQ(SpiTimeoutBytes("50"), (std::array<uint8_t, 2>{0x00, 0xC8}));
    EXPECT_EQ(SpiTimeoutBytes("40000"), (std::array<uint8_t, 2>{0xEA, 0x60}));
    EXPECT_EQ(SpiTimeoutBytes(""), (std::array<uint8_t, 2>{0x00, 0xC8}));
    EXPECT_TRUE(SpiTimeoutDialog::tbSpiTimeout_KeyPress('7'));
    EXPECT_TRUE(SpiTimeoutDialog::tbSpiTimeout_KeyPress(8));
    EXPECT_FALSE(SpiTimeoutDialog::tbSpiTimeout_KeyPress('a'));
}

// The set-up record's report: command 0x14, sub-command 0, the nine bytes.
std::vector<int> DaisySetUpWithTimeout(int high, int low)
{
    return {0x01, 0x14, 0x00, 0xFF, 0xFF, 0x80, 0x03, 0x80, 0x00, 0x02, high, low};
}

TEST(SpiDialogs, TimeoutOkStoresTheTimeoutAndSendsTheDaisyChainSetUp)
{
    LinkFixture fixture;
    SpiTimeoutDialog dialog(fixture.link, fixture.t.prompter);
    dialog.Form_Activate();
    EXPECT_EQ(dialog.text, "5272");

    // Without a board the set-up goes nowhere, and nothing is logged.
    dialog.text = "1000";
    EXPECT_FALSE(dialog.OKButton_Click());
    EXPECT_EQ(fixture.link.spiTimeoutHigh(), 0x07);
    EXPECT_EQ(fixture.link.spiTimeoutLow(), 0xD0);
    EXPECT_TRUE(fixture.board->requests.empty());
    EXPECT_EQ(fixture.log, "");
    EXPECT_TRUE(fixture.t.prompter.asked.empty());

    ASSERT_TRUE(fixture.connect(true, 1));
    fixture.board->requests.clear();
    dialog.text = "2000";
    EXPECT_TRUE(dialog.OKButton_Click());
    ASSERT_FALSE(fixture.board->requests.empty());
    EXPECT_EQ(test::Head(fixture.board->requests[0], 12), DaisySetUpWithTimeout(0x0F, 0xA0));
}

// The box's number is taken as a 32-bit integer before it is clamped: one
// beyond is an overflow, which stores and sends nothing.
TEST(SpiDialogs, TimeoutBeyondThirtyTwoBitsIsAnOverflow)
{
    LinkFixture fixture;
    SpiTimeoutDialog dialog(fixture.link, fixture.t.prompter);
    ASSERT_TRUE(fixture.connect(true, 1));
    fixture.board->requests.clear();
    dialog.text = "2147483647";
    EXPECT_TRUE(dialog.OKButton_Click());
    EXPECT_EQ(fixture.link.spiTimeoutHigh(), 0xEA);
    EXPECT_EQ(fixture.link.spiTimeoutLow(), 0x60);
    EXPECT_TRUE(fixture.t.prompter.asked.empty());

    fixture.link.setSpiTimeout(0x29, 0x30);
    fixture.board->requests.clear();
    dialog.text = "2147483648";
    EXPECT_FALSE(dialog.OKButton_Click());
    EXPECT_EQ(fixture.t.prompter.texts(),
              (std::vector<std::string>{
                  "Error in OKButton_Click Err.Number = 6, Err.Description = Overflow"}));
    EXPECT_EQ(fixture.link.spiTimeoutHigh(), 0x29);
    EXPECT_EQ(fixture.link.spiTimeoutLow(), 0x30);
    EXPECT_TRUE(fixture.board->requests.empty());
}

using SpiClockDialogTest = PanelTest;

TEST_F(SpiClockDialogTest, OptionsApplyOnOkOnly)
{
    SpiClockDialog& dialog = context->spiClock;
    link::ChipLink& link = context->link;
    dialog.Form_Activate();
    dialog.optSpiClkSpeed_Click(0);
    dialog.CancelButton_Click();
    EXPECT_EQ(link.spiClockCode(), 2);
    dialog.Form_Activate();
    EXPECT_EQ(dialog.option, 0);  // the last choice stays shown
    EXPECT_EQ(dialog.pendingCode, 2);
    dialog.optSpiClkSpeed_Click(0);
    dialog.OKButton_Click();
    EXPECT_EQ(link.spiClockCode(), 59);
    dialog.Form_Activate();
    EXPECT_EQ(dialog.pendingCode, 59);
    EXPECT_TRUE(sent(board::HidSpiClock).empty());
}

TEST_F(SpiClockDialogTest, PickedClockGoesToTheBoardAtOnceAndNotIntoTheSetUp)
{
    board->spiClockCode = 2;
    ASSERT_TRUE(panel().spi.getSPIclock());
    SpiClockDialog& dialog = context->spiClock;
    dialog.Form_Activate();
    ASSERT_EQ(dialog.clockList.size(), 24u);
    ASSERT_GE(dialog.clockEntry, 0);
    EXPECT_EQ(dialog.clockList[static_cast<size_t>(dialog.clockEntry)].text, "4");

    // The entry reading 2 (MHz) is clock code 5.
    int two = -1;
    for (size_t i = 0; i < dialog.clockList.size(); ++i)
        if (dialog.clockList[i].text == "2")
            two = static_cast<int>(i);
    ASSERT_GE(two, 0);
    board->requests.clear();
    const int yields = t.pump.yields;
    dialog.cboSPICLock_Click(two);
    // The panel's list moved (one report), then its click (another).
    const std::vector<board::Report> sets = sent(board::HidSpiClock);
    ASSERT_EQ(sets.size(), 2u);
    for (const board::Report& r : sets)
        EXPECT_EQ(test::Head(r, 5), (std::vector<int>{0x01, 0x08, 0x00, 0x05, 0x00}));
    EXPECT_EQ(t.pump.yields - yields, 2);
    EXPECT_EQ(board->spiClockCode, 5);
    EXPECT_EQ(panel().spi.selectedClock, two);
    EXPECT_EQ(dialog.clockEntry, two);
    EXPECT_EQ(context->link.spiClockCode(), 2);
    dialog.OKButton_Click();
    EXPECT_EQ(context->link.spiClockCode(), 2);

    // The entry already chosen: only the click's report.
    board->requests.clear();
    dialog.cboSPICLock_Click(two);
    ASSERT_EQ(sent(board::HidSpiClock).size(), 1u);
    EXPECT_EQ(sent(board::HidSpiClock)[0][3], 0x05);

    // No entry: nothing is sent.
    board->requests.clear();
    dialog.cboSPICLock_Click(24);
    EXPECT_TRUE(board->requests.empty());
}

}  // namespace
}  // namespace kvb::test
