#include "app/StatusPages.h"

#include "link/LinkFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace kvb;
namespace reg = kvb::page_reg;

// Plain scale conversions, enough to see which register feeds which box.
struct ScaledConversions final : PageConversions {
    static double scaled(int reg, int16_t raw, const link::RegisterDefinitions& d)
    {
        return raw * d.def(0, reg).scale;
    }
    double cellVolts(int16_t raw, const link::RegisterDefinitions& d) const override
    {
        return scaled(reg::FirstCell, raw, d);
    }
    double packVolts(int16_t raw, const link::RegisterDefinitions& d) const override
    {
        return scaled(reg::Vbat, raw, d);
    }
    double icTempDegC(int16_t raw, const link::RegisterDefinitions& d) const override
    {
        return (raw - d.tint25) * d.def(0, reg::ICTemp).scale + 25.0;
    }
    double etVolts(int16_t raw, const link::RegisterDefinitions& d) const override
    {
        return scaled(reg::FirstET, raw, d);
    }
};
ScaledConversions Scaled()
{
    return {};
}

struct PageFixture : test::LinkFixture {
    PageFixture()
    {
        for (int r : {reg::Vbat, reg::FirstCell, reg::FirstET, reg::OVLimit, reg::UVLimit})
            link.definitions.regs[0][r].scale = 0.001;
        link.definitions.regs[0][reg::ICTemp].scale = 0.5;
        link.definitions.regs[0][reg::ITLimit].scale = 0.5;
    }
    int16_t& img(int type, int dev, int r) { return link.image.at(type, dev, r); }
};

TEST(MainPage, BalanceRegistersDecodeIntoListPositions)
{
    const BalanceSettings s = DecodeBalanceSettings(0x0207, 0x3F80);
    EXPECT_EQ(s.mode, 3);
    EXPECT_EQ(s.wait, 1);
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.timeout, 127);
    const BalanceSettings off = DecodeBalanceSettings(0x01FC, 0x007F);
    EXPECT_EQ(off.mode, 0);
    EXPECT_EQ(off.wait, 7);
    EXPECT_FALSE(off.enabled);
    EXPECT_EQ(off.timeout, 0);
}

TEST(MainPage, ShowsTheSelectedDeviceFromTheImage)
{
    PageFixture b;
    b.link.TakeChosenLink(b.link.DaisyChainMode, 3, 1);
    b.link.selectDevice(2);
    b.img(0, 2, reg::CellSetup) = 0x0001;
    b.img(1, 2, reg::OverVoltage) = 0x0800;
    b.img(0, 2, reg::OpenWire) = 0x1000;
    b.img(0, 2, reg::FaultStatus) = 0x0200;
    b.img(0, 2, reg::FirstCell + 11) = 3200;
    b.img(0, 2, reg::ITLimit) = b.link.definitions.tint25;
    b.img(0, 2, reg::OVLimit) = 4250;
    b.img(0, 3, reg::FaultStatus) = 0x0010;

    const MainPageContent c = MainPageFromImage(b.link, Scaled());
    EXPECT_EQ(c.cellSetup[0], kLampGrey);  // a set setup bit greys its lamp
    EXPECT_EQ(c.cellSetup[1], kLampGreen);
    EXPECT_EQ(c.cellSetup[12], kLampGreen);
    EXPECT_EQ(c.cellOV[23], kLampRed);
    EXPECT_EQ(c.cellOV[11], kLampGrey);
    EXPECT_EQ(c.cellOW[12], kLampRed);
    EXPECT_EQ(c.vssOW, kLampRed);
    EXPECT_EQ(c.vbatOW, kLampGrey);
    EXPECT_EQ(c.cellVoltage[11], "3.2000");
    EXPECT_EQ(c.itLimit, "25.0");
    EXPECT_EQ(c.ovLimit, "4.2500");
    EXPECT_EQ(c.deviceFault[2], kLampRed);
    EXPECT_EQ(c.deviceFault[1], kLampRed);  // device 2: its VSS open wire
    EXPECT_EQ(c.deviceFault[0], kLampGrey);
    EXPECT_EQ(c.devicePres[2], kLampGreen);
    EXPECT_EQ(c.devicePres[3], kLampGrey);
    EXPECT_EQ(c.devicePres[14], kLampGreen);
    EXPECT_EQ(c.deviceVbat[3], "");
}

TEST(MainPage, WithoutTypeZeroEveryValueIsEmptyAndEveryTypeZeroLampGrey)
{
    PageFixture b;
    b.link.TakeChosenLink(b.link.DaisyChainMode, 0, 2);
    for (int r : {reg::OverVoltage, reg::OpenWire, reg::FaultStatus, reg::FirstCell, reg::Vbat})
        b.img(0, 1, r) = 0x3FFF;
    const MainPageContent c = MainPageFromImage(b.link, Scaled());
    for (int i = 0; i < kCells; ++i) {
        EXPECT_EQ(c.cellOV[i], kLampGrey);
        EXPECT_EQ(c.cellSetup[i], kLampGrey);
        EXPECT_EQ(c.cellVoltage[i], "");
    }
    EXPECT_EQ(c.cellOW[0], kLampGrey);
    EXPECT_EQ(c.vbatOW, kLampGrey);
    for (const std::string* text : {&c.vbatVoltage, &c.ovLimit, &c.uvLimit, &c.itLimit,
                                    &c.stackVoltage, &c.temperatures[0], &c.temperatures[4]})
        EXPECT_EQ(*text, "");
    EXPECT_EQ(c.cellSetup[12], kLampGreen);
}

TEST(MainPage, StackVoltageSumsBeforeRounding)
{
    PageFixture b;
    b.link.definitions.regs[0][reg::Vbat].scale = 0.00001;
    b.link.TakeChosenLink(b.link.DaisyChainMode, 3, b.link.DeviceCount2);
    for (int dev = 1; dev <= 3; ++dev)
        b.img(0, dev, reg::Vbat) = 4;  // 0.00004 V each, shown as 0.0000
    const MainPageContent c = MainPageFromImage(b.link, Scaled());
    EXPECT_EQ(c.deviceVbat[0], "0.0000");
    EXPECT_EQ(c.stackVoltage, "0.0001");
}

TEST(MainPage, BalanceButtonsFollowModeAndStatus)
{
    PageFixture b;
    b.link.TakeChosenLink(b.link.DaisyChainMode, 1, b.link.DeviceCount2);
    b.link.selectDevice(1);
    b.img(0, 1, reg::BalanceSetup) = 2;
    b.img(0, 1, reg::BalanceStatus) = 0x0801;
    BalanceButtons buttons = BalanceButtonsFromImage(b.link);
    EXPECT_TRUE(buttons.shown);
    EXPECT_TRUE(buttons.on[0] && buttons.on[11]);
    EXPECT_FALSE(buttons.on[1]);
    b.img(0, 1, reg::BalanceSetup) = 3;
    b.link.TakeChosenLink(b.link.DaisyChainMode, 0, b.link.DeviceCount2);
    buttons = BalanceButtonsFromImage(b.link);
    EXPECT_FALSE(buttons.shown);
    EXPECT_FALSE(buttons.on[0]);
}

TEST(MonitorPage, FramesFollowTheLargerDeviceCount)
{
    PageFixture b;
    b.link.TakeChosenLink(b.link.DaisyChainMode, 2, 0);
    MonitorPageContent c = MonitorPageFromImage(b.link, Scaled());
    EXPECT_EQ(c.frameShown, (std::array<bool, 4>{true, true, false, false}));
    b.link.TakeChosenLink(b.link.DaisyChainMode, b.link.DeviceCount1, 4);
    c = MonitorPageFromImage(b.link, Scaled());
    EXPECT_EQ(c.frameShown, (std::array<bool, 4>{true, true, true, true}));
    b.link.TakeChosenLink(b.link.DaisyChainMode, 0, 0);
    c = MonitorPageFromImage(b.link, Scaled());
    EXPECT_EQ(c.frameShown, (std::array<bool, 4>{true, false, false, false}));
}

TEST(MonitorPage, EachFrameShowsItsOwnDevice)
{
    PageFixture b;
    b.link.TakeChosenLink(b.link.DaisyChainMode, 4, 4);
    b.img(0, 3, reg::FirstCell + 1) = 1500;
    b.img(1, 4, reg::UnderVoltage) = 0x0004;
    b.img(0, 2, reg::OpenWire) = 0x0001;
    b.img(0, 4, reg::FaultStatus) = 0x0100;
    const MonitorPageContent c = MonitorPageFromImage(b.link, Scaled());
    EXPECT_EQ(c.cellVoltage[12 * 2 + 1], "1.5000");
    EXPECT_EQ(c.cellUV[1][12 * 3 + 2], kLampRed);
    EXPECT_EQ(c.cellUV[0][12 * 3 + 2], kLampGrey);
    EXPECT_EQ(c.cellOW[13 * 1], kLampRed);
    EXPECT_EQ(c.vbatOW[3], kLampRed);
    EXPECT_EQ(c.vssOW[3], kLampGrey);
}

}  // namespace
