// The "Device Commands" frame and the button bindings against the simulated
// chain.

#include "app/CommandFixture.h"
#include "app/ui/DeviceCommandsFrame.h"
#include "app/ui/RegisterRowsView.h"

#include <QPushButton>

#include <gtest/gtest.h>

using namespace kvb;

namespace {

struct FrameFixture : test::CommandFixture {
    QWidget window;
    ui::DeviceCommandsFrame frame{commands, &window, &window};
};

}  // namespace

TEST(DeviceCommandsFrame, HoldsSixteenShownButtonsAndTheHiddenMeasureButton)
{
    FrameFixture b;
    b.window.show();
    EXPECT_EQ(b.frame.objectName(), "fraDaisyChainCommands");
    EXPECT_EQ(b.frame.title(), "Device Commands");
    const auto inFrame = b.frame.findChildren<QPushButton*>();
    EXPECT_EQ(inFrame.size(), 16);
    for (QPushButton* button : inFrame)
        EXPECT_TRUE(button->isVisible()) << button->objectName().toStdString();
    auto* clear = b.frame.findChild<QPushButton*>("cbClearAllFaults");
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear->text(), "Clear All Faults");

    QPushButton* measure = b.frame.button(ChipCommand::SendMeasure);
    EXPECT_EQ(measure->objectName(), "cmdSendMeasure");
    EXPECT_EQ(measure->parentWidget(), &b.window);
    EXPECT_FALSE(measure->isVisible());
}

TEST(DeviceCommandsFrame, ButtonsSendTheirCommands)
{
    FrameFixture b;
    ASSERT_TRUE(b.connect(true, 2));
    const size_t from = b.chain.received.size();
    b.frame.findChild<QPushButton*>("cbScanAllAll")->click();
    EXPECT_EQ(b.framesSince(from).size(), 2u);
    EXPECT_TRUE(b.logHas("cmd,KVB71853,dev0x02,cat0x03,adr0x05,dat0x0000"));

    std::array<QPushButton*, 2> upr{new QPushButton(&b.window), new QPushButton(&b.window)};
    ui::BindUprReadButtons(upr, b.upr);
    b.link.lamps.set(LampId::UprStatus, kLampGreen);
    upr[1]->click();
    EXPECT_EQ(b.chain.received.back().pipeCode, board::HidReadUprBuffer2);
    EXPECT_EQ(b.link.lamps.colour(LampId::UprStatus), kLampYellow);
}

TEST(DeviceCommandsFrame, GroupButtonIsDisabledWhileItsGroupRuns)
{
    FrameFixture b;
    ASSERT_TRUE(b.connect(true, 1));
    b.link.definitions.tabRegisters[0][0] = {144, 145, -1, -1, -1, -1, -1, -1};
    ui::RegisterRowsView view(b.link.definitions, b.link.image, b.t.prompter);
    ASSERT_TRUE(view.showTab(0, 0, 1));
    RegisterRowActions actions(b.link, view.rows(), b.t.services);
    ui::BindRegisterRowButtons(view, actions);
    auto* group = view.findChild<QPushButton*>("cbReadRegs");
    std::vector<bool> enabledDuring;
    b.t.pump.hook = [&] { enabledDuring.push_back(group->isEnabled()); };
    group->click();
    ASSERT_FALSE(enabledDuring.empty());
    EXPECT_FALSE(enabledDuring.front());
    EXPECT_TRUE(group->isEnabled());
    EXPECT_EQ(b.lines("cmd,").size(), 2u);

    view.findChild<QPushButton*>("cbWrite_1")->click();
    EXPECT_TRUE(b.logHas("wrt,KVB71853,dev0x01,cat0x0A,adr0x11"));
}
