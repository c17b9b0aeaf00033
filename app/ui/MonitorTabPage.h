#pragma once
// The MONITOR page's contents: cell voltages, pack voltage and fault lamps of
// devices 1 to 4 side by side, one frame each, built inside the frames the
// main window places. A frame is shown only while a device type has that
// many devices.

#include "app/StatusPages.h"
#include "core/Services.h"

#include <QObject>

#include <array>

class QGroupBox;
class QLineEdit;

namespace kvb::ui {

class Lamp;

class MonitorTabPage : public QObject {
    Q_OBJECT
public:
    // fraDeviceVoltagesFaults_0 .. _3.
    MonitorTabPage(const std::array<QGroupBox*, kMonitorFrames>& frames,
                   const link::ChipLink& link, StatusPageState& state, Prompter& prompter);

    // Repaints the four frames and sets which of them are shown.
    void UpdateMonitorTabControls();

    static constexpr int kFrameCells = kMonitorFrames * kCells;
    std::array<QLineEdit*, kFrameCells> tbMonitorTabCellVoltage{};
    std::array<QLineEdit*, kMonitorFrames> tbMonitorTabVbatVoltage{};
    std::array<Lamp*, kFrameCells> ledMonitorTab53960OV{};
    std::array<Lamp*, kFrameCells> ledMonitorTab53960UV{};
    std::array<Lamp*, kFrameCells> ledMonitorTab53961OV{};
    std::array<Lamp*, kFrameCells> ledMonitorTab53961UV{};
    std::array<Lamp*, kMonitorFrames * kWireInputs> ledMonitorTab53960OW{};
    std::array<Lamp*, kMonitorFrames> ledMonitorTabVbatOW{};
    std::array<Lamp*, kMonitorFrames> ledMonitorTabVssOW{};

private:
    void buildFrame(QGroupBox* frame, int f);

    std::array<QGroupBox*, kMonitorFrames> frames_;
    const link::ChipLink& link_;
    StatusPageState& state_;
    Prompter& prompter_;
};

}  // namespace kvb::ui
