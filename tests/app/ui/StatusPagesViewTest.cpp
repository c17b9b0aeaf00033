#include "app/ui/Lamp.h"
#include "app/ui/MainTabPage.h"
#include "app/ui/MonitorTabPage.h"

#include "link/LinkFixture.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace kvb;

// The raw counts as they are; a cell conversion that is missing fails as an
// empty one is called.
struct RawConversions final : PageConversions {
    bool cellMissing = false;
    double cellVolts(int16_t raw, const link::RegisterDefinitions&) const override
    {
        if (cellMissing)
            throw std::bad_function_call();
        return raw;
    }
    double packVolts(int16_t raw, const link::RegisterDefinitions&) const override { return raw; }
    double icTempDegC(int16_t raw, const link::RegisterDefinitions&) const override { return raw; }
    double etVolts(int16_t raw, const link::RegisterDefinitions&) const override { return raw; }
};

struct PageWindow {
    test::LinkFixture fixture;
    RawConversions conversions;
    StatusPageState state{conversions};
    QWidget window;
    std::array<QGroupBox*, 4> mainFrames{};
    std::array<QGroupBox*, 4> monitorFrames{};

    PageWindow()
    {
        for (auto& f : mainFrames)
            f = new QGroupBox(&window);
        for (auto& f : monitorFrames)
            f = new QGroupBox(&window);
        window.show();
    }
};

TEST(MainTabPageView, FillsItsFramesAndLeavesBalanceCombosToTheirOwnerWhileSynced)
{
    PageWindow w;
    ui::MainTabPage page({w.mainFrames[0], w.mainFrames[1], w.mainFrames[2], w.mainFrames[3]},
                         w.fixture.link, w.state, w.fixture.t.prompter);
    EXPECT_NE(w.mainFrames[0]->findChild<QLineEdit*>("tbMainTabCellVoltage_11"), nullptr);
    EXPECT_NE(w.mainFrames[0]->findChild<ui::Lamp*>("ledMainTabCellOW_0"), nullptr);
    EXPECT_NE(w.mainFrames[1]->findChild<QLineEdit*>("tbMainTabTemperatures_4"), nullptr);
    EXPECT_NE(w.mainFrames[3]->findChild<ui::Lamp*>("ledMainTabDeviceFault_27"), nullptr);
    EXPECT_TRUE(page.cbMainTabBalCtrl[0]->isHidden());

    link::ChipLink& link = w.fixture.link;
    link.TakeChosenLink(link.DaisyChainMode, 2, link.DeviceCount2);
    link.selectDevice(1);
    link.image.at(0, 1, page_reg::FirstCell) = 3;
    link.image.at(0, 1, page_reg::BalanceSetup) = 0x0201;  // manual mode, enabled
    link.image.at(0, 1, page_reg::BalanceStatus) = 0x0002;
    int shown = 0;
    page.showBalanceSettings = [&](const BalanceSettings& s) {
        ++shown;
        EXPECT_EQ(s.mode, 1);
        EXPECT_TRUE(s.enabled);
    };
    page.UpdateMainTabDeviceStatusControls();
    EXPECT_EQ(page.tbMainTabCellVoltage[0]->text(), "3.0000");
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(page.cbMainTabBalCtrl[1]->isHidden());
    EXPECT_EQ(page.cbMainTabBalCtrl[1]->text(), "On");
    EXPECT_EQ(page.cbMainTabBalCtrl[0]->text(), "Off");
    const QColor yellow = page.cbMainTabBalCtrl[1]->palette().color(QPalette::Button);
    EXPECT_NE(yellow, page.cbMainTabBalCtrl[0]->palette().color(QPalette::Button));
    EXPECT_EQ(page.ledMainTabDevicePres[1]->colour(), kLampGreen);
    // The buttons follow the status both ways, colour and caption.
    link.image.at(0, 1, page_reg::BalanceStatus) = 0x0001;
    page.UpdateMainTabDeviceStatusControls();
    EXPECT_EQ(page.cbMainTabBalCtrl[1]->text(), "Off");
    EXPECT_NE(page.cbMainTabBalCtrl[1]->palette().color(QPalette::Button), yellow);
    EXPECT_EQ(page.cbMainTabBalCtrl[0]->text(), "On");
    EXPECT_EQ(page.cbMainTabBalCtrl[0]->palette().color(QPalette::Button), yellow);
    link.image.at(0, 1, page_reg::BalanceStatus) = 0x0002;
    page.UpdateMainTabDeviceStatusControls();
    EXPECT_EQ(page.cbMainTabBalCtrl[1]->text(), "On");
    shown = 1;  // the settings were shown again by the two refreshes

    w.state.BalanceComboSync = true;
    link.image.at(0, 1, page_reg::BalanceSetup) = 0;
    link.image.at(0, 1, page_reg::FirstCell) = 7;
    page.UpdateMainTabDeviceStatusControls();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(page.cbMainTabBalCtrl[1]->isHidden());
    EXPECT_EQ(page.tbMainTabCellVoltage[0]->text(), "7.0000");
}

TEST(MainTabPageView, AMissingConversionIsReportedNotThrown)
{
    PageWindow w;
    w.conversions.cellMissing = true;
    w.fixture.link.TakeChosenLink(w.fixture.link.DaisyChainMode, 1, w.fixture.link.DeviceCount2);
    ui::MainTabPage page({w.mainFrames[0], w.mainFrames[1], w.mainFrames[2], w.mainFrames[3]},
                         w.fixture.link, w.state, w.fixture.t.prompter);
    page.UpdateMainTabDeviceStatusControls();
    ASSERT_EQ(w.fixture.t.prompter.asked.size(), 1u);
    EXPECT_EQ(w.fixture.t.prompter.asked[0].text.rfind("Error in UpdateMainTabDeviceStatusControls", 0),
              0u);
}

TEST(MonitorTabPageView, ShowsFramesPerDeviceCount)
{
    PageWindow w;
    ui::MonitorTabPage page(w.monitorFrames, w.fixture.link, w.state, w.fixture.t.prompter);
    EXPECT_EQ(w.monitorFrames[2]->title(), "Device #3");
    EXPECT_NE(w.monitorFrames[3]->findChild<ui::Lamp*>("ledMonitorTab53960OW_51"), nullptr);

    link::ChipLink& link = w.fixture.link;
    link.TakeChosenLink(link.DaisyChainMode, 2, link.DeviceCount2);
    link.image.at(0, 2, page_reg::Vbat) = 40;
    page.UpdateMonitorTabControls();
    EXPECT_TRUE(w.monitorFrames[0]->isVisible());
    EXPECT_TRUE(w.monitorFrames[1]->isVisible());
    EXPECT_FALSE(w.monitorFrames[2]->isVisible());
    EXPECT_FALSE(w.monitorFrames[3]->isVisible());
    EXPECT_EQ(page.tbMonitorTabVbatVoltage[1]->text(), "40.0000");

    link.TakeChosenLink(link.DaisyChainMode, link.DeviceCount1, 4);
    page.UpdateMonitorTabControls();
    for (QGroupBox* f : w.monitorFrames)
        EXPECT_TRUE(f->isVisible());
}

}  // namespace
