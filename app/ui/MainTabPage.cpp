#include "app/ui/MainTabPage.h"

#include "app/ui/BgrColour.h"
#include "app/ui/PageControls.h"
#include "core/ControlNames.h"
#include "core/UnexpectedError.h"

#include <QGroupBox>
#include <QPushButton>
#include <QStyle>

namespace kvb::ui {

using namespace pages;

namespace {

// Columns of the device status grid.
enum Column {
    ColName, ColVoltage, ColOV0, ColUV0, ColOW0, ColSetup0, ColOV1, ColUV1, ColSetup1, ColBalance
};
constexpr int kFirstCellRow = 3;

const char* const kTypeNames[2] = {"KVB53960", "KVB53961"};

void setLamps(const auto& lamps, const auto& colours)
{
    for (size_t i = 0; i < lamps.size(); ++i)
        lamps[i]->setColour(colours[i]);
}

void setTexts(const auto& boxes, const auto& texts)
{
    for (size_t i = 0; i < boxes.size(); ++i)
        ShowText(boxes[i], texts[i]);
}

}  // namespace

MainTabPage::MainTabPage(const MainTabFrames& frames, const link::ChipLink& link,
                         StatusPageState& state, Prompter& prompter)
    : QObject(frames.deviceStatus), link_(link), state_(state), prompter_(prompter)
{
    setObjectName("MainTabPage");
    buildDeviceStatus(frames.deviceStatus);
    buildTemperatures(frames.temperatures);
    buildThresholds(frames.thresholds);
    buildDaisyChainStatus(frames.daisyChainStatus);
    DisableMainTabBalCtrlButtons();
}

void MainTabPage::buildDeviceStatus(QGroupBox* frame)
{
    QGridLayout* grid = FrameGrid(frame);
    statusGrid_ = grid;
    partNames_[0] = Caption(grid, kTypeNames[0], 0, ColOV0, 4);
    partNames_[1] = Caption(grid, kTypeNames[1], 0, ColOV1, 3);
    Caption(grid, "Cell", 0, ColBalance);
    Caption(grid, "Voltages", 1, ColVoltage);
    Caption(grid, "Faults", 1, ColOV0, 3);
    Caption(grid, "Setup", 1, ColSetup0);
    Caption(grid, "Faults", 1, ColOV1, 2);
    Caption(grid, "Setup", 1, ColSetup1);
    Caption(grid, "Balance", 1, ColBalance);
    Caption(grid, "Ctrl", 2, ColBalance);
    const char* faults[3] = {"OV", "UV", "OW"};
    for (int k = 0; k < 3; ++k)
        Caption(grid, faults[k], 2, ColOV0 + k);
    Caption(grid, "OV", 2, ColOV1);
    Caption(grid, "UV", 2, ColUV1);

    for (int i = 0; i < kCells; ++i) {
        const int row = kFirstCellRow + i;
        Caption(grid, QString("CELL %1").arg(i + 1), row, ColName);
        tbMainTabCellVoltage[i] = ValueBox(frame, ElementName<QString>("tbMainTabCellVoltage", i));
        grid->addWidget(tbMainTabCellVoltage[i], row, ColVoltage);
        for (int type = 0; type < 2; ++type) {
            const int n = kCells * type + i;
            ledMainTabCellOV[n] = PlacedLamp(grid, ElementName<QString>("ledMainTabCellOV", n), row,
                                             type == 0 ? ColOV0 : ColOV1);
            ledMainTabCellUV[n] = PlacedLamp(grid, ElementName<QString>("ledMainTabCellUV", n), row,
                                             type == 0 ? ColUV0 : ColUV1);
            ledMainTabCellSetup[n] =
                PlacedLamp(grid, ElementName<QString>("ledMainTabCellSetup", n), row,
                           type == 0 ? ColSetup0 : ColSetup1);
        }
        // The open-wire lamp of a cell's row is its upper input, VC1..VC12.
        ledMainTabCellOW[i + 1] =
            PlacedLamp(grid, ElementName<QString>("ledMainTabCellOW", i + 1), row, ColOW0);
        cbMainTabBalCtrl[i] = new QPushButton("Off", frame);
        cbMainTabBalCtrl[i]->setObjectName(ElementName<QString>("cbMainTabBalCtrl", i));
        cbMainTabBalCtrl[i]->setAutoFillBackground(true);
        grid->addWidget(cbMainTabBalCtrl[i], row, ColBalance);
    }
    const int vbatRow = kFirstCellRow + kCells;
    Caption(grid, "VBAT", vbatRow, ColName);
    tbMainTabVbatVoltage = ValueBox(frame, "tbMainTabVbatVoltage");
    grid->addWidget(tbMainTabVbatVoltage, vbatRow, ColVoltage);
    ledMainTabVbatOW = PlacedLamp(grid, "ledMainTabVbatOW", vbatRow, ColOW0);
    Caption(grid, "VC0", vbatRow + 1, ColName);
    ledMainTabCellOW[0] =
        PlacedLamp(grid, ElementName<QString>("ledMainTabCellOW", 0), vbatRow + 1, ColOW0);
    Caption(grid, "VSS", vbatRow + 2, ColName);
    ledMainTabVssOW = PlacedLamp(grid, "ledMainTabVssOW", vbatRow + 2, ColOW0);
}

void MainTabPage::buildTemperatures(QGroupBox* frame)
{
    frame->setTitle("Temperatures");
    QGridLayout* grid = FrameGrid(frame);
    const char* names[5] = {"IC Temp. DegC", "ET1 Voltage", "ET2 Voltage", "ET3 Voltage",
                            "ET4 Voltage"};
    for (int i = 0; i < 5; ++i) {
        Caption(grid, names[i], i, 0);
        tbMainTabTemperatures[i] =
            ValueBox(frame, ElementName<QString>("tbMainTabTemperatures", i));
        grid->addWidget(tbMainTabTemperatures[i], i, 1);
    }
}

void MainTabPage::buildThresholds(QGroupBox* frame)
{
    frame->setTitle("Thresholds");
    QGridLayout* grid = FrameGrid(frame);
    const char* names[3] = {"Over Voltage Limit", "Under Voltage Limit", "Internal Temp. Limit"};
    QLineEdit** boxes[3] = {&tbMainTabOVLimit, &tbMainTabUVLimit, &tbMainTabITLimit};
    const char* boxNames[3] = {"tbMainTabOVLimit", "tbMainTabUVLimit", "tbMainTabITLimit"};
    for (int i = 0; i < 3; ++i) {
        Caption(grid, names[i], i, 0);
        *boxes[i] = ValueBox(frame, boxNames[i]);
        (*boxes[i])->setFixedWidth(52);  // the captions need the frame's width
        grid->addWidget(*boxes[i], i, 1);
    }
}

void MainTabPage::buildDaisyChainStatus(QGroupBox* frame)
{
    QGridLayout* grid = FrameGrid(frame);
    chainGrid_ = grid;
    partNames_[2] = Caption(grid, kTypeNames[0], 0, 1, 3);
    partNames_[3] = Caption(grid, kTypeNames[1], 0, 4, 2);
    Caption(grid, "Voltages", 1, 1);
    Caption(grid, "Pres", 1, 2);
    Caption(grid, "Fault", 1, 3);
    Caption(grid, "Pres", 1, 4);
    Caption(grid, "Fault", 1, 5);
    for (int i = 0; i < kStackDevices; ++i) {
        const int row = 2 + i;
        Caption(grid, QString("Device %1").arg(i + 1), row, 0);
        tbMainTabDeviceVbat[i] = ValueBox(frame, ElementName<QString>("tbMainTabDeviceVbat", i));
        grid->addWidget(tbMainTabDeviceVbat[i], row, 1);
        for (int type = 0; type < 2; ++type) {
            const int n = kStackDevices * type + i;
            ledMainTabDevicePres[n] = PlacedLamp(
                grid, ElementName<QString>("ledMainTabDevicePres", n), row, 2 + 2 * type);
            ledMainTabDeviceFault[n] = PlacedLamp(
                grid, ElementName<QString>("ledMainTabDeviceFault", n), row, 3 + 2 * type);
        }
    }
    Caption(grid, "Stack", 2 + kStackDevices, 0);
    tbMainTabStackVoltage = ValueBox(frame, "tbMainTabStackVoltage");
    grid->addWidget(tbMainTabStackVoltage, 2 + kStackDevices, 1);
}

void MainTabPage::setPartNames(const QString& typeZero, bool typeOneShown, const QString& typeOne)
{
    partNames_[0]->setText(typeZero);
    partNames_[2]->setText(typeZero);
    partNames_[1]->setText(typeOne);
    partNames_[3]->setText(typeOne);
    ShowGridColumns(statusGrid_, {ColOV1, ColUV1, ColSetup1}, typeOneShown);
    ShowGridColumns(chainGrid_, {4, 5}, typeOneShown);
}

void MainTabPage::UpdateMainTabDeviceStatusControls()
{
    RunHandler(prompter_, "UpdateMainTabDeviceStatusControls", [&] {
        show(MainPageFromImage(link_, state_.conversions));
    });
}

void MainTabPage::show(const MainPageContent& c)
{
    setLamps(ledMainTabCellSetup, c.cellSetup);
    setLamps(ledMainTabCellOV, c.cellOV);
    setLamps(ledMainTabCellUV, c.cellUV);
    setLamps(ledMainTabCellOW, c.cellOW);
    ledMainTabVssOW->setColour(c.vssOW);
    ledMainTabVbatOW->setColour(c.vbatOW);
    setTexts(tbMainTabCellVoltage, c.cellVoltage);
    ShowText(tbMainTabVbatVoltage, c.vbatVoltage);
    setTexts(tbMainTabTemperatures, c.temperatures);
    ShowText(tbMainTabOVLimit, c.ovLimit);
    ShowText(tbMainTabUVLimit, c.uvLimit);
    ShowText(tbMainTabITLimit, c.itLimit);
    // A balance handler working through several devices keeps its combos.
    if (!state_.BalanceComboSync) {
        if (showBalanceSettings)
            showBalanceSettings(c.balance);
        RefreshMainTabBalCtrlButtons();
    }
    setLamps(ledMainTabDevicePres, c.devicePres);
    setLamps(ledMainTabDeviceFault, c.deviceFault);
    setTexts(tbMainTabDeviceVbat, c.deviceVbat);
    ShowText(tbMainTabStackVoltage, c.stackVoltage);
}

void MainTabPage::EnableMainTabBalCtrlButtons()
{
    for (QPushButton* b : cbMainTabBalCtrl) {
        b->setVisible(true);
        b->setEnabled(true);
    }
}

void MainTabPage::DisableMainTabBalCtrlButtons()
{
    for (QPushButton* b : cbMainTabBalCtrl) {
        b->setVisible(false);
        b->setEnabled(false);
    }
}

void MainTabPage::ShowBalanceButton(QPushButton* b, bool on)
{
    // Every answer refreshes the page: a button already showing its state
    // keeps its palette (building one costs far more than the rest).
    const QVariant shown = b->property("balanceOn");
    if (shown.isValid() && shown.toBool() == on)
        return;
    b->setText(on ? "On" : "Off");
    QPalette palette = b->style()->standardPalette();
    if (on)
        palette.setColor(QPalette::Button, FromBgr(kLampYellow));
    b->setPalette(palette);
    b->setProperty("balanceOn", on);
}

void MainTabPage::RefreshMainTabBalCtrlButtons()
{
    const BalanceButtons buttons = BalanceButtonsFromImage(link_);
    if (buttons.shown)
        EnableMainTabBalCtrlButtons();
    else
        DisableMainTabBalCtrlButtons();
    for (int i = 0; i < kCells; ++i) {
        ShowBalanceButton(cbMainTabBalCtrl[i], buttons.on[i]);
    }
}

}  // namespace kvb::ui
