// The way in, end to end on the simulated board: start-up form, power-up,
// main window, configuration, connect.

#include "app/AppContext.h"
#include "app/ui/FrmAbout2.h"
#include "app/ui/FrmStartup.h"
#include "app/ui/MainKvb71853.h"
#include "support/SimulatedChain.h"
#include "support/ui/WindowControls.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include <gtest/gtest.h>

namespace {

using namespace kvb;

class EvaluationFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        chain->setDevices(0, 3);
    }

    // Chooses the board in the start-up form: power-up, main window.
    ui::MainKvb71853* powerUp(ui::FrmStartup& form)
    {
        test::Choose(test::Control<QComboBox>(&form, "cboDeviceSelect"), 1);
        return form.mainWindow();
    }

    test::TestServices t;
    test::SimulatedChain sim{t};
    std::shared_ptr<sim::SimBoard>& board = sim.board;
    std::unique_ptr<sim::SimChipChain>& chain = sim.chain;
    AppContext context{t.services, sim.usb};
};

TEST_F(EvaluationFlow, StartingOpensTheBoardBeforeTheFormIsShown)
{
    ui::FrmStartup form(context);
    EXPECT_TRUE(context.transport.hasBoard());
    auto* boards = test::Control<QComboBox>(&form, "cboDeviceSelect");
    EXPECT_EQ(boards->count(), 2);
    EXPECT_EQ(boards->itemText(1), "KVB71853 Evaluation Board Connected");
    EXPECT_EQ(form.mainWindow(), nullptr);
    EXPECT_TRUE(board->requests.empty() || board->requests.back()[1] != 0x12);
}

TEST_F(EvaluationFlow, PowerUpWritesThePortBytesAndOpensTheMainWindow)
{
    ui::FrmStartup form(context);
    ui::MainKvb71853* main = powerUp(form);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(board->sfr[0x80], 0xFA);
    EXPECT_EQ(board->sfr[0xA4], 0x0F);
    EXPECT_EQ(board->sfr[0x90], 0xFF);
    EXPECT_EQ(board->sfr[0xA5], 0x00);
    EXPECT_EQ(board->sfr[0xA0], 0xFF);
    EXPECT_EQ(board->sfr[0xA6], 0x00);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(context.transport.BoardTitle, "KVB71853  Evaluation Board");
    // The main window's defaults and its tabs from the register file.
    EXPECT_EQ(context.link.SelectedDevice, 1);
    EXPECT_EQ(context.pipe.pipeCommandCode(), 0x15);
    auto* tabs = test::Control<QTabBar>(main, "TabStrip1");
    EXPECT_GT(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(1), "MAIN");
    EXPECT_FALSE(test::Control<QPushButton>(main, "cmdDisconnect")->isEnabled());
}

TEST_F(EvaluationFlow, BatteryBoardGpioLeavesPortOnePushPullAndTheFormUp)
{
    ui::FrmStartup form(context);
    form.show();
    test::Control<QPushButton>(&form, "Command3")->click();
    EXPECT_EQ(board->sfr[0xA5], 0x01);
    EXPECT_EQ(form.mainWindow(), nullptr);
    ui::MainKvb71853* main = powerUp(form);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(board->sfr[0xA5], 0x00);
}

TEST_F(EvaluationFlow, ConfiguringAThreeDeviceChainConnectsOnce)
{
    ui::FrmStartup form(context);
    ui::MainKvb71853* main = powerUp(form);
    ASSERT_NE(main, nullptr);
    test::ConfigureManually(main, true, 0, 3);
    auto* connect = test::Control<QPushButton>(main, "cmdConnect");
    auto* disconnect = test::Control<QPushButton>(main, "cmdDisconnect");
    auto* devices = test::Control<QComboBox>(main, "cboDeviceNumber");

    EXPECT_TRUE(context.link.DaisyChainMode);
    EXPECT_EQ(context.link.DeviceCount1, 3);
    EXPECT_EQ(context.link.DeviceCount2, 0);
    EXPECT_FALSE(connect->isEnabled());
    EXPECT_TRUE(disconnect->isEnabled());
    EXPECT_TRUE(test::Control<QRadioButton>(main, "opt53960")->isEnabled());
    EXPECT_EQ(devices->count(), 5);
    EXPECT_EQ(devices->itemText(4), "Device 15");
    EXPECT_EQ(context.pipe.pipeCommandCode(), 0x16);
    EXPECT_TRUE(context.link.UprPollingEnabled);

    // Read the first cell of device 1 from its register row.
    test::SelectTab(main, "CELLS 1-8");
    auto* read = test::Control<QPushButton>(main, "cbRead_0");
    auto* value = test::Control<QLineEdit>(main, "tbRegdata_0");
    read->click();
    const int16_t cell = context.link.image.at(0, 1, 65);
    EXPECT_NE(cell, 0);
    EXPECT_EQ(value->text(), QString("%1").arg(cell, 4, 16, QChar('0')).toUpper());
    EXPECT_EQ(chain->device(0, 1).regs[65], cell);

    disconnect->click();
    EXPECT_TRUE(connect->isEnabled());
    EXPECT_FALSE(context.transport.hasBoard());
    EXPECT_EQ(context.link.DeviceCount1, 3);  // counts stay
}

TEST_F(EvaluationFlow, ConnectWithNoChipAnsweringKeepsTheBoardOpen)
{
    chain->setDevices(0, 0);
    ui::FrmStartup form(context);
    ui::MainKvb71853* main = powerUp(form);
    ASSERT_NE(main, nullptr);
    test::ConfigureManually(main, true, 0, 3);
    EXPECT_EQ(context.link.DeviceCount1, 0);
    EXPECT_TRUE(test::Control<QPushButton>(main, "cmdConnect")->isEnabled());
    EXPECT_FALSE(test::Control<QPushButton>(main, "cmdDisconnect")->isEnabled());
    EXPECT_TRUE(context.transport.hasBoard());
    EXPECT_TRUE(context.transport.EvbConnected);
    EXPECT_FALSE(test::Control<QRadioButton>(main, "opt53960")->isEnabled());
    EXPECT_FALSE(test::Control<QAction>(main, "mnuLoadConfig")->isEnabled());
}

// OK unloads the about box: opened again it is loaded anew, and its firmware
// label shows nothing until the board is asked again, not the version an
// earlier board gave.
TEST_F(EvaluationFlow, OkUnloadsTheAboutBox)
{
    ui::FrmStartup form(context);
    auto* menu = test::Control<QAction>(&form, "mnuAbout");
    menu->trigger();
    QPointer<ui::FrmAbout2> first = &form.aboutBox();
    ASSERT_TRUE(first->isVisible());
    auto* label = test::Control<QLabel>(first.data(), "lblfirmwareVer");
    EXPECT_EQ(label->text(), "");
    test::Control<QPushButton>(first.data(), "cmdReadFirmware")->click();
    EXPECT_EQ(label->text(), "Firmware Version 2.1 - 2026/December/8");

    test::Control<QPushButton>(first.data(), "cmdOK")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    board->firmware = {1, 1, 0x07, 0xDF, 12, 16};  // another board: 1.1 of 2015
    menu->trigger();
    ui::FrmAbout2& second = form.aboutBox();
    EXPECT_TRUE(second.isVisible());
    label = test::Control<QLabel>(&second, "lblfirmwareVer");
    EXPECT_EQ(label->text(), "");
    EXPECT_TRUE(label->isVisible());  // the board is connected
    test::Control<QPushButton>(&second, "cmdReadFirmware")->click();
    EXPECT_EQ(label->text(), "Firmware Version 1.1 - 2015/December/16");
    second.close();
}

}  // namespace
