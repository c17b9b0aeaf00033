// The way in, end to end on the simulated board: start-up form, power-up,
// main window, configuration, connect.

#include "app/AppContext.h"
#include "app/ui/FrmStartup.h"
#include "app/ui/MainKvb71853.h"
#include "link/RegisterDefinitionFile.h"
#include "sim/SimBoard.h"
#include "sim/SimChipChain.h"
#include "support/TestServices.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
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
        board = usb.plug(t.clock);
        link::LoadRegisterDefinitionFile(std::string("./") + link::kTabdefsFileName, chipDefs);
        chain = std::make_unique<sim::SimChipChain>(chipDefs);
        chain->setDevices(0, 3);
        board->setChipBus(chain.get());
    }

    // Chooses the board in the start-up form: power-up, main window.
    ui::MainKvb71853* powerUp(ui::FrmStartup& form)
    {
        form.cboDeviceSelect->setCurrentIndex(1);
        form.cboDeviceSelect_Click();
        return form.mainWindow();
    }

    void configureDaisyChain(ui::MainKvb71853& main, int stack)
    {
        auto* dialog = main.findChild<QDialog*>("frmManualConfig");
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QRadioButton*>("optDaisyChain_1")->setChecked(true);
        dialog->findChild<QRadioButton*>("optDevices_0")->setChecked(true);
        auto* size = dialog->findChild<QLineEdit*>("txtStackSize");
        size->setText(QString::number(stack));
        emit size->textEdited(size->text());
        dialog->accept();
    }

    test::TestServices t;
    sim::SimHidBackend usb;
    std::shared_ptr<sim::SimBoard> board;
    link::RegisterDefinitions chipDefs;
    std::unique_ptr<sim::SimChipChain> chain;
    AppContext context{t.services, usb};
};

TEST_F(EvaluationFlow, StartingOpensTheBoardBeforeTheFormIsShown)
{
    ui::FrmStartup form(context);
    EXPECT_TRUE(context.transport.hasBoard());
    EXPECT_EQ(form.cboDeviceSelect->count(), 2);
    EXPECT_EQ(form.cboDeviceSelect->itemText(1), "KVB71853 Evaluation Board Connected");
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
    EXPECT_EQ(context.pipe.PipeCommandCode, 0x15);
    EXPECT_GT(main->TabStrip1->count(), 4);
    EXPECT_EQ(main->TabStrip1->tabText(1), "MAIN");
    EXPECT_FALSE(main->cmdDisconnect->isEnabled());
}

TEST_F(EvaluationFlow, BatteryBoardGpioLeavesPortOnePushPullAndTheFormUp)
{
    ui::FrmStartup form(context);
    form.show();
    form.Command3_Click();
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
    configureDaisyChain(*main, 3);

    EXPECT_TRUE(context.link.DaisyChainMode);
    EXPECT_EQ(context.link.DeviceCount1, 3);
    EXPECT_EQ(context.link.DeviceCount2, 0);
    EXPECT_FALSE(main->cmdConnect->isEnabled());
    EXPECT_TRUE(main->cmdDisconnect->isEnabled());
    EXPECT_TRUE(main->opt53960->isEnabled());
    EXPECT_EQ(main->cboDeviceNumber->count(), 5);
    EXPECT_EQ(main->cboDeviceNumber->itemText(4), "Device 15");
    EXPECT_EQ(context.pipe.PipeCommandCode, 0x16);
    EXPECT_TRUE(context.link.UprPollingEnabled);

    main->cmdDisconnect_Click();
    EXPECT_TRUE(main->cmdConnect->isEnabled());
    EXPECT_FALSE(context.transport.hasBoard());
    EXPECT_EQ(context.link.DeviceCount1, 3);  // counts stay
}

TEST_F(EvaluationFlow, ConnectWithNoChipAnsweringClosesTheBoard)
{
    chain->setDevices(0, 0);
    ui::FrmStartup form(context);
    ui::MainKvb71853* main = powerUp(form);
    ASSERT_NE(main, nullptr);
    configureDaisyChain(*main, 3);
    EXPECT_EQ(context.link.DeviceCount1, 0);
    EXPECT_TRUE(main->cmdConnect->isEnabled());
    EXPECT_FALSE(context.transport.hasBoard());
    EXPECT_FALSE(main->opt53960->isEnabled());
}

}  // namespace
