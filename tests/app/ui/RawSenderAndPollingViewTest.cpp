#include "app/ui/FrmPollOptions.h"
#include "app/ui/PollingControls.h"
#include "app/ui/RawMessageSenderView.h"

#include "link/LinkFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace kvb;

// The sender's controls as the main window creates them.
QGroupBox* SenderFrame(QWidget* parent)
{
    auto* frame = new QGroupBox(parent);
    frame->setObjectName("fraRawMessageSender");
    auto named = [frame](QWidget* w, const QString& name) { w->setObjectName(name); };
    for (int i = 0; i < 5; ++i)
        named(new QLineEdit("0", frame), QString("tbRawMsgHex_%1").arg(i));
    for (int i = 0; i < 4; ++i)
        named(new QLineEdit(frame), QString("tbEncodedCommandHexByte_%1").arg(i));
    auto* types = new QGroupBox(frame);
    auto* modes = new QGroupBox(frame);
    for (int i = 0; i < 2; ++i) {
        named(new QRadioButton(types), QString("optRawDevicetype_%1").arg(i));
        named(new QRadioButton(modes), QString("optRawMsgNotConnectedMode_%1").arg(i));
    }
    frame->findChild<QRadioButton*>("optRawDevicetype_0")->setChecked(true);
    frame->findChild<QRadioButton*>("optRawMsgNotConnectedMode_0")->setChecked(true);
    named(new QPushButton("Send", frame), "cbSendRawMsg");
    return frame;
}

void type(QLineEdit* box, const QString& keys)
{
    for (QChar c : keys) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

void press(QLineEdit* box, Qt::Key key, const QString& text = {},
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(box, &event);
}

TEST(RawMessageSenderView, TypedFieldsEncodeAtOnceInBothFramings)
{
    test::LinkFixture fixture;
    QWidget window;
    QGroupBox* frame = SenderFrame(&window);
    ui::RawMessageSenderView view(frame, fixture.link, fixture.t.services);
    window.show();
    EXPECT_EQ(view.tbRawMsgHex[RawData]->text(), "0000");
    EXPECT_EQ(view.tbRawMsgHex[RawAddress]->text(), "00");

    QLineEdit* address = view.tbRawMsgHex[RawAddress];
    address->setCursorPosition(2);
    type(view.tbRawMsgHex[RawDevice], "1");
    view.tbRawMsgHex[RawDataType]->setCursorPosition(1);
    type(view.tbRawMsgHex[RawDataType], "3");
    type(address, "12");
    EXPECT_EQ(address->text(), "12");
    EXPECT_EQ(view.tbEncodedCommandHexByte[0]->text(), "13");
    EXPECT_EQ(view.tbEncodedCommandHexByte[1]->text(), "48");
    EXPECT_EQ(view.tbEncodedCommandHexByte[2]->text(), "0C");
    EXPECT_TRUE(view.tbEncodedCommandHexByte[3]->isHidden());
    EXPECT_EQ(view.tbRawMsgHex[RawCrc4]->text(), "C");

    // Letters, pasting and Delete never reach the field unchecked.
    type(address, "g");
    press(address, Qt::Key_V, "\x16", Qt::ControlModifier);
    press(address, Qt::Key_Delete);
    EXPECT_EQ(address->text(), "12");
    press(address, Qt::Key_Escape, "\x1b");
    EXPECT_EQ(address->text(), "00");

    view.optRawMsgNotConnectedMode[1]->setChecked(true);
    EXPECT_EQ(view.tbEncodedCommandHexByte[0]->text(), "30");
    EXPECT_FALSE(view.tbEncodedCommandHexByte[1]->isHidden());
    EXPECT_TRUE(view.tbEncodedCommandHexByte[2]->isHidden());

    // Connected, the framing follows the link and the offline choice with it.
    ASSERT_TRUE(fixture.connect(true, 1));
    view.EncodeRawMessage();
    EXPECT_TRUE(view.optRawMsgNotConnectedMode[0]->isChecked());
    EXPECT_FALSE(view.tbEncodedCommandHexByte[2]->isHidden());
}

TEST(RawMessageSenderView, SendReadsTheRegisterThroughTheLink)
{
    test::LinkFixture fixture;
    ASSERT_TRUE(fixture.connect(true, 2));
    QWidget window;
    ui::RawMessageSenderView view(SenderFrame(&window), fixture.link, fixture.t.services);
    fixture.chain.device(0, 2).regs[145] = 0x155;
    view.tbRawMsgHex[RawDevice]->setText("2");
    view.tbRawMsgHex[RawDataType]->setText("2");
    view.tbRawMsgHex[RawAddress]->setText("11");
    view.cbSendRawMsg->click();
    EXPECT_EQ(fixture.link.image.at(0, 2, 145), 0x155);
    EXPECT_TRUE(fixture.t.prompter.asked.empty());
}

TEST(RawMessageSenderView, BindingNeedsEveryControl)
{
    test::LinkFixture fixture;
    QWidget frame;
    EXPECT_THROW(ui::RawMessageSenderView(&frame, fixture.link, fixture.t.services),
                 std::invalid_argument);
}

TEST(PollingControlsView, IntervalBoxEnableBoxAndDialogDrivePolling)
{
    test::LinkFixture fixture;
    ASSERT_TRUE(fixture.connect(true, 1));
    // The poll's work counts the full scans it is asked for.
    struct CountingWork final : PollWork {
        int scans = 0;
        void run(PollAction action) override { scans += action == PollAction::ScanAll ? 1 : 0; }
        void readUprBuffers(int16_t&) override {}
        void scanAllInhibit() override {}
        void clearAllFaults() override {}
        void scanAllContinuous() override {}
    } work;
    Poller poller(fixture.link, work, fixture.t.services);
    QWidget window;
    ui::PollingWidgets widgets{new QCheckBox(&window), new QLineEdit("500", &window),
                               new QSpinBox(&window), new QPushButton(&window),
                               new QTimer(&window)};
    widgets.updnPollingInterval->setRange(50, 5000);
    ui::FrmPollOptions dialog(poller, fixture.link);
    ui::PollingControls controls(widgets, poller, dialog, fixture.t.prompter);
    widgets.tbPollingInterval->setText("10");
    EXPECT_EQ(widgets.Timer2->interval(), 50);
    widgets.updnPollingInterval->setValue(750);
    EXPECT_EQ(widgets.tbPollingInterval->text(), "750");
    EXPECT_EQ(widgets.Timer2->interval(), 750);
    widgets.tbPollingInterval->setText("40000");
    EXPECT_EQ(widgets.Timer2->interval(), 750);
    ASSERT_EQ(fixture.t.prompter.asked.size(), 1u);
    EXPECT_NE(fixture.t.prompter.asked[0].text.find("tbPollingInterval_Change"), std::string::npos);

    const int& scans = work.scans;
    // The caption names the part the configuration chose.
    fixture.link.SetFittedParts(fixture.link.SecondTypePresent, "KVB53960", fixture.link.PartName2);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "KVB53960 Eval Polling Setup");
    dialog.cmdQuickSetup->click();
    EXPECT_TRUE(dialog.actionBoxes[0]->isChecked());
    dialog.OKButton->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(widgets.chkEnablePolling->isChecked());
    EXPECT_TRUE(widgets.Timer2->isActive());

    poller.Timer2_Timer();
    EXPECT_EQ(scans, 1);
    widgets.chkEnablePolling->setChecked(false);
    EXPECT_FALSE(widgets.Timer2->isActive());
}

}  // namespace
