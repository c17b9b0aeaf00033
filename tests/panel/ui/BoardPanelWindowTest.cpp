#include "panel/ui/PanelWindowFixture.h"
#include "panel/ui/KeyFilter.h"
#include "support/ui/WindowSystemInput.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace kvb;

namespace {

using BoardPanelWindow = test::PanelWindowTest;

TEST_F(BoardPanelWindow, LoadShowsTheStartingTexts)
{
    EXPECT_EQ(window->windowTitle(), "HID Firmware Basic I/O ");
    EXPECT_EQ(find<QLabel>("lblRegAddr_63")->text(), "3F");
    EXPECT_EQ(find<QLineEdit>("txtWriteVal_63")->text(), "00");
    EXPECT_EQ(find<QLineEdit>("txtReadVal_0")->text(), "");
    EXPECT_EQ(find<QLineEdit>("txtNumToWrite")->text(), "1");
    EXPECT_EQ(find<QLineEdit>("txtI2Caddress")->text(), "50");
    EXPECT_TRUE(find<QCheckBox>("chkADDRbit_3")->isChecked());
    EXPECT_EQ(find<QComboBox>("cboAnamux_0")->currentText(), "0B - P4.0");
    EXPECT_EQ(find<QComboBox>("cboAnamux_1")->currentText(), "1F - GND");
    EXPECT_EQ(find<QComboBox>("cboADCReadMode_1")->itemText(1), "1:  1 Sample");
    EXPECT_EQ(find<QCheckBox>("chkOpenCollectorP0_3")->text(), "PO.3 A");
    EXPECT_EQ(find<QCheckBox>("chkOpenCollectorP1_1")->text(), "P1.1 A");
    EXPECT_TRUE(find<QCheckBox>("chkOpenCollectorP3_2")->isChecked());
    EXPECT_EQ(find<QLabel>("lblWrGPData_4")->text(), "--");
    EXPECT_EQ(find<QLineEdit>("txtSFRAddress")->text(), "80");
    EXPECT_EQ(find<QLabel>("lblPbuf_25")->text(), "F8: SPI0CN");
    EXPECT_EQ(find<QLineEdit>("txtADDec")->text(), "XXXX");
    EXPECT_EQ(find<QComboBox>("cboEVBinstance")->itemText(0), "0");
    EXPECT_NE(find<QLabel>("ShpGPIOStat_14"), nullptr);
}

TEST_F(BoardPanelWindow, McbSpiSendsTheGridThroughThePipeAndShowsIt)
{
    find<QLineEdit>("txtNumToWrite")->setText("3");
    emit find<QLineEdit>("txtNumToWrite")->textEdited("3");
    find<QLineEdit>("txtWriteVal_0")->setText("22");
    emit find<QLineEdit>("txtWriteVal_0")->textEdited("22");
    find<QPushButton>("cmdMCBSPI")->click();

    const board::Report& sent = board->requests.back();
    EXPECT_EQ(sent[1], board::HidSpiPipeDaisyChain);
    EXPECT_EQ(sent[3], 3);
    EXPECT_EQ(sent[5], 0x22);
    EXPECT_EQ(find<QLineEdit>("txtWriteRaw_1")->text(), "16");
    EXPECT_EQ(find<QLabel>("lblReportCount_0")->text(), " 1");
    EXPECT_EQ(find<QLabel>("lblReportCount_1")->text(), " 1");
    EXPECT_TRUE(find<QPushButton>("cmdMCBSPI")->isEnabled());
}

TEST_F(BoardPanelWindow, EncodeLengthAndPauseOnNackFollowTheirOwners)
{
    // A hidden panel catches up with the grid when it is shown; a shown one
    // follows it at once.
    context->grid.encodeLength = "3";
    context->grid.notify();
    window->show();
    EXPECT_EQ(find<QLabel>("lblEncodeLength")->text(), "3");
    context->grid.encodeLength = "4";
    context->grid.notify();
    EXPECT_EQ(find<QLabel>("lblEncodeLength")->text(), "4");

    auto* pause = find<QCheckBox>("ChkPauseOnNack");
    pause->click();
    EXPECT_TRUE(context->panel.PauseOnNack);
    context->panel.PauseOnNack = false;
    window->refresh();
    EXPECT_FALSE(pause->isChecked());
}

TEST_F(BoardPanelWindow, PinBoxWithAutoWriteReadPaintsTheLamp)
{
    find<QCheckBox>("chkAutoWriteRead")->click();
    find<QCheckBox>("chkGPvalueP2_0")->click();
    EXPECT_EQ(board->sfr[0xA0], 0x01);
    EXPECT_EQ(find<QLabel>("lblRdGPData_2")->text(), "01");
    EXPECT_EQ(find<QLabel>("ShpGPIOStat_7")->property("lamp").toString(), "lightgreen");
    EXPECT_EQ(find<QLineEdit>("txtSFRAddress")->text(), "A0");
}

TEST_F(BoardPanelWindow, KeyFiltersAndEditKeys)
{
    auto* address = find<QLineEdit>("txtSFRAddress");
    address->clear();
    type(address, Qt::Key_A, "a");
    type(address, Qt::Key_G, "g");
    type(address, Qt::Key_1, "1");
    EXPECT_EQ(address->text(), "A1");
    EXPECT_EQ(context->panel.sfr.address, "A1");

    auto* count = find<QLineEdit>("txtNumToRead");
    type(count, Qt::Key_B, "b");
    EXPECT_EQ(count->text(), "1");

    QApplication::clipboard()->setText("zz");
    auto* box = find<QLineEdit>("txtWriteVal_5");
    type(box, Qt::Key_V, "\x16", Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(box->text(), "00");
    type(box, Qt::Key_V, "\x16", Qt::ControlModifier);
    EXPECT_EQ(box->text(), "zz");  // pasted unfiltered, over the whole text
    EXPECT_EQ(context->grid.writeVal[5], "zz");
}

// The loop-count, SFR address and SFR write boxes have a key filter only:
// Ctrl+A, Ctrl+C and Ctrl+V give control characters that the filter drops,
// so neither the edit keys nor the box's own select, copy and paste act.
TEST_F(BoardPanelWindow, BoxesWithOnlyAKeyFilterIgnoreTheEditKeys)
{
    struct Box {
        const char* name;
        const std::string* model;
    };
    for (Box b : {Box{"txtADCLoopCount", &context->panel.mcuAdc.loopCount},
                  Box{"txtSFRAddress", &context->panel.sfr.address},
                  Box{"txtPBuf_0", &context->panel.sfr.rows[0].written}}) {
        auto* box = find<QLineEdit>(b.name);
        auto* tabs = find<QTabWidget>("SSTab1");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(box))
                tabs->setCurrentIndex(i);
        window->show();
        QApplication::setActiveWindow(window.get());
        box->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), box) << b.name;
        const QString before = box->text();

        box->deselect();
        test::QueueKey(box, Qt::Key_A, Qt::ControlModifier, "\x01");
        test::RunEventLoopUntilIdle();
        EXPECT_FALSE(box->hasSelectedText()) << b.name;

        box->selectAll();
        QApplication::clipboard()->setText("zz");
        test::QueueKey(box, Qt::Key_C, Qt::ControlModifier, "\x03");
        test::RunEventLoopUntilIdle();
        EXPECT_EQ(QApplication::clipboard()->text(), "zz") << b.name;

        box->end(false);
        QApplication::clipboard()->setText("zz");
        test::QueueKey(box, Qt::Key_V, Qt::ControlModifier, "\x16");
        test::RunEventLoopUntilIdle();
        EXPECT_EQ(box->text(), before) << b.name;
        EXPECT_EQ(*b.model, before.toStdString()) << b.name;

        // The key rules still hold for typed characters.
        test::QueueKey(box, Qt::Key_7, {}, "7");
        test::RunEventLoopUntilIdle();
        EXPECT_EQ(box->text(), before + "7") << b.name;
    }
}

TEST(PanelKeyFilter, TabStillMovesTheFocusOutOfAFilteredBox)
{
    QWidget form;
    auto* hex = new QLineEdit(&form);
    auto* next = new QLineEdit(&form);
    ui::KeyFilter filter(ui::KeyFilter::Kind::Hex, true);
    hex->installEventFilter(&filter);
    form.show();
    QApplication::setActiveWindow(&form);
    hex->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), hex);

    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
    QApplication::sendEvent(hex, &tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
    EXPECT_EQ(hex->text(), "");
}

TEST_F(BoardPanelWindow, ClosingThePanelEndsTheProgramInOrder)
{
    window->close();
    EXPECT_TRUE(t.programEnd.ending());
    EXPECT_EQ(t.programEnd.quits, 1);
    EXPECT_FALSE(context->transport.hasBoard());
}

}  // namespace
