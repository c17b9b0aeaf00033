#include "app/RegisterRows.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using kvb::RegisterRows;
using kvb::link::RegisterDefinitions;
using kvb::link::RegisterImage;

void define(RegisterDefinitions& d, int type, int reg, int kind, std::string label = "",
            double scale = 1.0)
{
    auto& def = d.regs[type][reg];
    def.name = "R" + std::to_string(reg);
    def.kind = kind;
    def.valueLabel = std::move(label);
    def.units = "V";
    def.scale = scale;
    for (int b = 0; b < kvb::link::kBits; ++b)
        def.bitNames[b] = "Bit" + std::to_string(b);
}

struct Rows : ::testing::Test {
    kvb::test::TestServices t;
    RegisterDefinitions defs;
    RegisterImage image;
    RegisterRows rows{defs, image, t.prompter};
    int mainRefreshes = 0;
    int monitorRefreshes = 0;
    bool mainShown = false;
    // The main window's pages: MAIN shown while `mainShown`, MONITOR never.
    struct Pages final : kvb::PageRefresh {
        Rows& f;
        explicit Pages(Rows& fixture) : f(fixture) {}
        bool mainPageShown() const override { return f.mainShown; }
        void refreshMainPage() override { ++f.mainRefreshes; }
        bool monitorPageShown() const override { return false; }
        void refreshMonitorPage() override { ++f.monitorRefreshes; }
    } pages{*this};
    // The rows' controls; a test may put its own step in place of the
    // up-down's move.
    struct Display final : kvb::RowsDisplay {
        std::function<void(int row, int value)> upDownStep;
        void rowChanged(int) override {}
        void upDownMoved(int row, int value) override
        {
            if (upDownStep)
                upDownStep(row, value);
        }
    } display;

    Rows()
    {
        // Tab 0: one row of every kind, two empty rows.
        define(defs, 0, 147, 1, "Cell", 0.001);
        define(defs, 0, 80, 0, "Temp", 0.5);
        define(defs, 0, 193, 2);
        define(defs, 0, 194, 3);
        define(defs, 0, 207, 5);
        const int16_t tab0[] = {147, 80, 193, 194, 207, 300, -1, 600};
        std::copy(std::begin(tab0), std::end(tab0), defs.tabRegisters[0][0].begin());
        // Tab 1: only commands. Tab 2: a read-only row and an absent one.
        defs.tabRegisters[0][1][0] = 193;
        defs.tabRegisters[0][1][3] = 207;
        defs.tabRegisters[0][2][0] = 80;
        defs.tabRegisters[0][2][1] = 300;
        rows.attachPages(&pages);
        rows.attachDisplay(&display);
    }
};

TEST_F(Rows, RowsAreLaidOutByKind)
{
    image.at(0, 1, 147) = 0x2A5;
    ASSERT_TRUE(rows.showTab(0, 0, 1));

    const auto& rw = rows.row(0);
    EXPECT_TRUE(rw.shown);
    EXPECT_EQ(rw.frameLeft, 240);
    EXPECT_EQ(rw.address, "cat 0x2, addr 0x13");
    EXPECT_EQ(rw.layout.nameLeft, 120);
    EXPECT_STREQ(rw.layout.readCaption, "Read");
    EXPECT_TRUE(rw.layout.writeShown);
    EXPECT_EQ(rw.layout.bitsShown, 14);
    EXPECT_EQ(rw.editor.text, "02A5");
    EXPECT_EQ(rw.upDown, 0x2A5);
    EXPECT_EQ(rw.decoded, "0.6770");

    EXPECT_EQ(rows.row(1).address, "cat 0x1, addr 0x10");
    EXPECT_FALSE(rows.row(1).layout.writeShown);

    const auto& cmd = rows.row(2);
    EXPECT_EQ(cmd.layout.nameLeft, 10320);
    EXPECT_STREQ(cmd.layout.readCaption, "Send");
    EXPECT_EQ(cmd.layout.readColour, 0xC0C0C0);
    EXPECT_EQ(cmd.layout.bitsShown, 0);
    EXPECT_FALSE(cmd.layout.valueShown);
    EXPECT_FALSE(cmd.decodedShown);

    EXPECT_EQ(rows.row(3).layout.nameLeft, 5160);
    EXPECT_EQ(rows.row(3).layout.bitsShown, 6);
    EXPECT_TRUE(rows.row(3).layout.valueShown);
    EXPECT_EQ(rows.row(4).layout.bitsShown, 0);

    // A register the type lacks is a read-only row that enables no group.
    EXPECT_TRUE(rows.row(5).shown);
    EXPECT_STREQ(rows.row(5).layout.readCaption, "Read");
    EXPECT_FALSE(rows.row(5).layout.enablesReadGroup);

    EXPECT_FALSE(rows.row(6).shown);
    EXPECT_FALSE(rows.row(7).shown);  // 600 lies outside the register range
    EXPECT_EQ(rows.row(7).frameLeft, 30000);

    EXPECT_TRUE(rows.readGroupShown());
    EXPECT_TRUE(rows.writeGroupShown());
    EXPECT_EQ(rows.groupReadRows(), (std::vector<int>{0, 1}));
    EXPECT_EQ(rows.groupWriteRows(), (std::vector<int>{0}));

    EXPECT_EQ(kvb::AddressCaption(0), "cat 0x0, addr 0x00");
}

TEST_F(Rows, GroupButtonsFollowTheRowsOfTheTab)
{
    rows.showTab(0, 1, 1);
    EXPECT_FALSE(rows.readGroupShown());
    EXPECT_FALSE(rows.writeGroupShown());
    rows.showTab(0, 2, 1);
    EXPECT_TRUE(rows.readGroupShown());
    EXPECT_FALSE(rows.writeGroupShown());
    rows.showTab(0, 5, 1);  // no rows at all
    for (int r = 0; r < 8; ++r)
        EXPECT_FALSE(rows.row(r).shown);
    EXPECT_FALSE(rows.readGroupShown());
}

TEST_F(Rows, OutOfRangeSelectionIsReportedAndChangesNothing)
{
    rows.showTab(0, 0, 1);
    EXPECT_FALSE(rows.showTab(2, 0, 1));
    EXPECT_FALSE(rows.showTab(0, 51, 1));
    EXPECT_FALSE(rows.showTab(0, 0, 16));
    ASSERT_EQ(t.prompter.asked.size(), 3u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "Error in TabStrip1_Click Err.Number = 9, Err.Description = Subscript out of range");
    EXPECT_TRUE(rows.row(0).shown);
}

TEST_F(Rows, EditorsKeepTextBitsUpDownAndImageInLine)
{
    rows.showTab(0, 0, 3);

    rows.toggleBit(2);  // row 0, bit 2
    EXPECT_EQ(rows.row(0).editor.text, "0004");
    EXPECT_EQ(image.at(0, 3, 147), 4);
    EXPECT_EQ(rows.row(0).upDown, 4);

    rows.toggleBit(14 + 13);  // row 1, bit 13
    EXPECT_EQ(rows.row(1).editor.text, "2000");
    EXPECT_EQ(image.at(0, 3, 80), 0x2000);

    kvb::HexEdit cursor{"", 4, 4, 0};
    EXPECT_TRUE(rows.keyPress(0, cursor, 'F'));
    EXPECT_EQ(rows.row(0).editor.text, "004F");
    EXPECT_EQ(image.at(0, 3, 147), 0x4F);
    EXPECT_TRUE(rows.row(0).bits[0] && rows.row(0).bits[6] && !rows.row(0).bits[7]);
    EXPECT_FALSE(rows.keyPress(0, cursor, 'G'));

    rows.upDownChanged(0, 16383);
    EXPECT_EQ(rows.row(0).editor.text, "3FFF");
    EXPECT_EQ(image.at(0, 3, 147), 0x3FFF);

    rows.deleteReleased(0, "");  // Delete emptied the box: reads as 0
    EXPECT_EQ(image.at(0, 3, 147), 0);
    EXPECT_EQ(rows.row(0).upDown, 0);

    rows.deleteReleased(0, "FFFF");  // never a delete result: refused
    EXPECT_EQ(rows.row(0).editor.text, "");

    cursor = kvb::HexEdit{"", 0, 0, 0};
    EXPECT_FALSE(rows.paste(0, cursor, "12 34"));
    EXPECT_TRUE(rows.paste(0, cursor, "1234"));
    EXPECT_EQ(image.at(0, 3, 147), 0x1234);

    // Escape clears the value in the image too.
    EXPECT_TRUE(rows.keyPress(0, cursor, kvb::kKeyEscape));
    EXPECT_EQ(image.at(0, 3, 147), 0);
}

TEST_F(Rows, ImageValuesShowWithoutBeingWrittenBack)
{
    rows.showTab(0, 0, 1);
    image.at(0, 1, 147) = -1;
    rows.setRowValue(0, -1);
    EXPECT_EQ(rows.row(0).editor.text, "FFFF");
    EXPECT_EQ(rows.row(0).upDown, 16383);  // the up-down holds 14 bits
    EXPECT_TRUE(rows.row(0).bits[13]);
    EXPECT_EQ(image.at(0, 1, 147), -1);
    EXPECT_EQ(rows.row(0).decoded, "-0.0010");

    rows.setRowValue(0, 0x02A5);
    for (int b = 0; b < 14; ++b)
        EXPECT_EQ(rows.row(0).bits[b], b == 0 || b == 2 || b == 5 || b == 7 || b == 9) << b;
    EXPECT_EQ(image.at(0, 1, 147), -1);
}

TEST_F(Rows, InternalTemperatureDecodesAroundTint25)
{
    defs.tint25 = 9217;
    image.at(0, 1, 80) = 9217;
    rows.showTab(0, 0, 1);
    EXPECT_EQ(rows.row(1).decoded, "25.0");
    rows.setRowValue(1, 9216);  // the image, not the text, is decoded
    EXPECT_EQ(rows.row(1).decoded, "25.0");
    image.at(0, 1, 80) = 9215;
    rows.setRowValue(1, 9215);
    EXPECT_EQ(rows.row(1).decoded, "24.0");
}

TEST_F(Rows, PagesRefreshOnlyWhileShownAndUpDownEchoIsIgnored)
{
    rows.showTab(0, 0, 1);
    EXPECT_EQ(mainRefreshes, 0);
    mainShown = true;
    rows.toggleBit(0);
    EXPECT_EQ(mainRefreshes, 1);
    rows.UpdateOtherControls(0, 0);
    rows.UpdateOtherControls(6, 0);
    EXPECT_EQ(mainRefreshes, 1);
    EXPECT_EQ(monitorRefreshes, 0);

    // The updater moves the up-down with UpdatingUpDown raised; a change
    // event raised by that move is ignored.
    bool raisedDuringMove = false;
    display.upDownStep = [&](int row, int value) {
        raisedDuringMove = rows.updatingUpDown();
        rows.upDownChanged(row, value + 1);
    };
    rows.setRowValue(0, 0x10);
    EXPECT_TRUE(raisedDuringMove);
    EXPECT_FALSE(rows.updatingUpDown());
    EXPECT_EQ(rows.row(0).editor.text, "0010");
}

}  // namespace
