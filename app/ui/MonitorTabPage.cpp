#include "app/ui/MonitorTabPage.h"

#include "app/ui/PageControls.h"
#include "core/ControlNames.h"
#include "core/UnexpectedError.h"

#include <QGroupBox>

namespace kvb::ui {

using namespace pages;

namespace {

enum Column { ColName, ColVoltage, ColOV0, ColUV0, ColOW0, ColOV1, ColUV1 };
constexpr int kFirstCellRow = 3;

}  // namespace

MonitorTabPage::MonitorTabPage(const std::array<QGroupBox*, kMonitorFrames>& frames,
                               const link::ChipLink& link, StatusPageState& state,
                               Prompter& prompter)
    : QObject(frames[0]), frames_(frames), link_(link), state_(state), prompter_(prompter)
{
    setObjectName("MonitorTabPage");
    for (int f = 0; f < kMonitorFrames; ++f)
        buildFrame(frames[f], f);
}

void MonitorTabPage::buildFrame(QGroupBox* frame, int f)
{
    frame->setTitle(QString("Device #%1").arg(f + 1));
    QGridLayout* grid = FrameGrid(frame);
    grids_[f] = grid;
    partNames_[f][0] = Caption(grid, "KVB53960", 0, ColOV0, 3);
    partNames_[f][1] = Caption(grid, "KVB53961", 0, ColOV1, 2);
    Caption(grid, "Voltages", 1, ColVoltage);
    Caption(grid, "Faults", 1, ColOV0, 3);
    Caption(grid, "Faults", 1, ColOV1, 2);
    const char* faults[5] = {"OV", "UV", "OW", "OV", "UV"};
    for (int k = 0; k < 5; ++k)
        Caption(grid, faults[k], 2, ColOV0 + k);

    for (int i = 0; i < kCells; ++i) {
        const int row = kFirstCellRow + i;
        const int n = kCells * f + i;
        Caption(grid, QString("CELL %1").arg(i + 1), row, ColName);
        tbMonitorTabCellVoltage[n] =
            ValueBox(frame, ElementName<QString>("tbMonitorTabCellVoltage", n));
        grid->addWidget(tbMonitorTabCellVoltage[n], row, ColVoltage);
        ledMonitorTab53960OV[n] =
            PlacedLamp(grid, ElementName<QString>("ledMonitorTab53960OV", n), row, ColOV0);
        ledMonitorTab53960UV[n] =
            PlacedLamp(grid, ElementName<QString>("ledMonitorTab53960UV", n), row, ColUV0);
        ledMonitorTab53961OV[n] =
            PlacedLamp(grid, ElementName<QString>("ledMonitorTab53961OV", n), row, ColOV1);
        ledMonitorTab53961UV[n] =
            PlacedLamp(grid, ElementName<QString>("ledMonitorTab53961UV", n), row, ColUV1);
        const int wire = kWireInputs * f + i + 1;  // the cell's upper input
        ledMonitorTab53960OW[wire] =
            PlacedLamp(grid, ElementName<QString>("ledMonitorTab53960OW", wire), row, ColOW0);
    }
    const int vbatRow = kFirstCellRow + kCells;
    Caption(grid, "VBAT", vbatRow, ColName);
    tbMonitorTabVbatVoltage[f] =
        ValueBox(frame, ElementName<QString>("tbMonitorTabVbatVoltage", f));
    grid->addWidget(tbMonitorTabVbatVoltage[f], vbatRow, ColVoltage);
    ledMonitorTabVbatOW[f] =
        PlacedLamp(grid, ElementName<QString>("ledMonitorTabVbatOW", f), vbatRow, ColOW0);
    Caption(grid, "VC0", vbatRow + 1, ColName);
    const int vc0 = kWireInputs * f;
    ledMonitorTab53960OW[vc0] =
        PlacedLamp(grid, ElementName<QString>("ledMonitorTab53960OW", vc0), vbatRow + 1, ColOW0);
    Caption(grid, "VSS", vbatRow + 2, ColName);
    ledMonitorTabVssOW[f] =
        PlacedLamp(grid, ElementName<QString>("ledMonitorTabVssOW", f), vbatRow + 2, ColOW0);
}

void MonitorTabPage::setPartNames(const QString& typeZero, bool typeOneShown,
                                  const QString& typeOne)
{
    for (int f = 0; f < kMonitorFrames; ++f) {
        partNames_[f][0]->setText(typeZero);
        partNames_[f][1]->setText(typeOne);
        ShowGridColumns(grids_[f], {ColOV1, ColUV1}, typeOneShown);
    }
}

void MonitorTabPage::UpdateMonitorTabControls()
{
    RunHandler(prompter_, "UpdateMonitorTabControls", [&] {
        const MonitorPageContent c = MonitorPageFromImage(link_, state_.conversions);
        for (int k = kMonitorFrames - 1; k >= 0; --k)
            frames_[k]->setVisible(c.frameShown[k]);
        auto lamps = [](const auto& widgets, const auto& colours) {
            for (size_t i = 0; i < widgets.size(); ++i)
                widgets[i]->setColour(colours[i]);
        };
        lamps(ledMonitorTab53960OV, c.cellOV[0]);
        lamps(ledMonitorTab53961OV, c.cellOV[1]);
        lamps(ledMonitorTab53960UV, c.cellUV[0]);
        lamps(ledMonitorTab53961UV, c.cellUV[1]);
        lamps(ledMonitorTab53960OW, c.cellOW);
        lamps(ledMonitorTabVssOW, c.vssOW);
        lamps(ledMonitorTabVbatOW, c.vbatOW);
        for (size_t i = 0; i < tbMonitorTabCellVoltage.size(); ++i)
            ShowText(tbMonitorTabCellVoltage[i], c.cellVoltage[i]);
        for (size_t f = 0; f < tbMonitorTabVbatVoltage.size(); ++f)
            ShowText(tbMonitorTabVbatVoltage[f], c.vbatVoltage[f]);
    });
}

}  // namespace kvb::ui
