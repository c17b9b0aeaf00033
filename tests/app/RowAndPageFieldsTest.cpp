// Every row kind's layout, every bit of every register row, and every bit of
// the fault and setup registers as the MAIN and MONITOR pages show them,
// each bit set alone.

#include "app/RegisterRows.h"
#include "app/StatusPages.h"
#include "link/LinkFixture.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using namespace kvb;

TEST(RowKinds, EveryKindIsLaidOutAsItsRow)
{
    struct Row {
        int kind, nameLeft;
        const char* caption;
        int colour;
        bool write;
        int bits;
        bool value, readGroup, writeGroup;
    };
    const Row rows[] = {
        {-1, 120, "Read", 0x80FF80, false, 14, true, false, false},
        {0, 120, "Read", 0x80FF80, false, 14, true, true, false},
        {1, 120, "Read", 0x80FF80, true, 14, true, true, true},
        {2, 10320, "Send", 0xC0C0C0, false, 0, false, false, false},
        {3, 5160, "Send", 0xC0C0C0, false, 6, true, false, false},
        {4, 5160, "Send", 0xC0C0C0, false, 6, true, false, false},
        {5, 10320, "Send", 0xC0C0C0, false, 0, false, false, false},
        {6, 120, "Read", 0x80FF80, false, 14, true, false, false},
        {-2, 120, "Read", 0x80FF80, false, 14, true, false, false},
    };
    for (const Row& r : rows) {
        const RowLayout l = LayoutForKind(r.kind);
        EXPECT_EQ(l.nameLeft, r.nameLeft) << r.kind;
        EXPECT_STREQ(l.readCaption, r.caption) << r.kind;
        EXPECT_EQ(l.readColour, r.colour) << r.kind;
        EXPECT_EQ(l.writeShown, r.write) << r.kind;
        EXPECT_EQ(l.bitsShown, r.bits) << r.kind;
        EXPECT_EQ(l.valueShown, r.value) << r.kind;
        EXPECT_EQ(l.enablesReadGroup, r.readGroup) << r.kind;
        EXPECT_EQ(l.enablesWriteGroup, r.writeGroup) << r.kind;
    }
}

struct RowBits : ::testing::Test {
    test::TestServices t;
    link::RegisterDefinitions defs;
    link::RegisterImage image;
    RegisterRows rows{defs, image, t.prompter};

    // Tab 0 holds eight read/write registers; tab 1 the two temperature
    // registers and their neighbours.
    RowBits()
    {
        const int16_t tab0[] = {144, 145, 146, 147, 148, 149, 150, 151};
        const int16_t tab1[] = {79, 80, 81, 153, 154, 155, -1, -1};
        for (int r = 0; r < 8; ++r) {
            defs.tabRegisters[0][0][r] = tab0[r];
            defs.tabRegisters[0][1][r] = tab1[r];
        }
        for (int reg : {144, 145, 146, 147, 148, 149, 150, 151, 79, 80, 81, 153, 154, 155}) {
            defs.regs[0][reg].kind = 1;
            defs.regs[0][reg].valueLabel = "Value";
            defs.regs[0][reg].scale = 0.5;
        }
    }
};

TEST_F(RowBits, EachBitButtonOfEachRowAloneSetsItsBitOfItsRow)
{
    ASSERT_TRUE(rows.showTab(0, 0, 1));
    for (int row = 0; row < 8; ++row) {
        for (int bit = 0; bit < 14; ++bit) {
            rows.toggleBit(row * 14 + bit);
            char text[16];
            std::snprintf(text, sizeof text, "%04X", 1u << bit);
            EXPECT_EQ(rows.row(row).editor.text, text) << row << "/" << bit;
            EXPECT_EQ(image.at(0, 1, rows.row(row).reg), 1 << bit) << row << "/" << bit;
            for (int other = 0; other < 8; ++other) {
                if (other != row) {
                    EXPECT_EQ(image.at(0, 1, rows.row(other).reg), 0) << row << "/" << bit;
                }
            }
            rows.toggleBit(row * 14 + bit);
            EXPECT_EQ(rows.row(row).editor.text, "0000");
        }
    }
}

TEST_F(RowBits, EachBitOfAValueAloneLightsOnlyItsButton)
{
    ASSERT_TRUE(rows.showTab(0, 0, 1));
    for (int bit = 0; bit < 16; ++bit) {
        rows.setRowValue(3, static_cast<int16_t>(1 << bit));
        for (int b = 0; b < 14; ++b)
            EXPECT_EQ(rows.row(3).bits[b], b == bit) << bit << "/" << b;
        // The up-down holds 14 bits: a value above them is cut to them.
        EXPECT_EQ(rows.row(3).upDown, bit < 14 ? 1 << bit : 0) << bit;
    }
    rows.setRowValue(3, 0x3FFF);
    EXPECT_EQ(rows.row(3).upDown, 16383);
    rows.setRowValue(3, 0x4000);
    EXPECT_EQ(rows.row(3).upDown, 0);
    rows.setRowValue(3, 0x4001);
    EXPECT_EQ(rows.row(3).upDown, 1);
}

TEST_F(RowBits, OnlyTheTwoTemperatureRegistersDecodeAroundTint25)
{
    defs.tint25 = 9217;
    for (int reg : {79, 80, 81, 153, 154, 155})
        image.at(0, 1, reg) = 9217;
    ASSERT_TRUE(rows.showTab(0, 1, 1));
    const char* decoded[] = {"4608.5000", "25.0", "4608.5000", "4608.5000", "25.0", "4608.5000"};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(rows.row(r).decoded, decoded[r]) << rows.row(r).reg;
}

// Raw values as they are, enough to see which register feeds which box.
struct RawConversions final : PageConversions {
    double cellVolts(int16_t raw, const link::RegisterDefinitions&) const override { return raw; }
    double packVolts(int16_t raw, const link::RegisterDefinitions&) const override { return raw; }
    double icTempDegC(int16_t raw, const link::RegisterDefinitions&) const override { return raw; }
    double etVolts(int16_t raw, const link::RegisterDefinitions&) const override { return raw; }
};

struct PageBits : test::LinkFixture, ::testing::Test {
    RawConversions raw;
    PageBits()
    {
        link.TakeChosenLink(true, 4, 4);
        link.selectDevice(1);
    }
    int16_t& img(int type, int dev, int reg) { return link.image.at(type, dev, reg); }
};

int lampFor(bool lit)
{
    return lit ? kLampRed : kLampGrey;
}

TEST_F(PageBits, MainPageShowsEachFaultAndSetupBitAlone)
{
    for (int type = 0; type < 2; ++type) {
        for (int bit = 0; bit < 14; ++bit) {
            const int16_t v = static_cast<int16_t>(1 << bit);
            for (int reg : {128, 129, 133}) {
                img(type, 1, reg) = v;
                const MainPageContent c = MainPageFromImage(link, raw);
                for (int i = 0; i < 24; ++i) {
                    const bool mine = bit < 12 && i == 12 * type + bit;
                    const std::string at = std::to_string(reg) + " bit " + std::to_string(bit) +
                                           " lamp " + std::to_string(i);
                    EXPECT_EQ(c.cellOV[i], lampFor(reg == 128 && mine)) << at;
                    EXPECT_EQ(c.cellUV[i], lampFor(reg == 129 && mine)) << at;
                    EXPECT_EQ(c.cellSetup[i], reg == 133 && mine ? kLampGrey : kLampGreen) << at;
                }
                img(type, 1, reg) = 0;
            }
        }
    }
    for (int bit = 0; bit < 14; ++bit) {
        const int16_t v = static_cast<int16_t>(1 << bit);
        img(0, 1, 130) = v;
        MainPageContent c = MainPageFromImage(link, raw);
        for (int i = 0; i < 13; ++i)
            EXPECT_EQ(c.cellOW[i], lampFor(i == bit)) << bit << "/" << i;
        EXPECT_EQ(c.vbatOW, kLampGrey);
        img(0, 1, 130) = 0;

        img(0, 1, 132) = v;
        c = MainPageFromImage(link, raw);
        EXPECT_EQ(c.vbatOW, lampFor(bit == 8)) << bit;
        EXPECT_EQ(c.vssOW, lampFor(bit == 9)) << bit;
        EXPECT_EQ(c.deviceFault[0], kLampRed) << bit;  // any set bit is a fault
        EXPECT_EQ(c.cellOW[0], kLampGrey);
        img(0, 1, 132) = 0;
    }
}

TEST_F(PageBits, MonitorFramesShowEachFaultBitAloneOfTheirOwnDevice)
{
    for (int f = 0; f < 4; ++f) {
        for (int bit = 0; bit < 14; ++bit) {
            const int16_t v = static_cast<int16_t>(1 << bit);
            for (int type = 0; type < 2; ++type) {
                for (int reg : {128, 129}) {
                    img(type, f + 1, reg) = v;
                    const MonitorPageContent c = MonitorPageFromImage(link, raw);
                    for (int t2 = 0; t2 < 2; ++t2)
                        for (int i = 0; i < 48; ++i) {
                            const bool mine = bit < 12 && t2 == type && i == 12 * f + bit;
                            EXPECT_EQ(c.cellOV[t2][i], lampFor(reg == 128 && mine))
                                << f << "/" << bit << "/" << reg << "/" << t2 << "/" << i;
                            EXPECT_EQ(c.cellUV[t2][i], lampFor(reg == 129 && mine))
                                << f << "/" << bit << "/" << reg << "/" << t2 << "/" << i;
                        }
                    img(type, f + 1, reg) = 0;
                }
            }
            img(0, f + 1, 130) = v;
            MonitorPageContent c = MonitorPageFromImage(link, raw);
            for (int i = 0; i < 52; ++i)
                EXPECT_EQ(c.cellOW[i], lampFor(bit < 13 && i == 13 * f + bit))
                    << f << "/" << bit << "/" << i;
            img(0, f + 1, 130) = 0;

            img(0, f + 1, 132) = v;
            c = MonitorPageFromImage(link, raw);
            for (int g = 0; g < 4; ++g) {
                EXPECT_EQ(c.vbatOW[g], lampFor(g == f && bit == 8)) << f << "/" << bit;
                EXPECT_EQ(c.vssOW[g], lampFor(g == f && bit == 9)) << f << "/" << bit;
            }
            img(0, f + 1, 132) = 0;
        }
    }
}

// Every value box of the MAIN page reads its own register.
TEST_F(PageBits, MainPageBoxesReadTheirRegisters)
{
    for (int reg : {144, 145, 154})
        link.definitions.regs[0][reg].scale = 1.0;
    link.definitions.tint25 = 0;
    for (int reg = 64; reg <= 86; ++reg)
        img(0, 1, reg) = static_cast<int16_t>(reg);
    for (int reg : {144, 145, 154})
        img(0, 1, reg) = static_cast<int16_t>(reg);
    const MainPageContent c = MainPageFromImage(link, raw);
    EXPECT_EQ(c.vbatVoltage, "64.0000");
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(c.cellVoltage[i], std::to_string(65 + i) + ".0000") << i;
    EXPECT_EQ(c.temperatures[0], "80.0");
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(c.temperatures[i], std::to_string(80 + i) + ".0000") << i;
    EXPECT_EQ(c.ovLimit, "144.0000");
    EXPECT_EQ(c.uvLimit, "145.0000");
    EXPECT_EQ(c.itLimit, "179.0");  // (154 - 0) x 1 + 25
}

}  // namespace
