#include "app/AppContext.h"
#include "app/ui/BalanceDialogs.h"
#include "app/ui/BalanceUi.h"
#include "app/ui/KeyFieldEdit.h"
#include "app/ui/SpiDialogsView.h"
#include "link/RegisterDefinitionFile.h"
#include "sim/SimBoard.h"
#include "sim/SimChipChain.h"
#include "support/TestServices.h"
#include "support/ui/WindowSystemInput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

using namespace kvb;

// Types the characters into a widget as key presses and releases.
void typeKeys(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A')
                                     : Qt::Key_0 + (c.unicode() - '0');
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

class BalanceViews : public ::testing::Test {
protected:
    BalanceViews()
    {
        link::LoadRegisterDefinitionFile(std::string("./") + link::kTabdefsFileName,
                                         context.link.definitions);
        board->setChipBus(&chain);
        frame = new QGroupBox(&window);
        deviceList = new QComboBox(&window);
        for (int i = 0; i < 16; ++i)
            deviceList->addItem(QString("Device %1").arg(i));
    }

    bool connectChain(int devices)
    {
        chain.setDevices(0, devices);
        context.link.takeGpioSetupByte(8);
        context.pipe.setPipeCommandCode(board::HidSpiPipeDaisyChain);
        return context.link.InitializeDriver() && context.link.InitializeEvb();
    }

    test::TestServices t;
    sim::SimHidBackend usb;
    std::shared_ptr<sim::SimBoard> board = usb.plug(t.clock);
    AppContext context{t.services, usb};
    sim::SimChipChain chain{sim::SimRegisterMap::Load(std::string("./") + link::kTabdefsFileName)};
    QWidget window;
    QGroupBox* frame;
    QComboBox* deviceList;
};

TEST_F(BalanceViews, FrameControlsShowSettingsWithoutSending)
{
    ui::BalanceUi ui(context, &window, frame, deviceList);
    EXPECT_EQ(frame->title(), "Cell Balance Controls");
    auto* mode = frame->findChild<QComboBox*>("cboBalanceMode");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->itemText(3), "Auto");
    EXPECT_EQ(frame->findChild<QComboBox*>("cboBalanceTimeout")->itemText(4), "1.33 Minutes");
    EXPECT_EQ(frame->findChild<QCheckBox*>("chkEnableCellBalance")->text(),
              "Enable Cell Balancing");
    EXPECT_EQ(frame->findChild<QPushButton*>("cbConfigureBalanceSequence")->text(), "Sequence...");
    QStringList labels;
    for (const QLabel* label : frame->findChildren<QLabel*>())
        labels << label->text();
    EXPECT_EQ(labels, (QStringList{"Balance Mode", "Timeout", "Wait Time"}));

    ui.showBalanceSettings({2, 127, 7, true});
    EXPECT_EQ(mode->currentIndex(), 2);
    EXPECT_TRUE(ui.chkEnableCellBalance->isChecked());
    EXPECT_TRUE(t.prompter.asked.empty());  // nothing tried to reach the board
    EXPECT_FALSE(context.cellBalancing.ComboSync);
}

TEST_F(BalanceViews, SequenceDialogReadsABankAndFollowsTheDeviceLists)
{
    ASSERT_TRUE(connectChain(2));
    chain.device(0, 2).balanceBanks[12] = 0x0801;
    ui::BalanceUi ui(context, &window, frame, deviceList);
    ui.fillDialogCombos({"Device 0", "Device 1", "Device 2", "Device 15"});
    ui.showDaisyChainGroups(true);
    ui.enableDaisyChainGroups(true);
    ui::FrmBalanceSequence& dialog = ui.sequenceDialog();
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "KVB71853 Balance Sequence");
    EXPECT_EQ(dialog.findChild<QGroupBox*>("fraDeviceNumber")->title(), "DEVIVE NUMBER");
    EXPECT_EQ(dialog.findChild<QRadioButton*>("optMode_1")->text(), "All KVB71853's");
    EXPECT_EQ(dialog.findChild<QLabel*>("lblBitName_11")->text(), "BAL11");
    EXPECT_TRUE(context.balanceSequence.shown);

    dialog.cboDeviceNumber->setCurrentIndex(2);
    emit dialog.cboDeviceNumber->activated(2);
    EXPECT_EQ(context.link.SelectedDevice, 2);
    EXPECT_EQ(deviceList->currentIndex(), 2);
    EXPECT_EQ(ui.registersDialog().cboDeviceNumber->currentIndex(), 2);

    dialog.findChild<QPushButton*>("cbRead_12")->click();
    EXPECT_EQ(dialog.findChild<QLineEdit*>("tbRegdata_12")->text(), "0801");
    EXPECT_EQ(dialog.findChild<QPushButton*>("cbRegToggleBit_155")->text(), "1");
    EXPECT_EQ(dialog.findChild<QPushButton*>("cbRegToggleBit_154")->text(), "0");

    dialog.findChild<QRadioButton*>("optMode_1")->click();
    EXPECT_TRUE(dialog.findChild<QPushButton*>("cbRead_0")->isHidden());
    EXPECT_TRUE(dialog.fraDeviceNumber->isHidden());
    dialog.findChild<QPushButton*>("OKButton")->click();
    EXPECT_FALSE(context.balanceSequence.shown);
}

TEST_F(BalanceViews, ValueDialogTypesDecimalDigits)
{
    ui::BalanceUi ui(context, &window, frame, deviceList);
    ui::FrmBalanceRegisters& dialog = ui.registersDialog();
    dialog.show();
    EXPECT_EQ(dialog.findChild<QLabel*>("lblRegName_11")->text(),
              "Cell 12 Balance Value (28-bit integer)");
    auto* dec = dialog.findChild<ui::KeyFieldEdit*>("tbRegdataDec_0");
    dec->setFocus();
    dec->setCursorPosition(9);
    typeKeys(dec, "7x");
    EXPECT_EQ(dec->text(), "000000007");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("tbRegdataHex_0")->text(), "0000007");
    EXPECT_EQ(dialog.findChild<QSpinBox*>("updnRegData_0")->value(), 7);
    EXPECT_EQ(context.link.image.at(0, 1, 160), 7);

    // Every digit can be seen, and Enter in a box reads nothing over it
    // (without a board a read would tell so).
    EXPECT_GE(dec->width(), dec->fontMetrics().horizontalAdvance("000000000"));
    auto* bank = ui.sequenceDialog().findChild<QLineEdit*>("tbRegdata_0");
    ui.sequenceDialog().show();
    EXPECT_GE(bank->width(), bank->fontMetrics().horizontalAdvance("0000"));
    for (QWidget* box : {static_cast<QWidget*>(dec), static_cast<QWidget*>(bank)}) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QApplication::sendEvent(box, &enter);
    }
    EXPECT_TRUE(t.prompter.asked.empty());
}

// Text reaches the value boxes only through their key rules: typed keys,
// a paste or an input-method commit is typed digit by digit or refused
// whole, and what Delete leaves is what the dialog works with.
TEST_F(BalanceViews, ValueBoxesTakeTextOnlyThroughTheirKeyRules)
{
    ui::BalanceUi ui(context, &window, frame, deviceList);
    ui::FrmBalanceRegisters& dialog = ui.registersDialog();
    dialog.show();
    dialog.activateWindow();
    auto* hex = dialog.findChild<QLineEdit*>("tbRegdataHex_0");
    auto* dec = dialog.findChild<QLineEdit*>("tbRegdataDec_0");
    hex->setFocus();
    hex->setCursorPosition(7);
    const auto commit = [](QWidget* box, const QString& text) {
        QInputMethodEvent ime;
        ime.setCommitString(text);
        QApplication::sendEvent(box, &ime);
    };
    commit(hex, "ZZ90000");
    EXPECT_EQ(hex->text(), "0000000");
    commit(hex, "1a");
    EXPECT_EQ(hex->text(), "000001A");
    EXPECT_EQ(dec->text(), "000000026");
    EXPECT_EQ(context.link.image.at(0, 1, 160), 0x1A);

    emit static_cast<ui::KeyFieldEdit*>(dec)->pasteRequested("7x");
    EXPECT_EQ(dec->text(), "000000026");

    // Delete through the window system: the box deletes, the dialog takes
    // the text.
    hex->setCursorPosition(6);
    test::QueueKey(hex, Qt::Key_Delete);
    test::RunEventLoopUntilIdle();
    EXPECT_EQ(hex->text(), "000001");
    EXPECT_EQ(dec->text(), "000000001");
    EXPECT_EQ(context.link.image.at(0, 1, 160), 1);

    // The selection paste of a middle click, where the platform has one;
    // elsewhere the box's own insert, which that paste uses (into a box with
    // room for one more character).
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection()) {
        clipboard->setText("ZZ90000", QClipboard::Selection);
        test::QueueClick(hex, Qt::MiddleButton);
        test::RunEventLoopUntilIdle();
    } else {
        hex->insert("ZZ90000");
    }
    EXPECT_EQ(hex->text(), "000001");
    EXPECT_EQ(context.link.image.at(0, 1, 160), 1);

    // A bank's box overtypes with the caret left at the start.
    ui::FrmBalanceSequence& sequence = ui.sequenceDialog();
    sequence.show();
    sequence.activateWindow();
    auto* bank = sequence.findChild<QLineEdit*>("tbRegdata_0");
    bank->setFocus();
    commit(bank, "12");
    EXPECT_EQ(bank->text(), "0012");
    bank->setCursorPosition(1);
    test::QueueKey(bank, Qt::Key_5, {}, "5");
    test::QueueKey(bank, Qt::Key_2, {}, "2");
    test::RunEventLoopUntilIdle();
    EXPECT_EQ(bank->text(), "0512");
    EXPECT_EQ(bank->cursorPosition(), 1);
    commit(bank, "ZZ9");
    EXPECT_EQ(bank->text(), "0512");
}

TEST_F(BalanceViews, SpiDialogsApplyOnOk)
{
    ui::FrmSpiTimeout timeout(context.spiTimeout);
    timeout.show();
    EXPECT_EQ(timeout.tbSpiTimeout->text(), "5272");
    timeout.tbSpiTimeout->selectAll();
    typeKeys(timeout.tbSpiTimeout, "5a0");
    EXPECT_EQ(timeout.tbSpiTimeout->text(), "50");
    timeout.OKButton->click();
    EXPECT_FALSE(timeout.isVisible());
    EXPECT_EQ(context.link.spiTimeoutHigh(), 0x00);
    EXPECT_EQ(context.link.spiTimeoutLow(), 0xC8);
    // A number beyond 32 bits fails OK before the dialog is hidden.
    timeout.show();
    timeout.tbSpiTimeout->selectAll();
    typeKeys(timeout.tbSpiTimeout, "2147483648");
    timeout.OKButton->click();
    EXPECT_TRUE(timeout.isVisible());
    ASSERT_EQ(t.prompter.asked.size(), 1u);
    EXPECT_EQ(t.prompter.asked[0].text,
              "Error in OKButton_Click Err.Number = 6, Err.Description = Overflow");
    EXPECT_EQ(context.link.spiTimeoutLow(), 0xC8);
    timeout.CancelButton->click();

    ui::FrmSpiClockSpeed clock(context.spiClock);
    EXPECT_EQ(clock.windowTitle(), "SPI Setup : Non Daisiy Chain / Full Duplex / Synchronous ");
    clock.show();
    clock.optSpiClkSpeed[1]->click();
    clock.CancelButton->click();
    EXPECT_EQ(context.link.spiClockCode(), 2);
    clock.show();
    clock.optSpiClkSpeed[1]->click();
    clock.OKButton->click();
    EXPECT_EQ(context.link.spiClockCode(), 23);
}

}  // namespace
