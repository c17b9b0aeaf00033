#include "app/SpiDialogs.h"
#include "link/LinkBench.h"

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

TEST(SpiDialogs, TimeoutIsSentOnlyToAConnectedChain)
{
    LinkBench bench;
    SpiTimeoutDialog dialog(bench.link);
    dialog.Form_Activate();
    EXPECT_EQ(dialog.text, "5272");
    dialog.text = "1000";
    EXPECT_FALSE(dialog.OKButton_Click());
    EXPECT_EQ(bench.link.SpiTimeoutHigh, 0x07);
    EXPECT_EQ(bench.link.SpiTimeoutLow, 0xD0);
    EXPECT_TRUE(bench.t.prompter.asked.empty());

    ASSERT_TRUE(bench.connect(true, 1));
    dialog.text = "2000";
    EXPECT_TRUE(dialog.OKButton_Click());
    EXPECT_EQ(bench.link.GpioSpiSetup[7], 0x0F);
    EXPECT_EQ(bench.link.GpioSpiSetup[8], 0xA0);
}

TEST(SpiDialogs, ClockChoiceAppliesOnOkOnly)
{
    LinkBench bench;
    SpiClockDialog dialog(bench.link);
    board::PanelSignals notices;
    board::SpiModel clocks(bench.transport, bench.grid, bench.pipe, notices);
    clocks.clockEntries = {{"0.5", 23}, {"1", 11}, {"4", 2}};
    dialog.Form_Activate(clocks);
    EXPECT_EQ(dialog.clockEntry, 2);
    dialog.optSpiClkSpeed_Click(0);
    dialog.CancelButton_Click();
    EXPECT_EQ(bench.link.SpiClockCode, 2);
    dialog.Form_Activate(clocks);
    EXPECT_EQ(dialog.option, 0);  // the last choice stays shown
    dialog.optSpiClkSpeed_Click(0);
    dialog.OKButton_Click();
    EXPECT_EQ(bench.link.SpiClockCode, 59);
    dialog.Form_Activate(clocks);
    EXPECT_EQ(dialog.pendingCode, 59);
    dialog.cboSPICLock_Click(1);
    EXPECT_EQ(bench.link.SpiClockCode, 59);
    dialog.OKButton_Click();
    EXPECT_EQ(bench.link.SpiClockCode, 11);
}

}  // namespace
}  // namespace kvb::test
