#include "app/ui/FrmAbout2.h"
#include "app/ui/FrmManualConfig.h"
#include "app/ui/Lamp.h"
#include "app/ui/LampPanel.h"
#include "support/ui/WindowControls.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

template <typename T>
T* child(QWidget& parent, const char* name)
{
    return kvb::test::Control<T>(&parent, name);
}

TEST(LampWidgets, LampsPaintTheirColourAndThePanelFollowsTheState)
{
    kvb::ui::Lamp lamp("ledPolling");
    lamp.resize(16, 16);
    EXPECT_EQ(lamp.colour(), 0x7F7F7F);
    lamp.setColour(kvb::kLampRed);
    const QImage image = lamp.grab().toImage();
    EXPECT_EQ(image.pixelColor(8, 8), QColor(255, 0, 0));

    kvb::StatusLamps lamps;
    lamps.set(kvb::LampId::Pres0, kvb::kLampGreen);
    kvb::ui::LampPanel panel(lamps);
    EXPECT_EQ(child<kvb::ui::Lamp>(panel, "led53960Pres")->colour(), 0x00FF00);
    EXPECT_TRUE(panel.apply(kvb::LampId::Ack1, kvb::kLampGreen));
    EXPECT_EQ(child<kvb::ui::Lamp>(panel, "led53961Ack")->colour(), 0x00FF00);
    EXPECT_FALSE(panel.apply(kvb::LampId::Polling, kvb::kLampYellow));
    panel.setSecondTypeShown(false);
    EXPECT_TRUE(panel.lamp(kvb::LampKind::Com, 1)->isHidden());
    EXPECT_FALSE(panel.lamp(kvb::LampKind::Com, 0)->isHidden());
}

TEST(ManualConfigDialog, StackSizeBoxShowsTheSizeOkUses)
{
    kvb::ui::FrmManualConfig dialog;
    dialog.show();
    child<QRadioButton>(dialog, "optDaisyChain_1")->click();
    auto* box = child<QLineEdit>(dialog, "txtStackSize");
    auto type = [&](const QString& text) {
        box->setText(text);
        emit box->textEdited(text);
    };
    const std::pair<const char*, int> cases[] = {{"14", 14}, {"15", 14}, {"99", 14},
                                                 {"1", 1},   {"0", 1},   {"9", 9}};
    for (const auto& [typed, used] : cases) {
        type(typed);
        EXPECT_EQ(box->text(), QString::number(used)) << typed;
        child<QPushButton>(dialog, "OKButton")->click();
        EXPECT_EQ(kvb::ManualConfigFor(dialog.choices()).deviceCount1, used) << typed;
        dialog.show();
    }
    // An emptied box goes back to the size in use when left.
    type("");
    emit box->editingFinished();
    EXPECT_EQ(box->text(), "9");
}

TEST(ManualConfigDialog, OkAndCancelHideTheDialogWhichKeepsItsChoices)
{
    kvb::ui::FrmManualConfig dialog;
    EXPECT_EQ(dialog.windowTitle(), "BMS Configuration");
    int accepted = 0;
    int rejected = 0;
    QObject::connect(&dialog, &QDialog::accepted, [&] { ++accepted; });
    QObject::connect(&dialog, &QDialog::rejected, [&] { ++rejected; });
    dialog.show();

    // As it first opens: no link option, "KVB53960 only", a stack of 1.
    child<QPushButton>(dialog, "OKButton")->click();
    EXPECT_EQ(accepted, 1);
    EXPECT_FALSE(dialog.isVisible());
    const kvb::ManualConfigChoices first = dialog.choices();
    EXPECT_EQ(first.link, kvb::LinkChoice::None);
    EXPECT_EQ(first.devices, kvb::DeviceChoice::Kvb53960Only);
    EXPECT_EQ(first.stackSize, 1);

    dialog.show();
    child<QRadioButton>(dialog, "optDaisyChain_1")->click();
    child<QRadioButton>(dialog, "optDevices_2")->click();
    child<QSpinBox>(dialog, "updnDevCount")->setValue(5);
    EXPECT_EQ(child<QLineEdit>(dialog, "txtStackSize")->text(), "5");
    child<QPushButton>(dialog, "OKButton")->click();
    EXPECT_EQ(dialog.choices().devices, kvb::DeviceChoice::Kvb53960And53961);
    EXPECT_EQ(dialog.choices().stackSize, 5);

    dialog.show();
    child<QRadioButton>(dialog, "optDaisyChain_0")->click();
    EXPECT_FALSE(child<QLabel>(dialog, "Label1")->isVisible());
    EXPECT_FALSE(child<QLineEdit>(dialog, "txtStackSize")->isVisible());
    child<QPushButton>(dialog, "CancelButton")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(accepted, 2);
    EXPECT_EQ(rejected, 1);

    dialog.show();  // choices are kept between showings
    EXPECT_TRUE(child<QRadioButton>(dialog, "optDaisyChain_0")->isChecked());
    child<QRadioButton>(dialog, "optDaisyChain_1")->click();
    EXPECT_TRUE(child<QLabel>(dialog, "Label1")->isVisible());
}

TEST(AboutBox, LabelsFirmwareAndBoardPanel)
{
    bool connected = false;
    int panelShown = 0;
    kvb::ui::AboutHooks hooks;
    hooks.evbConnected = [&] { return connected; };
    hooks.readFirmware = [] { return std::string("FW 1.1"); };
    hooks.showBoardPanel = [&] { ++panelShown; };
    kvb::ui::FrmAbout2 about(hooks);
    EXPECT_EQ(about.windowTitle(), "About KVB71853 Evaluation Software");
    EXPECT_EQ(child<QLabel>(about, "lblVersion")->text(), "GUI Version 1.0.0");

    about.show();
    EXPECT_FALSE(child<QPushButton>(about, "cmdReadFirmware")->isVisible());
    about.hide();
    connected = true;
    about.show();
    child<QPushButton>(about, "cmdReadFirmware")->click();
    EXPECT_EQ(child<QLabel>(about, "lblfirmwareVer")->text(), "FW 1.1");

    auto* logo = child<QWidget>(about, "picOlvetraLogo");
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), logo->mapToGlobal(QPointF(5, 5)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(logo, &dbl);
    EXPECT_EQ(panelShown, 1);

    child<QPushButton>(about, "cmdOK")->click();
    EXPECT_FALSE(about.isVisible());
}

TEST(AboutBox, SystemInfoStartsAnInstalledToolOrNothing)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());

    QStringList started;
    kvb::ui::AboutHooks hooks;
    hooks.startProgram = [&](const QString& program) {
        started << program;
        return true;
    };
    kvb::ui::FrmAbout2 about(hooks);
    child<QPushButton>(about, "cmdSysInfo")->click();
    EXPECT_TRUE(started.isEmpty());

    QFile tool(QDir(bin.path()).filePath("kinfocenter"));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    child<QPushButton>(about, "cmdSysInfo")->click();
    qputenv("PATH", savedPath);
    ASSERT_EQ(started.size(), 1);
    EXPECT_TRUE(started[0].endsWith("/kinfocenter"));
}

}  // namespace
